#include <gtest/gtest.h>

#include "display/Readout.h"
#include "fakes/FakeToolkit.h"

namespace orbimo {
namespace {

TEST(Readout, WritesEveryBodyTheClockAndTheScaleRoundedHalvesAwayFromZero) {
    SimState s;
    SetConstants(s);
    testing::FakeToolkit toolkit;
    ParamsModel p(s, toolkit);
    for (int b = 1; b <= kBodies; ++b)
        s.Mass[b] = b, s.PosX[b] = b + 0.25, s.PosY[b] = -b, s.VelX[b] = 0, s.VelY[b] = b * 1e20;
    s.SimTime = 86400 * 1.5, s.TimeStep = 0.5;
    const std::pair<double, std::u16string> zooms[] = {
        {1234.6, u"1 235"}, {1234.5, u"1 235"}, {-2.5e9, u"-2 500 000 000"}, {0.4, u"0,4"}};
    for (const auto& [zoom, text] : zooms) {
        s.Zoom = zoom;
        WriteReadout(s, p);
        EXPECT_EQ(p.scaleText, text) << zoom;
    }
    const BodyRow& r = p.bodies[11];
    EXPECT_EQ(r.mass.text + u" " + r.x.text + u" " + r.y.text + u" " + r.vx.text + u" " + r.vy.text,
              u"11 11,25 -11 0 1,1E+21");
    EXPECT_EQ(p.bodies[3].x.text, u"3,25");
    EXPECT_EQ(p.simDate.text + u" " + p.timeStep.text, u"02.01.1900 12:00:00 0,5");
}

}  // namespace
}  // namespace orbimo
