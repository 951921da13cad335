/* tipscan.h - free ends and junction pixels of a one-pixel-wide skeleton.
 *
 * The raster is row-major with no padding between rows: pixel (column x, row y) is at
 * byte y * width + x. Size arguments come width first. Skeleton pixels hold exactly 255;
 * every other value (0, and 1 or 2 left by an earlier call) is background.
 * Each skeleton pixel is classified by the pattern of its eight neighbours; free ends are
 * marked 1 and junction pixels 2 in place, the marks that SpineWalk reads.
 */
#ifndef LEAFKIT_TIPSCAN_H
#define LEAFKIT_TIPSCAN_H
#if defined(_WIN32)
#  define TIPSCAN_API __declspec(dllexport)
#else
#  define TIPSCAN_API __attribute__((visibility("default")))
#endif
#ifdef __cplusplus
extern "C" {
#endif

/* One point record: column x, then row y, 0-based, y growing downward. */
typedef struct TipscanPoint {
    int x;
    int y;
} TipscanPoint;

/* Marks free ends (1) and junction pixels (2) of the width x height skeleton image in
 * place and writes their positions, in row-major scan order, to ends and junctions.
 * The number of records is not reported: count the marks, or prefill the arrays with x = -1.
 *
 * More than 1000 of a kind: every one is marked, only the first 1000 are written; size each array for 1000.
 * A null ends or junctions receives nothing; image is still marked and the other array filled.
 * Returns 1 when the image was scanned, 0 when nothing was (then nothing is written); it carries no count.
 * image null, width or height <= 0, or a side above 2147483645 (too large to frame): returns 0. */
TIPSCAN_API int FreeEndDetect(unsigned char* image, int width, int height,
                              TipscanPoint* ends, TipscanPoint* junctions);

#ifdef __cplusplus
}
#endif
#endif
