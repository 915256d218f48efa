#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "batch/BatchRunner.h"
#include "convert/NumberText.h"

namespace orbimo {

/// The lines printed at the end of a run: ticks, simulated span, wall time, ticks per second,
/// relative drift of total energy and of total momentum.
std::u16string SummaryText(const BatchReport& r);

/// Draws a progress line on a terminal, at most ten times a second.
class ProgressBar {
  public:
    explicit ProgressBar(std::FILE* out);
    void Update(double done, std::int64_t ticks);
    /// Wipes the line so that what follows starts on a clean line.
    void Finish();

  private:
    std::FILE* out_;
    std::int64_t lastDrawNs_ = -1;
    std::int64_t startNs_ = -1;
    bool drawn_ = false;
};

}  // namespace orbimo
