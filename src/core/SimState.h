#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/PixelSurface.h"
#include "platform/ZeroedAllocator.h"

namespace orbimo {

inline constexpr int kBodies = 11;  // body slots 1..11
inline constexpr double kAstroUnitMetres = 149597870000.0;
inline constexpr int kSlots = kBodies + 1;  // element 0 is never written

using BodyDoubles = std::array<double, kSlots>;

/// Trace map: one byte per screen pixel naming the body whose marker was last
/// centred there. Stored column by column: the repaint visits columns outer.
class PixelOwnerGrid {
  public:
    void Create(int lastRow, int lastColumn);
    int LastRow() const { return lastRow_; }
    int LastColumn() const { return lastColumn_; }
    bool Contains(std::int32_t row, std::int32_t column) const {
        return row >= 0 && column >= 0 && row <= lastRow_ && column <= lastColumn_;
    }
    std::uint8_t& At(std::int32_t row, std::int32_t column) {
        written_.first = std::min(written_.first, column);
        written_.second = std::max(written_.second, column);
        return cells_[static_cast<std::size_t>(column) * rows() + static_cast<std::size_t>(row)];
    }
    std::uint8_t At(std::int32_t row, std::int32_t column) const {
        return cells_[static_cast<std::size_t>(column) * rows() + static_cast<std::size_t>(row)];
    }
    void Fill(std::uint8_t v);
    using CellVector = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;
    const CellVector& Cells() const { return cells_; }

  private:
    std::size_t rows() const { return static_cast<std::size_t>(lastRow_ + 1); }
    int lastRow_ = -1;
    int lastColumn_ = -1;
    CellVector cells_;
    std::pair<int, int> written_{0, -1};  // the columns written since the last fill
};

/// The one shared record of the program.
struct SimState {
    std::int16_t BodyCount = 0;
    std::int16_t StopRequested = 0;  // 0 false, -1 true
    std::int16_t ViewBody = 0;
    double SimTime = 0;
    double Epoch = 0;
    double TimeStep = 0;
    double StepLength = 0;
    double Zoom = 0;
    double GravConst = 0;
    double EarthMass = 0;
    double AstroUnit = 0;
    std::int16_t TwipsPerPixelX = 0;
    std::int16_t TwipsPerPixelY = 0;
    double OriginX = 0;
    double OriginY = 0;

    BodyDoubles Mass{};
    BodyDoubles PosX{};
    BodyDoubles PosY{};
    BodyDoubles VelX{};
    BodyDoubles VelY{};
    std::array<std::int16_t, kSlots> BodyOn{};
    std::array<Colour, kSlots> BodyColor{};
    std::array<std::int32_t, kSlots> LastPixX{};
    std::array<std::int32_t, kSlots> LastPixY{};

    PixelOwnerGrid PixelOwner;
    std::array<std::int32_t, 122> MarkerStore{};
};

/// Trace colours of bodies 1..11 (0x00BBGGRR), the captions' colours in the parameters window.
inline constexpr std::array<Colour, kSlots> kTraceColours = {
    0,          0x000080FF, 0x000040C0, 0x0000C000, 0x00FF8070, 0x000000FF,
    0x00808000, 0x00800080, 0x00004080, 0x00800000, 0x00008080, 0x00C0C000};

/// Start-up step 1: counts, constants and defaults.
void SetConstants(SimState& s);
/// Start-up step 9: the built-in system into bodies 1..11.
void StoreBuiltInSystem(SimState& s);
/// Nearest integer, halves to even (the record's twips-per-pixel and grid bounds).
std::int32_t RoundHalfEven(double v);
/// Start-up step 6: the trace map sized from the screen in twips.
void CreatePixelOwner(SimState& s, double screenWidthTwips, double screenHeightTwips);

}  // namespace orbimo
