#include "viewers/division_views.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/parcels.h"

namespace zelkan {
namespace {

// A store of divisions with given sums; each holds the candidates listed.
class Divisions : public testing::Test {
protected:
    // Candidate c has the vertex numbers of triangles[c - 1].
    void SetCandidates(const std::vector<std::array<int32_t, 3>>& triangles, double shape = 0) {
        t->tritempnum = static_cast<int32_t>(triangles.size());
        for (size_t c = 0; c < triangles.size(); ++c) {
            TTriTemp& candidate = t->tritemp[c + 1];
            candidate.i = triangles[c][0], candidate.j = triangles[c][1], candidate.k = triangles[c][2];
            candidate.shape = shape;
        }
    }
    int32_t Add(const std::vector<int32_t>& candidates, double shapeSum, double sansha, double heron) {
        const int32_t g = StoreDivision(*t, candidates);
        t->trisets.sum(g) = TTriSum{sansha, heron, shapeSum};
        return g;
    }
    std::unique_ptr<EngineTables> t = std::make_unique<EngineTables>();
};

// The orderings as the window's passes make them: neighbours swapped while
// the first is strictly greater, until a pass swaps nothing.
std::vector<int32_t> BubbleOrder(const std::vector<long double>& keys) {
    std::vector<int32_t> order(keys.size());
    for (size_t n = 0; n < keys.size(); ++n) order[n] = static_cast<int32_t>(n) + 1;
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (size_t n = 0; n + 1 < order.size(); ++n) {
            if (keys[static_cast<size_t>(order[n]) - 1] > keys[static_cast<size_t>(order[n + 1]) - 1]) {
                std::swap(order[n], order[n + 1]);
                swapped = true;
            }
        }
    }
    return order;
}

TEST_F(Divisions, OrderingsAreThoseOfTheWindowsPassesWithTheirTies) {
    SetCandidates({{1, 2, 3}});
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        t->trisets.Clear();
        std::vector<long double> shapes, heronDistance, sanshaDistance;
        const double menkei = 100.0;
        const int count = 1 + round * 7;
        for (int n = 0; n < count; ++n) {
            // Few distinct values: many ties, and areas on both sides of menkei.
            const double shape = static_cast<double>(random() % 5) * 30;
            const double heron = 99.5 + static_cast<double>(random() % 5) * 0.25;
            const double sansha = 99.0 + static_cast<double>(random() % 9) * 0.25;
            Add({1}, shape, sansha, heron);
            shapes.push_back(shape);
            heronDistance.push_back(std::fabs(static_cast<long double>(heron) - menkei));
            sanshaDistance.push_back(std::fabs(static_cast<long double>(sansha) - menkei));
        }
        EXPECT_EQ(ShapeOrder(t->trisets), BubbleOrder(shapes));
        EXPECT_EQ(AreaOrder(t->trisets, menkei, true), BubbleOrder(heronDistance));
        EXPECT_EQ(AreaOrder(t->trisets, menkei, false), BubbleOrder(sanshaDistance));
    }
}

TEST(ThumbnailPages, TheOrderingTheWindowOpensWith) {
    EXPECT_TRUE(ThumbnailsStartByShape(SearchModeOf(0)));
    for (int32_t mode : {1, 2, 3}) EXPECT_FALSE(ThumbnailsStartByShape(SearchModeOf(mode))) << mode;
}

TEST(ThumbnailPages, ThirtyDivisionsOnTwoPagesNeverPastTheLastNorBeforeTheFirst) {
    std::vector<int32_t> order;
    for (int32_t g = 30; g >= 1; --g) order.push_back(g);
    const std::vector<int32_t> first = PageSlots(order, 1);
    EXPECT_EQ(first.front(), 30);
    EXPECT_EQ(first.back(), 7);
    EXPECT_EQ(ThumbPageLabel(1, 30), "ページ 1 / 2");
    int32_t page = NextThumbPage(1, true, 30);
    EXPECT_EQ(page, 25);
    EXPECT_EQ(ThumbPageLabel(page, 30), "ページ 2 / 2");
    const std::vector<int32_t> second = PageSlots(order, page);
    EXPECT_EQ(std::vector<int32_t>(second.begin(), second.begin() + 6), (std::vector<int32_t>{6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(std::vector<int32_t>(second.begin() + 6, second.end()), std::vector<int32_t>(18, 0));
    EXPECT_EQ(PickedDivision(order, page, 6), 1);
    EXPECT_EQ(PickedDivision(order, page, 7), std::nullopt);  // an empty slot picks nothing
    EXPECT_EQ(NextThumbPage(page, true, 30), 25);  // the last page stays
    page = NextThumbPage(page, false, 30);
    EXPECT_EQ(page, 1);
    EXPECT_EQ(NextThumbPage(page, false, 30), 1);
    // Exactly full pages, and no division at all: one page.
    EXPECT_EQ(NextThumbPage(1, true, 24), 1);
    EXPECT_EQ(NextThumbPage(1, true, 48), 25);
    EXPECT_EQ(ThumbPageLabel(25, 48), "ページ 2 / 2");
    EXPECT_EQ(NextThumbPage(1, true, 0), 1);
    EXPECT_EQ(ThumbPageLabel(1, 0), "ページ 1 / 1");
}

TEST(ThumbnailPages, TheHeaderSaysHowTheDivisionsWereFound) {
    EXPECT_EQ(DivisionSourceLabel(DivisionSource::AllDivisions), "全分割");
    EXPECT_EQ(DivisionSourceLabel(DivisionSource::BestByShape), "全分割から: 形状の上位と面積差の最小");
    EXPECT_EQ(DivisionSourceLabel(DivisionSource::BestByShapeAndArea), "全分割から: 形状の上位と面積差の上位");
    EXPECT_EQ(DivisionSourceLabel(DivisionSource::SearchCut), "打ち切った検索で見つかった分割");
}

TEST(ThumbnailPages, AnArrowThatLeadsNowhereIsGreyed) {
    const struct {
        int32_t page, count;
        bool back, forward;
    } cases[] = {
        {1, 30, false, true}, {25, 30, true, false}, {1, 24, false, false}, {1, 25, false, true},
        {25, 48, true, false}, {1, 0, false, false}, {49, 1000, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.page) + " of " + std::to_string(c.count));
        EXPECT_EQ(ThumbPageCanMove(c.page, false, c.count), c.back);
        EXPECT_EQ(ThumbPageCanMove(c.page, true, c.count), c.forward);
    }
}

TEST(ThumbnailLabels, SummaryLineMarkAndHue) {
    EXPECT_EQ(ThumbLabel(120.4, 120.5, 12.5), "   120.400: -10.00:12.50");
    EXPECT_TRUE(ThumbMarked(120.4, 120.5));
    EXPECT_FALSE(ThumbMarked(120.5, 120.5));
    EXPECT_FALSE(ThumbMarked(120.6, 120.5));
    const struct {
        double shape;
        int32_t hue;
    } hues[] = {{0, 0}, {0.25, 0}, {0.75, 2}, {1.25, 2}, {60, 120}, {119.75, 240}, {120, 240}, {200, 240}};
    for (const auto& h : hues) EXPECT_EQ(ThumbHue(h.shape), h.hue) << h.shape;
}

TEST_F(Divisions, ListLinesFiltersAndTheMismatchRate) {
    SetCandidates({{1, 2, 5}, {2, 3, 5}, {3, 4, 5}, {1, 2, 3}, {1, 3, 5}});
    Add({1, 2, 3}, 30, 120.1234, 0);
    Add({4, 5, 3}, 20, 119.98765, 0);
    Add({1, 2, 3}, 10, 120.5, 0);
    Add({}, 0, 0, 0);  // no triangles: never listed
    EXPECT_EQ(ListLine(DivisionArea(t->trisets, 1, false)), " 120.123");
    EXPECT_EQ(ListLine(DivisionArea(t->trisets, 2, false)), " 119.988");
    EXPECT_EQ(ListLine(DivisionArea(t->trisets, 3, false)), " 120.500");
    EXPECT_EQ(MismatchLabel(" 119.988", 120), "不一致率:0.0100");
    EXPECT_EQ(MismatchLabel(" 119.988", 0), "不一致率:---");

    const auto listed = [this](const char* a, const char* b, const char* c) {
        return ListedDivisions(*t, {ParseTriangleFilter(a), ParseTriangleFilter(b), ParseTriangleFilter(c)});
    };
    EXPECT_EQ(listed("", "", ""), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(listed("1,2,5", "", ""), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(listed("1,2,5", "", "3,4,5"), (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(listed("1,2,3", "3,4,5", ""), (std::vector<int32_t>{2}));
    EXPECT_EQ(listed("01,2,5", "", ""), std::vector<int32_t>{});  // compared as numbers' own texts
    for (const char* tooLarge : {"2147483648,1,2", "99999999999999999999,2,5", "1,2,4294967301"})
        EXPECT_EQ(listed(tooLarge, "", ""), std::vector<int32_t>{}) << tooLarge;
    // A triangle is its three corners in any order, with or without blanks.
    for (const char* sameTriangle : {"5,2,1", "2,1,5", "1, 2, 5", " 5 ,1,2 "})
        EXPECT_EQ(listed(sameTriangle, "", ""), (std::vector<int32_t>{1, 3})) << sameTriangle;
    EXPECT_EQ(listed("3,2,1", "", ""), (std::vector<int32_t>{2}));
    EXPECT_EQ(listed("1,2,5,9", "", ""), (std::vector<int32_t>{1, 3}));  // after a third comma: left out
    EXPECT_FALSE(ParseTriangleFilter("1,2").active());  // no third number: the button does nothing
    EXPECT_FALSE(ParseTriangleFilter("   ").active());
}

TEST(ListFilters, ABoxThatNamesNoTriangleIsTold) {
    for (const char* triangle : {"", "  ", "1,2,5", " 5 , 2,1", "01,2,5", "1,2,5,9", "1,2,99"})
        EXPECT_EQ(FilterRefusal(triangle), std::nullopt) << triangle;
    for (const char* notOne : {"abc", "1,2", "1", "a,b,c", "1,2,x", "-1,2,3", "1.5,2,3", "1,,3"}) {
        const std::optional<std::string> told = FilterRefusal(notOne);
        ASSERT_TRUE(told.has_value()) << notOne;
        EXPECT_EQ(*told, "「" + std::string(notOne) +
                             "」は三角形ではありません。頂点番号を 3 つ、1,2,5 のようにカンマで区切って入れてください");
    }
}

TEST(ListPreview, BlueByShapeAndTheAverageLineSelection) {
    EXPECT_EQ(PreviewBlue(0), 0);
    EXPECT_EQ(PreviewBlue(2.05), 20);  // 20.5 rounds to even
    EXPECT_EQ(PreviewBlue(25.5), 255);
    EXPECT_EQ(PreviewBlue(90), 255);
    EXPECT_EQ(AverageShapeLine(3, 5), 2u);
    EXPECT_EQ(AverageShapeLine(6, 5), std::nullopt);  // a filter shortened the list
    EXPECT_EQ(AverageShapeLine(0, 5), std::nullopt);
}

TEST(ViewTransformTest, CentredWithAMarginAndHalvesToEven) {
    auto t = std::make_unique<EngineTables>();
    sample::SetParcel(*t, {{0, 0}, {100, 0}, {100, 50}, {0, 50}});
    const ViewTransform view = AlignView(*t, 110, 110);
    EXPECT_DOUBLE_EQ(view.sc, 1.0);
    EXPECT_EQ(view.X(0), 5);
    EXPECT_EQ(view.X(100), 105);
    EXPECT_EQ(view.Y(0), 110 - 30);  // centred: 25 + 5 below the middle
    EXPECT_EQ(view.X(0.5L), 6);      // 5.5 to even
    EXPECT_EQ(view.X(1.5L), 6);      // 6.5 to even
    // A boundary without extent across still draws, scaled along it.
    sample::SetParcel(*t, {{0, 10}, {50, 10}, {100, 10}});
    const ViewTransform line = AlignView(*t, 110, 110);
    EXPECT_DOUBLE_EQ(line.sc, 1.0);
    EXPECT_EQ(line.Y(10), 55);
    sample::SetParcel(*t, {{7, 7}, {7, 7}, {7, 7}});
    const ViewTransform point = AlignView(*t, 110, 110);
    EXPECT_EQ(point.X(7), 55);
    EXPECT_EQ(point.Y(7), 55);
}

}  // namespace
}  // namespace zelkan
