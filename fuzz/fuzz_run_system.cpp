// A system file as the state file, then the program's own start-up and "Пуск": the run loop
// draws into a 64 x 48 memory surface for at most kTicks ticks, with a repaint and
// «Очистить» between two of them. After the run the button says "Пуск" again, no field the
// readout wrote holds NaN or Inf, and every marker stands where its 3x3 block fits in 32 bits.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "files/SystemFileItems.h"
#include "mainwindow/StartedProgram.h"

namespace {

using namespace orbimo;

constexpr long kTicks = 400;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    testing::StartedProgram p(std::string(reinterpret_cast<const char*>(data), size), 64, 48);
    p.toolkit.onDispatch = [&p](long n) {
        if (n == kTicks / 4) p.logic.RepaintRequest();
        if (n == kTicks / 2) p.logic.Click(2);
        if (n == kTicks) p.logic.Click(0);  // "Стоп"
    };
    p.logic.Click(0);
    FUZZ_REQUIRE(!p.logic.Running() && p.toolkit.dispatches <= kTicks);
    for (const SystemFileItem& item : SystemFileItems()) {
        // After a run the readout has written every field but the stop date and step length.
        const auto field = ItemField(item);
        if (!p.logic.LastRun().started || !field || field->kind == FieldKind::StopDate ||
            field->kind == FieldKind::StepLength)
            continue;
        const std::u16string text = ItemText(p.params, item);
        FUZZ_REQUIRE(text.find(u"NaN") == text.npos && text.find(u"Inf") == text.npos, text);
    }
    for (int b = 1; b <= kBodies; ++b)
        for (const std::int32_t c : {p.state.LastPixX[b], p.state.LastPixY[b]})
            FUZZ_REQUIRE(c > INT32_MIN && c < INT32_MAX);
    return 0;
}
