// The deletion table and the table-driven thinning.
#include "mask_art.h"
#include "skeleton/skeleton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

struct Offset {
    int dr, dc;
    bool operator<(const Offset& o) const { return dr != o.dr ? dr < o.dr : dc < o.dc; }
};

// The neighbour of each bit of the neighbour code, bit 0 first: SW, S, SE, W, E, NW, N, NE.
const Offset kCodeBits[8] = {{1, -1}, {1, 0}, {1, 1}, {0, -1}, {0, 1}, {-1, -1}, {-1, 0}, {-1, 1}};

int bitOf(Offset o)
{
    for (int b = 0; b < 8; ++b)
        if (kCodeBits[b].dr == o.dr && kCodeBits[b].dc == o.dc) return b;
    return -1;
}

std::set<Offset> backgroundOf(int code)
{
    std::set<Offset> background;
    for (int b = 0; b < 8; ++b)
        if (code & (1 << b)) background.insert(kCodeBits[b]);
    return background;
}

// Groups of the given neighbours, where touches(a, b) says whether two are adjacent.
template <typename Touches>
std::vector<std::set<Offset>> groupsOf(std::set<Offset> pixels, Touches touches)
{
    std::vector<std::set<Offset>> groups;
    while (!pixels.empty()) {
        std::set<Offset> group{*pixels.begin()};
        pixels.erase(pixels.begin());
        for (bool grew = true; grew;) {
            grew = false;
            for (auto it = pixels.begin(); it != pixels.end();) {
                const bool joins = std::any_of(group.begin(), group.end(), [&](Offset g) { return touches(g, *it); });
                if (joins) {
                    group.insert(*it);
                    it = pixels.erase(it);
                    grew = true;
                } else {
                    ++it;
                }
            }
        }
        groups.push_back(group);
    }
    return groups;
}

// The defining rule: a simple point for 8-connected foreground and 4-connected
// background, with at least two foreground neighbours.
int deletableByRule(int code)
{
    const std::set<Offset> background = backgroundOf(code);
    std::set<Offset> foreground;
    for (const Offset& o : kCodeBits)
        if (!background.count(o)) foreground.insert(o);
    if (foreground.size() < 2) return 0;

    const auto touch8 = [](Offset a, Offset b) { return std::max(std::abs(a.dr - b.dr), std::abs(a.dc - b.dc)) == 1; };
    const auto touch4 = [](Offset a, Offset b) { return std::abs(a.dr - b.dr) + std::abs(a.dc - b.dc) == 1; };
    const auto isEdgeNeighbour = [](Offset o) { return std::abs(o.dr) + std::abs(o.dc) == 1; };

    const auto backgroundGroups = groupsOf(background, touch4);
    const auto edgeGroups = std::count_if(backgroundGroups.begin(), backgroundGroups.end(), [&](const auto& g) {
        return std::any_of(g.begin(), g.end(), isEdgeNeighbour);
    });
    return groupsOf(foreground, touch8).size() == 1 && edgeGroups == 1;
}

// The code of the same neighbourhood after moving every neighbour by transform.
template <typename Transform>
int transformedCode(int code, Transform transform)
{
    int result = 0;
    for (const Offset& o : backgroundOf(code)) result |= 1 << bitOf(transform(o));
    return result;
}

TEST(ThinningLut, MatchesItsPublishedBits)
{
    const std::string hex = "33ddcf0133ddcf01cc000000ccdd000033ddcf0133ddcf00cc00cf00ccdccec8";
    for (int k = 0; k < 256; ++k) {
        const int digit = std::stoi(hex.substr(k / 4, 1), nullptr, 16);
        EXPECT_EQ(thinningLut[k], (digit >> (3 - k % 4)) & 1) << "entry " << k;
    }
    EXPECT_EQ(std::accumulate(thinningLut.begin(), thinningLut.end(), 0), 108);
}

TEST(ThinningLut, FollowsFromTheSimplePointRule)
{
    for (int k = 0; k < 256; ++k) EXPECT_EQ(thinningLut[k], deletableByRule(k)) << "entry " << k;
}

TEST(ThinningLut, IsSymmetricUnderRotationAndMirroring)
{
    const auto rotate = [](Offset o) { return Offset{o.dc, -o.dr}; };
    const auto mirrorLeftRight = [](Offset o) { return Offset{o.dr, -o.dc}; };
    const auto mirrorUpDown = [](Offset o) { return Offset{-o.dr, o.dc}; };
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(thinningLut[k], thinningLut[transformedCode(k, rotate)]) << "entry " << k;
        EXPECT_EQ(thinningLut[k], thinningLut[transformedCode(k, mirrorLeftRight)]) << "entry " << k;
        EXPECT_EQ(thinningLut[k], thinningLut[transformedCode(k, mirrorUpDown)]) << "entry " << k;
    }
}

struct ArtCase {
    const char* name;
    std::vector<std::string> in, out;
};

const ArtCase kLutCases[] = {
    {"isolated pixel is kept", {".....", "..#..", "....."}, {".....", "..#..", "....."}},
    {"straight line is unchanged", {".......", ".#####.", "......."}, {".......", ".#####.", "......."}},
    {"staircase step loses its corner", {".....", ".#...", ".###.", "....."}, {".....", ".#...", "..##.", "....."}},
    {"two-pixel bar keeps five pixels of its upper row",
     {".........", ".#######.", ".#######.", "........."},
     {".........", "..#####..", ".........", "........."}},
    {"solid block keeps the middle of its middle row",
     {".......", ".#####.", ".#####.", ".#####.", "......."},
     {".......", ".......", "..###..", ".......", "......."}},
    {"line along the outermost row vanishes", {"#####", ".....", "....."}, {".....", ".....", "....."}},
    {"line along the outermost column vanishes", {"#..", "#..", "#..", "#.."}, {"...", "...", "...", "..."}},
    {"line touching the edge with its end is kept", {"..#..", "..#..", "..#..", "....."},
     {"..#..", "..#..", "..#..", "....."}},
    {"any foreground value becomes 255", {".....", ".ooo.", "....."}, {".....", ".###.", "....."}},
};

TEST(LutThinning, WorkedShapes)
{
    for (const ArtCase& c : kLutCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(renderMask(lutThinning(parseMask(c.in))), c.out);
    }
}

TEST(LutThinning, LeavesInputUnchanged)
{
    const cv::Mat src = parseMask({".........", ".#######.", ".#######.", "........."});
    const cv::Mat before = src.clone();
    lutThinning(src);
    EXPECT_EQ(cv::countNonZero(src != before), 0);
}

TEST(LutThinning, EmptyOrMultiChannelGivesEmpty)
{
    EXPECT_TRUE(lutThinning(cv::Mat()).empty());
    EXPECT_TRUE(lutThinning(cv::Mat(4, 4, CV_8UC3, cv::Scalar::all(255))).empty());
}

}  // namespace
