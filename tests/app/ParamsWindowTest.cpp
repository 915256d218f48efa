// The parameters window with real events, and the layout of both windows.
#include <QLabel>
#include <QMessageBox>

#include "app/AppHarness.h"
#include "files/Catalogue.h"
#include "files/SaveLoad.h"

namespace orbimo::apptest {
namespace {

// The click sees the left field's handler's result; a message it shows swallows the click.
TEST(ParamsWindow, LeavingAFieldRunsBeforeTheClickThatTookItsFocus) {
    const std::u16string scale = u"Масштаб должен быть больше нуля";
    // Left by 0 Сохранить, 1 В начало, 2 Закрыть, 3 Tab; the text then, the message.
    const std::tuple<FieldRef, QString, int, QString, std::u16string> rows[] = {
        {{FieldKind::Mass, 2}, "1.5", 0, "1,5", u""},                            // saved normalised
        {{FieldKind::X, 3}, "2.5", 1, "7.5", u""},                               // loaded as stored
        {{FieldKind::Scale}, "0", 2, "0", scale},                                // the window stays
        {{FieldKind::StopDate}, "12.5", 0, "01.01.1900", u"Неверная дата! 12"},  // "." typed is ","
        {{FieldKind::X, 3}, "1.5e11", 3, "1,5e11", u""},
        {{FieldKind::Scale}, "-5", 3, "-5", scale},
        {{FieldKind::Scale}, "1 500 000 000", 3, "1 500 000 000", u""},
    };
    for (const auto& [ref, typed, leaveBy, after, message] : rows) {
        SCOPED_TRACE(typed.toStdString());
        App p;
        const auto stateFile = [&p] { return p.files.Read(StateFilePath(p.files)).value_or(""); };
        p.params.SetText({FieldKind::X, 3}, u"7.5");
        SaveState(p.params, p.files);
        const std::string saved = stateFile();
        p.OpenParams();
        ParamsWindow& w = p.window;
        QAbstractButton* buttons[] = {w.SaveButton(), w.BeginButton(), w.CloseButton()};
        QWidget* field =
            ref.kind == FieldKind::Scale ? static_cast<QWidget*>(w.ScaleBox()) : w.Edit(ref);
        Retype(field, typed, leaveBy == 3);
        if (leaveBy < 3) QTest::mouseClick(buttons[leaveBy], Qt::LeftButton);
        EXPECT_EQ(w.Edit(ref)->text(), after);
        EXPECT_EQ(p.params.Text(ref), after.toStdU16String());
        EXPECT_EQ(p.fake.messages, std::vector<std::u16string>(!message.empty(), message));
        if (leaveBy == 0) {
            EXPECT_EQ(stateFile() == saved, !message.empty());
            EXPECT_EQ(stateFile().find("\"1,5\"\r\n") != std::string::npos, message.empty());
        }
        EXPECT_EQ(w.isVisible(), leaveBy != 2 || !message.empty());
        // After a message the focus goes back to the scale, or on to where it was going.
        QWidget* const focus = QApplication::focusWidget();
        EXPECT_TRUE(message == scale ? focus == w.ScaleBox()
                    : leaveBy < 3    ? focus == buttons[leaveBy]
                                     : focus != field);
    }
}

// A greyed box becomes two-state; Enter and Esc hide the window, which keeps all when shown.
TEST(ParamsWindow, GreyedBoxesFromAFileTickOnAClickEnterAndEscHideAndShowingAgainKeepsAll) {
    App p;
    p.params.SetBodyState(3, 2), p.params.SetStepLengthMode(2);
    SaveState(p.params, p.files);
    p.params.SetBodyState(3, 0), p.params.SetStepLengthMode(0);
    LoadSystem(p.params, p.files, u"");
    ParamsWindow& w = p.window;
    EXPECT_EQ(w.BodyBox(3)->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(w.StepLengthBox()->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(w.Edit({FieldKind::StepLength})->isEnabled());  // greyed counts as ticked here
    EXPECT_EQ(p.state.BodyOn[3], 0);                            // and as not taking part there
    p.OpenParams();
    const std::pair<Qt::CheckState, int> clicks[] = {
        {Qt::Checked, 1}, {Qt::Unchecked, 0}, {Qt::Checked, 1}, {Qt::Unchecked, 0}};
    for (auto [shown, on] : clicks) {
        ClickIndicator(w.BodyBox(3));
        ClickIndicator(w.StepLengthBox());
        EXPECT_EQ(w.BodyBox(3)->checkState(), shown);
        EXPECT_EQ(p.state.BodyOn[3], on);
        EXPECT_EQ(p.params.bodies[3].state, on);  // what the file will hold
        EXPECT_EQ(p.params.stepLengthMode, on);
        EXPECT_EQ(w.Edit({FieldKind::StepLength})->isEnabled(), on == 1);
        EXPECT_EQ(w.Edit({FieldKind::TimeStep})->isEnabled(), on == 0);
    }
    ClickIndicator(w.ViewOption(7));
    Retype(w.Edit({FieldKind::VX, 6}), "123,5");
    Retype(w.ScaleBox(), "3 000 000");
    Retype(w.Edit({FieldKind::StopDate}), "15/03/2000");  // leaving it again changes nothing
    const auto snapshot = [&] {                           // every control's state and text
        std::vector<std::tuple<bool, QString, bool>> s;
        for (QWidget* c : w.findChildren<QWidget*>()) {
            const auto* e = qobject_cast<QLineEdit*>(c);
            const auto* b = qobject_cast<QAbstractButton*>(c);
            s.emplace_back(c->isEnabled(), e ? e->text() : "", b && b->isChecked());
        }
        return s;
    };
    const auto before = snapshot();
    const std::pair<QWidget*, int> cases[] = {{w.Edit({FieldKind::Y, 4}), Qt::Key_Return},
                                              {w.ScaleBox()->lineEdit(), Qt::Key_Enter},
                                              {w.Edit({FieldKind::StopDate}), Qt::Key_Escape}};
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
    Retype(p.window.ScaleBox(), "0");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }));
    EXPECT_EQ(p.surface.GetPixel(500, 300), 0x00123456u);
}

// Buttons, captions, colours, tab order; every caption fits its width, measured from the glyphs.
TEST(Layout, ButtonsCaptionsColoursTabOrderAndEveryCaptionFitsInBothWindows) {
    App p;
    const int lefts[] = {718, 791, 864, 937, 1010};
    const QString names[] = {"Пуск", "Параметры", "Очистить", "Выход"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p.form.Button(i)->text(), names[i]);
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
    ParamsWindow& w = p.window;
    std::vector<QWidget*> expected{w.CloseButton()};
    for (int k = 1; k <= kBodies; ++k) expected.push_back(w.BodyBox(k));
    for (int column = 0; column < 5; ++column)  // Mass, X, Y, VX, VY
        for (int k = 1; k <= kBodies; ++k) expected.push_back(w.Edit({FieldKind(column), k}));
    for (int k = 0; k <= kBodies; ++k) expected.push_back(w.ViewOption(k));
    for (int f = 5; f <= 8; ++f)
        expected.push_back(w.Edit({FieldKind(f)}));  // SimDate .. StepLength
    expected.insert(expected.end(), {w.StepLengthBox(), w.ScaleBox(), w.BeginButton(),
                                     w.SystemBox(), w.SaveButton(), w.SaveAsButton()});
    std::vector<QWidget*> walked;
    QWidget* x = w.CloseButton();
    do {
        if ((x->focusPolicy() & Qt::TabFocus) && !x->focusProxy()) walked.push_back(x);
        x = x->nextInFocusChain();
    } while (x != w.CloseButton() && walked.size() <= expected.size());
    EXPECT_EQ(walked, expected);
    p.params.bodies[1].caption = u"Меркурий", p.params.changed();
    std::vector<std::pair<QWidget*, QString>> captions{{p.form.Button(0), "Стоп"}};
    for (QWidget* root : {static_cast<QWidget*>(&p.form), static_cast<QWidget*>(&p.window)})
        for (QWidget* c : root->findChildren<QWidget*>()) {
            if (auto* l = qobject_cast<QLabel*>(c)) captions.emplace_back(c, l->text());
            if (auto* b = qobject_cast<QAbstractButton*>(c)) captions.emplace_back(c, b->text());
        }
    ASSERT_GT(captions.size(), 30u);
    for (const auto& [c, text] : captions) {
        const QStyle* st = c->style();
        int room = c->width();
        if (qobject_cast<QCheckBox*>(c))
            room -= st->pixelMetric(QStyle::PM_IndicatorWidth) +
                    st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        if (qobject_cast<QRadioButton*>(c))
            room -= st->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                    st->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        if (qobject_cast<QPushButton*>(c)) room -= 2 * st->pixelMetric(QStyle::PM_ButtonMargin);
        const QFontMetrics fm(c->font());
        EXPECT_LE(fm.boundingRect(text).right() + 1, room) << text.toStdString();
        EXPECT_GE(fm.height(), 10) << "a font too small to read";
    }
    p.OpenParams();
    EXPECT_EQ(QApplication::focusWidget(), w.CloseButton());  // the first showing
}

// A number that does not fit ends in "…" and its tooltip holds the whole text with its unit.
TEST(Layout, ACutNumberShowsThatItGoesOnAndItsTooltipHoldsItAll) {
    App p;
    p.OpenParams();
    QLineEdit* mass = p.window.Edit({FieldKind::Mass, 1});
    const int frame = mass->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const QRect area = mass->rect().adjusted(frame, frame, -frame, -frame);
    const int dots = mass->fontMetrics().horizontalAdvance("…");
    // The Sun's mass is wider than the field; "5" is not.
    for (auto [text, cut] : {std::pair{"1,989685296E+30", true}, std::pair{"5", false}}) {
        p.params.SetText({FieldKind::Mass, 1}, QString(text).toStdU16String());
        EXPECT_EQ(mass->toolTip(), QString(text) + " кг");
        EXPECT_EQ(mass->text(), text);
        // At the right end: no digit reaches above the dots' line; the dots are there when cut.
        const QImage shot = mass->grab().toImage();
        int above = 0, below = 0;
        for (int x = area.right() - dots; x <= area.right(); ++x)
            for (int y = area.top(); y <= area.bottom(); ++y)
                if (qGray(shot.pixel(x, y)) < 128) ++(y < area.center().y() ? above : below);
        EXPECT_EQ(above, 0) << text;
        EXPECT_EQ(below > 0, cut) << text;
    }
    EXPECT_EQ(p.window.Edit({FieldKind::VX, 4})->toolTip(), "0 м/с");
    EXPECT_EQ(p.window.ScaleBox()->lineEdit()->toolTip(),
              p.window.ScaleBox()->currentText() + " м/твип");
}

// Double-click or F2 renames (the two clicks toggle twice); the name is what a save writes.
TEST(ParamsWindow, ADoubleClickOrF2RenamesTheBodyForTheFile) {
    App p;
    p.OpenParams();
    p.fake.answers = {u"Юпитер", u"", u"Ио"};  // the last but one: cancelled
    QTest::mouseDClick(p.window.BodyBox(6), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&p] { return p.params.bodies[6].caption == u"Юпитер"; }));
    EXPECT_EQ(p.params.bodies[6].state, 0);  // off, as it was
    p.window.BodyBox(6)->setFocus();
    for (int i = 0; i < 2; ++i) QTest::keyClick(p.window.BodyBox(6), Qt::Key_F2), QTest::qWait(1);
    EXPECT_EQ(p.params.bodies[6].caption, u"Ио");
    EXPECT_EQ(p.window.BodyBox(6)->text(), QStringLiteral("Ио"));
    EXPECT_NE(SystemFileBytes(p.params).find("\"\xC8\xEE\"\r\n0\r\n"), std::string::npos);
}

// Each change is one undo step in either window; typing not yet handed over is the field's own.
TEST(ParamsWindow, EachChangeHereIsOneStepUndoneInEitherWindow) {
    // 0 a field retyped, 1 a body box clicked, 2 a rename; keys to the main window or not.
    const std::pair<int, bool> rows[] = {{0, false}, {1, false}, {2, false}, {0, true}, {1, true}};
    for (const auto& [change, inMain] : rows) {
        SCOPED_TRACE(change * 2 + inMain);
        App p;
        p.OpenParams();
        const std::string before = SystemFileBytes(p.params);
        if (change == 0) Retype(p.window.Edit({FieldKind::Mass, 2}), "7");
        if (change == 1) ClickIndicator(p.window.BodyBox(2));
        if (change == 2) {
            p.fake.answers = {u"Гермес"};
            p.window.BodyBox(2)->setFocus();
            QTest::keyClick(p.window.BodyBox(2), Qt::Key_F2);
            EXPECT_TRUE(QTest::qWaitFor([&p] { return p.params.bodies[2].caption == u"Гермес"; }));
        }
        const std::string after = SystemFileBytes(p.params);
        ASSERT_NE(after, before);
        QWidget* keys = &p.window;
        if (inMain) p.ActivateForm(), keys = &p.form;
        QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(SystemFileBytes(p.params), before);
        QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(SystemFileBytes(p.params), after);
    }
    App p;
    p.OpenParams();
    QLineEdit* mass = p.window.Edit({FieldKind::Mass, 2});
    const QString was = mass->text();
    Retype(mass, "5", false);
    QTest::keyClick(mass, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(mass->text(), was);
    EXPECT_TRUE(p.logic.History().UndoName().empty());
}

// Its corner 100 twips inside the main window's, moved onto the screen, and kept when reshown.
TEST(ParamsWindow, PlacedBesideTheMainWindowAndWhollyOnTheScreen) {
    // main, the window's inside, its frame, the screen's available area: its frame's corner.
    const std::tuple<QRect, QSize, QMargins, QRect, QPoint> rows[] = {
        {{0, 0, 1024, 768}, {728, 452}, {}, {0, 0, 1024, 768}, {289, 309}},
        {{0, 0, 1024, 768}, {728, 452}, {4, 24, 4, 4}, {0, 0, 1024, 768}, {281, 281}},
        {{0, 0, 1280, 800}, {728, 452}, {4, 24, 4, 4}, {0, 0, 1280, 760}, {537, 280}},
        {{0, 0, 800, 600}, {728, 452}, {4, 24, 4, 4}, {0, 30, 700, 480}, {0, 30}},
    };
    for (const auto& [main, inside, frame, available, corner] : rows)
        EXPECT_EQ(PlaceBeside(main, inside, frame, available, {7, 7}), corner);
    App p;
    QRect first;
    for (int i = 0; i < 3; ++i) {
        p.OpenParams();
        if (i == 0) first = p.window.geometry();
        EXPECT_EQ(p.window.geometry(), first) << i;
        QTest::mouseClick(p.window.CloseButton(), Qt::LeftButton);
    }
}

}  // namespace
}  // namespace orbimo::apptest
