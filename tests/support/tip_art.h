// Text art for skeletons marked by the tip scan, as the path measures read them: '.' background,
// 'e' free end (1), 'j' junction pixel (2), '#' ordinary pixel (255), 'o' ordinary pixel of
// another value (100, so a highlight to 255 shows); '@' a marked point (200) and '*' a leaf
// path (250) as results draw them.
#ifndef LEAFKIT_TESTS_TIP_ART_H
#define LEAFKIT_TESTS_TIP_ART_H

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

#endif
