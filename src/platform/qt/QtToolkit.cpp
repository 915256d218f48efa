#include "platform/qt/QtToolkit.h"

#include <QApplication>
#include <QEventLoop>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orbimo {

QtToolkit::QtToolkit() {
    clock_.start();
}

namespace {
// Over the window the user is working in, else over the main window.
QWidget* Owner(QWidget* fallback) {
    QWidget* active = QApplication::activeWindow();
    return active ? active : fallback;
}
}  // namespace

void QtToolkit::MessageBox(const std::u16string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdU16String(kProgramTitle),
                    QString::fromStdU16String(text), QMessageBox::Ok, Owner(parent_));
    box.button(QMessageBox::Ok)->setText(QStringLiteral("ОК"));
    box.exec();
}

std::u16string QtToolkit::InputBox(const std::u16string& prompt, const std::u16string& title,
                                   const std::u16string& defaultAnswer) {
    QInputDialog dialog(Owner(parent_));
    dialog.setWindowTitle(QString::fromStdU16String(title));
    dialog.setLabelText(QString::fromStdU16String(prompt));
    dialog.setTextValue(QString::fromStdU16String(defaultAnswer));
    dialog.setOkButtonText(QStringLiteral("ОК"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.textValue().toStdU16String();
}

void QtToolkit::DispatchPendingEvents() {
    // Reading the clock every call would cost as much as the tick itself.
    if ((++calls_ & 63u) != 0) return;
    const qint64 now = clock_.nsecsElapsed();
    if (now - lastDispatchNs_ < 1'000'000) return;
    QApplication::processEvents(QEventLoop::AllEvents);
    lastDispatchNs_ = clock_.nsecsElapsed();
}

void QtToolkit::Wait(double seconds) {
    if (!(seconds > 0.0005)) {
        QApplication::processEvents(QEventLoop::AllEvents);
    } else {
        // Sleeps in the event loop: input is answered at once, and no core is burnt.
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(std::lround(seconds * 1000)), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
    lastDispatchNs_ = clock_.nsecsElapsed();
}

void QtToolkit::EndProgram() {
    // At once: no window is closed and no destructor runs, so a run loop
    // further up the stack never resumes on destroyed widgets.
    std::fflush(nullptr);
    std::_Exit(0);
}

ScreenInfo QtScreenMetrics::Screen() const {
    ScreenInfo info;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return ScreenInfo{15360, 11520, 15, 15};
    const QSize size = screen->geometry().size();
    const double dpiX = screen->logicalDotsPerInchX() > 0 ? screen->logicalDotsPerInchX() : 96;
    const double dpiY = screen->logicalDotsPerInchY() > 0 ? screen->logicalDotsPerInchY() : 96;
    // Whole twips per pixel, halves to even, as the window system reports them.
    info.twipsPerPixelX = std::max(1.0, std::nearbyint(1440.0 / dpiX));
    info.twipsPerPixelY = std::max(1.0, std::nearbyint(1440.0 / dpiY));
    info.widthTwips = size.width() * info.twipsPerPixelX;
    info.heightTwips = size.height() * info.twipsPerPixelY;
    return info;
}

}  // namespace orbimo
