#include "core/edit/timetable_edit.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <utility>

#include "core/common/narrow.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"
#include "core/verify/page_verdict.h"

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
    for (const SameHourPair& pair : rules.SameHourPairs()) {
        const int t = pair.first;
        const int u = pair.second;
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
    const auto joint = rules_.JointLessons();
    return std::any_of(joint.begin(), joint.end(),
                       [&](const JointLesson& entry) { return entry.Joins(x, y, t); });
}

// Slots of a class section moved round: the lesson of rows[i] goes to
// rows[i + 1], the last to the first; with height 2 each row is two hours of
// one day, moving together.
struct TimetableEditor::Shape {
    std::vector<int> rows;
    int height = 1;
};

// The chain: class sections join while a lesson arriving at a slot meets a
// lesson it cannot share that slot with, or leaves a joint partner behind.
// Every class section of the chain moves the same slots the same way, so
// that two lessons of the chain never meet where they did not meet before.
TimetableEditor::Attempt TimetableEditor::Exchange(const ByteMatrix& timetable, int class_section,
                                                   const Shape& shape) const {
    const int classes = inputs_.number_of_classes;
    const auto cell = [&timetable](int c, int s) { return timetable(AsIndex(c), AsIndex(s)); };
    const std::size_t count = shape.rows.size();
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
        for (std::size_t i = 0; i < count; ++i) {
            for (int j = 0; j < shape.height; ++j) {
                const int here = shape.rows[i] + kDays * j;
                const int there = shape.rows[(i + 1) % count] + kDays * j;
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
        std::vector<CellChange> moved;
        for (std::size_t i = 0; i < count; ++i) {
            for (int j = 0; j < shape.height; ++j) {
                const int here = shape.rows[i] + kDays * j;
                const int there = shape.rows[(i + 1) % count] + kDays * j;
                if (cell(x, here) != cell(x, there)) {
                    moved.push_back({x, there, cell(x, there), cell(x, here)});
                }
            }
        }
        std::sort(moved.begin(), moved.end(),
                  [](const CellChange& l, const CellChange& r) { return l.slot < r.slot; });
        attempt.changes.insert(attempt.changes.end(), moved.begin(), moved.end());
    }
    return attempt;
}

// A timetable changed by hand is judged by the finished reading alone, the
// one that does not depend on the order the search filled the cells in; the
// reading as searched as well only when the unchanged timetable needs it.
std::vector<Violation> TimetableEditor::JudgeCandidate(const ByteMatrix& timetable,
                                                       bool finished_reading_holds) const {
    if (finished_reading_holds) {
        return VerifyTimetable(inputs_, options_, rules_, timetable, VerifyMode::kFinished);
    }
    return BrokenInBothReadings(inputs_, options_, rules_, timetable);
}

// The plain exchanges first: the lesson alone, then with the hour below it,
// then with the hour above it, each landing where it was asked to go; then
// the rotations through a third slot of the class section.
std::vector<TimetableEditor::Shape> TimetableEditor::Shapes(const ByteMatrix& timetable,
                                                            const MoveRequest& request) const {
    const int c = request.class_section;
    const int from = request.from_slot;
    const int to = request.to_slot;
    const int moving = timetable(AsIndex(c), AsIndex(from));
    const auto fits = [](const std::vector<int>& rows, int height) {
        std::vector<int> slots;
        for (const int r : rows) {
            for (int j = 0; j < height; ++j) {
                const int s = r + kDays * j;
                if (s < 1 || s > kSlots) {
                    return false;
                }
                slots.push_back(s);
            }
        }
        std::sort(slots.begin(), slots.end());
        return std::adjacent_find(slots.begin(), slots.end()) == slots.end();
    };
    const std::vector<std::pair<int, int>> starts = {
        {0, 1}, {0, 2}, {-kDays, 2}};  // offset of the first row, height
    std::vector<Shape> shapes;
    for (const auto& [offset, height] : starts) {
        std::vector<int> rows{from + offset, to + offset};
        if (fits(rows, height)) {
            shapes.push_back({rows, height});
        }
    }
    for (const auto& [offset, height] : starts) {
        for (int e = 1; e <= kSlots; ++e) {
            std::vector<int> rows{from + offset, to + offset, e};
            // A third slot whose hour would come to `from` with the same
            // teacher moves another hour of that teacher instead, and the
            // asked lesson stays: not what was asked.
            const int incoming = e - offset;
            const bool stands_in = incoming >= 1 && incoming <= kSlots &&
                                   timetable(AsIndex(c), AsIndex(incoming)) == moving;
            if (timetable(AsIndex(c), AsIndex(e)) != 0 && !stands_in && fits(rows, height)) {
                shapes.push_back({rows, height});
            }
        }
    }
    return shapes;
}

namespace {

// "την Παρασκευή 1η ώρα", "τη Δευτέρα 1η ώρα": the article as the day's
// first letter asks.
std::string OnSlot(int slot) {
    return (DayOfSlot(slot) == 1 ? "τη " : "την ") + SlotName(slot);
}

}  // namespace

std::vector<std::string> TimetableEditor::InTheWay(const ByteMatrix& timetable,
                                                   const MoveProposal& proposal) const {
    std::vector<std::string> lines;
    const auto moved_at = [&proposal](int c, int s) {
        return std::any_of(
            proposal.changes.begin(), proposal.changes.end(),
            [c, s](const CellChange& x) { return x.class_section == c && x.slot == s; });
    };
    const auto add = [&lines](const std::string& line) {
        if (std::find(lines.begin(), lines.end(), line) == lines.end()) {
            lines.push_back(line);
        }
    };
    for (const Violation& v : proposal.blocking) {
        if (v.rule == VerifyRule::kPinned && IsSlot(v.slot) && v.class_section >= 1 &&
            v.class_section <= inputs_.number_of_classes) {
            add("στο " + ClassName(inputs_, v.class_section) + " " + OnSlot(v.slot) +
                " είναι καρφωμένο το μάθημα του " + TeacherName(inputs_, v.teacher) +
                ", που δεν μετακινείται");
            continue;
        }
        if ((v.rule != VerifyRule::kTeacherClash && v.rule != VerifyRule::kSameHour) ||
            !IsSlot(v.slot)) {
            continue;
        }
        // A lesson the exchange brings to that hour meets one that stays
        // there: the one that stays is what stands in the way.
        for (const CellChange& brought : proposal.changes) {
            const int m = brought.after;
            if (brought.slot != v.slot || m == 0) {
                continue;
            }
            for (int i = 1; i <= inputs_.number_of_classes; ++i) {
                const int u = timetable(AsIndex(i), AsIndex(v.slot));
                if (u == 0 || moved_at(i, v.slot) || (u != m && !Conflict(m, u)) ||
                    (u == m && Joint(brought.class_section, i, u))) {
                    continue;
                }
                add("ο " + TeacherName(inputs_, u) + " διδάσκει ήδη στο " + ClassName(inputs_, i) +
                    " " + OnSlot(v.slot));
            }
        }
    }
    return lines;
}

MoveProposal TimetableEditor::Propose(const ByteMatrix& timetable,
                                      const MoveRequest& request) const {
    if (const auto problem = RequestProblem(inputs_, timetable, request)) {
        throw std::invalid_argument(*problem);
    }
    const bool finished_reading_holds =
        VerifyTimetable(inputs_, options_, rules_, timetable, VerifyMode::kFinished).empty();
    const std::vector<Shape> shapes = Shapes(timetable, request);
    std::vector<Attempt> attempts;
    attempts.reserve(shapes.size());
    for (const Shape& shape : shapes) {
        attempts.push_back(Exchange(timetable, request.class_section, shape));
    }
    // The smallest exchanges are judged first; the first that keeps every
    // rule is the answer.
    std::vector<std::size_t> order(attempts.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&attempts](std::size_t l, std::size_t r) {
        return attempts[l].changes.size() < attempts[r].changes.size();
    });
    ByteMatrix trial = timetable;
    std::vector<std::optional<std::vector<Violation>>> judged(attempts.size());
    const auto judge = [&](std::size_t i) -> const std::vector<Violation>& {
        if (!judged[i]) {
            ApplyChanges(trial, attempts[i].changes);
            judged[i] = JudgeCandidate(trial, finished_reading_holds);
            RevertChanges(trial, attempts[i].changes);
        }
        return *judged[i];
    };
    MoveProposal proposal;
    for (const std::size_t i : order) {
        if (!attempts[i].beyond_reach && !attempts[i].changes.empty() && judge(i).empty()) {
            proposal.keeps_rules = true;
            proposal.changes = std::move(attempts[i].changes);
            CountGapChanges(timetable, proposal);
            return proposal;
        }
    }
    // Refused: the plain exchange that comes closest says why.
    std::optional<std::size_t> closest;
    for (std::size_t i = 0; i < shapes.size() && shapes[i].rows.size() == 2; ++i) {
        if (!closest || judge(i).size() < judge(*closest).size()) {
            closest = i;
        }
    }
    proposal.changes = std::move(attempts[*closest].changes);
    proposal.blocking = judge(*closest);
    proposal.beyond_reach = attempts[*closest].beyond_reach;
    CountGapChanges(timetable, proposal);
    return proposal;
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
