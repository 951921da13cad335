/* GrayStats.h - six histogram statistics of an 8-bit gray image.
 *
 * The image is count1 x count2 unsigned bytes (rows, then cols); only the number of
 * pixels matters, not their arrangement. The caller owns the image and the result
 * record of six doubles, which is overwritten in this order: mean, standard deviation,
 * smoothness 1 - 1/(1 + s*s), third moment, uniformity, entropy in bits. Levels are not
 * normalised by their range. Both functions keep no state and may run concurrently.
 *
 * GrayStats counts every pixel; GrayStats2 counts only nonzero pixels (levels 1 .. bins - 1).
 * A pixel value not below bins (any pixel when bins <= 0) is skipped: it counts in no bin and not in N.
 * No pixel counted (null image, count1 or count2 <= 0, no pixel usable) writes a record of six zeros.
 * A null result pointer: nothing is read or written.
 * bins above 256 give the result of 256 and cost no more: no byte reaches those levels.
 */
#ifndef LEAFKIT_GRAYSTATS_H
#define LEAFKIT_GRAYSTATS_H

#if defined(_WIN32)
#  define GRAYSTATS_API __declspec(dllexport)
#else
#  define GRAYSTATS_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Statistics over all count1 x count2 pixels; bins is the number of gray levels (256 for 8-bit data). */
GRAYSTATS_API void GrayStats(const unsigned char* image, int count1, int count2, int bins, double* result);

/* The same over the nonzero pixels only, so that a zeroed background is left out. */
GRAYSTATS_API void GrayStats2(const unsigned char* image, int count1, int count2, int bins, double* result);

#ifdef __cplusplus
}
#endif

#endif
