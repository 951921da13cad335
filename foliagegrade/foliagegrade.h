/* foliagegrade.h - block leaf density and density classes.
 *
 * Rasters are rows x cols, row-major with no gap between rows: pixel (row y, column x)
 * is at index y * cols + x. Size arguments come rows first. The caller owns every buffer:
 * the plant mask (bytes, nonzero is plant) and the density image (floats) are rows * cols
 * values each, the class table six floats.
 */
#ifndef LEAFKIT_FOLIAGEGRADE_H
#define LEAFKIT_FOLIAGEGRADE_H

#if defined(_WIN32)
#  define FOLIAGEGRADE_API __declspec(dllexport)
#else
#  define FOLIAGEGRADE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Tiles the mask into blockSide x blockSide blocks from the top-left corner and adds to
 * every plant pixel of a block its density, (plant pixels of the block inside the image)
 * / (blockSide * blockSide) as a float; background pixels are never written, so the caller
 * zeroes the density image first. Returns the number of block columns, ceil(cols / blockSide).
 * blockSide <= 0 or cols <= 0: nothing is written and 0 is returned.
 * rows <= 0 or a null pointer: nothing is written; the result is still ceil(cols / blockSide). */
FOLIAGEGRADE_API int CalLeafDens(const unsigned char* mask, int rows, int cols, int blockSide, float* density);

/* Adds 1 to classTable[entry] for every positive density d (NaN and d <= 0 are skipped),
 * entry by k = trunc(d / 0.1) in double: k 0 -> 0, 1 -> 1, 2..3 -> 2, 4..5 -> 3, 6..7 -> 4,
 * 8..10 -> 5; d >= 1.1 is counted but in no entry. Then divides all six entries by the
 * number of positive values, so they hold fractions; the caller zeroes the table first.
 * No positive value (also rows <= 0 or cols <= 0): the table is left as it was.
 * A null pointer: nothing is read or written. */
FOLIAGEGRADE_API void DensClassify(const float* density, int rows, int cols, float* classTable);

#ifdef __cplusplus
}
#endif
#endif
