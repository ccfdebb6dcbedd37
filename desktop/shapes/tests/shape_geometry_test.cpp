// Window-shape geometry: polygon and star corners, capsule and rounded-bottom
// parts, and the outline tracer on small pictures drawn as text.
#include "shape_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using shapes::Box;
using shapes::Point;

namespace {

// '.' is transparent, anything else is picture.
struct Picture {
    std::vector<std::string> rows;
    int width() const { return static_cast<int>(rows[0].size()); }
    int height() const { return static_cast<int>(rows.size()); }
    bool clear(int x, int y) const { return rows[y][x] == '.'; }
    std::vector<Point> trace(Point seed) const
    {
        return shapes::TraceOutline(width(), height(), seed, [this](int x, int y) { return clear(x, y); });
    }
};

Box Bounds(const std::vector<Point>& points)
{
    Box b{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const Point& p : points) {
        b.left = std::min(b.left, p.x);
        b.top = std::min(b.top, p.y);
        b.right = std::max(b.right, p.x);
        b.bottom = std::max(b.bottom, p.y);
    }
    return b;
}

}  // namespace

TEST(ShapeGeometry, StarAndRegularPolygons)
{
    const Box r{0, 0, 100, 100};
    const auto star = shapes::PolygonCorners(r, 5, 2, 0);
    ASSERT_EQ(star.size(), 10u);
    for (size_t i = 0; i < star.size(); ++i) {
        const double distance = std::hypot(star[i].x - 50, star[i].y - 50);
        if (i % 2)
            EXPECT_NEAR(distance, 25, 2) << i;  // the inner corners of the star
        else
            EXPECT_NEAR(distance, 50, 2) << i;
    }
    EXPECT_EQ(shapes::PolygonCorners(r, 2.5, 1, 0).size(), 5u);
    EXPECT_EQ(shapes::PolygonCorners(r, 1.5, 1, 0).size(), 3u);
    EXPECT_EQ(shapes::PolygonCorners(r, 4, 1, 0).size(), 8u);
}

TEST(ShapeGeometry, PolygonsWithoutCornersOrWithBadNumbersAreRefused)
{
    const Box r{0, 0, 100, 100};
    const struct {
        double n, ratio, rotation;
    } cases[] = {{0, 1, 0}, {0.4, 1, 0}, {-3, 1, 0}, {5, 0, 0}, {5, -1, 0}, {NAN, 1, 0}, {5, NAN, 0},
                 {5, 1, INFINITY}, {1e9, 1, 0}, {INFINITY, 1, 0}};
    for (const auto& c : cases)
        EXPECT_TRUE(shapes::PolygonCorners(r, c.n, c.ratio, c.rotation).empty()) << c.n << " " << c.ratio;
}

TEST(ShapeGeometry, CapsuleAndRoundedBottom)
{
    const auto lying = shapes::CapsuleParts({0, 0, 60, 20});
    EXPECT_EQ(lying.middle, (Box{9, 0, 51, 20}));
    EXPECT_EQ(lying.first, (Box{0, 0, 20, 20}));
    EXPECT_EQ(lying.second, (Box{40, 0, 60, 20}));
    EXPECT_TRUE(lying.hasMiddle);
    const auto upright = shapes::CapsuleParts({0, 0, 20, 60});
    EXPECT_EQ(upright.middle, (Box{0, 9, 20, 51}));
    EXPECT_EQ(upright.second, (Box{0, 40, 20, 60}));
    const auto round = shapes::CapsuleParts({0, 0, 20, 20});
    EXPECT_EQ(round.middle, (Box{0, 9, 20, 11}));

    const auto bottom = shapes::RoundedBottomParts({0, 0, 50, 80});
    EXPECT_EQ(bottom.upper, (Box{0, 0, 50, 70}));
    EXPECT_EQ(bottom.ellipse, (Box{0, 58, 50, 80}));
}

TEST(ShapeGeometry, OutlineOfABlockSeenFromTheCorner)
{
    const Picture p{{
        "..........",
        "..######..",
        "..######..",
        "..######..",
        "..........",
    }};
    const auto outline = p.trace({0, 0});
    ASSERT_GE(outline.size(), 4u);
    EXPECT_EQ(Bounds(outline), (Box{2, 1, 7, 3}));
    for (const Point& q : outline)
        EXPECT_FALSE(p.clear(q.x, q.y)) << q.x << "," << q.y;
}

TEST(ShapeGeometry, OutlineStartsAtTheFirstPixelWhenNothingIsTransparentThere)
{
    const Picture p{{
        "###..",
        "###..",
        ".....",
    }};
    const auto outline = p.trace({4, 2});  // a transparent seed walks to the block
    ASSERT_FALSE(outline.empty());
    EXPECT_EQ(Bounds(outline), (Box{0, 0, 2, 1}));
    const Picture full{{"####", "####"}};
    const auto whole = full.trace({0, 0});  // nothing transparent: traced from (0, 0)
    ASSERT_FALSE(whole.empty());
    EXPECT_EQ(Bounds(whole), (Box{0, 0, 3, 1}));
}

TEST(ShapeGeometry, NothingToOutline)
{
    EXPECT_TRUE((Picture{{"....", "...."}}.trace({0, 0}).empty()));
    EXPECT_TRUE((Picture{{"....", ".#..", "...."}}.trace({0, 0}).empty()));  // a lone pixel
    EXPECT_TRUE(shapes::TraceOutline(0, 5, {0, 0}, [](int, int) { return false; }).empty());
}

TEST(ShapeGeometry, TracingNoiseEndsWithinItsBound)
{
    std::mt19937 random(17);
    for (int round = 0; round < 50; ++round) {
        Picture p;
        const int w = 1 + static_cast<int>(random() % 40), h = 1 + static_cast<int>(random() % 40);
        for (int y = 0; y < h; ++y) {
            std::string row;
            for (int x = 0; x < w; ++x)
                row += random() % 3 ? '.' : '#';
            p.rows.push_back(row);
        }
        const auto outline = p.trace({static_cast<int>(random() % w), static_cast<int>(random() % h)});
        EXPECT_LE(outline.size(), 8u * (w + 2) * (h + 2) + 1);
        for (const Point& q : outline)
            EXPECT_TRUE(q.x >= 0 && q.y >= 0 && q.x < w && q.y < h);
    }
}
