#include "mainwindow/TeachingLayers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "display/Frame.h"
#include "mainwindow/PaceClock.h"

namespace orbimo {

namespace {

constexpr double kAU = kAstroUnitMetres;

std::u16string Caption(const MainWindowLogic& logic, int b) {
    return logic.Params().bodies[static_cast<std::size_t>(b)].caption;
}

bool TakesPart(const SimState& s, int b) {
    return b >= 1 && b <= s.BodyCount && s.BodyOn[b] == 1;
}

/// World points to window pixels in the frame the picture is drawn in now.
class ToWindow {
  public:
    explicit ToWindow(const MainWindowLogic& logic)
        : s_(logic.State()),
          t_(TransformOf(logic.View().CurrentFrame(), s_, s_.ViewBody, s_.PosX, s_.PosY,
                         TakingPart(s_))) {}
    WindowPoint operator()(double x, double y) const {
        double dx = 0, dy = 0;
        if (t_.kind == FrameKind::Body) {
            dx = x - s_.PosX[t_.view], dy = y - s_.PosY[t_.view];
        } else {
            const double px = x - t_.cx, py = y - t_.cy;
            dx = px * t_.ux + py * t_.uy, dy = py * t_.ux - px * t_.uy;
        }
        return {(dx / s_.Zoom + s_.OriginX) / s_.TwipsPerPixelX,
                (dy / s_.Zoom + s_.OriginY) / s_.TwipsPerPixelY};
    }

  private:
    const SimState& s_;
    FrameTransform t_;
};

}  // namespace

void Teaching::Choose(const OrbitChoice& c) {
    const bool again = c.body != choice_.body || c.centre != choice_.centre ||
                       c.sectors != choice_.sectors || (c.areas && !choice_.areas);
    choice_ = c;
    if (again) areas_.Start(c.sectors);
}

int Teaching::Centre(const SimState& s) const {
    return choice_.centre != 0 ? choice_.centre : HeaviestBody(s);
}

std::optional<OrbitalElements> Teaching::Elements(const MainWindowLogic& logic) const {
    const auto [velX, velY] = logic.VelocitiesInStep();
    return ElementsAround(logic.State(), velX, velY, choice_.body, Centre(logic.State()));
}

void Teaching::Sample(const MainWindowLogic& logic) {
    graphs_.Sample(logic);
    if (logic.plotter().Clears() != clears_) {
        clears_ = logic.plotter().Clears();
        areas_.Start(choice_.sectors);
    }
    const SimState& s = logic.State();
    const int b = choice_.body, c = Centre(s);
    if (!choice_.areas || logic.Status().state == RunState::Idle || b == c || !TakesPart(s, b) ||
        !TakesPart(s, c))
        return;
    const auto [velX, velY] = logic.VelocitiesInStep();
    areas_.Add(s.SimTime, s.GravConst * (s.Mass[b] + s.Mass[c]), s.PosX[b] - s.PosX[c],
               s.PosY[b] - s.PosY[c], velX[b] - velX[c], velY[b] - velY[c]);
}

TeachingLayers Teaching::Layers(const MainWindowLogic& logic) const {
    TeachingLayers l;
    const SimState& s = logic.State();
    const ToWindow window(logic);
    const int c = Centre(s);
    const bool orbit = TakesPart(s, choice_.body) && TakesPart(s, c) && choice_.body != c;
    if (orbit && (choice_.ellipse || choice_.areas)) l.focus = window(s.PosX[c], s.PosY[c]);
    if (orbit && choice_.ellipse) {
        if (const auto o = Elements(logic); o && o->Closed()) {
            // r = p / (1 + e cos ν), turning from the periapsis the way the body goes.
            const double p = o->h * o->h / o->mu, sense = o->h < 0 ? -1 : 1;
            constexpr int kPoints = 360;
            for (int k = 0; k <= kPoints; ++k) {
                const double nu = 2 * std::numbers::pi * k / kPoints;
                const double r = p / (1 + o->e * std::cos(nu)), th = o->periapsisAngle + sense * nu;
                l.ellipse.push_back(
                    window(s.PosX[c] + r * std::cos(th), s.PosY[c] + r * std::sin(th)));
            }
        }
    }
    if (orbit && choice_.areas && !areas_.Sectors().empty()) {
        // One unit for all, that of a whole sector.
        const AreaUnit unit = AreaUnitFor(std::fabs(areas_.Sectors().front().area) *
                                          (areas_.Sectors().front().complete ? 1 : 2));
        l.areaUnit = unit.name;
        for (const AreaSector& a : areas_.Sectors()) {
            TeachingLayers::Sector sector;
            sector.tint = static_cast<int>(a.index & 1);
            sector.outline.push_back(*l.focus);
            for (const auto& [x, y] : a.path)
                sector.outline.push_back(window(s.PosX[c] + x, s.PosY[c] + y));
            if (a.complete) sector.area = ShortNumber(std::fabs(a.area) / unit.squareMetres, 4);
            // Six tenths of the way from the focus to the middle of the arc.
            const WindowPoint mid = sector.outline[(sector.outline.size() + 1) / 2];
            sector.label = {l.focus->x + 0.6 * (mid.x - l.focus->x),
                            l.focus->y + 0.6 * (mid.y - l.focus->y)};
            l.sectors.push_back(std::move(sector));
        }
    }
    if (choice_.thirdLaw && TakesPart(s, c)) l.thirdLaw = ThirdLawTable(logic, c);
    if (tape_.Shown(logic.View().CurrentFrame())) {
        const auto [x0, y0, x1, y1] = tape_.Ends(s);
        l.tape = std::array{WindowPoint{x0, y0}, WindowPoint{x1, y1}};
        l.tapeText =
            tape_.Text(std::fabs(s.Zoom) * s.TwipsPerPixelX, s.PixelOwner.LastColumn() + 1);
    }
    return l;
}

std::u16string DistanceText(double m) {
    if (std::isinf(m)) return u"∞";
    if (!std::isfinite(m)) return u"—";
    const double a = std::fabs(m);
    if (a < 1e9) return ShortNumber(m / 1e3, 4) + u" км";
    if (a < 7.5e10) return ShortNumber(m / 1e9, 4) + u" млн км";
    return ShortNumber(m / kAU, 4) + u" а. е.";
}

std::u16string SpanText(double t) {
    if (std::isinf(t)) return u"∞";
    if (!std::isfinite(t)) return u"—";
    const double a = std::fabs(t);
    if (a < 2 * kDaySeconds) return ShortNumber(t / 3600, 4) + u" ч";
    if (a < 2 * kYearSeconds) return ShortNumber(t / kDaySeconds, 4) + u" сут";
    return ShortNumber(t / kYearSeconds, 4) + u" лет";
}

AreaUnit AreaUnitFor(double m2) {
    const double a = std::fabs(m2);
    if (a >= 1e-4 * kAU * kAU) return {kAU * kAU, u"а. е.²"};
    if (a >= 1e12) return {1e12, u"млн км²"};
    return {1e6, u"км²"};
}

std::u16string SectorAreasText(const EqualAreas& areas) {
    double low = INFINITY, high = 0;
    int n = 0;
    for (const AreaSector& s : areas.Sectors())
        if (s.complete)
            low = std::min(low, std::fabs(s.area)), high = std::max(high, std::fabs(s.area)), ++n;
    if (n == 0) return u"—";
    const AreaUnit unit = AreaUnitFor(high);
    return ShortNumber(low / unit.squareMetres, 4) + u" … " +
           ShortNumber(high / unit.squareMetres, 4) + u" " + unit.name + u" (" + GroupedInteger(n) +
           u" из " + GroupedInteger(areas.Count()) + u")";
}

std::vector<std::pair<std::u16string, std::u16string>> ElementLines(
    const std::optional<OrbitalElements>& o) {
    const std::u16string none = u"—";
    if (!o)
        return {{u"Большая полуось", none},
                {u"Эксцентриситет", none},
                {u"Период", none},
                {u"Ближайшее расстояние", none},
                {u"Дальнейшее расстояние", none},
                {u"Направление на перицентр", none},
                {u"Движение", none}};
    // The picture's rows run down the record's y: seen there, angles and turns are mirrored.
    const double degrees = -o->periapsisAngle * 180 / std::numbers::pi;
    return {{u"Большая полуось", o->Closed() ? DistanceText(o->a) : u"— (орбита не замкнута)"},
            {u"Эксцентриситет", ShortNumber(o->e, 5)},
            {u"Период", o->Closed() ? SpanText(o->period) : u"∞ (орбита не замкнута)"},
            {u"Ближайшее расстояние", DistanceText(o->periapsis)},
            {u"Дальнейшее расстояние", DistanceText(o->apoapsis)},
            {u"Направление на перицентр", ShortNumber(degrees == 0 ? 0 : degrees, 4) + u"°"},
            {u"Движение", o->h < 0   ? u"против часовой стрелки"
                          : o->h > 0 ? u"по часовой стрелке"
                                     : u"по прямой"}};
}

std::vector<std::array<std::u16string, 4>> ThirdLawTable(const MainWindowLogic& logic, int centre) {
    std::vector<std::array<std::u16string, 4>> rows{
        {u"Тело", u"a, а. е.", u"T, лет", u"T²/a³, лет²/а. е.³"}};
    const SimState& s = logic.State();
    const auto [velX, velY] = logic.VelocitiesInStep();
    for (int b = 1; b <= s.BodyCount; ++b) {
        if (b == centre || !TakesPart(s, b)) continue;
        const auto o = ElementsAround(s, velX, velY, b, centre);
        if (!o || !o->Closed()) {
            rows.push_back({Caption(logic, b), u"—", u"—", u"—"});
            continue;
        }
        const double a = o->a / kAU, t = o->period / kYearSeconds;
        rows.push_back({Caption(logic, b), ShortNumber(a, 4), ShortNumber(t, 4),
                        ShortNumber(t * t / (a * a * a), 4)});
    }
    return rows;
}

}  // namespace orbimo
