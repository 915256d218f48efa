#pragma once
#include <QDialog>

namespace orbimo {

/// A window beside the program listing every key and mouse action, the units of the
/// parameters' fields and how dates are typed. Not modal: the program goes on meanwhile.
class HelpWindow : public QDialog {
  public:
    explicit HelpWindow(QWidget* parent);
    /// The help as the window shows it (HTML).
    static QString Text();
};

}  // namespace orbimo
