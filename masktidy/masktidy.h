/* masktidy.h - thresholding and clean-up of 0/1 plant masks.
 *
 * Rasters are row-major with no padding between rows: pixel (row y, column x) is at
 * index y * cols + x. Size arguments come rows first. The caller owns every buffer:
 * imbinary's image and mask hold count1 * count2 values, every other mask rows * cols
 * bytes. Any nonzero byte reads as foreground; the functions write only 0 and 1.
 * Each function returns 1 when done and 0 when working memory could not be had
 * (imbinary always returns 1). No state is kept; calls on different masks may run
 * concurrently.
 *
 * Null pointer or any size <= 0 (even when the product is positive): nothing is read or written, 1 is returned.
 * maxArea <= 0: the mask is left as it is (bwFillHole1 leaves its border too) and 1 is returned.
 * Working memory that cannot be allocated: 0 with the mask untouched (a failed point stack growth: see below).
 * A scan raster beyond 4294967295 pixels (point indices are 32-bit; framed: (rows+2)*(cols+2)): 0, mask untouched.
 * Working memory never exceeds a few bytes per pixel, however large maxArea is.
 * The point stack failing to grow returns 0 at once: bwfill's mask is then unusable; the region
 * functions have changed nothing, except that bwFillHole1 has set its border to 1.
 */
#ifndef LEAFKIT_MASKTIDY_H
#define LEAFKIT_MASKTIDY_H

#if defined(_WIN32)
#  define MASKTIDY_API __declspec(dllexport)
#else
#  define MASKTIDY_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* mask[i] = 1 where image[i] >= threshold, else 0 (NaN gives 0), for count1 * count2 values. */
MASKTIDY_API int imbinary(const float* image, int count1, int count2, float threshold, unsigned char* mask);

/* Sets all background that is not 4-connected to pixel (1, 1) to 1, in place. The outermost
 * rows and columns and pixel (1, 1) end as 0; other foreground keeps its value; a 2 on entry
 * counts as reached background and ends as 0.
 * rows or cols < 3: every pixel lies on the border, so the whole mask becomes 0. */
MASKTIDY_API int bwfill(unsigned char* mask, int rows, int cols);

/* Sets 8-connected foreground regions of at most maxArea pixels to 0; regions touching the
 * border are measured whole (the image is seen inside a frame of background). */
MASKTIDY_API int bwremove(unsigned char* mask, int rows, int cols, int maxArea);

/* bwremove without the framed copy, for masks whose outermost rows and columns are 0.
 * Foreground on the outermost rows and columns is never part of a region: neither measured nor changed. */
MASKTIDY_API int bwremove1(unsigned char* mask, int rows, int cols, int maxArea);

/* Sets 4-connected background regions of at most maxArea pixels to 1 (never 255); the image is
 * seen inside a frame of foreground, so a small background notch at the border is filled. */
MASKTIDY_API int bwFillHole(unsigned char* mask, int rows, int cols, int maxArea);

/* bwFillHole without the framed copy: the outermost rows and columns serve as the frame
 * (set to 1 first) and are 0 on return, whatever they held; rows or cols < 3 leave an all-0 mask. */
MASKTIDY_API int bwFillHole1(unsigned char* mask, int rows, int cols, int maxArea);

#ifdef __cplusplus
}
#endif

#endif
