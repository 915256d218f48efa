#pragma once
// The example systems shipped in the catalogue, as data: the table they are written from.
#include <string>
#include <vector>

namespace orbimo::examples {

inline constexpr double G = 6.6725e-11;  // the program's constant, not today's best value
inline constexpr double kAU = 1.495978707e11;
inline constexpr double kDay = 86400;
inline constexpr double kYear = 365.25 * kDay;
inline constexpr double kSunMass = 1.989e30;
inline constexpr double kJupiterMass = 1.8982e27;
inline constexpr double kEarthMass = 5.9722e24;
inline constexpr double kMoonMass = 7.342e22;

/// One body in screen coordinates (x to the right, y downward), SI units.
struct Body {
    std::u16string name;
    double mass = 0, x = 0, y = 0, vx = 0, vy = 0;
};

struct System {
    std::u16string file;         // the name in the Save folder, with ".sav"
    std::vector<Body> bodies;    // slots 1, 2, ...; the rest stay empty and switched off
    std::u16string start, stop;  // date-time texts
    double step = 3600;          // s
    double stepLength = 0;       // m, used in step-length mode
    bool stepLong = false;
    double zoom = 0;  // m per twip
    int view = 1;     // the view body
};

/// Every shipped system, in the order of the issue, then the whole Solar System.
const std::vector<System>& Systems();

/// The bytes of the system's file, written by the program's own writer as the
/// parameters window would save them.
std::string FileBytes(const System& s);

/// The figure-eight's units: mass, length, and the time and speed that follow with G.
struct EightUnits {
    double mass, length, time, speed, period;
};
EightUnits Eight();

}  // namespace orbimo::examples
