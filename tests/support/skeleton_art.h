// Text art for marked skeletons: '.' background 0, '#' skeleton 255, '1' .. '9' the values
// 1 .. 9 (free end 1, junction pixel 2, branch labels from 3), 'a' .. 'z' the values 10 .. 35.
#ifndef LEAFKIT_TESTS_SKELETON_ART_H
#define LEAFKIT_TESTS_SKELETON_ART_H

#include "raster_art.h"

#include <string>
#include <vector>

struct SkeletonRaster {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

constexpr unsigned char kArtSkeleton = 255;
constexpr unsigned char kArtUnknown = 254;  // a character outside the alphabet, so the fixture fails visibly

inline unsigned char skeletonValueOf(char c)
{
    if (c == '.') return 0;
    if (c == '#') return kArtSkeleton;
    if (c >= '1' && c <= '9') return static_cast<unsigned char>(c - '0');
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 10);
    return kArtUnknown;
}

inline char skeletonCharOf(unsigned char v)
{
    if (v == 0) return '.';
    if (v == kArtSkeleton) return '#';
    if (v <= 9) return static_cast<char>('0' + v);
    if (v <= 35) return static_cast<char>('a' + v - 10);
    return '?';
}

inline SkeletonRaster parseSkeleton(const std::vector<std::string>& art)
{
    SkeletonRaster raster;
    raster.height = static_cast<int>(art.size());
    raster.width = art.empty() ? 0 : static_cast<int>(art.front().size());
    raster.pixels = parseArt<unsigned char>(art, skeletonValueOf);
    return raster;
}

inline std::vector<std::string> renderSkeleton(const SkeletonRaster& raster)
{
    return renderArt(raster.pixels, static_cast<std::size_t>(raster.width), skeletonCharOf);
}

#endif
