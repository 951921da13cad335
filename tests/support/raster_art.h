// Text-art rasters for tests: one string per row, one character per pixel, so a fixture
// reads like the picture it stands for.
#ifndef LEAFKIT_TESTS_RASTER_ART_H
#define LEAFKIT_TESTS_RASTER_ART_H

#include <cstddef>
#include <string>
#include <vector>

// Row-major pixels of art; valueOf maps each character to its pixel value.
template <typename T, typename ValueOf>
std::vector<T> parseArt(const std::vector<std::string>& art, ValueOf valueOf)
{
    std::vector<T> pixels;
    for (const std::string& row : art)
        for (char c : row) pixels.push_back(valueOf(c));
    return pixels;
}

// The art of a row-major raster cols wide; charOf maps each pixel value to its character.
template <typename T, typename CharOf>
std::vector<std::string> renderArt(const std::vector<T>& pixels, std::size_t cols, CharOf charOf)
{
    std::vector<std::string> art;
    for (std::size_t start = 0; start < pixels.size(); start += cols) {
        std::string row;
        for (std::size_t x = start; x < start + cols && x < pixels.size(); ++x) row += charOf(pixels[x]);
        art.push_back(row);
    }
    return art;
}

#endif
