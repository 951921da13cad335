/* SpineWalk.h - labelling of every branch of a marked skeleton.
 *
 * The raster is row-major with no padding between rows: pixel (column x, row y) is at
 * byte y * width + x. Size arguments come width first. Input values: 0 background,
 * 255 skeleton, 1 free end, 2 junction pixel (the marks FreeEndDetect writes); any other
 * nonzero value is walked over like a skeleton pixel.
 * Walks start at free ends, then at junction pixels, and write a label per branch.
 */
#ifndef LEAFKIT_SPINEWALK_H
#define LEAFKIT_SPINEWALK_H
#if defined(_WIN32)
#  define SPINEWALK_API __declspec(dllexport)
#else
#  define SPINEWALK_API __attribute__((visibility("default")))
#endif
#ifdef __cplusplus
extern "C" {
#endif

/* Rewrites the width x height image in place: 0, 1 and 2 stay, walked pixels get their
 * branch label, pixels no walk reached keep their value. Always returns 1.
 *
 * Past 253 walks labels start again at 3 (3, 4, ..., 255, 3, ...), so they never read as 0, 1 or 2.
 * image null, width or height <= 0, or a side above 2147483645 (too large to frame): nothing is read or changed. */
SPINEWALK_API int SpineWalk(unsigned char* image, int width, int height);

#ifdef __cplusplus
}
#endif
#endif
