#include "app/TeachingTools.h"

#include <cmath>

#include "paint/TeachingPainter.h"

namespace orbimo {

TeachingTools::TeachingTools(QWidget* window, MainWindowLogic& logic)
    : window_(window), logic_(logic) {}

int TeachingTools::TableBottom() const {
    return static_cast<int>(std::floor(logic_.Buttons()[0].top / logic_.State().TwipsPerPixelY));
}

void TeachingTools::Refresh() {
    teaching_.Sample(logic_);
    // «Очистить» and a loaded system take the tape away with the paths.
    if (logic_.plotter().Clears() != clears_) {
        clears_ = logic_.plotter().Clears();
        teaching_.Tape().Clear();
    }
    if (graphs_ && graphs_->isVisible()) graphs_->Refresh();
    if (orbit_ && orbit_->isVisible()) orbit_->Refresh();
    TeachingLayers next = teaching_.Layers(logic_);
    if (next == layers_) return;
    const QRegion region = TeachingRegion(next, window_->size(), TableBottom());
    window_->update(region + region_);
    layers_ = std::move(next);
    region_ = region;
}

void TeachingTools::Paint(QPainter& p, QSize size) const {
    PaintTeachingLayers(p, layers_, size, TableBottom());
}

bool TeachingTools::MousePress(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || (!ruler_ && !(e->modifiers() & Qt::ShiftModifier)))
        return false;
    measuring_ = true;
    const QPointF at = e->position();
    teaching_.Tape().Begin(logic_.State(), logic_.View().CurrentFrame(), at.x(), at.y());
    Refresh();
    return true;
}

bool TeachingTools::MouseMove(QMouseEvent* e) {
    if (!measuring_) return false;
    teaching_.Tape().DragTo(logic_.State(), e->position().x(), e->position().y());
    Refresh();
    return true;
}

bool TeachingTools::MouseRelease(QMouseEvent* e) {
    if (!measuring_ || e->button() != Qt::LeftButton) return false;
    measuring_ = false;
    teaching_.Tape().DragTo(logic_.State(), e->position().x(), e->position().y());
    Refresh();
    return true;
}

void TeachingTools::ShowGraphs() {
    if (!graphs_) graphs_ = new GraphsWindow(window_, teaching_, logic_);
    graphs_->show();
    graphs_->raise();
    graphs_->Refresh();
}

void TeachingTools::ShowOrbit() {
    if (!orbit_) orbit_ = new OrbitWindow(window_, teaching_, logic_, [this] { Refresh(); });
    orbit_->show();
    orbit_->raise();
    orbit_->Refresh();
}

void TeachingTools::SetRuler(bool on) {
    ruler_ = on;
    if (!on) teaching_.Tape().Clear();
    Refresh();
}

}  // namespace orbimo
