// taktirio-cli solve: the way into a run without windows. Checks, requested
// solutions, working copy, loading, then the search on every core with a live
// progress line; Ctrl-C (or SIGTERM, SIGHUP) stops the run as the stop button
// does. The program directory is locked for the whole command.
#include "solve_command.h"

#include <unistd.h>

#include <QString>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <new>
#include <random>
#include <string>
#include <thread>

#include "cli_commands.h"
#include "console.h"
#include "core/pages/page_errors.h"
#include "core/pages/solution_page_writer.h"
#include "core/run/gap_messages.h"
#include "core/run/run_engine.h"
#include "core/run/run_messages.h"
#include "core/run/solution_files.h"
#include "core/solver/errors.h"
#include "core/text/cp1253.h"
#include "data/checks/presolve.h"
#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/load/problem_loader.h"
#include "data/prepare/requested_solutions.h"
#include "data/prepare/working_copy.h"
#include "data/run/run_sequence.h"
#include "data/shell/program_lock.h"
#include "data/shell/startup.h"

namespace taktirio::cli {

namespace {

using namespace taktirio::data;

// The signal that asked the command to stop (SIGINT, SIGTERM or SIGHUP); 0
// while none has.
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

extern "C" void OnInterrupt(int signal) {
    g_signal.store(signal);
}

bool Interrupted() {
    return g_signal.load() != 0;
}

// Ctrl-C, a terminal hang-up and a polite kill all stop the command as the
// stop button does: before the search by rolling back and saying so, during
// the search by ending it with its summary. Installed for the object's life.
class InterruptGuard {
  public:
    InterruptGuard() {
        g_signal.store(0);
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            sigaction(kSignals[i], &action, &previous_[i]);
        }
    }
    ~InterruptGuard() {
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            sigaction(kSignals[i], &previous_[i], nullptr);
        }
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
    std::array<struct sigaction, 3> previous_{};
};

bool IsTerminal(FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

// Asks on a terminal whether the previous pages may be deleted.
bool AskToDeletePrevious() {
    if (!IsTerminal(stdin)) {
        return false;
    }
    std::string question = kDeletePreviousQuestion;
    for (char& ch : question) {
        if (ch == '\r') {
            ch = ' ';
        }
    }
    std::fprintf(stderr, "%s [ν/ο] ", question.c_str());
    std::fflush(stderr);
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "ν" || answer == "Ν" || answer == "ναι" || answer == "y" || answer == "Y" ||
           answer == "yes";
}

// Solution lines on standard output, each followed by its teacher gaps; on a
// terminal the preparation's and the loading's steps and a progress line of
// the search on standard error, each rewriting itself. Ctrl-C (or SIGTERM,
// SIGHUP) is the answer "stop".
class ConsoleListener : public RunListener {
  public:
    ConsoleListener() : live_(IsTerminal(stderr)) {}

    // Whose names the gap lines give: the people of the loaded school.
    void SetPeople(const TeacherPeople* people) { people_ = people; }

    bool Progress(RunWork work, int step, int total) override {
        if (work != RunWork::kSearch) {
            ShowSteps(work == RunWork::kPreparation ? "Προετοιμασία" : kLoadingText, step, total);
            return !Interrupted();
        }
        if (Interrupted() && started_ && !stopping_) {
            stopping_ = true;
            ClearLine();
            Say(stderr, "Διακοπή της διαδικασίας υπολογισμού λύσεων…");
        }
        if (live_ && started_) {  // not before the seed line
            const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::steady_clock::now() - search_start_);
            std::fprintf(stderr, "\r%s   Λύσεις: %d / %d ",
                         SearchProgressText(elapsed.count(), attempts_).c_str(), step, total);
            std::fflush(stderr);
            shown_ = true;
        }
        return !Interrupted();
    }
    void Attempts(std::int64_t attempts) override { attempts_ = attempts; }
    void SearchStarted(std::uint64_t seed, int threads) override {
        started_ = true;
        search_start_ = std::chrono::steady_clock::now();
        Say(stdout, "Σπόρος τυχαίων επιλογών " + std::to_string(seed) + ", " +
                        std::to_string(threads) + (threads == 1 ? " νήμα" : " νήματα") +
                        " (η ίδια εκτέλεση ξανά: --seed " + std::to_string(seed) + " --threads 1)");
        Say(stdout, std::string(kSearchingText));
    }
    void Solution(int /*solution*/, const std::string& line, const SolutionGaps& gaps) override {
        ClearLine();
        Say(stdout, line);
        Say(stdout, SolutionGapsLine(gaps, people_ != nullptr ? *people_ : TeacherPeople{}));
    }
    // On a terminal, a yes deletes the previous pages; Ctrl-C at the question
    // stops the command.
    Consent ConsentToDeletePrevious(const std::filesystem::path& /*folder*/) override {
        if (AskToDeletePrevious()) {
            return Consent::kGiven;
        }
        return Interrupted() ? Consent::kStop : Consent::kRefused;
    }
    void ClearLine() {
        if (shown_) {
            std::fprintf(stderr, "\r%72s\r", "");
            shown_ = false;
        }
    }

  private:
    static void ShowSteps(const char* what, int step, int total) {
        if (IsTerminal(stderr)) {
            std::fprintf(stderr, "\r%s %d/%d ", what, step, total);
            if (step == total) {
                std::fprintf(stderr, "\r%60s\r", "");
            }
            std::fflush(stderr);
        }
    }

    const TeacherPeople* people_ = nullptr;
    bool live_;
    bool shown_ = false;
    bool started_ = false;
    bool stopping_ = false;
    std::int64_t attempts_ = 0;
    std::chrono::steady_clock::time_point search_start_;
};

int ExitCodeOf(const RunSummary& summary) {
    if (summary.end == RunEnd::kPageNotWritten) {
        return kExitFailure;  // a page that cannot be written
    }
    if (summary.found == summary.requested) {
        return kExitOk;
    }
    return summary.found > 0 ? kExitSomeFound : kExitNoneFound;
}

// The search request of the command line; the number of solutions is the
// school's own unless given.
SearchRequest SearchRequestOf(const SolveRequest& request, int stored_solutions) {
    SearchRequest search;
    search.settings = request.settings;
    if (!request.solutions_given) {
        search.settings.solutions_requested = stored_solutions;
    }
    search.seed = request.seed;
    search.threads = request.threads;
    search.time_limit_seconds = request.time_limit_seconds;
    // Without --replace the listener asks, once the checks have passed.
    search.delete_previous = request.replace;
    search.check_timetable_possible = request.check_timetable_possible;
    search.engines = request.engines;
    return search;
}

// Everything before the search: checks, requested solutions, working copy,
// loading. Returns an exit code when the run cannot go on.
std::optional<int> PrepareRun(const SolveRequest& request, RunSequence& sequence) {
    if (const DataProblem problem = sequence.Check(); problem != DataProblem::kNone) {
        Say(stderr, DataProblemMessage(problem));
        return kExitDataProblem;
    }
    if (request.solutions_given) {
        sequence.StoreRequestedSolutions(request.settings.solutions_requested);
    }
    sequence.Prepare();
    sequence.Load();
    return std::nullopt;
}

// The tool's exit code for a run that failed on its way.
int ExitCodeOf(RunFailure::Kind kind) {
    switch (kind) {
        case RunFailure::Kind::kStopped:
            return kExitNoneFound;
        case RunFailure::Kind::kInvalidValues:
            return kExitUsage;
        case RunFailure::Kind::kSearchRefused:
        case RunFailure::Kind::kContradictory:
            return kExitDataProblem;
        case RunFailure::Kind::kPreviousKept:
            return kExitRefused;
        case RunFailure::Kind::kPageNotDeleted:
        case RunFailure::Kind::kCannotRun:
            return kExitFailure;
    }
    return kExitFailure;
}

int RunSearch(const SolveRequest& request, RunSequence& sequence, ConsoleListener& listener) {
    const SearchRequest search = SearchRequestOf(request, sequence.problem().solutions_requested);
    const std::filesystem::path directory = sequence.SolutionsFolder();
    const RunSummary summary = sequence.Search(search);
    listener.ClearLine();
    if (summary.end == RunEnd::kTimeLimit) {
        Say(stderr, std::string(kTimeLimitReachedText));
    }
    // A proof that no timetable exists is said as such, never as the
    // search giving up.
    const bool proven_impossible = summary.end == RunEnd::kExhausted && summary.found == 0;
    if (summary.end == RunEnd::kPageNotWritten) {
        // Which page, why, what was written before it, and the summary.
        Say(stderr, DescribeRunFailure(summary.page_error).message);
        Say(stderr, PageNotWrittenEnding(summary.found, summary.previous_pages_kept));
    } else if (proven_impossible) {
        Say(stderr, summary.impossibility);
        if (summary.previous_pages_kept) {
            Say(stderr, std::string(kPreviousPagesKeptMessage));
        }
    } else if (summary.found == 0) {
        // Ctrl-C and the time limit are said as such, not blamed on the data.
        Say(stdout, std::string(NoTimetableMessage(summary.end)));
        if (summary.previous_pages_kept) {
            Say(stdout, std::string(kPreviousPagesKeptMessage));
        }
    } else if (summary.end == RunEnd::kExhausted) {
        Say(stdout, NoFurtherTimetableMessage(summary.found));
    }
    Say(stdout, SummaryMessage(summary.found, summary.requested, summary.total_time_text));
    if (const std::string fewest = FewestGapsLine(summary); !fewest.empty()) {
        Say(stdout, fewest);
    }
    // A reworked timetable the rule check refused is a fault, never hidden.
    for (const std::string& warning : {RefusedReworksWarning(summary.refused_reworks),
                                       RefusedExactWarning(summary.refused_exact),
                                       RefusedSearchedWarning(summary.refused_searched)}) {
        if (!warning.empty()) {
            Say(stderr, warning);
        }
    }
    // A run that ended without all its solutions says what the search saw.
    if (const std::string evidence = EvidenceMessage(summary.evidence, sequence.problem().inputs,
                                                     sequence.problem().denied_slots);
        !evidence.empty()) {
        Say(stdout, evidence);
    }
    if (summary.found > 0) {
        Say(stdout, "Οι λύσεις αποθηκεύτηκαν στο " + directory.string());
    }
    return proven_impossible ? kExitDataProblem : ExitCodeOf(summary);
}

}  // namespace

int Solve(const SolveRequest& request, const ProgramPaths& paths) {
    // Every number is checked before anything is prepared; the number of
    // solutions only when given, since the school's own is always in range.
    SearchRequest checked = SearchRequestOf(request, 1);
    if (request.solutions_given) {
        checked.settings.solutions_requested = request.settings.solutions_requested;
    }
    if (!SearchRequestValid(checked)) {
        Say(stderr, std::string(kInvalidValuesMessage));
        return kExitUsage;
    }
    InterruptGuard guard;
    try {
        if (const QString problem = ProgramDirectoryProblem(paths.directory); !problem.isEmpty()) {
            Say(stderr, problem);
            return kExitFailure;
        }
        ConsoleListener listener;
        RunSequence sequence(paths, &listener);
        listener.SetPeople(&sequence.people());
        // One writer at a time, from the preparation to the last page.
        sequence.Lock();
        if (const auto refused = PrepareRun(request, sequence)) {
            return *refused;
        }
        return RunSearch(request, sequence, listener);
    } catch (const std::bad_alloc&) {
        throw;  // the tool's own message and exit code
    } catch (...) {
        const RunFailure failure = DescribeRunFailure(std::current_exception());
        Say(stderr, failure.message);
        if (!failure.detail.empty()) {
            Say(stderr, failure.detail);
        }
        return ExitCodeOf(failure.kind);
    }
}

}  // namespace taktirio::cli
