// The two Qt windows driven with real mouse and key events on an offscreen screen.
#include "app/AppHarness.h"
#include "convert/NumberText.h"

namespace orbimo::apptest {
namespace {

TEST(Windows, ButtonsInARowNearTheLowerRightCornerBodyCaptionsAndColoursTabOrder) {
    App p;
    const int lefts[] = {718, 791, 864, 937, 1010};
    const QString captions[] = {"Пуск", "Параметры", "Очистить", "Выход"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p.form.Button(i)->text(), captions[i]);
        EXPECT_EQ(p.form.Button(i)->geometry(),
                  QRect(QPoint(lefts[i], 623), QPoint(lefts[i + 1] - 1, 647)));
    }
    for (auto [k, caption, text, option] :
         {std::tuple{4, "Тело 4", QColor(112, 128, 255), QColor(0, 0, 192)},
          std::tuple{11, "Тело11", QColor(0, 192, 192), QColor(0, 0, 64)}}) {
        QCheckBox* box = p.window.BodyBox(k);
        QRadioButton* opt = p.window.ViewOption(k);
        EXPECT_EQ(box->text(), QString::fromUtf8(caption));
        EXPECT_EQ(box->palette().color(box->foregroundRole()), text) << k;
        EXPECT_EQ(p.state.BodyColor[k], ToColour(text)) << k;  // the trace colour
        EXPECT_EQ(opt->text(), QString::number(k));
        EXPECT_EQ(opt->palette().color(opt->foregroundRole()), option) << k;
    }
    Параметры& w = p.window;
    std::vector<QWidget*> expected{w.CloseButton()};
    for (int k = 1; k <= kBodies; ++k) expected.push_back(w.BodyBox(k));
    for (int column = 0; column < 5; ++column)  // Mass, X, Y, VX, VY
        for (int k = 1; k <= kBodies; ++k) expected.push_back(w.Edit({FieldKind(column), k}));
    for (int k = 0; k <= kBodies; ++k) expected.push_back(w.ViewOption(k));
    for (int f = 5; f <= 8; ++f) expected.push_back(w.Edit({FieldKind(f)}));  // Time .. dLong
    expected.insert(expected.end(), {w.StepLongBox(), w.ZoomBox(), w.BeginButton(), w.SystemBox(),
                                     w.SaveButton(), w.SaveAsButton()});
    std::vector<QWidget*> walked;
    QWidget* x = w.CloseButton();
    do {
        if ((x->focusPolicy() & Qt::TabFocus) && !x->focusProxy()) walked.push_back(x);
        x = x->nextInFocusChain();
    } while (x != w.CloseButton() && walked.size() <= expected.size());
    EXPECT_EQ(walked, expected);
    p.OpenParams();
    EXPECT_EQ(QApplication::focusWidget(), w.CloseButton());  // the first showing
}

TEST(MainWindow, ClickDuringTheRunStopsItAndTheFieldsHoldItsState) {
    for (int button : {0, 1}) {  // "Стоп", "Параметры"
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
                  ТекстЧисла(p.state.PosX[4]));
    }
}

TEST(MainWindow, RepaintRebuildsTheSamePictureFromTheTraceMap) {
    const std::function<void(Form1&)> triggers[] = {
        [](Form1& f) { f.resize(f.width() - 10, f.height()); },
        [](Form1& f) { f.hide(), f.show(); }};
    for (const auto& trigger : triggers) {
        App p;
        ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
        QImage drawn = p.form.Image().copy();
        // Each body's first move leaves a trace on (0, 0) that no trace map holds.
        drawn.setPixel(0, 0, MemorySurface::ToWord(p.surface.Background()));
        EXPECT_LT(std::ranges::count(p.state.PixelOwner.Cells(), 0), kPixels - 20);
        p.surface.Clear();  // the picture is lost; only the trace map and markers remain
        trigger(p.form);
        EXPECT_TRUE(QTest::qWaitFor([&] { return p.form.Image() == drawn; }));
    }
}

}  // namespace
}  // namespace orbimo::apptest
