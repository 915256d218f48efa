// The two Qt windows driven with real mouse and key events on an offscreen screen.
#include <QMessageBox>

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

TEST(ParamsWindow, BoxesSetBodyOnAndGreyAStepEnterAndEscHideAndShowingAgainKeepsEverything) {
    App p;
    Параметры& w = p.window;
    p.OpenParams();
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             w.StepLongBox(), w.BodyBox(2), w.BodyBox(9), w.ViewOption(7)})
        ClickIndicator(b);
    EXPECT_TRUE(p.state.BodyOn[2] == 0 && p.state.BodyOn[9] == 1);
    EXPECT_TRUE(w.Edit({FieldKind::dLong})->isEnabled() &&
                !w.Edit({FieldKind::dTime})->isEnabled());
    Retype(w.Edit({FieldKind::VX, 6}), "123,5");
    Retype(w.ZoomBox(), "3 000 000");
    Retype(w.Edit({FieldKind::Timer}), "15/03/2000");  // leaving it again changes nothing
    auto snapshot = [&] {
        QStringList s;
        for (QWidget* c : w.findChildren<QWidget*>()) {
            QString v = QString::number(c->isEnabled());
            if (auto* e = qobject_cast<QLineEdit*>(c)) v += e->text();
            if (auto* b = qobject_cast<QAbstractButton*>(c)) v += QString::number(b->isChecked());
            if (auto* z = qobject_cast<QComboBox*>(c)) v += QString::number(z->currentIndex());
            s << v;
        }
        return s;
    };
    const QStringList before = snapshot();
    const std::pair<QWidget*, int> cases[] = {{w.Edit({FieldKind::Y, 4}), Qt::Key_Return},
                                              {w.ZoomBox()->lineEdit(), Qt::Key_Enter},
                                              {w.Edit({FieldKind::Timer}), Qt::Key_Escape}};
    for (auto [field, key] : cases) {
        SCOPED_TRACE(key);
        QTest::mouseClick(field, Qt::LeftButton);
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused, Qt::Key(key));
        EXPECT_TRUE(w.isHidden());
        p.OpenParams();
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(QApplication::focusWidget(), focused);
    }
}

TEST(ParamsWindow, LeavingAFieldNormalisesANumberAndRefusesAScaleNotAboveZero) {
    App p;
    p.OpenParams();
    QLineEdit* e = p.window.Edit({FieldKind::X, 3});
    Retype(e, "1.5e11");
    EXPECT_EQ(e->text(), "1,5e11");
    EXPECT_EQ(p.params.Text({FieldKind::X, 3}), u"1,5e11");
    EXPECT_NE(QApplication::focusWidget(), e);
    QComboBox* zoom = p.window.ZoomBox();
    for (QString typed : {"0", "-5", "1 500 000 000"}) {
        const bool refused = typed != "1 500 000 000";
        p.fake.messages.clear();
        Retype(zoom, typed);
        EXPECT_EQ(zoom->currentText(), typed);
        EXPECT_EQ(p.fake.messages,
                  std::vector<std::u16string>(refused, u"Масштаб должен быть больше нуля"));
        EXPECT_TRUE(refused ? zoom->hasFocus() : p.window.BeginButton()->hasFocus());
    }
    Retype(p.window.Edit({FieldKind::Timer}), "12.5", false);  // in a date a point is a comma
    EXPECT_EQ(p.window.Edit({FieldKind::Timer})->text(), "12,5");
}

// While its own box holds the activation, the window has not been left: the plot stays.
TEST(ParamsWindow, ItsOwnMessageBoxDoesNotClearThePlot) {
    App p(true);
    p.OpenParams();
    QStringList shown;
    QTimer closer;  // answers the real box with a click on OK once it is active
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isActiveWindow()) return;
        shown << box->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    closer.start(10);
    p.surface.SetPixel(500, 300, 0x00123456);
    Retype(p.window.ZoomBox(), "0");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }));
    EXPECT_EQ(p.surface.GetPixel(500, 300), 0x00123456u);
}

}  // namespace
}  // namespace orbimo::apptest
