#pragma once
#include "core/SimState.h"
#include "fakes/FakeToolkit.h"
#include "params/ParamsModel.h"

namespace orbimo::testing {

/// A parameters window with its shared record and a recording toolkit; counts the plot
/// clears and the announced changes.
struct TestWindow {
    SimState state;
    FakeToolkit toolkit;
    ParamsModel params{state, toolkit};
    int clears = 0, changes = 0;

    TestWindow() {
        state.BodyCount = kBodies;
        params.clearPlot = [this] { ++clears; };
        params.changed = [this] { ++changes; };
    }
};

}  // namespace orbimo::testing
