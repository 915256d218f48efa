#include "platform/MemorySurface.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orbimo {

MemorySurface::MemorySurface(int width, int height, Colour background)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), background_(background) {
    Resize(width_, height_);
}

void MemorySurface::ResetPalette() {
    used_ = 0;
    recent_.fill({kInvalidColour, 0});  // no colour of 24 bits
    NewEntry(background_ & 0x00FFFFFFu);
}

void MemorySurface::Clear() {
    ResetPalette();
    // Only the rows drawn on: a picture cleared before anything was drawn (at start-up, or when
    // a system is loaded) is not written again.
    if (drawnTop_ <= drawnBottom_)
        std::fill(pixels_.begin() + static_cast<std::ptrdiff_t>(Index(0, drawnTop_)),
                  pixels_.begin() + static_cast<std::ptrdiff_t>(Index(0, drawnBottom_ + 1)),
                  Entry{0});
    drawnTop_ = height_, drawnBottom_ = -1;
    MarkAllDirty();
}

void MemorySurface::Resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    ResetPalette();
    // Made anew, so all background, and untouched until drawn on.
    pixels_ =
        decltype(pixels_)(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    drawnTop_ = height_, drawnBottom_ = -1;
    tilesX_ = (width_ + (1 << kTileShift) - 1) >> kTileShift;
    tilesY_ = (height_ + (1 << kTileShift) - 1) >> kTileShift;
    dirty_.assign(static_cast<std::size_t>(tilesX_) * static_cast<std::size_t>(tilesY_), 1);
}

MemorySurface::Entry MemorySurface::Remember(Colour c, std::size_t slot) {
    for (int e = 0; e < used_; ++e) {
        if (palette_[e] == c) {
            recent_[slot] = {c, static_cast<Entry>(e)};
            return static_cast<Entry>(e);
        }
    }
    if (used_ == 256) {
        // Full: entries that no pixel names any more are free again.
        std::array<bool, 256> named{};
        for (const Entry p : pixels_) named[p] = true;
        const auto free = std::find(named.begin(), named.end(), false);
        if (free == named.end()) {
            // 256 colours on the surface: the nearest of them stands in (not remembered, so
            // that the colour gets an entry of its own once one is free).
            auto distance = [c](Colour d) {
                long sum = 0;
                for (int shift : {0, 8, 16}) {
                    const long delta = static_cast<long>((c >> shift) & 0xFF) -
                                       static_cast<long>((d >> shift) & 0xFF);
                    sum += delta * delta;
                }
                return sum;
            };
            return static_cast<Entry>(
                std::min_element(palette_.begin(), palette_.end(),
                                 [&](Colour a, Colour b) { return distance(a) < distance(b); }) -
                palette_.begin());
        }
        const auto e = static_cast<Entry>(free - named.begin());
        for (Recent& r : recent_)
            if (r.entry == e) r.colour = kInvalidColour;
        palette_[e] = c;
        words_[e] = ToWord(c);
        recent_[slot] = {c, e};
        return e;
    }
    const Entry e = NewEntry(c);
    recent_[slot] = {c, e};
    return e;
}

MemorySurface::Entry MemorySurface::NewEntry(Colour c) {
    palette_[used_] = c;
    words_[used_] = ToWord(c);
    return static_cast<Entry>(used_++);
}

std::vector<MemorySurface::Rect> MemorySurface::TakeDirty() {
    std::vector<Rect> changed;
    constexpr int kTile = 1 << kTileShift;
    for (int ty = 0; ty < tilesY_; ++ty) {
        const std::uint8_t* row = &dirty_[static_cast<std::size_t>(ty * tilesX_)];
        for (int tx = 0; tx < tilesX_;) {
            if (row[tx] == 0) {
                ++tx;
                continue;
            }
            const int first = tx;
            while (tx < tilesX_ && row[tx] != 0) ++tx;
            changed.push_back({first * kTile, ty * kTile, std::min(tx * kTile, width_) - 1,
                               std::min((ty + 1) * kTile, height_) - 1});
        }
    }
    std::fill(dirty_.begin(), dirty_.end(), std::uint8_t{0});
    return changed;
}

void MemorySurface::CopyWords(const Rect& r, std::uint32_t* out, std::size_t stride) const {
    const int width = r.right - r.left + 1;
    for (int y = r.top; y <= r.bottom; ++y, out += stride) {
        const Entry* row = &pixels_[Index(r.left, y)];
        int x = 0;
#if defined(__SSE2__)
        // Most of a picture is background (entry 0): sixteen pixels of it at a time.
        const __m128i background = _mm_set1_epi32(static_cast<int>(words_[0]));
        for (; x + 16 <= width; x += 16) {
            const __m128i entries = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(entries, _mm_setzero_si128())) == 0xFFFF) {
                for (int k = 0; k < 16; k += 4)
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + k), background);
            } else {
                for (int k = 0; k < 16; ++k) out[x + k] = words_[row[x + k]];
            }
        }
#endif
        for (; x < width; ++x) out[x] = words_[row[x]];
    }
}

std::vector<std::uint32_t> MemorySurface::Words() const {
    std::vector<std::uint32_t> words(pixels_.size());
    if (!words.empty()) CopyWords({0, 0, width_ - 1, height_ - 1}, words.data(), width_);
    return words;
}

}  // namespace orbimo
