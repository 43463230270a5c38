// The timetable as clauses, rule by rule as the verifier's finished reading
// judges a timetable (src/core/verify/finished_rules.cpp and the common part
// of timetable_verifier.cpp):
//   - a cell holds at most one teacher; every hour position of a class
//     section holds one; pinned lessons are fixed; outside the positions a
//     cell holds only the copy of a joint lesson of an earlier class section;
//   - each teacher's weekly hours in each class section, exactly;
//   - a joint lesson once a day in each of its class sections, and at the
//     same slot in the partner the verifier matches it with;
//   - no teacher in two class sections at one slot but joint partners;
//     refused slots; couples never at the same hour; split lessons never on
//     one day; the hours a day in one class section (the rule index's
//     allowance);
//   - the searched hours of a teacher in a class section read as the
//     two-hour lessons owed, each two consecutive hours of one day, with
//     every one-hour lesson left valid (spread over days, no single-hour
//     runs);
//   - with the options, counted for each person over every row that holds
//     them (a single teacher, the pairs they are in), a lesson given to two
//     class sections at once being one hour: last-hour lessons a week, hours
//     taught a day (pinned ones included), no five hours in a row.
// Where the reading judges only searched cells, the clauses hold for pinned
// and copied cells too, except between two pinned cells; a school whose
// pinned lessons alone break a rule is left to the checks before a search.
#include "exact/timetable_encoding.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "common/narrow.h"
#include "solver/slots.h"
#include "text/wording.h"

namespace taktirio::exact {

namespace {

constexpr std::size_t kColumns = kSlotColumns;

std::size_t At(int c, int s) {
    return AsIndex(c) * kColumns + AsIndex(s);
}

// A clause under construction: a literal 0 stands for a cell a teacher can
// never hold, so a negated one satisfies the clause and a plain one drops.
class Clause {
  public:
    Clause& Pos(int literal) {
        if (literal != 0) {
            literals_.push_back(literal);
        }
        return *this;
    }
    Clause& Neg(int literal) {
        if (literal == 0) {
            satisfied_ = true;
        } else {
            literals_.push_back(-literal);
        }
        return *this;
    }
    Clause& Guard(int group) {
        if (group != 0) {
            literals_.push_back(-group);
        }
        return *this;
    }
    void To(ClauseSink& sink) const {
        if (!satisfied_) {
            sink.AddClause(literals_);
        }
    }

  private:
    std::vector<int> literals_;
    bool satisfied_ = false;
};

}  // namespace

class TimetableEncoding::Writer {
  public:
    Writer(TimetableEncoding& encoding, ClauseSink& sink)
        : e_(encoding),
          in_(encoding.in_),
          rules_(encoding.rules_),
          options_(encoding.options_),
          index_(encoding.index_),
          sink_(sink),
          C(in_.number_of_classes),
          T(in_.number_of_teachers) {}

    void Run() {
        true_ = sink_.NewVariable();
        sink_.Add({true_});
        Positions();
        MakeGroups();
        MakeCells();
        CellRules();
        Hours();
        JointRules();
        SearchedCells();
        Clashes();
        DeniedSlots();
        SameHours();
        Splits();
        ClassDays();
        if (options_.last_hours_limit_on) {
            LastHours();
        }
        if (options_.day_hours_limit_on) {
            DayHours();
        }
        if (options_.four_hour_run_limit_on) {
            FiveInARow();
        }
        Lessons();
    }

  private:
    // --- the school's shape ----------------------------------------------------

    void Positions() {
        on_position_.assign(AsIndex(C) + 1, std::vector<bool>(kColumns, false));
        for (int c = 1; c <= C; ++c) {
            for (int k = 1; k <= in_.class_hours[AsIndex(c)] && k <= kSlots; ++k) {
                if (const int s = index_.position_slot[AsIndex(k)]; s != 0) {
                    on_position_[AsIndex(c)][AsIndex(s)] = true;
                }
            }
        }
    }

    int HoursAll(int t, int c) const {
        return rules_.teacher_class_hours_all(AsIndex(t), AsIndex(c));
    }
    int Pinned(int c, int s) const { return in_.pinned_lessons(AsIndex(c), AsIndex(s)); }
    int JointRange(int c) const {
        return rules_.HasEighthHours() ? kSlots
                                       : std::min<int>(in_.class_hours[AsIndex(c)], kSlots);
    }

    // The group literal of the first joint entry of t between c and i; 0 when
    // they are not joint partners for t.
    int JointGroup(int c, int i, int t) const {
        const auto joints = rules_.JointLessons();
        for (std::size_t k = 0; k < joints.size(); ++k) {
            if (joints[k].Joins(c, i, t)) {
                return joint_group_[k];
            }
        }
        return 0;
    }

    // The earlier partners whose lesson of j at s would be copied into c.
    std::vector<int> CopySources(int c, int s, int j) const {
        std::vector<int> sources;
        for (const JointLesson& joint : rules_.JointLessons()) {
            if (joint.teacher != j) {
                continue;
            }
            const int other = joint.PartnerOf(c);
            if (other != 0 && other < c && s <= JointRange(other) &&
                std::find(sources.begin(), sources.end(), other) == sources.end()) {
                sources.push_back(other);
            }
        }
        return sources;
    }

    // --- groups ------------------------------------------------------------------

    int NewGroup(RuleGroup group) {
        group.literal = sink_.NewVariable();
        e_.groups_.push_back(group);
        return group.literal;
    }

    void MakeGroups() {
        using Kind = RuleGroup::Kind;
        if (options_.max_class_hours_per_day == 2) {
            day_allowance_ = NewGroup({Kind::kDayAllowance});
        }
        if (options_.last_hours_limit_on) {
            last_hours_ = NewGroup({Kind::kLastHours});
        }
        if (options_.day_hours_limit_on) {
            day_hours_ = NewGroup({Kind::kDayHours});
        }
        if (options_.no_single_hour_runs) {
            single_runs_ = NewGroup({Kind::kSingleRuns});
        }
        if (options_.four_hour_run_limit_on) {
            five_in_a_row_ = NewGroup({Kind::kFiveInARow});
        }
        absent_group_.assign(AsIndex(T) + 1, 0);
        free_group_.assign(AsIndex(T) + 1, 0);
        for (const DeniedSlot& entry : rules_.DeniedSlots()) {
            denied_.insert({entry.teacher, entry.slot});
        }
        for (const auto& [t, s] : denied_) {
            if (!MembersDenying(t, s).empty()) {
                continue;  // held under the member's own entry
            }
            std::vector<int>& group = AbsentDay(t, DayOfSlot(s)) ? absent_group_ : free_group_;
            if (group[AsIndex(t)] == 0) {
                group[AsIndex(t)] = NewGroup(
                    {&group == &absent_group_ ? Kind::kAbsentDays : Kind::kFreeHours, 0, t});
            }
        }
        apart_group_.clear();
        for (const SameHourPair& pair : rules_.SameHourPairs()) {
            apart_group_.push_back(NewGroup({Kind::kApart, 0, pair.first, pair.second}));
        }
        joint_group_.clear();
        for (const JointLesson& joint : rules_.JointLessons()) {
            joint_group_.push_back(
                NewGroup({Kind::kJoint, 0, joint.teacher, 0, joint.class1, joint.class2}));
        }
        split_group_.clear();
        for (const SplitLesson& split : rules_.Splits()) {
            split_group_.push_back(
                NewGroup({Kind::kSplit, 0, split.first, split.second, split.class_section}));
        }
    }

    // Every slot of the day refused: the day is an absent day of the teacher.
    bool AbsentDay(int t, int d) const {
        for (int s = d; s <= kSlots; s += kDays) {
            if (!denied_.contains({t, s})) {
                return false;
            }
        }
        return true;
    }

    // --- cells -------------------------------------------------------------------

    void MakeCells() {
        e_.cells_.assign((AsIndex(C) + 1) * kColumns, {});
        for (int c = 1; c <= C; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                auto& cell = e_.cells_[At(c, s)];
                if (const int p = Pinned(c, s); p != 0) {
                    cell.push_back({p, true_});
                    continue;
                }
                for (int t = 1; t <= T; ++t) {
                    if (HoursAll(t, c) == 0) {
                        continue;
                    }
                    if (on_position_[AsIndex(c)][AsIndex(s)] || !CopySources(c, s, t).empty()) {
                        cell.push_back({t, sink_.NewVariable()});
                    }
                }
            }
        }
    }

    int X(int c, int s, int t) const { return e_.CellLiteral(c, s, t); }
    bool IsPinned(int c, int s) const { return Pinned(c, s) != 0; }

    void CellRules() {
        for (int c = 1; c <= C; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                if (IsPinned(c, s)) {
                    continue;
                }
                std::vector<int> literals;
                for (const auto& [t, literal] : e_.cells_[At(c, s)]) {
                    literals.push_back(literal);
                    if (!on_position_[AsIndex(c)][AsIndex(s)]) {
                        Clause copied;  // outside the positions only as a copy
                        copied.Neg(literal);
                        for (const int source : CopySources(c, s, t)) {
                            copied.Pos(X(source, s, t));
                        }
                        copied.To(sink_);
                    }
                }
                AtMostOne(sink_, literals);
                if (on_position_[AsIndex(c)][AsIndex(s)]) {
                    sink_.AddClause(literals);  // empty: a position no teacher can fill
                }
            }
        }
    }

    std::vector<int> LiteralsOf(int c, int t, int day = 0) const {
        std::vector<int> literals;
        for (int s = day == 0 ? 1 : day; s <= kSlots; s += day == 0 ? 1 : kDays) {
            if (const int x = X(c, s, t); x != 0) {
                literals.push_back(x);
            }
        }
        return literals;
    }

    void Hours() {
        for (int c = 1; c <= C; ++c) {
            for (int t = 1; t <= T; ++t) {
                const int hours = HoursAll(t, c);
                if (hours == 0) {
                    continue;
                }
                const Totalizer sum(sink_, LiteralsOf(c, t), hours + 1);
                sum.AtMost(sink_, hours);
                sum.AtLeastBound(sink_, hours);
            }
        }
    }

    // --- joint lessons ---------------------------------------------------------

    void JointRules() {
        std::set<std::pair<int, int>> once;
        const auto joints = rules_.JointLessons();
        for (std::size_t k = 0; k < joints.size(); ++k) {
            const JointLesson& joint = joints[k];
            const int j = joint.teacher;
            for (const int c : {int{joint.class1}, int{joint.class2}}) {
                if (!once.insert({c, j}).second) {
                    continue;
                }
                for (int d = 1; d <= kDays; ++d) {
                    AtMostOne(sink_, LiteralsOf(c, j, d), joint_group_[k]);
                }
                // Matched with the first entry's partner, as the verifier does.
                const int partner = joint.PartnerOf(c);
                for (int p = 1; p <= JointRange(c); ++p) {
                    Clause().Neg(X(c, p, j)).Pos(X(partner, p, j)).Guard(joint_group_[k]).To(sink_);
                }
            }
        }
    }

    // A searched cell: the teacher is there, not pinned, not a copy.
    void SearchedCells() {
        searched_.assign((AsIndex(C) + 1) * kColumns, {});
        for (int c = 1; c <= C; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                if (IsPinned(c, s)) {
                    continue;
                }
                for (const auto& [t, x] : e_.cells_[At(c, s)]) {
                    const std::vector<int> sources = CopySources(c, s, t);
                    int searched = x;
                    if (!sources.empty()) {
                        searched = sink_.NewVariable();
                        sink_.Add({-searched, x});
                        Clause defined;
                        defined.Neg(x).Pos(searched);
                        for (const int source : sources) {
                            Clause().Neg(searched).Neg(X(source, s, t)).To(sink_);
                            defined.Pos(X(source, s, t));
                        }
                        defined.To(sink_);
                    }
                    searched_[At(c, s)].push_back({t, searched});
                }
            }
        }
    }

    int Searched(int c, int s, int t) const {
        for (const auto& [teacher, literal] : searched_[At(c, s)]) {
            if (teacher == t) {
                return literal;
            }
        }
        return 0;
    }

    // --- one teacher at one slot -------------------------------------------------

    void Clashes() {
        for (int t = 1; t <= T; ++t) {
            for (int s = 1; s <= kSlots; ++s) {
                std::vector<int> classes;
                for (int c = 1; c <= C; ++c) {
                    if (X(c, s, t) != 0) {
                        classes.push_back(c);
                    }
                }
                for (std::size_t a = 0; a < classes.size(); ++a) {
                    for (std::size_t b = a + 1; b < classes.size(); ++b) {
                        const int c = classes[a];
                        const int i = classes[b];
                        if (IsPinned(c, s) && IsPinned(i, s)) {
                            continue;
                        }
                        Clause clash;
                        clash.Neg(X(c, s, t)).Neg(X(i, s, t));
                        // Joint partners may share the slot while their entry holds.
                        if (const int joint = JointGroup(c, i, t); joint != 0) {
                            clash.Pos(joint);
                        }
                        clash.To(sink_);
                    }
                }
            }
        }
    }

    void DeniedSlots() {
        for (const auto& [t, s] : denied_) {
            for (const int group : DeniedGuards(t, s)) {
                for (int c = 1; c <= C; ++c) {
                    if (!IsPinned(c, s)) {
                        Clause().Neg(Searched(c, s, t)).Guard(group).To(sink_);
                    }
                }
            }
        }
    }

    // The group of the entry that refuses slot s to row t, as the user
    // entered it.
    int OwnDeniedGroup(int t, int s) const {
        return AbsentDay(t, DayOfSlot(s)) ? absent_group_[AsIndex(t)] : free_group_[AsIndex(t)];
    }

    // The working copy spreads a member's absent days and free hours to
    // every pair the member is in. Such a slot of a pair holds under the
    // member's own group: a proof then names the member's entry, and drops
    // it from the pair too, as removing it from the school would. A slot
    // both members refuse holds under either's.
    std::vector<int> DeniedGuards(int t, int s) const {
        std::vector<int> guards;
        for (const int member : MembersDenying(t, s)) {
            guards.push_back(OwnDeniedGroup(member, s));
        }
        if (guards.empty()) {
            guards.push_back(OwnDeniedGroup(t, s));
        }
        return guards;
    }

    // The single rows of the members of pair t that refuse slot s too.
    std::vector<int> MembersDenying(int t, int s) const {
        std::vector<int> members;
        const auto& persons = index_.PersonsOf(t);
        if (persons[1] == 0) {
            return members;
        }
        for (const int person : persons) {
            if (const int row = index_.SingleRowOf(person);
                row != 0 && row != t && denied_.contains({row, s})) {
                members.push_back(row);
            }
        }
        return members;
    }

    // held(t, s): t teaches at s in some class section.
    int Held(int t, int s) {
        const std::size_t at = AsIndex(t) * kColumns + AsIndex(s);
        if (held_.empty()) {
            held_.assign((AsIndex(T) + 1) * kColumns, -1);
        }
        if (held_[at] >= 0) {
            return held_[at];
        }
        std::vector<int> literals;
        for (int c = 1; c <= C; ++c) {
            if (const int x = X(c, s, t); x != 0) {
                literals.push_back(x);
            }
        }
        int held = 0;
        if (!literals.empty()) {
            held = sink_.NewVariable();
            Clause defined;
            defined.Neg(held);
            for (const int x : literals) {
                sink_.Add({-x, held});
                defined.Pos(x);
            }
            defined.To(sink_);
        }
        held_[at] = held;
        return held;
    }

    bool PinnedAt(int t, int s) const {
        for (int c = 1; c <= C; ++c) {
            if (Pinned(c, s) == t) {
                return true;
            }
        }
        return false;
    }

    void SameHours() {
        const auto pairs = rules_.SameHourPairs();
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            const int a = pairs[k].first;
            const int b = pairs[k].second;
            if (a == b || a > T || b > T) {
                continue;
            }
            for (int s = 1; s <= kSlots; ++s) {
                if (PinnedAt(a, s) && PinnedAt(b, s)) {
                    continue;
                }
                Clause().Neg(Held(a, s)).Neg(Held(b, s)).Guard(apart_group_[k]).To(sink_);
            }
        }
    }

    // Teaches in class section c on day d (only the direction the clauses need).
    int OnDay(int c, int t, int d) {
        const std::vector<int> literals = LiteralsOf(c, t, d);
        if (literals.empty()) {
            return 0;
        }
        const int on = sink_.NewVariable();
        for (const int x : literals) {
            sink_.Add({-x, on});
        }
        return on;
    }

    bool PinnedOnDay(int c, int t, int d) const {
        for (int s = d; s <= kSlots; s += kDays) {
            if (Pinned(c, s) == t) {
                return true;
            }
        }
        return false;
    }

    void Splits() {
        const auto splits = rules_.Splits();
        for (std::size_t k = 0; k < splits.size(); ++k) {
            const int c = splits[k].class_section;
            const int t1 = splits[k].first;
            const int t2 = splits[k].second;
            for (int d = 1; d <= kDays; ++d) {
                if (PinnedOnDay(c, t1, d) && PinnedOnDay(c, t2, d)) {
                    continue;
                }
                Clause().Neg(OnDay(c, t1, d)).Neg(OnDay(c, t2, d)).Guard(split_group_[k]).To(sink_);
            }
        }
    }

    void ClassDays() {
        for (int c = 1; c <= C; ++c) {
            for (int t = 1; t <= T; ++t) {
                if (HoursAll(t, c) == 0) {
                    continue;
                }
                const int allowance = index_.DayAllowance(t, c);
                const int without_option =
                    ClassDayAllowance(3, HoursAll(t, c), index_.available_days[AsIndex(t)]);
                for (int d = 1; d <= kDays; ++d) {
                    const std::vector<int> literals = LiteralsOf(c, t, d);
                    if (static_cast<int>(literals.size()) <= allowance) {
                        continue;
                    }
                    const Totalizer sum(sink_, literals, std::max(allowance, without_option) + 1);
                    if (allowance < without_option && day_allowance_ != 0) {
                        sum.AtMost(sink_, allowance, day_allowance_);
                        sum.AtMost(sink_, without_option);
                    } else {
                        sum.AtMost(sink_, allowance);
                    }
                }
            }
        }
    }

    // --- the run's options ---------------------------------------------------------

    // The limits of a teacher's day and week count the person: every row
    // that holds them, each slot once however many class sections share it.
    std::vector<int> RowsOf(int person) const {
        const ByteLists& rows = index_.rows_of_person;
        return {rows.begin(AsIndex(person)), rows.end(AsIndex(person))};
    }

    // busy(p, s): the person teaches at s through one of their rows (only
    // the direction the limits need). 0 when no row of theirs can be there.
    int PersonBusy(int person, int s) {
        const std::size_t at = AsIndex(person) * kColumns + AsIndex(s);
        if (person_busy_.empty()) {
            person_busy_.assign((AsIndex(index_.PersonCount()) + 1) * kColumns, -1);
        }
        if (person_busy_[at] >= 0) {
            return person_busy_[at];
        }
        std::vector<int> held;
        for (const int t : RowsOf(person)) {
            if (const int h = Held(t, s); h != 0) {
                held.push_back(h);
            }
        }
        int busy = held.size() == 1 ? held.front() : 0;
        if (held.size() > 1) {
            busy = sink_.NewVariable();
            for (const int h : held) {
                sink_.Add({-h, busy});
            }
        }
        person_busy_[at] = busy;
        return busy;
    }

    void LastHours() {
        for (int person = 1; person <= index_.PersonCount(); ++person) {
            const std::vector<int> rows = RowsOf(person);
            std::vector<int> last;
            for (int s = 1; s <= kSlots; ++s) {
                int in_last = 0;
                for (int c = 1; c <= C; ++c) {
                    for (const int t : rows) {
                        const int x = X(c, s, t);
                        if (x == 0 || !index_.InLastHours(c, s)) {
                            continue;
                        }
                        if (in_last == 0) {
                            in_last = sink_.NewVariable();
                            last.push_back(in_last);
                        }
                        sink_.Add({-x, in_last});
                    }
                }
            }
            if (static_cast<int>(last.size()) > options_.last_hours_limit) {
                const Totalizer sum(sink_, last, options_.last_hours_limit + 1);
                sum.AtMost(sink_, options_.last_hours_limit, last_hours_);
            }
        }
        if (LastHourCells() > LastHourCapacity()) {
            sink_.Add({-last_hours_});
        }
    }

    // A limit too low for the school's last hours is a count, which clause
    // learning proves only by trying every way to share the cells (minutes
    // for a school of 9 class sections). So the count is made here: the
    // limit alone leaves no timetable when the last-hour cells that must be
    // filled outnumber what the rows can take. A row holds last-hour cells
    // at no more slots than the limit (each of its people counts every such
    // slot), one cell at each, and one more for each joint entry of the row
    // between two of those cells; this holds whatever other rule is dropped.
    int LastHourCells() const {
        int cells = 0;
        for (int c = 1; c <= C; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                cells += LastHourCell(c, s) ? 1 : 0;
            }
        }
        return cells;
    }

    bool LastHourCell(int c, int s) const {
        return on_position_[AsIndex(c)][AsIndex(s)] && index_.InLastHours(c, s);
    }

    int LastHourCapacity() const {
        const int limit = options_.last_hours_limit;
        int capacity = 0;
        for (int t = 1; t <= T; ++t) {
            int slots = 0;
            for (int s = 1; s <= kSlots; ++s) {
                bool reachable = false;
                for (int c = 1; c <= C && !reachable; ++c) {
                    reachable = X(c, s, t) != 0 && index_.InLastHours(c, s);
                }
                slots += reachable ? 1 : 0;
            }
            capacity += std::min(limit, slots);
        }
        for (const JointLesson& joint : rules_.JointLessons()) {
            int shared = 0;
            for (int s = 1; s <= kSlots; ++s) {
                shared += LastHourCell(joint.class1, s) && LastHourCell(joint.class2, s) ? 1 : 0;
            }
            capacity += std::min(limit, shared);
        }
        return capacity;
    }

    void DayHours() {
        for (int person = 1; person <= index_.PersonCount(); ++person) {
            for (int d = 1; d <= kDays; ++d) {
                std::vector<int> busy;
                for (int s = d; s <= kSlots; s += kDays) {
                    if (const int b = PersonBusy(person, s); b != 0) {
                        busy.push_back(b);
                    }
                }
                if (static_cast<int>(busy.size()) > options_.day_hours_limit) {
                    const Totalizer sum(sink_, busy, options_.day_hours_limit + 1);
                    sum.AtMost(sink_, options_.day_hours_limit, day_hours_);
                }
            }
        }
    }

    void FiveInARow() {
        constexpr int kRow = 5;
        for (int person = 1; person <= index_.PersonCount(); ++person) {
            for (int d = 1; d <= kDays; ++d) {
                for (int first = 1; first + kRow - 1 <= kMaxHoursPerDay; ++first) {
                    Clause row;
                    for (int h = first; h < first + kRow; ++h) {
                        row.Neg(PersonBusy(person, SlotOf(d, h)));
                    }
                    row.Guard(five_in_a_row_).To(sink_);
                }
            }
        }
    }

    // --- two-hour and one-hour lessons -------------------------------------------

    void Lessons() {
        for (int c = 1; c <= C; ++c) {
            for (int t = 1; t <= T; ++t) {
                if (HoursAll(t, c) > 0) {
                    LessonsOf(c, t);
                }
            }
        }
    }

    // The searched hours of t in c read as the two-hour lessons owed and
    // one-hour lessons: a pair variable for each two consecutive hours of a
    // day, the pairs disjoint, as many as the reading takes, and every hour
    // outside a pair a valid one-hour lesson.
    void LessonsOf(int c, int t) {
        const int owed = in_.two_hour_lessons(AsIndex(c), AsIndex(t));
        std::vector<int> pair(kColumns, 0);  // [s] = hours s and s + 5 form a lesson
        std::vector<int> pairs;
        std::vector<int> searched;
        bool copies = false;
        for (int s = 1; s <= kSlots; ++s) {
            const int here = Searched(c, s, t);
            if (here == 0) {
                continue;
            }
            searched.push_back(here);
            copies = copies || here != X(c, s, t);
            const int s2 = s + kDays;
            if (owed > 0 && HourOfSlot(s) < kMaxHoursPerDay && s2 <= index_.second_hour_limit &&
                Searched(c, s2, t) != 0) {
                pair[AsIndex(s)] = sink_.NewVariable();
                pairs.push_back(pair[AsIndex(s)]);
                sink_.Add({-pair[AsIndex(s)], here});
                sink_.Add({-pair[AsIndex(s)], Searched(c, s2, t)});
                if (s > kDays && pair[AsIndex(s - kDays)] != 0) {
                    sink_.Add({-pair[AsIndex(s)], -pair[AsIndex(s - kDays)]});
                }
            }
        }
        PairsTaken(c, t, owed, pairs, searched, copies);
        for (int s = 1; s <= kSlots; ++s) {
            const int here = Searched(c, s, t);
            if (here == 0) {
                continue;
            }
            const int before = s > kDays ? pair[AsIndex(s - kDays)] : 0;
            const auto single = [&](Clause clause) {
                clause.Neg(here).Pos(pair[AsIndex(s)]).Pos(before);
                return clause;
            };
            if (index_.SpreadsOverDays(t, c)) {
                for (int q = DayOfSlot(s); q <= kSlots; q += kDays) {
                    if (q != s) {
                        single(Clause()).Neg(X(c, q, t)).To(sink_);
                    }
                }
            }
            if (options_.no_single_hour_runs && s > kDays) {
                single(Clause()).Neg(X(c, s - kDays, t)).Guard(single_runs_).To(sink_);
            }
        }
    }

    // How many pairs the reading takes: min(owed, searched / 2); fewer than
    // owed only for an even number of searched hours.
    void PairsTaken(int c, int t, int owed, const std::vector<int>& pairs,
                    const std::vector<int>& searched, bool copies) {
        if (owed == 0) {
            return;
        }
        const Totalizer taken(sink_, pairs, owed + 1);
        taken.AtMost(sink_, owed);
        if (!copies) {
            int pinned = 0;
            for (int s = 1; s <= kSlots; ++s) {
                pinned += Pinned(c, s) == t ? 1 : 0;
            }
            const int count = HoursAll(t, c) - pinned;
            const int blocks = std::min(owed, count / 2);
            taken.AtLeastBound(sink_, blocks);
            taken.AtMost(sink_, blocks);
            if (blocks < owed && count > 2 * blocks) {
                sink_.AddClause({});  // an odd remainder while two-hour lessons are owed
            }
            return;
        }
        const Totalizer count(sink_, searched, 2 * owed + 1);
        for (int k = 1; k <= owed; ++k) {
            const int enough = count.AtLeast(2 * k);
            Clause().Neg(enough).Pos(taken.AtLeast(k)).To(sink_);
            Clause().Pos(enough).Neg(taken.AtLeast(k)).To(sink_);
        }
        for (int m = 1; m < 2 * owed; m += 2) {
            Clause().Neg(count.AtLeast(m)).Pos(count.AtLeast(m + 1)).To(sink_);
        }
    }

    TimetableEncoding& e_;
    const SolverInputs& in_;
    const RuleTables& rules_;
    const RunOptions& options_;
    const RuleIndex& index_;
    ClauseSink& sink_;
    const int C;
    const int T;

    int true_ = 0;
    std::vector<std::vector<bool>> on_position_;
    std::vector<std::vector<std::pair<int, int>>> searched_;
    std::vector<int> held_;
    std::vector<int> person_busy_;
    std::set<std::pair<int, int>> denied_;
    int day_allowance_ = 0;
    int last_hours_ = 0;
    int day_hours_ = 0;
    int single_runs_ = 0;
    int five_in_a_row_ = 0;
    std::vector<int> absent_group_;
    std::vector<int> free_group_;
    std::vector<int> apart_group_;
    std::vector<int> joint_group_;
    std::vector<int> split_group_;
};

TimetableEncoding::TimetableEncoding(const SolverInputs& inputs, const RuleTables& rules,
                                     const RunOptions& options, const RuleIndex& index)
    : in_(inputs), rules_(rules), options_(options), index_(index) {}

void TimetableEncoding::Encode(ClauseSink& sink) {
    Writer(*this, sink).Run();
}

int TimetableEncoding::CellLiteral(int c, int s, int t) const {
    for (const auto& [teacher, literal] : cells_[At(c, s)]) {
        if (teacher == t) {
            return literal;
        }
    }
    return 0;
}

const std::vector<std::pair<int, int>>& TimetableEncoding::Candidates(int c, int s) const {
    static const std::vector<std::pair<int, int>> kNone;
    return in_.pinned_lessons(AsIndex(c), AsIndex(s)) != 0 ? kNone : cells_[At(c, s)];
}

bool TimetableEncoding::FixingLiterals(const ByteMatrix& timetable,
                                       std::vector<int>& literals) const {
    for (int c = 1; c <= in_.number_of_classes; ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            const int held = timetable(AsIndex(c), AsIndex(s));
            const bool pinned = in_.pinned_lessons(AsIndex(c), AsIndex(s)) != 0;
            if (pinned) {
                if (held != in_.pinned_lessons(AsIndex(c), AsIndex(s))) {
                    return false;
                }
                continue;
            }
            if (held != 0 && CellLiteral(c, s, held) == 0) {
                return false;
            }
            for (const auto& [t, literal] : cells_[At(c, s)]) {
                literals.push_back(t == held ? literal : -literal);
            }
        }
    }
    return true;
}

std::string TimetableEncoding::Describe(const RuleGroup& g) const {
    using Kind = RuleGroup::Kind;
    switch (g.kind) {
        case Kind::kDayAllowance:
            return "το πολύ 2 ώρες την ημέρα ενός καθηγητή σε ένα τμήμα";
        case Kind::kLastHours:
            return "όριο " + CountOf(options_.last_hours_limit, "τοποθέτησης", "τοποθετήσεων") +
                   " στις τελευταίες ώρες την εβδομάδα";
        case Kind::kDayHours:
            return "όριο " + std::to_string(options_.day_hours_limit) +
                   " ωρών διδασκαλίας ενός καθηγητή την ημέρα";
        case Kind::kSingleRuns:
            return "όχι μονόωρα μαθήματα σε συνεχόμενες ώρες του ίδιου τμήματος";
        case Kind::kFiveInARow:
            return "το πολύ 4 συνεχόμενες ώρες διδασκαλίας ενός καθηγητή";
        case Kind::kAbsentDays:
            return "οι ημέρες απουσίας του διδάσκοντα " + TeacherName(in_, g.teacher);
        case Kind::kFreeHours:
            return "οι ελεύθερες ώρες του διδάσκοντα " + TeacherName(in_, g.teacher);
        case Kind::kApart:
            if (const int shared = SharedPerson(g.teacher, g.other_teacher); shared != 0) {
                return DescribePairClash(g.teacher, g.other_teacher, shared);
            }
            return "οι διδάσκοντες " + TeacherName(in_, g.teacher) + " και " +
                   TeacherName(in_, g.other_teacher) + " να μη διδάσκουν την ίδια ώρα";
        case Kind::kJoint:
            return "το κοινό μάθημα του διδάσκοντα " + TeacherName(in_, g.teacher) + " στα " +
                   ClassName(in_, g.class_section) + " και " + ClassName(in_, g.other_class);
        case Kind::kSplit:
            return "ο χωρισμός μαθήματος στο " + ClassName(in_, g.class_section) + " (" +
                   TeacherName(in_, g.teacher) + ", " + TeacherName(in_, g.other_teacher) + ")";
    }
    return {};
}

int TimetableEncoding::SharedPerson(int a, int b) const {
    for (const int person : index_.PersonsOf(a)) {
        const auto& others = index_.PersonsOf(b);
        if (person != 0 && std::find(others.begin(), others.end(), person) != others.end()) {
            return person;
        }
    }
    return 0;
}

// The couple the working copy keeps apart because one person is in both
// rows, worded as what the user entered: the pair.
std::string TimetableEncoding::DescribePairClash(int a, int b, int person) const {
    const std::string& name = index_.people.names[AsIndex(person)];
    const bool a_alone = index_.PersonsOf(a)[1] == 0;
    const bool b_alone = index_.PersonsOf(b)[1] == 0;
    if (a_alone || b_alone) {
        return "ο διδάσκων " + name + " να μη διδάσκει την ίδια ώρα μόνος του και με το ζεύγος " +
               TeacherName(in_, a_alone ? b : a);
    }
    return "τα ζεύγη " + TeacherName(in_, a) + " και " + TeacherName(in_, b) +
           ", με κοινό μέλος τον διδάσκοντα " + name + ", να μη διδάσκουν την ίδια ώρα";
}

bool TimetableEncoding::EnteredByTheUser(const RuleGroup& group) const {
    return group.kind != RuleGroup::Kind::kApart ||
           SharedPerson(group.teacher, group.other_teacher) == 0;
}

// Absent days and free hours are both slots refused to a teacher; a proof
// names them apart, by the teacher's entry.
PlacementRule PlacementRuleOf(RuleGroup::Kind kind) {
    using Kind = RuleGroup::Kind;
    switch (kind) {
        case Kind::kDayAllowance:
            return PlacementRule::kClassDay;
        case Kind::kLastHours:
            return PlacementRule::kLastHours;
        case Kind::kDayHours:
            return PlacementRule::kDayHours;
        case Kind::kSingleRuns:
            return PlacementRule::kSingleRuns;
        case Kind::kFiveInARow:
            return PlacementRule::kFiveInARow;
        case Kind::kAbsentDays:
            return PlacementRule::kDeniedSlot;
        case Kind::kFreeHours:
            return PlacementRule::kDeniedSlot;
        case Kind::kApart:
            return PlacementRule::kSameHour;
        case Kind::kJoint:
            return PlacementRule::kJoint;
        case Kind::kSplit:
            return PlacementRule::kSplit;
    }
    return PlacementRule::kClassDay;
}

}  // namespace taktirio::exact
