#include "core/SimState.h"

#include <algorithm>
#include <cmath>

namespace orbimo {

void PixelOwnerGrid::Create(int lastRow, int lastColumn) {
    lastRow_ = std::max(lastRow, -1);
    lastColumn_ = std::max(lastColumn, -1);
    // Made anew, so all zero, and untouched until written.
    cells_ = CellVector(static_cast<std::size_t>(lastRow_ + 1) *
                        static_cast<std::size_t>(lastColumn_ + 1));
    written_ = {lastColumn_ + 1, -1};
}

void PixelOwnerGrid::Fill(std::uint8_t v) {
    if (v != 0) {
        std::fill(cells_.begin(), cells_.end(), v);
        written_ = {0, lastColumn_};
        return;
    }
    // Zeros only where anything was written: a clear before anything was drawn costs nothing.
    if (written_.first <= written_.second)
        std::fill(cells_.begin() + static_cast<std::ptrdiff_t>(written_.first * rows()),
                  cells_.begin() + static_cast<std::ptrdiff_t>((written_.second + 1) * rows()),
                  std::uint8_t{0});
    written_ = {lastColumn_ + 1, -1};
}

std::int32_t RoundHalfEven(double v) {
    return static_cast<std::int32_t>(std::nearbyint(v));
}

void SetConstants(SimState& s) {
    s.BodyCount = kBodies;
    s.TimeStep = 3600;
    s.Epoch = 2;  // 01.01.1900 as a day count from 30.12.1899
    s.Zoom = 50000000;
    s.ViewBody = 1;
    s.GravConst = 6.6725e-11;
    s.EarthMass = 5.976e24;
    s.AstroUnit = kAstroUnitMetres;
}

void StoreBuiltInSystem(SimState& s) {
    struct Row {
        double massFactor, distanceFactor, velY;
    };
    // Masses in Earth masses, distances in astronomical units, speeds in m/s.
    static constexpr Row kRows[kSlots] = {{0, 0, 0},
                                          {332946, 0, 0},
                                          {0.055, 0.3075, -47890},
                                          {0.185, 0.7184, -35030},
                                          {1, 1, -29790},
                                          {0.107, 1.3814, -24130},
                                          {317.94, 4.951, -13060},
                                          {95.18, 9.008, -9640},
                                          {14.531, 18.28, -6810},
                                          {17.135, 29.8, -5430},
                                          {0.0123, 0, -1000},
                                          {0, 0, 0}};
    for (int b = 1; b <= kBodies; ++b) {
        s.Mass[b] = s.EarthMass * kRows[b].massFactor;
        s.PosX[b] = s.AstroUnit * kRows[b].distanceFactor;
        s.PosY[b] = 0;
        s.VelX[b] = 0;
        s.VelY[b] = kRows[b].velY;
    }
}

void CreatePixelOwner(SimState& s, double screenWidthTwips, double screenHeightTwips) {
    int lastRow = RoundHalfEven(screenHeightTwips / s.TwipsPerPixelY - 1);
    int lastColumn = RoundHalfEven(screenWidthTwips / s.TwipsPerPixelX - 1);
    s.PixelOwner.Create(lastRow, lastColumn);
}

}  // namespace orbimo
