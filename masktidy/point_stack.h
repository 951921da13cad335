// The point stack of masktidy's floods: 32-bit linear pixel indices, last in first out.
// It starts with room for 1000 entries and grows by 100 at a time, never doubling, so
// its memory follows the deepest flood closely.
#ifndef LEAFKIT_MASKTIDY_POINT_STACK_H
#define LEAFKIT_MASKTIDY_POINT_STACK_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace masktidy {

using PixelIndex = std::uint32_t;

class PointStack {
public:
    static constexpr std::size_t kInitialRoom = 1000;
    static constexpr std::size_t kGrowthStep = 100;

    // Allocates the initial room; check allocated() before use.
    PointStack();

    bool allocated() const { return entries_ != nullptr; }
    bool empty() const { return size_ == 0; }
    std::size_t room() const { return room_; }

    // False when the stack was full and could not grow; the stack is then unchanged.
    bool push(PixelIndex index);
    PixelIndex pop() { return entries_.get()[--size_]; }

private:
    struct FreeDeleter {
        void operator()(PixelIndex* p) const { std::free(p); }
    };
    std::unique_ptr<PixelIndex, FreeDeleter> entries_;
    std::size_t room_ = 0;
    std::size_t size_ = 0;
};

}  // namespace masktidy

#endif
