#pragma once
#include <QDialog>

namespace orbimo {

/// A window beside the program listing every key and mouse action, the units of the
/// parameters' fields and how dates are typed. Not modal: the program goes on meanwhile.
class HelpWindow : public QDialog {
  public:
    /// Shows `html`: the main window's keys and menu, then Reference().
    HelpWindow(QWidget* parent, const QString& html);
    /// Everything but the main window's keys (HTML): the parameters window's fields and units,
    /// how numbers and dates are typed.
    static QString Reference();
};

}  // namespace orbimo
