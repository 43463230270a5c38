#include "data/checks/teacher_view.h"

#include <string_view>
#include <system_error>
#include <unordered_map>

#include "core/common/narrow.h"
#include "core/gaps/teacher_gaps.h"
#include "core/pages/page_errors.h"
#include "core/pages/solution_page_reader.h"
#include "core/run/solution_files.h"
#include "data/database/database.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QList<QStringList> Read(const Session& session, const char* sql, int teacher_id, int pairs = 1) {
    QVariantList values;
    for (int i = 0; i < pairs; ++i) {
        values << session.school << teacher_id;
    }
    return Rows(session.db, S(sql), values);
}

TeacherSection Counted(QList<QStringList> rows) {
    const QString result = S("Συνολικός αριθμός=") + QString::number(rows.size());
    return {std::move(rows), result};
}

constexpr char kAllocation[] =
    "SELECT c.CLASS, a.MONOWRA, a.DYOWRA, a.DYOWRA * 2 + a.MONOWRA AS WRES "
    "FROM CLASSES c JOIN TEACHERS_OF_CLASS a ON c.CLASS_ID = a.CLASS_ID "
    "WHERE a.SCHOOL_USERNAME = ? AND a.TEACHER_ID = ? ORDER BY c.CLASS COLLATE GREEK";
constexpr char kPinned[] =
    "SELECT c.CLASS, k.DISPLAY_DAY_HOUR FROM CLASSES c JOIN KARFWTOI k "
    "ON c.CLASS_ID = k.CLASS_ID WHERE k.SCHOOL_USERNAME = ? AND k.TEACHER_ID = ? "
    "ORDER BY c.CLASS COLLATE GREEK";
constexpr char kAbsent[] =
    "SELECT DISPLAY_DAY FROM DENY_TEACHERS_DAYS WHERE SCHOOL_USERNAME = ? AND TEACHER_ID = ? "
    "ORDER BY DISPLAY_DAY COLLATE GREEK";
constexpr char kFree[] =
    "SELECT DISPLAY_DAY_HOUR FROM DENY_TEACHERS_HOURS WHERE SCHOOL_USERNAME = ? "
    "AND TEACHER_ID = ? ORDER BY DISPLAY_DAY_HOUR ASC";
constexpr char kJoint[] =
    "SELECT CLASS1, CLASS2 FROM DISPLAY_TEACHERS_IN_TWO_CLASSES_2 WHERE SCHOOL_USERNAME = ? "
    "AND TEACHER_ID = ? ORDER BY TEACHER COLLATE GREEK";
// The other teacher of each split; UNION lists a (class, teacher) once.
constexpr char kSplit[] =
    "SELECT CLASS, TEACHER2 AS TEACHER FROM DISPLAY_XWRISMOS_MATHIMATOS_2 "
    "WHERE SCHOOL_USERNAME = ? AND TEACHER_ID_1 = ? UNION "
    "SELECT CLASS, TEACHER1 AS TEACHER FROM DISPLAY_XWRISMOS_MATHIMATOS_2 "
    "WHERE SCHOOL_USERNAME = ? AND TEACHER_ID_2 = ? "
    "ORDER BY 1 COLLATE GREEK, 2 COLLATE GREEK";
constexpr char kApart[] =
    "SELECT TEACHER2 AS TEACHER FROM DISPLAY_DO_NOT_TEACH_TOGETHER_2 "
    "WHERE SCHOOL_USERNAME = ? AND TEACHER_ID_1 = ? UNION "
    "SELECT TEACHER1 AS TEACHER FROM DISPLAY_DO_NOT_TEACH_TOGETHER_2 "
    "WHERE SCHOOL_USERNAME = ? AND TEACHER_ID_2 = ? ORDER BY 1 COLLATE GREEK";

// A page's class timetables as teacher numbers, the numbers given to the
// names in the order the page shows them.
class NumberedClassTables : public PageSink {
  public:
    void Row(const PageRow& row) override {
        std::array<int, kSlotColumns> numbers{};
        for (int s = 1; s <= kSlots; ++s) {
            const std::string& name = row.cells[AsIndex(s)];
            if (!name.empty()) {
                numbers[AsIndex(s)] = NumberOf(name);
            }
        }
        rows.push_back(numbers);
    }
    int NumberOf(const std::string& name) {
        const auto found = numbers_.find(name);
        if (found != numbers_.end()) {
            return found->second;
        }
        names.push_back(name);
        const int number = static_cast<int>(names.size()) - 1;
        numbers_.emplace(name, number);
        return number;
    }

    std::vector<std::string> names{std::string()};  // [number]; [0] unused
    std::vector<std::array<int, kSlotColumns>> rows;

  private:
    std::unordered_map<std::string, int> numbers_;
};

// Counts `teacher_name`'s people in one page, adding a page entry to each.
// False when the page cannot be read or names more teachers than a timetable
// can number.
bool CountPage(const std::filesystem::path& path, int solution, const std::string& teacher_name,
               std::vector<PersonGapsInPages>& people) {
    NumberedClassTables tables;
    try {
        SolutionPageReader::Open(path.string()).ReadClassTables(tables);
    } catch (const PageReadError&) {
        return false;
    }
    if (tables.names.size() - 1 > static_cast<std::size_t>(kMaxCount)) {
        return false;  // more names than a timetable can number
    }
    // The chosen name is numbered after the page's own when the page never
    // names it; that number then appears nowhere in the timetable.
    const int chosen = tables.NumberOf(teacher_name);
    const int teachers = static_cast<int>(tables.names.size()) - 1;
    ByteMatrix timetable(tables.rows.size() + 1, kSlotColumns);
    for (std::size_t c = 0; c < tables.rows.size(); ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            timetable(c + 1, AsIndex(s)) = static_cast<std::uint8_t>(tables.rows[c][AsIndex(s)]);
        }
    }
    const TeacherPeople persons = PeopleOfTeachers(tables.names, teachers);
    const GapCount count = CountGaps(timetable, static_cast<int>(tables.rows.size()), persons);
    std::size_t member = 0;
    for (const std::uint16_t person : persons.of_teacher[AsIndex(chosen)]) {
        if (person == 0) {
            continue;
        }
        if (people.size() <= member) {
            people.push_back({persons.names[person], {}, -1});
        }
        PersonGapsInPages::Page page;
        page.solution = solution;
        page.weekly = count.per_week[person];
        page.per_day = count.per_day[person];
        people[member].pages.push_back(page);
        ++member;
    }
    return true;
}

}  // namespace

GapsInPages ReadGapsInPages(const std::filesystem::path& folder, const std::string& teacher_name) {
    GapsInPages gaps;
    for (int n = 1; n <= kMostSolutionPages; ++n) {
        const std::filesystem::path path = folder / SolutionPageName(n);
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            continue;
        }
        if (!CountPage(path, n, teacher_name, gaps.people)) {
            gaps.unreadable.push_back(SolutionPageName(n));
        }
    }
    for (PersonGapsInPages& person : gaps.people) {
        for (std::size_t i = 0; i < person.pages.size(); ++i) {
            if (person.fewest < 0 ||
                person.pages[i].weekly < person.pages[AsIndex(person.fewest)].weekly) {
                person.fewest = static_cast<int>(i);
            }
        }
    }
    return gaps;
}

namespace {

// "Λύση 2, 3 την εβδομάδα (Δευτέρα 1, Τετάρτη 2)" or "Λύση 2, κανένα κενό".
QString FewestText(const PersonGapsInPages::Page& page) {
    QString text = S("Λύση %1, ").arg(page.solution);
    if (page.weekly == 0) {
        return text + S("κανένα κενό");
    }
    QStringList days;
    for (int d = 1; d <= kDays; ++d) {
        if (page.per_day[AsIndex(d)] > 0) {
            const std::string_view day = kDayNames[AsIndex(d)];
            days.append(QString::fromUtf8(day.data(), static_cast<qsizetype>(day.size())) + u' ' +
                        QString::number(page.per_day[AsIndex(d)]));
        }
    }
    return text + S("%1 την εβδομάδα (%2)").arg(page.weekly).arg(days.join(QStringLiteral(", ")));
}

// " (name)" after a text about one of a pair's members; nothing for one teacher.
QString Who(const GapsInPages& gaps, const PersonGapsInPages& person) {
    return gaps.people.size() > 1 ? S(" (%1)").arg(QString::fromStdString(person.name)) : QString();
}

QStringList FewestLines(const GapsInPages& gaps) {
    QStringList fewest;
    for (const PersonGapsInPages& person : gaps.people) {
        if (person.fewest >= 0) {
            fewest.append(S("Λιγότερα κενά στις λύσεις") + Who(gaps, person) + S(": ") +
                          FewestText(person.pages[AsIndex(person.fewest)]));
        }
    }
    return fewest;
}

QStringList UnreadLines(const GapsInPages& gaps) {
    if (gaps.unreadable.empty()) {
        return {};
    }
    QStringList names;
    for (const std::string& name : gaps.unreadable) {
        names.append(QString::fromStdString(name));
    }
    return {S("Δεν διαβάστηκαν (δεν είναι σελίδες λύσεων ή έχουν αλλοιωθεί): ") +
            names.join(QStringLiteral(", "))};
}

QString DayTitle(int d) {
    const std::string_view day = kDayNames[AsIndex(d)];
    return QString::fromUtf8(day.data(), static_cast<qsizetype>(day.size()));
}

}  // namespace

QString GapsInPagesText(const GapsInPages& gaps) {
    // The fewest first, each person on a line of its own, so that they show
    // without scrolling; then every page's count.
    QStringList counts;
    for (const PersonGapsInPages& person : gaps.people) {
        QStringList pages;
        for (const PersonGapsInPages::Page& page : person.pages) {
            pages.append(S("Λύση %1: %2").arg(page.solution).arg(page.weekly));
        }
        counts.append(S("Κενά στις λύσεις") + Who(gaps, person) + S(": ") +
                      pages.join(QStringLiteral(", ")));
    }
    return (FewestLines(gaps) + counts + UnreadLines(gaps)).join(u'\n');
}

QString GapsInPagesSummary(const GapsInPages& gaps) {
    return (FewestLines(gaps) + UnreadLines(gaps)).join(u'\n');
}

QStringList GapsInPagesColumns(const GapsInPages& gaps) {
    QStringList titles{S("Λύση")};
    if (gaps.people.size() > 1) {
        titles.append(S("Διδάσκων"));
    }
    titles.append(S("Σύνολο"));
    for (int d = 1; d <= kDays; ++d) {
        titles.append(DayTitle(d));
    }
    return titles;
}

QList<QStringList> GapsInPagesRows(const GapsInPages& gaps) {
    QList<QStringList> rows;
    if (gaps.people.empty()) {
        return rows;
    }
    // Every person was counted on the same pages, in the same order.
    for (std::size_t i = 0; i < gaps.people.front().pages.size(); ++i) {
        for (const PersonGapsInPages& person : gaps.people) {
            const PersonGapsInPages::Page& page = person.pages[i];
            QStringList row{QString::number(page.solution)};
            if (gaps.people.size() > 1) {
                row.append(QString::fromStdString(person.name));
            }
            row.append(QString::number(page.weekly));
            for (int d = 1; d <= kDays; ++d) {
                row.append(QString::number(page.per_day[AsIndex(d)]));
            }
            rows.append(row);
        }
    }
    return rows;
}

TeacherDetails ReadTeacherDetails(const Session& session, int teacher_id) {
    // One read transaction: the seven sections show one state of the school,
    // never some from before an import that commits meanwhile and some after.
    const Transaction reading(session.db);
    TeacherDetails details;
    details[0].rows = Read(session, kAllocation, teacher_id);
    int total = 0;
    for (const QStringList& row : details[0].rows) {
        total += row[3].toInt();
    }
    details[0].result = QString::number(total) + S(" Ώρες την εβδομάδα");
    details[1] = Counted(Read(session, kPinned, teacher_id));
    details[2] = Counted(Read(session, kAbsent, teacher_id));
    details[3] = Counted(Read(session, kFree, teacher_id));
    details[4] = Counted(Read(session, kJoint, teacher_id));
    details[5] = Counted(Read(session, kSplit, teacher_id, 2));
    details[6] = Counted(Read(session, kApart, teacher_id, 2));
    return details;
}

}  // namespace taktirio::data
