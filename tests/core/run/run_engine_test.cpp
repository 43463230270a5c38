// The solving run: solutions found and numbered, reproducibility, stop, time
// limit, errors, and the solutions directory.
#include "core/run/run_engine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <stop_token>
#include <system_error>
#include <thread>
#include <vector>

#include "core/common/narrow.h"
#include "core/exact/exact_search.h"
#include "core/gaps/teacher_gaps.h"
#include "core/generator/school_generator.h"
#include "core/pages/page_errors.h"
#include "core/run/run_messages.h"
#include "core/run/run_settings.h"
#include "core/run/solution_files.h"
#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/verify/timetable_verifier.h"

namespace taktirio {
namespace {

namespace fs = std::filesystem;

class ScratchDirectory {
  public:
    ScratchDirectory() {
        path_ =
            fs::temp_directory_path() /
            ("taktirio-run-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchDirectory() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

// Keeps every timetable it is handed, with its solution number.
class KeepingWriter : public SolutionWriter {
  public:
    void WriteSolution(const ClaimedSolution& solution) override {
        std::lock_guard<std::mutex> lock(mutex);
        numbers.push_back(solution.number);
        timetables.push_back(solution.timetable);
        time_texts.emplace_back(solution.time_text);
    }
    std::mutex mutex;
    std::vector<int> numbers;
    std::vector<ByteMatrix> timetables;
    std::vector<std::string> time_texts;
};

const GeneratedSchool& School() {
    static const GeneratedSchool school = GenerateSchool(TypicalSchool(8, 31));
    return school;
}

RunParameters Parameters(int solutions, int threads, std::uint64_t seed = 9) {
    RunParameters parameters;
    parameters.options = School().options;
    parameters.solutions_requested = solutions;
    parameters.threads = threads;
    parameters.seed = seed;
    return parameters;
}

class CollectingObserver : public RunObserver {
  public:
    void OnProgress(const RunProgress& progress) override { last_progress = progress; }
    void OnSolution(int solution, const std::string& line, const SolutionGaps& /*gaps*/) override {
        solutions.push_back(solution);
        lines.push_back(line);
    }
    RunProgress last_progress;
    std::vector<int> solutions;
    std::vector<std::string> lines;
};

// "h:m:s:ms" as milliseconds.
std::int64_t Milliseconds(const std::string& text) {
    std::int64_t parts[4] = {0, 0, 0, 0};
    std::size_t at = 0;
    for (std::int64_t& part : parts) {
        const std::size_t end = text.find(':', at);
        part = std::stoll(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * 1000 + parts[3];
}

TEST(RunEngine, FindsTheRequestedSolutionsNumberedInOrder) {
    for (const int threads : {1, 2}) {
        KeepingWriter writer;
        CollectingObserver observer;
        RunEngine engine(School().inputs, School().rules, Parameters(5, threads), writer,
                         &observer);
        const RunSummary summary = engine.Run();

        EXPECT_EQ(summary.end, RunEnd::kAllFound);
        EXPECT_EQ(summary.found, 5);
        EXPECT_GE(summary.attempts, 5);
        EXPECT_EQ(writer.numbers, (std::vector<int>{1, 2, 3, 4, 5})) << threads << " threads";
        EXPECT_EQ(observer.solutions, (std::vector<int>{1, 2, 3, 4, 5}));
        ASSERT_EQ(summary.lines.size(), 5u);
        // Each line gives the page's time and when, from the run's start,
        // the solution was found: in the order of the numbers.
        std::int64_t found_before = -1;
        for (std::size_t k = 0; k < summary.lines.size(); ++k) {
            const std::string& line = summary.lines[k];
            const std::string head =
                SolutionLine(static_cast<int>(k) + 1, writer.time_texts[k], "");
            ASSERT_EQ(line.substr(0, head.size()), head) << line;
            const std::int64_t found_at = Milliseconds(line.substr(head.size()));
            EXPECT_GE(found_at, found_before) << line;
            found_before = found_at;
        }
        EXPECT_EQ(observer.lines, summary.lines);
        for (const ByteMatrix& timetable : writer.timetables) {
            const auto violations =
                VerifyTimetable(School().inputs, School().options, School().rules, timetable);
            EXPECT_TRUE(violations.empty()) << Describe(violations.front());
        }
    }
}

// With fewer gaps every page holds a reworked timetable that keeps every rule
// as a finished timetable, has no more gaps than the searched one, differs from
// every other page, and is reproducible with one thread and a given seed.
TEST(RunEngine, FewerGapsReworksEachSolutionUnderTheSameRules) {
    const GeneratedSchool& school = School();
    const TeacherPeople people =
        PeopleOfTeachers(school.inputs.teacher_names, school.inputs.number_of_teachers);
    auto run = [&](int threads, KeepingWriter& writer, CollectingObserver& observer,
                   int solutions = 6) {
        RunParameters parameters = Parameters(solutions, threads, 21);
        parameters.options.fewer_gaps = true;
        // The randomised search alone: with two threads the exact search runs
        // beside it from the start, and which engine completes the six
        // timetables first depends on the machine's speed.
        parameters.engines = SearchEngines::kRandom;
        RunEngine engine(school.inputs, school.rules, parameters, writer, &observer);
        return engine.Run();
    };
    for (const int threads : {1, 2}) {
        KeepingWriter writer;
        CollectingObserver observer;
        const RunSummary summary = run(threads, writer, observer);
        ASSERT_EQ(summary.found, 6);
        ASSERT_EQ(summary.gaps.size(), 6u);
        EXPECT_EQ(summary.refused_reworks, 0);
        int fewer = 0;
        for (std::size_t i = 0; i < 6; ++i) {
            const SolutionGaps& gaps = summary.gaps[i];
            EXPECT_EQ(
                gaps.written,
                CountGaps(writer.timetables[i], school.inputs.number_of_classes, people).summary);
            EXPECT_FALSE(FewerGaps(gaps.searched, gaps.written)) << "solution " << i + 1;
            fewer += FewerGaps(gaps.written, gaps.searched) ? 1 : 0;
            const auto violations = VerifyTimetable(school.inputs, school.options, school.rules,
                                                    writer.timetables[i], VerifyMode::kFinished);
            EXPECT_TRUE(violations.empty()) << Describe(violations.front());
            for (std::size_t j = 0; j < i; ++j) {
                EXPECT_NE(writer.timetables[i], writer.timetables[j]) << i + 1 << " and " << j + 1;
            }
            if (summary.fewest_gaps_solution != 0) {
                EXPECT_FALSE(FewerGaps(
                    gaps.written, summary.gaps[AsIndex(summary.fewest_gaps_solution - 1)].written));
            }
        }
        EXPECT_GE(summary.fewest_gaps_solution, 1);
        EXPECT_GT(fewer, 0) << "no solution was reworked, threads " << threads;
    }
    KeepingWriter first;
    KeepingWriter second;
    CollectingObserver ignored;
    run(1, first, ignored, 3);
    run(1, second, ignored, 3);
    EXPECT_EQ(first.timetables, second.timetables);
}

TEST(RunEngine, OneThreadWithAGivenSeedIsReproducible) {
    auto run = [](std::uint64_t seed) {
        KeepingWriter writer;
        RunEngine engine(School().inputs, School().rules, Parameters(3, 1, seed), writer);
        engine.Run();
        return writer.timetables;
    };
    EXPECT_EQ(run(77), run(77));
    EXPECT_NE(run(77), run(78));
}

// The pages of a one-thread run with a given seed, reduced to one number
// (FNV-1a over every cell of every timetable, in order). The expected values
// were taken from the search before it counted what it saw: counting must not
// change a single draw, test or restart.
std::uint64_t PagesFingerprint(const GeneratedSchool& school, const RunOptions& options,
                               std::uint64_t seed,
                               std::shared_ptr<const RuleIndex> prepared = nullptr) {
    KeepingWriter writer;
    RunParameters parameters;
    parameters.prepared_index = std::move(prepared);
    parameters.options = options;
    parameters.solutions_requested = 3;
    parameters.threads = 1;
    parameters.seed = seed;
    RunEngine engine(school.inputs, school.rules, parameters, writer);
    EXPECT_EQ(engine.Run().found, 3);
    std::uint64_t hash = 14695981039346656037ull;
    for (const ByteMatrix& timetable : writer.timetables) {
        for (std::size_t c = 0; c < timetable.rows(); ++c) {
            for (std::size_t s = 0; s < timetable.cols(); ++s) {
                hash = (hash ^ timetable(c, s)) * 1099511628211ull;
            }
        }
    }
    return hash;
}

TEST(RunEngine, OneThreadWithAGivenSeedDrawsTheSamePagesAsEver) {
    // Every option on, so that every test of a try is reached.
    SchoolSettings strict = TypicalSchool(8, 31);
    strict.options.last_hours_limit_on = true;
    strict.options.last_hours_limit = 4;
    strict.options.day_hours_limit_on = true;
    strict.options.day_hours_limit = 7;
    strict.options.no_single_hour_runs = true;
    strict.options.four_hour_run_limit_on = true;
    const GeneratedSchool strict_school = GenerateSchool(strict);

    EXPECT_EQ(PagesFingerprint(School(), School().options, 77), 11489893142794516542ull);
    EXPECT_EQ(PagesFingerprint(strict_school, strict.options, 5), 14958975567596005506ull);
}

// A caller that prepared the search for its checks hands the index on: the
// run reads it instead of preparing again, and draws the very same pages.
TEST(RunEngine, APreparedIndexDrawsTheSamePages) {
    const RunOptions& options = School().options;
    auto prepared =
        std::make_shared<const RuleIndex>(PrepareSearch(School().inputs, School().rules, options));
    EXPECT_EQ(PagesFingerprint(School(), options, 77, prepared), 11489893142794516542ull);
}

TEST(RunEngine, AnIndexPreparedForOtherOptionsIsRefusedBeforeAnythingIsCreated) {
    ScratchDirectory scratch;
    RunOptions other = School().options;
    other.max_class_hours_per_day = other.max_class_hours_per_day == 2 ? 3 : 2;
    RunParameters parameters = Parameters(1, 1);
    parameters.prepared_index =
        std::make_shared<const RuleIndex>(PrepareSearch(School().inputs, School().rules, other));
    parameters.solutions_directory = scratch.path() / "HOMEBASE";
    bool before_search_called = false;
    parameters.before_search = [&] { before_search_called = true; };
    KeepingWriter writer;
    RunEngine engine(School().inputs, School().rules, parameters, writer);
    EXPECT_THROW(engine.Run(), ProblemError);
    EXPECT_FALSE(before_search_called) << "nothing may be deleted";
    EXPECT_FALSE(fs::exists(parameters.solutions_directory));
}

TEST(RunEngine, StopInTheMiddleKeepsWhatWasFound) {
    KeepingWriter writer;
    struct StopAfterTwo : CollectingObserver {
        RunEngine* engine = nullptr;
        void OnSolution(int solution, const std::string& line, const SolutionGaps& gaps) override {
            CollectingObserver::OnSolution(solution, line, gaps);
            if (solution == 2) {
                engine->Stop();
            }
        }
    } observer;
    RunParameters parameters = Parameters(254, 2);
    RunEngine engine(School().inputs, School().rules, parameters, writer, &observer);
    observer.engine = &engine;
    const RunSummary summary = engine.Run();
    EXPECT_EQ(summary.end, RunEnd::kStopped);
    EXPECT_GE(summary.found, 2);
    EXPECT_LT(summary.found, 254);
    EXPECT_EQ(static_cast<int>(writer.numbers.size()), summary.found);
}

// A school of one class section, teacher t giving it hours[t - 1] one-hour
// lessons a week.
struct OneClassSection {
    SolverInputs inputs;
    RuleTables rules;
    explicit OneClassSection(const std::vector<std::uint8_t>& hours)
        : inputs(SolverInputs::Sized(1, static_cast<int>(hours.size()))) {
        rules.teacher_class_hours_all = ByteMatrix(hours.size() + 1, 2);
        int week = 0;
        for (std::size_t t = 1; t <= hours.size(); ++t) {
            inputs.class_teachers(1, t) = static_cast<std::uint8_t>(t);
            inputs.teacher_class_hours(t, 1) = hours[t - 1];
            rules.teacher_class_hours_all(t, 1) = hours[t - 1];
            week += hours[t - 1];
        }
        inputs.class_hours[1] = static_cast<std::uint8_t>(week);
        inputs.class_week_hours[1] = static_cast<std::uint8_t>(week);
        inputs.class_teacher_count[1] = static_cast<std::uint8_t>(hours.size());
    }
};

// A school that has no timetable: the only teacher of a class is refused one
// of the hours the class must fill.
struct Unsolvable : OneClassSection {
    Unsolvable() : OneClassSection({5}) { rules.AddDeniedSlot(1, 3); }
};

TEST(RunEngine, NoTimetableEndsAtTheTimeLimitAndRemovesTheEmptyDirectory) {
    ScratchDirectory scratch;
    const Unsolvable school;
    RunParameters parameters;
    parameters.engines = SearchEngines::kRandom;  // the exact search would prove it at once
    parameters.options.attempts_per_class = 1000;
    parameters.solutions_requested = 2;
    parameters.threads = 2;
    parameters.time_limit = std::chrono::milliseconds(300);
    parameters.solutions_directory = scratch.path() / "SOLUTIONS" / "HOMEBASE";
    KeepingWriter writer;
    CollectingObserver observer;
    RunEngine engine(school.inputs, school.rules, parameters, writer, &observer);
    const RunSummary summary = engine.Run();
    EXPECT_EQ(summary.end, RunEnd::kTimeLimit);
    EXPECT_EQ(summary.found, 0);
    EXPECT_GT(summary.attempts, 0);
    EXPECT_GT(observer.last_progress.attempts, 0) << "progress was reported";
    EXPECT_TRUE(summary.directory_removed);
    EXPECT_FALSE(fs::exists(parameters.solutions_directory));
    EXPECT_TRUE(fs::exists(scratch.path() / "SOLUTIONS"));
}

// A timetable completed again is never written again, with the rework off as
// with it on: asked for more than the school has, the randomised search
// alone writes each of the two once and runs to its time limit; with both
// engines the worker turns to the exact search, which proves there are no
// more.
TEST(RunEngine, ATimetableAlreadyWrittenIsNeverWrittenAgain) {
    const struct {
        SearchEngines engines;
        bool fewer_gaps;
        RunEnd end;
    } cases[] = {
        {SearchEngines::kRandom, false, RunEnd::kTimeLimit},
        {SearchEngines::kRandom, true, RunEnd::kTimeLimit},
        {SearchEngines::kBoth, false, RunEnd::kExhausted},
    };
    // Exactly two timetables: two hours, one of each teacher, in either order.
    const OneClassSection school({1, 1});
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.engines) * 10 + (c.fewer_gaps ? 1 : 0));
        RunParameters parameters;
        parameters.engines = c.engines;
        parameters.options.fewer_gaps = c.fewer_gaps;
        parameters.solutions_requested = 3;
        parameters.time_limit = std::chrono::milliseconds(300);
        KeepingWriter writer;
        RunEngine engine(school.inputs, school.rules, parameters, writer);
        const RunSummary summary = engine.Run();
        EXPECT_EQ(summary.end, c.end);
        ASSERT_EQ(writer.timetables.size(), 2u);
        EXPECT_FALSE(writer.timetables[0] == writer.timetables[1]);
        EXPECT_GT(summary.attempts, 2) << "the search completed them again";
    }
}

// The caller's stop token is the run's one stop: heard by the randomised
// search and by the exact search alike, whether asked before the run or
// while both engines search (the exact one on a school it needs seconds for,
// so that a run that did not hear it would end with a timetable instead).
TEST(RunEngine, TheCallersStopTokenStopsBothEngines) {
    const GeneratedSchool school = GenerateSchool(TypicalSchool(30, 2026));
    struct StopAtFirstProgress : CollectingObserver {
        std::stop_source* source = nullptr;
        void OnProgress(const RunProgress& progress) override {
            CollectingObserver::OnProgress(progress);
            source->request_stop();
        }
    };
    for (const bool before_run : {true, false}) {
        SCOPED_TRACE(before_run ? "before the run" : "during the run");
        std::stop_source source;
        RunParameters parameters;
        parameters.options.last_hours_limit_on = true;
        parameters.options.last_hours_limit = 2;
        parameters.options.no_single_hour_runs = true;
        parameters.threads = 2;  // the randomised search and the exact one at once
        parameters.stop = source.get_token();
        parameters.time_limit = std::chrono::seconds(60);  // a stop not heard ends here
        if (before_run) {
            source.request_stop();
        }
        KeepingWriter writer;
        StopAtFirstProgress observer;
        observer.source = &source;
        RunEngine engine(school.inputs, school.rules, parameters, writer, &observer);
        const RunSummary summary = engine.Run();
        EXPECT_EQ(summary.end, RunEnd::kStopped);
        EXPECT_EQ(summary.found, 0);
        EXPECT_TRUE(writer.timetables.empty());
    }
}

// With both engines, the exact search proves the school impossible and the
// run ends at once, saying which rule leaves no timetable.
TEST(RunEngine, BothEnginesProveAnImpossibleSchoolAndSaySo) {
    for (const int threads : {1, 2}) {
        ScratchDirectory scratch;
        const Unsolvable school;
        RunParameters parameters;
        parameters.solutions_requested = 2;
        parameters.threads = threads;
        parameters.solutions_directory = scratch.path() / "SOLUTIONS" / "HOMEBASE";
        KeepingWriter writer;
        RunEngine engine(school.inputs, school.rules, parameters, writer);
        const RunSummary summary = engine.Run();
        EXPECT_EQ(summary.end, RunEnd::kExhausted) << threads << " threads";
        EXPECT_EQ(summary.found, 0);
        EXPECT_EQ(summary.impossibility.rfind(exact::kProvenImpossibleMessage, 0), 0u)
            << summary.impossibility;
        EXPECT_NE(summary.impossibility.find("ελεύθερες ώρες"), std::string::npos)
            << summary.impossibility;
        EXPECT_TRUE(summary.directory_removed);
    }
}

// The exact engine alone: distinct timetables that pass the verifier's
// finished reading, the same ones for the same seed on one thread.
TEST(RunEngine, TheExactEngineWritesDistinctTimetablesThatPassTheVerifier) {
    std::vector<ByteMatrix> first_run;
    for (int run = 0; run < 2; ++run) {
        KeepingWriter writer;
        RunParameters parameters = Parameters(3, 1, 17);
        parameters.engines = SearchEngines::kExact;
        RunEngine engine(School().inputs, School().rules, parameters, writer);
        ASSERT_EQ(engine.Run().found, 3);
        for (std::size_t i = 0; i < writer.timetables.size(); ++i) {
            EXPECT_TRUE(VerifyTimetable(School().inputs, School().options, School().rules,
                                        writer.timetables[i], VerifyMode::kFinished)
                            .empty())
                << "solution " << i + 1;
            for (std::size_t j = 0; j < i; ++j) {
                EXPECT_FALSE(writer.timetables[i] == writer.timetables[j]) << i << " repeats " << j;
            }
        }
        if (run == 0) {
            first_run = writer.timetables;
        } else {
            EXPECT_TRUE(first_run == writer.timetables) << "the same seed, another run";
        }
    }
}

// The case the exact engine is for: under strict options the randomised
// search misses a timetable that exists; both engines find it.
TEST(RunEngine, BothEnginesSolveAStrictSchoolTheRandomisedSearchMisses) {
    GeneratedSchool school = GenerateSchool(TypicalSchool(15, 2026));
    RunParameters parameters;
    parameters.options.last_hours_limit_on = true;
    parameters.options.last_hours_limit = 2;
    parameters.options.no_single_hour_runs = true;
    parameters.solutions_requested = 1;
    parameters.threads = 1;
    parameters.seed = 5;

    KeepingWriter random_writer;
    parameters.engines = SearchEngines::kRandom;
    parameters.time_limit = std::chrono::milliseconds(1500);
    RunEngine random_only(school.inputs, school.rules, parameters, random_writer);
    EXPECT_EQ(random_only.Run().found, 0) << "the randomised search found it after all";

    KeepingWriter writer;
    parameters.engines = SearchEngines::kBoth;
    parameters.time_limit = std::chrono::milliseconds(120000);
    RunEngine both(school.inputs, school.rules, parameters, writer);
    ASSERT_EQ(both.Run().found, 1);
    EXPECT_TRUE(VerifyTimetable(school.inputs, parameters.options, school.rules,
                                writer.timetables[0], VerifyMode::kFinished)
                    .empty());
}

TEST(RunEngine, StopBeforeTheFirstSolutionLeavesNoDirectoryButKeepsForeignFiles) {
    ScratchDirectory scratch;
    const Unsolvable school;
    RunParameters parameters;
    parameters.engines = SearchEngines::kRandom;
    parameters.solutions_directory = scratch.path() / "HOMEBASE";
    fs::create_directories(parameters.solutions_directory);
    std::ofstream(parameters.solutions_directory / "notes.txt") << "mine";
    KeepingWriter writer;
    RunEngine engine(school.inputs, school.rules, parameters, writer);
    engine.Stop();
    const RunSummary summary = engine.Run();
    EXPECT_EQ(summary.end, RunEnd::kStopped);
    EXPECT_EQ(summary.found, 0);
    EXPECT_FALSE(summary.directory_removed);
    EXPECT_TRUE(fs::exists(parameters.solutions_directory / "notes.txt"));
}

TEST(RunEngine, AWriterErrorEndsTheRunAndIsRethrown) {
    struct FailingWriter : SolutionWriter {
        void WriteSolution(const ClaimedSolution&) override {
            throw std::runtime_error("disk full");
        }
    } writer;
    RunEngine engine(School().inputs, School().rules, Parameters(3, 2), writer);
    EXPECT_THROW(engine.Run(), std::runtime_error);
}

// A full disk at a page ends the search with its summary: the pages before it
// stay, no later page is written, and the error names the page.
TEST(RunEngine, APageThatCannotBeWrittenEndsTheSearchWithItsSummary) {
    struct DiskFullAtThird : KeepingWriter {
        void WriteSolution(const ClaimedSolution& solution) override {
            if (solution.number >= 3) {
                throw PageWriteError("SOLUTION" + std::to_string(solution.number) + ".htm",
                                     "disk full");
            }
            KeepingWriter::WriteSolution(solution);
        }
    };
    for (const int threads : {1, 3}) {
        SCOPED_TRACE(threads);
        DiskFullAtThird writer;
        CollectingObserver observer;
        RunEngine engine(School().inputs, School().rules, Parameters(6, threads), writer,
                         &observer);
        const RunSummary summary = engine.Run();
        EXPECT_EQ(summary.end, RunEnd::kPageNotWritten);
        EXPECT_EQ(summary.found, 2);
        EXPECT_EQ(summary.lines.size(), 2u);
        EXPECT_EQ(writer.numbers, (std::vector<int>{1, 2}));
        EXPECT_EQ(observer.solutions, (std::vector<int>{1, 2}));
        ASSERT_TRUE(summary.page_error);
        try {
            std::rethrow_exception(summary.page_error);
        } catch (const PageWriteError& error) {
            EXPECT_EQ(error.path(), "SOLUTION3.htm");
        }
        EXPECT_EQ(PageNotWrittenEnding(summary.found, false),
                  "Η αναζήτηση λύσεων σταμάτησε. Γράφτηκαν οι σελίδες SOLUTION1.htm έως "
                  "SOLUTION2.htm.");
    }
}

TEST(RunEngine, ABrokenProblemIsRefusedBeforeAnythingIsCreated) {
    ScratchDirectory scratch;
    Unsolvable school;
    school.inputs.class_hours[1] = 51;
    RunParameters parameters;
    parameters.solutions_directory = scratch.path() / "HOMEBASE";
    KeepingWriter writer;
    RunEngine engine(school.inputs, school.rules, parameters, writer);
    EXPECT_THROW(engine.Run(), ProblemError);
    EXPECT_FALSE(fs::exists(parameters.solutions_directory));
}

TEST(RunEngine, BeforeSearchRunsOnceEveryWorkerStartedAndItsErrorStopsTheRun) {
    KeepingWriter writer;
    int calls = 0;
    RunParameters parameters = Parameters(2, 2);
    parameters.before_search = [&] {
        ++calls;
        std::lock_guard<std::mutex> lock(writer.mutex);
        EXPECT_TRUE(writer.numbers.empty()) << "no attempt before it returns";
    };
    RunEngine engine(School().inputs, School().rules, parameters, writer);
    EXPECT_EQ(engine.Run().found, 2);
    EXPECT_EQ(calls, 1);

    KeepingWriter untouched;
    parameters.before_search = [] { throw PageDeleteError("SOLUTION1.htm", "refused"); };
    RunEngine refused(School().inputs, School().rules, parameters, untouched);
    EXPECT_THROW(refused.Run(), PageDeleteError);
    EXPECT_TRUE(untouched.numbers.empty());
}

TEST(RunEngine, AThreadTheSystemRefusesIsAClearErrorBeforeAnythingElse) {
    for (const int refused_at : {0, 2}) {
        KeepingWriter writer;
        bool before_search_called = false;
        RunParameters parameters = Parameters(2, 4);
        parameters.before_search = [&] { before_search_called = true; };
        RunEngine engine(School().inputs, School().rules, parameters, writer);
        int started = 0;
        engine.SetThreadStarter([&](std::function<void()> body) {
            if (started++ == refused_at) {
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            }
            return std::thread(std::move(body));
        });
        try {
            engine.Run();
            FAIL() << "the run went on without its threads";
        } catch (const RunStartError& error) {
            EXPECT_NE(std::string(error.what()).find(std::to_string(refused_at) + " από τα 4"),
                      std::string::npos)
                << error.what();
            // The system's cause, said in Greek.
            EXPECT_NE(std::string(error.what()).find("δεν έχει προς το παρόν διαθέσιμους πόρους"),
                      std::string::npos)
                << error.what();
            EXPECT_EQ(std::string(error.what()).find("Resource"), std::string::npos)
                << error.what();
        }
        EXPECT_FALSE(before_search_called) << "nothing may be deleted";
        EXPECT_TRUE(writer.numbers.empty());
    }
}

TEST(SolutionFiles, EveryPagePresentIsDeletedWhateverNumbersAreMissing) {
    struct Case {
        std::set<int> pages;
        int deleted;
    };
    for (const Case& c :
         {Case{{1, 2, 3}, 3}, Case{{2, 3, 4, 5}, 4}, Case{{1, 3, 254}, 3}, Case{{}, 0}}) {
        ScratchDirectory scratch;
        for (const int n : c.pages) {
            std::ofstream(scratch.path() / SolutionPageName(n)) << "page";
        }
        std::ofstream(scratch.path() / "notes.txt") << "mine";
        std::ofstream(scratch.path() / ".SOLUTION2.htm.77.abc.tmp") << "half a page";
        EXPECT_EQ(HasPreviousPages(scratch.path()), !c.pages.empty());
        EXPECT_EQ(DeletePreviousPages(scratch.path()), c.deleted);
        for (int n = 1; n <= kMostSolutionPages; ++n) {
            EXPECT_FALSE(fs::exists(scratch.path() / SolutionPageName(n))) << "page " << n;
        }
        EXPECT_FALSE(HasPreviousPages(scratch.path()));
        EXPECT_FALSE(fs::exists(scratch.path() / ".SOLUTION2.htm.77.abc.tmp"))
            << "a half-written page of a killed run goes with the pages";
        EXPECT_TRUE(fs::exists(scratch.path() / "notes.txt")) << "other files stay";
    }
}

TEST(SolutionFiles, APageNameThatIsALinkIsDeletedAndItsTargetKept) {
    ScratchDirectory scratch;
    std::ofstream(scratch.path() / "elsewhere.txt") << "someone else's file";
    fs::create_symlink(scratch.path() / "elsewhere.txt", scratch.path() / SolutionPageName(1));
    fs::create_symlink(scratch.path() / "nothing", scratch.path() / SolutionPageName(2));
    EXPECT_TRUE(HasPreviousPages(scratch.path())) << "a dangling link is a page name in use";
    EXPECT_EQ(DeletePreviousPages(scratch.path()), 2);
    EXPECT_FALSE(fs::exists(fs::symlink_status(scratch.path() / SolutionPageName(1))));
    EXPECT_FALSE(fs::exists(fs::symlink_status(scratch.path() / SolutionPageName(2))));
    EXPECT_TRUE(fs::exists(scratch.path() / "elsewhere.txt"));
}

TEST(SolutionFiles, APageThatCannotBeDeletedIsNamedBeforeAnyIsDeleted) {
    ScratchDirectory scratch;
    for (const int n : {1, 2, 4}) {
        std::ofstream(scratch.path() / SolutionPageName(n)) << "page";
    }
    fs::create_directories(scratch.path() / SolutionPageName(3));
    std::ofstream(scratch.path() / SolutionPageName(3) / "inside.txt") << "x";
    try {
        DeletePreviousPages(scratch.path());
        FAIL() << "a folder named as a page was passed over";
    } catch (const PageDeleteError& error) {
        EXPECT_EQ(error.path(), scratch.path() / SolutionPageName(3));
        EXPECT_NE(std::string(error.what()).find("SOLUTION3.htm"), std::string::npos);
        EXPECT_EQ(error.reason(), "είναι φάκελος");
    }
    for (const int n : {1, 2, 4}) {
        EXPECT_TRUE(fs::exists(scratch.path() / SolutionPageName(n))) << "page " << n;
    }
}

TEST(SolutionFiles, TheFolderIsCreatedAndProbedWithoutTouchingItsFiles) {
    ScratchDirectory scratch;
    const fs::path folder = scratch.path() / "SOLUTIONS" / "HOMEBASE";
    bool created = false;
    EXPECT_EQ(PrepareSolutionsFolder(folder, created), std::nullopt);
    EXPECT_TRUE(created);
    EXPECT_TRUE(fs::is_empty(folder)) << "the probe file was removed";

    // An existing probe-like file, or a link to someone else's file, is never
    // opened: the probe is a new file of its own.
    std::ofstream(scratch.path() / "precious.txt") << "keep";
    fs::create_symlink(scratch.path() / "precious.txt", folder / "checkper.txt");
    EXPECT_EQ(PrepareSolutionsFolder(folder, created), std::nullopt);
    EXPECT_FALSE(created);
    std::ifstream precious(scratch.path() / "precious.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(precious), {}), "keep");

    std::ofstream(scratch.path() / "FILE") << "not a folder";
    const auto refused = PrepareSolutionsFolder(scratch.path() / "FILE", created);
    ASSERT_TRUE(refused.has_value());
    EXPECT_NE(refused->find((scratch.path() / "FILE").string()), std::string::npos) << *refused;
}

TEST(SolutionFiles, DirectoryOfASchool) {
    EXPECT_EQ(SolutionsDirectory("/prog", "HOMEBASE"), fs::path("/prog/SOLUTIONS/HOMEBASE"));
    EXPECT_EQ(SolutionPageName(12), "SOLUTION12.htm");
}

TEST(RunSettings, RangesOfTheNumbers) {
    struct Case {
        int attempts;
        int solutions;
        int max_per_day;
        bool valid;
    };
    for (const Case& c : {Case{2000, 1, 2, true}, Case{1000, 254, 3, true}, Case{30000, 5, 2, true},
                          Case{999, 5, 2, false}, Case{30001, 5, 2, false}, Case{2000, 0, 2, false},
                          Case{2000, 255, 2, false}, Case{2000, 5, 4, false}}) {
        RunSettings settings;
        settings.attempts_per_class = c.attempts;
        settings.solutions_requested = c.solutions;
        settings.max_class_hours_per_day = c.max_per_day;
        EXPECT_EQ(RunSettingsValid(settings), c.valid)
            << c.attempts << " " << c.solutions << " " << c.max_per_day;
    }
    RunSettings limits;
    limits.last_hours_limit_on = true;
    limits.last_hours_limit = 5;
    EXPECT_FALSE(RunSettingsValid(limits));
    limits.last_hours_limit = 4;
    limits.day_hours_limit_on = true;
    limits.day_hours_limit = 4;
    EXPECT_FALSE(RunSettingsValid(limits));
}

TEST(RunSettings, LimitsThatAreOffTakeTheirLoosestValue) {
    RunSettings settings;
    settings.last_hours_limit = 2;
    settings.day_hours_limit = 6;
    RunOptions options = ToRunOptions(settings);
    EXPECT_EQ(options.last_hours_limit, 5);
    EXPECT_EQ(options.day_hours_limit, 10);
    settings.last_hours_limit_on = true;
    settings.day_hours_limit_on = true;
    options = ToRunOptions(settings);
    EXPECT_EQ(options.last_hours_limit, 2);
    EXPECT_EQ(options.day_hours_limit, 6);
}

// The options kept beside a run's pages read back as they were written; a
// file that is not such a list gives nothing, a name not known is passed over.
TEST(RunSettings, KeptBesideThePagesAndReadBack) {
    RunSettings strict;
    strict.max_class_hours_per_day = 3;
    strict.last_hours_limit_on = true;
    strict.last_hours_limit = 2;
    strict.day_hours_limit_on = true;
    strict.day_hours_limit = 6;
    strict.no_single_hour_runs = true;
    strict.four_hour_run_limit_on = true;
    strict.fewer_gaps = true;
    for (const RunSettings& settings : {RunSettings{}, strict}) {
        const std::optional<RunSettings> back = ParseKeptRunSettings(KeptRunSettingsText(settings));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(KeptRunSettingsText(*back), KeptRunSettingsText(settings));
        EXPECT_EQ(back->last_hours_limit_on, settings.last_hours_limit_on);
        EXPECT_EQ(back->day_hours_limit, settings.day_hours_limit);
    }
    struct Case {
        const char* text;
        bool read;
    };
    const Case cases[] = {
        {"", true},
        {"last_hours_limit_on=1\nlast_hours_limit=3\nlater_option=7\n", true},
        {"last_hours_limit_on=1\nlast_hours_limit=9\n", false},  // out of range
        {"fewer_gaps=2\n", false},
        {"fewer_gaps\n", false},
        {"max_class_hours_per_day=x\n", false},
        {"<html>\n", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseKeptRunSettings(c.text).has_value(), c.read) << c.text;
    }
    EXPECT_EQ(ParseKeptRunSettings(cases[1].text)->last_hours_limit, 3);
}

TEST(RunSettings, WholeNumbersOnly) {
    EXPECT_EQ(ParseWholeNumber("254"), 254);
    EXPECT_FALSE(ParseWholeNumber("").has_value());
    EXPECT_FALSE(ParseWholeNumber("12a").has_value());
    EXPECT_FALSE(ParseWholeNumber(" 12").has_value());
    EXPECT_FALSE(ParseWholeNumber("99999999999").has_value());
}

TEST(RunMessages, TextsOfTheRun) {
    EXPECT_EQ(SolutionLine(3, "0:0:1:5", "0:0:4:20"),
              "Λύση=3 Χρόνος=0:0:1:5, βρέθηκε στο 0:0:4:20");
    EXPECT_EQ(SummaryMessage(1, 1, "0:0:0:5"),
              "Έχει βρεθεί με επιτυχία 1 από τη 1 λύση.\rΣυνολικός χρόνος επεξεργασίας 0:0:0:5.");
    EXPECT_TRUE(
        SummaryMessage(0, 1, "0:0:0:5").starts_with("Έχουν βρεθεί με επιτυχία 0 από τη 1 λύση.\r"));
    EXPECT_EQ(SummaryMessage(2, 5, "0:4:31:250"),
              "Έχουν βρεθεί με επιτυχία 2 από τις 5 λύσεις.\rΣυνολικός χρόνος επεξεργασίας "
              "0:4:31:250.");
    EXPECT_EQ(OpenFolderQuestion("/p/SOLUTIONS/HOMEBASE"),
              "Τo Directory που αποθηκεύτηκαν οι λύσεις είναι\r/p/SOLUTIONS/HOMEBASE\rΝα το "
              "εμφανίσω τώρα;");
    EXPECT_EQ(OpenFolderQuestion("D").substr(0, 4), "\xCE\xA4o ") << "Greek Tau, Latin o";
}

}  // namespace
}  // namespace taktirio
