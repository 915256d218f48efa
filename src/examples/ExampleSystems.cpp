// The example systems of the catalogue, written by the program's own writer. The
// committed files in examples/Save are checked against this table (ExamplesTest).
#include "examples/ExampleSystems.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <stdexcept>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "core/SimState.h"
#include "display/Readout.h"
#include "files/SaveLoad.h"
#include "params/ParamsModel.h"
#include "platform/Toolkit.h"

namespace orbimo::examples {

namespace {

constexpr double kDeg = std::numbers::pi / 180;

/// Keeps the messages of the date and number conversions; the table must cause none.
class Quiet : public Toolkit {
  public:
    void MessageBox(const std::u16string& text) override { messages.push_back(text); }
    std::u16string InputBox(const std::u16string&, const std::u16string&,
                            const std::u16string&) override {
        return {};
    }
    void DispatchPendingEvents() override {}
    [[noreturn]] void EndProgram() override { std::abort(); }
    std::vector<std::u16string> messages;
};

struct Vec {
    double x = 0, y = 0;
};
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y};
}
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y};
}
Vec operator*(double k, Vec a) {
    return {k * a.x, k * a.y};
}
Vec Polar(double r, double angle) {
    return {r * std::cos(angle), r * std::sin(angle)};
}

/// A body in the usual mathematical plane (y up, angles counter-clockwise).
struct State {
    std::u16string name;
    double mass;
    Vec r, v;
};

/// Position and velocity relative to the central body of mass-parameter mu, from the
/// semi-major axis, eccentricity, longitude of perihelion and mean longitude (degrees).
State Kepler(std::u16string name, double mass, double mu, double a, double e, double varpiDeg,
             double meanLongitudeDeg) {
    const double m = std::remainder((meanLongitudeDeg - varpiDeg) * kDeg, 2 * std::numbers::pi);
    double E = m + e * std::sin(m);
    for (int i = 0; i < 50; ++i) E -= (E - e * std::sin(E) - m) / (1 - e * std::cos(E));
    const double nu =
        2 * std::atan2(std::sqrt(1 + e) * std::sin(E / 2), std::sqrt(1 - e) * std::cos(E / 2));
    const double r = a * (1 - e * std::cos(E));
    const double p = a * (1 - e * e);
    const double theta = nu + varpiDeg * kDeg;
    const double vr = std::sqrt(mu / p) * e * std::sin(nu);
    const double vt = std::sqrt(mu / p) * (1 + e * std::cos(nu));
    return {std::move(name), mass, Polar(r, theta),
            vr * Polar(1, theta) + vt * Polar(1, theta + std::numbers::pi / 2)};
}

/// Moves every body so that the centre of mass rests at the origin.
void ToBarycentre(std::vector<State>& bodies) {
    double mass = 0;
    Vec r, v;
    for (const State& b : bodies) {
        mass += b.mass;
        r = r + b.mass * b.r;
        v = v + b.mass * b.v;
    }
    for (State& b : bodies) {
        b.r = b.r - (1 / mass) * r;
        b.v = b.v - (1 / mass) * v;
    }
}

/// The mathematical plane as the screen shows it: y downward, so counter-clockwise
/// motion seen from above stays counter-clockwise on the screen.
std::vector<Body> OnScreen(const std::vector<State>& bodies) {
    std::vector<Body> out;
    for (const State& b : bodies) out.push_back({b.name, b.mass, b.r.x, -b.r.y, b.v.x, -b.v.y});
    return out;
}

struct Planet {
    const char16_t* name;
    double mass, a, e, varpi, meanLongitude;  // AU, degrees; J2000 mean elements
};

// JPL's approximate mean elements for 2000-01-01 (Standish), Ceres from the MPC.
// clang-format off
constexpr Planet kMercury{u"Меркурий", 3.3011e23,    0.38709927, 0.20563593,  77.45779628, 252.25032350};
constexpr Planet kVenus  {u"Венера",   4.8675e24,    0.72333566, 0.00677672, 131.60246718, 181.97909950};
constexpr Planet kEarth  {u"Земля",    kEarthMass,   1.00000261, 0.01671123, 102.93768193, 100.46457166};
constexpr Planet kMars   {u"Марс",     6.4171e23,    1.52371034, 0.09339410, 336.05637041, 355.44656795};
constexpr Planet kCeres  {u"Церера",   9.3835e20,    2.7675,     0.0760,     153.9,        160.0};
constexpr Planet kJupiter{u"Юпитер",   kJupiterMass, 5.20288700, 0.04838624,  14.72847983,  34.39644051};
constexpr Planet kSaturn {u"Сатурн",   5.6834e26,    9.53667594, 0.05386179,  92.59887831,  49.95424423};
constexpr Planet kUranus {u"Уран",     8.6810e25,   19.18916464, 0.04725744, 170.95427630, 313.23810451};
constexpr Planet kNeptune{u"Нептун",   1.02413e26,  30.06992276, 0.00859048,  44.96476227, 304.87997031};
constexpr Planet kPluto  {u"Плутон",   1.303e22,    39.48211675, 0.24882730, 224.06891629, 238.92903833};
// clang-format on

std::vector<State> SunAnd(std::initializer_list<Planet> planets) {
    std::vector<State> bodies{{u"Солнце", kSunMass, {}, {}}};
    for (const Planet& p : planets)
        bodies.push_back(Kepler(p.name, p.mass, G * (kSunMass + p.mass), p.a * kAU, p.e, p.varpi,
                                p.meanLongitude));
    ToBarycentre(bodies);
    return bodies;
}

System InnerPlanets() {
    System s;
    s.file = u"Внутренние планеты.sav";
    s.bodies = OnScreen(SunAnd({kMercury, kVenus, kEarth, kMars}));
    s.start = u"01.01.2000";
    s.stop = u"01.01.2002";
    s.step = 3600;
    s.zoom = 60'000'000;
    s.view = 1;
    return s;
}

System OuterPlanets() {
    System s;
    s.file = u"Внешние планеты.sav";
    s.bodies = OnScreen(SunAnd({kJupiter, kSaturn, kUranus, kNeptune}));
    s.start = u"01.01.2000";
    s.stop = u"01.01.2165";  // one orbit of Neptune
    s.step = kDay;
    s.zoom = 1'200'000'000;
    s.view = 1;
    return s;
}

System SunEarthMoon() {
    // The Earth–Moon pair's centre on the Earth's orbit, the Moon 384 400 km from the Earth.
    const double pair = kEarthMass + kMoonMass;
    const State centre = Kepler(u"", pair, G * (kSunMass + pair), kEarth.a * kAU, kEarth.e,
                                kEarth.varpi, kEarth.meanLongitude);
    const double d = 3.844e8;
    const double angle = 40 * kDeg;
    const Vec rel = Polar(d, angle);
    const Vec relV = std::sqrt(G * pair / d) * Polar(1, angle + std::numbers::pi / 2);
    std::vector<State> bodies{
        {u"Солнце", kSunMass, {}, {}},
        {u"Земля", kEarthMass, centre.r - (kMoonMass / pair) * rel,
         centre.v - (kMoonMass / pair) * relV},
        {u"Луна", kMoonMass, centre.r + (kEarthMass / pair) * rel,
         centre.v + (kEarthMass / pair) * relV},
    };
    ToBarycentre(bodies);
    System s;
    s.file = u"Солнце, Земля и Луна.sav";
    s.bodies = OnScreen(bodies);
    s.start = u"01.01.2000";
    s.stop = u"01.01.2001";
    s.step = 600;
    s.zoom = 120'000;
    s.view = 2;  // the Earth
    return s;
}

System BinaryStar() {
    // Two suns 0.25 AU apart on a circular orbit; a planet four times as far out.
    const double m1 = kSunMass, m2 = 0.6 * kSunMass, mass = m1 + m2;
    const double ab = 0.25 * kAU;
    const double vRel = std::sqrt(G * mass / ab);
    const double rp = 1.0 * kAU;
    // The pair pulls a little harder than one star of its mass (its quadrupole).
    const double q = m1 * m2 / (mass * mass);
    const double vp = std::sqrt(G * mass / rp * (1 + 0.75 * q * (ab / rp) * (ab / rp)));
    std::vector<State> bodies{
        {u"Звезда А", m1, {-m2 / mass * ab, 0}, {0, -m2 / mass * vRel}},
        {u"Звезда Б", m2, {m1 / mass * ab, 0}, {0, m1 / mass * vRel}},
        {u"Планета", kEarthMass, {0, rp}, {-vp, 0}},
    };
    ToBarycentre(bodies);
    System s;
    s.file = u"Двойная звезда с планетой.sav";
    s.bodies = OnScreen(bodies);
    s.start = u"01.01.2000";
    s.stop = u"01.01.2003";
    s.step = 1800;
    s.zoom = 40'000'000;
    s.view = 0;  // the centre of mass, which stays at the origin
    return s;
}

System FigureEight() {
    // Chenciner and Montgomery's solution (G = m = 1, period 6.32591398), in solar masses
    // and astronomical units; it is drawn as given, which the screen shows mirrored.
    const EightUnits u = Eight();
    const Vec r1{0.97000436, -0.24308753};
    const Vec v3{-0.93240737, -0.86473146};
    const Vec v1 = -0.5 * v3;
    std::vector<Body> bodies{
        {u"Звезда 1", u.mass, u.length * r1.x, u.length * r1.y, u.speed * v1.x, u.speed * v1.y},
        {u"Звезда 2", u.mass, -u.length * r1.x, -u.length * r1.y, u.speed * v1.x, u.speed * v1.y},
        {u"Звезда 3", u.mass, 0, 0, u.speed * v3.x, u.speed * v3.y},
    };
    System s;
    s.file = u"Восьмёрка трёх тел.sav";
    s.bodies = bodies;
    s.step = u.period / 20000;
    // One period after the start: the picture closes into the figure eight.
    Quiet quiet;
    const double start = ParseDate(u"01.01.2000", quiet);
    s.start = u"01.01.2000";
    s.stop = FormatDate(start + u.period);
    s.zoom = 25'000'000;
    s.view = 0;
    return s;
}

System Trojans() {
    // Jupiter on a circular orbit; the Trojans on the same circle 60° ahead (L4) and behind
    // (L5), moving with the Sun–Jupiter line. One of each side sits exactly at the point,
    // the other 10° further from Jupiter and swings about it (a tadpole orbit). The Sun-centred
    // view shows one ring; the tadpoles show in the frame turning with bodies 1 and 2 (key R),
    // so the Sun and Jupiter keep those places.
    const double a = kJupiter.a * kAU;
    const double mass = kSunMass + kJupiterMass, mu = kJupiterMass / mass;
    const double w = std::sqrt(G * mass / (a * a * a));
    const Vec sun{-mu * a, 0};
    auto turning = [&](std::u16string name, double m, Vec r) {
        return State{std::move(name), m, r, w * Vec{-r.y, r.x}};
    };
    auto fromSun = [&](double deg) { return sun + Polar(a, deg * kDeg); };
    constexpr double kTrojanMass = 1e18;
    std::vector<State> bodies{
        turning(u"Солнце", kSunMass, sun),
        turning(u"Юпитер", kJupiterMass, fromSun(0)),
        turning(u"Ахиллес", kTrojanMass, fromSun(60)),
        turning(u"Гектор", kTrojanMass, fromSun(70)),
        turning(u"Патрокл", kTrojanMass, fromSun(-60)),
        turning(u"Приам", kTrojanMass, fromSun(-70)),
    };
    ToBarycentre(bodies);
    System s;
    s.file = u"Троянцы Юпитера.sav";
    s.bodies = OnScreen(bodies);
    s.start = u"01.01.2000";
    s.stop = u"01.09.2118";  // ten orbits of Jupiter (11.862 years each)
    s.step = kDay;
    s.zoom = 200'000'000;
    s.view = 1;
    return s;
}

System Flyby() {
    // A probe leaves the Earth's orbit on an ellipse reaching 6 AU and passes about a dozen
    // Jupiter radii behind Jupiter, which throws it out of the Solar System. Jupiter's
    // starting angle was found by trying angles with this very integrator and step; the
    // encounter is below the Sun, so that the probe leaves across the wide screen.
    const double turn = -90;
    const double aj = kJupiter.a * kAU;
    const double vj = std::sqrt(G * (kSunMass + kJupiterMass) / aj);
    const double jupiterAngle = (turn - 56.75) * kDeg;
    const double rp = kAU, at = (1 + 6.0) / 2 * kAU;
    const double vp = std::sqrt(G * kSunMass * (2 / rp - 1 / at));
    const double probeDeg = turn + 200;
    const double probeAngle = probeDeg * kDeg;
    std::vector<State> bodies{
        {u"Солнце", kSunMass, {}, {}},
        // The Earth on the far side of its orbit, out of the probe's way.
        Kepler(u"Земля", kEarthMass, G * (kSunMass + kEarthMass), kEarth.a * kAU, kEarth.e,
               kEarth.varpi, probeDeg + 180),
        {u"Юпитер", kJupiterMass, Polar(aj, jupiterAngle),
         Polar(vj, jupiterAngle + std::numbers::pi / 2)},
        {u"Зонд", 1000, Polar(rp, probeAngle), Polar(vp, probeAngle + std::numbers::pi / 2)},
    };
    ToBarycentre(bodies);
    System s;
    s.file = u"Гравитационный манёвр у Юпитера.sav";
    s.bodies = OnScreen(bodies);
    s.start = u"01.01.2000";
    s.stop = u"01.01.2004";
    s.step = 1800;
    s.zoom = 200'000'000;
    s.view = 1;
    return s;
}

System Comet() {
    // Halley's comet's orbit (a = 17.834 AU, e = 0.96714), starting at aphelion on the left.
    // In step-length mode the step shrinks near the Sun, where the comet is fast.
    const double a = 17.834 * kAU, e = 0.96714;
    const double mass = 2.2e14;
    std::vector<State> bodies{
        {u"Солнце", kSunMass, {}, {}},
        Kepler(u"Комета", mass, G * (kSunMass + mass), a, e, 0, 180),
    };
    ToBarycentre(bodies);
    System s;
    s.file = u"Комета Галлея.sav";
    s.bodies = OnScreen(bodies);
    // One revolution, 75.3 years: the picture closes at aphelion.
    const double period = 2 * std::numbers::pi * std::sqrt(a * a * a / (G * (kSunMass + mass)));
    Quiet quiet;
    s.start = u"01.01.2000";
    s.stop = FormatDate(ParseDate(s.start, quiet) + std::round(period / kDay) * kDay);
    s.step = kDay;
    s.stepLength = 3e7;
    s.stepLong = true;
    s.zoom = 800'000'000;
    s.view = 1;
    return s;
}

System SolarSystem() {
    // All eleven bodies: the Sun, the planets, Ceres and Pluto on 1 January 2000.
    System s;
    s.file = u"Солнечная система.sav";
    s.bodies = OnScreen(SunAnd(
        {kMercury, kVenus, kEarth, kMars, kCeres, kJupiter, kSaturn, kUranus, kNeptune, kPluto}));
    s.start = u"01.01.2000";
    s.stop = u"01.01.2400";
    s.step = 3600;
    s.zoom = 2'000'000'000;
    s.view = 1;
    return s;
}

}  // namespace

const std::vector<System>& Systems() {
    static const std::vector<System> all = {InnerPlanets(), OuterPlanets(), SunEarthMoon(),
                                            BinaryStar(),   FigureEight(),  Trojans(),
                                            Flyby(),        Comet(),        SolarSystem()};
    return all;
}

EightUnits Eight() {
    EightUnits u{};
    u.mass = kSunMass;
    u.length = kAU;
    u.time = std::sqrt(u.length * u.length * u.length / (G * u.mass));
    u.speed = u.length / u.time;
    u.period = 6.32591398 * u.time;
    return u;
}

std::string FileBytes(const System& s) {
    SimState state;
    Quiet toolkit;
    ParamsModel params(state, toolkit);
    if (s.bodies.size() > static_cast<std::size_t>(kBodies)) throw std::length_error("bodies");
    for (std::size_t i = 0; i < s.bodies.size(); ++i) {
        const Body& b = s.bodies[i];
        BodyRow& row = params.bodies[i + 1];
        row.caption = b.name;
        row.state = 1;
        row.mass.text = FormatNumber(b.mass);
        row.x.text = FormatNumber(b.x);
        row.y.text = FormatNumber(b.y);
        row.vx.text = FormatNumber(b.vx);
        row.vy.text = FormatNumber(b.vy);
    }
    for (std::size_t k = s.bodies.size() + 1; k <= static_cast<std::size_t>(kBodies); ++k)
        params.bodies[k].state = 0;
    // Dates in the form the window shows them after loading.
    params.simDate.text = FormatDate(ParseDate(s.start, toolkit));
    params.stopDate.text = FormatDate(ParseDate(s.stop, toolkit));
    params.timeStep.text = FormatNumber(s.step);
    params.stepLength.text = FormatNumber(s.stepLength);
    params.stepLengthMode = s.stepLong ? 1 : 0;
    params.scaleText = GroupedScaleText(s.zoom);
    state.ViewBody = static_cast<std::int16_t>(s.view);
    if (!toolkit.messages.empty()) throw std::invalid_argument("bad date in the table");
    return SystemFileBytes(params);
}

}  // namespace orbimo::examples
