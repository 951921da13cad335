// The export boundary of routesolo: check the arguments, frame the caller's raster, measure,
// write the per-branch arrays and the summaries, highlight the best branch and copy back.
#include "routesolo.h"

#include "branch_measure.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

namespace {

using routesolo::MeasuredBranch;
using rastercommon::FramedPoint;
using rastercommon::FramedRaster;

constexpr int kDone = 1;

template <typename... Pointers>
bool allGiven(const Pointers*... pointers)
{
    return ((pointers != nullptr) && ...);
}

}  // namespace

extern "C" ROUTESOLO_API int Wayfind_Single(unsigned char* skeleton, int cols, int rows, int bandFirstColumn,
                                            int bandColumns, float* lengths, float* distances,
                                            double* referenceAngles, double* endAngles, float* straightness,
                                            float* meanLength, float* meanDistance, float* meanStraightness,
                                            double* meanReferenceAngle, double* meanEndAngle, float* bestScore,
                                            float* totalLength, int* branchCount)
{
    if (!allGiven(skeleton, lengths, distances, referenceAngles, endAngles, straightness, meanLength,
                  meanDistance, meanStraightness, meanReferenceAngle, meanEndAngle, bestScore, totalLength,
                  branchCount) ||
        !rastercommon::isUsableSize(cols, rows))
        return kDone;

    FramedRaster trace = rastercommon::copyInWithZeroFrame(skeleton, cols, rows);
    FramedRaster drawing = trace;
    const std::vector<MeasuredBranch> branches =
        routesolo::measureBranches(trace, routesolo::clipTipBand(bandFirstColumn, bandColumns, cols));

    std::optional<FramedPoint> bestTip;
    for (std::size_t i = 0; i < branches.size(); ++i) {
        const MeasuredBranch& branch = branches[i];
        lengths[i] = branch.length;
        distances[i] = branch.distance;
        referenceAngles[i] = branch.referenceAngle;
        endAngles[i] = branch.endAngle;
        straightness[i] = branch.straightness;
        *totalLength += branch.length;
        *meanDistance += branch.distance;
        *meanStraightness += branch.straightness;
        *meanReferenceAngle += std::fabs(branch.referenceAngle);
        *meanEndAngle += std::fabs(branch.endAngle);
        const float score = routesolo::branchScore(branch, rows);
        if (score > *bestScore) {
            *bestScore = score;
            bestTip = branch.tip;
        }
    }

    const int count = static_cast<int>(branches.size());
    *branchCount = count;
    if (count == 0) {
        *meanLength = 0;
        return kDone;
    }
    *meanLength = *totalLength / count;
    *meanDistance /= count;
    *meanStraightness /= count;
    *meanReferenceAngle /= count;
    *meanEndAngle /= count;

    if (bestTip) {
        routesolo::highlightBranch(drawing, *bestTip);
        rastercommon::copyOutInterior(drawing, skeleton);
    }
    return kDone;
}
