// taktirio-cli solve end to end: import, check, prepare, load, search, pages
// written, every page read back and verified against the school's data.
#include <signal.h>

#include <QDir>
#include <QProcess>
#include <map>

#include "cli_support.h"
#include "data_test_support.h"
#include "load/problem_loader.h"
#include "pages/solution_page_reader.h"
#include "solver/slots.h"
#include "verify/timetable_verifier.h"

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
    EXPECT_EQ(RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("--threads"),
                                 QStringLiteral("x")} +
                     at)
                  .code,
              2);
}

// Teacher ΑΛΦΑ teaches five hours in each class section, so at most once a
// day in each, but must be free at every hour of Monday: no timetable exists.
QByteArray ContradictorySchool() {
    QByteArray json = R"({
  "format": "taktirio-school", "version": 1,
  "school": {"name": "Σχολείο χωρίς λύση", "responsible": "Χ. Χ.", "solutions_requested": 2},
  "classes": ["Α1", "Α2"],
  "teachers": ["ΑΛΦΑ", "ΒΗΤΑ", "ΓΑΜΜΑ", "ΔΕΛΤΑ", "ΕΨΙΛΟΝ", "ΖΗΤΑ", "ΗΤΑ"],
  "allocation": [)";
    const char* teachers[] = {"ΑΛΦΑ", "ΒΗΤΑ", "ΓΑΜΜΑ", "ΔΕΛΤΑ", "ΕΨΙΛΟΝ", "ΖΗΤΑ", "ΗΤΑ"};
    bool first = true;
    for (const char* c : {"Α1", "Α2"}) {
        for (const char* t : teachers) {
            json += first ? "" : ",";
            first = false;
            json += QByteArray("{\"class\": \"") + c + "\", \"teacher\": \"" + t +
                    "\", \"single\": 5, \"double\": 0}";
        }
    }
    json += "],\n  \"free_hours\": [";
    for (int hour = 1; hour <= 7; ++hour) {
        json += (hour > 1 ? "," : "") +
                QByteArray("{\"teacher\": \"ΑΛΦΑ\", \"day\": 1, \"hour\": ") +
                QByteArray::number(hour) + "}";
    }
    json += "]\n}\n";
    return json;
}

TEST(Solve, NoTimetableEndsAtTheTimeLimitWithNoDirectoryLeft) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    const QString file = dir.filePath(QStringLiteral("none.json"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(ContradictorySchool());
    }
    Result r = RunCli(QStringList{QStringLiteral("import"), file} + at);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("--time-limit"),
                           QStringLiteral("1.5")} +
               at);
    EXPECT_EQ(r.code, 6) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("Το TAKTIRIO είναι κατασκευασμένο για να μπορεί να βρίσκει")));
    EXPECT_TRUE(r.out.contains(U("Έχουν βρεθεί με επιτυχία 0 από τις 2 λύσεις.")));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE"))).exists());
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("SOLUTIONS"))).exists());
}

TEST(Solve, CtrlCStopsTheRunAndTheSummaryFollows) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    const QString file = dir.filePath(QStringLiteral("none.json"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(ContradictorySchool());
    }
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), file} + at).code, 0);
    QProcess process;
    process.start(QStringLiteral(TAKTIRIO_CLI_PATH), QStringList{QStringLiteral("solve")} + at);
    ASSERT_TRUE(process.waitForStarted());
    // Wait until the search has begun, then interrupt it as a terminal would.
    QByteArray out;
    while (!out.contains("seed ") && process.waitForReadyRead(10000)) {
        out += process.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("seed "));
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(30000));
    out += process.readAllStandardOutput();
    EXPECT_EQ(process.exitCode(), 6);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(QString::fromUtf8(out).contains(U("Έχουν βρεθεί με επιτυχία 0 από τις 2 λύσεις.")));
}

}  // namespace
}  // namespace taktirio::data::testing
