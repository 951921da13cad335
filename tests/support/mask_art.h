// Text art for 8-bit cv::Mat masks: '.' is 0, '#' is 255, 'o' is 128 and a digit 1 .. 9 that
// value (foreground values other than 255); every row has the same length.
#ifndef LEAFKIT_TESTS_MASK_ART_H
#define LEAFKIT_TESTS_MASK_ART_H

#include <opencv2/core.hpp>

#include <string>
#include <vector>

inline unsigned char maskValueOf(char c)
{
    if (c == '#') return 255;
    if (c == 'o') return 128;
    if (c >= '1' && c <= '9') return static_cast<unsigned char>(c - '0');
    return 0;
}

inline char maskCharOf(unsigned char value)
{
    if (value == 0) return '.';
    if (value == 255) return '#';
    if (value == 128) return 'o';
    if (value <= 9) return static_cast<char>('0' + value);
    return '?';
}

inline cv::Mat parseMask(const std::vector<std::string>& art)
{
    cv::Mat mask(static_cast<int>(art.size()), art.empty() ? 0 : static_cast<int>(art[0].size()), CV_8UC1);
    for (int r = 0; r < mask.rows; ++r)
        for (int c = 0; c < mask.cols; ++c) mask.at<uchar>(r, c) = maskValueOf(art[r][c]);
    return mask;
}

inline std::vector<std::string> renderMask(const cv::Mat& mask)
{
    std::vector<std::string> art;
    for (int r = 0; r < mask.rows; ++r) {
        std::string row;
        for (int c = 0; c < mask.cols; ++c) row += maskCharOf(mask.at<uchar>(r, c));
        art.push_back(row);
    }
    return art;
}

// A rows x cols mask of zeros with the rectangle of rows top..bottom, columns left..right at 255.
inline cv::Mat bandMask(int rows, int cols, int top, int bottom, int left, int right)
{
    cv::Mat mask(rows, cols, CV_8UC1, cv::Scalar(0));
    mask(cv::Range(top, bottom + 1), cv::Range(left, right + 1)).setTo(255);
    return mask;
}

#endif
