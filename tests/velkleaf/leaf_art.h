// Shared fixtures of the leaf pipeline's tests, drawn in the mask art of mask_art.h.
#ifndef LEAFKIT_TESTS_VELKLEAF_LEAF_ART_H
#define LEAFKIT_TESTS_VELKLEAF_LEAF_ART_H

#include "mask_art.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

// A chain of points (x0 + i * dx, y0 + i * dy), i = 0 .. n - 1.
inline std::vector<cv::Point> chain(int x0, int y0, int dx, int dy, int n)
{
    std::vector<cv::Point> points;
    for (int i = 0; i < n; ++i) points.emplace_back(x0 + i * dx, y0 + i * dy);
    return points;
}

// Two Y junctions, (5, 4) and (5, 8), joined by a three-pixel chain.
inline const std::vector<std::string> kTwoJunctions = {
    "...........",
    "...........",
    "...#...#...",
    "....#.#....",
    ".....#.....",
    ".....#.....",
    ".....#.....",
    ".....#.....",
    ".....#.....",
    "....#.#....",
    "...#...#...",
    "...........",
    "...........",
};

// The pixel (5, 3) touches the junctions (4, 4) and (6, 4) and nothing else.
inline const std::vector<std::string> kSharedStartPixel = {
    "...........",
    "...........",
    "..#.....#..",
    "...#.#.#...",
    "....#.#....",
    "....#.#....",
    "....#.#....",
    "...........",
    "...........",
};

// Junction pixels (4, 5), (5, 6), (6, 7) touch in a diagonal run; two arms leave the
// first, one the second and two the third.
inline const std::vector<std::string> kDiagonalJunctionRun = {
    "...........",
    "...........",
    "...........",
    "..#...#....",
    "...#.#.....",
    "....#...#..",
    ".....#.#...",
    "....#.#....",
    "...#...#...",
    "........#..",
    "...........",
    "...........",
};

#endif
