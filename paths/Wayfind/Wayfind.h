/* Wayfind.h - leaf path extraction on the marked skeleton of a single leaf.
 *
 * The skeleton raster is row-major with no padding between rows: pixel (column x, row y) is
 * at index y * cols + x. Size arguments come width first. Pixels hold 0 (background), 1 (free
 * end: a tip), 2 (junction pixel) or any other value (ordinary skeleton pixel, 255 in the
 * toolkit's skeletons), as FreeEndDetect marks them. Points reported here are framed: image
 * column x is framed column x + 1, image row y framed row y + 1.
 *
 * The junction point J is the first junction pixel from the top (rows top down, each left to
 * right), the base tip T the first tip from the bottom (rows bottom up, each left to right).
 * The inner point is the one of the two farther from the left, right and top sides (T on a
 * tie), the other the outer point. Both are marked 200 in the raster, and every pixel that the
 * trace from any other tip leaves on its way to the end or junction it reaches is marked 250.
 * *angle is the direction from the outer to the inner point in degrees, counter-clockwise from
 * the positive x axis with y pointing up (-90 to 270; 0 when both share a column). The result
 * is rows + 2 - *innerRow, the inner point's height above the image bottom (2 or more).
 * unused1, unused2 and unused3 are never read.
 *
 * A null raster or output pointer, cols or rows <= 0, or a raster too large to frame: nothing is written, 0 is returned.
 * No junction pixel or no tip: 0 is returned, *distance = 0, *innerColumn, *innerRow and *angle untouched, the marks still made.
 */
#ifndef LEAFKIT_WAYFIND_H
#define LEAFKIT_WAYFIND_H
#if defined(_WIN32)
#  define WAYFIND_API __declspec(dllexport)
#else
#  define WAYFIND_API __attribute__((visibility("default")))
#endif
#ifdef __cplusplus
extern "C" {
#endif

/* *distance is set to 0 on entry, then to the straight distance between the inner and the
 * outer point. */
WAYFIND_API int Wayfind_forleaf(unsigned char* skeleton, int cols, int rows, int* innerColumn, int* innerRow,
                                void* unused1, void* unused2, float* angle, void* unused3, float* distance);

#ifdef __cplusplus
}
#endif
#endif
