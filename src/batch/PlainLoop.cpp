#include "batch/PlainLoop.h"

#include <chrono>
#include <cmath>
#include <vector>

namespace orbimo {

PlainLoopResult RunPlainLoop(const SimState& start, bool stepLong, double stopTime,
                             std::int64_t maxTicks, int width, int height, bool draw) {
    double m[kSlots], x[kSlots], y[kSlots], vx[kSlots], vy[kSlots];
    int on[kSlots], px[kSlots], py[kSlots];
    unsigned colour[kSlots];
    int n = 0;  // the bodies taking part, packed
    for (int b = 1; b <= start.BodyCount; ++b) {
        if (start.BodyOn[b] != 1) continue;
        m[n] = start.Mass[b];
        x[n] = start.PosX[b];
        y[n] = start.PosY[b];
        vx[n] = start.VelX[b];
        vy[n] = start.VelY[b];
        on[n] = b;
        px[n] = py[n] = 0;
        colour[n] = start.BodyColor[b];
        ++n;
    }
    const int view = start.ViewBody;
    int viewIndex = -1;  // the view body among the packed ones, or it stays where it is
    for (int i = 0; i < n; ++i)
        if (on[i] == view) viewIndex = i;
    const double fixedVx = start.PosX[view >= 0 && view <= kBodies ? view : 0];
    const double fixedVy = start.PosY[view >= 0 && view <= kBodies ? view : 0];
    const double g = start.GravConst, zoom = start.Zoom, ox = start.OriginX, oy = start.OriginY;
    const double tx = start.TwipsPerPixelX, ty = start.TwipsPerPixelY;
    const double stepLength = start.StepLength;
    double dt = start.TimeStep;
    double t = start.SimTime;
    std::vector<unsigned> pixels(
        draw ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) : 0);

    const auto t0 = std::chrono::steady_clock::now();
    std::int64_t ticks = 0;
    for (;;) {
        if (stepLong) {
            double largest = 0;
            for (int i = 0; i < n; ++i) {
                const double v2 = vy[i] * vy[i] + vx[i] * vx[i];
                if (v2 > largest) largest = v2;
            }
            dt = stepLength / std::sqrt(largest);
        }
        const double gdt = g * dt;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                const double dx = x[j] - x[i], dy = y[j] - y[i];
                const double r2 = dy * dy + dx * dx;
                if (r2 == 0) continue;
                const double r = std::sqrt(r2), ux = dx / r, uy = dy / r;
                double k = gdt * m[j] / r2;
                vx[i] = k * ux + vx[i];
                vy[i] = k * uy + vy[i];
                k = gdt * m[i] / r2;
                vx[j] = vx[j] - k * ux;
                vy[j] = vy[j] - k * uy;
            }
        for (int i = 0; i < n; ++i) {
            x[i] = dt * vx[i] + x[i];
            y[i] = dt * vy[i] + y[i];
        }
        const double cxv = viewIndex >= 0 ? x[viewIndex] : fixedVx;
        const double cyv = viewIndex >= 0 ? y[viewIndex] : fixedVy;
        for (int i = 0; i < n; ++i) {
            const double fx = std::floor(((x[i] - cxv) / zoom + ox) / tx);
            const double fy = std::floor(((y[i] - cyv) / zoom + oy) / ty);
            if (!(fx >= -2147483648.0 && fx < 2147483648.0 && fy >= -2147483648.0 &&
                  fy < 2147483648.0))
                continue;
            const int cx = static_cast<int>(fx), cy = static_cast<int>(fy);
            if (cx == px[i] && cy == py[i]) continue;
            if (!draw) {
                px[i] = cx;
                py[i] = cy;
                continue;
            }
            if (px[i] >= 0 && py[i] >= 0 && px[i] < width && py[i] < height)
                pixels[static_cast<std::size_t>(py[i]) * width + px[i]] = colour[i];
            for (int ddy = -1; ddy <= 1; ++ddy)
                for (int ddx = -1; ddx <= 1; ++ddx) {
                    const int qx = cx + ddx, qy = cy + ddy;
                    if (qx >= 0 && qy >= 0 && qx < width && qy < height)
                        pixels[static_cast<std::size_t>(qy) * width + qx] = 0;
                }
            px[i] = cx;
            py[i] = cy;
        }
        t += dt;
        ++ticks;
        if (stopTime != 0 && t >= stopTime) break;
        if (maxTicks > 0 && ticks >= maxTicks) break;
    }
    PlainLoopResult r;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    r.ticks = ticks;
    double sum = t;
    for (int i = 0; i < n; ++i) sum += x[i] + y[i] + px[i] + py[i];
    for (std::size_t k = 0; k < pixels.size(); k += 4099) sum += pixels[k];
    r.checksum = sum;
    return r;
}

}  // namespace orbimo
