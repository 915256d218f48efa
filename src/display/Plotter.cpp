#include "display/Plotter.h"

#include <algorithm>
#include <cstring>

namespace orbimo {

void Plotter::DrawMarker(std::int32_t x, std::int32_t y, int b, Colour colour) {
    shown_[static_cast<std::size_t>(b)] = true;
    if (memory_) {
        DrawMarkerOn(*memory_, x, y, b, colour);
    } else {
        DrawMarkerOn(surface_, x, y, b, colour);
    }
}

void Plotter::EraseMarker(int b) {
    shown_[static_cast<std::size_t>(b)] = false;
    if (memory_) {
        EraseMarkerOn(*memory_, b);
    } else {
        EraseMarkerOn(surface_, b);
    }
}

template <class Surface>
void Plotter::DrawMarkerOn(Surface& surface, std::int32_t x, std::int32_t y, int b, Colour colour) {
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
void Plotter::EraseMarkerOn(Surface& surface, int b) {
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

void Plotter::Clear(bool keepMarkers) {
    ++clears_;
    surface_.Clear();
    shown_.fill(false);
    s_.PixelOwner.Fill(0);
    history_.Clear(s_, keepMarkers);
    until_ = kForever;
    for (int b = 1; b <= s_.BodyCount; ++b) {
        if (s_.BodyOn[b] != 1) continue;
        if (!keepMarkers) {
            s_.LastPixX[b] = 0;
            s_.LastPixY[b] = 0;
        }
        DrawMarker(s_.LastPixX[b], s_.LastPixY[b], b, kBlack);
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
void Plotter::RerenderUntil(const Frame& frame, double time, bool bodiesThere) {
    surface_.Clear();
    shown_.fill(false);
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
        DrawMarker(p.x, p.y, b, kBlack);
    }
    history_.ForEachBefore(time, [&](const Snapshot& snap) {
        const FrameTransform t = TransformOf(frame, s_, s_.ViewBody, snap.x, snap.y, snap.on);
        for (int b = 1; b <= s_.BodyCount; ++b) {
            if (!(snap.on & (1u << b))) continue;
            if (const auto p = PixelIn(s_, t, snap.x, snap.y, b)) MoveTo(b, p->x, p->y);
        }
    });
    // Where the bodies stand now, which the last snapshot may be a pixel short of. Shown at an
    // earlier moment, the history already holds what follows: nothing is added to it.
    if (!bodiesThere || !(history_.StartKept() || !history_.Empty())) return;
    if (time == kForever) {
        PlotStep(frame);
    } else {
        MoveAll(frame);
    }
}

template <class Surface>
void Plotter::RepaintTracesOn(Surface& surface) {
    const auto& cells = s_.PixelOwner.Cells();
    const std::size_t rows = static_cast<std::size_t>(s_.PixelOwner.LastRow() + 1);
    const std::size_t n = cells.size();
    for (std::size_t i = 0; i < n;) {
        if (i + 16 <= n) {
            // Most of the map is empty: it is passed over sixteen cells at a time.
            std::uint64_t w[2];
            std::memcpy(w, &cells[i], sizeof w);
            if ((w[0] | w[1]) == 0) {
                i += 16;
                continue;
            }
        }
        const std::uint8_t b = cells[i];
        if (b != 0 && b <= kBodies)  // column by column, as the map is stored
            surface.SetPixel(static_cast<std::int32_t>(i / rows),
                             static_cast<std::int32_t>(i % rows), s_.BodyColor[b]);
        ++i;
    }
}

void Plotter::Repaint() {
    shown_.fill(false);  // the surface was cleared first: only those drawn below are there
    if (memory_) {
        RepaintTracesOn(*memory_);
    } else {
        RepaintTracesOn(surface_);
    }
    for (int b = 1; b <= s_.BodyCount; ++b) {
        if (s_.BodyOn[b] != 1) continue;
        EraseMarker(b);
        DrawMarker(s_.LastPixX[b], s_.LastPixY[b], b, kBlack);
    }
}

bool Plotter::MoveOnMemory(int b, std::int32_t x, std::int32_t y) {
    MemorySurface& m = *memory_;
    auto& store = s_.MarkerStore;
    const int saved = 11 * b - 8;  // the nine saved colours; the old centre just before them
    const std::int32_t ox = store[saved - 2], oy = store[saved - 1];
    const int w = m.Width(), h = m.Height();
    auto within = [](std::int32_t v, int low, int high) {  // low <= v <= high, in one comparison
        return static_cast<std::uint32_t>(v) - static_cast<std::uint32_t>(low) <=
               static_cast<std::uint32_t>(high - low);
    };
    // Both markers within a window of 5 x 5 pixels wholly on the surface (a marker moves a pixel
    // at a time but for jumps), whose rows are read and written 8 pixels at a time, and eleven
    // palette entries free: no colour looked up below can then take an entry that another one
    // here has just been given.
    const std::int32_t left = std::min(x, ox) - 1, top = std::min(y, oy) - 1;
    if (!within(left, 0, w - 8) || !within(top, 0, h - 5) || !within(x - left, 1, 3) ||
        !within(ox - left, 1, 3) || !within(y - top, 1, 3) || !within(oy - top, 1, 3) ||
        m.FreeEntries() < 11) {
        // Both markers wholly off the surface and the map (a body flung far away): taking one
        // away and drawing the other change no pixel, and every colour saved is "outside".
        auto off = [w, h](std::int64_t cx, std::int64_t cy) {
            return cx + 1 < 0 || cx - 1 >= w || cy + 1 < 0 || cy - 1 >= h;
        };
        if (!off(x, y) || !off(ox, oy) || s_.PixelOwner.Contains(y, x)) return false;
        std::fill_n(&store[saved], 9, static_cast<std::int32_t>(kInvalidColour));
    } else {
        MoveWithin(b, x, y, left, top);
    }
    store[saved - 2] = x;
    store[saved - 1] = y;
    s_.LastPixX[b] = x;
    s_.LastPixY[b] = y;
    return true;
}

void Plotter::MoveWithin(int b, std::int32_t x, std::int32_t y, std::int32_t left,
                         std::int32_t top) {
    MemorySurface& m = *memory_;
    auto& store = s_.MarkerStore;
    const int saved = 11 * b - 8;
    const std::int32_t ox = store[saved - 2], oy = store[saved - 1];
    // EraseMarker and DrawMarker step by step on a copy of the window, written back at the end: one
    // step reading pixels the other has just written to memory stalls the processor for longer
    // than the whole move takes. Rows of 8: one load and one store each.
    constexpr int kRow = 8;
    const std::size_t w = static_cast<std::size_t>(m.Width());
    MemorySurface::Entry* const origin =
        m.Entries() + static_cast<std::size_t>(top) * w + static_cast<std::size_t>(left);
    MemorySurface::Entry window[5][kRow];
#pragma GCC unroll 5
    for (std::size_t r = 0; r < 5; ++r) std::memcpy(window[r], origin + r * w, kRow);
    std::int32_t colours[9];
    std::copy_n(&store[saved], 9, colours);
    MemorySurface::Entry* const from = &window[oy - top - 1][ox - left - 1];
    MemorySurface::Entry* const to = &window[y - top - 1][x - left - 1];
    Colour last = kInvalidColour;  // the saved colours are mostly one and the same
    MemorySurface::Entry lastEntry = 0;
#pragma GCC unroll 9
    for (int k = 0; k < 9; ++k) {
        if (colours[k] <= 0) continue;  // saved black and "outside" stay as they are
        if (static_cast<Colour>(colours[k]) != last) {
            last = static_cast<Colour>(colours[k]);
            lastEntry = m.IndexOf(last);
        }
        from[k / 3 * kRow + k % 3] = lastEntry;
    }
    from[kRow + 1] = m.IndexOf(s_.BodyColor[b]);  // the trace, at the centre
    const MemorySurface::Entry black = m.IndexOf(kBlack);
#pragma GCC unroll 9
    for (int k = 0; k < 9; ++k) {
        colours[k] = static_cast<std::int32_t>(m.ColourOf(to[k / 3 * kRow + k % 3]));
        to[k / 3 * kRow + k % 3] = black;
    }
#pragma GCC unroll 5
    for (std::size_t r = 0; r < 5; ++r) std::memcpy(origin + r * w, window[r], kRow);
    std::copy_n(colours, 9, &store[saved]);
    m.TouchSmallRect(left, top, left + 4, top + 4);
    if (s_.PixelOwner.Contains(y, x)) s_.PixelOwner.At(y, x) = static_cast<std::uint8_t>(b);
}

}  // namespace orbimo
