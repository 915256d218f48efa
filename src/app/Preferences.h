#pragma once
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

    static Preferences Load();
    void Save() const;
};

}  // namespace orbimo
