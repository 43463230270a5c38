// Checks a problem against the invariants the search relies on, then derives
// the rule index (rule_index.cpp). Everything the search indexes with is
// checked here, so that the search itself can read its tables unchecked.
#include <string>
#include <vector>

#include "core/common/narrow.h"
#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"

namespace taktirio {

namespace {

std::string Num(long long v) {
    return std::to_string(v);
}

class ProblemCheck {
  public:
    ProblemCheck(const SolverInputs& in, const RuleTables& rules, const RunOptions& options)
        : in_(in),
          rules_(rules),
          options_(options),
          C(in.number_of_classes),
          T(in.number_of_teachers) {}

    void Run() {
        CheckSizes();
        CheckOptions();
        CheckRuleTables();
        CheckPositions();
        CheckClasses();
        CheckAvailableDays();
    }

  private:
    [[noreturn]] static void Fail(const std::string& message) { throw ProblemError(message); }

    std::string ClassLabel(int c) const {
        const std::string name =
            AsIndex(c) < in_.class_names.size() ? in_.class_names[AsIndex(c)] : "";
        return "τμήμα " + Num(c) + (name.empty() ? "" : " (" + name + ")");
    }
    std::string TeacherLabel(int t) const {
        const std::string name =
            AsIndex(t) < in_.teacher_names.size() ? in_.teacher_names[AsIndex(t)] : "";
        return "καθηγητής " + Num(t) + (name.empty() ? "" : " (" + name + ")");
    }

    static void NeedLength(std::size_t have, std::size_t need, const char* what) {
        if (have < need) {
            Fail(std::string("Ο πίνακας ") + what + " έχει " + Num(static_cast<long long>(have)) +
                 " θέσεις αντί για " + Num(static_cast<long long>(need)) + ".");
        }
    }
    static void NeedMatrix(const ByteMatrix& m, std::size_t rows, std::size_t cols,
                           const char* what) {
        if (m.rows() < rows || m.cols() < cols) {
            Fail(std::string("Ο πίνακας ") + what + " έχει διαστάσεις " +
                 Num(static_cast<long long>(m.rows())) + "x" +
                 Num(static_cast<long long>(m.cols())) + " αντί για " +
                 Num(static_cast<long long>(rows)) + "x" + Num(static_cast<long long>(cols)) + ".");
        }
    }

    void CheckSizes() const {
        const std::size_t c1 = AsIndex(C) + 1;
        const std::size_t t1 = AsIndex(T) + 1;
        NeedLength(in_.class_names.size(), c1, "class_names");
        NeedLength(in_.teacher_names.size(), t1, "teacher_names");
        NeedLength(in_.class_hours.size(), c1, "class_hours");
        NeedLength(in_.class_teacher_count.size(), c1, "class_teacher_count");
        NeedLength(in_.class_week_hours.size(), c1, "class_week_hours");
        NeedMatrix(in_.class_teachers, c1, t1, "class_teachers");
        NeedMatrix(in_.teacher_class_hours, t1, c1, "teacher_class_hours");
        NeedMatrix(in_.pinned_lessons, c1, kSlotColumns, "pinned_lessons");
        NeedMatrix(in_.two_hour_lessons, c1, t1, "two_hour_lessons");
        NeedMatrix(rules_.teacher_class_hours_all, t1, c1, "teacher_class_hours_all");
    }

    void CheckOptions() const {
        if (options_.attempts_per_class < 1) {
            Fail("Οι προσπάθειες ανά τμήμα πρέπει να είναι τουλάχιστον 1.");
        }
    }

    void CheckTeacher(int t, const char* table, long long k) const {
        if (t < 1 || t > T) {
            Fail(std::string("Ο πίνακας ") + table + ", εγγραφή " + Num(k) +
                 ": ο αριθμός καθηγητή " + Num(t) + " είναι εκτός ορίων 1-" + Num(T) + ".");
        }
    }
    void CheckClass(int c, const char* table, long long k) const {
        if (c < 1 || c > C) {
            Fail(std::string("Ο πίνακας ") + table + ", εγγραφή " + Num(k) +
                 ": ο αριθμός τμήματος " + Num(c) + " είναι εκτός ορίων 1-" + Num(C) + ".");
        }
    }
    void CheckRuleTables() const {
        int previous = 0;
        long long k = 0;
        for (const int s : rules_.EighthHourSlots()) {
            ++k;
            if (s < kFirstEighthHourSlot || s > kLastEighthHourSlot || s <= previous) {
                Fail("Ο πίνακας last_days, εγγραφή " + Num(k) + ": η θέση " + Num(s) +
                     " δεν είναι όγδοη ώρα σε αύξουσα σειρά.");
            }
            previous = s;
        }
        k = 0;
        for (const DeniedSlot& entry : rules_.DeniedSlots()) {
            CheckTeacher(entry.teacher, "deny_list", ++k);
            if (!IsSlot(entry.slot)) {
                Fail("Ο πίνακας deny_list, εγγραφή " + Num(k) + ": η θέση " + Num(entry.slot) +
                     " είναι εκτός ορίων 1-50.");
            }
        }
        k = 0;
        for (const SameHourPair& pair : rules_.SameHourPairs()) {
            CheckTeacher(pair.first, "same_hour_pairs", ++k);
            CheckTeacher(pair.second, "same_hour_pairs", k);
        }
        k = 0;
        for (const JointLesson& joint : rules_.JointLessons()) {
            CheckClass(joint.class1, "joint_lessons", ++k);
            CheckClass(joint.class2, "joint_lessons", k);
            CheckTeacher(joint.teacher, "joint_lessons", k);
            if (joint.class1 == joint.class2) {
                Fail("Ο πίνακας joint_lessons, εγγραφή " + Num(k) + ": το " +
                     ClassLabel(joint.class1) + " δεν μπορεί να συνδιδαχθεί με τον εαυτό του.");
            }
        }
        std::vector<bool> seen(AsIndex(T) + 1, false);
        k = 0;
        for (const AbsentDays& entry : rules_.AbsentDaysOfTeachers()) {
            const int t = entry.teacher;
            CheckTeacher(t, "denied_days", ++k);
            if (entry.days > kDays) {
                Fail("Ο πίνακας denied_days, εγγραφή " + Num(k) + ": " + TeacherLabel(t) + " με " +
                     CountOf(entry.days, "ημέρα", "ημέρες") + " απουσίας.");
            }
            if (seen[static_cast<std::size_t>(t)]) {
                Fail("Ο πίνακας denied_days, εγγραφή " + Num(k) + ": " + TeacherLabel(t) +
                     " εμφανίζεται δεύτερη φορά.");
            }
            seen[static_cast<std::size_t>(t)] = true;
        }
        k = 0;
        for (const SplitLesson& split : rules_.Splits()) {
            CheckClass(split.class_section, "split_lessons", ++k);
            CheckTeacher(split.first, "split_lessons", k);
            CheckTeacher(split.second, "split_lessons", k);
        }
    }

    // Each hour position must fall on its own slot: the eighth-hour positions
    // take the eighth-hour slots when the school has any.
    void CheckPositions() const {
        for (int c = 1; c <= C; ++c) {
            const int hours = in_.class_hours[static_cast<std::size_t>(c)];
            if (hours > kSlots) {
                Fail("Το " + ClassLabel(c) + " έχει " + CountOf(hours, "ώρα", "ώρες") +
                     ", περισσότερες από 50.");
            }
            std::vector<bool> used(kSlotColumns, false);
            for (int k = 1; k <= hours; ++k) {
                const int s = PositionSlot(k);
                if (s == 0) {
                    Fail("Το " + ClassLabel(c) + ": η ώρα " + Num(k) +
                         " δεν αντιστοιχεί σε ημέρα με όγδοη ώρα.");
                }
                if (used[static_cast<std::size_t>(s)]) {
                    Fail("Το " + ClassLabel(c) + ": η ώρα " + Num(k) + " πέφτει σε θέση (" +
                         Num(s) + ") που έχει ήδη χρησιμοποιηθεί.");
                }
                used[static_cast<std::size_t>(s)] = true;
            }
        }
    }

    int PositionSlot(int k) const { return PositionSlotOf(rules_, k); }

    void CheckClasses() const {
        for (int c = 1; c <= C; ++c) {
            CheckClassTeachers(c);
            CheckPinned(c);
            CheckHoursBalance(c);
        }
    }

    void CheckClassTeachers(int c) const {
        const int count = in_.class_teacher_count[static_cast<std::size_t>(c)];
        if (count > T) {
            Fail("Το " + ClassLabel(c) + " έχει " + CountOf(count, "καθηγητή", "καθηγητές") +
                 ", περισσότερους από " + Num(T) + ".");
        }
        std::vector<bool> listed(AsIndex(T) + 1, false);
        for (int k = 1; k <= count; ++k) {
            const int t =
                in_.class_teachers(static_cast<std::size_t>(c), static_cast<std::size_t>(k));
            if (t > T) {
                Fail("Το " + ClassLabel(c) + ": ο καθηγητής " + Num(t) + " είναι εκτός ορίων 1-" +
                     Num(T) + ".");
            }
            listed[static_cast<std::size_t>(t)] = true;
        }
        for (int t = 1; t <= T; ++t) {
            const auto ut = static_cast<std::size_t>(t);
            const auto uc = static_cast<std::size_t>(c);
            const int hours = in_.teacher_class_hours(ut, uc);
            if (hours > 0 && !listed[ut]) {
                Fail("Το " + ClassLabel(c) + ": ο " + TeacherLabel(t) + " έχει " +
                     CountOf(hours, "ώρα", "ώρες") +
                     " αλλά δεν είναι στους καθηγητές του τμήματος.");
            }
            const int doubles = in_.two_hour_lessons(uc, ut);
            if (2 * doubles > hours) {
                Fail("Το " + ClassLabel(c) + ": ο " + TeacherLabel(t) + " έχει " +
                     CountOf(doubles, "δίωρο", "δίωρα") + " αλλά μόνο " +
                     CountOf(hours, "ώρα", "ώρες") + " να τοποθετηθούν.");
            }
        }
    }

    // A class section's page shows the rows of its weekly hours, five lessons
    // a row. A lesson pinned beyond its hour positions takes the place of the
    // last one (the loader counts it so) and is shown when it lies within
    // those rows; one on a later hour would be missing from every page while
    // its teacher's hour counted as given.
    void CheckPinned(int c) const {
        const int rows = (in_.class_week_hours[AsIndex(c)] + kDays - 1) / kDays;
        for (int s = 1; s <= kSlots; ++s) {
            const int t =
                in_.pinned_lessons(static_cast<std::size_t>(c), static_cast<std::size_t>(s));
            if (t > T) {
                Fail("Το " + ClassLabel(c) + ", θέση " + Num(s) + ": ο κλειδωμένος καθηγητής " +
                     Num(t) + " είναι εκτός ορίων 1-" + Num(T) + ".");
            }
            if (t != 0 && HourOfSlot(s) > rows) {
                Fail("Ο διδάσκων " + TeacherName(in_, t) + " έχει κλειδωμένο μάθημα στο " +
                     ClassName(in_, c) + " " + SlotName(s) + ", μετά την τελευταία ώρα (" +
                     Num(rows) +
                     "η) που έχει το τμήμα: το μάθημα δεν θα φαινόταν στο ωρολόγιο "
                     "πρόγραμμα. Κλείδωσέ το σε μία από τις ώρες του τμήματος.");
            }
        }
    }

    // The teachers' hours still to place must fill exactly the positions that
    // no pinned lesson takes; otherwise the class section can never be completed.
    void CheckHoursBalance(int c) const {
        const auto uc = static_cast<std::size_t>(c);
        int free_positions = 0;
        for (int k = 1; k <= in_.class_hours[uc]; ++k) {
            if (in_.pinned_lessons(uc, static_cast<std::size_t>(PositionSlot(k))) == 0) {
                ++free_positions;
            }
        }
        int owed = 0;
        for (int t = 1; t <= T; ++t) {
            owed += in_.teacher_class_hours(static_cast<std::size_t>(t), uc);
        }
        if (owed != free_positions) {
            Fail("Το " + ClassLabel(c) + ": οι ώρες των καθηγητών (" + Num(owed) +
                 ") δεν ισούνται με τις ελεύθερες ώρες του τμήματος (" + Num(free_positions) +
                 ").");
        }
    }

    // A teacher absent on all five days cannot be given any lesson; the daily
    // allowance divides by the available days.
    void CheckAvailableDays() const {
        for (const AbsentDays& entry : rules_.AbsentDaysOfTeachers()) {
            const int t = entry.teacher;
            if (entry.days < kDays) {
                continue;
            }
            for (int c = 1; c <= C; ++c) {
                if (in_.teacher_class_hours(static_cast<std::size_t>(t),
                                            static_cast<std::size_t>(c)) > 0) {
                    Fail("Ο " + TeacherLabel(t) +
                         " απουσιάζει και τις πέντε ημέρες αλλά έχει ώρες στο " + ClassLabel(c) +
                         ".");
                }
            }
        }
    }

    const SolverInputs& in_;
    const RuleTables& rules_;
    const RunOptions& options_;
    const int C;
    const int T;
};

}  // namespace

RuleIndex PrepareSearch(const SolverInputs& inputs, const RuleTables& rules,
                        const RunOptions& options) {
    ProblemCheck(inputs, rules, options).Run();
    return BuildRuleIndex(inputs, rules, options);
}

void PrepareSearch(const SolverInputs& inputs, RunContext& context) {
    context.index = PrepareSearch(inputs, context.rules, context.options);
}

}  // namespace taktirio
