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
#include "core/exact/timetable_encoding.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "core/common/narrow.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"

namespace taktirio::exact {

namespace {

constexpr std::size_t kColumns = kSlotColumns;

std::size_t At(int c, int s) {
    return AsIndex(c) * kColumns + AsIndex(s);
}

using Cells = std::vector<std::vector<std::pair<int, int>>>;  // [At(c, s)] = (teacher, literal)

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
    void To(ClauseSink& sink) const {
        if (!satisfied_) {
            sink.AddClause(literals_);
        }
    }

  private:
    std::vector<int> literals_;
    bool satisfied_ = false;
};

// The school as the encoding reads it: the cells' literals and the joint
// lessons' copies, shared by the writer and the literal cache.
class School {
  public:
    School(const SolverInputs& inputs, const RuleTables& tables, const RuleIndex& rule_index,
           const Cells& cell_literals)
        : in(inputs), rules(tables), index(rule_index), cells(cell_literals) {}

    int Pinned(int c, int s) const { return in.pinned_lessons(AsIndex(c), AsIndex(s)); }
    bool IsPinned(int c, int s) const { return Pinned(c, s) != 0; }
    int HoursAll(int t, int c) const {
        return rules.teacher_class_hours_all(AsIndex(t), AsIndex(c));
    }

    int X(int c, int s, int t) const {
        for (const auto& [teacher, literal] : cells[At(c, s)]) {
            if (teacher == t) {
                return literal;
            }
        }
        return 0;
    }

    // The slots a joint lesson of c is matched over, as the verifier reads
    // them: the class section's hour positions as slot numbers, or every slot
    // with eighth hours. The index keeps no such range.
    int JointRange(int c) const {
        return rules.HasEighthHours() ? kSlots : std::min<int>(in.class_hours[AsIndex(c)], kSlots);
    }

    // The earlier partners whose lesson of j at s would be copied into c:
    // the index's joint entries of c, (class1, class2, teacher) each.
    std::vector<int> CopySources(int c, int s, int j) const {
        std::vector<int> sources;
        const ByteLists& joints = index.joint_entries;
        for (const std::uint8_t* entry = joints.begin(AsIndex(c)); entry != joints.end(AsIndex(c));
             entry += 3) {
            const int other = entry[0] == c ? entry[1] : entry[0];
            if (entry[2] == j && other < c && s <= JointRange(other) &&
                std::find(sources.begin(), sources.end(), other) == sources.end()) {
                sources.push_back(other);
            }
        }
        return sources;
    }

    // The literals of t in c over the week, or over day d.
    std::vector<int> LiteralsOf(int c, int t, int day = 0) const {
        std::vector<int> literals;
        for (int s = day == 0 ? 1 : day; s <= kSlots; s += day == 0 ? 1 : kDays) {
            if (const int x = X(c, s, t); x != 0) {
                literals.push_back(x);
            }
        }
        return literals;
    }

    // The rows that hold the person: the limits of a teacher's day and week
    // count every one of them.
    std::vector<int> RowsOf(int person) const {
        const ByteLists& rows = index.rows_of_person;
        return {rows.begin(AsIndex(person)), rows.end(AsIndex(person))};
    }

    const SolverInputs& in;
    const RuleTables& rules;
    const RuleIndex& index;
    const Cells& cells;
};

// The literals several rules read, each made on its first use together with
// the clauses that define it (hence ...Literal, not a getter's name). The
// definitions hold for every group, so they are written outside the guard
// scope the asking rule has open; 0 stands for a literal that can never be
// true.
class SharedLiterals {
  public:
    SharedLiterals(const School& school, ClauseSink& sink)
        : school_(school),
          sink_(sink),
          teachers_(school.in.number_of_teachers),
          searched_(Table(AsIndex(school.in.number_of_classes) + 1, kColumns, teachers_)),
          held_(Table(AsIndex(teachers_) + 1, kColumns, 0)),
          on_day_(Table(AsIndex(school.in.number_of_classes) + 1, kDays + 1, teachers_)),
          busy_(Table(AsIndex(school.index.PersonCount()) + 1, kColumns, 0)) {}

    // searched(c, s, t): t is at s in c, not pinned there and not copied
    // there from an earlier joint partner.
    int SearchedLiteral(int c, int s, int t) {
        int& cached = searched_[(At(c, s)) * (AsIndex(teachers_) + 1) + AsIndex(t)];
        if (cached < 0) {
            cached = school_.IsPinned(c, s) ? 0 : DefineSearched(c, s, t);
        }
        return cached;
    }

    // held(t, s): t teaches at s in some class section.
    int HeldLiteral(int t, int s) {
        int& cached = held_[AsIndex(t) * kColumns + AsIndex(s)];
        if (cached < 0) {
            cached = DefineHeld(t, s);
        }
        return cached;
    }

    // on(c, t, d): t teaches in c on day d (only the direction the clauses
    // need: a lesson makes it true).
    int OnDayLiteral(int c, int t, int d) {
        int& cached = on_day_[(AsIndex(c) * (kDays + 1) + AsIndex(d)) * (AsIndex(teachers_) + 1) +
                              AsIndex(t)];
        if (cached < 0) {
            cached = Implied(school_.LiteralsOf(c, t, d));
        }
        return cached;
    }

    // busy(p, s): the person teaches at s through one of their rows (only
    // the direction the limits need), each slot once however many class
    // sections share it.
    int BusyLiteral(int person, int s) {
        int& cached = busy_[AsIndex(person) * kColumns + AsIndex(s)];
        if (cached < 0) {
            std::vector<int> held;
            for (const int t : school_.RowsOf(person)) {
                if (const int h = HeldLiteral(t, s); h != 0) {
                    held.push_back(h);
                }
            }
            cached = held.size() == 1 ? held.front() : Implied(held);
        }
        return cached;
    }

  private:
    static std::vector<int> Table(std::size_t rows, std::size_t columns, int teachers) {
        return std::vector<int>(rows * columns * (AsIndex(teachers) + 1), -1);
    }

    int DefineSearched(int c, int s, int t) {
        const int x = school_.X(c, s, t);
        const std::vector<int> sources = x == 0 ? std::vector<int>{} : school_.CopySources(c, s, t);
        if (sources.empty()) {
            return x;
        }
        const GuardScope unguarded(sink_, 0);
        const int searched = sink_.NewVariable();
        sink_.Add({-searched, x});
        Clause defined;
        defined.Neg(x).Pos(searched);
        for (const int source : sources) {
            Clause().Neg(searched).Neg(school_.X(source, s, t)).To(sink_);
            defined.Pos(school_.X(source, s, t));
        }
        defined.To(sink_);
        return searched;
    }

    int DefineHeld(int t, int s) {
        std::vector<int> literals;
        for (int c = 1; c <= school_.in.number_of_classes; ++c) {
            if (const int x = school_.X(c, s, t); x != 0) {
                literals.push_back(x);
            }
        }
        if (literals.empty()) {
            return 0;
        }
        const GuardScope unguarded(sink_, 0);
        const int held = sink_.NewVariable();
        Clause defined;
        defined.Neg(held);
        for (const int x : literals) {
            sink_.Add({-x, held});
            defined.Pos(x);
        }
        defined.To(sink_);
        return held;
    }

    // A new literal that each of `literals` implies; 0 for none.
    int Implied(const std::vector<int>& literals) {
        if (literals.empty()) {
            return 0;
        }
        const GuardScope unguarded(sink_, 0);
        const int implied = sink_.NewVariable();
        for (const int x : literals) {
            sink_.Add({-x, implied});
        }
        return implied;
    }

    const School& school_;
    ClauseSink& sink_;
    int teachers_;
    std::vector<int> searched_;  // -1: not made yet
    std::vector<int> held_;
    std::vector<int> on_day_;
    std::vector<int> busy_;
};

}  // namespace

// Writes the clauses rule family by rule family: each Encode… function makes
// the assumption groups of its family and writes their clauses under a guard
// scope. A new rule is a kind, its words, and one Encode… function called
// from Run. Values derived from the tables come from the rule index; the
// families whose every entry is a group of its own (joint lessons, kept-apart
// couples, split lessons) walk the tables' entries, since the index lists
// them per teacher or class section without the entry they came from.
class TimetableEncoding::Writer {
  public:
    Writer(TimetableEncoding& encoding, ClauseSink& sink)
        : e_(encoding),
          in_(encoding.in_),
          rules_(encoding.rules_),
          options_(encoding.options_),
          index_(encoding.index_),
          sink_(sink),
          school_(in_, rules_, index_, encoding.cells_),
          C(in_.number_of_classes),
          T(in_.number_of_teachers) {}

    void Run() {
        true_ = sink_.NewVariable();
        sink_.Add({true_});
        Positions();
        MakeCells();
        SharedLiterals literals(school_, sink_);
        literals_ = &literals;
        EncodeCells();
        EncodeWeeklyHours();
        EncodeJointLessons();
        EncodeClashes();
        EncodeRefusedSlots();
        EncodeApartCouples();
        EncodeSplitLessons();
        EncodeClassDays();
        EncodeLastHours();
        EncodeDayHours();
        EncodeFiveInARow();
        EncodeLessons();
        EncodeSingleHourRuns();
        literals_ = nullptr;
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

    bool OnPosition(int c, int s) const { return on_position_[AsIndex(c)][AsIndex(s)]; }
    int X(int c, int s, int t) const { return school_.X(c, s, t); }
    int HoursAll(int t, int c) const { return school_.HoursAll(t, c); }
    bool IsPinned(int c, int s) const { return school_.IsPinned(c, s); }
    SharedLiterals& Literals() { return *literals_; }

    int NewGroup(RuleGroup group) {
        group.literal = sink_.NewVariable();
        e_.groups_.push_back(group);
        return group.literal;
    }

    // --- cells and weekly hours ----------------------------------------------------

    void MakeCells() {
        e_.cells_.assign((AsIndex(C) + 1) * kColumns, {});
        for (int c = 1; c <= C; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                auto& cell = e_.cells_[At(c, s)];
                if (const int p = school_.Pinned(c, s); p != 0) {
                    cell.push_back({p, true_});
                    continue;
                }
                for (int t = 1; t <= T; ++t) {
                    if (HoursAll(t, c) == 0) {
                        continue;
                    }
                    if (OnPosition(c, s) || !school_.CopySources(c, s, t).empty()) {
                        cell.push_back({t, sink_.NewVariable()});
                    }
                }
            }
        }
    }

    void EncodeCells() {
        for (int c = 1; c <= C; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                if (IsPinned(c, s)) {
                    continue;
                }
                std::vector<int> literals;
                for (const auto& [t, literal] : e_.cells_[At(c, s)]) {
                    literals.push_back(literal);
                    if (!OnPosition(c, s)) {
                        Clause copied;  // outside the positions only as a copy
                        copied.Neg(literal);
                        for (const int source : school_.CopySources(c, s, t)) {
                            copied.Pos(X(source, s, t));
                        }
                        copied.To(sink_);
                    }
                }
                AtMostOne(sink_, literals);
                if (OnPosition(c, s)) {
                    sink_.AddClause(literals);  // empty: a position no teacher can fill
                }
            }
        }
    }

    void EncodeWeeklyHours() {
        for (int c = 1; c <= C; ++c) {
            for (int t = 1; t <= T; ++t) {
                const int hours = HoursAll(t, c);
                if (hours == 0) {
                    continue;
                }
                const Totalizer sum(sink_, school_.LiteralsOf(c, t), hours + 1);
                sum.AtMost(sink_, hours);
                sum.AtLeastBound(sink_, hours);
            }
        }
    }

    // --- joint lessons and clashes ---------------------------------------------

    void EncodeJointLessons() {
        using Kind = RuleGroup::Kind;
        std::set<std::pair<int, int>> once;
        for (const JointLesson& joint : rules_.JointLessons()) {
            const int group =
                NewGroup({Kind::kJoint, 0, joint.teacher, 0, joint.class1, joint.class2});
            joint_groups_.emplace(JointKey(joint.class1, joint.class2, joint.teacher), group);
            const GuardScope guard(sink_, group);
            const int j = joint.teacher;
            for (const int c : {int{joint.class1}, int{joint.class2}}) {
                if (!once.insert({c, j}).second) {
                    continue;
                }
                for (int d = 1; d <= kDays; ++d) {
                    AtMostOne(sink_, school_.LiteralsOf(c, j, d));
                }
                // Matched with the first entry's partner, as the verifier does.
                const int partner = joint.PartnerOf(c);
                for (int p = 1; p <= school_.JointRange(c); ++p) {
                    Clause().Neg(X(c, p, j)).Pos(X(partner, p, j)).To(sink_);
                }
            }
        }
    }

    static std::tuple<int, int, int> JointKey(int c, int i, int t) {
        return {std::min(c, i), std::max(c, i), t};
    }

    // The group of the first joint entry of t between c and i; 0 when they
    // are not joint partners for t (EncodeJointLessons has run).
    int JointGroup(int c, int i, int t) const {
        const auto found = joint_groups_.find(JointKey(c, i, t));
        return found == joint_groups_.end() ? 0 : found->second;
    }

    // No teacher in two class sections at one slot, but joint partners while
    // their entry holds.
    void EncodeClashes() {
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
                        Clause().Neg(X(c, s, t)).Neg(X(i, s, t)).Pos(JointGroup(c, i, t)).To(sink_);
                    }
                }
            }
        }
    }

    // --- refused slots ---------------------------------------------------------

    bool Denied(int t, int s) const {
        return index_.slot_denied[AsIndex(t) * kColumns + AsIndex(s)] != 0;
    }

    // Every slot of the day refused: the day is an absent day of the teacher.
    // The index counts a teacher's absent days but does not say which.
    bool AbsentDay(int t, int d) const {
        for (int s = d; s <= kSlots; s += kDays) {
            if (!Denied(t, s)) {
                return false;
            }
        }
        return true;
    }

    // One group for a teacher's absent days and one for their free hours,
    // but for the slots a pair holds under a member's entry.
    void MakeRefusedGroups() {
        using Kind = RuleGroup::Kind;
        absent_group_.assign(AsIndex(T) + 1, 0);
        free_group_.assign(AsIndex(T) + 1, 0);
        for (int t = 1; t <= T; ++t) {
            for (int s = 1; s <= kSlots; ++s) {
                if (!Denied(t, s) || !MembersDenying(t, s).empty()) {
                    continue;
                }
                const bool absent = AbsentDay(t, DayOfSlot(s));
                int& group = (absent ? absent_group_ : free_group_)[AsIndex(t)];
                if (group == 0) {
                    group = NewGroup({absent ? Kind::kAbsentDays : Kind::kFreeHours, 0, t});
                }
            }
        }
    }

    void EncodeRefusedSlots() {
        MakeRefusedGroups();
        for (int t = 1; t <= T; ++t) {
            for (int s = 1; s <= kSlots; ++s) {
                if (!Denied(t, s)) {
                    continue;
                }
                for (const int group : DeniedGuards(t, s)) {
                    const GuardScope guard(sink_, group);
                    for (int c = 1; c <= C; ++c) {
                        if (!IsPinned(c, s)) {
                            Clause().Neg(Literals().SearchedLiteral(c, s, t)).To(sink_);
                        }
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
                row != 0 && row != t && Denied(row, s)) {
                members.push_back(row);
            }
        }
        return members;
    }

    // --- couples kept apart and split lessons ----------------------------------

    bool PinnedAt(int t, int s) const {
        for (int c = 1; c <= C; ++c) {
            if (school_.Pinned(c, s) == t) {
                return true;
            }
        }
        return false;
    }

    void EncodeApartCouples() {
        for (const SameHourPair& pair : rules_.SameHourPairs()) {
            const int a = pair.first;
            const int b = pair.second;
            const GuardScope guard(sink_, NewGroup({RuleGroup::Kind::kApart, 0, a, b}));
            if (a == b || a > T || b > T) {
                continue;
            }
            for (int s = 1; s <= kSlots; ++s) {
                if (PinnedAt(a, s) && PinnedAt(b, s)) {
                    continue;
                }
                Clause()
                    .Neg(Literals().HeldLiteral(a, s))
                    .Neg(Literals().HeldLiteral(b, s))
                    .To(sink_);
            }
        }
    }

    bool PinnedOnDay(int c, int t, int d) const {
        for (int s = d; s <= kSlots; s += kDays) {
            if (school_.Pinned(c, s) == t) {
                return true;
            }
        }
        return false;
    }

    void EncodeSplitLessons() {
        for (const SplitLesson& split : rules_.Splits()) {
            const int c = split.class_section;
            const int t1 = split.first;
            const int t2 = split.second;
            const GuardScope guard(sink_, NewGroup({RuleGroup::Kind::kSplit, 0, t1, t2, c}));
            for (int d = 1; d <= kDays; ++d) {
                if (PinnedOnDay(c, t1, d) && PinnedOnDay(c, t2, d)) {
                    continue;
                }
                Clause()
                    .Neg(Literals().OnDayLiteral(c, t1, d))
                    .Neg(Literals().OnDayLiteral(c, t2, d))
                    .To(sink_);
            }
        }
    }

    // --- hours a day in one class section --------------------------------------

    // The index's allowance holds under the option's group where the option
    // asks fewer hours than the rule allows without it; the rule's own limit
    // (the allowance under an option of 3, which the index does not keep for
    // another option than the run's) holds always.
    void EncodeClassDays() {
        const int group =
            options_.max_class_hours_per_day == 2 ? NewGroup({RuleGroup::Kind::kDayAllowance}) : 0;
        for (int c = 1; c <= C; ++c) {
            for (int t = 1; t <= T; ++t) {
                if (HoursAll(t, c) == 0) {
                    continue;
                }
                const int allowance = index_.DayAllowance(t, c);
                const int without_option =
                    ClassDayAllowance(3, HoursAll(t, c), index_.available_days[AsIndex(t)]);
                for (int d = 1; d <= kDays; ++d) {
                    const std::vector<int> literals = school_.LiteralsOf(c, t, d);
                    if (static_cast<int>(literals.size()) <= allowance) {
                        continue;
                    }
                    const Totalizer sum(sink_, literals, std::max(allowance, without_option) + 1);
                    if (allowance < without_option && group != 0) {
                        {
                            const GuardScope guard(sink_, group);
                            sum.AtMost(sink_, allowance);
                        }
                        sum.AtMost(sink_, without_option);
                    } else {
                        sum.AtMost(sink_, allowance);
                    }
                }
            }
        }
    }

    // --- the run's options: counted for each person over their rows -------------

    void EncodeLastHours() {
        if (!options_.last_hours_limit_on) {
            return;
        }
        const int group = NewGroup({RuleGroup::Kind::kLastHours});
        for (int person = 1; person <= index_.PersonCount(); ++person) {
            const std::vector<int> last = LastHourSlots(person);
            if (static_cast<int>(last.size()) > options_.last_hours_limit) {
                const Totalizer sum(sink_, last, options_.last_hours_limit + 1);
                const GuardScope guard(sink_, group);
                sum.AtMost(sink_, options_.last_hours_limit);
            }
        }
        if (LastHourCells() > LastHourCapacity()) {
            sink_.Add({-group});
        }
    }

    // A literal for each slot at which the person may hold a last-hour cell
    // of some class section (the index's last-hour range), implied by each
    // such cell of their rows.
    std::vector<int> LastHourSlots(int person) {
        const std::vector<int> rows = school_.RowsOf(person);
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
        return last;
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

    bool LastHourCell(int c, int s) const { return OnPosition(c, s) && index_.InLastHours(c, s); }

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

    void EncodeDayHours() {
        if (!options_.day_hours_limit_on) {
            return;
        }
        const GuardScope guard(sink_, NewGroup({RuleGroup::Kind::kDayHours}));
        for (int person = 1; person <= index_.PersonCount(); ++person) {
            for (int d = 1; d <= kDays; ++d) {
                std::vector<int> busy;
                for (int s = d; s <= kSlots; s += kDays) {
                    if (const int b = Literals().BusyLiteral(person, s); b != 0) {
                        busy.push_back(b);
                    }
                }
                if (static_cast<int>(busy.size()) > options_.day_hours_limit) {
                    const Totalizer sum(sink_, busy, options_.day_hours_limit + 1);
                    sum.AtMost(sink_, options_.day_hours_limit);
                }
            }
        }
    }

    void EncodeFiveInARow() {
        if (!options_.four_hour_run_limit_on) {
            return;
        }
        constexpr int kRow = 5;
        const GuardScope guard(sink_, NewGroup({RuleGroup::Kind::kFiveInARow}));
        for (int person = 1; person <= index_.PersonCount(); ++person) {
            for (int d = 1; d <= kDays; ++d) {
                for (int first = 1; first + kRow - 1 <= kMaxHoursPerDay; ++first) {
                    Clause row;
                    for (int h = first; h < first + kRow; ++h) {
                        row.Neg(Literals().BusyLiteral(person, SlotOf(d, h)));
                    }
                    row.To(sink_);
                }
            }
        }
    }

    // --- two-hour and one-hour lessons -------------------------------------------

    void EncodeLessons() {
        two_hour_.assign((AsIndex(C) + 1) * kColumns * (AsIndex(T) + 1), 0);
        for (int c = 1; c <= C; ++c) {
            for (int t = 1; t <= T; ++t) {
                if (HoursAll(t, c) > 0) {
                    LessonsOf(c, t);
                }
            }
        }
    }

    int& TwoHour(int c, int s, int t) {
        return two_hour_[At(c, s) * (AsIndex(T) + 1) + AsIndex(t)];
    }

    // The searched hours of t in c read as the two-hour lessons owed and
    // one-hour lessons: a pair variable for each two consecutive hours of a
    // day, the pairs disjoint, as many as the reading takes, and every hour
    // outside a pair a valid one-hour lesson.
    void LessonsOf(int c, int t) {
        const int owed = in_.two_hour_lessons(AsIndex(c), AsIndex(t));
        std::vector<int> pairs;
        std::vector<int> searched;
        bool copies = false;
        for (int s = 1; s <= kSlots; ++s) {
            const int here = Literals().SearchedLiteral(c, s, t);
            if (here == 0) {
                continue;
            }
            searched.push_back(here);
            copies = copies || here != X(c, s, t);
            const int s2 = s + kDays;
            const int there = s2 <= kSlots ? Literals().SearchedLiteral(c, s2, t) : 0;
            if (owed > 0 && HourOfSlot(s) < kMaxHoursPerDay && s2 <= index_.second_hour_limit &&
                there != 0) {
                const int pair = sink_.NewVariable();
                TwoHour(c, s, t) = pair;
                pairs.push_back(pair);
                sink_.Add({-pair, here});
                sink_.Add({-pair, there});
                if (s > kDays && TwoHour(c, s - kDays, t) != 0) {
                    sink_.Add({-pair, -TwoHour(c, s - kDays, t)});
                }
            }
        }
        PairsTaken(c, t, owed, pairs, searched, copies);
        if (!index_.SpreadsOverDays(t, c)) {
            return;
        }
        for (int s = 1; s <= kSlots; ++s) {
            const int here = Literals().SearchedLiteral(c, s, t);
            if (here == 0) {
                continue;
            }
            for (int q = DayOfSlot(s); q <= kSlots; q += kDays) {
                if (q != s) {
                    OneHourLesson(c, s, t, here).Neg(X(c, q, t)).To(sink_);
                }
            }
        }
    }

    // A clause that holds when the searched hour of t at s in c is a
    // one-hour lesson: it is not in a pair of EncodeLessons.
    Clause OneHourLesson(int c, int s, int t, int here) {
        Clause clause;
        clause.Neg(here).Pos(TwoHour(c, s, t)).Pos(s > kDays ? TwoHour(c, s - kDays, t) : 0);
        return clause;
    }

    // No one-hour lesson right after an hour of the same teacher in the same
    // class section (EncodeLessons has made the pairs). A pinned lesson is a
    // one-hour lesson, so no searched hour of its teacher comes right before it.
    void EncodeSingleHourRuns() {
        if (!options_.no_single_hour_runs) {
            return;
        }
        const GuardScope guard(sink_, NewGroup({RuleGroup::Kind::kSingleRuns}));
        for (int c = 1; c <= C; ++c) {
            for (int t = 1; t <= T; ++t) {
                if (HoursAll(t, c) == 0) {
                    continue;
                }
                for (int s = kDays + 1; s <= kSlots; ++s) {
                    if (const int here = Literals().SearchedLiteral(c, s, t); here != 0) {
                        OneHourLesson(c, s, t, here).Neg(X(c, s - kDays, t)).To(sink_);
                    }
                }
            }
            for (int s = kDays + 1; s <= kSlots; ++s) {
                const int t = school_.Pinned(c, s);
                if (t == 0) {
                    continue;
                }
                if (const int before = Literals().SearchedLiteral(c, s - kDays, t); before != 0) {
                    Clause().Neg(before).To(sink_);
                }
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
                pinned += school_.Pinned(c, s) == t ? 1 : 0;
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
    School school_;
    const int C;
    const int T;

    int true_ = 0;
    SharedLiterals* literals_ = nullptr;  // while Run writes
    std::vector<std::vector<bool>> on_position_;
    std::vector<int> two_hour_;  // [At(c, s) * (T + 1) + t] = the pair of hours s and s + 5
    std::map<std::tuple<int, int, int>, int> joint_groups_;
    std::vector<int> absent_group_;
    std::vector<int> free_group_;
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
