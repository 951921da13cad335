// The values of a marked skeleton, as the end and junction scan writes them and the walks,
// traces and measures read them.
#ifndef LEAFKIT_RASTERCOMMON_SKELETON_MARKS_H
#define LEAFKIT_RASTERCOMMON_SKELETON_MARKS_H

namespace rastercommon {

constexpr unsigned char kFreeEnd = 1;
constexpr unsigned char kJunction = 2;
constexpr unsigned char kSkeletonPixel = 255;

}  // namespace rastercommon

#endif
