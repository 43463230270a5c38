// The way into a run as one class: its stages in order, a stop in each of
// them, a failed preparation, refused numbers and an undeletable old page.
#include "data/run/run_sequence.h"

#include <sys/resource.h>

#include <QDir>
#include <csignal>
#include <functional>
#include <optional>
#include <vector>

#include "cli_support.h"
#include "core/run/solution_files.h"
#include "data/exchange/exchange.h"
#include "data/exchange/school_document.h"
#include "data/prepare/requested_solutions.h"
#include "data/prepare/working_copy.h"
#include "data_test_support.h"
#include "support/immutable_file.h"

namespace taktirio::data::testing {
namespace {

// Answers "stop" at one step of one piece of work and records what it heard.
class StopAt : public RunListener {
  public:
    StopAt(std::optional<RunWork> work = std::nullopt, int step = 0) : work_(work), step_(step) {}

    bool Progress(RunWork work, int step, int total) override {
        heard.push_back({work, step, total});
        return !(work_ == work && step >= step_);
    }
    void SearchStarted(std::uint64_t /*seed*/, int threads) override { started_threads = threads; }
    void Solution(int solution, const std::string& line, const SolutionGaps& /*gaps*/) override {
        solutions.push_back(solution);
        lines.push_back(line);
        if (sequence != nullptr && solution == stop_after_solution) {
            sequence->Stop();
        }
    }

    struct Heard {
        RunWork work;
        int step;
        int total;
    };
    std::vector<Heard> heard;
    int started_threads = 0;
    std::vector<int> solutions;
    std::vector<std::string> lines;
    RunSequence* sequence = nullptr;
    int stop_after_solution = 0;

  private:
    std::optional<RunWork> work_;
    int step_;
};

// A program directory holding the demo school, entered but not prepared.
class RunSequenceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        paths_ = PathsFor(dir_.path());
        ASSERT_TRUE(CheckProgramDirectory(paths_.directory));
        const Database entry = Database::Open(paths_.entry_database);
        RegisterSchool(entry.connection(), U("Γυμνάσιο"), U("Υπεύθυνος"));
        ImportSchool({entry.connection(), Login(entry.connection())},
                     ParseSchoolDocument(ReadSchoolFile(kDemoSchoolFile)));
    }

    // What a run reads of the working copy: the school row and the classes.
    QList<QStringList> WorkingRows() const {
        const Database working = Database::Open(paths_.working_database);
        QList<QStringList> rows =
            Rows(working.connection(),
                 QStringLiteral("SELECT SCHOOL_NAME, NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS"));
        rows += Rows(working.connection(),
                     QStringLiteral("SELECT CLASS_ID, CLASS FROM CLASSES ORDER BY CLASS_ID"));
        return rows;
    }

    void RenameFirstClass(const QString& name) const {
        const Database entry = Database::Open(paths_.entry_database);
        data::Run(entry.connection(),
                  QStringLiteral("UPDATE CLASSES SET CLASS = ? WHERE CLASS_ID = "
                                 "(SELECT MIN(CLASS_ID) FROM CLASSES)"),
                  {name});
    }

    static SearchRequest Request(int solutions) {
        SearchRequest request;
        request.settings.solutions_requested = solutions;
        request.seed = 7;
        request.threads = 1;
        request.delete_previous = true;
        return request;
    }

    QDir Pages() const { return QDir(dir_.filePath(QStringLiteral("SOLUTIONS/HOMEBASE"))); }

    QTemporaryDir dir_;
    ProgramPaths paths_;
};

TEST_F(RunSequenceTest, StagesFollowEachOtherAndEveryStepIsHeard) {
    StopAt listener;
    RunSequence sequence(paths_, &listener);
    sequence.Lock();
    EXPECT_TRUE(sequence.IsLocked());
    EXPECT_EQ(sequence.Check(), DataProblem::kNone);
    EXPECT_EQ(sequence.stage(), RunStage::kNothingAccepted);
    sequence.StoreRequestedSolutions(3);
    EXPECT_EQ(sequence.stage(), RunStage::kRequestedStored);
    sequence.Prepare();
    EXPECT_EQ(sequence.stage(), RunStage::kPrepared);
    EXPECT_EQ(sequence.ReadWorkingSchool().solutions_requested, 3);
    EXPECT_FALSE(sequence.ReadWorkingSchool().name.isEmpty());
    EXPECT_FALSE(sequence.ReadWorkingSchool().responsible.isEmpty());
    sequence.Load();
    EXPECT_EQ(sequence.stage(), RunStage::kLoaded);
    EXPECT_EQ(sequence.problem().solutions_requested, 3);

    const RunSummary summary = sequence.Search(Request(3));
    EXPECT_EQ(summary.found, 3);
    EXPECT_EQ(listener.solutions, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(listener.started_threads, 1);
    EXPECT_TRUE(Pages().exists(QStringLiteral("SOLUTION3.htm")));

    // Every step of the preparation and of the loading, in order.
    std::vector<int> preparation;
    std::vector<int> loading;
    for (const StopAt::Heard& heard : listener.heard) {
        if (heard.work == RunWork::kPreparation) {
            preparation.push_back(heard.step);
            EXPECT_EQ(heard.total, kPreparationSteps);
        } else if (heard.work == RunWork::kLoading) {
            loading.push_back(heard.step);
            EXPECT_EQ(heard.total, kLoadingSteps);
        }
    }
    ASSERT_EQ(preparation.size(), static_cast<std::size_t>(kPreparationSteps));
    ASSERT_EQ(loading.size(), static_cast<std::size_t>(kLoadingSteps));
    EXPECT_EQ(preparation.back(), kPreparationSteps);
    EXPECT_EQ(loading.back(), kLoadingSteps);
}

// A stop before the search, wherever it comes, leaves the previous working
// copy and the previous pages as they were.
TEST_F(RunSequenceTest, AStopBeforeTheSearchChangesNothing) {
    {
        RunSequence first(paths_);
        first.StoreRequestedSolutions(2);
        first.Prepare();
        first.Load();
        ASSERT_EQ(first.Search(Request(2)).found, 2);
    }
    const QByteArray page = FileBytes(Pages().filePath(QStringLiteral("SOLUTION1.htm")));
    ASSERT_FALSE(page.isEmpty());

    struct Case {
        const char* name;
        RunWork work;
        int step;
        RunStage reached;
    };
    const Case cases[] = {
        {"first preparation step", RunWork::kPreparation, 1, RunStage::kRequestedStored},
        {"middle preparation step", RunWork::kPreparation, 9, RunStage::kRequestedStored},
        {"last preparation step", RunWork::kPreparation, kPreparationSteps,
         RunStage::kRequestedStored},
        {"loading", RunWork::kLoading, 5, RunStage::kPrepared},
        {"start of the search", RunWork::kSearch, 0, RunStage::kLoaded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<QStringList> before = WorkingRows();
        RenameFirstClass(QString::fromLatin1(c.name));  // a change the next copy would carry
        StopAt listener(c.work, c.step);
        RunSequence sequence(paths_, &listener);
        sequence.StoreRequestedSolutions(5);
        EXPECT_THROW(
            {
                sequence.Prepare();
                sequence.Load();
                sequence.Search(Request(5));
            },
            RunStoppedError);
        EXPECT_EQ(sequence.stage(), c.reached);
        EXPECT_TRUE(sequence.StopRequested());
        EXPECT_EQ(FileBytes(Pages().filePath(QStringLiteral("SOLUTION1.htm"))), page);
        EXPECT_TRUE(Pages().exists(QStringLiteral("SOLUTION2.htm")));
        if (c.reached == RunStage::kRequestedStored) {
            EXPECT_EQ(WorkingRows(), before);  // rolled back
        } else {
            EXPECT_NE(WorkingRows(), before);  // prepared anew before the stop
        }
        // The stop is forgotten on request, and the next stage runs.
        sequence.ClearStop();
        sequence.SetListener(nullptr);
        EXPECT_NO_THROW(sequence.Prepare());
    }
}

TEST_F(RunSequenceTest, AStopDuringTheSearchEndsItWithItsSummary) {
    StopAt listener;
    RunSequence sequence(paths_, &listener);
    listener.sequence = &sequence;
    listener.stop_after_solution = 2;
    sequence.Prepare();
    sequence.Load();
    const RunSummary summary = sequence.Search(Request(6));
    EXPECT_EQ(summary.end, RunEnd::kStopped);
    EXPECT_GE(summary.found, 2);
    EXPECT_LT(summary.found, 6);
    EXPECT_EQ(static_cast<std::size_t>(summary.found), listener.solutions.size());
    EXPECT_FALSE(Pages().exists(QStringLiteral("SOLUTION6.htm")));
}

// A name the import would refuse, put into the entry database by hand, stops
// the run at the loading, before any previous page goes.
TEST_F(RunSequenceTest, ANameThePagesCannotCarryStopsTheRunBeforeAnyPageGoes) {
    {
        RunSequence first(paths_);
        first.Prepare();
        first.Load();
        ASSERT_EQ(first.Search(Request(1)).found, 1);
    }
    const QByteArray page = FileBytes(Pages().filePath(QStringLiteral("SOLUTION1.htm")));
    RenameFirstClass(QString(1000001, u'Κ'));
    RunSequence sequence(paths_);
    sequence.Prepare();
    try {
        sequence.Load();
        ADD_FAILURE() << "loaded";
    } catch (const ProblemLoadError& error) {
        EXPECT_TRUE(error.message().contains(U("(1000001 χαρακτήρες)"))) << error.what();
        EXPECT_LT(error.message().size(), 1000);
    }
    EXPECT_EQ(sequence.stage(), RunStage::kPrepared);
    EXPECT_EQ(FileBytes(Pages().filePath(QStringLiteral("SOLUTION1.htm"))), page);
}

TEST_F(RunSequenceTest, AFailedPreparationLeavesThePreviousCopy) {
    RunSequence sequence(paths_);
    sequence.StoreRequestedSolutions(4);
    sequence.Prepare();
    const QList<QStringList> before = WorkingRows();
    {
        // A pinned lesson at an hour that is no day-and-hour text.
        const Database entry = Database::Open(paths_.entry_database);
        data::Run(entry.connection(),
                  QStringLiteral("UPDATE KARFWTOI SET DISPLAY_DAY_HOUR = ? WHERE ROWID = "
                                 "(SELECT MIN(ROWID) FROM KARFWTOI)"),
                  {U("Κυριακή Ωρα 3")});
        ASSERT_GT(ScalarInt(entry.connection(),
                            QStringLiteral("SELECT COUNT(*) FROM KARFWTOI WHERE "
                                           "DISPLAY_DAY_HOUR = ?"),
                            {U("Κυριακή Ωρα 3")}),
                  0);
    }
    RenameFirstClass(U("Νέο τμήμα"));
    sequence.StoreRequestedSolutions(9);
    EXPECT_THROW(sequence.Prepare(), PreparationError);
    EXPECT_EQ(sequence.stage(), RunStage::kRequestedStored);
    EXPECT_EQ(WorkingRows(), before);
}

TEST(SearchRequest, EveryNumberIsCheckedAgainstItsRange) {
    struct Case {
        const char* name;
        void (*change)(SearchRequest&);
        bool valid;
    };
    const Case cases[] = {
        {"defaults", [](SearchRequest&) {}, true},
        {"attempts 999", [](SearchRequest& r) { r.settings.attempts_per_class = 999; }, false},
        {"attempts 30000", [](SearchRequest& r) { r.settings.attempts_per_class = 30000; }, true},
        {"attempts 30001", [](SearchRequest& r) { r.settings.attempts_per_class = 30001; }, false},
        {"solutions 0", [](SearchRequest& r) { r.settings.solutions_requested = 0; }, false},
        {"solutions 254", [](SearchRequest& r) { r.settings.solutions_requested = 254; }, true},
        {"solutions 255", [](SearchRequest& r) { r.settings.solutions_requested = 255; }, false},
        {"threads -1", [](SearchRequest& r) { r.threads = -1; }, false},
        {"threads 256", [](SearchRequest& r) { r.threads = kMostThreads; }, true},
        {"threads 257", [](SearchRequest& r) { r.threads = kMostThreads + 1; }, false},
        {"time 0", [](SearchRequest& r) { r.time_limit_seconds = 0.0; }, false},
        {"time NaN", [](SearchRequest& r) { r.time_limit_seconds = std::nan(""); }, false},
        {"time 31 days",
         [](SearchRequest& r) { r.time_limit_seconds = kMostTimeLimitSeconds + 86400.0; }, false},
    };
    for (const Case& c : cases) {
        SearchRequest request;
        c.change(request);
        EXPECT_EQ(SearchRequestValid(request), c.valid) << c.name;
    }
}

// Numbers out of range are refused before the previous pages are touched.
TEST_F(RunSequenceTest, RefusedNumbersDeleteNoPage) {
    RunSequence sequence(paths_);
    sequence.Prepare();
    sequence.Load();
    ASSERT_EQ(sequence.Search(Request(2)).found, 2);
    SearchRequest request = Request(2);
    request.settings.attempts_per_class = 999;
    try {
        sequence.Search(request);
        ADD_FAILURE() << "numbers out of range were accepted";
    } catch (const RunRefusedError& error) {
        EXPECT_EQ(error.message(), U("Μη αποδεκτές τιμές."));
    }
    EXPECT_TRUE(Pages().exists(QStringLiteral("SOLUTION1.htm")));
    EXPECT_TRUE(Pages().exists(QStringLiteral("SOLUTION2.htm")));
}

// Answers the question about the previous pages as told, and counts it.
class Consenting : public RunListener {
  public:
    explicit Consenting(Consent answer) : answer_(answer) {}
    Consent ConsentToDeletePrevious(const std::filesystem::path& /*folder*/) override {
        ++asked;
        return answer_;
    }
    int asked = 0;

  private:
    Consent answer_;
};

// What stops a search is found inside the sequence, in one order, before any
// page is deleted, and each refusal is described with its kind: the run
// window and the tool share it.
TEST_F(RunSequenceTest, WhatStopsTheSearchIsRefusedBeforeAnyPageGoes) {
    using Kind = RunFailure::Kind;
    struct Case {
        const char* name;
        std::function<void(SearchRequest&)> change;
        RunListener::Consent consent;
        std::optional<Kind> refused;  // none: the search runs
        int questions;                // times the listener was asked
    };
    const auto no_timetable = [](SearchRequest& r) {
        r.settings.last_hours_limit_on = true;
        r.settings.last_hours_limit = 1;
    };
    const auto keep_pages = [](SearchRequest& r) { r.delete_previous = false; };
    const std::vector<Case> cases = {
        {"the checks find no timetable", no_timetable, RunListener::Consent::kGiven,
         Kind::kSearchRefused, 0},
        {"the checks come before the question",
         [&](SearchRequest& r) {
             no_timetable(r);
             keep_pages(r);
         },
         RunListener::Consent::kGiven, Kind::kSearchRefused, 0},
        {"no consent", keep_pages, RunListener::Consent::kRefused, Kind::kPreviousKept, 1},
        {"a stop at the question", keep_pages, RunListener::Consent::kStop, Kind::kStopped, 1},
        {"consent at the question", keep_pages, RunListener::Consent::kGiven, std::nullopt, 1},
    };
    for (const Case& c : cases) {
        Consenting listener(c.consent);
        RunSequence sequence(paths_, &listener);
        sequence.Prepare();
        sequence.Load();
        ASSERT_EQ(sequence.Search(Request(2)).found, 2) << c.name;
        const QByteArray second = FileBytes(Pages().filePath(QStringLiteral("SOLUTION2.htm")));
        SearchRequest request = Request(1);
        request.seed = 8;
        c.change(request);
        try {
            EXPECT_EQ(sequence.Search(request).found, 1) << c.name;
            EXPECT_FALSE(c.refused) << c.name << ": the search ran";
            EXPECT_FALSE(Pages().exists(QStringLiteral("SOLUTION2.htm"))) << c.name;
        } catch (...) {
            const RunFailure failure = DescribeRunFailure(std::current_exception());
            EXPECT_EQ(std::optional(failure.kind), c.refused)
                << c.name << ": " << failure.message.toStdString();
            EXPECT_TRUE(LeavesPreviousPages(failure.kind)) << c.name;
            EXPECT_EQ(FileBytes(Pages().filePath(QStringLiteral("SOLUTION2.htm"))), second)
                << c.name;
        }
        EXPECT_EQ(listener.asked, c.questions) << c.name;
    }
    // A name the pages cannot hold is refused first of all, whatever the
    // options: the loading refuses it.
    RenameFirstClass(QStringLiteral("A\u4e00"));
    RunSequence sequence(paths_);
    sequence.Prepare();
    try {
        sequence.Load();
        ADD_FAILURE() << "a name the pages cannot hold was accepted";
    } catch (const ProblemLoadError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("A\u4e00")))
            << error.message().toStdString();
    }
    EXPECT_TRUE(Pages().exists(QStringLiteral("SOLUTION1.htm")));
}

TEST_F(RunSequenceTest, AnUndeletablePreviousPageStopsTheRunAndIsNamed) {
    RunSequence sequence(paths_);
    sequence.Prepare();
    sequence.Load();
    ASSERT_EQ(sequence.Search(Request(1)).found, 1);
    const QByteArray page = FileBytes(Pages().filePath(QStringLiteral("SOLUTION1.htm")));
    ASSERT_TRUE(Pages().mkpath(QStringLiteral("SOLUTION3.htm/inside")));
    try {
        sequence.Search(Request(2));
        ADD_FAILURE() << "the run started beside an undeletable page";
    } catch (const PageDeleteError& error) {
        EXPECT_EQ(error.path().filename().string(), "SOLUTION3.htm");
        const QString message = RunFailureMessage(std::current_exception());
        EXPECT_TRUE(message.contains(QStringLiteral("SOLUTION3.htm"))) << message.toStdString();
        EXPECT_TRUE(message.contains(U("Η αναζήτηση λύσεων δεν ξεκίνησε.")));
    }
    EXPECT_EQ(FileBytes(Pages().filePath(QStringLiteral("SOLUTION1.htm"))), page);
    EXPECT_FALSE(Pages().exists(QStringLiteral("SOLUTION2.htm")));
}

// The previous pages go all or none: one the system will not let go (as
// `chattr +i` makes it) leaves every one of them, whatever its number.
TEST_F(RunSequenceTest, APreviousPageThatCannotGoLeavesThemAll) {
    RunSequence sequence(paths_);
    sequence.Prepare();
    sequence.Load();
    ASSERT_EQ(sequence.Search(Request(3)).found, 3);
    std::vector<QByteArray> pages;
    for (int n = 1; n <= 3; ++n) {
        pages.push_back(FileBytes(Pages().filePath(QStringLiteral("SOLUTION%1.htm").arg(n))));
    }
    const taktirio::testing::ImmutableFile pinned(
        Pages().filePath(QStringLiteral("SOLUTION2.htm")).toStdString());
    if (!pinned.held()) {
        GTEST_SKIP() << "this file system or user cannot make a file immutable";
    }
    try {
        sequence.Search(Request(2));
        ADD_FAILURE() << "the run started beside a page that cannot go";
    } catch (const PageDeleteError& error) {
        EXPECT_EQ(error.path().filename().string(), "SOLUTION2.htm");
    }
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(FileBytes(Pages().filePath(QStringLiteral("SOLUTION%1.htm").arg(n))),
                  pages[static_cast<std::size_t>(n - 1)])
            << n;
    }
    EXPECT_EQ(Pages().entryList(QDir::Files | QDir::Hidden).size(), 3) << "nothing aside";
}

// A full disk (here a file-size limit smaller than a page) at the first page
// of a run: the previous pages stay, and the run ends with its summary.
TEST_F(RunSequenceTest, AFullDiskAtTheFirstPageKeepsThePreviousPages) {
    RunSequence sequence(paths_);
    sequence.Prepare();
    sequence.Load();
    ASSERT_EQ(sequence.Search(Request(2)).found, 2);
    const QByteArray first = FileBytes(Pages().filePath(QStringLiteral("SOLUTION1.htm")));
    const QByteArray second = FileBytes(Pages().filePath(QStringLiteral("SOLUTION2.htm")));

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    RunSummary summary;
    EXPECT_NO_THROW(summary = sequence.Search(Request(2)));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous_handler);

    EXPECT_EQ(summary.end, RunEnd::kPageNotWritten);
    EXPECT_EQ(summary.found, 0);
    EXPECT_TRUE(summary.previous_pages_kept);
    ASSERT_TRUE(summary.page_error);
    const QString message = RunFailureMessage(summary.page_error);
    EXPECT_TRUE(message.contains(QStringLiteral("SOLUTION1.htm"))) << message.toStdString();
    EXPECT_EQ(FileBytes(Pages().filePath(QStringLiteral("SOLUTION1.htm"))), first);
    EXPECT_EQ(FileBytes(Pages().filePath(QStringLiteral("SOLUTION2.htm"))), second);
    EXPECT_EQ(Pages().entryList(QDir::Files | QDir::Hidden).size(), 2) << "nothing aside";
}

// A solutions folder that is a link to a foreign folder is refused before
// anything in either is touched.
TEST_F(RunSequenceTest, ASolutionsFolderThatIsALinkIsRefused) {
    QTemporaryDir foreign;
    for (const char* name : {"SOLUTION1.htm", "SOLUTION200.htm"}) {
        QFile page(foreign.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("someone else's");
    }
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("SOLUTIONS")));
    ASSERT_TRUE(QFile::link(foreign.path(), Pages().path()));
    RunSequence sequence(paths_);
    sequence.Prepare();
    sequence.Load();
    try {
        sequence.Search(Request(1));
        ADD_FAILURE() << "a linked folder was taken";
    } catch (const SolutionsFolderError& error) {
        EXPECT_TRUE(error.message().contains(U("σύνδεσμος"))) << error.what();
    }
    for (const char* name : {"SOLUTION1.htm", "SOLUTION200.htm"}) {
        EXPECT_EQ(FileBytes(foreign.filePath(QString::fromLatin1(name))), "someone else's");
    }
}

// A stop before the search leaves the data as they were, the requested
// number included; once the search has started, the number stays.
TEST_F(RunSequenceTest, TheRequestedNumberStaysOnlyWhenTheSearchStarts) {
    const auto stored = [this] {
        const Database entry = Database::Open(paths_.entry_database);
        return StoredRequestedSolutions({entry.connection(), Login(entry.connection())});
    };
    const int before = stored();
    for (const RunWork work : {RunWork::kPreparation, RunWork::kLoading, RunWork::kSearch}) {
        StopAt listener(work, work == RunWork::kPreparation ? 3 : 0);
        RunSequence sequence(paths_, &listener);
        sequence.StoreRequestedSolutions(before + 5);
        EXPECT_THROW(
            {
                sequence.Prepare();
                sequence.Load();
                sequence.Search(Request(1));
            },
            RunStoppedError);
        EXPECT_EQ(stored(), before);
    }
    RunSequence sequence(paths_);
    sequence.StoreRequestedSolutions(before + 1);
    sequence.Prepare();
    sequence.Load();
    sequence.Search(Request(1));
    EXPECT_EQ(stored(), before + 1);
}

TEST_F(RunSequenceTest, TheLockIsHeldUntilTheSequenceGoes) {
    {
        RunSequence sequence(paths_);
        sequence.Lock();
        ProgramLock other(paths_.directory);
        EXPECT_FALSE(other.TryLock());
    }
    ProgramLock after(paths_.directory);
    EXPECT_TRUE(after.TryLock());
}

}  // namespace
}  // namespace taktirio::data::testing
