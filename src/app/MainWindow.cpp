#include "app/MainWindow.h"

#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "app/FrameDialog.h"
#include "app/HelpWindow.h"
#include "app/MainWindowActions.h"
#include "app/PictureExport.h"
#include "app/TextFit.h"
#include "convert/DateTimeText.h"
#include "display/ThickTraces.h"
#include "mainwindow/BodyEdits.h"
#include "mainwindow/CircularOrbit.h"
#include "paint/OverlayPainter.h"

namespace orbimo {

Colour ToColour(const QColor& c) {
    return static_cast<Colour>(c.red()) | (static_cast<Colour>(c.green()) << 8) |
           (static_cast<Colour>(c.blue()) << 16);
}

QColor ToQColor(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

MainWindow::MainWindow(MainWindowLogic& logic, MemorySurface& surface, QtToolkit& toolkit,
                       double twipsPerPixelX, double twipsPerPixelY)
    : logic_(logic),
      surface_(surface),
      toolkit_(toolkit),
      tppX_(twipsPerPixelX),
      tppY_(twipsPerPixelY) {
    setWindowTitle(QStringLiteral("Орбимо. Версия 1.1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // the pointer shows what a press would take
    // The surface holds palette entries; the screen gets words a strip at a time.
    strip_ = QImage(std::max(surface_.Width(), 1), kStripRows, QImage::Format_RGB32);
    static const char* const kCaptions[4] = {"Пуск", "Параметры", "Очистить", "Выход"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(kCaptions[i]), this);
        b->setFocusPolicy(Qt::TabFocus);
        QObject::connect(b, &QPushButton::clicked, this, [this, i] {
            logic_.Click(i);
            Present();
        });
        buttons_[static_cast<std::size_t>(i)] = b;
    }
    // Every key and menu entry from one table, which the help lists too.
    for (const CommandEntry& entry : MainWindowCommands()) {
        auto* a = new QAction(entry.text, this);
        a->setShortcuts(entry.keys);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setCheckable(entry.checkable);
        a->setWhatsThis(entry.help);
        QObject::connect(a, &QAction::triggered, this, [this, c = entry.command] { Run(c); });
        addAction(a);
        actions_[entry.command] = a;
    }
    actions_[Command::Leapfrog]->setToolTip(
        QStringLiteral("Скорости начинают счёт на полшага раньше координат: орбиты точнее; в "
                       "полях и файлах они всегда на тот же момент, что и координаты"));
    resize(static_cast<int>(logic_.WindowWidthTwips() / tppX_),
           static_cast<int>(logic_.WindowHeightTwips() / tppY_));
    LayOutButtons();
    // The buttons are 1095 twips wide: the largest font in which every caption fits them.
    std::vector<std::pair<QWidget*, QString>> captions{{buttons_[0], QStringLiteral("Стоп")}};
    for (QPushButton* b : buttons_) captions.emplace_back(b, b->text());
    FitFont(this, captions, static_cast<int>(std::lround(195 / tppY_)),
            static_cast<int>(std::lround(105 / tppY_)));
    prefs_ = Preferences::Load();
    logic_.Pace().SetPace(prefs_.pace);
    // The frame the user left, when the system the state file holds has its bodies.
    if (DrawnFrame(prefs_.frame, TakingPartInFields(logic_.Params())) == prefs_.frame)
        logic_.View().SetFrame(prefs_.frame);
    logic_.SetLeapfrog(prefs_.leapfrog);
    teaching_ = std::make_unique<TeachingTools>(this, logic_);
    logic_.systemLoaded = [this](const std::u16string& name) { OpenAtItsOwnView(name); };
    logic_.captionChanged = [this] {
        buttons_[0]->setText(QString::fromStdU16String(logic_.Button0Caption()));
        if (logic_.Running()) HintDone();
    };
    // Drawing goes into the buffer every tick; the screen sees it at most at display rate.
    auto* frame = new QTimer(this);
    QObject::connect(frame, &QTimer::timeout, this, [this] { Present(); });
    frame->start(16);
}

void MainWindow::LayOutButtons() {
    for (int i = 0; i < 4; ++i) {
        const TwipRect& r = logic_.Buttons()[static_cast<std::size_t>(i)];
        // Both edges in pixels, the width their difference: rounding the width on its
        // own would open a gap between buttons that touch in twips.
        auto px = [](double twips, double perPixel) {
            return static_cast<int>(std::floor(twips / perPixel));
        };
        const int left = px(r.left, tppX_), top = px(r.top, tppY_);
        buttons_[static_cast<std::size_t>(i)]->setGeometry(
            left, top, px(r.left + r.width, tppX_) - left, px(r.top + r.height, tppY_) - top);
    }
    timeBar_.Place(width(), buttons_[3]->geometry().right() + 1, buttons_[0]->geometry().top());
}

void MainWindow::Present() {
    QRegion changed;
    // Thicker paths reach a pixel or two beyond what changed.
    const int reach = prefs_.lineWidth - 1;
    for (const MemorySurface::Rect& r : surface_.TakeDirty())
        changed += QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom))
                       .adjusted(-reach, -reach, reach, reach);
    if (!changed.isEmpty()) update(changed);
    RefreshOverlay();
}

// The layers over the picture follow the run at display rate, never per tick.
void MainWindow::RefreshOverlay() {
    teaching_->Refresh();
    rates_.Sample(toolkit_.Now(), logic_);
    OverlayOptions options;
    options.readout = prefs_.readout;
    options.labels = prefs_.labels;
    options.scaleBar = prefs_.scaleBar;
    options.bodies = true;
    options.markerSize = 1 + 2 * prefs_.lineWidth;
    options.arrows = prefs_.arrows || bodies_.Dragging();  // a dragged body shows where it goes
    options.arrowSpeed = bodies_.ArrowSpeed();
    if (!prefs_.hintSeen)
        options.hint = u"Справка — F1. Примеры систем — в меню правой кнопки мыши, «Примеры».";
    Overlay next = BuildOverlay(logic_, options, rates_);
    if (!logic_.Running() && logic_.HasRecord() &&
        logic_.RecordLastDate() > logic_.RecordFirstDate())
        next.timeBar = timeBar_.Layer(scrubbing_ ? scrubDate_ : logic_.State().SimTime,
                                      logic_.RecordFirstDate(), logic_.RecordLastDate(),
                                      scrubbing_ ? FormatDate(scrubDate_) : std::u16string());
    if (next == overlay_ && !overlayRegion_.isEmpty()) return;
    const QRegion region = OverlayRegion(next, size());
    update(region + overlayRegion_);
    overlay_ = std::move(next);
    overlayRegion_ = region;
}

void MainWindow::ScrubTo(int x) {
    // Whole seconds: the date shown is one a user could type, and the jump lands on its tick.
    scrubDate_ = std::round(timeBar_.DateAt(x, logic_.RecordFirstDate(), logic_.RecordLastDate()));
    RefreshOverlay();
    // The picture at that moment, at most once a display frame.
    if (scrubPending_) return;
    scrubPending_ = true;
    QTimer::singleShot(scrubShown_ ? 16 : 0, this, [this] {
        scrubPending_ = false;
        if (!scrubbing_) return;
        scrubShown_ = true;
        if (logic_.ShowRecordAt(scrubDate_)) Redrawn();
    });
}

void MainWindow::AskJumpDate() {
    if (logic_.Running())
        return toolkit_.MessageBox(u"Во время счёта не перейти к дате: сначала «Стоп».");
    const std::u16string text = toolkit_.InputBox(
        u"Дата (ДД.ММ.ГГГГ Ч:ММ:СС): система встанет так, как остановился бы "
        u"счёт с этой датой в «Таймер».",
        u"Перейти к дате", FormatDate(logic_.State().SimTime));
    if (text.empty()) return;
    const double date = ParseDate(text, toolkit_);
    if (date == 0 && text.rfind(u"01.01.1900", 0) != 0) return;  // not a date: ParseDate said so
    Jumped(logic_.JumpToDate(date));
}

void MainWindow::Jumped(JumpOutcome outcome) {
    const std::u16string message = JumpMessage(outcome, logic_.RecordFirstDate());
    if (!message.empty()) toolkit_.MessageBox(message);
    if (outcome != JumpOutcome::Done && outcome != JumpOutcome::Fault) logic_.EndShowRecord();
    Redrawn();
}

void MainWindow::SetPace(int index) {
    logic_.Pace().SetPace(index);
    prefs_.pace = logic_.Pace().Pace();
    prefs_.Save();
    RefreshOverlay();
}

void MainWindow::Show(bool Preferences::*layer, bool on) {
    prefs_.*layer = on;
    prefs_.Save();
    RefreshOverlay();
}

void MainWindow::Redrawn() {
    update();
    surface_.TakeDirty();
    RefreshOverlay();
}

void MainWindow::SetFrame(const Frame& f) {
    logic_.View().SetFrame(f);
    prefs_.frame = f;
    prefs_.Save();
    Preferences::SetFrameFor(prefs_.system, f);  // the frame this system opens in next time
    Redrawn();
}

void MainWindow::OpenAtItsOwnView(const std::u16string& name) {
    if (!name.empty()) prefs_.system = name;
    // The logic has put the body frame; the frame the user chose for this system, if its
    // bodies take part in it.
    Frame f{};
    if (const std::optional<Frame> own = Preferences::FrameFor(prefs_.system);
        own && DrawnFrame(*own, TakingPartInFields(logic_.Params())) == *own)
        f = *own;
    logic_.View().SetFrame(f);
    prefs_.frame = f;
    if (!name.empty()) HintDone();
    prefs_.Save();
    Redrawn();
}

void MainWindow::HintDone() {
    if (prefs_.hintSeen) return;
    prefs_.hintSeen = true;
    prefs_.Save();
    RefreshOverlay();
}

void MainWindow::SetLineWidth(int pixels) {
    prefs_.lineWidth = std::clamp(pixels, 1, 3);
    prefs_.Save();
    Redrawn();
}

void MainWindow::SetLeapfrog(bool on) {
    logic_.SetLeapfrog(on);
    prefs_.leapfrog = on;
    prefs_.Save();
    RefreshOverlay();
}

void MainWindow::ToggleFrame(FrameKind kind) {
    Frame f = prefs_.frame;
    f.kind = f.kind == kind ? FrameKind::Body : kind;
    SetFrame(f);
}

void MainWindow::ChooseView(int k) {
    Frame body = prefs_.frame;
    body.kind = FrameKind::Body;
    if (k != logic_.State().ViewBody) {
        // As the option button in «Параметры» does it: a new view starts a new plot.
        logic_.View().SetFrame(body);
        prefs_.frame = body;
        prefs_.Save();
        logic_.SelectView(k);
        Redrawn();
    } else if (prefs_.frame.kind != FrameKind::Body) {
        SetFrame(body);
    }
}

void MainWindow::wheelEvent(QWheelEvent* e) {
    wheel_ += e->angleDelta().y();
    const int notches = wheel_ / 120;  // a notch is 15 degrees
    if (notches == 0) return;
    wheel_ -= notches * 120;
    const QPointF at = e->position();
    logic_.View().ZoomAt(at.x(), at.y(), std::pow(1.25, notches));
    logic_.ViewChanged();  // the scale is how the system is seen, no step of its own
    Redrawn();
}

void MainWindow::mousePressEvent(QMouseEvent* e) {
    if (teaching_->MousePress(e)) return;
    if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    const QPoint at = e->position().toPoint();
    if (overlay_.timeBar && timeBar_.Hit({at.x(), at.y()})) {
        scrubbing_ = true;
        return ScrubTo(at.x());
    }
    if (bodies_.Press({at.x(), at.y()}, prefs_.arrows, 1 + 2 * prefs_.lineWidth) !=
        BodyDrag::Grab::None) {
        RefreshOverlay();
        return;
    }
    if (cursor().shape() == Qt::ForbiddenCursor) return;  // a body, while a run goes
    dragging_ = true;
    dragFrom_ = at;
    dragBy_ = QPoint();
}

void MainWindow::mouseMoveEvent(QMouseEvent* e) {
    if (teaching_->MouseMove(e)) return;
    if (scrubbing_) return ScrubTo(e->position().toPoint().x());
    const QPoint at = e->position().toPoint();
    if (bodies_.Dragging()) {
        bodies_.Move({at.x(), at.y()});
        RefreshOverlay();
        return;
    }
    if (!dragging_) {
        // What a press here would take: a body, an arrow's tip; during a run, nothing.
        const int size = 1 + 2 * prefs_.lineWidth;
        const BodyDrag::Grab over = bodies_.Over({at.x(), at.y()}, prefs_.arrows, size).first;
        bool onMarker = false;
        if (logic_.Running())
            for (int b = 1; b <= kBodies && !onMarker; ++b)
                onMarker = logic_.State().BodyOn[b] == 1 &&
                           std::abs(logic_.State().LastPixX[b] - at.x()) <= size / 2 + 2 &&
                           std::abs(logic_.State().LastPixY[b] - at.y()) <= size / 2 + 2;
        setCursor(onMarker                        ? Qt::ForbiddenCursor
                  : over == BodyDrag::Grab::Body  ? Qt::OpenHandCursor
                  : over == BodyDrag::Grab::Arrow ? Qt::CrossCursor
                                                  : Qt::ArrowCursor);
        return QWidget::mouseMoveEvent(e);
    }
    dragBy_ = at - dragFrom_;
    update();
}

void MainWindow::mouseReleaseEvent(QMouseEvent* e) {
    if (teaching_->MouseRelease(e)) return;
    if (scrubbing_ && e->button() == Qt::LeftButton) {
        scrubbing_ = false;
        scrubShown_ = false;
        // The bar's left end is the record's first tick, which no date after its start names.
        return Jumped(scrubDate_ <= logic_.RecordFirstDate()
                          ? logic_.JumpToTick(logic_.RecordFirstTick() + 1)
                          : logic_.JumpToDate(scrubDate_));
    }
    if (e->button() == Qt::LeftButton && bodies_.Dragging()) {
        bodies_.Release();
        RefreshOverlay();
        return;
    }
    if (!dragging_ || e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
    dragging_ = false;
    const QPoint by = e->position().toPoint() - dragFrom_;
    dragBy_ = QPoint();
    if (!by.isNull()) logic_.View().PanBy(by.x(), by.y());
    Redrawn();
}

void MainWindow::EditFromMenu(StepKind kind, int body,
                              const std::function<std::u16string()>& edit) {
    if (!logic_.Edit(kind, body, edit))
        toolkit_.MessageBox(u"Во время счёта систему не изменить: сначала «Стоп».");
    RefreshOverlay();
}

void MainWindow::AddEditEntries(QMenu& menu, QPoint at) {
    const auto [grab, body] = bodies_.Over({at.x(), at.y()}, false, 1 + 2 * prefs_.lineWidth);
    ParamsModel& params = logic_.Params();
    auto tell = [this](const EditResult& r) {
        if (!r.message.empty()) toolkit_.MessageBox(r.message);
    };
    if (grab == BodyDrag::Grab::Body) {
        const std::u16string name = params.bodies[static_cast<std::size_t>(body)].caption;
        QMenu* orbit = menu.addMenu(QStringLiteral("Круговая орбита вокруг…"));
        for (int c = 1; c <= kBodies; ++c) {
            if (c == body || params.bodies[static_cast<std::size_t>(c)].state != 1) continue;
            const QString centre =
                QString::fromStdU16String(params.bodies[static_cast<std::size_t>(c)].caption);
            for (const auto& [sense, how] :
                 {std::pair{OrbitSense::AsMoving, QStringLiteral(" — как движется")},
                  {OrbitSense::Anticlockwise, QStringLiteral(" — против часовой стрелки")}})
                orbit->addAction(centre + how, this, [=, this] {
                    EditFromMenu(StepKind::CircularOrbit, body, [&] {
                        tell(PutOnCircularOrbit(logic_.Params(), body, c, sense));
                        return name;
                    });
                });
        }
        orbit->setEnabled(!orbit->isEmpty());
        menu.addAction(QStringLiteral("Переименовать…"), this, [=, this] {
            const std::u16string answer =
                toolkit_.InputBox(u"Новое имя тела «" + name + u"»:", u"Имя тела", name);
            if (answer.empty() || answer == name) return;
            EditFromMenu(StepKind::Rename, body, [&] {
                tell(RenameBody(logic_.Params(), body, answer));
                return answer;
            });
        });
        menu.addAction(QStringLiteral("Выключить"), this, [=, this] {
            EditFromMenu(StepKind::SwitchOff, body, [&] {
                tell(SwitchOffBody(logic_.Params(), body));
                return name;
            });
        });
        menu.addAction(QStringLiteral("Центр вида"), this, [=, this] { ChooseView(body); });
        return;
    }
    const std::optional<FieldPoint> point = bodies_.PointAt({at.x(), at.y()});
    QMenu* add = menu.addMenu(QStringLiteral("Добавить тело здесь"));
    add->setEnabled(point.has_value() && !logic_.Running());
    if (!point) return;
    auto addBody = [=, this](const std::u16string& entry, const std::u16string& mass) {
        EditFromMenu(StepKind::NewBody, 0, [&] {
            const EditResult r =
                AddBody(logic_.Params(), {entry, mass, *point, 0, 0},
                        PictureCoordinates(logic_.State(), logic_.View().CurrentFrame(),
                                           BodiesFromFields(logic_.Params()))
                            .Tolerance());
            tell(r);
            return entry;
        });
    };
    for (const MassPreset& preset : MassPresets())
        add->addAction(QString::fromStdU16String(preset.name + u" (" + preset.massText + u" кг)"),
                       this, [=] { addBody(preset.name, preset.massText); });
    add->addAction(QStringLiteral("другая масса…"), this, [=, this] {
        const std::u16string mass =
            toolkit_.InputBox(u"Масса нового тела, кг:", u"Добавить тело", u"1E+24");
        if (!mass.empty()) addBody(u"Тело", mass);
    });
}

void MainWindow::ShowHelp() {
    if (!help_) help_ = new HelpWindow(this, HelpText());
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::paintEvent(QPaintEvent* e) {
    if (rebuildPending_) {
        // The window system asks for the whole picture: rebuild it from the trace map.
        rebuildPending_ = false;
        logic_.RepaintRequest();
        surface_.TakeDirty();
    }
    QPainter p(this);
    const QRect r = e->rect();
    const QRect picture(0, 0, surface_.Width(), surface_.Height());
    if (!dragBy_.isNull()) {
        // Dragged: the picture follows the mouse, the background shows where it left.
        p.fillRect(r, ToQColor(surface_.Background()));
        p.save();
        p.translate(dragBy_);
        DrawPicture(p, picture);
        p.restore();
        PaintOverlay(p, overlay_, size());
        teaching_->Paint(p, size());
        if (painted) painted();
        return;
    }
    for (const QRect& part : e->region()) DrawPicture(p, part & picture);
    // A window larger than the screen shows background beyond the picture.
    if (width() > picture.width() || height() > picture.height()) {
        const QRegion outside = QRegion(r) - QRegion(picture);
        for (const QRect& part : outside) p.fillRect(part, ToQColor(surface_.Background()));
    }
    // Over the picture, never into it: the plotter reads the surface back.
    if (overlayRegion_.intersects(r)) PaintOverlay(p, overlay_, size());
    teaching_->Paint(p, size());
    if (painted) painted();
}

void MainWindow::showEvent(QShowEvent* e) {
    rebuildPending_ = true;
    RefreshOverlay();
    // Keys reach the window at once, also where no window manager hands out the focus.
    if (!e->spontaneous()) activateWindow();
    QWidget::showEvent(e);
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    rebuildPending_ = true;
    overlayRegion_ = QRegion();  // laid out afresh for the new size
    QWidget::resizeEvent(e);
    update();
}

void MainWindow::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowStateChange) {
        rebuildPending_ = true;
        update();
    }
    QWidget::changeEvent(e);
}

void MainWindow::DrawPicture(QPainter& p, const QRect& r) {
    if (r.isEmpty()) return;
    // Painting straight into the window's buffer when it is an image of words at our offset:
    // a full picture then costs one pass instead of two.
    QPaintDevice* const target = p.paintEngine() ? p.paintEngine()->paintDevice() : nullptr;
    if (target && target->devType() == QInternal::Image && p.deviceTransform().isIdentity() &&
        target->devicePixelRatio() == 1) {
        auto* image = static_cast<QImage*>(target);
        const QImage::Format f = image->format();
        if ((f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied ||
             f == QImage::Format_ARGB32) &&
            image->rect().contains(r)) {
            const auto stride = static_cast<std::size_t>(image->bytesPerLine() / 4);
            std::uint32_t* const words = reinterpret_cast<std::uint32_t*>(image->bits()) +
                                         static_cast<std::size_t>(r.top()) * stride +
                                         static_cast<std::size_t>(r.left());
            surface_.CopyWords({r.left(), r.top(), r.right(), r.bottom()}, words, stride);
            Thicken(r.left(), r.top(), r.right(), r.bottom(), words, stride);
            return;
        }
    }
    for (int top = r.top(); top <= r.bottom(); top += kStripRows) {
        const int bottom = std::min(top + kStripRows - 1, r.bottom());
        const auto stride = static_cast<std::size_t>(strip_.bytesPerLine() / 4);
        auto* const words = reinterpret_cast<std::uint32_t*>(strip_.bits());
        surface_.CopyWords({r.left(), top, r.right(), bottom}, words, stride);
        Thicken(r.left(), top, r.right(), bottom, words, stride);
        p.drawImage(QPoint(r.left(), top), strip_, QRect(0, 0, r.width(), bottom - top + 1));
    }
}

QImage MainWindow::Image() const {
    QImage image(surface_.Width(), surface_.Height(), QImage::Format_RGB32);
    if (!image.isNull())
        surface_.CopyWords({0, 0, surface_.Width() - 1, surface_.Height() - 1},
                           reinterpret_cast<std::uint32_t*>(image.bits()),
                           static_cast<std::size_t>(image.bytesPerLine() / 4));
    return image;
}

void MainWindow::Thicken(int left, int top, int right, int bottom, std::uint32_t* words,
                         std::size_t stride) const {
    if (prefs_.lineWidth > 1)
        DrawThickTraces(logic_.State().PixelOwner, logic_.State().BodyColor, prefs_.lineWidth, left,
                        top, right, bottom, words, stride);
}

QImage MainWindow::Picture(bool withOverlay) const {
    QImage image = Image();
    if (withOverlay && !image.isNull())  // as shown: projector mode's paths too
        Thicken(0, 0, image.width() - 1, image.height() - 1,
                reinterpret_cast<std::uint32_t*>(image.bits()),
                static_cast<std::size_t>(image.bytesPerLine() / 4));
    QImage picture = image.copy(QRect(QPoint(0, 0), size()).intersected(image.rect()));
    if (withOverlay) {
        QPainter p(&picture);
        PaintOverlay(p, overlay_, size());
        teaching_->Paint(p, size());
    }
    return picture;
}

void MainWindow::SavePicture(bool withOverlay) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!QDir(folder).exists()) folder = QDir::homePath();
    const QString name = pictureName ? pictureName() : DefaultPictureName({}, {});
    const QImage picture = Picture(withOverlay);  // as it is now, not after the dialog
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить изображение"),
                                                QDir(folder).filePath(name),
                                                QStringLiteral("Изображения PNG (*.png)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");
    const QString problem = SavePng(picture, path);
    if (!problem.isEmpty())
        toolkit_.MessageBox((QStringLiteral("Не удалось сохранить изображение ") + path +
                             QStringLiteral(": ") + problem)
                                .toStdU16String());
}

void MainWindow::CopyPicture(bool withOverlay) {
    QGuiApplication::clipboard()->setImage(Picture(withOverlay));
}

void MainWindow::Run(Command c) {
    switch (c) {
        case Command::StartStop:
            return buttons_[0]->click();
        case Command::Params:
            return buttons_[1]->click();
        case Command::Clear:
            return buttons_[2]->click();
        case Command::SavePicture:
        case Command::SavePictureBare:
            return SavePicture(c == Command::SavePicture);
        case Command::CopyPicture:
        case Command::CopyPictureBare:
            return CopyPicture(c == Command::CopyPicture);
        case Command::Faster:
            return SetPace(logic_.Pace().Faster());
        case Command::Slower:
            return SetPace(logic_.Pace().Slower());
        case Command::Home:
            logic_.View().HomeOrigin();
            return Redrawn();
        case Command::Fit:
            logic_.Fit();
            logic_.ViewChanged();
            return Redrawn();
        case Command::CentreOfMass:
            return ToggleFrame(FrameKind::CentreOfMass);
        case Command::Rotating:
            return ToggleFrame(FrameKind::Rotating);
        case Command::ChooseRotatingPair:
            if (const auto pair =
                    AskRotatingPair(this, logic_.Params(), prefs_.frame.a, prefs_.frame.b))
                SetFrame({FrameKind::Rotating, pair->first, pair->second});
            return;
        case Command::Readout:
            return Show(&Preferences::readout, !prefs_.readout);
        case Command::Labels:
            return Show(&Preferences::labels, !prefs_.labels);
        case Command::ScaleBar:
            return Show(&Preferences::scaleBar, !prefs_.scaleBar);
        case Command::Leapfrog:
            return SetLeapfrog(!prefs_.leapfrog);
        case Command::Graphs:
            return teaching_->ShowGraphs();
        case Command::Orbit:
            return teaching_->ShowOrbit();
        case Command::Ruler:
            return teaching_->SetRuler(!teaching_->Ruler());
        case Command::LineWidth1:
        case Command::LineWidth2:
        case Command::LineWidth3:
            return SetLineWidth(1 + static_cast<int>(c) - static_cast<int>(Command::LineWidth1));
        case Command::Arrows:
            prefs_.arrows = !prefs_.arrows;
            prefs_.Save();
            return RefreshOverlay();
        case Command::Undo:
        case Command::Redo:
            if (!(c == Command::Undo ? logic_.Undo() : logic_.Redo()) && logic_.Running())
                toolkit_.MessageBox(u"Во время счёта систему не изменить: сначала «Стоп».");
            return Redrawn();
        case Command::AllOff:
            return EditFromMenu(StepKind::SwitchOff, 0, [this] {
                for (int b = 1; b <= kBodies; ++b) logic_.Params().SetBodyState(b, 0);
                return std::u16string();  // named «все тела выключены»
            });
        case Command::JumpToDate:
            return AskJumpDate();
        case Command::TickBack:
        case Command::TickForward:
        case Command::HundredBack:
        case Command::HundredForward: {
            const std::int64_t by = c == Command::TickBack      ? -1
                                    : c == Command::TickForward ? 1
                                    : c == Command::HundredBack ? -100
                                                                : 100;
            if (!logic_.HasRecord() || logic_.Running()) return;
            const std::int64_t from =
                logic_.RecordTick() >= 0 ? logic_.RecordTick() : logic_.RecordLastTick();
            return Jumped(logic_.JumpToTick(std::max(from + by, logic_.RecordFirstTick() + 1)));
        }
        case Command::Help:
            HintDone();
            return ShowHelp();
    }
}

void MainWindow::contextMenuEvent(QContextMenuEvent* e) {
    const Frame frame = logic_.View().CurrentFrame();
    actions_[Command::CentreOfMass]->setChecked(frame.kind == FrameKind::CentreOfMass);
    actions_[Command::Rotating]->setChecked(frame.kind == FrameKind::Rotating);
    actions_[Command::Readout]->setChecked(prefs_.readout);
    actions_[Command::Labels]->setChecked(prefs_.labels);
    actions_[Command::ScaleBar]->setChecked(prefs_.scaleBar);
    actions_[Command::Leapfrog]->setChecked(prefs_.leapfrog);
    actions_[Command::Arrows]->setChecked(prefs_.arrows);
    // What undo and redo would do, in their entries' own words.
    const std::u16string undo = logic_.History().UndoName(), redo = logic_.History().RedoName();
    actions_[Command::Undo]->setText(undo.empty() ? QStringLiteral("Отменить")
                                                  : QStringLiteral("Отменить: ") +
                                                        QString::fromStdU16String(undo));
    actions_[Command::Redo]->setText(redo.empty() ? QStringLiteral("Повторить")
                                                  : QStringLiteral("Повторить: ") +
                                                        QString::fromStdU16String(redo));
    actions_[Command::Undo]->setEnabled(!undo.empty());
    actions_[Command::Redo]->setEnabled(!redo.empty());
    actions_[Command::Ruler]->setChecked(teaching_->Ruler());
    for (int w = 1; w <= 3; ++w)
        actions_.at(static_cast<Command>(static_cast<int>(Command::LineWidth1) + w - 1))
            ->setChecked(prefs_.lineWidth == w);
    QMenu menu(this);
    auto place = [this](QMenu* into, MenuPlace where) {
        for (const CommandEntry& entry : MainWindowCommands())
            if (entry.place == where) into->addAction(actions_[entry.command]);
    };
    // The catalogue's systems first, as «Система:» lists them: where a newcomer starts.
    QMenu* examples = menu.addMenu(QStringLiteral("Примеры"));
    for (const std::u16string& entry : logic_.Params().systems)
        examples->addAction(QString::fromStdU16String(entry), this, [this, entry] {
            if (chooseSystem) chooseSystem(entry);
        });
    examples->setEnabled(!examples->isEmpty());
    menu.addSeparator();
    if (!logic_.Running()) {
        AddEditEntries(menu, e->pos());
        menu.addSeparator();
    }
    place(&menu, MenuPlace::Edit);
    menu.addSeparator();
    place(&menu, MenuPlace::Run);
    menu.addSeparator();
    place(&menu, MenuPlace::Picture);
    menu.addSeparator();
    QMenu* pace = menu.addMenu(MenuTitle(MenuPlace::Pace));
    place(pace, MenuPlace::Pace);
    pace->addSeparator();
    auto* paces = new QActionGroup(pace);
    for (int i = kAutoPace; i < static_cast<int>(kPaces.size()); ++i) {
        QAction* a = pace->addAction(
            QString::fromStdU16String(i == kAutoPace ? kAutoPaceName
                                                     : kPaceNames[static_cast<std::size_t>(i)]),
            this, [this, i] { SetPace(i); });
        a->setCheckable(true);
        a->setChecked(i == logic_.Pace().Pace());
        paces->addAction(a);
    }
    QMenu* view = menu.addMenu(MenuTitle(MenuPlace::View));
    auto* views = new QActionGroup(view);
    for (int k = 0; k <= kBodies; ++k) {
        const QString text =
            k == 0 ? QStringLiteral("Вид (начало координат)")
                   : QString::number(k) + QStringLiteral(" — ") +
                         QString::fromStdU16String(
                             logic_.Params().bodies[static_cast<std::size_t>(k)].caption);
        QAction* a = view->addAction(text, this, [this, k] { ChooseView(k); });
        a->setCheckable(true);
        a->setChecked(frame.kind == FrameKind::Body && k == logic_.State().ViewBody);
        views->addAction(a);
    }
    view->addSeparator();
    place(view, MenuPlace::View);
    menu.addSeparator();
    place(&menu, MenuPlace::Layers);
    place(menu.addMenu(MenuTitle(MenuPlace::LineWidth)), MenuPlace::LineWidth);
    menu.setToolTipsVisible(true);
    menu.addSeparator();
    place(&menu, MenuPlace::Help);
    menu.exec(e->globalPos());
}

QString MainWindow::HelpText() const {
    QString keys =
        QStringLiteral("<h3>Главное окно: клавиши, мышь и меню</h3><table cellspacing='4'>");
    auto row = [&keys](const QString& what, const QString& does) {
        keys += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(what, does);
    };
    for (const CommandEntry& entry : MainWindowCommands()) {
        const QString title = MenuTitle(entry.place);
        row(entry.keys.isEmpty() ? QStringLiteral("меню: ") +
                                       (title.isEmpty() ? entry.text : title + " → " + entry.text)
                                 : KeyName(entry.keys.front()),
            entry.help);
    }
    row(QStringLiteral("Колесо мыши"),
        QStringLiteral("крупнее / мельче вокруг точки под курсором (в 1,25 раза за щелчок); "
                       "пути рисуются заново, новый масштаб попадает в «Масштаб»"));
    row(QStringLiteral("Левая кнопка мыши"),
        QStringLiteral("на теле — передвинуть его (новые X и Y попадают в «Параметры»); на конце "
                       "стрелки скорости (V) — нацелить тело; на пустом месте — перетащить "
                       "изображение. Пока идёт счёт, тела не передвинуть"));
    row(QStringLiteral("Shift + левая кнопка"),
        QStringLiteral("линейка: расстояние между точками"));
    row(QStringLiteral("Правая кнопка мыши"),
        QStringLiteral("меню: всё перечисленное, скорость и вид; на пустом месте — «Добавить тело "
                       "здесь»; на теле — круговая орбита, переименование, выключение, центр "
                       "вида"));
    return keys + QStringLiteral("</table>") + HelpWindow::Reference();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    e->accept();
    toolkit_.EndProgram();
}

}  // namespace orbimo
