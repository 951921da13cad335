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

#ifndef __cplusplus
#include <stdbool.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Thins the rows x cols mask src to lines one pixel wide and writes them to dst
 * (rows x cols bytes); only pixels at least two pixels deep inside the mask remain.
 * Masks of 1,000,000 pixels or more are thinned at reduced size first, and their skeleton
 * pixels may hold any value 1..255: test for nonzero. Below that size a kept pixel keeps its
 * input value, and values 1..254 count as background north-east and south-east of a pixel
 * in every other thinning step, so pass 0/255 masks for the skeleton of the shape.
 * src or dst null, rows or cols <= 0, or rows * cols > 536,870,911: returns at once, dst not written.
 * Never opens a preview window. */
VELKLEAF_API void skeleton_C_Fast(unsigned char* src, int rows, int cols, unsigned char* dst);

/* Writes 255 at the ridge points of the rows x cols mask src and 0 elsewhere to dst
 * (rows x cols bytes, fully written); the outermost rows and columns are always 0.
 * src or dst null, rows or cols <= 0, or rows * cols > 2,147,483,647: returns at once, dst not written.
 * Points 256 or more pixels deep count as 255 deep, so they remain thick seeds and ridge points. */
VELKLEAF_API void getRidgePoint(unsigned char* src, int rows, int cols, unsigned char* dst);

/* Finds the leaves of the one upright plant in the rows x cols mask image (stem toward
 * the bottom rows) and writes, for leaf i, tipPoints[2i], [2i+1] and basePoints[2i], [2i+1]
 * (x, y), baseAngles[i] and chordAngles[i] (degrees from straight up, 0..270: left 90,
 * right 270), leafLengths[i] and chordLengths[i] (pixels); *leafCount = number of leaves,
 * *stemDiameter (pixels), and the overview image as three rows x cols planes.
 * Only the largest region counts, and a five-pixel border of the image is cleared first.
 * A leaf whose path to the stem is not found, or is a single point, keeps its entries as
 * the caller set them but still counts in *leafCount.
 * No tip found at all: the three planes get the cleaned mask, nothing else is written.
 * The per-leaf arrays have no size argument: the leaves are at most rows * cols / 23 (each
 * ends a distinct skeleton branch of 23 or more pixels), so a caller must size for that
 * many; prefer maizeSingleLeafExtraction_autoN.
 * image or any output null, rows or cols <= 0, or rows * cols > 536,870,911: returns at
 * once, nothing written.
 * Writes the pruned skeleton to "d:\aa.bmp" on Windows, elsewhere to aa.bmp in the
 * temporary directory (TMPDIR), only into a regular file (never through a symbolic link
 * or a pipe); failure is ignored.
 * Memory that cannot be had throws std::bad_alloc out of the call, uncaught; each call first
 * reserves room for 15,000,000 flood-stack entries and 10,000,000 points (440 MB on 64 bits).
 * Not reentrant: calls must not overlap. showDebug true shows each step in a window
 * "dshow" and waits for a key; leaf colours come from rand(), which is never seeded. */
VELKLEAF_API void maizeSingleLeafExtraction_auto(const unsigned char* image, int rows, int cols, int* leafCount,
                                                 int* tipPoints, double* baseAngles, double* chordAngles,
                                                 int* basePoints, double* leafLengths, double* chordLengths,
                                                 double* stemDiameter, unsigned char* overlayRed,
                                                 unsigned char* overlayBlue, unsigned char* overlayGreen,
                                                 bool showDebug);

/* maizeSingleLeafExtraction_auto for per-leaf arrays of capacity leaves: entries are
 * written for the first capacity leaves only, and *leafCount is always set to the number
 * found (0 when no tip is found), so a count above capacity asks for more room.
 * capacity < 0: returns at once, nothing written. */
VELKLEAF_API void maizeSingleLeafExtraction_autoN(const unsigned char* image, int rows, int cols, int* leafCount,
                                                  int* tipPoints, double* baseAngles, double* chordAngles,
                                                  int* basePoints, double* leafLengths, double* chordLengths,
                                                  double* stemDiameter, unsigned char* overlayRed,
                                                  unsigned char* overlayBlue, unsigned char* overlayGreen,
                                                  bool showDebug, int capacity);

#ifdef __cplusplus
}
#endif

#endif
