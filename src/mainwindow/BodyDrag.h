#pragma once
#include <optional>
#include <utility>

#include "mainwindow/MainWindowLogic.h"
#include "mainwindow/PictureCoordinates.h"
#include "mainwindow/VelocityArrows.h"

namespace orbimo {

/// Placing and aiming bodies with the mouse while no run goes: a press on a body's marker drags
/// the body, one on an arrow's tip (when the arrows show) aims it. What the pointer shows goes
/// into «X», «Y» or «Скор.X», «Скор.Y» as the shortest texts within half a pixel, through the
/// fields' own handlers; each drag is one step of the history.
class BodyDrag {
  public:
    enum class Grab { None, Body, Arrow };

    explicit BodyDrag(MainWindowLogic& logic) : logic_(logic) {}

    /// What is at window pixel p: a body's marker (drawn `markerSize` pixels a side), or with
    /// `arrows` the tip of a body's arrow; the body. Nothing while a run goes.
    std::pair<Grab, int> Over(Pixel p, bool arrows, int markerSize) const;
    /// The pointer goes down at p: what it grabs (None: the picture pans instead).
    Grab Press(Pixel p, bool arrows, int markerSize);
    /// The pointer is at p: the grabbed body moves by as much as the pointer has since the
    /// press, or its velocity follows the pointer.
    void Move(Pixel p);
    /// The pointer goes up: the drag is one step.
    void Release();
    bool Dragging() const { return grab_ != Grab::None; }
    /// The speed 100 pixels of arrow stand for during an aim, which keeps its scale; 0 otherwise.
    double ArrowSpeed() const { return arrows_ ? arrows_->SpeedPer100Pixels() : 0; }
    /// The field point drawn at p, for a body added there; nothing when it cannot be told.
    std::optional<FieldPoint> PointAt(Pixel p) const;

  private:
    PictureCoordinates Coordinates() const;

    MainWindowLogic& logic_;
    Grab grab_ = Grab::None;
    int body_ = 0;
    std::optional<PictureCoordinates> coordinates_;  // as the drag began
    Pixel pressedAt_{};
    FieldPoint start_{};  // where the body stood
    std::optional<VelocityArrows> arrows_;
};

}  // namespace orbimo
