#include "point_stack.h"

namespace masktidy {

PointStack::PointStack()
    : entries_(static_cast<PixelIndex*>(std::malloc(kInitialRoom * sizeof(PixelIndex))))
{
    if (entries_) room_ = kInitialRoom;
}

bool PointStack::push(PixelIndex index)
{
    if (size_ == room_) {
        const std::size_t grownRoom = room_ + kGrowthStep;
        auto* grown = static_cast<PixelIndex*>(std::realloc(entries_.get(), grownRoom * sizeof(PixelIndex)));
        if (!grown) return false;
        entries_.release();
        entries_.reset(grown);
        room_ = grownRoom;
    }
    entries_.get()[size_++] = index;
    return true;
}

}  // namespace masktidy
