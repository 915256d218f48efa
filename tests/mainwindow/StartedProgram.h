// The main window's logic after the real start-up on a 1024×768 screen, files in memory.
#pragma once
#include <array>
#include <optional>
#include <string>

#include "convert/NumberText.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeToolkit.h"
#include "files/SaveLoad.h"
#include "mainwindow/MainWindowLogic.h"
#include "platform/MemorySurface.h"

namespace orbimo::testing {

struct StartedProgram : ScreenMetrics {
    /// Started with `stateFile` as Orbimo.sav, or with none, on a screen of w x h pixels.
    explicit StartedProgram(const std::optional<std::string>& stateFile = {}, int w = 1024,
                            int h = 768)
        : surface(w, h, 0x00EFEFEF),  // the runner's background
          params(state, toolkit),
          logic(state, params, surface, toolkit, files, *this) {
        if (stateFile) files.AddFile(StateFilePath(files), *stateFile);
        logic.Startup();
    }
    ScreenInfo Screen() const override {
        return {15.0 * surface.Width(), 15.0 * surface.Height(), 15, 15};
    }
    /// Presses "Пуск"; `at` is called with the count of each dispatch during the run.
    void Run(std::function<void(long)> at) {
        toolkit.onDispatch = std::move(at);
        logic.Click(0);
    }
    /// A run stopped by "Стоп" pressed at the n-th dispatch.
    void RunUntilDispatch(long n) {
        Run([this, n](long d) {
            if (d == n) logic.Click(0);
        });
    }

    /// Only these bodies (mass, x, y, vx, vy) take part, from body 1 on, seen from the origin.
    void Only(const std::vector<std::array<double, 5>>& bodies, double dt) {
        params.SelectView(0);
        for (int b = 1; b <= kBodies; ++b) params.SetBodyState(b, b <= int(bodies.size()) ? 1 : 0);
        for (std::size_t b = 0; b < bodies.size(); ++b)
            for (int f = 0; f < 5; ++f)
                params.Field({FieldKind(f), int(b) + 1}).text = FormatNumber(bodies[b][f]);
        params.timeStep.text = FormatNumber(dt);
    }

    SimState state;
    FakeToolkit toolkit;
    FakeFileSystem files;
    MemorySurface surface;
    ParamsModel params;
    MainWindowLogic logic;
};

}  // namespace orbimo::testing

namespace orbimo {
using Program = testing::StartedProgram;
}
