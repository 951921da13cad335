/* routesolo.h - branch measurement on the marked skeleton of a whole plant.
 *
 * The skeleton raster is row-major with no padding between rows: pixel (column x, row y) is
 * at index y * cols + x. Size arguments come width first. Pixels hold 0 (background), 1 (free
 * end: a tip), 2 (junction pixel) or any other value (ordinary skeleton pixel, 255 in the
 * toolkit's skeletons), as FreeEndDetect marks them. Columns and rows given or reported here
 * are framed: image column x is framed column x + 1.
 *
 * Every branch that starts at a tip in the band of framed columns bandFirstColumn ..
 * bandFirstColumn + bandColumns - 1 is measured, bottom row first. The caller sizes the five
 * per-branch arrays for one entry per tip in the band (they are written without a bound), sets
 * *meanDistance, *meanStraightness, *meanReferenceAngle, *meanEndAngle and *totalLength to 0
 * (they are added to, then the first four divided by the count) and *bestScore below every
 * branch score (it is only raised; 0 serves). The branch with the highest score (length plus
 * the tip's height above the image bottom, the first measured on ties) is highlighted: its tip
 * is set to 0 and its pixels up to its end are written 255. Always returns 1.
 *
 * A null pointer, cols or rows <= 0, or a raster too large to frame: nothing is read or written.
 * Band columns outside framed columns 1 .. cols are ignored (the band is clipped); bandColumns <= 0 is an empty band.
 * No branch measured: *branchCount = 0, *meanLength = 0, the other outputs and the raster stay as they were.
 * A branch that stands on no pixel at running length 21 to 30 before its end takes its end as reference (reference angle = end angle).
 * No branch scoring above *bestScore on entry: nothing is highlighted.
 */
#ifndef LEAFKIT_ROUTESOLO_H
#define LEAFKIT_ROUTESOLO_H
#if defined(_WIN32)
#  define ROUTESOLO_API __declspec(dllexport)
#else
#  define ROUTESOLO_API __attribute__((visibility("default")))
#endif
#ifdef __cplusplus
extern "C" {
#endif

/* Angles are degrees from straight up, clockwise positive (up-right about 45, up-left about
 * -45, right 90, left -90, up and down 0), of the line from the tip to the branch's end, and
 * to its reference point (where the running length is last between 21 and 30). */
ROUTESOLO_API int Wayfind_Single(unsigned char* skeleton, int cols, int rows, int bandFirstColumn,
                                 int bandColumns, float* lengths, float* distances, double* referenceAngles,
                                 double* endAngles, float* straightness, float* meanLength,
                                 float* meanDistance, float* meanStraightness, double* meanReferenceAngle,
                                 double* meanEndAngle, float* bestScore, float* totalLength, int* branchCount);

#ifdef __cplusplus
}
#endif
#endif
