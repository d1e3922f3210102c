#include "window/resizesolver.h"

#include <algorithm>
#include <cstdint>

namespace gt::win {

namespace {

constexpr int kLeft = GTRS_LEFT;
constexpr int kTop = GTRS_TOP;
constexpr int kRight = GTRS_RIGHT;
constexpr int kBottom = GTRS_BOTTOM;
constexpr int kWidth = GTRS_WIDTH;
constexpr int kHeight = GTRS_HEIGHT;

// What gives way when a rule opens its target value.  A size keeps the left
// or top edge; a move of an edge keeps the size; a move of a size keeps the
// right or bottom edge (the vertical row mirrors the horizontal one).
constexpr int kSizePartner[kAttrCount] = {kWidth, kHeight, kWidth, kHeight, kRight, kBottom};
constexpr int kMovePartner[kAttrCount] = {kRight, kBottom, kLeft, kTop, kLeft, kTop};

bool fits(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }
bool inRange(LONG v, LONG lo, LONG hi) { return v >= lo && v <= hi; }
bool isHorizontal(LONG attr) { return attr == kLeft || attr == kRight || attr == kWidth; }
bool isEdgeRule(const GTRESIZERULE& r) { return r.nType == GTRS_SIZE || r.nType == GTRS_MOVE; }

bool isValid(const GTRESIZERULE& r) {
    if (isEdgeRule(r)) return inRange(r.nTargetAttr, kLeft, kHeight) && inRange(r.nRefAttr, kLeft, kHeight);
    if (r.nType == GTRS_CENTER_VERT || r.nType == GTRS_CENTER_HORZ) return inRange(r.nRefAttr, kLeft, GTRS_EXTENT);
    return false;
}

bool ruleIsHorizontal(const GTRESIZERULE& r) {
    if (r.nType == GTRS_CENTER_HORZ) return true;
    if (r.nType == GTRS_CENTER_VERT) return false;
    return isHorizontal(r.nTargetAttr);
}

// result = a + sign * b, when result is open and both inputs are settled.
bool deriveStep(ControlRecord& r, int result, int a, int b, int sign) {
    if (r.settled[result] || !r.settled[a] || !r.settled[b]) return true;
    const int64_t v = int64_t(r.value[a]) + sign * int64_t(r.value[b]);
    if (!fits(v)) return false;
    r.value[result] = LONG(v);
    r.settled[result] = true;
    return true;
}

class Solver {
public:
    Solver(ControlRecord* records, size_t count, GTRESIZERULE* rules, const BaseUnits& units)
        : records_(records), count_(count), rules_(rules), units_(units) {
        while (rules_[ruleCount_].nType != GTRS_END) ++ruleCount_;
    }

    Outcome run() {
        if (!convertOffsets()) return Outcome::OutOfRange;
        for (size_t i = 0; i < ruleCount_; ++i)
            if (!isValid(rules_[i])) return Outcome::BadRule;
        open();
        for (bool progress = true; progress;) {
            progress = false;
            for (size_t i = 0; i < ruleCount_; ++i) {
                GTRESIZERULE& rule = rules_[i];
                if (rule.bDone) continue;
                if (apply(rule)) {
                    rule.bDone = 1;
                    progress = true;
                }
                if (overflow_) return Outcome::OutOfRange;
            }
        }
        return verdict();
    }

private:
    // The first record with this id; the client area is records_[0].
    ControlRecord* find(LONG id) const {
        for (size_t i = 0; i < count_; ++i)
            if (records_[i].id == id) return &records_[i];
        return nullptr;
    }

    // Children only: the client area is never a block member.
    template <typename F>
    void forEachMember(const GTRESIZERULE& rule, F f) const {
        for (size_t i = 1; i < count_; ++i)
            if (inRange(records_[i].id, rule.nTargetId, rule.nLastId)) f(records_[i]);
    }

    bool convertOffsets() {
        bool ok = true;
        for (size_t i = 0; i < ruleCount_; ++i) {
            GTRESIZERULE& rule = rules_[i];
            const bool horizontal = ruleIsHorizontal(rule);
            const int64_t px = dialogToPixels(rule.nOffset, horizontal ? units_.x : units_.y,
                                              horizontal ? kUnitsPerBaseX : kUnitsPerBaseY, units_.rounded);
            rule.bDone = 0;
            rule.nOffsetPixels = fits(px) ? LONG(px) : 0;
            ok = ok && fits(px);
        }
        return ok;
    }

    // Opens every value that a rule will set, so that rules reading it wait.
    // A missing target ends the opening; the table can then not be solved.
    void open() {
        for (size_t i = 0; i < ruleCount_; ++i) {
            const GTRESIZERULE& rule = rules_[i];
            if (isEdgeRule(rule)) {
                ControlRecord* target = find(rule.nTargetId);
                if (!target) return;
                const int partner = (rule.nType == GTRS_SIZE ? kSizePartner : kMovePartner)[rule.nTargetAttr];
                target->touched = true;
                target->settled[rule.nTargetAttr] = false;
                target->settled[partner] = false;
            } else {
                const bool horizontal = rule.nType == GTRS_CENTER_HORZ;
                forEachMember(rule, [horizontal](ControlRecord& m) {
                    m.touched = true;
                    m.settled[horizontal ? kLeft : kTop] = false;
                    m.settled[horizontal ? kRight : kBottom] = false;
                });
            }
        }
    }

    static bool ready(const ControlRecord& ref, const GTRESIZERULE& rule) {
        if (rule.nRefAttr != GTRS_EXTENT) return ref.settled[rule.nRefAttr];
        if (rule.nType == GTRS_CENTER_HORZ) return ref.settled[kLeft] && ref.settled[kRight];
        return ref.settled[kTop] && ref.settled[kBottom];
    }

    // The reference with a size attribute scaled by the percentage.
    bool scaledCopy(const ControlRecord& ref, const GTRESIZERULE& rule, ControlRecord& copy) {
        copy = ref;
        if (rule.nRefAttr != kWidth && rule.nRefAttr != kHeight) return true;
        const int64_t scaled = int64_t(copy.value[rule.nRefAttr]) * rule.nPercent / 100;
        if (!fits(scaled)) return fail();
        copy.value[rule.nRefAttr] = LONG(scaled);
        return derive(copy) || fail();
    }

    bool apply(const GTRESIZERULE& rule) {
        const ControlRecord* ref = find(rule.nRefId);
        if (!ref || !ready(*ref, rule)) return false;
        ControlRecord copy;
        if (!scaledCopy(*ref, rule, copy)) return false;
        return isEdgeRule(rule) ? applyEdge(rule, copy) : applyBlock(rule, copy);
    }

    bool applyEdge(const GTRESIZERULE& rule, const ControlRecord& ref) {
        ControlRecord* target = find(rule.nTargetId);
        if (!target) return false;
        const int64_t v = int64_t(ref.value[rule.nRefAttr]) + rule.nOffsetPixels;
        if (!fits(v)) return fail();
        target->value[rule.nTargetAttr] = LONG(v);
        target->settled[rule.nTargetAttr] = true;
        return derive(*target) || fail();
    }

    // Centres the members' united rectangle on the reference's span (as the
    // layout stands now), then shifts it by the offset.  Along the axis a
    // member reaches from its near edge over its size, which another rule may
    // have set since the snapshot.
    bool applyBlock(const GTRESIZERULE& rule, const ControlRecord& ref) {
        const bool horizontal = rule.nType == GTRS_CENTER_HORZ;
        const int lo = horizontal ? kLeft : kTop;
        const int hi = horizontal ? kRight : kBottom;
        const int along = horizontal ? kWidth : kHeight;
        const int across = horizontal ? kHeight : kWidth;
        bool sizesFinal = true;
        forEachMember(rule, [&](const ControlRecord& m) { sizesFinal = sizesFinal && m.settled[along]; });
        if (!sizesFinal) return false;

        // United like UnionRect: empty rectangles add nothing.
        bool any = false;
        int64_t start = 0, end = 0;
        forEachMember(rule, [&](const ControlRecord& m) {
            if (m.value[along] <= 0 || m.value[across] <= 0) return;
            const int64_t mEnd = int64_t(m.value[lo]) + m.value[along];
            start = any ? std::min<int64_t>(start, m.value[lo]) : m.value[lo];
            end = any ? std::max<int64_t>(end, mEnd) : mEnd;
            any = true;
        });
        const int64_t newStart = int64_t(ref.value[lo]) + (int64_t(ref.value[along]) + (start - end)) / 2;
        const int64_t shift = newStart - start + rule.nOffsetPixels;

        bool ok = true;
        forEachMember(rule, [&](ControlRecord& m) {
            const int64_t a = m.value[lo] + shift, b = a + m.value[along];
            if (!fits(a) || !fits(b)) {
                ok = false;
                return;
            }
            m.value[lo] = LONG(a);
            m.value[hi] = LONG(b);
            m.settled[lo] = m.settled[hi] = true;
        });
        return ok || fail();
    }

    bool fail() {
        overflow_ = true;
        return false;
    }

    Outcome verdict() const {
        bool waiting = false;
        for (size_t i = 0; i < ruleCount_; ++i) {
            const GTRESIZERULE& rule = rules_[i];
            if (rule.bDone) continue;
            if (!find(rule.nRefId) || (isEdgeRule(rule) && !find(rule.nTargetId))) return Outcome::MissingControl;
            waiting = true;
        }
        return waiting ? Outcome::Waiting : Outcome::Solved;
    }

    ControlRecord* records_;
    size_t count_;
    GTRESIZERULE* rules_;
    size_t ruleCount_ = 0;
    BaseUnits units_;
    bool overflow_ = false;
};

}  // namespace

ControlRecord recordOf(LONG id, const RECT& r, HWND window) {
    ControlRecord c{};
    c.id = id;
    c.window = window;
    c.value[kLeft] = r.left;
    c.value[kTop] = r.top;
    c.value[kRight] = r.right;
    c.value[kBottom] = r.bottom;
    c.settled[kLeft] = c.settled[kTop] = c.settled[kRight] = c.settled[kBottom] = true;
    derive(c);
    return c;
}

bool derive(ControlRecord& r) {
    return deriveStep(r, kLeft, kRight, kWidth, -1) && deriveStep(r, kTop, kBottom, kHeight, -1) &&
           deriveStep(r, kRight, kLeft, kWidth, +1) && deriveStep(r, kBottom, kTop, kHeight, +1) &&
           deriveStep(r, kWidth, kRight, kLeft, -1) && deriveStep(r, kHeight, kBottom, kTop, -1);
}

int64_t dialogToPixels(LONG units, LONG base, LONG per, bool rounded) {
    const int64_t n = int64_t(units) * base;
    if (!rounded) return n / per;
    return (n >= 0 ? n + per / 2 : n - per / 2) / per;
}

LONG averageLetterWidth(LONG extentOf52) {
    return LONG((DWORD(extentOf52) / 26 + 1) / 2);
}

Outcome solveLayout(ControlRecord* records, size_t count, GTRESIZERULE* rules, const BaseUnits& units) {
    return Solver(records, count, rules, units).run();
}

}  // namespace gt::win
