#pragma once
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

#include "mainwindow/Form1Logic.h"
#include "platform/MemorySurface.h"
#include "platform/qt/QtToolkit.h"

namespace orbimo {

/// The full-screen main window: the picture and the four buttons.
class Form1 : public QWidget {
  public:
    Form1(Form1Logic& logic, MemorySurface& surface, QtToolkit& toolkit, double twipsPerPixelX,
          double twipsPerPixelY);

    QPushButton* Button(int index) const { return buttons_[static_cast<std::size_t>(index)]; }
    /// Sends the pixels changed since the last call to the screen.
    void Present();
    /// The whole picture as the window shows it.
    QImage Image() const;
    /// Called after every paint of the window (start-up measurement, tests).
    std::function<void()> painted;
    /// The picture exactly as the window shows it: traces and markers, no buttons.
    QImage Picture() const;
    /// "Сохранить изображение…": a file dialog, then a PNG.
    void SavePicture();
    /// "Копировать изображение": the picture to the clipboard.
    void CopyPicture();
    /// The file name the save dialog proposes.
    std::function<QString()> pictureName;
    /// Makes the next paint rebuild the whole picture, as after an exposure.
    void RequestRebuild() {
        rebuildPending_ = true;
        update();
    }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

  private:
    static constexpr int kStripRows = 32;
    void LayOutButtons();
    /// The picture's rectangle r (inside it) into the window.
    void DrawPicture(QPainter& p, const QRect& r);

    Form1Logic& logic_;
    MemorySurface& surface_;
    QtToolkit& toolkit_;
    double tppX_, tppY_;
    QImage strip_;  // a few rows of the picture at a time, as the screen takes them
    std::array<QPushButton*, 4> buttons_{};
    bool rebuildPending_ = true;
};

/// 0x00BBGGRR from a Qt colour, and back.
Colour ToColour(const QColor& c);
QColor ToQColor(Colour c);

}  // namespace orbimo
