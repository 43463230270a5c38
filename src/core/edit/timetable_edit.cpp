#include "edit/timetable_edit.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <utility>

#include "common/narrow.h"
#include "solver/slots.h"
#include "text/wording.h"
#include "verify/page_verdict.h"

namespace taktirio {

void ApplyChanges(ByteMatrix& timetable, std::span<const CellChange> changes) {
    for (const CellChange& change : changes) {
        timetable(AsIndex(change.class_section), AsIndex(change.slot)) = AsByte(change.after);
    }
}

void RevertChanges(ByteMatrix& timetable, std::span<const CellChange> changes) {
    for (const CellChange& change : changes) {
        timetable(AsIndex(change.class_section), AsIndex(change.slot)) = AsByte(change.before);
    }
}

std::optional<std::string> RequestProblem(const SolverInputs& inputs, const ByteMatrix& timetable,
                                          const MoveRequest& request) {
    const int c = request.class_section;
    if (c < 1 || c > inputs.number_of_classes || AsIndex(c) >= timetable.rows()) {
        return "Δεν υπάρχει τέτοιο τμήμα.";
    }
    if (!IsSlot(request.from_slot) || !IsSlot(request.to_slot)) {
        return "Η ημέρα πρέπει να είναι από 1 έως " + std::to_string(kDays) +
               " και η ώρα από 1 έως " + std::to_string(kMaxHoursPerDay) + ".";
    }
    const int from = timetable(AsIndex(c), AsIndex(request.from_slot));
    const int to = timetable(AsIndex(c), AsIndex(request.to_slot));
    if (from == 0) {
        return "Το τμήμα " + ClassName(inputs, c) + " δεν έχει μάθημα " +
               SlotName(request.from_slot) + ".";
    }
    if (request.from_slot == request.to_slot || from == to) {
        return "Το μάθημα του διδάσκοντα " + TeacherName(inputs, from) + " είναι ήδη " +
               SlotName(request.to_slot) + ".";
    }
    return std::nullopt;
}

// One exchange of rows a.. and b.. (height 1 or 2) through the class sections
// it reaches, made on a copy of the timetable.
struct TimetableEditor::Attempt {
    std::vector<CellChange> changes;
    bool beyond_reach = false;
};

TimetableEditor::TimetableEditor(const SolverInputs& inputs, const RunOptions& options,
                                 const RuleTables& rules, EditLimits limits)
    : inputs_(inputs),
      options_(options),
      rules_(rules),
      limits_(limits),
      people_(PeopleOfTeachers(inputs.teacher_names, inputs.number_of_teachers)) {
    const int teachers = inputs.number_of_teachers;
    const auto at = [teachers](int t, int u) { return AsIndex(t * (teachers + 1) + u); };
    conflict_.assign(AsIndex((teachers + 1) * (teachers + 1)), 0);
    for (int t = 1; t <= teachers; ++t) {
        for (int u = 1; u <= teachers; ++u) {
            bool shared = t == u;
            for (const std::uint16_t p : people_.of_teacher[AsIndex(t)]) {
                for (const std::uint16_t q : people_.of_teacher[AsIndex(u)]) {
                    shared = shared || (p != 0 && p == q);
                }
            }
            conflict_[at(t, u)] = shared ? 1 : 0;
        }
    }
    for (int k = 0; k < rules.same_hour_count; ++k) {
        const int t = rules.same_hour_pairs[AsIndex(2 * k)];
        const int u = rules.same_hour_pairs[AsIndex(2 * k + 1)];
        if (t >= 1 && t <= teachers && u >= 1 && u <= teachers) {
            conflict_[at(t, u)] = 1;
            conflict_[at(u, t)] = 1;
        }
    }
}

bool TimetableEditor::Conflict(int t, int u) const {
    const int teachers = inputs_.number_of_teachers;
    return conflict_[AsIndex(t * (teachers + 1) + u)] != 0;
}

bool TimetableEditor::Joint(int x, int y, int t) const {
    for (int k = 1; k <= rules_.joint_count; ++k) {
        const int first = rules_.joint_lessons[AsIndex(3 * k)];
        const int second = rules_.joint_lessons[AsIndex(3 * k + 1)];
        if (rules_.joint_lessons[AsIndex(3 * k + 2)] == t &&
            ((first == x && second == y) || (first == y && second == x))) {
            return true;
        }
    }
    return false;
}

// The chain: class sections join while a lesson arriving at a slot meets a
// lesson it cannot share that slot with, or leaves a joint partner behind.
TimetableEditor::Attempt TimetableEditor::Exchange(const ByteMatrix& timetable, int class_section,
                                                   int a, int b, int height) const {
    const int classes = inputs_.number_of_classes;
    const auto cell = [&timetable](int c, int s) { return timetable(AsIndex(c), AsIndex(s)); };
    std::vector<int> chain{class_section};
    std::vector<char> in_chain(AsIndex(classes) + 1, 0);
    in_chain[AsIndex(class_section)] = 1;
    Attempt attempt;
    const auto join = [&](int y) {
        if (in_chain[AsIndex(y)] != 0) {
            return;
        }
        if (static_cast<int>(chain.size()) >= limits_.most_classes) {
            attempt.beyond_reach = true;
            return;
        }
        in_chain[AsIndex(y)] = 1;
        chain.push_back(y);
    };
    for (std::size_t k = 0; k < chain.size(); ++k) {
        const int x = chain[k];
        for (int i = 0; i < height; ++i) {
            const int rows[2] = {a + kDays * i, b + kDays * i};
            for (int side = 0; side < 2; ++side) {
                const int here = rows[side];
                const int there = rows[1 - side];
                const int t = cell(x, here);
                if (t == 0) {
                    continue;
                }
                for (int y = 1; y <= classes; ++y) {
                    if (in_chain[AsIndex(y)] != 0) {
                        continue;
                    }
                    const int u = cell(y, there);
                    const bool meets = u != 0 && Conflict(t, u) && !(u == t && Joint(x, y, t));
                    const bool partner = cell(y, here) == t && Joint(x, y, t);
                    if (meets || partner) {
                        join(y);
                    }
                }
            }
        }
    }
    std::sort(chain.begin(), chain.end());
    for (const int x : chain) {
        for (int i = 0; i < height; ++i) {
            const int sa = a + kDays * i;
            const int sb = b + kDays * i;
            const int ta = cell(x, sa);
            const int tb = cell(x, sb);
            if (ta != tb) {
                attempt.changes.push_back(
                    {x, std::min(sa, sb), sa < sb ? ta : tb, sa < sb ? tb : ta});
                attempt.changes.push_back(
                    {x, std::max(sa, sb), sa < sb ? tb : ta, sa < sb ? ta : tb});
            }
        }
    }
    std::sort(attempt.changes.begin(), attempt.changes.end(),
              [](const CellChange& l, const CellChange& r) {
                  return std::pair(l.class_section, l.slot) < std::pair(r.class_section, r.slot);
              });
    return attempt;
}

std::vector<Violation> TimetableEditor::Judge(const ByteMatrix& timetable) const {
    return JudgePageTimetable(inputs_, options_, rules_, timetable);
}

MoveProposal TimetableEditor::Propose(const ByteMatrix& timetable,
                                      const MoveRequest& request) const {
    if (const auto problem = RequestProblem(inputs_, timetable, request)) {
        throw std::invalid_argument(*problem);
    }
    const int c = request.class_section;
    const int from = request.from_slot;
    const int to = request.to_slot;
    // The moving hour alone, then with the hour below it, then with the hour
    // above it, each landing where it was asked to go.
    struct Shape {
        int a, b, height;
    };
    std::vector<Shape> shapes{{from, to, 1}};
    if (std::abs(from - to) != kDays) {
        if (from + kDays <= kSlots && to + kDays <= kSlots) {
            shapes.push_back({from, to, 2});
        }
        if (from - kDays >= 1 && to - kDays >= 1) {
            shapes.push_back({from - kDays, to - kDays, 2});
        }
    }
    std::optional<MoveProposal> best;
    std::optional<MoveProposal> closest;
    ByteMatrix trial = timetable;
    for (const Shape& shape : shapes) {
        Attempt attempt = Exchange(timetable, c, shape.a, shape.b, shape.height);
        ApplyChanges(trial, attempt.changes);
        std::vector<Violation> broken = Judge(trial);
        RevertChanges(trial, attempt.changes);
        MoveProposal proposal;
        proposal.changes = std::move(attempt.changes);
        proposal.beyond_reach = attempt.beyond_reach;
        if (broken.empty() && !attempt.beyond_reach) {
            proposal.keeps_rules = true;
            if (!best || proposal.changes.size() < best->changes.size()) {
                best = std::move(proposal);
            }
            continue;
        }
        proposal.blocking = std::move(broken);
        if (!closest || proposal.blocking.size() < closest->blocking.size()) {
            closest = std::move(proposal);
        }
    }
    MoveProposal chosen = best ? std::move(*best) : std::move(*closest);
    CountGapChanges(timetable, chosen);
    return chosen;
}

void TimetableEditor::CountGapChanges(const ByteMatrix& before, MoveProposal& proposal) const {
    ByteMatrix after = before;
    ApplyChanges(after, proposal.changes);
    const int classes = inputs_.number_of_classes;
    const GapCount old_gaps = CountGaps(before, classes, people_);
    const GapCount new_gaps = CountGaps(after, classes, people_);
    proposal.gaps_before = old_gaps.summary;
    proposal.gaps_after = new_gaps.summary;
    std::set<int> persons;
    for (const CellChange& change : proposal.changes) {
        for (const int t : {change.before, change.after}) {
            if (t == 0) {
                continue;
            }
            for (const std::uint16_t p : people_.of_teacher[AsIndex(t)]) {
                if (p != 0) {
                    persons.insert(p);
                }
            }
        }
    }
    for (const int p : persons) {
        proposal.gaps.push_back({p, old_gaps.per_week[AsIndex(p)], new_gaps.per_week[AsIndex(p)]});
    }
}

}  // namespace taktirio
