/* PlantEnvelope.h - convex envelope around all plant regions of a mask, drawn and measured.
 *
 * Rasters are row-major with no padding between rows: pixel (row y, column x) is at
 * index y * cols + x. Size arguments come width first (cols, then rows).
 * The caller owns and sizes every buffer: image and hullimage_bw take cols * rows bytes,
 * hullimage_rgb takes cols * rows * 4 bytes (the four channel bytes of a pixel adjacent).
 * Any nonzero byte of image is plant; image is only read.
 * The hull is drawn on top of what the caller put in the two output buffers; nothing is cleared.
 * hullimage_bw receives the hull outline (255, 3 px wide, anti-aliased); hullimage_rgb the
 * outline in (255,0,0,0), circles on the vertices in (0,255,0,0) and, on top, the outer
 * contours in (0,0,255,0), channel values listed in memory order.
 * No state is kept: calls on different buffers may run in parallel.
 */
#ifndef LEAFKIT_PLANTENVELOPE_H
#define LEAFKIT_PLANTENVELOPE_H

#if defined(_WIN32)
#  define PLANTENVELOPE_API __declspec(dllexport)
#else
#  define PLANTENVELOPE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Returns the area in square pixels of the convex hull through the centres of the plant's
 * outer boundary pixels (holes are ignored), after drawing that hull into both outputs.
 * A hull of one or two vertices (a point, a straight segment) returns 0 and is still drawn.
 * An image without any plant pixel: returns 0, both output buffers untouched.
 * A null image, hullimage_bw or hullimage_rgb: returns 0, nothing written.
 * cols <= 0 or rows <= 0: returns 0, nothing read or written.
 * cols or rows above 2147483645 (no room for the contour finder's frame): returns 0, nothing read or written.
 * Vertex cross products are formed in 64-bit integers, so hulls spanning more than 2^31 square pixels do not wrap. */
PLANTENVELOPE_API double PlantEnvelope(const unsigned char* image, int cols, int rows,
                                       unsigned char* hullimage_bw, unsigned char* hullimage_rgb);

#ifdef __cplusplus
}
#endif
#endif
