#include "app/ParamsWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QWindow>
#include <cmath>

#include "app/MainWindow.h"
#include "app/TextFit.h"
#include "files/Catalogue.h"

namespace orbimo {

namespace {

QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

void SetTextColour(QWidget* w, Colour c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, ToQColor(c));
    p.setColor(QPalette::ButtonText, ToQColor(c));
    w->setPalette(p);
}

/// A box that a loaded file may show greyed; a click ticks it (as a click ticks any box that is
/// not ticked), and from then on it goes between clear and ticked only.
class TwoStateBox : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

  protected:
    void nextCheckState() override {
        const Qt::CheckState next = checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked;
        setTristate(false);
        setCheckState(next);
    }
};

/// A field whose text, when wider than the field and the focus is elsewhere, ends in "…":
/// a cut number must not read as a shorter one. The text itself is never changed.
class FieldEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

  protected:
    void focusOutEvent(QFocusEvent* e) override {
        QLineEdit::focusOutEvent(e);
        setCursorPosition(0);  // read from its start, as the marker assumes
    }
    void paintEvent(QPaintEvent* e) override {
        QLineEdit::paintEvent(e);
        if (hasFocus()) return;
        QStyleOptionFrame o;
        initStyleOption(&o);
        const QRect area = style()
                               ->subElementRect(QStyle::SE_LineEditContents, &o, this)
                               .marginsRemoved(textMargins());
        const QFontMetrics fm(font());
        constexpr int kMargin = 2;  // the field's own space on either side of its text
        if (fm.horizontalAdvance(text()) <= area.width() - 2 * kMargin) return;
        const QString dots = QStringLiteral("…");
        const int w = fm.horizontalAdvance(dots) + kMargin;
        const QRect mark(area.right() + 1 - w, area.top(), w, area.height());
        const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
        QPainter p(this);
        p.fillRect(mark, palette().brush(group, QPalette::Base));
        p.setPen(palette().color(group, QPalette::Text));
        p.drawText(mark, Qt::AlignCenter, dots);
    }
};

/// The unit a field's tooltip names after its whole text.
QString Unit(FieldKind k) {
    switch (k) {
        case FieldKind::Mass:
            return QStringLiteral("кг");
        case FieldKind::X:
        case FieldKind::Y:
        case FieldKind::StepLength:
            return QStringLiteral("м");
        case FieldKind::VX:
        case FieldKind::VY:
            return QStringLiteral("м/с");
        case FieldKind::TimeStep:
            return QStringLiteral("с");
        case FieldKind::Scale:
            return QStringLiteral("м/твип");
        case FieldKind::SimDate:
        case FieldKind::StopDate:
            break;
    }
    return {};
}

/// The longest body name of the shipped systems: the font is chosen so that it fits.
constexpr char kLongestBodyName[] = "Меркурий";

constexpr FieldKind kBodyColumns[5] = {FieldKind::Mass, FieldKind::X, FieldKind::Y, FieldKind::VX,
                                       FieldKind::VY};
constexpr double kBodyColumnLeft[5] = {1200, 2520, 4440, 6360, 8280};
constexpr double kBodyColumnWidth[5] = {1215, 1815, 1815, 1815, 1815};

}  // namespace

ParamsWindow::ParamsWindow(ParamsModel& model, FileSystem& files, double twipsPerPixelX,
                           double twipsPerPixelY, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      model_(model),
      files_(files),
      tppX_(twipsPerPixelX),
      tppY_(twipsPerPixelY) {
    setWindowTitle(QStringLiteral("Параметры"));
    setModal(false);
    setFixedSize(Twips(0, 0, 10920, 6780).size());

    // Body rows.
    views_ = new QButtonGroup(this);
    for (int k = 1; k <= kBodies; ++k) {
        const double top = 600 + 360 * (k - 1);
        auto* box = new TwoStateBox(this);
        box->setGeometry(Twips(120, top, 1095, 255));
        SetTextColour(box, model_.bodies[k].captionColour);
        QObject::connect(box, &QCheckBox::clicked, this, [this, k, box] {
            const int state = box->checkState() == Qt::Checked ? 1 : 0;
            model_.SetBodyState(k, state);
            Changed(state == 1 ? StepKind::SwitchOn : StepKind::SwitchOff, k,
                    model_.bodies[static_cast<std::size_t>(k)].caption);
        });
        box->installEventFilter(this);  // a double-click or F2 renames the body
        bodyBoxes_[static_cast<std::size_t>(k)] = box;
        for (int c = 0; c < 5; ++c)
            bodyEdits_[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)] =
                MakeEdit({kBodyColumns[c], k}, kBodyColumnLeft[c], top, kBodyColumnWidth[c]);
        auto* opt = new QRadioButton(QString::number(k), this);
        opt->setGeometry(Twips(10200, top, 615, 375));
        SetTextColour(opt, model_.bodies[k].optionColour);
        views_->addButton(opt, k);
        viewOptions_[static_cast<std::size_t>(k)] = opt;
    }
    auto* vid = new QRadioButton(QStringLiteral("Вид"), this);
    vid->setGeometry(Twips(10200, 240, 615, 375));
    views_->addButton(vid, 0);
    viewOptions_[0] = vid;
    QObject::connect(views_, &QButtonGroup::idClicked, this, [this](int k) {
        model_.SelectView(k);
        Changed(StepKind::Field, 0, u"Вид");
        if (viewChosen) viewChosen(k);
    });

    struct Heading {
        const char* text;
        double left;
    };
    for (const Heading& h : {Heading{"Масса", 1200}, Heading{"X", 2640}, Heading{"Y", 4560},
                             Heading{"Скор.X", 6360}, Heading{"Скор.Y", 8280}}) {
        auto* l = new QLabel(QString::fromUtf8(h.text), this);
        l->setGeometry(Twips(h.left, 360, 1000, 255));
    }
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setGeometry(Twips(240, 4545, 10440, 30));
    QPalette lp = line->palette();
    lp.setColor(QPalette::WindowText,
                QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    line->setPalette(lp);

    // Settings under the line.
    auto label = [this](const char* text, double left, double top, double width) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setGeometry(Twips(left, top, width, 285));
    };
    label("Время", 120, 4920, 700);
    label("Таймер", 120, 5280, 700);
    label("Шаг(с)", 2640, 4920, 600);
    label("Шаг(м)", 2640, 5280, 600);
    label("Масштаб", 4440, 4920, 840);
    label("Система:", 6960, 4920, 840);
    simDate_ = MakeEdit({FieldKind::SimDate}, 840, 4920, 1695);
    simDate_->setReadOnly(true);
    stopDate_ = MakeEdit({FieldKind::StopDate}, 840, 5280, 1695);
    timeStep_ = MakeEdit({FieldKind::TimeStep}, 3240, 4920, 1095);
    stepLength_ = MakeEdit({FieldKind::StepLength}, 3240, 5280, 1095);
    stepLengthBox_ = new TwoStateBox(QStringLiteral("Шаг длины"), this);
    stepLengthBox_->setGeometry(Twips(3240, 5520, 1215, 255));
    QObject::connect(stepLengthBox_, &QCheckBox::clicked, this, [this] {
        model_.SetStepLengthMode(stepLengthBox_->checkState() == Qt::Checked ? 1 : 0);
        Changed(StepKind::Field, 0, u"Шаг длины");
    });
    stepLengthBox_->setToolTip(
        QStringLiteral("Шаг по времени выводится из шага длины («Шаг(м)») и "
                       "скорости самого быстрого тела"));

    scaleBox_ = new QComboBox(this);
    scaleBox_->setEditable(true);
    scaleBox_->setLineEdit(new FieldEdit(scaleBox_));
    scaleBox_->setInsertPolicy(QComboBox::NoInsert);
    scaleBox_->setGeometry(Twips(5280, 4920, 1575, 315));
    for (const auto& p : model_.scalePresets) scaleBox_->addItem(Q(p));
    scaleBox_->setCurrentIndex(-1);  // the first item added became current; none is chosen
    scaleBox_->lineEdit()->installEventFilter(this);
    scaleBox_->installEventFilter(this);
    QObject::connect(scaleBox_, &QComboBox::editTextChanged, this, [this](const QString& t) {
        const std::u16string text = t.toStdU16String();
        if (text != model_.scaleText) model_.SetText({FieldKind::Scale}, text);
        ShowWholeText(scaleBox_->lineEdit(), {FieldKind::Scale});
    });

    systemBox_ = new QComboBox(this);
    systemBox_->setGeometry(Twips(7800, 4920, 3015, 315));
    QObject::connect(systemBox_, &QComboBox::activated, this, [this](int index) {
        if (index < 0) return;
        const std::u16string entry = systemBox_->itemText(index).toStdU16String();
        ChooseSystem(model_, files_, entry);
    });

    auto button = [this](const char* text, double left, double top, double width, double height) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setGeometry(Twips(left, top, width, height));
        // Auto-default: Enter presses the button that has the focus, and "Закрыть"
        // again once the focus is on anything else.
        b->setAutoDefault(true);
        return b;
    };
    beginButton_ = button("В начало", 6120, 5400, 1575, 375);
    saveButton_ = button("Сохранить", 7800, 5400, 1455, 375);
    saveAsButton_ = button("Сохранить как", 9360, 5400, 1455, 375);
    close_ = button("Закрыть", 120, 6000, 10695, 735);
    close_->setDefault(true);
    QObject::connect(beginButton_, &QPushButton::clicked, this,
                     [this] { BackToStart(model_, files_); });
    QObject::connect(saveButton_, &QPushButton::clicked, this,
                     [this] { SaveState(model_, files_); });
    QObject::connect(saveAsButton_, &QPushButton::clicked, this,
                     [this] { SaveAs(model_, files_); });
    QObject::connect(close_, &QPushButton::clicked, this, [this] { hide(); });

    // Tab order: close, boxes, the columns body by body, the views, then the settings.
    std::vector<QWidget*> order{close_};
    for (int k = 1; k <= kBodies; ++k) order.push_back(bodyBoxes_[static_cast<std::size_t>(k)]);
    for (int c = 0; c < 5; ++c)
        for (int k = 1; k <= kBodies; ++k)
            order.push_back(bodyEdits_[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)]);
    for (int k = 0; k <= kBodies; ++k) order.push_back(viewOptions_[static_cast<std::size_t>(k)]);
    for (QWidget* w : std::initializer_list<QWidget*>{simDate_, stopDate_, timeStep_, stepLength_,
                                                      stepLengthBox_, scaleBox_, beginButton_,
                                                      systemBox_, saveButton_, saveAsButton_})
        order.push_back(w);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    close_->setFocus();

    QObject::connect(qApp, &QApplication::focusChanged, this,
                     [this](QWidget* old, QWidget* now) { OnFocusChanged(old, now); });
    model_.changed = [this] { SyncFromModel(); };
    SyncFromModel();
    FitCaptions(bodyBoxes_[1]);
    // Undo and redo of the system, unless a field has typing of its own to undo (see the filter).
    for (const auto& [keys, redo] : {std::pair{QKeySequence(QKeySequence::Undo), false},
                                     {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), true},
                                     {QKeySequence(Qt::CTRL | Qt::Key_Y), true}})
        QObject::connect(new QShortcut(keys, this), &QShortcut::activated, this, [this, r = redo] {
            if (undo) undo(r);
        });
    // Clicks are seen here before the window system moves the focus.
    create();
    windowHandle()->installEventFilter(this);
}

// The largest font in which every caption fits its given width, a long body name included.
void ParamsWindow::FitCaptions(QWidget* longestBody) {
    std::vector<std::pair<QWidget*, QString>> captions{
        {longestBody, QString::fromUtf8(kLongestBodyName)}};
    for (QWidget* w : findChildren<QWidget*>()) {
        if (auto* l = qobject_cast<QLabel*>(w)) captions.emplace_back(w, l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) captions.emplace_back(w, b->text());
    }
    FitFont(this, captions, static_cast<int>(std::lround(195 / tppY_)),
            static_cast<int>(std::lround(105 / tppY_)));
}

// Focus moves while the base classes tear the controls down, when this part of the
// object is gone: neither the application's focus signal nor the model may reach it then.
ParamsWindow::~ParamsWindow() {
    QObject::disconnect(qApp, nullptr, this, nullptr);
    model_.changed = nullptr;
}

QRect ParamsWindow::Twips(double left, double top, double width, double height) const {
    return QRect(static_cast<int>(left / tppX_), static_cast<int>(top / tppY_),
                 static_cast<int>(width / tppX_), static_cast<int>(height / tppY_));
}

QLineEdit* ParamsWindow::MakeEdit(FieldRef f, double left, double top, double width) {
    auto* e = new FieldEdit(this);
    e->setGeometry(Twips(left, top, width, 285));
    e->setProperty("orbimoKind", static_cast<int>(f.kind));
    e->setProperty("orbimoBody", f.body);
    e->installEventFilter(this);
    QObject::connect(e, &QLineEdit::textChanged, this, [this, e, f] { ShowWholeText(e, f); });
    QObject::connect(e, &QLineEdit::textEdited, this,
                     [this, f](const QString& t) { model_.SetText(f, t.toStdU16String()); });
    return e;
}

void ParamsWindow::ShowWholeText(QLineEdit* e, FieldRef f) {
    const QString unit = Unit(f.kind);
    e->setToolTip(unit.isEmpty() ? e->text() : e->text() + QLatin1Char(' ') + unit);
}

QLineEdit* ParamsWindow::Edit(FieldRef f) const {
    switch (f.kind) {
        case FieldKind::Mass:
        case FieldKind::X:
        case FieldKind::Y:
        case FieldKind::VX:
        case FieldKind::VY:
            return bodyEdits_[static_cast<std::size_t>(f.body)][static_cast<std::size_t>(f.kind)];
        case FieldKind::SimDate:
            return simDate_;
        case FieldKind::StopDate:
            return stopDate_;
        case FieldKind::TimeStep:
            return timeStep_;
        case FieldKind::StepLength:
            return stepLength_;
        case FieldKind::Scale:
            return scaleBox_->lineEdit();
    }
    return nullptr;
}

void ParamsWindow::SyncFromModel() {
    auto setText = [this](QLineEdit* e, const std::u16string& text) {
        const QString q = Q(text);
        if (e->text() != q) {
            const QSignalBlocker block(e);
            e->setText(q);
            if (!e->hasFocus()) e->setCursorPosition(0);  // show a long number from its start
            if (const std::optional<FieldRef> f = FieldOf(e)) ShowWholeText(e, *f);
        }
    };
    auto setState = [](QCheckBox* box, int state) {  // 2 is the greyed state a file may hold
        const Qt::CheckState cs = state == 1   ? Qt::Checked
                                  : state == 2 ? Qt::PartiallyChecked
                                               : Qt::Unchecked;
        if (box->checkState() != cs) {
            const QSignalBlocker block(box);
            box->setCheckState(cs);
        }
    };
    for (int k = 1; k <= kBodies; ++k) {
        const BodyRow& row = model_.bodies[k];
        QCheckBox* box = bodyBoxes_[static_cast<std::size_t>(k)];
        if (box->text() != Q(row.caption)) {
            box->setText(Q(row.caption));
            box->setToolTip(Q(row.caption));  // a long name is cut at the box's width
        }
        setState(box, row.state);
        const TextField* texts[5] = {&row.mass, &row.x, &row.y, &row.vx, &row.vy};
        for (std::size_t c = 0; c < 5; ++c)
            setText(bodyEdits_[static_cast<std::size_t>(k)][c], texts[c]->text);
    }
    if (model_.viewOption >= 0 && model_.viewOption <= kBodies) {
        QRadioButton* opt = viewOptions_[static_cast<std::size_t>(model_.viewOption)];
        if (!opt->isChecked()) {
            const QSignalBlocker block(views_);
            opt->setChecked(true);
        }
    }
    setText(simDate_, model_.simDate.text);
    setText(stopDate_, model_.stopDate.text);
    setText(timeStep_, model_.timeStep.text);
    setText(stepLength_, model_.stepLength.text);
    timeStep_->setEnabled(model_.timeStep.enabled);
    stepLength_->setEnabled(model_.stepLength.enabled);
    setState(stepLengthBox_, model_.stepLengthMode);
    if (scaleBox_->currentText() != Q(model_.scaleText)) {
        const QSignalBlocker block(scaleBox_);
        scaleBox_->setEditText(Q(model_.scaleText));
        ShowWholeText(scaleBox_->lineEdit(), {FieldKind::Scale});
    }
    bool sameSystems = systemBox_->count() == static_cast<int>(model_.systems.size());
    for (int i = 0; sameSystems && i < systemBox_->count(); ++i)
        sameSystems = systemBox_->itemText(i) == Q(model_.systems[static_cast<std::size_t>(i)]);
    if (!sameSystems) {
        const QSignalBlocker block(systemBox_);
        const QString current = systemBox_->currentText();
        systemBox_->clear();
        for (const auto& s : model_.systems) systemBox_->addItem(Q(s));
        systemBox_->setCurrentIndex(systemBox_->findText(current));
    }
}

void ParamsWindow::ShowBeside(const QWidget& mainWindow) {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    const QScreen* screen = mainWindow.screen();
    const QPoint corner = PlaceBeside(
        mainWindow.geometry(), size(), frame_, screen ? screen->availableGeometry() : QRect(),
        QPoint(static_cast<int>(100 / tppX_), static_cast<int>(100 / tppY_)));
    // The inside is placed, not the frame: the frame's size is known only once shown, and a
    // frame placed from a guess moves the window at every showing.
    setGeometry(QRect(corner + QPoint(frame_.left(), frame_.top()), size()));
    show();
    raise();
    activateWindow();
}

void ParamsWindow::moveEvent(QMoveEvent* e) {
    QDialog::moveEvent(e);
    // The window system has framed the window: its frame's size, for the next showing.
    const QRect outer = frameGeometry(), inner = geometry();
    if (isVisible() && outer != inner)
        frame_ = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                          outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

QPoint PlaceBeside(const QRect& main, QSize inside, QMargins frame, const QRect& available,
                   QPoint margin) {
    const QSize outer = inside.grownBy(frame);
    // Its lower right corner `margin` inside the main window's...
    QPoint at(main.right() + 1 - outer.width() - margin.x(),
              main.bottom() + 1 - outer.height() - margin.y());
    if (available.isEmpty()) return at;
    // ...and wholly on the screen's available area, moved in when it would not be.
    at.setX(std::max(std::min(at.x(), available.right() + 1 - outer.width()), available.left()));
    at.setY(std::max(std::min(at.y(), available.bottom() + 1 - outer.height()), available.top()));
    return at;
}

void ParamsWindow::AskName(int k) {
    const BodyRow& row = model_.bodies[static_cast<std::size_t>(k)];
    const std::u16string name =
        model_.toolkit().InputBox(u"Новое имя тела «" + row.caption + u"» (номер " +
                                      QString::number(k).toStdU16String() + u"):",
                                  u"Имя тела", row.caption);
    if (name.empty() || name == row.caption) return;
    if (const auto problem = model_.RenameBody(k, name)) {
        model_.toolkit().MessageBox(*problem);
        return;
    }
    Changed(StepKind::Rename, k, name);
}

void ParamsWindow::Changed(StepKind kind, int body, const std::u16string& what) {
    if (changedSystem) changedSystem(kind, body, what);
}

bool ParamsWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && !active_) {
        active_ = true;
        model_.Activate();
    } else if (e->type() == QEvent::WindowDeactivate && !QApplication::activeModalWidget()) {
        // A message or input box of this window's own handlers holds the activation
        // for a moment: the user has not turned away, so no deactivation and, when
        // the box closes, no second activation.
        Deactivated();
    }
    return QDialog::event(e);
}

void ParamsWindow::Deactivated() {
    if (!active_) return;
    active_ = false;
    model_.Deactivate();
}

void ParamsWindow::hideEvent(QHideEvent* e) {
    Deactivated();
    QDialog::hideEvent(e);
    // The keys go back to the main window, also where no window manager hands the focus on.
    if (!e->spontaneous() && parentWidget() && parentWidget()->isVisible())
        parentWidget()->activateWindow();
}

void ParamsWindow::closeEvent(QCloseEvent* e) {
    // The frame's close button hides the window like "Закрыть"; its contents live on.
    e->ignore();
    hide();
}

bool ParamsWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == windowHandle()) {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
            const QPoint at = static_cast<QMouseEvent*>(e)->position().toPoint();
            return !LeaveBeforeClick(childAt(at));
        }
        return false;
    }
    for (int k = 1; k <= kBodies; ++k) {
        if (watched != bodyBoxes_[static_cast<std::size_t>(k)]) continue;
        // The clicks of a double-click switch the body off and on again, as any two clicks do;
        // the name is asked for once they are done.
        if (e->type() == QEvent::MouseButtonDblClick) renaming_ = k;
        const bool released = e->type() == QEvent::MouseButtonRelease && renaming_ == k;
        const bool f2 = e->type() == QEvent::KeyPress &&
                        static_cast<QKeyEvent*>(e)->key() == Qt::Key_F2 &&
                        static_cast<QKeyEvent*>(e)->modifiers() == Qt::NoModifier;
        if (released || f2) {
            renaming_ = 0;
            QTimer::singleShot(0, this, [this, k] { AskName(k); });
            if (f2) return true;
        }
    }
    auto* typing = qobject_cast<QLineEdit*>(watched);
    // Typing since the field took the focus is undone in the field, anything else in the system.
    if (typing && e->type() == QEvent::FocusIn) typing->setModified(false);
    if (e->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(e);
        const bool undoKey = key->matches(QKeySequence::Undo);
        if (typing && (undoKey || key->matches(QKeySequence::Redo) ||
                       key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)))
            return !(typing->isModified() &&
                     (undoKey ? typing->isUndoAvailable() : typing->isRedoAvailable()));
    }
    if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
    const auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        if (!LeaveBeforeKey(qobject_cast<QWidget*>(watched))) return true;
        return QDialog::eventFilter(watched, e);
    }
    auto* edit = watched == scaleBox_ ? scaleBox_->lineEdit() : qobject_cast<QLineEdit*>(watched);
    if (!edit || key->text().size() != 1) return QDialog::eventFilter(watched, e);
    const char16_t typed = key->text().at(0).unicode();
    // A double quote would end the text early in a system file.
    if (typed == u'"') {
        QApplication::beep();
        return true;
    }
    const FieldRef f = FieldOf(edit).value_or(FieldRef{FieldKind::Scale});
    const char16_t entered = ParamsModel::Typed(f, typed);
    if (entered == typed) return QDialog::eventFilter(watched, e);
    if (!edit->isReadOnly()) {
        edit->insert(QString(QChar(entered)));
        model_.SetText(f, edit->text().toStdU16String());
    }
    return true;
}

std::optional<FieldRef> ParamsWindow::FieldOf(const QWidget* w) const {
    if (!w) return std::nullopt;
    if (w == scaleBox_ || w == scaleBox_->lineEdit()) return FieldRef{FieldKind::Scale};
    const QVariant kind = w->property("orbimoKind");
    if (!kind.isValid()) return std::nullopt;
    return FieldRef{static_cast<FieldKind>(kind.toInt()), w->property("orbimoBody").toInt()};
}

Leave ParamsWindow::RunLeave(FieldRef f) {
    const Leave r = model_.FocusLeaves(f);
    // What the handler left is one step: what was typed, as the field takes it.
    if (r != Leave::BackToScale) Changed(StepKind::Field, f.body, FieldStepWhat(model_, f));
    // A message box may have taken the activation elsewhere; it comes back here.
    if (isVisible() && !isActiveWindow()) activateWindow();
    if (r == Leave::BackToScale) scaleBox_->setFocus(Qt::OtherFocusReason);
    return r;
}

bool ParamsWindow::LeaveBeforeClick(QWidget* hit) {
    // The control the press gives the focus to, as the window system finds it.
    QWidget* taker = hit;
    while (taker && taker != this &&
           !(taker->isEnabled() && (taker->focusPolicy() & Qt::ClickFocus)))
        taker = taker->parentWidget();
    if (taker == this) taker = nullptr;
    while (taker && taker->focusProxy()) taker = taker->focusProxy();
    if (pending_) {
        const FieldRef f = *pending_;
        pending_.reset();
        if (RunLeave(f) != Leave::Done) return false;
    }
    QWidget* focused = QApplication::focusWidget();
    const std::optional<FieldRef> field = FieldOf(focused);
    if (!taker || !field || taker == focused || focused->window() != this) return true;
    const Leave r = RunLeave(*field);
    if (r == Leave::BackToScale) return false;
    leftAlready_ = focused;
    if (r == Leave::Done) {
        // The press moves the focus next; that move must not run the handler again.
        QTimer::singleShot(0, this, [this] { leftAlready_ = nullptr; });
        return true;
    }
    // After a message the click is lost, but the focus goes where it was going.
    taker->setFocus(Qt::MouseFocusReason);
    leftAlready_ = nullptr;
    return false;
}

bool ParamsWindow::LeaveBeforeKey(QWidget* field) {
    if (pending_) {
        const FieldRef f = *pending_;
        pending_.reset();
        if (RunLeave(f) != Leave::Done) return false;
    }
    const std::optional<FieldRef> f = FieldOf(field);
    if (!f || !field->hasFocus()) return true;
    if (RunLeave(*f) == Leave::BackToScale) return false;
    leftAlready_ = field;
    QTimer::singleShot(0, this, [this] { leftAlready_ = nullptr; });
    return true;
}

void ParamsWindow::OnFocusChanged(QWidget* old, QWidget* now) {
    if (old && old == leftAlready_) {
        leftAlready_ = nullptr;
        return;
    }
    if (!old || !now || old->window() != this || now->window() != this) return;
    const std::optional<FieldRef> f = FieldOf(old);
    if (!f ||
        (f->kind == FieldKind::Scale && FieldOf(now) && FieldOf(now)->kind == FieldKind::Scale))
        return;
    // Any other move of the focus (a programme's, a shortcut's): once Qt has finished it.
    pending_ = *f;
    QTimer::singleShot(0, this, [this] {
        if (!pending_) return;
        const FieldRef leaving = *pending_;
        pending_.reset();
        RunLeave(leaving);
    });
}

}  // namespace orbimo
