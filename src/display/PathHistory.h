#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/SimState.h"
#include "display/Frame.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orbimo {

/// Where every body was at one moment of the plot.
struct Snapshot {
    double time = 0;
    BodyMask on = 0;  // the bodies taking part then
    BodyDoubles x{}, y{};
};

/// Writes the record's moment into `to`, streamed past the caches where the processor allows:
/// the history is written far more often than it is read, and would push out of them the
/// pixels the markers move over.
inline void StoreSnapshot(Snapshot& to, const SimState& s) {
#if defined(__SSE2__)
    static_assert(sizeof(Snapshot) == 16 + 2 * sizeof(BodyDoubles) &&
                  sizeof(BodyDoubles) % 16 == 0 && alignof(BodyDoubles) == 8);
    // The blocks start on a huge page and a snapshot is 16-byte words: each is aligned.
    auto* out = reinterpret_cast<__m128i*>(&to);
    _mm_stream_si128(out, _mm_set_epi64x(TakingPart(s), std::bit_cast<std::int64_t>(s.SimTime)));
    auto* xy = reinterpret_cast<double*>(out + 1);
    for (std::size_t i = 0; i < kSlots; i += 2) {
        _mm_stream_pd(xy + i, _mm_loadu_pd(&s.PosX[i]));
        _mm_stream_pd(xy + kSlots + i, _mm_loadu_pd(&s.PosY[i]));
    }
#else
    to = Snapshot{s.SimTime, TakingPart(s), s.PosX, s.PosY};
#endif
}

/// The positions behind the current picture: a snapshot whenever a body's pixel changed, so
/// that the picture can be drawn again at another scale, origin or frame. Its memory is
/// bounded: when full, the two oldest blocks of snapshots not yet thinned this round become
/// one holding every other snapshot of each, and once all are thinned new ones are kept half
/// as often, so a long run keeps its shape. Snapshots live in blocks that never move: a record
/// costs the same however full the history is, and thinning touches one block at a time.
class PathHistory {
  public:
    // Snapshots a block: as many as fill a huge page of 2 MB, so that a new block costs the
    // system one page fault rather than five hundred (an even number, halved by thinning).
    static constexpr std::size_t kBlock = 10080;
    static constexpr std::size_t kBlockBytes = std::size_t{2} << 20;  // allocated per block

    explicit PathHistory(std::size_t maxBytes = std::size_t{64} << 20);

    /// A new plot: markers parked in the corner (`kept` false) or kept at the positions in s.
    void Clear(const SimState& s, bool kept);
    void Record(const SimState& s) {
        if (++skipped_ < stride_) return;
        skipped_ = 0;
        if (last_ == kBlock) MakeRoom();
        Snapshot& to = blocks_.back()->at[last_++];
        StoreSnapshot(to, s);
    }

    /// Every snapshot, oldest first.
    template <class F>
    void ForEach(F&& f) const {
        for (std::size_t k = 0; k < blocks_.size(); ++k) {
            const std::size_t n = k + 1 == blocks_.size() ? last_ : kBlock;
            for (std::size_t i = 0; i < n; ++i) f(blocks_[k]->at[i]);
        }
    }
    /// The snapshots before `time`, oldest first, up to the first one that is not: the picture
    /// as it stood at that moment of the run. A snapshot's time is the clock before the tick
    /// whose positions it holds.
    template <class F>
    void ForEachBefore(double time, F&& f) const {
        for (std::size_t k = 0; k < blocks_.size(); ++k) {
            const std::size_t n = k + 1 == blocks_.size() ? last_ : kBlock;
            for (std::size_t i = 0; i < n; ++i) {
                if (!(blocks_[k]->at[i].time < time)) return;
                f(blocks_[k]->at[i]);
            }
        }
    }
    /// A run goes on from the moment `time`: the snapshots from it on go.
    void TruncateFrom(double time);
    std::size_t Size() const { return blocks_.empty() ? 0 : (blocks_.size() - 1) * kBlock + last_; }
    bool Empty() const { return Size() == 0; }
    /// The plot's start: the bodies and their positions when it was cleared.
    const Snapshot& Start() const { return start_; }
    bool StartKept() const { return kept_; }
    /// The memory the snapshots hold.
    std::size_t Bytes() const { return blocks_.size() * kBlockBytes; }
    std::size_t Capacity() const { return maxBlocks_ * kBlock; }

  private:
    struct Block {
        Snapshot at[kBlock];
    };
    struct FreeBlock {
        void operator()(Block* b) const;
    };
    using BlockPtr = std::unique_ptr<Block, FreeBlock>;
    /// A block, its snapshots not yet written: they are written before they are read.
    static BlockPtr NewBlock();
    void MakeRoom();

    std::size_t maxBlocks_;
    std::vector<BlockPtr> blocks_;          // oldest first; all but the last are full
    std::size_t last_ = kBlock;             // snapshots in the last block
    std::size_t sparse_ = 0;                // the leading blocks already thinned this round
    std::size_t stride_ = 1, skipped_ = 0;  // one change in `stride_` is kept
    Snapshot start_;
    bool kept_ = false;
};

Snapshot SnapshotOf(const SimState& s);

}  // namespace orbimo
