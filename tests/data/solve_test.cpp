// taktirio-cli solve end to end: import, check, prepare, load, search, pages
// written, every page read back and verified against the school's data.
#include <signal.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <filesystem>
#include <map>

#include "cli_support.h"
#include "core/gaps/teacher_gaps.h"
#include "core/pages/solution_page_reader.h"
#include "core/solver/slots.h"
#include "core/verify/timetable_verifier.h"
#include "data/checks/teacher_view.h"
#include "data/load/problem_loader.h"
#include "data/run/run_sequence.h"
#include "data/shell/program_lock.h"
#include "data_test_support.h"
#include "support/school_without_timetable.h"

namespace taktirio::data::testing {
namespace {

using Result = CliResult;
const QString& kDemo = kDemoSchoolFile;

class ClassRows : public PageSink {
  public:
    void Row(const PageRow& row) override { rows.push_back(row); }
    std::vector<PageRow> rows;
};

// The timetable of a page as teacher numbers, by the loaded names.
ByteMatrix TimetableOfPage(const QString& path, const LoadedProblem& problem) {
    const SolverInputs& in = problem.inputs;
    std::map<std::string, int> teacher_number;
    for (int t = 1; t <= in.number_of_teachers; ++t) {
        teacher_number[in.teacher_names[static_cast<std::size_t>(t)]] = t;
    }
    ClassRows sink;
    SolutionPageReader::Open(path.toStdString()).ReadClassTables(sink);
    EXPECT_EQ(sink.rows.size(), in.number_of_classes);
    ByteMatrix timetable(in.number_of_classes + 1u, kSlotColumns);
    for (std::size_t c = 1; c <= sink.rows.size(); ++c) {
        const PageRow& row = sink.rows[c - 1];
        EXPECT_EQ(row.table_name, "ΤΜΗΜΑ: " + in.class_names[c]);
        for (std::size_t p = 1; p <= kSlots; ++p) {
            if (!row.cells[p].empty()) {
                EXPECT_EQ(teacher_number.count(row.cells[p]), 1u) << row.cells[p];
                timetable(c, p) = static_cast<std::uint8_t>(teacher_number[row.cells[p]]);
            }
        }
    }
    return timetable;
}

TEST(Solve, DemoSchoolPagesReadBackAndPassTheVerifier) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    const QStringList solve = {QStringLiteral("solve"), QStringLiteral("-n"),
                               QStringLiteral("3"),     QStringLiteral("--seed"),
                               QStringLiteral("11"),    QStringLiteral("--threads"),
                               QStringLiteral("1"),     QStringLiteral("--replace")};
    Result r = RunCli(solve + at);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("seed 11")));
    EXPECT_TRUE(r.out.contains(U("Λύση=3 Χρόνος=")));
    EXPECT_TRUE(
        r.out.contains(U("Έχουν βρεθεί με επιτυχία 3 από τις 3 λύσεις.\n"
                         "Συνολικός χρόνος επεξεργασίας ")));

    Database working = Database::Open(dir.filePath(QStringLiteral("DATA.sqlite")));
    const LoadedProblem problem = LoadProblem(working.connection(), QStringLiteral("HOMEBASE"));
    const QDir pages(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE")));
    std::vector<ByteMatrix> first;
    for (int n = 1; n <= 3; ++n) {
        const QString page = pages.filePath(QStringLiteral("SOLUTION%1.htm").arg(n));
        first.push_back(TimetableOfPage(page, problem));
        const auto violations =
            VerifyTimetable(problem.inputs, RunOptions{}, problem.rules, first.back());
        EXPECT_TRUE(violations.empty()) << "page " << n << ": " << Describe(violations.front());
    }
    EXPECT_FALSE(pages.exists(QStringLiteral("SOLUTION4.htm")));

    // The same run again: one thread and the same seed give the same timetables.
    r = RunCli(solve + at);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    for (int n = 1; n <= 3; ++n) {
        const QString page = pages.filePath(QStringLiteral("SOLUTION%1.htm").arg(n));
        EXPECT_EQ(TimetableOfPage(page, problem), first[static_cast<std::size_t>(n - 1)]);
    }
}

QString FixtureSchool(const char* name) {
    return QStringLiteral(TAKTIRIO_DATA_FIXTURES "/") + QString::fromUtf8(name) +
           QStringLiteral(".json");
}

// The timetables of SOLUTION1.htm, SOLUTION2.htm, ... up to the first page
// missing, each one checked by the verifier and none repeating another.
std::vector<ByteMatrix> DistinctVerifiedPages(const QString& directory) {
    Database working = Database::Open(QDir(directory).filePath(QStringLiteral("DATA.sqlite")));
    const LoadedProblem problem = LoadProblem(working.connection(), QStringLiteral("HOMEBASE"));
    const QDir pages(QDir(directory).filePath(QStringLiteral("SOLUTIONS/HOMEBASE")));
    std::vector<ByteMatrix> timetables;
    for (int n = 1; pages.exists(QStringLiteral("SOLUTION%1.htm").arg(n)); ++n) {
        const ByteMatrix timetable =
            TimetableOfPage(pages.filePath(QStringLiteral("SOLUTION%1.htm").arg(n)), problem);
        const auto violations = VerifyTimetable(problem.inputs, RunOptions{}, problem.rules,
                                                timetable, VerifyMode::kFinished);
        EXPECT_TRUE(violations.empty()) << "page " << n << ": " << Describe(violations.front());
        EXPECT_EQ(std::count(timetables.begin(), timetables.end(), timetable), 0)
            << "page " << n << " repeats an earlier page";
        timetables.push_back(timetable);
    }
    return timetables;
}

// A school of three timetables asked for twenty, with two threads and the
// default search: each timetable is written once; the randomised search
// finding them again hands over to the exact search, which proves there is
// no fourth, and the run says so.
TEST(Solve, ATimetableAlreadyWrittenIsNeverWrittenAgain) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(
        RunCli(QStringList{QStringLiteral("import"), FixtureSchool("three-timetables")} + at).code,
        0);
    const Result r =
        RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("-n"), QStringLiteral("20"),
                           QStringLiteral("--threads"), QStringLiteral("2")} +
               at);
    EXPECT_EQ(r.code, 5) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("βρέθηκαν όλα: 3."))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(U("Έχουν βρεθεί με επιτυχία 3 από τις 20 λύσεις.")));
    EXPECT_EQ(DistinctVerifiedPages(dir.path()).size(), 3u);
}

// Small schools whose timetables were counted, asked for more than they have:
// every timetable is written exactly once, with and without --fewer-gaps,
// under the exact search and under the default one (whose randomised search,
// finding only timetables already written, hands over to the exact search).
// A rework toward fewer gaps may land on another timetable: the one searched
// is still written, so that "all found" holds for the pages.
TEST(Solve, EveryTimetableOfACountedSchoolIsWrittenOnce) {
    const struct {
        const char* school;
        std::size_t timetables;
    } schools[] = {{"three-timetables", 3}, {"twenty-four-timetables", 24}};
    for (const auto& school : schools) {
        QTemporaryDir dir;
        const QStringList at = {QStringLiteral("--dir"), dir.path()};
        ASSERT_EQ(
            RunCli(QStringList{QStringLiteral("import"), FixtureSchool(school.school)} + at).code,
            0);
        for (const char* search : {"exact", "both"}) {
            for (const bool fewer_gaps : {false, true}) {
                SCOPED_TRACE(std::string(school.school) + ", --search " + search +
                             (fewer_gaps ? ", --fewer-gaps" : ""));
                QStringList solve = {QStringLiteral("solve"),   QStringLiteral("-n"),
                                     QStringLiteral("254"),     QStringLiteral("--seed"),
                                     QStringLiteral("1"),       QStringLiteral("--threads"),
                                     QStringLiteral("1"),       QStringLiteral("--search"),
                                     QString::fromUtf8(search), QStringLiteral("--replace")};
                if (fewer_gaps) {
                    solve.append(QStringLiteral("--fewer-gaps"));
                }
                const Result r = RunCli(solve + at);
                EXPECT_EQ(r.code, 5) << r.err.toStdString();
                EXPECT_TRUE(r.out.contains(
                    U("βρέθηκαν όλα: %1.").arg(static_cast<qsizetype>(school.timetables))))
                    << r.out.toStdString();
                EXPECT_EQ(DistinctVerifiedPages(dir.path()).size(), school.timetables);
            }
        }
    }
}

// Each solution's line gives its time and when it was found, and is followed by its teacher gaps,
// which are the gaps of the page written; the summary names the solution with
// the fewest. With --fewer-gaps a reworked timetable shows both counts, and
// its gaps are never more than the searched one's.
TEST(Solve, EachSolutionShowsTheGapsOfItsPage) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    const QRegularExpression solution_line(
        QStringLiteral("^Λύση=(\\d+) Χρόνος=\\d+:\\d+:\\d+:\\d+, βρέθηκε στο "
                       "\\d+:\\d+:\\d+:\\d+$"));
    const QRegularExpression gaps_line(
        QStringLiteral("^  Κενά καθηγητών: (?:(\\d+) → )?(\\d+) συνολικά, "
                       "έως (?:(\\d+) → )?(\\d+) ανά καθηγητή(?: \\((.+)\\))?$"));
    for (const bool fewer_gaps : {false, true}) {
        SCOPED_TRACE(fewer_gaps ? "--fewer-gaps" : "without the option");
        QStringList solve = {QStringLiteral("solve"), QStringLiteral("-n"),
                             QStringLiteral("4"),     QStringLiteral("--seed"),
                             QStringLiteral("5"),     QStringLiteral("--threads"),
                             QStringLiteral("1"),     QStringLiteral("--replace")};
        if (fewer_gaps) {
            solve.append(QStringLiteral("--fewer-gaps"));
        }
        const Result r = RunCli(solve + at);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(U("Προσοχή"))) << r.err.toStdString();

        Database working = Database::Open(dir.filePath(QStringLiteral("DATA.sqlite")));
        const LoadedProblem problem = LoadProblem(working.connection(), QStringLiteral("HOMEBASE"));
        const TeacherPeople people =
            PeopleOfTeachers(problem.inputs.teacher_names, problem.inputs.number_of_teachers);
        const QDir pages(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE")));
        // The run's options are kept beside its pages, for the editor.
        const std::optional<RunSettings> kept = KeptRunSettings(pages.path().toStdString());
        ASSERT_TRUE(kept.has_value());
        EXPECT_EQ(kept->fewer_gaps, fewer_gaps);
        const QStringList lines = r.out.split(u'\n');
        std::vector<GapSummary> written;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QRegularExpressionMatch solution = solution_line.match(lines[i]);
            if (!solution.hasMatch()) {
                continue;
            }
            const int n = solution.captured(1).toInt();
            ASSERT_EQ(n, static_cast<int>(written.size()) + 1) << lines[i].toStdString();
            ASSERT_LT(i + 1, lines.size());
            const QRegularExpressionMatch gaps = gaps_line.match(lines[i + 1]);
            ASSERT_TRUE(gaps.hasMatch()) << lines[i + 1].toStdString();
            const GapSummary page =
                CountGaps(TimetableOfPage(pages.filePath(QStringLiteral("SOLUTION%1.htm").arg(n)),
                                          problem),
                          problem.inputs.number_of_classes, people)
                    .summary;
            EXPECT_EQ(gaps.captured(2).toInt(), page.total) << n;
            EXPECT_EQ(gaps.captured(4).toInt(), page.worst) << n;
            EXPECT_EQ(gaps.captured(5).toStdString(),
                      page.worst > 0 ? people.names[static_cast<std::size_t>(page.worst_person)]
                                     : std::string())
                << n;
            // Before and after only for a reworked timetable, never worse.
            EXPECT_EQ(gaps.hasCaptured(1), gaps.hasCaptured(3)) << lines[i + 1].toStdString();
            if (gaps.hasCaptured(1)) {
                EXPECT_TRUE(fewer_gaps) << lines[i + 1].toStdString();
                const GapSummary searched{gaps.captured(1).toInt(), gaps.captured(3).toInt(), 0};
                EXPECT_FALSE(FewerGaps(searched, page)) << lines[i + 1].toStdString();
            }
            written.push_back(page);
        }
        ASSERT_EQ(written.size(), 4U) << r.out.toStdString();
        std::size_t fewest = 0;
        for (std::size_t k = 1; k < written.size(); ++k) {
            if (FewerGaps(written[k], written[fewest])) {
                fewest = k;
            }
        }
        EXPECT_TRUE(r.out.contains(U("Συνολικός χρόνος επεξεργασίας ")));
        const QString named = QStringLiteral(
                                  "\nΛιγότερα κενά καθηγητών: Λύση=%1 (τα λιγότερα κενά του "
                                  "πιο επιβαρυμένου διδάσκοντα: έως %2 ανά καθηγητή, %3 "
                                  "συνολικά)\n")
                                  .arg(fewest + 1)
                                  .arg(written[fewest].worst)
                                  .arg(written[fewest].total);
        EXPECT_TRUE(r.out.contains(named)) << r.out.toStdString();
        if (fewer_gaps) {
            // The demo school's searched timetables have gaps to spare, and
            // every reworked page still passes the verifier.
            EXPECT_TRUE(r.out.contains(U(" → "))) << r.out.toStdString();
            for (int n = 1; n <= 4; ++n) {
                const Result verify =
                    RunCli(QStringList{QStringLiteral("verify"),
                                       pages.filePath(QStringLiteral("SOLUTION%1.htm").arg(n))} +
                           at);
                EXPECT_EQ(verify.code, 0) << n << verify.out.toStdString();
            }
        }
    }
}

// The teacher view's gaps in the solutions: a teacher's and a pair's members'
// weekly gaps read from every page present, as the pages' timetables give
// them; a page that cannot be read is named, not counted.
TEST(Solve, TeacherGapsAreReadFromEveryPagePresent) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    const std::filesystem::path folder =
        dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE")).toStdString();
    EXPECT_TRUE(ReadGapsInPages(folder, "ΠΑΠΑΔΟΠΟΥΛΟΥ ΜΑΡΙΑ").people.empty());  // no folder
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    const Result r = RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("-n"),
                                        QStringLiteral("5"), QStringLiteral("--seed"),
                                        QStringLiteral("8"), QStringLiteral("--threads"),
                                        QStringLiteral("1"), QStringLiteral("--replace")} +
                            at);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    // Page 3 gone and page 4 damaged: four pages present, three read.
    std::filesystem::remove(folder / "SOLUTION3.htm");
    {
        QFile damaged(QString::fromStdString((folder / "SOLUTION4.htm").string()));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("<html>not a timetable</html>");
    }

    Database working = Database::Open(dir.filePath(QStringLiteral("DATA.sqlite")));
    const LoadedProblem problem = LoadProblem(working.connection(), QStringLiteral("HOMEBASE"));
    const TeacherPeople people =
        PeopleOfTeachers(problem.inputs.teacher_names, problem.inputs.number_of_teachers);
    const auto person_named = [&people](const std::string& name) {
        return static_cast<std::size_t>(std::find(people.names.begin(), people.names.end(), name) -
                                        people.names.begin());
    };
    struct Case {
        std::string chosen;
        std::vector<std::string> members;
    };
    const Case cases[] = {
        {"ΠΑΠΑΔΟΠΟΥΛΟΥ ΜΑΡΙΑ", {"ΠΑΠΑΔΟΠΟΥΛΟΥ ΜΑΡΙΑ"}},
        {"ΤΣΙΡΩΝΗΣ ΜΙΧΑΗΛ+ΡΗΓΑ ΧΡΥΣΟΥΛΑ", {"ΤΣΙΡΩΝΗΣ ΜΙΧΑΗΛ", "ΡΗΓΑ ΧΡΥΣΟΥΛΑ"}},
        {"ΡΗΓΑ ΧΡΥΣΟΥΛΑ+ΤΣΙΡΩΝΗΣ ΜΙΧΑΗΛ", {"ΡΗΓΑ ΧΡΥΣΟΥΛΑ", "ΤΣΙΡΩΝΗΣ ΜΙΧΑΗΛ"}},
        {"ΚΑΝΕΝΑΣ", {"ΚΑΝΕΝΑΣ"}},  // named on no page: no gaps anywhere
    };
    const std::vector<int> read = {1, 2, 5};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        const GapsInPages gaps = ReadGapsInPages(folder, c.chosen);
        EXPECT_EQ(gaps.unreadable, std::vector<std::string>{"SOLUTION4.htm"});
        ASSERT_EQ(gaps.people.size(), c.members.size());
        for (std::size_t m = 0; m < c.members.size(); ++m) {
            const PersonGapsInPages& person = gaps.people[m];
            EXPECT_EQ(person.name, c.members[m]);
            ASSERT_EQ(person.pages.size(), read.size());
            int fewest = -1;
            for (std::size_t i = 0; i < read.size(); ++i) {
                const QString page = QString::fromStdString(
                    (folder / ("SOLUTION" + std::to_string(read[i]) + ".htm")).string());
                const GapCount count = CountGaps(TimetableOfPage(page, problem),
                                                 problem.inputs.number_of_classes, people);
                const std::size_t p = person_named(person.name);
                const int weekly = p < people.names.size() ? count.per_week[p] : 0;
                EXPECT_EQ(person.pages[i].solution, read[i]);
                EXPECT_EQ(person.pages[i].weekly, weekly) << read[i];
                if (p < people.names.size()) {
                    EXPECT_EQ(person.pages[i].per_day, count.per_day[p]) << read[i];
                }
                if (fewest < 0 || weekly < person.pages[static_cast<std::size_t>(fewest)].weekly) {
                    fewest = static_cast<int>(i);
                }
            }
            EXPECT_EQ(person.fewest, fewest);
        }
        const QString text = GapsInPagesText(gaps);
        // The fewest first, one line per member, naming the solution.
        const QStringList lines = text.split(u'\n');
        ASSERT_GT(lines.size(), static_cast<qsizetype>(c.members.size()));
        for (std::size_t m = 0; m < c.members.size(); ++m) {
            const PersonGapsInPages& person = gaps.people[m];
            const PersonGapsInPages::Page& best =
                person.pages[static_cast<std::size_t>(person.fewest)];
            EXPECT_TRUE(lines[static_cast<qsizetype>(m)].startsWith(U("Λιγότερα κενά στις λύσεις")))
                << lines[static_cast<qsizetype>(m)].toStdString();
            EXPECT_TRUE(lines[static_cast<qsizetype>(m)].contains(
                best.weekly == 0 ? QStringLiteral("Λύση %1, κανένα κενό").arg(best.solution)
                                 : QStringLiteral("Λύση %1, %2 την εβδομάδα (")
                                       .arg(best.solution)
                                       .arg(best.weekly)))
                << lines[static_cast<qsizetype>(m)].toStdString();
        }
        EXPECT_TRUE(text.contains(U("Λύση 5: "))) << text.toStdString();
        EXPECT_FALSE(text.contains(U("Λύση 3: "))) << text.toStdString();
        EXPECT_TRUE(text.contains(U("SOLUTION4.htm"))) << text.toStdString();
        EXPECT_EQ(text.count(U("Κενά στις λύσεις")), static_cast<qsizetype>(c.members.size()));

        // As a table: the fewest and the unread pages above it, then one row
        // per page and person, in page order.
        const QString summary = GapsInPagesSummary(gaps);
        EXPECT_EQ(summary.split(u'\n').size(), static_cast<qsizetype>(c.members.size()) + 1);
        EXPECT_TRUE(summary.startsWith(text.section(u'\n', 0, 0))) << summary.toStdString();
        EXPECT_TRUE(summary.endsWith(U("SOLUTION4.htm"))) << summary.toStdString();
        const bool pair = c.members.size() > 1;
        const QStringList columns = GapsInPagesColumns(gaps);
        const QStringList first =
            pair ? QStringList{U("Λύση"), U("Διδάσκων")} : QStringList{U("Λύση")};
        const QStringList counts = {U("Σύνολο"),  U("Δευτέρα"), U("Τρίτη"),
                                    U("Τετάρτη"), U("Πέμπτη"),  U("Παρασκευή")};
        EXPECT_EQ(columns, first + counts);
        const QList<QStringList> rows = GapsInPagesRows(gaps);
        ASSERT_EQ(rows.size(), static_cast<qsizetype>(read.size() * c.members.size()));
        for (qsizetype row = 0; row < rows.size(); ++row) {
            const std::size_t i = static_cast<std::size_t>(row) / c.members.size();
            const std::size_t m = static_cast<std::size_t>(row) % c.members.size();
            const PersonGapsInPages::Page& page = gaps.people[m].pages[i];
            QStringList expected{QString::number(read[i])};
            if (pair) {
                expected.append(QString::fromStdString(c.members[m]));
            }
            expected.append(QString::number(page.weekly));
            for (int d = 1; d <= kDays; ++d) {
                expected.append(QString::number(page.per_day[static_cast<std::size_t>(d)]));
            }
            EXPECT_EQ(rows[row], expected) << "row " << row;
            EXPECT_EQ(rows[row].size(), columns.size());
        }
    }
    // Every page gone: nothing to show.
    for (int n : read) {
        std::filesystem::remove(folder / ("SOLUTION" + std::to_string(n) + ".htm"));
    }
    std::filesystem::remove(folder / "SOLUTION4.htm");
    EXPECT_EQ(GapsInPagesText(ReadGapsInPages(folder, "ΠΑΠΑΔΟΠΟΥΛΟΥ ΜΑΡΙΑ")), QString());
    EXPECT_EQ(GapsInPagesSummary(ReadGapsInPages(folder, "ΠΑΠΑΔΟΠΟΥΛΟΥ ΜΑΡΙΑ")), QString());
    EXPECT_TRUE(GapsInPagesRows(ReadGapsInPages(folder, "ΠΑΠΑΔΟΠΟΥΛΟΥ ΜΑΡΙΑ")).isEmpty());
}

TEST(Solve, PreviousPagesNeedConsentAndValuesTheirRanges) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    ASSERT_EQ(
        RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("-n"), QStringLiteral("1")} + at)
            .code,
        0);
    Result r = RunCli(QStringList{QStringLiteral("solve")} + at);  // no terminal, no --replace
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION1.htm"))));

    // Refused before the working copy is rebuilt: its file is not touched.
    const QString working_file = dir.filePath(QStringLiteral("DATA.sqlite"));
    const QByteArray working = FileBytes(working_file);
    for (const QStringList& bad :
         {QStringList{QStringLiteral("-n"), QStringLiteral("255")},
          QStringList{QStringLiteral("-n"), QStringLiteral("0")},
          QStringList{QStringLiteral("--attempts"), QStringLiteral("999")},
          QStringList{QStringLiteral("--max-per-day"), QStringLiteral("4")},
          QStringList{QStringLiteral("--last-hours"), QStringLiteral("5")}}) {
        r = RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("--replace")} + bad + at);
        EXPECT_EQ(r.code, 2) << bad.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(U("Μη αποδεκτές τιμές."))) << bad.join(u' ').toStdString();
    }
    EXPECT_EQ(FileBytes(working_file), working);
    // Numbers out of any sensible range are refused before anything is done,
    // never turned into an overflow.
    for (const QStringList& bad :
         {QStringList{QStringLiteral("--threads"), QStringLiteral("x")},
          QStringList{QStringLiteral("--threads"), QStringLiteral("100000")},
          QStringList{QStringLiteral("--threads"), QStringLiteral("-3")},
          QStringList{QStringLiteral("--time-limit"), QStringLiteral("1e16")},
          QStringList{QStringLiteral("--time-limit"), QStringLiteral("inf")},
          QStringList{QStringLiteral("--time-limit"), QStringLiteral("nan")},
          QStringList{QStringLiteral("--time-limit"), QStringLiteral("-1")},
          QStringList{QStringLiteral("-n"), QStringLiteral("99999999999")},
          QStringList{QStringLiteral("--seed"), QStringLiteral("-1")}}) {
        r = RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("--replace")} + bad + at);
        EXPECT_EQ(r.code, 2) << bad.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << bad.join(u' ').toStdString();
    }
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION1.htm"))));
}

// Nothing of the previous pages is deleted before the run can start: a name
// the pages cannot hold, or a page that cannot be deleted, stops it first.
TEST(Solve, PreviousPagesStayUntilTheRunCanStart) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    const QStringList solve = {QStringLiteral("solve"), QStringLiteral("-n"), QStringLiteral("2"),
                               QStringLiteral("--replace")};
    ASSERT_EQ(RunCli(solve + at).code, 0);
    const QDir pages(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE")));
    const QByteArray first = FileBytes(pages.filePath(QStringLiteral("SOLUTION1.htm")));

    // A page folder in the way: named, and no page deleted.
    ASSERT_TRUE(pages.mkpath(QStringLiteral("SOLUTION5.htm/inside")));
    Result r = RunCli(solve + at);
    EXPECT_EQ(r.code, 4) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("SOLUTION5.htm"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(U("Η αναζήτηση λύσεων δεν ξεκίνησε."))) << r.err.toStdString();
    EXPECT_EQ(FileBytes(pages.filePath(QStringLiteral("SOLUTION1.htm"))), first);
    ASSERT_TRUE(QDir(pages.filePath(QStringLiteral("SOLUTION5.htm"))).removeRecursively());

    // A teacher name windows-1253 cannot hold, written past the entry checks.
    {
        Database entry = Database::Open(dir.filePath(QStringLiteral("DATA2.sqlite")));
        data::Run(entry.connection(),
                  QStringLiteral("UPDATE TEACHERS SET TEACHER = ? WHERE TEACHER_ID = "
                                 "(SELECT MIN(TEACHER_ID) FROM TEACHERS)"),
                  {U("ΚΑΘΗΓΗΤΗΣ 中")});
    }
    r = RunCli(solve + at);
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(U("«ΚΑΘΗΓΗΤΗΣ 中»"))) << r.err.toStdString();
    EXPECT_EQ(FileBytes(pages.filePath(QStringLiteral("SOLUTION1.htm"))), first);
    EXPECT_TRUE(pages.exists(QStringLiteral("SOLUTION2.htm")));
}

// With SOLUTION1.htm gone, --replace still deletes every old page: no page of
// an earlier run stays beside the new ones.
TEST(Solve, ReplaceDeletesEveryOldPageWhateverIsMissing) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("-n"), QStringLiteral("5"),
                                 QStringLiteral("--replace")} +
                     at)
                  .code,
              0);
    const QDir pages(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE")));
    ASSERT_TRUE(QFile::remove(pages.filePath(QStringLiteral("SOLUTION1.htm"))));
    Result r = RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("-n"),
                                  QStringLiteral("2"), QStringLiteral("--replace")} +
                      at);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(pages.entryList(QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{QStringLiteral("SOLUTION1.htm"), QStringLiteral("SOLUTION2.htm")}));
}

TEST(Solve, NoTimetableEndsAtTheTimeLimitWithNoDirectoryLeft) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    const QString file = dir.filePath(QStringLiteral("none.json"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(taktirio::testing::SchoolWithoutTimetable());
    }
    Result r = RunCli(QStringList{QStringLiteral("import"), file} + at);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    // The checks before a search say why at once, naming the teacher.
    r = RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("--time-limit"),
                           QStringLiteral("1.5")} +
               at);
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(U("ΑΛΦΑ"))) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(U("Έχουν βρεθεί με επιτυχία")));
    // Without them the exact search proves it, naming the teacher's free
    // hours, and nothing of the "contradictory options" text is said.
    r = RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("--no-checks"),
                           QStringLiteral("--threads"), QStringLiteral("1"),
                           QStringLiteral("--time-limit"), QStringLiteral("60")} +
               at);
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(U("Αποδείχθηκε ότι δεν υπάρχει ωρολόγιο πρόγραμμα")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(U("οι ελεύθερες ώρες του διδάσκοντα ΑΛΦΑ"))) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(U("Το TAKTIRIO είναι κατασκευασμένο"))) << r.out.toStdString();
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE"))).exists());
    // The randomised search alone runs until its time limit.
    r = RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("--no-checks"),
                           QStringLiteral("--search"), QStringLiteral("random"),
                           QStringLiteral("--time-limit"), QStringLiteral("1.5")} +
               at);
    EXPECT_EQ(r.code, 6) << r.err.toStdString();
    // The time ran out: said as such, and not as the data's fault.
    EXPECT_TRUE(r.out.contains(U("Δεν βρέθηκε λύση μέσα στον χρόνο που δόθηκε")))
        << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(U("Το TAKTIRIO είναι κατασκευασμένο"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(U("Έχουν βρεθεί με επιτυχία 0 από τις 2 λύσεις.")));
    // After the summary, what the search saw: teacher ΑΛΦΑ is refused most.
    const qsizetype evidence = r.out.indexOf(U("Τι συνάντησε η αναζήτηση λύσεων:"));
    EXPECT_GT(evidence, r.out.indexOf(U("Έχουν βρεθεί με επιτυχία"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.indexOf(U("ΑΛΦΑ"), evidence) > evidence) << r.out.toStdString();
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE"))).exists());
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("SOLUTIONS"))).exists());
}

QString WriteContradictorySchool(const QTemporaryDir& dir) {
    const QString file = dir.filePath(QStringLiteral("none.json"));
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(taktirio::testing::SchoolWithoutTimetable());
    return file;
}

// Starts `solve` on a school without a timetable and waits until its search
// has begun; the checks before a search, which would refuse it at once, are
// skipped.
bool StartEndlessSolve(QProcess& process, const QStringList& at, const QStringList& extra = {}) {
    process.start(QStringLiteral(TAKTIRIO_CLI_PATH),
                  QStringList{QStringLiteral("solve"), QStringLiteral("--no-checks"),
                              QStringLiteral("--search"), QStringLiteral("random")} +
                      extra + at);
    if (!process.waitForStarted()) {
        return false;
    }
    QByteArray out;
    while (!out.contains("seed ") && process.waitForReadyRead(10000)) {
        out += process.readAllStandardOutput();
    }
    return out.contains("seed ");
}

// Ctrl-C, a hang-up and a polite kill all stop the run as the stop button
// does: the summary follows, and no empty folder is left that the next run
// would take for previous solutions.
TEST(Solve, InterruptingSignalsStopTheRunAndTheSummaryFollows) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        QTemporaryDir dir;
        const QStringList at = {QStringLiteral("--dir"), dir.path()};
        ASSERT_EQ(
            RunCli(QStringList{QStringLiteral("import"), WriteContradictorySchool(dir)} + at).code,
            0);
        QProcess process;
        ASSERT_TRUE(StartEndlessSolve(process, at)) << "signal " << signal;
        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(30000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "signal " << signal;
        EXPECT_EQ(process.exitCode(), 6) << "signal " << signal;
        EXPECT_TRUE(out.contains(U("Έχουν βρεθεί με επιτυχία 0 από τις 2 λύσεις.")))
            << "signal " << signal;
        // A stop, not a fault of the data.
        EXPECT_TRUE(out.contains(U("διακόπηκε από εσένα πριν βρεθεί κάποια λύση")))
            << "signal " << signal;
        EXPECT_FALSE(out.contains(U("Τα δεδομένα είναι αντιφατικά"))) << "signal " << signal;
        EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE"))).exists());

        // The randomised search alone, so that the run ends at its time limit
        // rather than with the exact search's proof.
        const Result next =
            RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("--no-checks"),
                               QStringLiteral("--search"), QStringLiteral("random"),
                               QStringLiteral("--time-limit"), QStringLiteral("0.2")} +
                   at);
        EXPECT_EQ(next.code, 6) << "not taken for previous solutions: " << next.err.toStdString();
    }
}

// The readers, check and verify PAGE, change no byte of either database,
// with no run going and while one holds the directory.
void ExpectReadersLeaveTheDatabases(const QTemporaryDir& dir, const QStringList& at,
                                    const QString& page) {
    const QString entry = dir.filePath(QStringLiteral("DATA2.sqlite"));
    const QString working = dir.filePath(QStringLiteral("DATA.sqlite"));
    const QByteArray entry_before = FileBytes(entry);
    const QByteArray working_before = FileBytes(working);
    ASSERT_FALSE(working_before.isEmpty());
    for (const QStringList& reader :
         {QStringList{QStringLiteral("check")}, QStringList{QStringLiteral("verify"), page}}) {
        const Result r = RunCli(reader + at);
        EXPECT_NE(r.code, 4) << reader.join(u' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(FileBytes(entry), entry_before) << reader.join(u' ').toStdString();
        EXPECT_EQ(FileBytes(working), working_before) << reader.join(u' ').toStdString();
    }
}

// One writer at a time: while a run holds the directory, a second run, an
// import and a page written by move into the solutions folder are refused
// with the holder named, and nothing of theirs is written. Readers are never
// refused, and never write.
TEST(Solve, ASecondWriterIsRefusedWhileARunHoldsTheDirectory) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    // A page of the demo school for verify to read, then the school that a
    // run searches without end.
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("-n"), QStringLiteral("1"),
                                 QStringLiteral("--threads"), QStringLiteral("1")} +
                     at)
                  .code,
              0);
    const QDir solutions(dir.filePath(QStringLiteral("SOLUTIONS")));
    const QString user = solutions.entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
    const QString page = dir.filePath(QStringLiteral("demo.htm"));
    ASSERT_TRUE(QFile::rename(solutions.filePath(user + QStringLiteral("/SOLUTION1.htm")), page));
    ExpectReadersLeaveTheDatabases(dir, at, page);
    ASSERT_EQ(
        RunCli(QStringList{QStringLiteral("import"), WriteContradictorySchool(dir)} + at).code, 0);
    QProcess first;
    ASSERT_TRUE(StartEndlessSolve(first, at, {QStringLiteral("--replace")}));
    ExpectReadersLeaveTheDatabases(dir, at, page);
    const QByteArray entry_before = FileBytes(dir.filePath(QStringLiteral("DATA2.sqlite")));

    const QString moved = solutions.filePath(user + QStringLiteral("/SOLUTION3.htm"));
    for (const QStringList& second :
         {QStringList{QStringLiteral("solve"), QStringLiteral("--replace")},
          QStringList{QStringLiteral("import"), kDemo},
          QStringList{QStringLiteral("move"), page, QStringLiteral("--class"), U("Α1"),
                      QStringLiteral("--from"), QStringLiteral("1,1"), QStringLiteral("--to"),
                      QStringLiteral("1,2"), QStringLiteral("-o"), moved}}) {
        const Result r = RunCli(second + at);
        EXPECT_EQ(r.code, 4) << second.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(U("χρησιμοποιείται από άλλη εργασία"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::number(first.processId()))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("taktirio-cli"))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(moved));
    EXPECT_EQ(FileBytes(dir.filePath(QStringLiteral("DATA2.sqlite"))), entry_before);
    // Readers are not locked out: check runs, and finds the school contradictory.
    const Result check = RunCli(QStringList{QStringLiteral("check")} + at);
    EXPECT_EQ(check.code, 1) << check.err.toStdString();
    EXPECT_FALSE(check.err.contains(U("χρησιμοποιείται από άλλη εργασία")));

    ::kill(static_cast<pid_t>(first.processId()), SIGINT);
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitCode(), 6);
    EXPECT_FALSE(QFile::exists(dir.filePath(QString::fromLatin1(kProgramLockFile))));
    EXPECT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0)
        << "free once the run ended";
}

// A run killed after its first page leaves the previous pages aside beside
// it. They are no output of move, and a run refused on its way (no consent
// to replace the pages) leaves them where they are; the next run that goes
// ahead deletes them with the pages it replaces.
TEST(Solve, PagesSetAsideOutliveARefusedRunAndAreNoOutput) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(
        RunCli(QStringList{QStringLiteral("import"), FixtureSchool("three-timetables")} + at).code,
        0);
    const QStringList solve = {QStringLiteral("solve"), QStringLiteral("-n"), QStringLiteral("2"),
                               QStringLiteral("--seed"), QStringLiteral("1")};
    ASSERT_EQ(RunCli(solve + QStringList{QStringLiteral("--replace")} + at).code, 0);
    const QDir pages(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE")));
    const auto aside = [&](int n) {
        return pages.filePath(QStringLiteral(".SOLUTION%1.htm.previous").arg(n));
    };
    const QString first = pages.filePath(QStringLiteral("SOLUTION1.htm"));
    std::vector<QByteArray> previous;
    for (int n = 1; n <= 2; ++n) {
        const QString page = pages.filePath(QStringLiteral("SOLUTION%1.htm").arg(n));
        previous.push_back(FileBytes(page));
        ASSERT_TRUE(QFile::rename(page, aside(n)));
    }
    ASSERT_TRUE(QFile::copy(aside(2), first));  // the killed run's first page

    const Result move =
        RunCli(QStringList{QStringLiteral("move"), first, QStringLiteral("--class"), U("Α1"),
                           QStringLiteral("--from"), QStringLiteral("1,1"), QStringLiteral("--to"),
                           QStringLiteral("2,1"), QStringLiteral("-o"), aside(1)} +
               at);
    EXPECT_EQ(move.code, 3) << move.err.toStdString();
    const Result refused = RunCli(solve + at);
    EXPECT_EQ(refused.code, 3) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(U("Υπάρχουν προηγούμενες λύσεις")))
        << refused.err.toStdString();
    for (int n = 1; n <= 2; ++n) {
        EXPECT_EQ(FileBytes(aside(n)), previous[static_cast<std::size_t>(n - 1)]) << n;
    }

    EXPECT_EQ(RunCli(solve + QStringList{QStringLiteral("--replace")} + at).code, 0);
    EXPECT_FALSE(QFile::exists(aside(1)));
    EXPECT_FALSE(QFile::exists(aside(2)));
    EXPECT_EQ(DistinctVerifiedPages(dir.path()).size(), 2u);
}

}  // namespace
}  // namespace taktirio::data::testing
