#pragma once
#include <functional>
#include <string>
#include <vector>

namespace orbimo {

/// One line of the accuracy table: an error of a shipped example in both modes.
struct AccuracyRow {
    std::u16string system, measure;
    double plain = 0, leapfrog = 0;  // the default start, the leapfrog start
};

/// Runs the shipped examples in `folder` through the runner in both modes and measures their
/// errors: the figure-eight against its own start after one period, Halley's comet against
/// Kepler's equation after one revolution in step-length mode, the Moon and Mercury
/// against a run of the leapfrog start at a sixteenth of the step, and the energy drift.
/// Each row goes to onRow as soon as it is measured; a Russian reason when a file is missing.
bool MeasureAccuracy(const std::u16string& folder,
                     const std::function<void(const AccuracyRow&)>& onRow, std::u16string& reason);

/// The table's head and one row, as Markdown.
std::u16string AccuracyHead();
std::u16string AccuracyLine(const AccuracyRow& row);

}  // namespace orbimo
