// «Графики», «Орбита», their layers and the measuring tape on the real windows.
#include <QFile>
#include <QTemporaryDir>

#include "app/AppHarness.h"

namespace orbimo::apptest {
namespace {

// G and K open the windows, a run fills them, layers stay over the picture, choices are kept.
TEST(Teaching, WindowsFollowTheRunLayersStayOverThePictureChoicesAreKept) {
    QTemporaryDir folder;
    {
        App p;
        p.ActivateForm();
        QTest::keyClick(&p.form, Qt::Key_G);
        QTest::keyClick(&p.form, Qt::Key_K);
        TeachingTools& tools = p.form.Tools();
        ASSERT_TRUE(tools.Graphs() && tools.Graphs()->isVisible() && tools.Orbit()->isVisible());
        for (const QString& text : tools.Orbit()->Shown()) EXPECT_EQ(text, "—");  // not yet run
        tools.Orbit()->Areas()->setChecked(true);
        tools.Orbit()->ThirdLaw()->setChecked(true);
        tools.Graphs()->Quantity()->setCurrentIndex(static_cast<int>(GraphQuantity::Distance));
        p.ActivateForm();
        ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
        QTest::qWait(50);  // a display frame or two
        for (const QString& text : tools.Orbit()->Shown()) EXPECT_NE(text, "—");
        const TeachingLayers& l = tools.Layers();
        EXPECT_EQ(l.ellipse.size(), 361u);
        EXPECT_FALSE(l.sectors.empty());
        EXPECT_EQ(l.thirdLaw.size(), 5u);  // the head and four planets about the Sun
        // Shift and a drag: a tape over the picture; the surface stays the plotter's.
        const std::vector<std::uint32_t> words = p.surface.Words();
        QTest::mousePress(&p.form, Qt::LeftButton, Qt::ShiftModifier, {100, 100});
        QTest::mouseMove(&p.form, {300, 100});
        QTest::mouseRelease(&p.form, Qt::LeftButton, Qt::ShiftModifier, {400, 100});
        ASSERT_TRUE(l.tape);
        EXPECT_EQ((*l.tape)[1].x, 400);
        EXPECT_TRUE(l.tapeText.ends_with(u", 0°"));
        p.form.repaint();
        EXPECT_EQ(p.surface.Words(), words);
        EXPECT_NE(p.form.Picture(true), p.form.Picture(false));
        QTest::keyClick(&p.form, Qt::Key_Delete);  // «Очистить» takes the tape too
        QTest::qWait(50);
        EXPECT_FALSE(tools.Layers().tape);
        // The graphs' samples as a table and a picture, each a whole file.
        GraphsWindow& graphs = *tools.Graphs();
        const std::size_t samples = p.form.Tools().Model().Graphs().Samples().size();
        ASSERT_TRUE(graphs.SaveCsv(folder.filePath("g.csv")).isEmpty());
        ASSERT_TRUE(graphs.SavePicture(folder.filePath("g.png")).isEmpty());
        QFile csv(folder.filePath("g.csv"));
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
        EXPECT_TRUE(csv.readLine().startsWith(
            "t_s,date_time,kinetic_J,potential_J,total_J,angular_momentum_kg_m2_s,energy_drift,"
            "distance_1_2_m,speed_1_m_s"));
        EXPECT_EQ(csv.readAll().count('\n'), static_cast<qsizetype>(samples));
        EXPECT_EQ(QImage(folder.filePath("g.png")).size(), graphs.Image().size());
        EXPECT_FALSE(graphs.SaveCsv(folder.filePath("no/g.csv")).isEmpty());
        EXPECT_FALSE(QFile::exists(folder.filePath("no/g.csv")));
        // «Линейка»: a plain drag measures instead of panning.
        Choose(p, {"Линейка"});
        QTest::mousePress(&p.form, Qt::LeftButton, {}, {100, 100});
        QTest::mouseRelease(&p.form, Qt::LeftButton, {}, {100, 300});
        EXPECT_TRUE(tools.Layers().tapeText.ends_with(u", -90,0°"));
    }
    App next(false, false);  // started again with the user's settings
    const OrbitChoice& c = next.form.Tools().Model().Choice();
    EXPECT_FALSE(c.areas || c.thirdLaw || c.ellipse);  // the layers come with the window
    next.form.Tools().ShowOrbit();
    EXPECT_TRUE(c.areas && c.thirdLaw && c.ellipse);
    EXPECT_EQ(c.body, 2);
    next.form.Tools().Orbit()->close();
    EXPECT_FALSE(c.areas || c.thirdLaw || c.ellipse);
}

}  // namespace
}  // namespace orbimo::apptest
