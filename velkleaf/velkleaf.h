/* velkleaf.h - skeletons, ridge points and leaf extraction of maize plant masks.
 *
 * Rasters are row-major with no padding between rows: pixel (row y, column x) is at
 * index y * cols + x. Size arguments come rows first. Masks hold 0 (background) and
 * 255; any nonzero byte is read as foreground. Input buffers are only read; the caller
 * owns and sizes every output buffer. No function reports errors or writes messages.
 */
#ifndef LEAFKIT_VELKLEAF_H
#define LEAFKIT_VELKLEAF_H

#if defined(_WIN32)
#  define VELKLEAF_API __declspec(dllexport)
#else
#  define VELKLEAF_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Thins the rows x cols mask src to lines one pixel wide and writes them to dst
 * (rows x cols bytes); only pixels at least two pixels deep inside the mask remain.
 * Masks of 1,000,000 pixels or more are thinned at reduced size first, and their skeleton
 * pixels may hold any value 1..255: test for nonzero.
 * src or dst null, rows or cols <= 0, or rows * cols > 536,870,911: returns at once, dst not written.
 * Never opens a preview window. */
VELKLEAF_API void skeleton_C_Fast(unsigned char* src, int rows, int cols, unsigned char* dst);

/* Writes 255 at the ridge points of the rows x cols mask src and 0 elsewhere to dst
 * (rows x cols bytes, fully written); the outermost rows and columns are always 0.
 * src or dst null, rows or cols <= 0, or rows * cols > 2,147,483,647: returns at once, dst not written.
 * Points 256 or more pixels deep count as 255 deep, so they remain thick seeds and ridge points. */
VELKLEAF_API void getRidgePoint(unsigned char* src, int rows, int cols, unsigned char* dst);

#ifdef __cplusplus
}
#endif

#endif
