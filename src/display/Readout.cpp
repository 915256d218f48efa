#include "display/Readout.h"

#include <charconv>
#include <cmath>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"

namespace orbimo {

std::u16string GroupedScaleText(double zoom) {
    const double rounded = std::round(zoom);  // halves away from zero
    // A positive scale below half a metre would show as nothing and be lost at the next run.
    if (!std::isfinite(rounded) || (rounded == 0 && zoom != 0)) return FormatNumber(zoom);
    char digits[400];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, std::fabs(rounded),
                                   std::chars_format::fixed, 0);
    if (ec != std::errc{}) return FormatNumber(zoom);
    std::u16string out;
    if (rounded < 0) out.push_back(u'-');
    const int n = static_cast<int>(end - digits);
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.push_back(u' ');
        out.push_back(static_cast<char16_t>(digits[i]));
    }
    return out;
}

void WriteReadout(const SimState& s, ParamsModel& params) {
    for (int b = 1; b <= s.BodyCount; ++b) {
        BodyRow& row = params.bodies[b];
        row.mass.text = FormatNumber(s.Mass[b]);
        row.x.text = FormatNumber(s.PosX[b]);
        row.y.text = FormatNumber(s.PosY[b]);
        row.vx.text = FormatNumber(s.VelX[b]);
        row.vy.text = FormatNumber(s.VelY[b]);
    }
    params.simDate.text = FormatDate(s.SimTime);
    params.timeStep.text = FormatNumber(s.TimeStep);
    params.scaleText = GroupedScaleText(s.Zoom);
    if (params.changed) params.changed();
}

}  // namespace orbimo
