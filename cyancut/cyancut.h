/* cyancut.h - blue-pot removal and border clearing of a 0/1 plant mask.
 *
 * Every raster is rows x cols bytes, row-major with no gap between rows: pixel (row y,
 * column x) is at index y * cols + x. Size arguments come rows first. The caller owns
 * every buffer and sizes each for rows * cols bytes; only the mask is written.
 * The fixed windows are absolute pixel positions for one camera geometry (they fill
 * their place in images of at least 2049 rows and 1100 columns):
 *   colour window       the last 150 rows, columns 700 .. 1099
 *   replacement window  rows 1860 .. 2048, columns 630 .. 1099
 *   threshold window    rows 1750 .. 1929, columns 700 .. 899
 * A smaller image takes each window clipped to the image; a window wholly outside it does nothing.
 * Border rows or columns are cleared where they lie inside the image, so images of at
 * most 4 rows or 4 columns are cleared entirely.
 * rows <= 0, cols <= 0 or a null pointer among the buffers a function uses: nothing is written.
 */
#ifndef LEAFKIT_CYANCUT_H
#define LEAFKIT_CYANCUT_H

#include <stdint.h>

#if defined(_WIN32)
#  define CYANCUT_API __declspec(dllexport)
#else
#  define CYANCUT_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* In order: in the colour window a mask pixel holding exactly 1 becomes 0 where red is
 * below both green and blue; rows 0, 1, rows - 2, rows - 1 and columns 0, 1, cols - 2,
 * cols - 1 become 0; the replacement window becomes 1 where secondMask holds exactly 1,
 * else 0; the threshold window becomes 1 where level > threshold (unsigned), else 0. */
CYANCUT_API void remove_blue_plot(const unsigned char* red, const unsigned char* green, const unsigned char* blue,
                                  int rows, int cols, unsigned char* mask, const unsigned char* secondMask,
                                  const unsigned char* level, uint32_t threshold);

/* Clears the two-pixel border of the mask only; the colour planes are never read and may be null. */
CYANCUT_API void remove_blue_plot_EG(const unsigned char* red, const unsigned char* green, const unsigned char* blue,
                                     int rows, int cols, unsigned char* mask);

#ifdef __cplusplus
}
#endif
#endif
