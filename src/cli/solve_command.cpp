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
#include <random>
#include <string>
#include <thread>

#include "checks/presolve.h"
#include "cli_commands.h"
#include "database/database.h"
#include "database/errors.h"
#include "load/problem_loader.h"
#include "pages/page_errors.h"
#include "pages/solution_page_writer.h"
#include "prepare/requested_solutions.h"
#include "prepare/working_copy.h"
#include "run/run_engine.h"
#include "run/run_messages.h"
#include "run/solution_files.h"
#include "shell/program_lock.h"
#include "shell/startup.h"
#include "solver/errors.h"
#include "text/cp1253.h"

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

// Raised at the next step of the preparation or loading after a signal; the
// working copy's transaction rolls back as it unwinds.
struct InterruptedBeforeSearch {};

void StopIfInterrupted() {
    if (Interrupted()) {
        throw InterruptedBeforeSearch{};
    }
}

// The largest values of the numeric options that have no range of their own.
constexpr int kMostThreads = 256;
constexpr double kMostTimeLimitSeconds = 30.0 * 24.0 * 3600.0;  // 30 days

// Program messages use "\r" as a line break; a terminal wants "\n".
void Print(FILE* stream, const std::string& message) {
    std::string text = message;
    for (char& ch : text) {
        if (ch == '\r') {
            ch = '\n';
        }
    }
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

void Print(FILE* stream, const QString& message) {
    Print(stream, message.toStdString());
}

void Print(FILE* stream, const char* message) {
    Print(stream, std::string(message));
}

bool IsTerminal(FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

// Solution lines on standard output; on a terminal a progress line on
// standard error that rewrites itself. Forwards Ctrl-C to the run.
class ConsoleObserver : public RunObserver {
  public:
    explicit ConsoleObserver(RunEngine*& engine) : engine_(engine), live_(IsTerminal(stderr)) {}

    void OnProgress(const RunProgress& progress) override {
        if (Interrupted() && engine_ != nullptr && !stopping_) {
            stopping_ = true;
            ClearLine();
            Print(stderr, "Διακοπή της διαδικασίας υπολογισμού λύσεων…");
            engine_->Stop();
        }
        if (live_) {
            std::fprintf(stderr, "\rΠροσπάθειες: %lld   Λύσεις: %d / %d ",
                         static_cast<long long>(progress.attempts), progress.found,
                         progress.requested);
            std::fflush(stderr);
            shown_ = true;
        }
    }
    void OnSolution(int /*solution*/, const std::string& line) override {
        ClearLine();
        Print(stdout, line);
    }
    void ClearLine() {
        if (shown_) {
            std::fprintf(stderr, "\r%60s\r", "");
            shown_ = false;
        }
    }

  private:
    RunEngine*& engine_;
    bool live_;
    bool shown_ = false;
    bool stopping_ = false;
};

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

std::uint64_t DrawSeed() {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device() ^
           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

void ShowSteps(const char* what, int step, int total) {
    if (IsTerminal(stderr)) {
        std::fprintf(stderr, "\r%s %d/%d ", what, step, total);
        if (step == total) {
            std::fprintf(stderr, "\r%60s\r", "");
        }
        std::fflush(stderr);
    }
}

int ContradictoryData(const std::string& detail) {
    Print(stderr, std::string(kContradictoryDataMessage));
    if (!detail.empty()) {
        Print(stderr, detail);
    }
    return kExitDataProblem;
}

struct Prepared {
    LoadedProblem problem;
    std::string user;
};

// Everything before the search: checks, requested solutions, working copy,
// loading. Throws the data layer's errors, and InterruptedBeforeSearch after a
// signal (the working copy then rolls back).
std::optional<Prepared> PrepareRun(const SolveRequest& request, const ProgramPaths& paths,
                                   int& exit_code) {
    Database entry = Database::Open(paths.entry_database);
    const Session session{entry.connection(), Login(entry.connection())};
    const DataProblem problem = CheckBeforeSolving(session);
    if (problem != DataProblem::kNone) {
        Print(stderr, DataProblemMessage(problem));
        exit_code = kExitDataProblem;
        return std::nullopt;
    }
    StopIfInterrupted();
    if (request.solutions_given) {
        StoreRequestedSolutions(session, request.settings.solutions_requested);
    }
    StopIfInterrupted();
    Database working = Database::Open(paths.working_database);
    PrepareWorkingCopy(session, working.connection(), [](int step, int total) {
        StopIfInterrupted();
        ShowSteps("Προετοιμασία", step, total);
    });
    Prepared prepared;
    prepared.problem = LoadProblem(working.connection(), session.school, [](int step, int total) {
        StopIfInterrupted();
        ShowSteps(kLoadingText, step, total);
    });
    StopIfInterrupted();
    prepared.user = session.school.toStdString();
    return prepared;
}

int ExitCodeOf(const RunSummary& summary) {
    if (summary.found == summary.requested) {
        return kExitOk;
    }
    return summary.found > 0 ? kExitSomeFound : kExitNoneFound;
}

// The checks that could stop a run, all made before a previous page is
// deleted: names the pages can hold, consent, a folder that takes new files.
// Returns an exit code when the run cannot go ahead.
std::optional<int> CheckBeforeDeleting(const SolveRequest& request, const Prepared& prepared,
                                       const std::filesystem::path& directory, bool& previous) {
    const LoadedProblem& problem = prepared.problem;
    if (const auto message = UnwritableNameMessage(problem.page_info, problem.inputs.class_names,
                                                   problem.inputs.teacher_names)) {
        Print(stderr, *message);
        return kExitDataProblem;
    }
    previous = HasPreviousPages(directory);
    if (previous && !request.replace && !AskToDeletePrevious()) {
        StopIfInterrupted();
        Print(stderr, "Υπάρχουν προηγούμενες λύσεις στο " + directory.string() +
                          ".\rΗ εκτέλεση ακυρώθηκε: δώσε --replace για να διαγραφούν.");
        return kExitRefused;
    }
    bool created = false;
    if (const auto problem_text = PrepareSolutionsFolder(directory, created)) {
        Print(stderr, *problem_text);
        return kExitFailure;
    }
    return std::nullopt;
}

int RunSearch(const SolveRequest& request, const ProgramPaths& paths, Prepared& prepared) {
    RunSettings settings = request.settings;
    if (!request.solutions_given) {
        settings.solutions_requested = prepared.problem.solutions_requested;
    }
    if (!RunSettingsValid(settings)) {
        Print(stderr, std::string(kInvalidValuesMessage));
        return kExitUsage;
    }
    const std::filesystem::path directory =
        SolutionsDirectory(paths.directory.toStdString(), prepared.user);
    prepared.problem.page_info.program_directory = paths.directory.toStdString();
    bool previous = false;
    if (const auto refused = CheckBeforeDeleting(request, prepared, directory, previous)) {
        return *refused;
    }

    RunParameters parameters;
    parameters.options = ToRunOptions(settings);
    parameters.solutions_requested = settings.solutions_requested;
    parameters.seed = request.seed.value_or(DrawSeed());
    parameters.threads = request.threads > 0
                             ? request.threads
                             : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (request.time_limit_seconds) {
        parameters.time_limit =
            std::chrono::milliseconds(static_cast<long long>(*request.time_limit_seconds * 1000.0));
    }
    parameters.solutions_directory = directory;
    // Runs once the worker threads have started: only then may the previous
    // pages go.
    parameters.before_search = [&] {
        StopIfInterrupted();
        if (previous) {
            DeletePreviousPages(directory);
        }
        Print(stdout, "seed " + std::to_string(parameters.seed) + ", " +
                          std::to_string(parameters.threads) + " threads (repeat with --seed " +
                          std::to_string(parameters.seed) + " --threads 1)");
        Print(stdout, std::string(kSearchingText));
    };

    SolutionPageWriter writer(prepared.problem.page_info);
    RunEngine* running = nullptr;
    ConsoleObserver observer(running);
    RunEngine engine(prepared.problem.inputs, prepared.problem.rules, parameters, writer,
                     &observer);
    running = &engine;
    RunSummary summary;
    try {
        summary = engine.Run();
    } catch (...) {
        RemoveDirectoryIfEmpty(directory);  // no page was written: no folder left behind
        throw;
    }
    observer.ClearLine();
    if (summary.end == RunEnd::kTimeLimit) {
        Print(stderr, "Το χρονικό όριο εξαντλήθηκε.");
    }
    if (summary.found == 0) {
        Print(stdout, std::string(kNoSolutionMessage));
    }
    Print(stdout, SummaryMessage(summary.found, summary.requested, summary.total_time_text));
    if (summary.found > 0) {
        Print(stdout, "Οι λύσεις αποθηκεύτηκαν στο " + directory.string());
    }
    return ExitCodeOf(summary);
}

// True when every number of the request lies in its range; the number of
// solutions is checked here only when given.
bool RequestValid(const SolveRequest& request) {
    RunSettings settings = request.settings;
    if (!request.solutions_given) {
        settings.solutions_requested = 1;
    }
    if (!RunSettingsValid(settings) || request.threads < 0 || request.threads > kMostThreads) {
        return false;
    }
    if (request.time_limit_seconds) {
        const double seconds = *request.time_limit_seconds;
        return std::isfinite(seconds) && seconds > 0 && seconds <= kMostTimeLimitSeconds;
    }
    return true;
}

}  // namespace

int Solve(const SolveRequest& request, const ProgramPaths& paths) {
    if (!RequestValid(request)) {
        Print(stderr, std::string(kInvalidValuesMessage));
        return kExitUsage;
    }
    InterruptGuard guard;
    try {
        if (const QString problem = ProgramDirectoryProblem(paths.directory); !problem.isEmpty()) {
            Print(stderr, problem);
            return kExitFailure;
        }
        // One writer at a time, from the preparation to the last page.
        ProgramLock lock(paths.directory);
        lock.Lock();
        int exit_code = kExitOk;
        std::optional<Prepared> prepared = PrepareRun(request, paths, exit_code);
        if (!prepared) {
            return exit_code;
        }
        return RunSearch(request, paths, *prepared);
    } catch (const InterruptedBeforeSearch&) {
        Print(stderr,
              "Η διαδικασία διακόπηκε πριν την αναζήτηση λύσεων.\r"
              "Τα δεδομένα έμειναν όπως ήταν και οι προηγούμενες λύσεις δεν διαγράφηκαν.");
        return kExitNoneFound;
    } catch (const PreparationError& error) {
        Print(stderr, error.message());
        return kExitDataProblem;
    } catch (const ProblemLoadError& error) {
        Print(stderr, error.message());
        return kExitDataProblem;
    } catch (const ProblemError& error) {
        return ContradictoryData(error.what());
    } catch (const ContradictoryDataError& error) {
        return ContradictoryData(error.what());
    } catch (const RunStartError& error) {
        Print(stderr, std::string(error.what()) + "\rΟι προηγούμενες λύσεις δεν διαγράφηκαν.");
        return kExitFailure;
    } catch (const PageDeleteError& error) {
        Print(stderr, "Η προηγούμενη λύση " + error.path().string() + " δεν μπορεί να διαγραφεί (" +
                          error.reason() + ").\rΗ αναζήτηση λύσεων δεν ξεκίνησε.");
        return kExitFailure;
    } catch (const PageWriteError& error) {
        Print(stderr, "Η σελίδα " + error.path() + " δεν μπορεί να γραφτεί.\r" + error.what());
        return kExitFailure;
    } catch (const EncodingError& error) {
        Print(stderr, error.what());
        return kExitFailure;
    } catch (const std::filesystem::filesystem_error& error) {
        Print(stderr, error.what());
        return kExitFailure;
    }
}

}  // namespace taktirio::cli
