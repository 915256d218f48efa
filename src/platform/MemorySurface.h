#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/PixelSurface.h"
#include "platform/ZeroedAllocator.h"

namespace orbimo {

/// A pixel surface held in memory: rows top to bottom, one byte per pixel naming a colour of
/// the surface's palette. A picture holds a handful of colours (background, black, the trace
/// colours), so a quarter of the memory of one word per pixel does. Any 256 colours can be on
/// the surface at once; beyond that a new colour is shown as the nearest one there.
class MemorySurface final : public PixelSurface {
  public:
    MemorySurface(int width, int height, Colour background);

    Colour GetPixel(std::int32_t x, std::int32_t y) const override {
        if (!Inside(x, y)) return kInvalidColour;
        return palette_[pixels_[Index(x, y)]];
    }
    void SetPixel(std::int32_t x, std::int32_t y, Colour c) override {
        if (!Inside(x, y)) return;
        pixels_[Index(x, y)] = IndexOf(c);
        Touch(x, y);
    }
    void Clear() override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }

    Colour Background() const { return background_; }
    /// Changes the size; the content is cleared to the background.
    void Resize(int width, int height);

    struct Rect {
        int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
    };
    /// What changed since the last call, in rectangles of whole tiles of 64 x 64 pixels: a run
    /// draws orbits far apart, and one box around them all would be most of the screen.
    std::vector<Rect> TakeDirty();

    /// The pixels of r (inside the surface) as 0xFFRRGGBB words, the RGB32 a window shows;
    /// stride words from one row's start to the next.
    void CopyWords(const Rect& r, std::uint32_t* out, std::size_t stride) const;
    /// The whole picture so.
    std::vector<std::uint32_t> Words() const;

    static std::uint32_t ToWord(Colour c) {
        return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    }
    static Colour FromWord(std::uint32_t w) {
        return ((w & 0xFFu) << 16) | (w & 0xFF00u) | ((w >> 16) & 0xFFu);
    }

    // Direct access for the plotter, whose marker moves are the run's drawing.
    using Entry = std::uint8_t;
    /// Row by row, width entries a row.
    Entry* Entries() { return pixels_.data(); }
    Colour ColourOf(Entry e) const { return palette_[e]; }
    /// How many colours can still be added without reusing an entry.
    int FreeEntries() const { return 256 - used_; }
    /// The palette entry of c, added if new.
    Entry IndexOf(Colour c) {
        c &= 0x00FFFFFFu;  // a word's top byte is not part of its colour
        const std::size_t slot = (c * 0x9E3779B1u) >> 24;
        if (recent_[slot].colour == c) return recent_[slot].entry;
        return Remember(c, slot);
    }
    /// Marks the rectangle from (left, top) to (right, bottom), inside the surface and smaller
    /// than a tile, as changed: its corners lie in every tile it touches.
    void TouchSmallRect(int left, int top, int right, int bottom) {
        MarkTile(left, top), MarkTile(right, top), MarkTile(left, bottom), MarkTile(right, bottom);
        drawnTop_ = std::min(drawnTop_, top);
        drawnBottom_ = std::max(drawnBottom_, bottom);
    }

  private:
    bool Inside(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }
    std::size_t Index(std::int32_t x, std::int32_t y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    static constexpr int kTileShift = 6;
    void MarkTile(int x, int y) {
        dirty_[static_cast<std::size_t>((y >> kTileShift) * tilesX_ + (x >> kTileShift))] = 1;
    }
    void Touch(int x, int y) {
        MarkTile(x, y);
        drawnTop_ = std::min(drawnTop_, y);
        drawnBottom_ = std::max(drawnBottom_, y);
    }
    void MarkAllDirty() { std::fill(dirty_.begin(), dirty_.end(), std::uint8_t{1}); }
    void ResetPalette();
    Entry Remember(Colour c, std::size_t slot);
    Entry NewEntry(Colour c);

    int width_;
    int height_;
    Colour background_;
    std::vector<Entry, ZeroedAllocator<Entry>> pixels_;
    int drawnTop_ = 0, drawnBottom_ = -1;  // the rows drawn on since the last clear
    std::array<Colour, 256> palette_{};
    std::array<std::uint32_t, 256> words_{};
    int used_ = 0;  // palette entries 0..used_-1 are taken; 0 is the background
    // Colours looked up lately, by a hash of the colour: the search is not run per pixel.
    struct Recent {
        Colour colour;
        Entry entry;
    };
    std::array<Recent, 256> recent_{};
    int tilesX_ = 0, tilesY_ = 0;
    std::vector<std::uint8_t> dirty_;  // one per tile, row by row
};

}  // namespace orbimo
