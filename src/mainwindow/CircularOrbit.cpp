#include "mainwindow/CircularOrbit.h"

#include <array>
#include <cmath>

#include "convert/NumberText.h"

namespace orbimo {
namespace {

struct BodyNumbers {
    double mass = 0, x = 0, y = 0, vx = 0, vy = 0;
};

/// The body's five numbers, or the message naming the first field that does not read.
std::u16string ReadBody(const ParamsModel& params, int b, BodyNumbers& out) {
    const BodyRow& row = params.bodies[static_cast<std::size_t>(b)];
    const std::array<std::pair<const TextField*, double*>, 5> fields = {{{&row.mass, &out.mass},
                                                                         {&row.x, &out.x},
                                                                         {&row.y, &out.y},
                                                                         {&row.vx, &out.vx},
                                                                         {&row.vy, &out.vy}}};
    static const char16_t* const kLabels[5] = {u"Масса", u"X", u"Y", u"Скор.X", u"Скор.Y"};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::optional<double> v = ParseNumber(fields[i].first->text);
        if (!v)
            return u"Поле «" + std::u16string(kLabels[i]) + u"» тела «" + row.caption +
                   u"» — не число: круговую орбиту построить нельзя.";
        *fields[i].second = *v;
    }
    return {};
}

}  // namespace

EditResult PutOnCircularOrbit(ParamsModel& params, int b, int centre, OrbitSense sense) {
    if (b < 1 || b > kBodies || centre < 1 || centre > kBodies || b == centre)
        return {false, u"Для круговой орбиты нужны два разных тела.", 0};
    BodyNumbers m, c;
    for (auto [k, numbers] : {std::pair{b, &m}, {centre, &c}})
        if (std::u16string problem = ReadBody(params, k, *numbers); !problem.empty())
            return {false, std::move(problem), 0};
    const std::u16string& name = params.bodies[static_cast<std::size_t>(b)].caption;
    const std::u16string& centreName = params.bodies[static_cast<std::size_t>(centre)].caption;
    const double dx = m.x - c.x, dy = m.y - c.y, r = std::hypot(dx, dy);
    if (r == 0)
        return {false,
                u"Тело «" + name + u"» стоит в той же точке, что и «" + centreName +
                    u"»: круговую орбиту вокруг него построить нельзя.",
                0};
    const double gm = params.state().GravConst * (c.mass + m.mass);
    if (gm < 0)
        return {false,
                u"Сумма масс тел «" + name + u"» и «" + centreName +
                    u"» отрицательна: круговой орбиты нет.",
                0};
    const double speed = std::sqrt(gm / r);
    bool anticlockwise = true;
    const double dvx = m.vx - c.vx, dvy = m.vy - c.vy;
    if (sense == OrbitSense::AsMoving && dx * dvy - dy * dvx != 0)
        anticlockwise = ScreenAnticlockwise(dx, dy, dvx, dvy);
    // Across the line: (dy, −dx)/r turns screen-anticlockwise, (−dy, dx)/r the other way.
    const double turn = anticlockwise ? 1 : -1;
    const double vx = c.vx + turn * speed * (dy / r), vy = c.vy - turn * speed * (dx / r);
    return SetBodyVelocity(params, b, vx, vy, SpeedTolerance(vx, vy));
}

}  // namespace orbimo
