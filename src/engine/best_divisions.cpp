#include "engine/best_divisions.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>
#include <set>
#include <tuple>

#include "engine/polygon_parts.h"

namespace zelkan {

namespace {

// One division of a part: the way on its chord and the ranks of its two
// smaller parts' divisions.
struct Ranked {
    int64_t cost = 0;
    int32_t way = 0;
    int32_t leftRank = 0;
    int32_t rightRank = 0;
    bool operator>(const Ranked& o) const {
        return std::tie(cost, way, leftRank, rightRank) > std::tie(o.cost, o.way, o.leftRank, o.rightRank);
    }
};

struct Part {
    std::vector<PartWay> ways;
    std::vector<Ranked> found;  // best first
    std::priority_queue<Ranked, std::vector<Ranked>, std::greater<>> next;
    std::set<std::tuple<int32_t, int32_t, int32_t>> queued;
    bool started = false;
    long double count = -1;  // not yet counted
};

class LazyBest {
public:
    explicit LazyBest(const EngineTables& t) : t_(t) {
        PolygonParts model = PartsOfPolygon(t);
        parts_.resize(model.parts.size());
        for (size_t id = 0; id < parts_.size(); ++id) parts_[id].ways = std::move(model.parts[id].ways);
        root_ = model.root;
    }

    int32_t root() const { return root_; }

    // The number of divisions of a part, each part counted once.
    long double Count(int32_t id) {
        if (id == kSidePart) return 1;
        Part& p = parts_[static_cast<size_t>(id)];
        if (p.count < 0) {
            long double count = 0;
            for (const PartWay& way : p.ways) count += Count(way.left) * Count(way.right);
            p.count = count;
        }
        return p.count;
    }

    // The rank-th best division of a part, or none.
    const Ranked* Get(int32_t id, int32_t rank) {
        Part& p = parts_[static_cast<size_t>(id)];
        if (!p.started) {
            p.started = true;
            for (int32_t w = 0; w < static_cast<int32_t>(p.ways.size()); ++w) Queue(id, w, 0, 0);
        }
        while (static_cast<int32_t>(p.found.size()) <= rank) {
            if (p.next.empty()) return nullptr;
            const Ranked best = p.next.top();
            p.next.pop();
            p.found.push_back(best);
            Queue(id, best.way, best.leftRank + 1, best.rightRank);
            Queue(id, best.way, best.leftRank, best.rightRank + 1);
        }
        return &p.found[static_cast<size_t>(rank)];
    }

    // The candidates of a part's rank-th division.
    void List(int32_t id, int32_t rank, std::vector<int32_t>& out) {
        const Ranked& r = *Get(id, rank);
        const PartWay& way = parts_[static_cast<size_t>(id)].ways[static_cast<size_t>(r.way)];
        out.push_back(way.candidate);
        if (way.left != kSidePart) List(way.left, r.leftRank, out);
        if (way.right != kSidePart) List(way.right, r.rightRank, out);
    }

private:
    // The cost of a side's only way, or of a part's ranked division; none
    // when the part has fewer divisions.
    const int64_t* CostOf(int32_t part, int32_t rank) {
        static const int64_t kNothing = 0;
        if (part == kSidePart) return rank == 0 ? &kNothing : nullptr;
        const Ranked* r = Get(part, rank);
        return r != nullptr ? &r->cost : nullptr;
    }

    void Queue(int32_t id, int32_t w, int32_t leftRank, int32_t rightRank) {
        const PartWay way = parts_[static_cast<size_t>(id)].ways[static_cast<size_t>(w)];
        const int64_t* left = CostOf(way.left, leftRank);
        if (left == nullptr) return;
        const int64_t leftCost = *left;
        const int64_t* right = CostOf(way.right, rightRank);
        if (right == nullptr) return;
        Part& p = parts_[static_cast<size_t>(id)];
        if (!p.queued.emplace(w, leftRank, rightRank).second) return;
        const int64_t shape = std::llround(t_.tritemp[static_cast<size_t>(way.candidate)].shape);
        p.next.push(Ranked{shape + leftCost + *right, w, leftRank, rightRank});
    }

    const EngineTables& t_;
    std::vector<Part> parts_;
    int32_t root_ = kNoPart;
};

}  // namespace

std::vector<std::vector<int32_t>> BestDivisionsByShape(const EngineTables& t, size_t count) {
    std::vector<std::vector<int32_t>> divisions;
    if (t.xynum < 3) return divisions;
    LazyBest best(t);
    if (best.root() < 0) return divisions;
    for (int32_t rank = 0; divisions.size() < count && best.Get(best.root(), rank) != nullptr; ++rank) {
        std::vector<int32_t> division;
        best.List(best.root(), rank, division);
        std::sort(division.begin(), division.end());
        divisions.push_back(std::move(division));
    }
    return divisions;
}

long double CountDivisions(const EngineTables& t) {
    if (t.xynum < 3) return 0;
    LazyBest best(t);
    return best.root() < 0 ? 0 : best.Count(best.root());
}

namespace {

bool Append(EngineTables& t, const std::vector<int32_t>& division) {
    if (division.empty() || division.size() > static_cast<size_t>(kMaxTriangles) ||
        t.trisets.WouldExceedBudget(static_cast<int32_t>(division.size())))
        return false;
    TriangleSlots slots{};
    int32_t n = 0;
    for (const int32_t c : division) {
        const TTriTemp& candidate = t.tritemp[static_cast<size_t>(c)];
        slots[static_cast<size_t>(++n)] = TTri{c, candidate.i, candidate.j, candidate.k};
    }
    t.trisets.Append(slots, n);
    return true;
}

bool Holds(const EngineTables& t, int32_t r, const std::vector<int32_t>& division) {
    return t.trisets.trinum(r) == static_cast<int32_t>(division.size()) && StoredDivision(t, r) == division;
}

}  // namespace

bool StoreDivisionOnce(EngineTables& t, const std::vector<int32_t>& division) {
    for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r)
        if (Holds(t, r, division)) return false;
    return Append(t, division);
}

int32_t StoreDivisionsOnce(EngineTables& t, const std::vector<std::vector<int32_t>>& divisions) {
    std::set<std::vector<int32_t>> stored;
    for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r) stored.insert(StoredDivision(t, r));
    int32_t added = 0;
    for (const std::vector<int32_t>& division : divisions) {
        if (!stored.insert(division).second) continue;
        if (!Append(t, division)) break;
        ++added;
    }
    return added;
}

int32_t StoreBestDivisionsByShape(EngineTables& t, size_t count) {
    const std::vector<std::vector<int32_t>> divisions = BestDivisionsByShape(t, count);
    t.trisets.Clear();
    for (const std::vector<int32_t>& division : divisions)
        if (!Append(t, division)) break;
    return t.trisets.trisetnum();
}

}  // namespace zelkan
