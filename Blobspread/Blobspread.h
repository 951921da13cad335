/* Blobspread.h - excess-green region growing.
 *
 * The colour image is rows x cols 32-bit words, row-major with no gap between rows:
 * pixel (row y, column x) is at index y * cols + x. Bits 8-15 are green; bits 0-7 and
 * 16-23 are the other two channels (their order does not matter); bits 24-31 are ignored.
 * The region mask is rows x cols bytes in the same order, owned by the caller and
 * rewritten in place: 1 is region, 0 a candidate that may join, any other value a barrier.
 * Size arguments come width first (cols, then rows).
 *
 * Blobspread grows the region once forward (top-left to bottom-right) and once backward,
 * then returns the mean excess green (2 G - R - B) of the region's pixels outside the last
 * row and the last column.
 * The mean is signed, truncated toward zero and returned in the 32 bits that carry it:
 * read the result as int32_t to see a negative mean.
 * A null pointer, cols < 2 or rows < 2: nothing is read or written and 0 is returned.
 * No region pixel in the counted area: 0 is returned (the mask is still grown).
 */
#ifndef LEAFKIT_BLOBSPREAD_H
#define LEAFKIT_BLOBSPREAD_H

#include <stdint.h>

#if defined(_WIN32)
#  define BLOBSPREAD_API __declspec(dllexport)
#else
#  define BLOBSPREAD_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

BLOBSPREAD_API uint32_t Blobspread(const uint32_t* image, unsigned char* mask, unsigned int cols, unsigned int rows);

#ifdef __cplusplus
}
#endif
#endif
