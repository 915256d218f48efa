#pragma once
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <functional>
#include <optional>

#include "params/ParamsModel.h"
#include "platform/FileSystem.h"

namespace orbimo {

/// The parameters window: Qt controls mirroring ParamsModel. moc cannot read
/// the class name, so signals go to lambdas only.
class ParamsWindow : public QDialog {
  public:
    ParamsWindow(ParamsModel& model, FileSystem& files, double twipsPerPixelX,
                 double twipsPerPixelY, QWidget* parent);
    ~ParamsWindow() override;

    /// Shows the window with its lower right corner 100 twips inside the main window's.
    void ShowBeside(const QWidget& mainWindow);
    /// Copies the model into every control.
    void SyncFromModel();

    QLineEdit* Edit(FieldRef f) const;
    QCheckBox* BodyBox(int k) const { return bodyBoxes_[static_cast<std::size_t>(k)]; }
    QRadioButton* ViewOption(int k) const { return viewOptions_[static_cast<std::size_t>(k)]; }
    QCheckBox* StepLengthBox() const { return stepLengthBox_; }
    QComboBox* ScaleBox() const { return scaleBox_; }
    QComboBox* SystemBox() const { return systemBox_; }
    QPushButton* CloseButton() const { return close_; }
    QPushButton* BeginButton() const { return beginButton_; }
    QPushButton* SaveButton() const { return saveButton_; }
    QPushButton* SaveAsButton() const { return saveAsButton_; }
    /// The user chose a view option (after the choice has taken effect).
    std::function<void(int)> viewChosen;

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    QRect Twips(double left, double top, double width, double height) const;
    QLineEdit* MakeEdit(FieldRef f, double left, double top, double width);
    void FitCaptions(QWidget* longestBody);
    std::optional<FieldRef> FieldOf(const QWidget* w) const;
    void ShowWholeText(QLineEdit* e, FieldRef f);
    // A field's lost-focus handling runs before the key or click that takes the focus away,
    // as the desktop does it: a message it shows swallows that click.
    bool LeaveBeforeClick(QWidget* hit);
    bool LeaveBeforeKey(QWidget* field);
    Leave RunLeave(FieldRef f);
    void OnFocusChanged(QWidget* old, QWidget* now);
    void Deactivated();
    /// Asks for a new name of body k.
    void AskName(int k);

    ParamsModel& model_;
    FileSystem& files_;
    double tppX_, tppY_;
    std::array<QCheckBox*, kSlots> bodyBoxes_{};
    std::array<std::array<QLineEdit*, 5>, kSlots> bodyEdits_{};
    std::array<QRadioButton*, kSlots> viewOptions_{};
    QButtonGroup* views_ = nullptr;
    QLineEdit *simDate_ = nullptr, *stopDate_ = nullptr, *timeStep_ = nullptr,
              *stepLength_ = nullptr;
    QCheckBox* stepLengthBox_ = nullptr;
    QComboBox* scaleBox_ = nullptr;
    QComboBox* systemBox_ = nullptr;
    QPushButton *close_ = nullptr, *beginButton_ = nullptr, *saveButton_ = nullptr,
                *saveAsButton_ = nullptr;
    bool active_ = false;
    QMargins frame_;    // the window system's frame round the window, once known
    int renaming_ = 0;  // the body whose name a double-click asks for once it is released
    std::optional<FieldRef> pending_;  // left by a focus move no key or click announced
    QWidget* leftAlready_ = nullptr;   // handled before the focus moved away from it
};

/// Where the parameters window's frame goes: with its lower right corner `margin` inside the
/// main window's, moved in where it would leave the screen's available area (when known).
QPoint PlaceBeside(const QRect& main, QSize inside, QMargins frame, const QRect& available,
                   QPoint margin);

}  // namespace orbimo
