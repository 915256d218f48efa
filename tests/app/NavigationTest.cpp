// Zooming, panning, fitting and frames on the main window, with real mouse and key events.
#include <QMenu>
#include <QWheelEvent>
#include <set>

#include "app/AppHarness.h"
#include "display/Readout.h"

namespace orbimo::apptest {
namespace {

std::set<QRgb> TraceColours(const App& p) {
    std::set<QRgb> found;
    const std::vector<std::uint32_t> words = p.surface.Words();
    for (const std::uint32_t w : words)
        for (int b = 1; b <= 5; ++b)
            if (w == MemorySurface::ToWord(p.state.BodyColor[b])) found.insert(w);
    return found;
}

void Wheel(App& p, QPoint at, int notches) {
    QWheelEvent e(at, p.form.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&p.form, &e);
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
        double zoom, originX, originY;  // 0: not checked
        std::u16string view;
    };
    const Row rows[] = {
        {[&] {
             Wheel(p, {512, 288}, 1);
         },
         4e7, 7678.125, 4318.125, u"Вид: Тело 1"},  // 512,5 px stays
        {[&] {
             QTest::mousePress(&p.form, Qt::LeftButton, {}, {300, 300});
             QTest::mouseMove(&p.form, {340, 325});
             QTest::mouseRelease(&p.form, Qt::LeftButton, {}, {340, 325});
         },
         4e7, 7678.125 + 600, 4318.125 + 375, u"Вид: Тело 1"},
        {[&] { QTest::keyClick(&p.form, Qt::Key_Home); }, 4e7, 7680, 4320, u"Вид: Тело 1"},
        {[&] { QTest::keyClick(&p.form, Qt::Key_C); }, 4e7, 7680, 4320, u"Вид: центр масс"},
        {[&] { QTest::keyClick(&p.form, Qt::Key_R); }, 4e7, 7680, 4320,
         u"Вид: вращается с линией Тело 1–Тело 2"},
        {[&] { QTest::keyClick(&p.form, Qt::Key_R); }, 4e7, 7680, 4320, u"Вид: Тело 1"},
        {[&] {
             Wheel(p, {100, 100}, -3);
         },
         7.8125e7, 0, 0, u"Вид: Тело 1"},
    };
    for (const Row& r : rows) {
        r.act();
        EXPECT_EQ(p.state.Zoom, r.zoom);
        EXPECT_EQ(p.params.zoomText, GroupedScaleText(r.zoom));  // the field says it too
        if (r.originX != 0) {
            EXPECT_EQ(std::pair(p.state.OriginX, p.state.OriginY), std::pair(r.originX, r.originY));
        }
        EXPECT_EQ(ViewLine(p), r.view);
        EXPECT_EQ(TraceColours(p), colours);  // drawn again, not wiped
    }
    // F: every marker inside the window, above the buttons.
    QTest::keyClick(&p.form, Qt::Key_F);
    for (int b = 1; b <= 5; ++b) {
        EXPECT_TRUE(p.state.LastPixX[b] > 0 && p.state.LastPixX[b] < 1023) << b;
        EXPECT_TRUE(p.state.LastPixY[b] > 0 && p.state.LastPixY[b] < 623) << b;
    }
    // «Вид» of the menu chooses a view body as the parameters window does: a new plot.
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* a : menu->actions())
            if (a->text() == "Вид")
                for (QAction* v : a->menu()->actions())
                    if (v->text() == "4 — Тело 4") v->trigger();
        menu->close();
    });
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(9, 9), p.form.mapToGlobal(QPoint(9, 9)));
    QApplication::sendEvent(&p.form, &e);
    EXPECT_EQ(p.state.ViewBody, 4);
    EXPECT_EQ(p.params.viewOption, 4);
    EXPECT_TRUE(TraceColours(p).empty());
}

}  // namespace
}  // namespace orbimo::apptest
