#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <vector>

#include "mainwindow/TeachingLayers.h"

namespace orbimo {

/// «Орбита»: the chosen body's osculating orbit about its centre now, the layers that show
/// Kepler's laws on the picture while it is open, and the third-law table of every body about
/// the centre.
class OrbitWindow : public QWidget {
  public:
    /// `changed` is called when the choice changed (the layers must be drawn again).
    OrbitWindow(QWidget* parent, Teaching& teaching, const MainWindowLogic& logic,
                std::function<void()> changed);

    /// At display rate: the elements and the table of the record now.
    void Refresh();
    /// Chooses the body (1 to 11), as its list does.
    void ChooseBody(int body);

    QComboBox* Body() const { return body_; }
    QComboBox* Centre() const { return centre_; }
    QCheckBox* Ellipse() const { return ellipse_; }
    QCheckBox* Areas() const { return areas_; }
    QCheckBox* ThirdLaw() const { return thirdLaw_; }
    /// The elements' texts as shown, in order.
    std::vector<QString> Shown() const;

  protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void Changed();

    Teaching& teaching_;
    const MainWindowLogic& logic_;
    std::function<void()> changed_;
    QComboBox *body_, *centre_;
    QCheckBox *ellipse_, *areas_, *thirdLaw_;
    QSpinBox* sectors_;
    std::vector<QLabel*> values_;
    QLabel *note_, *areasText_;
    QTableWidget* table_;
    std::u16string names_;
};

}  // namespace orbimo
