#pragma once
#include <optional>
#include <string>

#include "core/OrbitalElements.h"
#include "core/Totals.h"

namespace orbimo {

/// The columns of a table of totals: the runner's --totals and the graphs' export write them.
inline constexpr char kTotalsHeader[] =
    "t_s,date_time,kinetic_J,potential_J,total_J,angular_momentum_kg_m2_s,energy_drift";
/// The columns of a table of orbits: the runner's --elements.
inline constexpr char kElementsHeader[] = "body,name,centre,a_m,e,period_s,periapsis_m,apoapsis_m";

/// The shortest text that reads back to the same double, with a point; nothing for a value
/// that is not finite (an open orbit has no period).
void AppendCsvNumber(std::string& out, double v);

/// A row of totals without its line end: the time, its date quoted, the totals and the signed
/// relative drift of total energy.
void AppendTotalsRow(std::string& out, double time, const Totals& t, double energyDrift);

/// A row of elements with its line end: the numbers empty when the body has no orbit about
/// the centre.
void AppendElementsRow(std::string& out, int body, const std::u16string& name, int centre,
                       const std::optional<OrbitalElements>& o);

}  // namespace orbimo
