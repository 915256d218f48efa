#include "mainwindow/TotalsRows.h"

#include <charconv>
#include <cmath>

#include "convert/DateTimeText.h"
#include "platform/Utf8.h"

namespace orbimo {

void AppendCsvNumber(std::string& out, double v) {
    if (!std::isfinite(v)) return;
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    if (ec == std::errc{}) out.append(buf, end);
}

void AppendTotalsRow(std::string& out, double time, const Totals& t, double energyDrift) {
    AppendCsvNumber(out, time);
    out += ",\"" + ToUtf8(FormatDate(time)) + "\"";
    for (const double v : {t.kinetic, t.potential, t.Energy(), t.angularMomentum, energyDrift}) {
        out += ',';
        AppendCsvNumber(out, v);
    }
}

void AppendElementsRow(std::string& out, int body, const std::u16string& name, int centre,
                       const std::optional<OrbitalElements>& o) {
    out += std::to_string(body) + ",\"";
    for (const char c : ToUtf8(name)) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    out += "\"," + std::to_string(centre);
    for (const double v : {o ? o->a : NAN, o ? o->e : NAN, o ? o->period : NAN,
                           o ? o->periapsis : NAN, o ? o->apoapsis : NAN}) {
        out += ',';
        AppendCsvNumber(out, v);
    }
    out += '\n';
}

}  // namespace orbimo
