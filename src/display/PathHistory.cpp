#include "display/PathHistory.h"

#include <algorithm>

namespace orbimo {

Snapshot SnapshotOf(const SimState& s) {
    return Snapshot{s.SimTime, TakingPart(s), s.PosX, s.PosY};
}

PathHistory::PathHistory(std::size_t maxBytes)
    : capacity_(std::max<std::size_t>(maxBytes / sizeof(Snapshot), 4)) {}

void PathHistory::Clear(const SimState& s, bool kept) {
    std::vector<Snapshot>().swap(snapshots_);  // the memory goes back too
    start_ = SnapshotOf(s);
    kept_ = kept;
    sparse_ = 0;
    stride_ = 1;
    skipped_ = 0;
}

void PathHistory::Record(const SimState& s) {
    if (++skipped_ < stride_) return;
    skipped_ = 0;
    if (snapshots_.size() == capacity_) {
        // The older half of the snapshots not yet thinned this round loses every other one.
        // Once all are thinned, a round begins with new snapshots kept half as often: old and
        // new never differ by more than a factor of two, and the whole run keeps its shape.
        if (capacity_ - sparse_ < 4) {
            sparse_ = 0;
            stride_ *= 2;
        }
        const std::size_t half = (capacity_ - sparse_) / 2;
        std::size_t to = sparse_;
        for (std::size_t from = sparse_; from < sparse_ + half; from += 2)
            snapshots_[to++] = snapshots_[from];
        const std::size_t thinned = to;
        for (std::size_t from = sparse_ + half; from < capacity_; ++from)
            snapshots_[to++] = snapshots_[from];
        snapshots_.resize(to);
        sparse_ = thinned;
    } else if (snapshots_.size() == snapshots_.capacity()) {
        // Grown by hand so that the vector never holds more than the bound.
        snapshots_.reserve(std::min(capacity_, std::max<std::size_t>(1024, 2 * snapshots_.size())));
    }
    snapshots_.push_back(SnapshotOf(s));
}

}  // namespace orbimo
