#include "display/PathHistory.h"

#include <algorithm>

namespace orbimo {

Snapshot SnapshotOf(const SimState& s) {
    return Snapshot{s.SimTime, TakingPart(s), s.PosX, s.PosY};
}

PathHistory::PathHistory(std::size_t maxBytes)
    : maxBlocks_(std::max<std::size_t>(maxBytes / sizeof(Block), 2)) {}

void PathHistory::Clear(const SimState& s, bool kept) {
    // The memory goes back too.
    std::vector<std::unique_ptr<Block>>().swap(blocks_);
    std::vector<std::unique_ptr<Block>>().swap(spare_);
    last_ = kBlock;
    start_ = SnapshotOf(s);
    kept_ = kept;
    sparse_ = 0;
    stride_ = 1;
    skipped_ = 0;
}

// The last block is full: a new one, or when the bound is reached, one freed by thinning.
void PathHistory::MakeRoom() {
    last_ = 0;
    if (!spare_.empty()) {
        blocks_.push_back(std::move(spare_.back()));
        spare_.pop_back();
        return;
    }
    if (blocks_.size() < maxBlocks_) {
        blocks_.push_back(std::make_unique<Block>());
        return;
    }
    // The two oldest blocks not yet thinned this round keep every other snapshot, in one
    // block. Once all are thinned, a round begins with new snapshots kept half as often: old
    // and new never differ by more than a factor of two, and the whole run keeps its shape.
    if (blocks_.size() - sparse_ < 2) {
        sparse_ = 0;
        stride_ *= 2;
    }
    Block& into = *blocks_[sparse_];
    const Block& second = *blocks_[sparse_ + 1];
    for (std::size_t i = 0; i < kBlock / 2; ++i) into.at[i] = into.at[2 * i];
    for (std::size_t i = 0; i < kBlock / 2; ++i) into.at[kBlock / 2 + i] = second.at[2 * i];
    std::unique_ptr<Block> freed = std::move(blocks_[sparse_ + 1]);
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(sparse_) + 1);
    ++sparse_;
    blocks_.push_back(std::move(freed));
}

}  // namespace orbimo
