#include "mainwindow/BodyDrag.h"

#include <cstdlib>

#include "mainwindow/BodyEdits.h"

namespace orbimo {

PictureCoordinates BodyDrag::Coordinates() const {
    return PictureCoordinates(logic_.State(), logic_.View().CurrentFrame(),
                              BodiesFromFields(logic_.Params()));
}

std::pair<BodyDrag::Grab, int> BodyDrag::Over(Pixel p, bool arrows, int markerSize) const {
    if (logic_.Running()) return {Grab::None, 0};
    const PictureCoordinates c = Coordinates();
    if (!c.Valid()) return {Grab::None, 0};
    const PlacedBodies bodies = BodiesFromFields(logic_.Params());
    auto near = [&p](Pixel q, int reach) {
        return std::abs(q.x - p.x) <= reach && std::abs(q.y - p.y) <= reach;
    };
    // The arrows' tips first: a short arrow's tip lies on its marker.
    if (arrows) {
        const VelocityArrows a(c, logic_.State(), logic_.View().CurrentFrame(), bodies,
                               VelocitiesFromFields(logic_.Params()));
        for (const VelocityArrow& arrow : a.Arrows())
            if (near(arrow.tip, 5) && !(arrow.tip == arrow.tail)) return {Grab::Arrow, arrow.body};
    }
    // The topmost marker: the highest body, as the plotter paints it last.
    for (int b = kBodies; b >= 1; --b) {
        if (!((bodies.on & bodies.known) >> b & 1u)) continue;
        const auto at = c.PixelOf({bodies.x[b], bodies.y[b]});
        if (at && near(*at, markerSize / 2 + 2)) return {Grab::Body, b};
    }
    return {Grab::None, 0};
}

BodyDrag::Grab BodyDrag::Press(Pixel p, bool arrows, int markerSize) {
    const auto [grab, body] = Over(p, arrows, markerSize);
    grab_ = grab, body_ = body;
    if (grab_ == Grab::None) return grab_;
    coordinates_.emplace(Coordinates());
    pressedAt_ = p;
    const PlacedBodies bodies = BodiesFromFields(logic_.Params());
    start_ = {bodies.x[body_], bodies.y[body_]};
    if (grab_ == Grab::Arrow)
        arrows_.emplace(*coordinates_, logic_.State(), logic_.View().CurrentFrame(),
                        BodiesFromFields(logic_.Params()), VelocitiesFromFields(logic_.Params()));
    return grab_;
}

void BodyDrag::Move(Pixel p) {
    if (grab_ == Grab::Body) {
        // The body keeps its offset from the pointer: it moves by as much as the pointer did,
        // and back where it stood, it takes its own numbers again.
        const auto to = coordinates_->BodyPositionAt(body_, p);
        const auto from = coordinates_->BodyPositionAt(body_, pressedAt_);
        if (!to || !from) return;
        const FieldPoint moved{start_.x + (to->x - from->x), start_.y + (to->y - from->y)};
        logic_.Edit(
            StepKind::Move, body_,
            [&] {
                MoveBody(logic_.Params(), body_, p == pressedAt_ ? start_ : moved,
                         p == pressedAt_ ? 0.0 : coordinates_->Tolerance());
                return logic_.Params().bodies[static_cast<std::size_t>(body_)].caption;
            },
            true);
    } else if (grab_ == Grab::Arrow) {
        const auto v = arrows_->VelocityAt(body_, p);
        if (!v) return;
        // Within the speed of half a pixel of arrow.
        const double tolerance = arrows_->SpeedPer100Pixels() / 200;
        logic_.Edit(
            StepKind::Velocity, body_,
            [&] {
                SetBodyVelocity(logic_.Params(), body_, v->first, v->second, tolerance);
                return logic_.Params().bodies[static_cast<std::size_t>(body_)].caption;
            },
            true);
    }
}

void BodyDrag::Release() {
    grab_ = Grab::None;
    body_ = 0;
    arrows_.reset();  // it refers to the coordinates
    coordinates_.reset();
    logic_.EndDrag();
}

std::optional<FieldPoint> BodyDrag::PointAt(Pixel p) const {
    return Coordinates().PointAt(p);
}

}  // namespace orbimo
