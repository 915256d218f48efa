// The main window with real mouse and key events.
#include <QClipboard>
#include <QDir>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <set>

#include "app/AppHarness.h"
#include "app/HelpWindow.h"
#include "app/PictureExport.h"
#include "convert/NumberText.h"
#include "display/Readout.h"
#include "files/Catalogue.h"
#include "files/SaveLoad.h"

namespace orbimo::apptest {
namespace {

TEST(MainWindow, ClickDuringTheRunStopsItAndTheFieldsHoldItsState) {
    for (int button : {0, 1}) {  // «Стоп», «Параметры»
        SCOPED_TRACE(button);
        App p;
        QString captionDuring;
        double timeAtClick = -1;
        ASSERT_TRUE(RunAndStop(p, [&] {
            captionDuring = p.form.Button(0)->text();
            timeAtClick = p.state.SimTime;
            QTest::mouseClick(p.form.Button(button), Qt::LeftButton);
        }));
        EXPECT_EQ(captionDuring + p.form.Button(0)->text(), "СтопПуск");
        EXPECT_EQ(p.state.SimTime, timeAtClick);  // no tick after the stop request
        EXPECT_EQ(p.state.StopRequested, 0);
        EXPECT_EQ(p.window.isVisible(), button == 1);
        EXPECT_EQ(p.window.Edit({FieldKind::X, 4})->text().toStdU16String(),
                  FormatNumber(p.state.PosX[4]));
    }
}

using Shown = std::tuple<int, bool, bool, bool>;  // pace, readout, labels, scale bar

Shown Now(App& p) {
    const Overlay& o = p.form.CurrentOverlay();
    EXPECT_EQ(o.readout.empty(), !p.form.Prefs().readout);  // what is kept is what is drawn
    EXPECT_EQ(o.legend.empty(), !p.form.Prefs().labels);
    EXPECT_EQ(o.scaleBar.has_value(), p.form.Prefs().scaleBar);
    return {p.logic.Pace().Pace(), p.form.Prefs().readout, p.form.Prefs().labels,
            p.form.Prefs().scaleBar};
}

bool HelpShown() {
    return QTest::qWaitFor(
        [] { return dynamic_cast<HelpWindow*>(QApplication::activeWindow()) != nullptr; });
}

TEST(MainWindowKeys, StepThePaceToggleLayersKeptForTheNextStartRunClearAndOpenWindows) {
    // «авто» without a stop date is 1 год/с (rung 2): "+" and "−" step from there.
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, Shown> rows[] = {
        {Qt::Key_Minus, Qt::NoModifier, {3, true, false, true}},      // slower
        {Qt::Key_Minus, Qt::KeypadModifier, {4, true, false, true}},  // the keypad's
        {Qt::Key_Plus, Qt::ShiftModifier, {3, true, false, true}},    // "+" is Shift+"="
        {Qt::Key_Equal, Qt::NoModifier, {2, true, false, true}},      // and unshifted
        {Qt::Key_Plus, Qt::KeypadModifier, {1, true, false, true}},
        {Qt::Key_Plus, Qt::KeypadModifier, {0, true, false, true}},
        {Qt::Key_Plus, Qt::KeypadModifier, {0, true, false, true}},  // no faster than no limit
        {Qt::Key_F3, Qt::NoModifier, {0, false, false, true}},
        {Qt::Key_L, Qt::NoModifier, {0, false, true, true}},
    };
    {
        App p;
        p.ActivateForm();
        EXPECT_EQ(Now(p), (Shown{kAutoPace, true, false, true}));  // a fresh install
        for (const auto& [key, mods, after] : rows) {
            QTest::keyClick(&p.form, key, mods);
            EXPECT_EQ(Now(p), after) << key;
        }
        // Space starts a run; Space again, delivered while it runs, stops it.
        QTimer::singleShot(40, &p.form, [&p] { QTest::keyClick(&p.form, Qt::Key_Space); });
        QTest::keyClick(&p.form, Qt::Key_Space);
        EXPECT_GT(p.state.SimTime, 0);
        EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
        // Delete clears: only the markers of the bodies on remain.
        QTest::keyClick(&p.form, Qt::Key_Delete);
        const auto count = [&p](Colour c) {
            return std::ranges::count(p.surface.Words(), MemorySurface::ToWord(c));
        };
        EXPECT_EQ(count(kBlack), 5 * 9);
        EXPECT_EQ(count(p.surface.Background()), kPixels - 5 * 9);
        for (int i = 0; i < 9; ++i) QTest::keyClick(&p.form, Qt::Key_Minus);
        EXPECT_EQ(p.logic.Pace().Pace(), 7);  // no slower than 1 мин/с
        QTest::keyClick(&p.form, Qt::Key_F2);
        EXPECT_TRUE(QTest::qWaitFor([&p] { return p.window.isVisible(); }));
        p.ActivateForm();
        QTest::keyClick(&p.form, Qt::Key_F1);
        EXPECT_TRUE(HelpShown());
        for (const char* key : {"Пробел", "F1", "F2", "F3", "Delete", "L", "Home", "F", "C", "R"})
            EXPECT_TRUE(p.form.HelpText().contains(QString("<b>%1</b>").arg(key))) << key;
    }
    App next(false, false);  // started again, the user's settings kept
    EXPECT_EQ(Now(next), (Shown{7, false, true, true}));
}

// A command added to the key table cannot be missing from the menu or the help.
TEST(MainWindowKeys, EveryCommandIsInTheMenuAndEveryKeyInTheHelp) {
    App p;
    QSet<QAction*> inMenu;
    WithMenu(p, [&](QMenu* menu) {
        std::function<void(QMenu*)> walk = [&](QMenu* m) {
            for (QAction* a : m->actions()) {
                inMenu.insert(a);
                if (a->menu()) walk(a->menu());
            }
        };
        walk(menu);
    });
    const QString help = p.form.HelpText();
    int keys = 0;
    for (QAction* a : p.form.actions()) {
        EXPECT_TRUE(inMenu.contains(a)) << a->text().toStdString();
        EXPECT_TRUE(help.contains(a->whatsThis())) << a->text().toStdString();
        if (a->shortcut().isEmpty()) continue;
        ++keys;
        EXPECT_TRUE(help.contains("<b>" + KeyName(a->shortcut()) + "</b>"))
            << a->text().toStdString();
    }
    EXPECT_GE(keys, 14);  // the keys the help has always listed
}

// Layers painted over the picture never into the surface, trace map or saved marker pixels.
TEST(Picture, MenuAndLayersLeaveTheSurfaceAloneARepaintRebuildsIt) {
    App p;
    p.ActivateForm();
    ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
    const std::vector<std::uint32_t> words = p.surface.Words();
    const QImage plotted =
        QImage(reinterpret_cast<const uchar*>(words.data()), 1024, 768, QImage::Format_RGB32)
            .copy();
    const auto owners = p.state.PixelOwner.Cells();
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
        EXPECT_EQ(p.form.Image(), plotted);    // the surface's own pixels
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
    EXPECT_TRUE(p.form.HelpText().contains("15/03/2000"));
    // Each body's first move left a trace on (0, 0) that no trace map holds.
    QImage rebuilt = plotted;
    rebuilt.setPixel(0, 0, MemorySurface::ToWord(p.surface.Background()));
    EXPECT_LT(std::ranges::count(owners, 0), kPixels - 20);
    const std::function<void(MainWindow&)> repaints[] = {
        [](MainWindow& f) { f.resize(f.width() - 10, f.height()); },
        [](MainWindow& f) { f.hide(), f.show(); }};
    for (const auto& repaint : repaints) {
        p.surface.Clear();
        repaint(p.form);
        EXPECT_TRUE(QTest::qWaitFor([&] { return p.form.Image() == rebuilt; }));
    }
}

// Partial updates during a run leave the screen equal to the surface, pixel for pixel.
TEST(Picture, TheScreenShowsTheSurfaceAfterARunOfPartialUpdates) {
    App p;
    for (bool Preferences::*layer :
         {&Preferences::readout, &Preferences::labels, &Preferences::scaleBar})
        p.form.Show(layer, false);
    p.ActivateForm();
    ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
    QApplication::processEvents();
    const QImage screen = p.form.screen()->grabWindow(p.form.winId()).toImage();
    // Above the buttons and the time bar, the one layer left on.
    ASSERT_TRUE(p.form.CurrentOverlay().timeBar);
    const QRect above(0, 0, 1024, p.form.CurrentOverlay().timeBar->top - 5);
    EXPECT_TRUE(screen.copy(above).convertToFormat(QImage::Format_RGB32) ==
                p.form.Image().copy(above));
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

std::set<QRgb> TraceColours(const App& p) {
    std::set<QRgb> found;
    for (const std::uint32_t w : p.surface.Words())
        for (int b = 1; b <= 5; ++b)
            if (w == MemorySurface::ToWord(p.state.BodyColor[b])) found.insert(w);
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
    using Row = std::tuple<std::function<void()>, double, double, double, std::u16string>;
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
    for (const auto& [act, zoom, originX, originY, view] : rows) {  // zoom, origin in twips
        act();
        EXPECT_EQ(p.state.Zoom, zoom);
        EXPECT_EQ(p.params.scaleText, GroupedScaleText(zoom));  // the field says it too
        EXPECT_NEAR(p.state.OriginX, originX, 1e-9);
        EXPECT_NEAR(p.state.OriginY, originY, 1e-9);
        EXPECT_EQ(ViewLine(p), view);
        EXPECT_EQ(TraceColours(p), colours);  // drawn again, not wiped
    }
    // F: every marker inside the window, above the buttons.
    QTest::keyClick(&p.form, Qt::Key_F);
    for (int b = 1; b <= 5; ++b)
        EXPECT_TRUE(QRect(1, 1, 1022, 622).contains(p.state.LastPixX[b], p.state.LastPixY[b])) << b;
    Choose(p, {"Вид", "4 — Тело 4"});  // as the parameters window does: a new plot
    EXPECT_EQ(p.state.ViewBody, 4);
    EXPECT_EQ(p.params.viewOption, 4);
    EXPECT_TRUE(TraceColours(p).empty());
}

// After a run of 216 one-hour ticks to 10.01.1900: `,` `.` and Shift step through its record,
// the time bar's left end is its first tick, Ctrl+Z goes back where the last jump came from.
TEST(Rewind, KeysAndTheTimeBarPutTheSystemAtTicksOfTheRecord) {
    App p;
    p.params.SetText({FieldKind::StopDate}, u"10.01.1900");
    p.logic.Pace().SetPace(0);
    p.ActivateForm();
    EXPECT_FALSE(p.form.CurrentOverlay().timeBar);
    QTest::keyClick(&p.form, Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&p] { return !p.logic.Running(); }));
    const auto bar = [&p] { return *p.form.CurrentOverlay().timeBar; };
    const auto handleAt = [&] { return QPoint(bar().handle, bar().top + 2); };
    ASSERT_TRUE(p.form.CurrentOverlay().timeBar);
    EXPECT_EQ(bar().handle, bar().left + bar().width - TimeBar::kHandle / 2);
    const std::tuple<std::function<void()>, std::u16string> rows[] = {
        {[&] { QTest::keyClick(&p.form, Qt::Key_Comma); }, u"09.01.1900 23:00:00"},
        {[&] { QTest::keyClick(&p.form, Qt::Key_Less, Qt::ShiftModifier); },
         u"05.01.1900 19:00:00"},
        {[&] { QTest::keyClick(&p.form, Qt::Key_Period); }, u"05.01.1900 20:00:00"},
        {[&] { QTest::keyClick(&p.form, Qt::Key_Z, Qt::ControlModifier); }, u"05.01.1900 19:00:00"},
        {[&] {
             QTest::mousePress(&p.form, Qt::LeftButton, {}, handleAt());
             QTest::mouseMove(&p.form, QPoint(bar().left - 3, bar().top + 2));
             QTest::mouseRelease(&p.form, Qt::LeftButton, {},
                                 QPoint(bar().left - 3, bar().top + 2));
         },
         u"01.01.1900 1:00:00"},
        {[&] { QTest::keyClick(&p.form, Qt::Key_Greater, Qt::ShiftModifier); },
         u"05.01.1900 5:00:00"},
    };
    for (const auto& [act, date] : rows) {
        act();
        EXPECT_EQ(p.params.simDate.text, date);
        // The record spans 0 to 216 hours; the handle's centre runs kHandle / 2 in from each end.
        const int run = bar().width - 2 * (TimeBar::kHandle / 2);
        EXPECT_EQ(bar().handle, bar().left + TimeBar::kHandle / 2 +
                                    std::lround(p.state.SimTime / (216 * 3600.0) * run));
    }
}

// «Примеры» loads as «Система:» does; a box keeps the picture; thick paths are the screen's only.
TEST(Picture, ExamplesThenABoxOverThePictureThenAProjectorsPaths) {
    App p;
    p.files.AddFile(SaveFolderPath(p.files) + u"Двое.sav", SystemFileBytes(p.params));
    FillSystems(p.params, p.files);
    p.params.bodies[1].caption = u"Другое имя";  // not in the file: loading puts it back
    p.form.chooseSystem = [&p](const std::u16string& entry) {
        ChooseSystem(p.params, p.files, entry);
    };
    Choose(p, {"Примеры", "Двое"});
    EXPECT_EQ(p.params.bodies[1].caption, u"Тело 1");
    ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
    auto screen = [&p] { return p.form.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const QImage before = screen();
    QTimer::singleShot(50, [&] {
        // Under the box the picture as it was (above the buttons, which the mouse lit).
        EXPECT_EQ(screen().copy(0, 0, 1024, 600), before.copy(0, 0, 1024, 600));
        QApplication::activeModalWidget()->close();
    });
    p.qt.MessageBox(u"Проверка");
    const QImage picture = p.form.Image();
    auto coloured = [](const QImage& image) {
        long n = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 200; x < 1000; ++x)
                n += image.pixel(x, y) != qRgb(0xC0, 0xC0, 0xC0) &&
                     image.pixel(x, y) != qRgb(0, 0, 0);
        return n;
    };
    const long thin = coloured(before);
    p.form.SetLineWidth(3);
    p.form.repaint();
    EXPECT_GT(coloured(screen()), 2 * thin);  // three pixels wide: about three times as many
    EXPECT_EQ(p.form.Image(), picture);       // the picture itself keeps its one-pixel paths
    p.form.SetLineWidth(1);
}

}  // namespace
}  // namespace orbimo::apptest
