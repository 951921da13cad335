#include "image_files.h"

#include "atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace leafkit {
namespace {

constexpr std::array<const char*, 7> kImageExtensions = {".png", ".tif", ".tiff", ".bmp", ".jpg", ".jpeg", ".jpe"};
constexpr unsigned char kJpegSignature[] = {0xFF, 0xD8, 0xFF};
constexpr int kColourChannels = 3;
constexpr double k16To8BitScale = 1.0 / 257.0;

struct DecodedImage {
    cv::Mat pixels;  // as stored: any depth, 1, 3 or 4 channels
    bool jpeg = false;
};

std::vector<unsigned char> readBytes(const std::filesystem::path& path)
{
    if (!std::filesystem::exists(path)) throw std::runtime_error("no such file");
    if (std::filesystem::is_directory(path)) throw std::runtime_error("is a folder, not an image file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open the file");
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("cannot read the file");
    return bytes;
}

bool isJpeg(const std::vector<unsigned char>& bytes)
{
    return bytes.size() >= sizeof kJpegSignature && std::equal(std::begin(kJpegSignature), std::end(kJpegSignature), bytes.begin());
}

// The codec libraries print their own complaint about a damaged file to stderr (libpng
// does); the caller's one-line error already says it, so stderr is muted while decoding.
class MutedStderr {
public:
    MutedStderr() : saved_(dup(STDERR_FILENO))
    {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            close(null);
        }
    }
    ~MutedStderr()
    {
        if (saved_ < 0) return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    MutedStderr(const MutedStderr&) = delete;
    MutedStderr& operator=(const MutedStderr&) = delete;

private:
    int saved_;
};

DecodedImage decodeBytes(const std::vector<unsigned char>& bytes)
{
    if (bytes.empty()) throw std::runtime_error("empty file");
    DecodedImage image;
    image.jpeg = isJpeg(bytes);
    try {
        const MutedStderr muted;
        image.pixels = cv::imdecode(bytes, cv::IMREAD_UNCHANGED);
    } catch (const cv::Exception&) {
        image.pixels.release();
    }
    if (image.pixels.empty()) throw std::runtime_error("not a readable PNG, TIFF, BMP or JPEG image");
    return image;
}

// Every reading failure names the file.
DecodedImage decodeFile(const std::filesystem::path& path)
{
    try {
        return decodeBytes(readBytes(path));
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path.string() + ": " + e.what());
    }
}

// The colour channels of an image, without alpha.
cv::Mat withoutAlpha(const cv::Mat& pixels)
{
    cv::Mat colour;
    switch (pixels.channels()) {
    case 2: cv::extractChannel(pixels, colour, 0); return colour;  // gray and alpha
    case 4: cv::cvtColor(pixels, colour, cv::COLOR_BGRA2BGR); return colour;
    default: return pixels;
    }
}

// Per pixel, the largest value over the colour channels.
cv::Mat brightestChannel(const cv::Mat& pixels)
{
    const cv::Mat colour = withoutAlpha(pixels);
    if (colour.channels() == 1) return colour;
    std::vector<cv::Mat> planes;
    cv::split(colour, planes);
    cv::Mat brightest = planes[0];
    for (std::size_t i = 1; i < planes.size(); ++i) cv::max(brightest, planes[i], brightest);
    return brightest;
}

cv::Mat to8Bit(const cv::Mat& pixels)
{
    if (pixels.depth() == CV_8U) return pixels;
    cv::Mat converted;
    const double scale = pixels.depth() == CV_16U ? k16To8BitScale : 1.0;
    pixels.convertTo(converted, CV_MAKETYPE(CV_8U, pixels.channels()), scale);
    return converted;
}

}  // namespace

cv::Mat readPlantMask(const std::filesystem::path& path)
{
    const DecodedImage image = decodeFile(path);
    const cv::Mat brightest = brightestChannel(image.pixels);
    cv::Mat mask;
    if (image.jpeg)
        cv::compare(brightest, kJpegPlantLevel, mask, cv::CMP_GE);
    else
        cv::compare(brightest, 0, mask, cv::CMP_NE);
    return mask;
}

cv::Mat readGrayImage(const std::filesystem::path& path)
{
    const cv::Mat pixels = to8Bit(withoutAlpha(decodeFile(path).pixels));
    if (pixels.channels() == 1) return pixels;
    cv::Mat gray;
    cv::cvtColor(pixels, gray, cv::COLOR_BGR2GRAY);
    return gray;
}

cv::Mat readColourImage(const std::filesystem::path& path)
{
    const cv::Mat pixels = to8Bit(withoutAlpha(decodeFile(path).pixels));
    if (pixels.channels() == kColourChannels) return pixels;
    cv::Mat colour;
    cv::cvtColor(pixels, colour, cv::COLOR_GRAY2BGR);
    return colour;
}

cv::Mat readFloatImage(const std::filesystem::path& path)
{
    const cv::Mat pixels = withoutAlpha(decodeFile(path).pixels);
    if (pixels.channels() != 1) throw std::runtime_error(path.string() + ": expected a one-channel image, found colour");
    cv::Mat values;
    pixels.convertTo(values, CV_32F);
    return values;
}

void writeImage(const std::filesystem::path& path, const cv::Mat& image)
{
    std::vector<unsigned char> bytes;
    bool encoded = false;
    try {
        encoded = cv::imencode(path.extension().string(), image, bytes);
    } catch (const cv::Exception& e) {
        throw std::runtime_error("cannot encode " + path.string() + ": " + e.err);
    }
    if (!encoded) throw std::runtime_error("cannot encode " + path.string());
    writeFileAtomically(path, bytes);
}

cv::Mat maskToVisible(const cv::Mat& zeroOneMask)
{
    cv::Mat visible;
    cv::compare(zeroOneMask, 0, visible, cv::CMP_NE);
    return visible;
}

bool hasImageExtension(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(kImageExtensions.begin(), kImageExtensions.end(), extension) != kImageExtensions.end();
}

}  // namespace leafkit
