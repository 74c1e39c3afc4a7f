#include "engine/tables.h"

#include <gtest/gtest.h>

#include <memory>

#include "geometry/errors.h"

namespace zelkan {
namespace {

class Tables : public testing::Test {
protected:
    std::unique_ptr<EngineTables> t = std::make_unique<EngineTables>();
};

TEST(Sort3, AllOrders) {
    const int32_t orders[6][3] = {{1, 2, 3}, {1, 3, 2}, {2, 1, 3}, {2, 3, 1}, {3, 1, 2}, {3, 2, 1}};
    for (const auto& o : orders) {
        int32_t a = o[0], b = o[1], c = o[2];
        Sort3(a, b, c);
        EXPECT_EQ(a, 1);
        EXPECT_EQ(b, 2);
        EXPECT_EQ(c, 3);
    }
    int32_t a = 4, b = 4, c = -1;
    Sort3(a, b, c);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(c, 4);
}

TEST_F(Tables, StartZeroWithTheirCapacities) {
    EXPECT_EQ(t->xy.size(), 7961u);
    EXPECT_EQ(t->tritemp.size(), 100000u);
    EXPECT_EQ(t->xynum, 0);
    EXPECT_EQ(t->trisets.trisetnum(), 0);
    EXPECT_EQ(t->trisets.trisetcap(), 5000);
    EXPECT_EQ(t->xy[7960].x, 0.0L);
}

TEST_F(Tables, ReadCandidateWalksTheTable) {
    t->tritempnum = 2;
    t->tritemp[1].i = 1, t->tritemp[1].j = 2, t->tritemp[1].k = 3;
    t->tritemp[2].i = 1, t->tritemp[2].j = 3, t->tritemp[2].k = 4;
    int32_t pos = 1, i = 0, j = 0, k = 0;
    EXPECT_TRUE(ReadCandidate(*t, pos, i, j, k));
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(i * 100 + j * 10 + k, 123);
    EXPECT_TRUE(ReadCandidate(*t, pos, i, j, k));
    EXPECT_EQ(i * 100 + j * 10 + k, 134);
    EXPECT_FALSE(ReadCandidate(*t, pos, i, j, k));
    EXPECT_EQ(pos, 3);
}

TEST_F(Tables, AddTriangleSortsAndInTriTableFindsAnyOrder) {
    EXPECT_FALSE(InTriTable(*t, 2, 5, 9));
    int32_t n = 0;
    AddTriangle(*t, 17, 9, 2, n, 5);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(t->trinum, 1);
    const TTri& tri = t->tritable[1];
    EXPECT_EQ(tri.st, 17);
    EXPECT_EQ(tri.i, 2);
    EXPECT_EQ(tri.j, 5);
    EXPECT_EQ(tri.k, 9);
    EXPECT_TRUE(InTriTable(*t, 5, 2, 9));
    EXPECT_TRUE(InTriTable(*t, 9, 5, 2));
    EXPECT_FALSE(InTriTable(*t, 2, 5, 8));
}

TEST_F(Tables, ThousandTrianglesFitAndOneMoreEndsTheRun) {
    int32_t n = 0;
    for (int32_t m = 1; m <= 1000; ++m) AddTriangle(*t, m, m, m + 1, n, m + 2);
    EXPECT_EQ(n, 1000);
    try {
        AddTriangle(*t, 1001, 1, 2, n, 3);
        FAIL() << "no capacity error";
    } catch (const CapacityError& e) {
        EXPECT_STREQ(e.what(), "trinum が制限を越えました");
    }
    EXPECT_EQ(t->trinum, 1000);
}

TEST_F(Tables, StoreSelectRestore) {
    // Stored divisions keep candidate numbers; the vertices are the candidates'.
    const int32_t vertices[][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 2, 3}, {0, 0, 0}, {2, 3, 4}, {0, 0, 0}, {0, 0, 0}, {1, 3, 4}};
    for (int32_t c = 1; c <= 8; ++c) {
        t->tritemp[c].i = vertices[c][0], t->tritemp[c].j = vertices[c][1], t->tritemp[c].k = vertices[c][2];
    }
    int32_t n = 0;
    AddTriangle(*t, 3, 1, 2, n, 3);
    AddTriangle(*t, 8, 1, 3, n, 4);
    StoreTriset(*t);
    t->trinum = 0;
    AddTriangle(*t, 5, 2, 3, n, 4);
    StoreTriset(*t);
    ASSERT_EQ(t->trisets.trisetnum(), 2);
    EXPECT_EQ(t->trisets.trinum(1), 2);
    EXPECT_EQ(t->trisets.tri(1, 2).st, 8);
    EXPECT_EQ(t->trisets.trinum(2), 1);
    EXPECT_EQ(t->trisets.tri(2, 1).k, 4);

    t->trisets.sum(1).sanshaArea = 12.5;
    SelectTriset(*t, 1);
    EXPECT_EQ(t->seltrinum, 2);
    EXPECT_EQ(t->seltri[1].st, 3);
    EXPECT_EQ(t->seltri[2].st, 8);

    RestoreSelection(*t);
    EXPECT_EQ(t->trinum, 2);
    EXPECT_EQ(t->tritable[1].st, 3);
    EXPECT_EQ(t->tritable[2].i, 1);
    EXPECT_EQ(t->tritable[2].k, 4);
    EXPECT_EQ(t->trisets.sum(1).sanshaArea, 12.5);
}

TEST_F(Tables, StoreTakesFourBytesPerTriangleAndRespectsItsBudget) {
    int32_t n = 0;
    for (int32_t m = 1; m <= 10; ++m) AddTriangle(*t, m, m, m + 1, n, m + 2);
    StoreTriset(*t);
    EXPECT_EQ(t->trisets.bytesUsed(), 32u + 10u * 4u);
    t->trisets.SetBudget(2 * (32 + 40) - 1);
    EXPECT_FALSE(t->trisets.WouldExceedBudget(9));
    EXPECT_TRUE(t->trisets.WouldExceedBudget(10));
}

TEST_F(Tables, The5001stDivisionGrowsTheStoreByAnotherBlock) {
    int32_t n = 0;
    for (int32_t m = 1; m <= 5001; ++m) {
        t->trinum = 0;
        AddTriangle(*t, m, 1, 2, n, 3);
        if (m % 2 == 0) AddTriangle(*t, m + 1, 1, 3, n, 4);
        StoreTriset(*t);
        if (m == 5000) {
            EXPECT_EQ(t->trisets.trisetcap(), 5000);
        }
    }
    EXPECT_EQ(t->trisets.trisetnum(), 5001);
    EXPECT_EQ(t->trisets.trisetcap(), 10000);
    for (int32_t m = 1; m <= 5001; ++m) {
        ASSERT_EQ(t->trisets.trinum(m), m % 2 == 0 ? 2 : 1) << m;
        ASSERT_EQ(t->trisets.tri(m, 1).st, m) << m;
        if (m % 2 == 0) {
            ASSERT_EQ(t->trisets.tri(m, 2).st, m + 1) << m;
        }
    }
}

TEST_F(Tables, ResetForRunKeepsTheStoreCapacity) {
    int32_t n = 0;
    for (int32_t m = 1; m <= 5001; ++m) StoreTriset(*t);
    AddTriangle(*t, 1, 1, 2, n, 3);
    t->dupnum = 3;
    ResetForRun(*t);
    EXPECT_EQ(t->trinum, 0);
    EXPECT_EQ(t->dupnum, 0);
    EXPECT_EQ(t->trisets.trisetnum(), 0);
    EXPECT_EQ(t->trisets.trisetcap(), 10000);
    EXPECT_EQ(t->tritable[1].i, 0);
}

TEST_F(Tables, BoundarySidesIncludeTheClosingSide) {
    t->xynum = 5;
    BuildSideList(*t);
    ASSERT_EQ(t->sidenum, 5);
    EXPECT_EQ(t->sidelist[5].a, 5);
    EXPECT_EQ(t->sidelist[5].b, 1);
    EXPECT_TRUE(IsBoundarySide(*t, 1, 2));
    EXPECT_TRUE(IsBoundarySide(*t, 3, 2));
    EXPECT_TRUE(IsBoundarySide(*t, 5, 1));
    EXPECT_TRUE(IsBoundarySide(*t, 1, 5));
    EXPECT_FALSE(IsBoundarySide(*t, 1, 3));
    EXPECT_FALSE(IsBoundarySide(*t, 2, 5));
}

TEST_F(Tables, VerticesToUcsMovesAndTurns) {
    t->xynum = 2;
    t->xy[1] = TAcadPoint{11, 22, 3};
    t->xy[2] = TAcadPoint{10, 20, 0};
    t->xy[3] = TAcadPoint{99, 99, 99};
    // Origin (10, 20, 0); x axis along world y, y axis along world -x.
    VerticesToUcs(*t, TAcadPoint{10, 20, 0}, TAcadPoint{0, 1, 0}, TAcadPoint{-1, 0, 0});
    EXPECT_EQ(t->xy[1].x, 2.0L);
    EXPECT_EQ(t->xy[1].y, -1.0L);
    EXPECT_EQ(t->xy[1].z, 3.0L);
    EXPECT_EQ(t->xy[2].x, 0.0L);
    EXPECT_EQ(t->xy[2].y, 0.0L);
    EXPECT_EQ(t->xy[3].x, 99.0L) << "only vertices 1..xynum";
}

TEST_F(Tables, VerticesToUcsWorldSystemKeepsTheVertices) {
    t->xynum = 1;
    t->xy[1] = TAcadPoint{340.7727144396205L, -496.107338515181L, 0};
    VerticesToUcs(*t, TAcadPoint{}, TAcadPoint{1, 0, 0}, TAcadPoint{0, 1, 0});
    EXPECT_EQ(t->xy[1].x, 340.7727144396205L);
    EXPECT_EQ(t->xy[1].y, -496.107338515181L);
}

TEST(ShortText, CutsToItsCapacity) {
    Text16 text = std::string_view("123456789012345678");
    EXPECT_EQ(text.view(), "1234567890123456");
    text = "  1.23";
    EXPECT_EQ(text, "  1.23");
}

}  // namespace
}  // namespace zelkan
