#include "display/Plotter.h"

#include <algorithm>

namespace orbimo {

void Plotter::DrawM(std::int32_t x, std::int32_t y, int b, Colour colour) {
    if (memory_) {
        DrawMOn(*memory_, x, y, b, colour);
    } else {
        DrawMOn(surface_, x, y, b, colour);
    }
}

void Plotter::DrawM_rest(int b) {
    if (memory_) {
        DrawM_restOn(*memory_, b);
    } else {
        DrawM_restOn(surface_, b);
    }
}

template <class Surface>
void Plotter::DrawMOn(Surface& surface, std::int32_t x, std::int32_t y, int b, Colour colour) {
    auto& store = s_.MarkerStore;
    store[11 * b - 10] = x;
    store[11 * b - 9] = y;
    int k = 11 * b - 8;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            // Each pixel is read just before it is painted, so overlaps save the newest colour.
            store[k] = static_cast<std::int32_t>(surface.GetPixel(x + dx, y + dy));
            surface.SetPixel(x + dx, y + dy, colour);
            ++k;
        }
    }
    if (s_.PixelOwner.Contains(y, x)) s_.PixelOwner.At(y, x) = static_cast<std::uint8_t>(b);
}

template <class Surface>
void Plotter::DrawM_restOn(Surface& surface, int b) {
    const auto& store = s_.MarkerStore;
    const std::int32_t x = store[11 * b - 10];
    const std::int32_t y = store[11 * b - 9];
    int k = 11 * b - 8;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            // Saved black and "outside the area" (-1) are never written back.
            if (store[k] > 0) surface.SetPixel(x + dx, y + dy, static_cast<Colour>(store[k]));
            ++k;
        }
    }
    surface.SetPixel(x, y, s_.BodyColor[b]);
}

void Plotter::Очистить(bool keepMarkers) {
    surface_.Clear();
    s_.PixelOwner.Fill(0);
    history_.Clear(s_, keepMarkers);
    for (int b = 1; b <= s_.BodyCount; ++b) {
        if (s_.BodyOn[b] != 1) continue;
        if (!keepMarkers) {
            s_.LastPixX[b] = 0;
            s_.LastPixY[b] = 0;
        }
        DrawM(s_.LastPixX[b], s_.LastPixY[b], b, kBlack);
    }
}

bool Plotter::PlotInFrame(const Frame& frame) {
    const FrameTransform t = TransformOf(frame, s_, s_.ViewBody, s_.PosX, s_.PosY, TakingPart(s_));
    bool moved = false;
    for (int b = 1; b <= s_.BodyCount; ++b) {
        if (s_.BodyOn[b] != 1) continue;
        if (const auto p = PixelIn(s_, t, s_.PosX, s_.PosY, b)) moved |= MoveTo(b, p->x, p->y);
    }
    return moved;
}

// The plot replayed: the start as the clear left it, then every snapshot's plotting step.
void Plotter::Rerender(const Frame& frame) {
    surface_.Clear();
    s_.PixelOwner.Fill(0);
    const Snapshot& start = history_.Start();
    const FrameTransform t0 = TransformOf(frame, s_, s_.ViewBody, start.x, start.y, start.on);
    for (int b = 1; b <= s_.BodyCount; ++b) {
        if (!(start.on & (1u << b))) {
            // Not on the screen when the plot began: as at start-up, no marker anywhere yet,
            // and nothing of another view's picture is put back when it first moves.
            std::fill(s_.MarkerStore.begin() + (11 * b - 10), s_.MarkerStore.begin() + 11 * b + 1,
                      0);
            s_.LastPixX[b] = s_.LastPixY[b] = 0;
            continue;
        }
        Pixel p{0, 0};  // parked in the corner, as a clear without markers leaves them
        if (history_.StartKept()) {
            const auto q = PixelIn(s_, t0, start.x, start.y, b);
            if (!q) continue;
            p = *q;
        }
        s_.LastPixX[b] = p.x;
        s_.LastPixY[b] = p.y;
        DrawM(p.x, p.y, b, kBlack);
    }
    for (const Snapshot& snap : history_.Snapshots()) {
        const FrameTransform t = TransformOf(frame, s_, s_.ViewBody, snap.x, snap.y, snap.on);
        for (int b = 1; b <= s_.BodyCount; ++b) {
            if (!(snap.on & (1u << b))) continue;
            if (const auto p = PixelIn(s_, t, snap.x, snap.y, b)) MoveTo(b, p->x, p->y);
        }
    }
    // Where the bodies stand now, which the last snapshot may be a pixel short of.
    if (history_.StartKept() || !history_.Snapshots().empty()) PlotStep(frame);
}

void Plotter::Repaint() {
    const auto& owner = s_.PixelOwner;
    const auto& cells = owner.Cells();
    const int rows = owner.LastRow() + 1;
    std::size_t i = 0;
    for (int x = 0; x <= owner.LastColumn(); ++x) {
        for (int y = 0; y < rows; ++y, ++i) {
            const std::uint8_t b = cells[i];
            if (b != 0 && b <= kBodies) surface_.SetPixel(x, y, s_.BodyColor[b]);
        }
    }
    for (int b = 1; b <= s_.BodyCount; ++b) {
        if (s_.BodyOn[b] != 1) continue;
        DrawM_rest(b);
        DrawM(s_.LastPixX[b], s_.LastPixY[b], b, kBlack);
    }
}

}  // namespace orbimo
