// Picture export and the main window's keys, with real key events.
#include <QDir>
#include <QTemporaryDir>

#include "app/AppHarness.h"
#include "app/PictureExport.h"

namespace orbimo::apptest {
namespace {

/// A short run stopped from inside its own event dispatch.
void DrawSomething(App& p) {
    ASSERT_TRUE(RunAndStop(p, [&p] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
}

TEST(PictureExport, PictureIsTheSurfaceAsShownAndSurvivesPng) {
    App p;
    DrawSomething(p);
    const QImage picture = p.form.Picture();
    ASSERT_EQ(picture.size(), QSize(1024, 768));
    long traces = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const Colour c = ToColour(picture.pixelColor(x, y));
            ASSERT_EQ(c, p.surface.GetPixel(x, y)) << x << "," << y;
            if (c != 0x00C0C0C0 && c != kBlack) ++traces;
        }
    EXPECT_GT(traces, 50);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("снимок.png"));
    EXPECT_EQ(SavePng(picture, path), QString());
    const QImage back(path);
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32));
}

TEST(PictureExport, FailedSaveLeavesNoFileAndSaysWhy) {
    QTemporaryDir dir;
    const QImage picture(8, 8, QImage::Format_RGB32);
    const QString missing = dir.filePath(QStringLiteral("нет/такой/папки.png"));
    EXPECT_FALSE(SavePng(picture, missing).isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(PictureExport, DefaultNameFromSystemAndDate) {
    struct Case {
        QString system, time, expected;
    };
    const Case cases[] = {
        {"Внутренние планеты", "05.03.1901 12:00:00", "Внутренние планеты 05.03.1901 12-00-00.png"},
        {"", "01.01.1900", "Орбимо 01.01.1900.png"},
        {"  ", "01.01.1900,5", "Орбимо 01.01.1900,5.png"},
        {"a/b\\c", "01.01.1900 1:00:00", "a-b-c 01.01.1900 1-00-00.png"},
    };
    for (const Case& c : cases) EXPECT_EQ(DefaultPictureName(c.system, c.time), c.expected);
}

TEST(MainWindowKeys, SpaceStartsAndStopsF2OpensParametersDeleteClears) {
    App p;
    p.form.activateWindow();
    ASSERT_TRUE(WaitFor([&p] { return QApplication::activeWindow() == &p.form; }));

    // Space starts a run; Space again, delivered while it runs, stops it.
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [&p] { QTest::keyClick(&p.form, Qt::Key_Space); });
    stop.start(40);
    bool sawStop = false;
    p.logic.afterTick = [&] { sawStop = sawStop || p.logic.Button0Caption() == u"Стоп"; };
    QTest::keyClick(&p.form, Qt::Key_Space);
    p.logic.afterTick = nullptr;
    EXPECT_TRUE(sawStop);
    EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
    EXPECT_NE(p.params.txtTime.text, u"01.01.1900");

    // Delete clears: only the markers of the bodies taking part remain.
    QTest::keyClick(&p.form, Qt::Key_Delete);
    long notBackground = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) notBackground += p.surface.GetPixel(x, y) != 0x00C0C0C0;
    EXPECT_EQ(notBackground, 5 * 9);

    QTest::keyClick(&p.form, Qt::Key_F2);
    EXPECT_TRUE(WaitFor([&p] { return p.window.isVisible(); }));
}

}  // namespace
}  // namespace orbimo::apptest
