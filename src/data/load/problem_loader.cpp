// Loading a school's working copy into the solver's inputs and the run's rule
// tables, in the seventeen steps a run shows on its progress bar. Every value
// that becomes an index, a byte or a count is checked as it is read, so that a
// damaged copy is refused here with a message instead of during the search.
#include "data/load/problem_loader.h"

#include <QSqlQuery>
#include <algorithm>
#include <vector>

#include "core/solver/errors.h"
#include "core/solver/slots.h"
#include "data/database/database.h"
#include "data/entry/validation.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

std::size_t Ix(int value) {
    return static_cast<std::size_t>(value);
}

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value);
}

[[noreturn]] void RefuseLoad(const QString& reason, const QString& detail) {
    throw ProblemLoadError(S(kContradictoryDataMessage) + u'\r' + reason, detail);
}

[[noreturn]] void RefuseOverLimit(const char* table, qint64 count, int limit) {
    RefuseLoad(
        S("Ο πίνακας %1 έχει %2 εγγραφές· το όριο είναι %3.")
            .arg(QLatin1String(table))
            .arg(count)
            .arg(limit),
        QStringLiteral("%1: %2 rows, limit %3").arg(QLatin1String(table)).arg(count).arg(limit));
}

// A name as a message shows it: a long one by its start and its length.
QString Shown(const QString& name) {
    constexpr qsizetype kShown = 50;
    if (name.size() <= kShown) {
        return name;
    }
    return S("%1… (%2 χαρακτήρες)").arg(name.left(kShown)).arg(name.size());
}

// The kinds of names the pages show, each with the test that entry,
// registration and import apply to it.
struct NameKind {
    bool (*acceptable)(const QString&);
    const char* what;    // "Το όνομα του τμήματος"
    const char* detail;  // "class name"
    int max_length;
    const char* also;  // a further refusal of this kind, or ""
};

constexpr NameKind kSchoolName{IsAcceptableSchoolName, "Το όνομα του σχολείου", "school name",
                               kMaxSchoolNameLength, ""};
constexpr NameKind kClassName{IsAcceptableClassName, "Το όνομα του τμήματος", "class name",
                              kMaxClassNameLength, ", το K.KENH των εκτυπώσεων"};
constexpr NameKind kTeacherName{IsAcceptableTeacherName, "Το όνομα του διδάσκοντος", "teacher name",
                                kMaxTeacherNameLength, ""};
constexpr NameKind kPairName{IsAcceptablePairName, "Το όνομα του ζεύγους διδασκόντων", "pair name",
                             kMaxPairNameLength, ""};

// Refuses a name that entry, registration and import would refuse (one
// typed into the database by hand, or kept from an older version), before
// anything is searched or deleted: its pages could not be read back.
void CheckName(const NameKind& kind, const std::string& utf8) {
    const QString name = QString::fromStdString(utf8);
    if (kind.acceptable(name)) {
        return;
    }
    RefuseLoad(S("%1 «%2» δεν γίνεται δεκτό (κενό, κενά στην αρχή ή στο τέλος, εισαγωγικά, "
                 "%, !, <, χαρακτήρας που δεν γράφεται σε windows-1253%3 ή περισσότεροι από "
                 "%4 χαρακτήρες).\rΔιόρθωσέ το στα δεδομένα του σχολείου και ξαναδοκίμασε.")
                   .arg(S(kind.what), Shown(name), S(kind.also))
                   .arg(kind.max_length),
               QStringLiteral("not an acceptable %1 (%2 characters)")
                   .arg(QLatin1String(kind.detail))
                   .arg(name.size()));
}

// One allocation row of the working copy.
struct AllocationRow {
    int class_section = 0;
    int teacher = 0;
    int hours = 0;
};

class Loader {
  public:
    Loader(const QSqlDatabase& db, const QString& school) : db_(db), school_(school) {}

    LoadedProblem Load(const StepProgress& progress) {
        using Step = void (Loader::*)();
        constexpr Step kSteps[kLoadingSteps] = {
            &Loader::Classes,      &Loader::Teachers,     &Loader::SingleTeachers,
            &Loader::WeekHours,    &Loader::TeacherCount, &Loader::ClassTeachers,
            &Loader::TeacherHours, &Loader::Pinned,       &Loader::TwoHourLessons,
            &Loader::DenyList,     &Loader::MaxWeekHours, &Loader::SameHourPairs,
            &Loader::JointLessons, &Loader::DeniedDays,   &Loader::SplitLessons,
            &Loader::DenyHours,    &Loader::LastDays,
        };
        for (int step = 0; step < kLoadingSteps; ++step) {
            (this->*kSteps[step])();
            if (progress) {
                progress(step + 1, kLoadingSteps);
            }
        }
        return std::move(p_);
    }

  private:
    QSqlQuery Select(const char* sql) const { return Run(db_, S(sql), {school_}); }

    static int Int(const QSqlQuery& q, int column, const char* table) {
        const QVariant value = q.value(column);
        bool ok = false;
        const qint64 number = value.isNull() ? 0 : value.toLongLong(&ok);
        if (!ok || number < -1000000 || number > 1000000) {
            RefuseLoad(S("Ο πίνακας %1 έχει κενή ή μη αριθμητική τιμή «%2».")
                           .arg(QLatin1String(table), value.toString()),
                       QStringLiteral("%1: not a number '%2'")
                           .arg(QLatin1String(table), value.toString()));
        }
        return static_cast<int>(number);
    }

    int ClassAt(const QSqlQuery& q, int column, const char* table) const {
        const int c = Int(q, column, table);
        if (c < 1 || c > C_) {
            RefuseLoad(S("Ο πίνακας %1 αναφέρεται σε τμήμα %2 εκτός ορίων 1-%3.")
                           .arg(QLatin1String(table))
                           .arg(c)
                           .arg(C_),
                       QStringLiteral("%1: class %2 outside 1..%3")
                           .arg(QLatin1String(table))
                           .arg(c)
                           .arg(C_));
        }
        return c;
    }

    int TeacherAt(const QSqlQuery& q, int column, const char* table) const {
        const int t = Int(q, column, table);
        if (t < 1 || t > T_) {
            RefuseLoad(S("Ο πίνακας %1 αναφέρεται σε διδάσκοντα %2 εκτός ορίων 1-%3.")
                           .arg(QLatin1String(table))
                           .arg(t)
                           .arg(T_),
                       QStringLiteral("%1: teacher %2 outside 1..%3")
                           .arg(QLatin1String(table))
                           .arg(t)
                           .arg(T_));
        }
        return t;
    }

    static int SlotAt(const QSqlQuery& q, int column, const char* table) {
        const int s = Int(q, column, table);
        if (!IsSlot(s)) {
            RefuseLoad(
                S("Ο πίνακας %1 έχει θέση %2 εκτός ορίων 1-50.").arg(QLatin1String(table)).arg(s),
                QStringLiteral("%1: slot %2 outside 1..50").arg(QLatin1String(table)).arg(s));
        }
        return s;
    }

    QString ClassName(int c) const { return QString::fromStdString(p_.inputs.class_names[Ix(c)]); }
    QString TeacherName(int t) const {
        return QString::fromStdString(p_.inputs.teacher_names[Ix(t)]);
    }

    // Names in identifier order; the identifiers must be exactly 1..count, as
    // the preparation writes them, since they index the solver's arrays.
    std::vector<std::string> DenseNames(const char* sql, const char* table) const {
        std::vector<std::string> names{std::string()};
        QSqlQuery rows = Select(sql);
        while (rows.next()) {
            const int expected = static_cast<int>(names.size());
            if (expected > kMaxCount) {
                RefuseOverLimit(table, expected, kMaxCount);
            }
            const int id = Int(rows, 0, table);
            if (id != expected) {
                RefuseLoad(S("Ο πίνακας %1 δεν έχει τους κωδικούς 1, 2, … στη σειρά (βρέθηκε %2 "
                             "στη θέση %3).")
                               .arg(QLatin1String(table))
                               .arg(id)
                               .arg(expected),
                           QStringLiteral("%1: id %2 at %3")
                               .arg(QLatin1String(table))
                               .arg(id)
                               .arg(expected));
            }
            names.push_back(rows.value(1).toString().toStdString());
        }
        return names;
    }

    // Step 1, with the school row: the class sections.
    void Classes() {
        QSqlQuery school = Run(db_,
                               S("SELECT SCHOOL_NAME, NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS "
                                 "WHERE USERNAME = ?"),
                               {school_});
        if (!school.next()) {
            RefuseLoad(S("Δεν υπάρχουν προετοιμασμένα δεδομένα για το σχολείο %1.").arg(school_),
                       QStringLiteral("no working copy for %1").arg(school_));
        }
        p_.page_info.school_name = school.value(0).toString().toStdString();
        CheckName(kSchoolName, p_.page_info.school_name);
        p_.page_info.user_name = school_.toStdString();
        p_.solutions_requested = Int(school, 1, "SCHOOLS");
        class_names_ = DenseNames(
            "SELECT CLASS_ID, CLASS FROM CLASSES WHERE SCHOOL_USERNAME = ? ORDER BY CLASS_ID",
            "CLASSES");
        C_ = static_cast<int>(class_names_.size()) - 1;
        for (int c = 1; c <= C_; ++c) {
            CheckName(kClassName, class_names_[Ix(c)]);
        }
    }

    // Step 2: teachers and pairs; every array is sized and zeroed here.
    void Teachers() {
        std::vector<std::string> teacher_names = DenseNames(
            "SELECT TEACHER_ID, TEACHER FROM TEACHERS WHERE SCHOOL_USERNAME = ? ORDER BY "
            "TEACHER_ID",
            "TEACHERS");
        T_ = static_cast<int>(teacher_names.size()) - 1;
        for (int t = 1; t <= T_; ++t) {
            const std::string& name = teacher_names[Ix(t)];
            CheckName(name.find('+') == std::string::npos ? kTeacherName : kPairName, name);
        }
        p_.inputs = SolverInputs::Sized(C_, T_);
        p_.inputs.class_names = std::move(class_names_);
        p_.inputs.teacher_names = std::move(teacher_names);
        p_.rules.teacher_class_hours_all = ByteMatrix(Ix(T_) + 1, Ix(C_) + 1);
    }

    // Step 3: the teachers whose name holds no "+", for the page's lists.
    void SingleTeachers() {
        QSqlQuery rows = Select(
            "SELECT TEACHER_ID, TEACHER FROM TEACHERS WHERE SCHOOL_USERNAME = ? "
            "AND instr(TEACHER, '+') = 0 ORDER BY TEACHER_ID");
        while (rows.next()) {
            p_.page_info.AddSingleTeacher(Byte(TeacherAt(rows, 0, "TEACHERS")),
                                          rows.value(1).toString().toStdString());
        }
    }

    // Step 4: weekly hours of every class section, which must have some.
    void WeekHours() {
        QSqlQuery rows = Select(
            "SELECT CLASS_ID, SUM(HOURS) FROM TEACHERS_OF_CLASS WHERE SCHOOL_USERNAME = ? "
            "GROUP BY CLASS_ID ORDER BY CLASS_ID");
        std::vector<bool> seen(Ix(C_) + 1, false);
        while (rows.next()) {
            const int c = ClassAt(rows, 0, "TEACHERS_OF_CLASS");
            const int hours = Int(rows, 1, "TEACHERS_OF_CLASS");
            if (hours < 0 || hours > kSlots) {
                RefuseLoad(S("Το τμήμα %1 έχει %2 ώρες την εβδομάδα· το όριο είναι 50.")
                               .arg(ClassName(c))
                               .arg(hours),
                           QStringLiteral("class %1: %2 weekly hours").arg(c).arg(hours));
            }
            seen[Ix(c)] = true;
            p_.inputs.class_hours[Ix(c)] = Byte(hours);
            p_.inputs.class_week_hours[Ix(c)] = Byte(hours);
        }
        for (int c = 1; c <= C_; ++c) {
            if (!seen[Ix(c)]) {
                RefuseLoad(S("Το τμήμα %1 δεν έχει κατανομή ωρών διδασκαλίας.").arg(ClassName(c)),
                           QStringLiteral("class %1 without allocation rows").arg(c));
            }
        }
    }

    // Step 5: how many teachers each class section has.
    void TeacherCount() {
        QSqlQuery rows = Select(
            "SELECT CLASS_ID, COUNT(*) FROM TEACHERS_OF_CLASS WHERE SCHOOL_USERNAME = ? "
            "GROUP BY CLASS_ID ORDER BY CLASS_ID");
        while (rows.next()) {
            const int c = ClassAt(rows, 0, "TEACHERS_OF_CLASS");
            const int count = Int(rows, 1, "TEACHERS_OF_CLASS");
            if (count > T_) {
                RefuseOverLimit("TEACHERS_OF_CLASS", count, T_);
            }
            p_.inputs.class_teacher_count[Ix(c)] = Byte(count);
        }
    }

    // Step 6: the teachers of each class section in ascending number.
    void ClassTeachers() {
        QSqlQuery rows = Select(
            "SELECT CLASS_ID, TEACHER_ID, HOURS FROM TEACHERS_OF_CLASS WHERE SCHOOL_USERNAME = ? "
            "ORDER BY CLASS_ID, TEACHER_ID");
        std::vector<int> listed(Ix(C_) + 1, 0);
        while (rows.next()) {
            AllocationRow row{ClassAt(rows, 0, "TEACHERS_OF_CLASS"),
                              TeacherAt(rows, 1, "TEACHERS_OF_CLASS"),
                              Int(rows, 2, "TEACHERS_OF_CLASS")};
            const int k = ++listed[Ix(row.class_section)];
            p_.inputs.class_teachers(Ix(row.class_section), Ix(k)) = Byte(row.teacher);
            allocation_.push_back(row);
        }
    }

    // Step 7: each teacher's hours in each class section.
    void TeacherHours() {
        for (const AllocationRow& row : allocation_) {
            if (row.hours < 0 || row.hours > kSlots) {
                RefuseLoad(S("Ο διδάσκων %1 έχει %2 ώρες στο τμήμα %3.")
                               .arg(TeacherName(row.teacher))
                               .arg(row.hours)
                               .arg(ClassName(row.class_section)),
                           QStringLiteral("teacher %1 class %2: %3 hours")
                               .arg(row.teacher)
                               .arg(row.class_section)
                               .arg(row.hours));
            }
            p_.inputs.teacher_class_hours(Ix(row.teacher), Ix(row.class_section)) = Byte(row.hours);
            p_.rules.teacher_class_hours_all(Ix(row.teacher), Ix(row.class_section)) =
                Byte(row.hours);
        }
    }

    // Step 8: pinned lessons. One beyond the class section's hour positions
    // takes the place of its last position (one beyond the rows its page
    // shows is refused before a search); each pinned lesson is an hour of its
    // teacher that the search does not place.
    void Pinned() {
        QSqlQuery rows = Select(
            "SELECT CLASS_ID, TEACHER_ID, [HOUR] FROM KARFWTOI WHERE SCHOOL_USERNAME = ? "
            "ORDER BY rowid");
        while (rows.next()) {
            const int c = ClassAt(rows, 0, "KARFWTOI");
            const int t = TeacherAt(rows, 1, "KARFWTOI");
            const int s = SlotAt(rows, 2, "KARFWTOI");
            std::uint8_t& positions = p_.inputs.class_hours[Ix(c)];
            std::uint8_t& pinned = p_.inputs.pinned_lessons(Ix(c), Ix(s));
            std::uint8_t& hours = p_.inputs.teacher_class_hours(Ix(t), Ix(c));
            if (pinned != 0) {
                RefuseLoad(S("Το τμήμα %1 έχει δύο κλειδωμένα μαθήματα στη θέση %2.")
                               .arg(ClassName(c))
                               .arg(s),
                           QStringLiteral("class %1: two pinned lessons at %2").arg(c).arg(s));
            }
            if (hours == 0 || (s > positions && positions == 0)) {
                RefuseLoad(S("Ο διδάσκων %1 έχει στο τμήμα %2 περισσότερες κλειδωμένες ώρες "
                             "από τις ώρες διδασκαλίας του.")
                               .arg(TeacherName(t), ClassName(c)),
                           QStringLiteral("teacher %1 class %2: more pinned lessons than hours")
                               .arg(t)
                               .arg(c));
            }
            if (s > positions) {
                --positions;
            }
            pinned = Byte(t);
            --hours;
        }
    }

    // Step 9: two-hour lessons.
    void TwoHourLessons() {
        QSqlQuery rows = Select(
            "SELECT CLASS_ID, TEACHER_ID, DYOWRA FROM TEACHERS_OF_CLASS WHERE SCHOOL_USERNAME = ? "
            "AND DYOWRA > 0 ORDER BY rowid");
        while (rows.next()) {
            const int c = ClassAt(rows, 0, "TEACHERS_OF_CLASS");
            const int t = TeacherAt(rows, 1, "TEACHERS_OF_CLASS");
            const int doubles = Int(rows, 2, "TEACHERS_OF_CLASS");
            if (doubles > kSlots / 2) {
                RefuseLoad(
                    S("Ο διδάσκων %1 έχει %2 δίωρα στο τμήμα %3.")
                        .arg(TeacherName(t))
                        .arg(doubles)
                        .arg(ClassName(c)),
                    QStringLiteral("teacher %1 class %2: %3 doubles").arg(t).arg(c).arg(doubles));
            }
            p_.inputs.two_hour_lessons(Ix(c), Ix(t)) = Byte(doubles);
        }
    }

    // Step 10: every slot refused to a teacher, absent days and free hours.
    void DenyList() {
        QSqlQuery rows = Select(
            "SELECT [HOUR], TEACHER_ID FROM GENERAL_DENY_DAYS_OR_HOURS WHERE SCHOOL_USERNAME = ?");
        while (rows.next()) {
            const int s = SlotAt(rows, 0, "GENERAL_DENY_DAYS_OR_HOURS");
            p_.rules.AddDeniedSlot(Byte(TeacherAt(rows, 1, "GENERAL_DENY_DAYS_OR_HOURS")), Byte(s));
        }
    }

    // Step 11: the busiest class section's week, which sets the page's hours.
    void MaxWeekHours() {
        const auto& week = p_.inputs.class_week_hours;
        p_.page_info.max_class_week_hours = *std::max_element(week.begin(), week.end());
    }

    // Step 12: teachers who never teach at the same slot.
    void SameHourPairs() {
        QSqlQuery rows = Select(
            "SELECT FIRST_TEACHER_ID, SECOND_TEACHER_ID FROM TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR "
            "WHERE SCHOOL_USERNAME = ? ORDER BY rowid");
        while (rows.next()) {
            const char* table = "TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR";
            p_.rules.AddSameHourPair(Byte(TeacherAt(rows, 0, table)),
                                     Byte(TeacherAt(rows, 1, table)));
        }
    }

    // Step 13: teachers in two class sections at once, both orientations.
    void JointLessons() {
        const char* table = "KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA";
        QSqlQuery rows = Select(
            "SELECT TEACHER_ID, CLASS_ID_1, CLASS_ID_2 FROM "
            "KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA "
            "WHERE SCHOOL_USERNAME = ? ORDER BY rowid");
        while (rows.next()) {
            if (p_.rules.JointLessons().size() == std::size_t{kMaxCount}) {
                RefuseOverLimit(table, kMaxCount + 1, kMaxCount);
            }
            const int t = TeacherAt(rows, 0, table);
            p_.rules.AddJointLesson(Byte(ClassAt(rows, 1, table)), Byte(ClassAt(rows, 2, table)),
                                    Byte(t));
        }
    }

    // Step 14: how many days each teacher is absent.
    void DeniedDays() {
        QSqlQuery rows = Select(
            "SELECT TEACHER_ID, COUNT(DISTINCT DISPLAY_DAY) FROM DENY_TEACHERS_DAYS "
            "WHERE SCHOOL_USERNAME = ? GROUP BY TEACHER_ID ORDER BY TEACHER_ID");
        while (rows.next()) {
            const int t = TeacherAt(rows, 0, "DENY_TEACHERS_DAYS");
            const int days = Int(rows, 1, "DENY_TEACHERS_DAYS");
            if (days > kDays) {
                RefuseLoad(S("Ο διδάσκων %1 απουσιάζει %2 διαφορετικές ημέρες.")
                               .arg(TeacherName(t))
                               .arg(days),
                           QStringLiteral("teacher %1: %2 absent days").arg(t).arg(days));
            }
            p_.rules.AddDeniedDays(Byte(t), Byte(days));
        }
        // The slots of those days, to tell an absent day from a free hour.
        QSqlQuery day_slots = Select(
            "SELECT TEACHER_ID, WRA FROM DENY_TEACHERS_DAYS WHERE SCHOOL_USERNAME = ? "
            "ORDER BY rowid");
        p_.denied_slots.absent_day.assign(
            (static_cast<std::size_t>(p_.inputs.number_of_teachers) + 1) * kSlotColumns, 0);
        while (day_slots.next()) {
            const int t = TeacherAt(day_slots, 0, "DENY_TEACHERS_DAYS");
            const int s = SlotAt(day_slots, 1, "DENY_TEACHERS_DAYS");
            p_.denied_slots.AddAbsentDay(p_.inputs.number_of_teachers, t, DayOfSlot(s));
        }
    }

    // Step 15: lessons split between two teachers.
    void SplitLessons() {
        const char* table = "XWRISMOS_MATHIMATOS";
        QSqlQuery rows = Select(
            "SELECT CLASS_ID, TEACHER_ID_1, TEACHER_ID_2 FROM XWRISMOS_MATHIMATOS "
            "WHERE SCHOOL_USERNAME = ? ORDER BY rowid");
        while (rows.next()) {
            if (p_.rules.Splits().size() == std::size_t{kMaxCount}) {
                RefuseOverLimit(table, kMaxCount + 1, kMaxCount);
            }
            const int c = ClassAt(rows, 0, table);
            p_.rules.AddSplitLesson(Byte(c), Byte(TeacherAt(rows, 1, table)),
                                    Byte(TeacherAt(rows, 2, table)));
        }
    }

    // Step 16: the free hours the page shows grey.
    void DenyHours() {
        QSqlQuery rows = Select(
            "SELECT TEACHER_ID, WRA FROM DENY_TEACHERS_HOURS WHERE SCHOOL_USERNAME = ? "
            "ORDER BY rowid");
        while (rows.next()) {
            const int t = TeacherAt(rows, 0, "DENY_TEACHERS_HOURS");
            p_.page_info.AddDenyHour(Byte(t), Byte(SlotAt(rows, 1, "DENY_TEACHERS_HOURS")));
        }
    }

    // Step 17: the eighth-hour slots, ascending.
    void LastDays() {
        QSqlQuery rows = Select(
            "SELECT DISPLAY_DAY FROM LAST_DAYS WHERE SCHOOL_USERNAME = ? "
            "ORDER BY CAST(DISPLAY_DAY AS INTEGER)");
        while (rows.next()) {
            const int s = Int(rows, 0, "LAST_DAYS");
            if (s < kFirstEighthHourSlot || s > kLastEighthHourSlot ||
                p_.rules.EighthHourSlots().size() == std::size_t{kDays}) {
                RefuseLoad(
                    S("Ο πίνακας LAST_DAYS έχει θέση %1 που δεν είναι όγδοη ώρα (36-40).").arg(s),
                    QStringLiteral("LAST_DAYS: slot %1").arg(s));
            }
            p_.rules.AddLastDay(Byte(s));
        }
    }

    QSqlDatabase db_;
    QString school_;
    LoadedProblem p_;
    int C_ = 0;
    int T_ = 0;
    std::vector<std::string> class_names_;
    std::vector<AllocationRow> allocation_;
};

}  // namespace

LoadedProblem LoadProblem(const QSqlDatabase& working, const QString& school,
                          const StepProgress& progress) {
    // One read transaction: the problem comes from one state of the copy,
    // and the file is locked and checked for a journal once, not once for
    // each of the loader's statements.
    const Transaction reading(working);
    return Loader(working, school).Load(progress);
}

}  // namespace taktirio::data
