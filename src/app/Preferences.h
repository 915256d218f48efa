#pragma once
#include <optional>
#include <string>

#include "display/Frame.h"
#include "mainwindow/PaceClock.h"

namespace orbimo {

/// The user's display preferences, kept between starts in the user's settings and never in a
/// system file. The defaults leave the arithmetic and the picture as they always were.
struct Preferences {
    int pace = kAutoPace;  // an index into kPaces, or «авто»: a pace a newcomer can follow
    bool readout = true;
    bool labels = false;
    bool scaleBar = true;
    Frame frame;            // the view body's frame, or a frame over it
    bool leapfrog = false;  // the runs that follow start half a step back
    int lineWidth = 1;      // 1, 2 or 3 pixels: paths and bodies drawn larger for a projector
    bool hintSeen = false;  // the newcomer's hint under the readout has done its work
    std::u16string system;  // the system last chosen in the catalogue, which the state file holds

    static Preferences Load();
    void Save() const;
    /// The frame the user chose for a system of the catalogue, if any.
    static std::optional<Frame> FrameFor(const std::u16string& system);
    static void SetFrameFor(const std::u16string& system, const Frame& f);
};

}  // namespace orbimo
