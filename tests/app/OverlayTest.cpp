// The layers over the picture, the pace keys and the menu entries, with real events.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>

#include "app/AppHarness.h"
#include "app/HelpWindow.h"

namespace orbimo::apptest {
namespace {

struct Shown {
    int pace;
    bool readout, labels, scaleBar;
    bool operator==(const Shown&) const = default;
};

Shown Now(App& p) {
    const Overlay& o = p.form.CurrentOverlay();
    EXPECT_EQ(o.readout.empty(), !p.form.Prefs().readout);  // what is kept is what is drawn
    EXPECT_EQ(o.legend.empty(), !p.form.Prefs().labels);
    EXPECT_EQ(o.scaleBar.has_value(), p.form.Prefs().scaleBar);
    return {p.logic.Pace(), p.form.Prefs().readout, p.form.Prefs().labels, p.form.Prefs().scaleBar};
}

/// Opens the main window's menu with the mouse and chooses an entry, through submenus.
void Choose(App& p, const QStringList& path) {
    bool chosen = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        QMenu* at = menu;
        for (const QString& text : path) {
            const QList<QAction*> actions = at->actions();
            const auto it = std::find_if(actions.begin(), actions.end(),
                                         [&](QAction* a) { return a->text() == text; });
            ASSERT_NE(it, actions.end()) << text.toStdString();
            if ((*it)->menu()) {
                at = (*it)->menu();
            } else {
                (*it)->trigger();
                chosen = true;
            }
        }
        menu->close();
    });
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(300, 300),
                        p.form.mapToGlobal(QPoint(300, 300)));
    QApplication::sendEvent(&p.form, &e);
    EXPECT_TRUE(chosen) << path.join('/').toStdString();
}

TEST(Overlay, KeysStepThePaceAndToggleLayersKeptForTheNextStart) {
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        Shown after;
    };
    const Row rows[] = {
        {Qt::Key_Minus, Qt::NoModifier, {1, true, false, true}},      // slower
        {Qt::Key_Minus, Qt::KeypadModifier, {2, true, false, true}},  // the keypad's
        {Qt::Key_Plus, Qt::ShiftModifier, {1, true, false, true}},    // "+" is Shift+"="
        {Qt::Key_Equal, Qt::NoModifier, {0, true, false, true}},      // and unshifted
        {Qt::Key_Plus, Qt::KeypadModifier, {0, true, false, true}},   // no faster than no limit
        {Qt::Key_F3, Qt::NoModifier, {0, false, false, true}},
        {Qt::Key_L, Qt::NoModifier, {0, false, true, true}},
    };
    {
        App p;
        p.ActivateForm();
        EXPECT_EQ(Now(p), (Shown{0, true, false, true}));  // a fresh install
        for (const Row& r : rows) {
            QTest::keyClick(&p.form, r.key, r.mods);
            EXPECT_EQ(Now(p), r.after) << r.key;
        }
        for (int i = 0; i < 9; ++i) QTest::keyClick(&p.form, Qt::Key_Minus);
        EXPECT_EQ(p.logic.Pace(), 7);  // no slower than 1 мин/с
        QTest::keyClick(&p.form, Qt::Key_F1);
        EXPECT_TRUE(QTest::qWaitFor(
            [] { return dynamic_cast<HelpWindow*>(QApplication::activeWindow()) != nullptr; }));
    }
    App next(false, false);  // started again, the user's settings kept
    EXPECT_EQ(Now(next), (Shown{7, false, true, true}));
}

TEST(Overlay, MenuEntriesChooseThePaceLayersHelpAndPictureWithOrWithoutThem) {
    App p;
    p.ActivateForm();
    ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
    Choose(p, {"Скорость", "1 сут/с"});
    Choose(p, {"Подписи и легенда"});
    Choose(p, {"Масштабная линейка"});
    EXPECT_EQ(Now(p), (Shown{5, true, true, false}));
    // The pace submenu marks the pace in force.
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* a : menu->actions()) {
            if (a->text() != "Скорость") continue;
            for (QAction* pace : a->menu()->actions())
                EXPECT_EQ(pace->isChecked(), pace->text() == "1 сут/с")
                    << pace->text().toStdString();
        }
        menu->close();
    });
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), p.form.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&p.form, &e);

    const QImage bare = p.form.Picture(false), shown = p.form.Picture(true);
    Choose(p, {"Копировать изображение без надписей"});
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), bare);
    Choose(p, {"Копировать изображение"});
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              shown.convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(shown.convertToFormat(QImage::Format_RGB32), bare);
    Choose(p, {"Точный старт (leapfrog)"});
    EXPECT_TRUE(p.logic.Leapfrog());
    EXPECT_TRUE(Preferences::Load().leapfrog);  // kept for the next start
    Choose(p, {"Справка"});
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return dynamic_cast<HelpWindow*>(QApplication::activeWindow()) != nullptr; }));
    EXPECT_TRUE(HelpWindow::Text().contains("15/03/2000"));
}

// The layers are painted over the picture: the surface, the trace map and the markers' saved
// pixels stay exactly as the plotter left them, whatever is shown.
TEST(Overlay, ThePixelSurfaceIsTheSameWithEveryLayerOnAndOff) {
    App p;
    p.ActivateForm();
    ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
    const std::vector<std::uint32_t> words = p.surface.Words();
    const std::vector<std::uint8_t> owners = p.state.PixelOwner.Cells();
    const auto store = p.state.MarkerStore;
    QImage withLayers;
    for (bool on : {true, false, true}) {
        p.form.Show(&Preferences::readout, on);
        p.form.Show(&Preferences::labels, on);
        p.form.Show(&Preferences::scaleBar, on);
        p.form.repaint();
        const QImage screen = p.form.grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (on && withLayers.isNull()) withLayers = screen;
        EXPECT_EQ(screen != withLayers, !on);  // what the window shows does change
        EXPECT_EQ(p.surface.Words(), words);
        EXPECT_EQ(p.state.PixelOwner.Cells(), owners);
        EXPECT_EQ(p.state.MarkerStore, store);
    }
}

}  // namespace
}  // namespace orbimo::apptest
