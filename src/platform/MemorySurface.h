#pragma once
#include <cstdint>
#include <vector>

#include "platform/PixelSurface.h"

namespace orbimo {

/// A pixel surface held in memory. Rows are stored top to bottom as 0xFFRRGGBB
/// words, so a window can show the buffer as an RGB32 image without copying.
class MemorySurface final : public PixelSurface {
  public:
    MemorySurface(int width, int height, Colour background);

    Colour GetPixel(std::int32_t x, std::int32_t y) const override {
        if (!Inside(x, y)) return kInvalidColour;
        return FromWord(pixels_[Index(x, y)]);
    }
    void SetPixel(std::int32_t x, std::int32_t y, Colour c) override {
        if (!Inside(x, y)) return;
        pixels_[Index(x, y)] = ToWord(c);
        Touch(x, y);
    }
    void Clear() override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }

    Colour Background() const { return background_; }
    /// Changes the size; the content is cleared to the background.
    void Resize(int width, int height);

    const std::uint32_t* Words() const { return pixels_.data(); }
    /// Bounding box of the pixels changed since the last TakeDirty, empty when none.
    struct Rect {
        int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
        bool Empty() const { return right < left; }
    };
    Rect TakeDirty();

    static std::uint32_t ToWord(Colour c) {
        return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    }
    static Colour FromWord(std::uint32_t w) {
        return ((w & 0xFFu) << 16) | (w & 0xFF00u) | ((w >> 16) & 0xFFu);
    }

  private:
    bool Inside(std::int32_t x, std::int32_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }
    std::size_t Index(std::int32_t x, std::int32_t y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    void Touch(int x, int y) {
        if (x < dirty_.left) dirty_.left = x;
        if (x > dirty_.right) dirty_.right = x;
        if (y < dirty_.top) dirty_.top = y;
        if (y > dirty_.bottom) dirty_.bottom = y;
    }
    void MarkAllDirty() { dirty_ = {0, 0, width_ - 1, height_ - 1}; }

    int width_;
    int height_;
    Colour background_;
    std::vector<std::uint32_t> pixels_;
    Rect dirty_{1 << 30, 1 << 30, -1, -1};
};

}  // namespace orbimo
