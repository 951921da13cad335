// Raster sizes that exports must refuse before touching the caller's buffers; each test
// passes them with a buffer far smaller than the size claims.
#ifndef LEAFKIT_TESTS_RASTER_SIZES_H
#define LEAFKIT_TESTS_RASTER_SIZES_H

#include <climits>
#include <string>

struct RasterSize {
    int cols;
    int rows;
};

inline std::string sizeName(RasterSize size) { return std::to_string(size.cols) + " x " + std::to_string(size.rows); }

// A zero or negative side, for a buffer of 3 columns and 2 rows.
inline constexpr RasterSize kEmptyOrNegativeSizes[] = {{0, 2}, {3, 0}, {0, 0}, {-3, 2}, {3, -2}, {-1, -1}};

// A side of INT_MAX - 1 or more has no framed coordinate in int.
inline constexpr int kLargestFramedSide = INT_MAX - 2;
inline constexpr RasterSize kSidesTooLargeToFrame[] = {
    {kLargestFramedSide + 1, 1}, {INT_MAX, 1}, {1, kLargestFramedSide + 1}, {1, INT_MAX}};

// Empty, negative and unframeable sizes together, for a buffer of 1 column and 3 rows.
inline constexpr RasterSize kUnusableSizes[] = {
    {0, 3}, {1, 0}, {-1, 3}, {1, -3}, {INT_MAX, INT_MAX}, {INT_MIN, 1}, {INT_MAX, 1}, {1, INT_MAX},
};

#endif
