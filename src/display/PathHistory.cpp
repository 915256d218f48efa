#include "display/PathHistory.h"

#include <algorithm>

#include "platform/ZeroedAllocator.h"

namespace orbimo {

Snapshot SnapshotOf(const SimState& s) {
    return Snapshot{s.SimTime, TakingPart(s), s.PosX, s.PosY};
}

void PathHistory::FreeBlock::operator()(Block* b) const {
    FreeZeroed(b, kBlockBytes);
}

PathHistory::BlockPtr PathHistory::NewBlock() {
    static_assert(sizeof(Block) <= kBlockBytes);
    // A huge page, zero until a run records into it. Snapshots are aggregates, so the storage
    // holds them as soon as it is allocated.
    return BlockPtr(static_cast<Block*>(AllocateZeroed(kBlockBytes)));
}

PathHistory::PathHistory(std::size_t maxBytes)
    : maxBlocks_(std::max<std::size_t>(maxBytes / kBlockBytes, 2)) {}

void PathHistory::Clear(const SimState& s, bool kept) {
    // The memory goes back too.
    std::vector<BlockPtr>().swap(blocks_);
    last_ = kBlock;
    start_ = SnapshotOf(s);
    kept_ = kept;
    sparse_ = 0;
    stride_ = 1;
    skipped_ = 0;
}

// The last block is full: a new one, or when the bound is reached, room made by thinning.
void PathHistory::MakeRoom() {
    if (blocks_.size() < maxBlocks_) {
        blocks_.push_back(NewBlock());
        last_ = 0;
        return;
    }
    // Each round thins every block once, the oldest first. Old and new snapshots then never
    // differ in density by more than a factor of two, and the whole run keeps its shape.
    if (blocks_.size() - sparse_ < 2) {
        // The newest block is the last one not thinned this round: thinned on its own, it
        // takes the snapshots of the next round, kept half as often, after its own.
        Block& newest = *blocks_.back();
        for (std::size_t i = 0; i < kBlock / 2; ++i) newest.at[i] = newest.at[2 * i];
        last_ = kBlock / 2;
        sparse_ = 0;
        stride_ *= 2;
        return;
    }
    // The two oldest blocks not yet thinned keep every other snapshot, in one block.
    Block& into = *blocks_[sparse_];
    const Block& second = *blocks_[sparse_ + 1];
    for (std::size_t i = 0; i < kBlock / 2; ++i) into.at[i] = into.at[2 * i];
    for (std::size_t i = 0; i < kBlock / 2; ++i) into.at[kBlock / 2 + i] = second.at[2 * i];
    BlockPtr freed = std::move(blocks_[sparse_ + 1]);
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(sparse_) + 1);
    ++sparse_;
    blocks_.push_back(std::move(freed));
    last_ = 0;
}

void PathHistory::TruncateFrom(double time) {
    for (std::size_t k = 0; k < blocks_.size(); ++k) {
        const std::size_t n = k + 1 == blocks_.size() ? last_ : kBlock;
        for (std::size_t i = 0; i < n; ++i) {
            if (blocks_[k]->at[i].time < time) continue;
            blocks_.resize(k + 1);  // the blocks after it go back to the system
            last_ = i;
            sparse_ = std::min(sparse_, k);
            skipped_ = 0;
            return;
        }
    }
}

}  // namespace orbimo
