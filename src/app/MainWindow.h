#pragma once
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "app/MainWindowActions.h"
#include "app/Preferences.h"
#include "app/TeachingTools.h"
#include "mainwindow/BodyDrag.h"
#include "mainwindow/MainWindowLogic.h"
#include "mainwindow/Overlay.h"
#include "mainwindow/TimeBar.h"
#include "platform/MemorySurface.h"
#include "platform/qt/QtToolkit.h"

namespace orbimo {

/// The full-screen main window: the picture and the four buttons.
class MainWindow : public QWidget {
  public:
    MainWindow(MainWindowLogic& logic, MemorySurface& surface, QtToolkit& toolkit,
               double twipsPerPixelX, double twipsPerPixelY);

    QPushButton* Button(int index) const { return buttons_[static_cast<std::size_t>(index)]; }
    /// Sends the pixels changed since the last call to the screen.
    void Present();
    /// The whole picture as the window shows it.
    QImage Image() const;
    /// Called after every paint of the window (start-up measurement, tests).
    std::function<void()> painted;
    /// The picture: traces and markers, with the layers over it as shown or bare; no buttons.
    QImage Picture(bool withOverlay = false) const;
    /// "Сохранить изображение…": a file dialog, then a PNG.
    void SavePicture(bool withOverlay);
    /// "Копировать изображение": the picture to the clipboard.
    void CopyPicture(bool withOverlay);
    /// What is drawn over the picture now.
    const Overlay& CurrentOverlay() const { return overlay_; }
    const Preferences& Prefs() const { return prefs_; }
    /// The pace: an index into kPaces, kept in the user's settings.
    void SetPace(int index);
    /// Shows or hides a layer over the picture, kept in the user's settings.
    void Show(bool Preferences::*layer, bool on);
    void ShowHelp();
    /// The help's text: every key, menu entry and mouse action from the table they come from,
    /// then the reference.
    QString HelpText() const;
    /// A key's or menu entry's command.
    void Run(Command c);
    /// Draws the picture in another frame, kept in the user's settings.
    void SetFrame(const Frame& f);
    /// C and R: the centre-of-mass or the rotating frame, or back to the view body's.
    void ToggleFrame(FrameKind kind);
    /// «Вид» of the menu: the view body k, as the option in «Параметры» chooses it.
    void ChooseView(int k);
    /// «Точный старт (leapfrog)» for the runs that follow, kept in the user's settings.
    void SetLeapfrog(bool on);
    /// The file name the save dialog proposes.
    std::function<QString()> pictureName;
    /// «Примеры»: a system of the catalogue chosen, as in «Система:».
    std::function<void(const std::u16string& entry)> chooseSystem;
    /// «Толщина линий»: 1, 2 or 3 pixels, kept in the user's settings.
    void SetLineWidth(int pixels);
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
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    static constexpr int kStripRows = 32;
    /// A system was loaded: in the frame the user chose for it, if its bodies take part.
    void OpenAtItsOwnView(const std::u16string& name);
    /// The newcomer has found help or the examples, or started a run: the hint goes.
    void HintDone();
    void LayOutButtons();
    void RefreshOverlay();
    /// After the picture was drawn anew: the whole of it to the screen.
    void Redrawn();
    /// The picture's rectangle r (inside it) into the window.
    void DrawPicture(QPainter& p, const QRect& r);
    /// Projector mode: the paths in words of the picture's pixels left..right × top..bottom
    /// drawn as thick as chosen.
    void Thicken(int left, int top, int right, int bottom, std::uint32_t* words,
                 std::size_t stride) const;

    MainWindowLogic& logic_;
    MemorySurface& surface_;
    QtToolkit& toolkit_;
    double tppX_, tppY_;
    QImage strip_;  // a few rows of the picture at a time, as the screen takes them
    std::array<QPushButton*, 4> buttons_{};
    bool rebuildPending_ = true;
    Preferences prefs_;
    RateMeter rates_;
    Overlay overlay_;
    QRegion overlayRegion_;
    QWidget* help_ = nullptr;
    std::map<Command, QAction*> actions_;
    int wheel_ = 0;  // wheel turn not yet a whole notch, in eighths of a degree
    bool dragging_ = false;
    QPoint dragFrom_, dragBy_;  // the picture follows the mouse; panned when it is let go
    BodyDrag bodies_{logic_};   // a body placed or aimed with the mouse instead
    TimeBar timeBar_;           // or the moment of the record shown
    bool scrubbing_ = false, scrubPending_ = false, scrubShown_ = false;
    double scrubDate_ = 0;
    /// The time bar's handle dragged to column x: the picture at that moment, soon.
    void ScrubTo(int x);
    /// Ctrl+G: asks for a date and jumps there.
    void AskJumpDate();
    /// After a jump: its message, if any, and the picture.
    void Jumped(JumpOutcome outcome);
    /// Adds to the right-click menu what can be done at window point `at` to the system: to the
    /// body there, or a body added there.
    void AddEditEntries(QMenu& menu, QPoint at);
    /// An edit from the menu: one step, refused with a message while a run goes.
    void EditFromMenu(StepKind kind, int body, const std::function<std::u16string()>& edit);

  public:
    /// Graphs, the orbit window, their layers and the measuring tape.
    TeachingTools& Tools() { return *teaching_; }

  private:
    std::unique_ptr<TeachingTools> teaching_;
};

/// 0x00BBGGRR from a Qt colour, and back.
Colour ToColour(const QColor& c);
QColor ToQColor(Colour c);

}  // namespace orbimo
