// The resize solver on plain snapshots: the rule kinds, waiting and failing
// tables, a property check over generated layouts, and input out of range.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "window/resizesolver.h"

using namespace gt::win;

namespace {

// Horizontal 6 (7 units: 10.5, rounded to 11 pixels as dialogs do),
// vertical 16 (8 units = 16 pixels).
constexpr BaseUnits kUnits{6, 16, true};
constexpr RECT kClient{0, 0, 300, 200};

struct Box {
    LONG id;
    RECT r;
};

std::string str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

std::string rectOf(const ControlRecord& c) {
    return str(RECT{c.value[GTRS_LEFT], c.value[GTRS_TOP], c.value[GTRS_RIGHT], c.value[GTRS_BOTTOM]});
}

constexpr GTRESIZERULE kEndRule{GTRS_END, 0, 0, 0, 0, 0, 0, 0, 0, 0};

GTRESIZERULE edge(LONG type, LONG attr, LONG id, LONG refAttr, LONG refId, LONG offset, LONG percent = 100) {
    return GTRESIZERULE{type, attr, id, 0, refAttr, refId, percent, offset, -1, -1};
}

GTRESIZERULE block(LONG type, LONG first, LONG last, LONG refAttr, LONG refId, LONG offset) {
    return GTRESIZERULE{type, 0, first, last, refAttr, refId, 100, offset, -1, -1};
}

std::vector<ControlRecord> snapshot(const std::vector<Box>& controls, RECT client = kClient) {
    std::vector<ControlRecord> s{recordOf(GTRS_CLIENT, client)};
    for (const Box& b : controls) s.push_back(recordOf(b.id, b.r));
    return s;
}

Outcome solve(std::vector<ControlRecord>& s, std::vector<GTRESIZERULE> rules, const BaseUnits& units = kUnits) {
    rules.push_back(kEndRule);
    return solveLayout(s.data(), s.size(), rules.data(), units);
}

const ControlRecord& byId(const std::vector<ControlRecord>& s, LONG id) {
    for (const ControlRecord& c : s)
        if (c.id == id) return c;
    return s.front();
}

struct Row {
    const char* name;
    std::vector<Box> controls;
    std::vector<GTRESIZERULE> rules;
    std::vector<Box> after;  // rectangles expected afterwards
};

const std::vector<Row>& layoutRows() {
    static const std::vector<Row> rows = {
        {"a move of a width keeps the right edge",
         {{3, {10, 10, 60, 40}}},
         {edge(GTRS_MOVE, GTRS_WIDTH, 3, GTRS_WIDTH, GTRS_CLIENT, 0, 20)},
         {{3, {0, 10, 60, 40}}}},
        {"a move of a height keeps the bottom edge",
         {{3, {10, 50, 60, 80}}},
         {edge(GTRS_MOVE, GTRS_HEIGHT, 3, GTRS_HEIGHT, GTRS_CLIENT, 0, 25)},
         {{3, {10, 30, 60, 80}}}},
        {"a member without width adds nothing to the block but moves with it",
         {{1, {10, 170, 60, 190}}, {2, {250, 170, 250, 190}}},
         {block(GTRS_CENTER_HORZ, 1, 2, GTRS_EXTENT, GTRS_CLIENT, 0)},
         {{1, {125, 170, 175, 190}}, {2, {365, 170, 365, 190}}}},
        {"a vertical block is centred on a control and shifted by the offset",
         {{1, {0, 10, 20, 30}}, {2, {0, 40, 20, 50}}, {9, {100, 100, 200, 180}}},
         {block(GTRS_CENTER_VERT, 1, 2, GTRS_EXTENT, 9, 1)},
         {{1, {0, 122, 20, 142}}, {2, {0, 152, 20, 162}}}},
        {"a block waits for a later rule that sets a member's width",
         {{1, {10, 170, 60, 190}}, {2, {70, 170, 120, 190}}},
         {block(GTRS_CENTER_HORZ, 1, 2, GTRS_EXTENT, GTRS_CLIENT, 0),
          edge(GTRS_SIZE, GTRS_WIDTH, 2, GTRS_WIDTH, GTRS_CLIENT, 0, 50)},
         {{1, {45, 170, 95, 190}}, {2, {105, 170, 255, 190}}}},
    };
    return rows;
}

}  // namespace

TEST(ResizeSolver, Layouts) {
    for (const Row& row : layoutRows()) {
        SCOPED_TRACE(row.name);
        std::vector<ControlRecord> s = snapshot(row.controls);
        EXPECT_EQ(solve(s, row.rules), Outcome::Solved);
        for (const Box& want : row.after) EXPECT_EQ(rectOf(byId(s, want.id)), str(want.r)) << "control " << want.id;
    }
}

// Sums beyond 32 bits fail the table instead of wrapping around.
TEST(ResizeSolver, CoordinatesBeyond32Bits) {
    const struct {
        const char* name;
        GTRESIZERULE rule;
        RECT client;
    } rows[] = {
        {"an edge", edge(GTRS_MOVE, GTRS_LEFT, 1, GTRS_RIGHT, GTRS_CLIENT, 1000), RECT{0, 0, INT_MAX - 10, 200}},
        {"a percentage", edge(GTRS_SIZE, GTRS_WIDTH, 1, GTRS_WIDTH, GTRS_CLIENT, 0, INT_MAX), kClient},
        {"a block's shift", block(GTRS_CENTER_HORZ, 1, 1, GTRS_EXTENT, GTRS_CLIENT, 1000),
         RECT{INT_MAX - 300, 0, INT_MAX - 100, 200}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<ControlRecord> s = snapshot({{1, {10, 10, 60, 40}}}, row.client);
        EXPECT_EQ(solve(s, {edge(GTRS_MOVE, GTRS_TOP, 1, GTRS_TOP, GTRS_CLIENT, 2), row.rule}), Outcome::OutOfRange);
    }
}

// Generated layouts and tables: when every value is set by at most one
// rule, each applied rule holds in the result; a cycle fails; controls no
// rule names keep their place.
namespace {

struct Generated {
    std::vector<ControlRecord> before;
    std::vector<GTRESIZERULE> rules;  // without the end rule
    std::vector<bool> named;          // by control index, client first
};

constexpr int kPartner[2][kAttrCount] = {
    {GTRS_WIDTH, GTRS_HEIGHT, GTRS_WIDTH, GTRS_HEIGHT, GTRS_RIGHT, GTRS_BOTTOM},
    {GTRS_RIGHT, GTRS_BOTTOM, GTRS_LEFT, GTRS_TOP, GTRS_LEFT, GTRS_TOP},
};

Generated generate(std::mt19937& rng, int spareControls) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Generated g;
    const int controls = pick(2, 12);
    g.before.push_back(recordOf(GTRS_CLIENT, RECT{0, 0, pick(50, 900), pick(50, 700)}));
    for (int id = 1; id <= controls + spareControls; ++id) {
        const int left = pick(-20, 600), top = pick(-20, 400);
        g.before.push_back(recordOf(id, RECT{left, top, left + pick(0, 120), top + pick(0, 60)}));
    }
    g.named.assign(g.before.size(), false);
    std::vector<std::array<bool, kAttrCount>> opened(g.before.size());
    const int wanted = pick(1, 2 * controls);
    for (int attempt = 0; attempt < 4 * wanted && int(g.rules.size()) < wanted; ++attempt) {
        const int type = pick(0, 9) == 0 ? pick(GTRS_CENTER_VERT, GTRS_CENTER_HORZ) : pick(GTRS_SIZE, GTRS_MOVE);
        const LONG refId = pick(0, controls) == 0 ? GTRS_CLIENT : pick(1, controls);
        const LONG offset = pick(-60, 60), percent = pick(-150, 150);
        if (type >= GTRS_CENTER_VERT) {
            const int first = pick(1, controls), last = std::min(controls, first + pick(0, 2));
            const int lo = type == GTRS_CENTER_HORZ ? GTRS_LEFT : GTRS_TOP;
            const int hi = type == GTRS_CENTER_HORZ ? GTRS_RIGHT : GTRS_BOTTOM;
            bool free = true;
            for (int id = first; id <= last; ++id) free = free && !opened[id][lo] && !opened[id][hi];
            if (!free) continue;
            for (int id = first; id <= last; ++id) opened[id][lo] = opened[id][hi] = g.named[id] = true;
            g.rules.push_back(GTRESIZERULE{type, 0, first, last, pick(0, 6), refId, percent, offset, 0, 0});
            continue;
        }
        const int target = pick(1, controls), attr = pick(0, 5), partner = kPartner[type][attr];
        if (opened[target][attr] || opened[target][partner]) continue;
        opened[target][attr] = opened[target][partner] = g.named[target] = true;
        g.rules.push_back(GTRESIZERULE{type, attr, target, 0, pick(0, 5), refId, percent, offset, 0, 0});
    }
    return g;
}

// What an applied size or move rule promises about the final layout.
int64_t promised(const std::vector<ControlRecord>& after, const GTRESIZERULE& rule) {
    const ControlRecord& ref = byId(after, rule.nRefId);
    int64_t v = ref.value[rule.nRefAttr];
    if (rule.nRefAttr == GTRS_WIDTH || rule.nRefAttr == GTRS_HEIGHT) v = v * rule.nPercent / 100;
    return v + rule.nOffsetPixels;
}

}  // namespace

TEST(ResizeSolver, GeneratedTables) {
    std::mt19937 rng(9);
    int solved = 0;
    for (int table = 0; table < 3000; ++table) {
        SCOPED_TRACE("table " + std::to_string(table));
        const Generated g = generate(rng, 0);
        std::vector<GTRESIZERULE> rules = g.rules;
        rules.push_back(kEndRule);
        std::vector<ControlRecord> after = g.before;
        if (solveLayout(after.data(), after.size(), rules.data(), kUnits) != Outcome::Solved) continue;
        ++solved;
        for (size_t i = 0; i < g.rules.size(); ++i) {
            if (rules[i].nType >= GTRS_CENTER_VERT) continue;
            EXPECT_EQ(byId(after, rules[i].nTargetId).value[rules[i].nTargetAttr], promised(after, rules[i]))
                << "rule " << i;
        }
        for (size_t i = 1; i < after.size(); ++i) {
            if (g.named[i]) continue;
            EXPECT_EQ(rectOf(after[i]), rectOf(g.before[i])) << "control " << after[i].id;
        }
    }
    EXPECT_GT(solved, 1000);
}

TEST(ResizeSolver, GeneratedTablesWithACycle) {
    std::mt19937 rng(16);
    for (int table = 0; table < 1000; ++table) {
        SCOPED_TRACE("table " + std::to_string(table));
        Generated g = generate(rng, 2);
        // Two controls no generated rule uses, each waiting for the other.
        const LONG a = LONG(g.before.size()) - 2, b = a + 1;
        g.rules.insert(g.rules.begin() + std::uniform_int_distribution<size_t>(0, g.rules.size())(rng),
                       edge(GTRS_MOVE, GTRS_TOP, a, GTRS_BOTTOM, b, 4));
        g.rules.push_back(edge(GTRS_SIZE, GTRS_BOTTOM, b, GTRS_TOP, a, 4));
        std::vector<ControlRecord> after = g.before;
        EXPECT_EQ(solve(after, g.rules), Outcome::Waiting);
    }
}
