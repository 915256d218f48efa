#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include "mainwindow/TeachingLayers.h"
#include "paint/GraphPainter.h"

namespace orbimo {

/// «Графики»: a non-modal window with a graph of energy, angular momentum, a distance or a
/// speed against simulated time, drawn from the samples the main window takes at display rate.
class GraphsWindow : public QWidget {
  public:
    GraphsWindow(QWidget* parent, const Teaching& teaching, const MainWindowLogic& logic);

    /// At display rate: the body names and the graph follow the samples.
    void Refresh();
    /// What the graph shows now.
    GraphPlot Plot() const;
    /// The graph as a picture of the plot's size.
    QImage Image() const;
    /// Writes every sample with the chosen distance and speed as CSV (decimal point, as the
    /// runner's --totals); the Russian reason when it could not.
    QString SaveCsv(const QString& path) const;
    QString SavePicture(const QString& path) const;

    QComboBox* Quantity() const { return quantity_; }
    QCheckBox* Logarithmic() const { return log_; }
    QComboBox* BodyA() const { return bodyA_; }
    QComboBox* BodyB() const { return bodyB_; }

  private:
    void Changed();
    void Ask(bool csv);

    const Teaching& teaching_;
    const MainWindowLogic& logic_;
    QComboBox *quantity_, *bodyA_, *bodyB_;
    QCheckBox* log_;
    QLabel* between_;
    QWidget* plot_;
    std::size_t shownCount_ = 0;
    double shownTime_ = 0;
    std::u16string names_;
};

}  // namespace orbimo
