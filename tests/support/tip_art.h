// Text art for skeletons marked by the tip scan, as the path measures read them: '.' background,
// 'e' free end (1), 'j' junction pixel (2), '#' ordinary pixel (255), 'o' ordinary pixel of
// another value (100, so a highlight to 255 shows); '@' a marked point (200) and '*' a leaf
// path (250) as results draw them.
#ifndef LEAFKIT_TESTS_TIP_ART_H
#define LEAFKIT_TESTS_TIP_ART_H

#include <climits>

inline unsigned char tipArtValue(char c)
{
    switch (c) {
    case 'e': return 1;
    case 'j': return 2;
    case '#': return 255;
    case 'o': return 100;
    case '@': return 200;
    case '*': return 250;
    default: return 0;
    }
}

inline char tipArtChar(unsigned char v)
{
    switch (v) {
    case 0: return '.';
    case 1: return 'e';
    case 2: return 'j';
    case 255: return '#';
    case 100: return 'o';
    case 200: return '@';
    case 250: return '*';
    default: return '?';
    }
}

// Raster sizes an export must refuse before touching its buffers: empty, negative, and ones whose
// framed coordinates would pass the int range.
struct ArtSize {
    int cols;
    int rows;
};
inline constexpr ArtSize kUnusableSizes[] = {
    {0, 3}, {1, 0}, {-1, 3}, {1, -3}, {INT_MAX, INT_MAX}, {INT_MIN, 1}, {INT_MAX, 1}, {1, INT_MAX},
};

#endif
