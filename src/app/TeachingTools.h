#pragma once
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include "app/GraphsWindow.h"
#include "app/OrbitWindow.h"
#include "mainwindow/TeachingLayers.h"

namespace orbimo {

/// The main window's teaching tools: «Графики», «Орбита», the layers they put over the picture
/// and the measuring tape. The main window hands it its display-rate refresh, its paint and
/// its mouse; everything it shows it takes from the Teaching room.
class TeachingTools {
  public:
    TeachingTools(QWidget* window, MainWindowLogic& logic);

    /// At display rate: samples, the windows, and the layers' region repainted when they change.
    void Refresh();
    /// The layers over the picture, after the other layers.
    void Paint(QPainter& p, QSize size) const;
    /// A Shift+drag, or any drag with «Линейка» on, measures; true when it took the event.
    bool MousePress(QMouseEvent* e);
    bool MouseMove(QMouseEvent* e);
    bool MouseRelease(QMouseEvent* e);

    void ShowGraphs();
    void ShowOrbit();
    /// «Линейка»: a plain drag measures while it is on; off, the tape goes.
    void SetRuler(bool on);
    bool Ruler() const { return ruler_; }

    Teaching& Model() { return teaching_; }
    const TeachingLayers& Layers() const { return layers_; }
    GraphsWindow* Graphs() const { return graphs_; }
    OrbitWindow* Orbit() const { return orbit_; }

  private:
    int TableBottom() const;

    QWidget* window_;
    MainWindowLogic& logic_;
    Teaching teaching_;
    TeachingLayers layers_;
    QRegion region_;
    GraphsWindow* graphs_ = nullptr;
    OrbitWindow* orbit_ = nullptr;
    bool ruler_ = false, measuring_ = false;
    std::uint64_t clears_ = 0;
};

}  // namespace orbimo
