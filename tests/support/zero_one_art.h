// Text art for the 0/1 masks of masktidy, cyancut and Blobspread: '.' background 0, '#' plant 1,
// 'X' 255 (a barrier, or a foreground value other than 1), a digit 2 .. 9 that value.
#ifndef LEAFKIT_TESTS_ZERO_ONE_ART_H
#define LEAFKIT_TESTS_ZERO_ONE_ART_H

inline unsigned char zeroOneValue(char c)
{
    if (c == '#') return 1;
    if (c == 'X') return 255;
    if (c >= '2' && c <= '9') return static_cast<unsigned char>(c - '0');
    return 0;
}

inline char zeroOneChar(unsigned char v)
{
    if (v == 0) return '.';
    if (v == 1) return '#';
    if (v == 255) return 'X';
    if (v <= 9) return static_cast<char>('0' + v);
    return '?';
}

#endif
