// The main window's keys, the layers over the picture, its menu and picture export, with real
// events.
#include <QClipboard>
#include <QDir>
#include <QTemporaryDir>

#include "app/AppHarness.h"
#include "app/HelpWindow.h"
#include "app/PictureExport.h"

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

bool HelpShown() {
    return QTest::qWaitFor(
        [] { return dynamic_cast<HelpWindow*>(QApplication::activeWindow()) != nullptr; });
}

TEST(MainWindowKeys, StepThePaceToggleLayersKeptForTheNextStartRunClearAndOpenWindows) {
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
        // Space starts a run; Space again, delivered while it runs, stops it.
        QTimer::singleShot(40, &p.form, [&p] { QTest::keyClick(&p.form, Qt::Key_Space); });
        QTest::keyClick(&p.form, Qt::Key_Space);
        EXPECT_GT(p.state.SimTime, 0);
        EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
        QTest::keyClick(&p.form,
                        Qt::Key_Delete);  // clears: only the markers of the bodies on remain
        const auto count = [&p](Colour c) {
            return std::count(p.surface.Words(), p.surface.Words() + kPixels,
                              MemorySurface::ToWord(c));
        };
        EXPECT_EQ(count(kBlack), 5 * 9);
        EXPECT_EQ(count(p.surface.Background()), kPixels - 5 * 9);
        for (int i = 0; i < 9; ++i) QTest::keyClick(&p.form, Qt::Key_Minus);
        EXPECT_EQ(p.logic.Pace(), 7);  // no slower than 1 мин/с
        QTest::keyClick(&p.form, Qt::Key_F2);
        EXPECT_TRUE(QTest::qWaitFor([&p] { return p.window.isVisible(); }));
        p.ActivateForm();
        QTest::keyClick(&p.form, Qt::Key_F1);
        EXPECT_TRUE(HelpShown());
        for (const char* key : {"Пробел", "F1", "F2", "F3", "Delete", "L", "Home", "F", "C", "R"})
            EXPECT_TRUE(HelpWindow::Text().contains(QString("<b>%1</b>").arg(key))) << key;
    }
    App next(false, false);  // started again, the user's settings kept
    EXPECT_EQ(Now(next), (Shown{7, false, true, true}));
}

// The layers are painted over the picture: the surface, the trace map and the markers' saved
// pixels stay exactly as the plotter left them, whatever is shown, and a picture without the
// layers is the surface itself.
TEST(Overlay, MenuEntriesChooseThePaceLayersHelpAndPictureWithOrWithoutThemNeverTheSurface) {
    App p;
    p.ActivateForm();
    ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
    const auto surface = [&p] {
        return QImage(reinterpret_cast<const uchar*>(p.surface.Words()), 1024, 768,
                      QImage::Format_RGB32)
            .copy();
    };
    const QImage plotted = surface();
    const std::vector<std::uint8_t> owners = p.state.PixelOwner.Cells();
    const auto store = p.state.MarkerStore;
    Choose(p, {"Скорость", "1 сут/с"});
    Choose(p, {"Подписи и легенда"});
    Choose(p, {"Масштабная линейка"});
    EXPECT_EQ(Now(p), (Shown{5, true, true, false}));
    WithMenu(p, [](QMenu* menu) {  // the pace submenu marks the pace in force
        for (QAction* pace : Entry(menu, {"Скорость"})->menu()->actions())
            EXPECT_EQ(pace->isChecked(), pace->text() == "1 сут/с") << pace->text().toStdString();
    });
    QImage withLayers;
    for (bool on : {true, false, true}) {
        p.form.Show(&Preferences::readout, on);
        p.form.Show(&Preferences::labels, on);
        p.form.Show(&Preferences::scaleBar, on);
        p.form.repaint();
        const QImage screen = p.form.grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (on && withLayers.isNull()) withLayers = screen;
        EXPECT_EQ(screen != withLayers, !on);  // what the window shows does change
        EXPECT_EQ(surface(), plotted);
        EXPECT_EQ(p.state.PixelOwner.Cells(), owners);
        EXPECT_EQ(p.state.MarkerStore, store);
    }
    const auto clipboard = [] {
        return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    };
    Choose(p, {"Копировать изображение без надписей"});
    EXPECT_EQ(clipboard(), plotted);
    Choose(p, {"Копировать изображение"});
    EXPECT_EQ(clipboard(), p.form.Picture(true).convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(clipboard(), plotted);
    Choose(p, {"Справка"});
    EXPECT_TRUE(HelpShown());
    EXPECT_TRUE(HelpWindow::Text().contains("15/03/2000"));
}

// The whole file or none, and a reason.
TEST(PictureExport, PngKeepsEveryPixelAFailedSaveSaysWhyAndLeavesNoFile) {
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int i = 0; i < 64 * 48; ++i)
        picture.setPixel(i % 64, i / 64, qRgb(i % 64 * 4, i / 64 * 5, i));
    QTemporaryDir dir;
    EXPECT_EQ(SavePng(picture, dir.filePath("снимок.png")), QString());
    EXPECT_EQ(QImage(dir.filePath("снимок.png")).convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_FALSE(SavePng(picture, dir.filePath("нет/такой/папки.png")).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"снимок.png"});
}

TEST(PictureExport, DefaultNameFromSystemAndDate) {
    const QString cases[][3] = {
        {"Внутренние планеты", "05.03.1901 12:00:00", "Внутренние планеты 05.03.1901 12-00-00.png"},
        {"  ", "01.01.1900,5", "Орбимо 01.01.1900,5.png"},
        {"a/b\\c", "01.01.1900 1:00:00", "a-b-c 01.01.1900 1-00-00.png"}};
    for (const auto& [system, time, expected] : cases)
        EXPECT_EQ(DefaultPictureName(system, time), expected);
}

}  // namespace
}  // namespace orbimo::apptest
