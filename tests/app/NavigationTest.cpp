// Zooming, panning, fitting and frames on the main window, with real mouse and key events.
#include <QWheelEvent>
#include <set>

#include "app/AppHarness.h"
#include "display/Readout.h"

namespace orbimo::apptest {
namespace {

std::set<QRgb> TraceColours(const App& p) {
    std::set<QRgb> found;
    for (long i = 0; i < kPixels; ++i)
        for (int b = 1; b <= 5; ++b)
            if (p.surface.Words()[i] == MemorySurface::ToWord(p.state.BodyColor[b]))
                found.insert(p.surface.Words()[i]);
    return found;
}

void Wheel(App& p, QPoint at, int notches) {
    QWheelEvent e(at, p.form.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&p.form, &e);
}

void Drag(App& p, QPoint from, QPoint to) {
    QTest::mousePress(&p.form, Qt::LeftButton, {}, from);
    QTest::mouseMove(&p.form, to);
    QTest::mouseRelease(&p.form, Qt::LeftButton, {}, to);
}

std::u16string ViewLine(App& p) {
    p.form.Present();
    return p.form.CurrentOverlay().readout.back().text;
}

TEST(Navigation, WheelDragHomeFitAndFrameKeysRedrawTheTracesAndChooseTheView) {
    App p;
    p.ActivateForm();
    ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
    const std::set<QRgb> colours = TraceColours(p);
    ASSERT_EQ(colours.size(), 4u);  // bodies 2 to 5; body 1 is the view body
    struct Row {
        std::function<void()> act;
        double zoom, originX, originY;
        std::u16string view;
    };
    const auto key = [&](Qt::Key k) { return [&p, k] { QTest::keyClick(&p.form, k); }; };
    // The point under the cursor stays: the wheel at 512,5 px and at 100,5 px.
    const Row rows[] = {
        {[&] { Wheel(p, QPoint(512, 288), 1); }, 4e7, 7678.125, 4318.125, u"Вид: Тело 1"},
        {[&] { Drag(p, QPoint(300, 300), QPoint(340, 325)); }, 4e7, 8278.125, 4693.125,
         u"Вид: Тело 1"},
        {key(Qt::Key_Home), 4e7, 7680, 4320, u"Вид: Тело 1"},
        {key(Qt::Key_C), 4e7, 7680, 4320, u"Вид: центр масс"},
        {key(Qt::Key_R), 4e7, 7680, 4320, u"Вид: вращается с линией Тело 1–Тело 2"},
        {key(Qt::Key_R), 4e7, 7680, 4320, u"Вид: Тело 1"},
        {[&] { Wheel(p, QPoint(100, 100), -3); }, 7.8125e7, 4667.82, 2947.5, u"Вид: Тело 1"},
    };
    for (const Row& r : rows) {
        r.act();
        EXPECT_EQ(p.state.Zoom, r.zoom);
        EXPECT_EQ(p.params.zoomText, GroupedScaleText(r.zoom));  // the field says it too
        EXPECT_NEAR(p.state.OriginX, r.originX, 1e-9);
        EXPECT_NEAR(p.state.OriginY, r.originY, 1e-9);
        EXPECT_EQ(ViewLine(p), r.view);
        EXPECT_EQ(TraceColours(p), colours);  // drawn again, not wiped
    }
    // F: every marker inside the window, above the buttons.
    QTest::keyClick(&p.form, Qt::Key_F);
    for (int b = 1; b <= 5; ++b) {
        EXPECT_TRUE(p.state.LastPixX[b] > 0 && p.state.LastPixX[b] < 1023) << b;
        EXPECT_TRUE(p.state.LastPixY[b] > 0 && p.state.LastPixY[b] < 623) << b;
    }
    Choose(p, {"Вид", "4 — Тело 4"});  // as the parameters window does: a new plot
    EXPECT_EQ(p.state.ViewBody, 4);
    EXPECT_EQ(p.params.viewOption, 4);
    EXPECT_TRUE(TraceColours(p).empty());
}

}  // namespace
}  // namespace orbimo::apptest
