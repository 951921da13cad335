// SpineWalk on velkleaf's skeletons of the bundled real masks, marked by FreeEndDetect,
// beside OpenCV's labelling of the same skeleton's 8-connected pieces (every skeleton pixel
// labelled once, as every walked pixel gets its branch label).
#include "SpineWalk.h"
#include "bench_skeleton.h"

#include <opencv2/imgproc.hpp>

namespace {

void spineWalk(benchmark::State& state, const cv::Mat& marked)
{
    timeOnFreshCopy(state, marked, [](cv::Mat& work) { SpineWalk(work.ptr(), work.cols, work.rows); });
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll(skeletonsOf(sampleMasks(), true), {
                                                      {"SpineWalk", spineWalk},
                                                      {"anchor_connectedComponents", anchorConnectedComponents},
                                                  });
    return runBenchmarks(argc, argv);
}
