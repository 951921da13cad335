#include "SpineWalk.h"

#include "framed_raster.h"
#include "spine_walk.h"

#include <array>
#include <cstddef>

namespace spinewalk {
namespace {

using rastercommon::FramedRaster;
using rastercommon::Offset;

constexpr int kNeighboursPerKind = 4;  // four at edges, four at corners

// The neighbours at edges (N, W, E, S) or at corners (NW, NE, SW, SE), in scan order.
template <bool Edges>
constexpr std::array<Offset, kNeighboursPerKind> neighboursAt()
{
    std::array<Offset, kNeighboursPerKind> picked{};
    int count = 0;
    for (const Offset o : rastercommon::kNeighbourScanOrder)
        if (rastercommon::isOrthogonal(o) == Edges) picked[count++] = o;
    return picked;
}

constexpr std::array<Offset, kNeighboursPerKind> kEdgeNeighbours = neighboursAt<true>();
constexpr std::array<Offset, kNeighboursPerKind> kCornerNeighbours = neighboursAt<false>();

int countNonzeroNeighbours(const FramedRaster& raster, int x, int y)
{
    int count = 0;
    for (const Offset o : rastercommon::kNeighbourScanOrder)
        if (raster.at(x + o.dx, y + o.dy) != 0) ++count;
    return count;
}

// The first nonzero neighbour among candidates, or null when they are all 0.
template <typename Offsets>
const Offset* firstNonzero(const FramedRaster& raster, int x, int y, const Offsets& candidates)
{
    for (const Offset& o : candidates)
        if (raster.at(x + o.dx, y + o.dy) != 0) return &o;
    return nullptr;
}

// A pixel with one way on follows it wherever it lies; at a fork only edge neighbours are
// followed, so a walk does not cut a corner past the pixel it should go through.
const Offset* nextStep(const FramedRaster& working, int x, int y, int nonzeroNeighbours)
{
    if (nonzeroNeighbours == 1) return firstNonzero(working, x, y, rastercommon::kNeighbourScanOrder);
    return firstNonzero(working, x, y, kEdgeNeighbours);
}

// Starts a walk on every branch that leaves junction pixel (x, y). Its edge neighbours are
// cleared while the walks run so that walks from one junction pixel do not run into each
// other through them; an adjacent junction pixel is put back to start walks of its own.
void walkOutOfJunction(FramedRaster& working, FramedRaster& labels, int x, int y, BranchLabels& branchLabels)
{
    working.at(x, y) = 0;
    std::array<unsigned char, kNeighboursPerKind> remembered{};
    for (int i = 0; i < kNeighboursPerKind; ++i) {
        unsigned char& edge = working.at(x + kEdgeNeighbours[i].dx, y + kEdgeNeighbours[i].dy);
        remembered[i] = edge;
        edge = 0;
    }
    for (int i = 0; i < kNeighboursPerKind; ++i) {
        if (remembered[i] != kSkeletonPixel) continue;
        const int ex = x + kEdgeNeighbours[i].dx;
        const int ey = y + kEdgeNeighbours[i].dy;
        working.at(ex, ey) = kSkeletonPixel;
        traceBranch(working, labels, ex, ey, branchLabels.next());
    }
    for (int i = 0; i < kNeighboursPerKind; ++i)
        if (remembered[i] == kJunction) working.at(x + kEdgeNeighbours[i].dx, y + kEdgeNeighbours[i].dy) = kJunction;
    for (const Offset o : kCornerNeighbours)
        if (working.at(x + o.dx, y + o.dy) == kSkeletonPixel)
            traceBranch(working, labels, x + o.dx, y + o.dy, branchLabels.next());
}

// Every framed image pixel of working, in row-major order, holding exactly value at the
// moment the scan reaches it.
template <typename Visit>
void scanFor(const FramedRaster& working, unsigned char value, Visit visit)
{
    for (int y = 1; y <= working.rows; ++y)
        for (int x = 1; x <= working.cols; ++x)
            if (working.at(x, y) == value) visit(x, y);
}

// Free ends and junction pixels keep their marks; every other pixel takes the label raster.
void writeLabelsBack(const FramedRaster& labels, unsigned char* image)
{
    for (int y = 0; y < labels.rows; ++y) {
        unsigned char* imageRow = image + static_cast<std::size_t>(y) * labels.cols;
        const unsigned char* labelRow = labels.imageRow(y);
        for (int x = 0; x < labels.cols; ++x)
            if (imageRow[x] != kFreeEnd && imageRow[x] != kJunction) imageRow[x] = labelRow[x];
    }
}

}  // namespace

unsigned char BranchLabels::next()
{
    const unsigned char label = next_;
    next_ = next_ == kLast ? kFirst : static_cast<unsigned char>(next_ + 1);
    return label;
}

void traceBranch(FramedRaster& working, FramedRaster& labels, int x, int y, unsigned char label)
{
    for (;;) {
        const int nonzeroNeighbours = countNonzeroNeighbours(working, x, y);
        working.at(x, y) = 0;
        labels.at(x, y) = label;
        if (nonzeroNeighbours == 0) return;
        const Offset* step = nextStep(working, x, y, nonzeroNeighbours);
        if (!step || working.at(x + step->dx, y + step->dy) == kJunction) return;
        x += step->dx;
        y += step->dy;
    }
}

void labelBranches(FramedRaster& working, FramedRaster& labels)
{
    BranchLabels branchLabels;
    scanFor(working, kFreeEnd, [&](int x, int y) { traceBranch(working, labels, x, y, branchLabels.next()); });
    scanFor(working, kJunction, [&](int x, int y) { walkOutOfJunction(working, labels, x, y, branchLabels); });
}

}  // namespace spinewalk

extern "C" int SpineWalk(unsigned char* image, int width, int height)
{
    constexpr int kDone = 1;
    if (!image || !rastercommon::isUsableSize(width, height)) return kDone;
    auto working = rastercommon::copyInWithZeroFrame(image, width, height);
    auto labels = working;
    spinewalk::labelBranches(working, labels);
    spinewalk::writeLabelsBack(labels, image);
    return kDone;
}
