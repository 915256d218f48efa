#include "platform/MemorySurface.h"

#include <algorithm>

namespace orbimo {

MemorySurface::MemorySurface(int width, int height, Colour background)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), background_(background) {
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                   ToWord(background_));
    MarkAllDirty();
}

void MemorySurface::Clear() {
    std::fill(pixels_.begin(), pixels_.end(), ToWord(background_));
    MarkAllDirty();
}

void MemorySurface::Resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                   ToWord(background_));
    MarkAllDirty();
}

MemorySurface::Rect MemorySurface::TakeDirty() {
    Rect r = dirty_;
    if (!r.Empty()) {
        r.left = std::max(r.left, 0);
        r.top = std::max(r.top, 0);
        r.right = std::min(r.right, width_ - 1);
        r.bottom = std::min(r.bottom, height_ - 1);
    }
    dirty_ = Rect{1 << 30, 1 << 30, -1, -1};
    return r;
}

}  // namespace orbimo
