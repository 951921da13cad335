// The blocking preview window of the debug switch.
#include "skeleton/skeleton.h"

#include <opencv2/highgui.hpp>

namespace {

const char* const kPreviewWindow = "dshow";
constexpr int kPreviewBox = 800;

}  // namespace

void debugShow(const cv::Mat& image)
{
    // highgui cannot show an empty image; there is nothing to wait for either.
    if (image.empty()) return;
    cv::Mat preview = image.clone();
    resizeToFit(preview, preview, kPreviewBox, kPreviewBox);
    cv::namedWindow(kPreviewWindow, cv::WINDOW_AUTOSIZE);  // the window takes the image size
    cv::imshow(kPreviewWindow, preview);
    cv::waitKey(0);
    cv::destroyWindow(kPreviewWindow);
}
