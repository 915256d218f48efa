// Picture export and the main window's keys, with real key events.
#include <QDir>
#include <QTemporaryDir>

#include "app/AppHarness.h"
#include "app/PictureExport.h"

namespace orbimo::apptest {
namespace {

long Count(const MemorySurface& s, Colour c) {
    return std::ranges::count(s.Words(), MemorySurface::ToWord(c));
}

TEST(PictureExport, PictureIsTheSurfaceAsShownAndSurvivesPng) {
    App p;
    ASSERT_TRUE(RunAndStop(p, [&p] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
    EXPECT_LT(Count(p.surface, p.surface.Background()), kPixels - 100);  // traces drawn
    const QImage picture = p.form.Picture().convertToFormat(QImage::Format_RGB32);
    const std::vector<std::uint32_t> words = p.surface.Words();
    const QImage surface(reinterpret_cast<const uchar*>(words.data()), 1024, 768,
                         QImage::Format_RGB32);
    EXPECT_EQ(picture, surface);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("снимок.png"));
    EXPECT_EQ(SavePng(picture, path), QString());
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), picture);
}

TEST(PictureExport, FailedSaveLeavesNoFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("нет/такой/папки.png"));
    EXPECT_FALSE(SavePng(QImage(8, 8, QImage::Format_RGB32), missing).isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(PictureExport, DefaultNameFromSystemAndDate) {
    const QString cases[][3] = {
        {"Внутренние планеты", "05.03.1901 12:00:00", "Внутренние планеты 05.03.1901 12-00-00.png"},
        {"  ", "01.01.1900,5", "Орбимо 01.01.1900,5.png"},
        {"a/b\\c", "01.01.1900 1:00:00", "a-b-c 01.01.1900 1-00-00.png"}};
    for (const auto& [system, time, expected] : cases)
        EXPECT_EQ(DefaultPictureName(system, time), expected);
}

TEST(MainWindowKeys, SpaceStartsAndStopsF2OpensParametersDeleteClears) {
    App p;
    p.ActivateForm();
    // Space starts a run; Space again, delivered while it runs, stops it.
    QTimer::singleShot(40, &p.form, [&p] { QTest::keyClick(&p.form, Qt::Key_Space); });
    QTest::keyClick(&p.form, Qt::Key_Space);
    EXPECT_GT(p.state.SimTime, 0);
    EXPECT_EQ(p.logic.Button0Caption(), u"Пуск");
    QTest::keyClick(&p.form, Qt::Key_Delete);  // clears: only the markers of the bodies on remain
    EXPECT_EQ(Count(p.surface, kBlack), 5 * 9);
    EXPECT_EQ(Count(p.surface, p.surface.Background()), kPixels - 5 * 9);
    QTest::keyClick(&p.form, Qt::Key_F2);
    EXPECT_TRUE(QTest::qWaitFor([&p] { return p.window.isVisible(); }));
}

}  // namespace
}  // namespace orbimo::apptest
