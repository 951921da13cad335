/* A downstream C program: the installed headers compile as C and the installed
 * libraries link and run. Exit status 0 when both answers are the expected ones. */
#include <GrayStats.h>
#include <velkleaf.h>

#include <stdio.h>
#include <string.h>

int main(void)
{
    /* Levels 2 and 6, two pixels each: mean 4. */
    const unsigned char gray[4] = {2, 6, 2, 6};
    double stats[6] = {0};
    GrayStats(gray, 2, 2, 256, stats);

    /* A 5 x 11 band three rows thick thins to its middle row, columns 3 to 8. */
    unsigned char band[5 * 11], skeleton[5 * 11];
    memset(band, 0, sizeof band);
    for (int r = 1; r <= 3; ++r) memset(band + r * 11 + 1, 255, 9);
    skeleton_C_Fast(band, 5, 11, skeleton);
    int skeletonPixels = 0;
    for (int i = 0; i < 5 * 11; ++i) skeletonPixels += skeleton[i] != 0;

    printf("mean %g, skeleton pixels %d\n", stats[0], skeletonPixels);
    return stats[0] == 4.0 && skeletonPixels == 6 ? 0 : 1;
}
