// The two Qt windows driven with real mouse and key events on an offscreen screen.
#include "app/AppHarness.h"

namespace orbimo::apptest {
namespace {

TEST(MainWindow, ButtonsTouchInARowNearTheLowerRightCorner) {
    struct Case {
        ScreenInfo screen;
        int top, bottom, lefts[4], right;  // pixels: floor of the twips over twips per pixel
    };
    const Case cases[] = {
        {{15360, 11520, 15, 15}, 623, 648, {718, 791, 864, 937}, 1010},
        {{23040, 12960, 12, 12}, 898, 930, {1538, 1629, 1720, 1812}, 1903},
        {{12800, 10240, 10, 10}, 806, 844, {822, 931, 1041, 1150}, 1260},
    };
    const char* captions[4] = {"Пуск", "Параметры", "Очистить", "Выход"};
    for (const Case& c : cases) {
        App p(c.screen);
        const double tpp = c.screen.twipsPerPixelX;
        EXPECT_EQ(p.form.windowTitle(), "Орбимо. Версия 1.1");
        EXPECT_EQ(p.form.size(), QSize(c.screen.widthTwips / tpp, c.screen.heightTwips / tpp));
        for (int i = 0; i < 4; ++i) {
            const QRect g = p.form.Button(i)->geometry();
            SCOPED_TRACE(::testing::Message() << tpp << " twips/pixel, button " << i);
            EXPECT_EQ(p.form.Button(i)->text(), QString::fromUtf8(captions[i]));
            EXPECT_EQ(g.top(), c.top);
            EXPECT_EQ(g.bottom() + 1, c.bottom);
            EXPECT_EQ(g.left(), c.lefts[i]);
            EXPECT_EQ(g.right() + 1, i < 3 ? c.lefts[i + 1] : c.right);
        }
    }
}

TEST(MainWindow, SecondClickDuringTheRunStopsItAndTheFieldsHoldItsState) {
    struct Case {
        const char* name;
        int button;
        bool paramsShown;
    };
    for (const Case& c : {Case{"Стоп", 0, false}, Case{"Параметры", 1, true}}) {
        SCOPED_TRACE(c.name);
        App p;
        QString captionDuring;
        double timeAtClick = -1;
        ASSERT_TRUE(RunAndStop(p, [&] {
            captionDuring = p.form.Button(0)->text();
            timeAtClick = p.state.SimTime;
            QTest::mouseClick(p.form.Button(c.button), Qt::LeftButton);
        }));
        EXPECT_EQ(captionDuring, "Стоп");
        EXPECT_EQ(p.form.Button(0)->text(), "Пуск");
        EXPECT_GT(timeAtClick, 0);
        EXPECT_EQ(p.state.SimTime, timeAtClick);  // no tick after the stop request
        EXPECT_EQ(p.window.isVisible(), c.paramsShown);
        EXPECT_NE(p.params.txtTime.text, u"01.01.1900");
        EXPECT_EQ(p.params.txtTime.text, ТекстВремени(p.state.SimTime));
        EXPECT_EQ(p.params.bodies[4].vy.text, ТекстЧисла(p.state.VelY[4]));
        EXPECT_EQ(p.window.Edit({FieldKind::X, 4})->text(), Q(ТекстЧисла(p.state.PosX[4])));
        EXPECT_EQ(p.window.Edit({FieldKind::Time})->text(), Q(p.params.txtTime.text));
    }
}

TEST(MainWindow, RepaintRebuildsTheSamePictureFromTheTraceMap) {
    struct Case {
        const char* name;
        std::function<void(Form1&)> trigger;
    };
    const Case cases[] = {
        {"resize", [](Form1& f) { f.resize(f.width() - 10, f.height()); }},
        {"shown again",
         [](Form1& f) {
             f.hide();
             f.show();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        App p;
        ASSERT_TRUE(RunAndStop(p, [&] { QTest::mouseClick(p.form.Button(0), Qt::LeftButton); }));
        QImage drawn = p.form.Image().copy();
        // Each body's first move leaves its trace on (0, 0) from the marker it never
        // had; that pixel is in no trace map, so no rebuild brings it back.
        drawn.setPixel(0, 0, MemorySurface::ToWord(p.surface.Background()));
        int traced = 0;
        for (int x = 0; x < p.surface.Width(); ++x)
            for (int y = 0; y < p.surface.Height(); ++y) traced += p.state.PixelOwner.At(y, x) != 0;
        EXPECT_GT(traced, 20);
        p.surface.Clear();  // the picture is lost; only the trace map and markers remain
        c.trigger(p.form);
        EXPECT_TRUE(WaitFor([&] { return p.form.Image() == drawn; }));
    }
}

TEST(ParamsWindow, BodyCaptionsAndColours) {
    struct Row {
        int k;
        const char* caption;
        QColor text, option;
    };
    App p;
    for (const Row& r : {Row{1, "Тело 1", {255, 128, 0}, {128, 128, 0}},
                         Row{4, "Тело 4", {112, 128, 255}, {0, 0, 192}},
                         Row{11, "Тело11", {0, 192, 192}, {0, 0, 64}}}) {
        QCheckBox* box = p.window.BodyBox(r.k);
        QRadioButton* opt = p.window.ViewOption(r.k);
        EXPECT_EQ(box->text(), QString::fromUtf8(r.caption));
        EXPECT_EQ(box->palette().color(box->foregroundRole()), r.text) << r.k;
        EXPECT_EQ(p.state.BodyColor[r.k], ToColour(r.text)) << r.k;  // the trace colour
        EXPECT_EQ(box->isChecked(), r.k <= 5) << r.k;
        EXPECT_EQ(opt->text(), QString::number(r.k));
        EXPECT_EQ(opt->palette().color(opt->foregroundRole()), r.option) << r.k;
    }
}

TEST(ParamsWindow, ScalePresetsNoneSelected) {
    App p;
    const char* presets[] = {"        50 000", "       120 000", "       500 000", "     1 000 000",
                             "     3 000 000", "     5 000 000", "    10 000 000", "    20 000 000",
                             "    40 000 000", "    60 000 000", "    90 000 000", "   150 000 000",
                             "   200 000 000", "   300 000 000", "   500 000 000", "   800 000 000",
                             " 1 500 000 000"};
    QComboBox* zoom = p.window.ZoomBox();
    ASSERT_EQ(zoom->count(), 17);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(zoom->itemText(i), presets[i]) << i;
    EXPECT_EQ(zoom->currentIndex(), -1);
    EXPECT_EQ(zoom->currentText(), "50 000 000");
}

TEST(ParamsWindow, TabOrder) {
    App p;
    Параметры& w = p.window;
    std::vector<QWidget*> expected{w.CloseButton()};
    for (int k = 1; k <= kBodies; ++k) expected.push_back(w.BodyBox(k));
    for (FieldKind column :
         {FieldKind::Mass, FieldKind::X, FieldKind::Y, FieldKind::VX, FieldKind::VY})
        for (int k = 1; k <= kBodies; ++k) expected.push_back(w.Edit({column, k}));
    for (int k = 0; k <= kBodies; ++k) expected.push_back(w.ViewOption(k));
    for (FieldKind f : {FieldKind::Time, FieldKind::Timer, FieldKind::dTime, FieldKind::dLong})
        expected.push_back(w.Edit({f}));
    for (QWidget* x :
         std::initializer_list<QWidget*>{w.StepLongBox(), w.ZoomBox(), w.BeginButton(),
                                         w.SystemBox(), w.SaveButton(), w.SaveAsButton()})
        expected.push_back(x);

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

TEST(ParamsWindow, EnterAndEscHideTheWindowAndShowingAgainKeepsEverything) {
    App p;
    Параметры& w = p.window;
    p.OpenParams();
    // Leave the window in a state unlike its creation, by hand.
    ClickIndicator(w.StepLongBox());
    ClickIndicator(w.BodyBox(2));
    ClickIndicator(w.BodyBox(9));
    ClickIndicator(w.ViewOption(7));
    Retype(w.Edit({FieldKind::VX, 6}), "123,5", true);
    Retype(w.ZoomBox(), "3 000 000", true);
    Retype(w.Edit({FieldKind::Timer}), "15/03/2000", true);  // leaving it again changes nothing
    auto snapshot = [&] {
        QStringList s;
        for (QWidget* c : w.findChildren<QWidget*>()) {
            QString v = QString::number(c->isEnabled());
            if (auto* e = qobject_cast<QLineEdit*>(c)) v += e->text();
            if (auto* b = qobject_cast<QAbstractButton*>(c)) v += QString::number(b->isChecked());
            if (auto* z = qobject_cast<QComboBox*>(c))
                v += z->currentText() + QString::number(z->currentIndex());
            s << v;
        }
        return s;
    };
    const QStringList before = snapshot();
    ASSERT_TRUE(w.Edit({FieldKind::dLong})->isEnabled());

    // Enter on another button presses that button, not "Закрыть".
    w.SaveAsButton()->setFocus();
    QTest::keyClick(w.SaveAsButton(), Qt::Key_Return);
    EXPECT_EQ(p.fake.prompts, std::vector<std::u16string>{u"Введите имя вашей системы"});
    EXPECT_TRUE(w.isVisible());

    struct Case {
        const char* name;
        std::function<QWidget*()> hide;  // gives the control that must have the focus again
    };
    const Case cases[] = {
        {"Enter in a body field",
         [&] {
             QWidget* f = w.Edit({FieldKind::Y, 4});
             QTest::mouseClick(f, Qt::LeftButton);
             QTest::keyClick(f, Qt::Key_Return);
             return f;
         }},
        {"Enter in the scale",
         [&] {
             QTest::mouseClick(w.ZoomBox()->lineEdit(), Qt::LeftButton);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
             return w.ZoomBox();
         }},
        {"Esc in the stop date",
         [&] {
             QWidget* f = w.Edit({FieldKind::Timer});
             QTest::mouseClick(f, Qt::LeftButton);
             QTest::keyClick(f, Qt::Key_Escape);
             return f;
         }},
        {"Закрыть",
         [&] {
             QTest::mouseClick(w.CloseButton(), Qt::LeftButton);
             return w.CloseButton();
         }},
        {"the frame's close",
         [&] {
             QWidget* f = w.Edit({FieldKind::Mass, 11});
             QTest::mouseClick(f, Qt::LeftButton);
             w.close();
             return f;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* focused = c.hide();
        EXPECT_TRUE(w.isHidden());
        p.OpenParams();
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(QApplication::focusWidget(), focused);
    }
    EXPECT_TRUE(p.fake.messages.empty());
}

TEST(ParamsWindow, NumberFieldsAreNormalisedWhenTheFocusLeaves) {
    struct Case {
        FieldRef field;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {{FieldKind::X, 3}, "1.5e11", "1,5e11"}, {{FieldKind::Mass, 2}, "", "0"},
        {{FieldKind::Mass, 2}, "abc", "0"},      {{FieldKind::Mass, 7}, "0.000", "0"},
        {{FieldKind::VX, 1}, "12abc", "12abc"},  {{FieldKind::dTime}, "86400.5", "86400,5"},
        {{FieldKind::VY, 11}, "-0", "0"},
    };
    App p;
    p.OpenParams();
    for (const Case& c : cases) {
        QLineEdit* e = p.window.Edit(c.field);
        Retype(e, QString::fromUtf8(c.typed), true);
        EXPECT_EQ(e->text(), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(Q(p.params.Text(c.field)), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_NE(QApplication::focusWidget(), e) << c.typed;
    }
    // A point typed into the stop date is a comma at once.
    Retype(p.window.Edit({FieldKind::Timer}), "12.5", false);
    EXPECT_EQ(p.window.Edit({FieldKind::Timer})->text(), "12,5");
    EXPECT_TRUE(p.fake.messages.empty());
}

TEST(ParamsWindow, ScaleNotAboveZeroIsRefusedAndKeepsTheFocus) {
    struct Case {
        const char* typed;
        bool refused;
    };
    App p;
    p.OpenParams();
    QComboBox* zoom = p.window.ZoomBox();
    for (const Case& c :
         {Case{"0", true}, Case{"-5", true}, Case{"", true}, Case{"1 500 000 000", false}}) {
        SCOPED_TRACE(c.typed);
        p.fake.messages.clear();
        Retype(zoom, QString::fromUtf8(c.typed), true);
        EXPECT_EQ(zoom->currentText(), QString::fromUtf8(c.typed));
        if (c.refused) {
            EXPECT_EQ(p.fake.messages,
                      std::vector<std::u16string>{u"Масштаб должен быть больше нуля"});
            EXPECT_TRUE(zoom->hasFocus());
        } else {
            EXPECT_TRUE(p.fake.messages.empty());
            EXPECT_EQ(QApplication::focusWidget(), p.window.BeginButton());
        }
    }
}

TEST(ParamsWindow, BoxesAndOptionsActAtOnce) {
    App p;
    Параметры& w = p.window;
    p.OpenParams();

    ClickIndicator(w.StepLongBox());
    EXPECT_TRUE(w.Edit({FieldKind::dLong})->isEnabled());
    EXPECT_FALSE(w.Edit({FieldKind::dTime})->isEnabled());
    ClickIndicator(w.StepLongBox());
    EXPECT_FALSE(w.Edit({FieldKind::dLong})->isEnabled());
    EXPECT_TRUE(w.Edit({FieldKind::dTime})->isEnabled());

    for (int k : {7, 2}) {
        const std::int16_t was = p.params.bodies[k].state == 1 ? 1 : 0;
        p.state.BodyOn[k] = was;
        ClickIndicator(w.BodyBox(k));
        EXPECT_EQ(p.state.BodyOn[k], 1 - was) << k;
    }

    for (int k : {5, 0, 11}) {
        p.surface.SetPixel(500, 300, 0x00123456);
        ClickIndicator(w.ViewOption(k));
        EXPECT_EQ(p.state.ViewBody, k);
        EXPECT_TRUE(w.ViewOption(k)->isChecked());
        EXPECT_EQ(p.surface.GetPixel(500, 300), p.surface.Background()) << "plot cleared";
    }
}

TEST(ParamsWindow, FirstShowingSelectsTheViewBody) {
    App p;
    ASSERT_EQ(p.state.ViewBody, 1);
    EXPECT_TRUE(p.window.ViewOption(0)->isChecked());
    p.surface.SetPixel(500, 300, 0x00123456);
    p.OpenParams();
    EXPECT_TRUE(p.window.ViewOption(1)->isChecked());
    EXPECT_EQ(p.params.viewOption, 1);
    EXPECT_EQ(p.surface.GetPixel(500, 300), p.surface.Background()) << "plot cleared";
}

TEST(ParamsWindow, ItsOwnMessageBoxIsNoTurnToTheMainWindow) {
    App p({15360, 11520, 15, 15}, true);
    p.OpenParams();
    QStringList shown;
    QTimer closer;  // answers the real message box with a click on OK, once it is active
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isActiveWindow()) {
            shown << box->text();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        }
    });
    closer.start(10);
    p.surface.SetPixel(500, 300, 0x00123456);
    QComboBox* zoom = p.window.ZoomBox();
    Retype(zoom, "0", true);
    ASSERT_TRUE(WaitFor([&] { return !shown.isEmpty(); }));
    EXPECT_EQ(shown, QStringList{"Масштаб должен быть больше нуля"});
    EXPECT_TRUE(WaitFor([&] { return zoom->hasFocus(); }));
    // The scale is put back to the value it had when the window became active,
    // written differently: turning to the main window must not clear the plot.
    Retype(zoom, "50000000", true);
    p.form.activateWindow();
    EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &p.form; }));
    EXPECT_EQ(p.surface.GetPixel(500, 300), 0x00123456u);
}

}  // namespace
}  // namespace orbimo::apptest
