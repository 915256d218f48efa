#include "app/Form1.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QShortcut>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/PictureExport.h"

namespace orbimo {

Colour ToColour(const QColor& c) {
    return static_cast<Colour>(c.red()) | (static_cast<Colour>(c.green()) << 8) |
           (static_cast<Colour>(c.blue()) << 16);
}

QColor ToQColor(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

Form1::Form1(Form1Logic& logic, MemorySurface& surface, QtToolkit& toolkit, double twipsPerPixelX,
             double twipsPerPixelY)
    : logic_(logic),
      surface_(surface),
      toolkit_(toolkit),
      tppX_(twipsPerPixelX),
      tppY_(twipsPerPixelY) {
    setWindowTitle(QStringLiteral("Орбимо. Версия 1.1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    logic_.captionChanged = [this] {
        buttons_[0]->setText(QString::fromStdU16String(logic_.Button0Caption()));
    };
    // Keys for the buttons, and for the picture.
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_Space), [this] { buttons_[0]->click(); }},
        {QKeySequence(Qt::Key_F2), [this] { buttons_[1]->click(); }},
        {QKeySequence(Qt::Key_Delete), [this] { buttons_[2]->click(); }},
        {QKeySequence::Save, [this] { SavePicture(); }},
        {QKeySequence::Copy, [this] { CopyPicture(); }},
    };
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(key, this);
        QObject::connect(shortcut, &QShortcut::activated, this, action);
    }
    resize(static_cast<int>(logic_.WindowWidthTwips() / tppX_),
           static_cast<int>(logic_.WindowHeightTwips() / tppY_));
    LayOutButtons();
    // Drawing goes into the buffer every tick; the screen sees it at most at display rate.
    auto* frame = new QTimer(this);
    QObject::connect(frame, &QTimer::timeout, this, [this] { Present(); });
    frame->start(16);
}

void Form1::LayOutButtons() {
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
}

void Form1::Present() {
    QRegion changed;
    for (const MemorySurface::Rect& r : surface_.TakeDirty())
        changed += QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
    if (!changed.isEmpty()) update(changed);
}

void Form1::paintEvent(QPaintEvent* e) {
    if (rebuildPending_) {
        // The window system asks for the whole picture: rebuild it from the trace map.
        rebuildPending_ = false;
        logic_.RepaintRequest();
        surface_.TakeDirty();
    }
    QPainter p(this);
    const QRect r = e->rect();
    const QRect picture(0, 0, surface_.Width(), surface_.Height());
    for (const QRect& part : e->region()) DrawPicture(p, part & picture);
    // A window larger than the screen shows background beyond the picture.
    if (width() > picture.width() || height() > picture.height()) {
        const QRegion outside = QRegion(r) - QRegion(picture);
        for (const QRect& part : outside) p.fillRect(part, ToQColor(surface_.Background()));
    }
    if (painted) painted();
}

void Form1::showEvent(QShowEvent* e) {
    rebuildPending_ = true;
    // Keys reach the window at once, also where no window manager hands out the focus.
    if (!e->spontaneous()) activateWindow();
    QWidget::showEvent(e);
}

void Form1::resizeEvent(QResizeEvent* e) {
    rebuildPending_ = true;
    QWidget::resizeEvent(e);
    update();
}

void Form1::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowStateChange) {
        rebuildPending_ = true;
        update();
    }
    QWidget::changeEvent(e);
}

void Form1::DrawPicture(QPainter& p, const QRect& r) {
    for (int top = r.top(); top <= r.bottom(); top += kStripRows) {
        const int bottom = std::min(top + kStripRows - 1, r.bottom());
        surface_.CopyWords({r.left(), top, r.right(), bottom},
                           reinterpret_cast<std::uint32_t*>(strip_.bits()),
                           static_cast<std::size_t>(strip_.bytesPerLine() / 4));
        p.drawImage(QPoint(r.left(), top), strip_, QRect(0, 0, r.width(), bottom - top + 1));
    }
}

QImage Form1::Image() const {
    QImage image(surface_.Width(), surface_.Height(), QImage::Format_RGB32);
    if (!image.isNull())
        surface_.CopyWords({0, 0, surface_.Width() - 1, surface_.Height() - 1},
                           reinterpret_cast<std::uint32_t*>(image.bits()),
                           static_cast<std::size_t>(image.bytesPerLine() / 4));
    return image;
}

QImage Form1::Picture() const {
    const QImage image = Image();
    return image.copy(QRect(QPoint(0, 0), size()).intersected(image.rect()));
}

void Form1::SavePicture() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!QDir(folder).exists()) folder = QDir::homePath();
    const QString name = pictureName ? pictureName() : DefaultPictureName({}, {});
    const QImage picture = Picture();  // as it is now, not after the dialog
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

void Form1::CopyPicture() {
    QGuiApplication::clipboard()->setImage(Picture());
}

void Form1::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Сохранить изображение…"), QKeySequence::Save, this,
                   [this] { SavePicture(); });
    menu.addAction(QStringLiteral("Копировать изображение"), QKeySequence::Copy, this,
                   [this] { CopyPicture(); });
    menu.exec(e->globalPos());
}

void Form1::closeEvent(QCloseEvent* e) {
    e->accept();
    toolkit_.EndProgram();
}

}  // namespace orbimo
