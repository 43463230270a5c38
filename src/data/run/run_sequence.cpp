#include "run/run_sequence.h"

#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "common/system_errors.h"
#include "database/database.h"
#include "feasibility/feasibility.h"
#include "pages/page_errors.h"
#include "pages/solution_page_writer.h"
#include "prepare/requested_solutions.h"
#include "prepare/working_copy.h"
#include "run/solution_files.h"
#include "solver/errors.h"
#include "text/cp1253.h"

namespace taktirio::data {

namespace {

std::uint64_t DrawSeed() {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device() ^
           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

int EveryCore() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace

bool SearchRequestValid(const SearchRequest& request) {
    if (!RunSettingsValid(request.settings) || request.threads < 0 ||
        request.threads > kMostThreads) {
        return false;
    }
    if (request.time_limit_seconds) {
        const double seconds = *request.time_limit_seconds;
        return std::isfinite(seconds) && seconds > 0 && seconds <= kMostTimeLimitSeconds;
    }
    return true;
}

// Passes the engine's news to the listener, and a stop from the listener or
// from Stop() to the engine, on the thread that runs the search.
class RunSequence::EngineObserver : public RunObserver {
  public:
    explicit EngineObserver(RunSequence& sequence) : sequence_(sequence) {}

    void OnProgress(const RunProgress& progress) override {
        sequence_.listener_.load()->Attempts(progress.attempts);
        const bool go_on = sequence_.listener_.load()->Progress(RunWork::kSearch, progress.found,
                                                                progress.requested);
        if ((!go_on || sequence_.StopRequested()) && !stopping_) {
            stopping_ = true;
            sequence_.Stop();
        }
    }
    void OnSolution(int solution, const std::string& line, const SolutionGaps& gaps) override {
        sequence_.listener_.load()->Solution(solution, line, gaps);
    }

  private:
    RunSequence& sequence_;
    bool stopping_ = false;
};

RunFailure DescribeRunFailure(std::exception_ptr error) {
    using Kind = RunFailure::Kind;
    const auto failure = [](Kind kind, const QString& message, const std::string& detail = {}) {
        return RunFailure{kind, message, detail};
    };
    const auto text = [](const std::string& utf8) { return QString::fromStdString(utf8); };
    try {
        std::rethrow_exception(error);
    } catch (const RunStoppedError& stopped) {
        return failure(Kind::kStopped, stopped.message());
    } catch (const RunRefusedError& refused) {
        return failure(Kind::kInvalidValues, refused.message());
    } catch (const SearchRefusedError& refused) {
        return failure(Kind::kSearchRefused, refused.message());
    } catch (const PreparationError& refused) {
        return failure(Kind::kContradictory, refused.message());
    } catch (const ProblemLoadError& refused) {
        return failure(Kind::kContradictory, refused.message());
    } catch (const PreviousPagesKeptError& kept) {
        return failure(Kind::kPreviousKept, kept.message());
    } catch (const DataError& other) {
        return failure(Kind::kCannotRun, other.message());
    } catch (const PageDeleteError& undeletable) {
        return failure(Kind::kPageNotDeleted,
                       text("Η προηγούμενη λύση " + undeletable.path().string() +
                            " δεν μπορεί να διαγραφεί (" + undeletable.reason() +
                            ").\rΗ αναζήτηση λύσεων δεν ξεκίνησε."));
    } catch (const RunStartError& not_started) {
        return failure(Kind::kCannotRun, text(std::string(not_started.what()) +
                                              "\rΟι προηγούμενες λύσεις δεν διαγράφηκαν."));
    } catch (const PageWriteError& unwritten) {
        return failure(Kind::kCannotRun,
                       text("Η σελίδα " + unwritten.path() +
                            " δεν μπορεί να γραφτεί: " + unwritten.reason() + "."));
    } catch (const EncodingError& unwritable) {
        return failure(Kind::kCannotRun, text(unwritable.what()));
    } catch (const std::filesystem::filesystem_error& file) {
        return failure(Kind::kCannotRun, text("Το αρχείο " + file.path1().string() +
                                              " δεν μπορεί να χρησιμοποιηθεί: " +
                                              SystemErrorText(file.code()) + "."));
    } catch (const ProblemError& contradiction) {
        return failure(Kind::kContradictory, QString::fromUtf8(kContradictoryDataMessage),
                       contradiction.what());
    } catch (const ContradictoryDataError& contradiction) {
        return failure(Kind::kContradictory, QString::fromUtf8(kContradictoryDataMessage),
                       contradiction.what());
    } catch (...) {
        // Anything else unforeseen.
        return failure(Kind::kContradictory, QString::fromUtf8(kContradictoryDataMessage));
    }
}

QString RunFailureMessage(std::exception_ptr error) {
    return DescribeRunFailure(std::move(error)).message;
}

bool LeavesPreviousPages(RunFailure::Kind kind) {
    switch (kind) {
        case RunFailure::Kind::kStopped:
        case RunFailure::Kind::kInvalidValues:
        case RunFailure::Kind::kSearchRefused:
        case RunFailure::Kind::kPreviousKept:
        case RunFailure::Kind::kPageNotDeleted:
            return true;
        case RunFailure::Kind::kContradictory:
        case RunFailure::Kind::kCannotRun:
            return false;
    }
    return false;
}

RunSequence::RunSequence(ProgramPaths paths, RunListener* listener)
    : paths_(std::move(paths)),
      home_thread_(std::this_thread::get_id()),
      listener_(listener != nullptr ? listener : &silent_),
      lock_(paths_.directory) {}

RunSequence::~RunSequence() = default;

void RunSequence::Lock() {
    if (!lock_.IsLocked()) {
        lock_.Lock();
    }
}

void RunSequence::StopIfAsked() const {
    if (StopRequested()) {
        throw RunStoppedError(QString::fromUtf8(kStoppedBeforeSearchMessage),
                              QStringLiteral("stopped before the search"));
    }
}

StepProgress RunSequence::StepsOf(RunWork work) {
    return [this, work](int step, int total) {
        StopIfAsked();
        if (!listener_.load()->Progress(work, step, total)) {
            stop_.store(true);
            StopIfAsked();
        }
    };
}

const QSqlDatabase& RunSequence::Connection(const QString& path, std::optional<Database>& shared,
                                            std::optional<Database>& own) {
    if (std::this_thread::get_id() != home_thread_) {
        return own.emplace(Database::Open(path)).connection();
    }
    if (!shared) {
        shared.emplace(Database::Open(path));
    }
    return shared->connection();
}

const QSqlDatabase& RunSequence::Entry(std::optional<Database>& own) {
    return Connection(paths_.entry_database, entry_, own);
}

const QSqlDatabase& RunSequence::Working(std::optional<Database>& own) {
    return Connection(paths_.working_database, working_, own);
}

const QString& RunSequence::LoggedInSchool(const QSqlDatabase& entry) {
    if (school_.isEmpty()) {
        school_ = Login(entry);
    }
    return school_;
}

DataProblem RunSequence::Check() {
    stage_.store(RunStage::kNothingAccepted);
    std::optional<Database> own;
    const QSqlDatabase& entry = Entry(own);
    school_ = Login(entry);
    return CheckBeforeSolving({entry, school_});
}

void RunSequence::StoreRequestedSolutions(int solutions) {
    StopIfAsked();
    std::optional<Database> own;
    const QSqlDatabase& entry = Entry(own);
    data::StoreRequestedSolutions({entry, LoggedInSchool(entry)}, solutions);
    stage_.store(RunStage::kRequestedStored);
}

void RunSequence::Prepare() {
    StopIfAsked();
    std::optional<Database> own_entry;
    const QSqlDatabase& entry = Entry(own_entry);
    const QString& school = LoggedInSchool(entry);
    std::optional<Database> own_working;
    PrepareWorkingCopy({entry, school}, Working(own_working), StepsOf(RunWork::kPreparation));
    stage_.store(RunStage::kPrepared);
}

void RunSequence::Load() {
    StopIfAsked();
    if (school_.isEmpty()) {
        std::optional<Database> own;
        LoggedInSchool(Entry(own));
    }
    std::optional<Database> own;
    LoadedProblem loaded = LoadProblem(Working(own), school_, StepsOf(RunWork::kLoading));
    StopIfAsked();
    loaded.page_info.program_directory = paths_.directory.toStdString();
    people_ = PeopleOfTeachers(loaded.inputs.teacher_names, loaded.inputs.number_of_teachers);
    problem_ = std::move(loaded);
    stage_.store(RunStage::kLoaded);
}

WorkingSchool RunSequence::ReadWorkingSchool() {
    if (school_.isEmpty()) {
        std::optional<Database> own;
        LoggedInSchool(Entry(own));
    }
    std::optional<Database> own;
    const QList<QStringList> rows =
        Rows(Working(own),
             QStringLiteral("SELECT SCHOOL_NAME, PERSON_RESPONSIBLE_TO_INSERT_DATA, "
                            "NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS WHERE USERNAME = ?"),
             {school_});
    if (rows.isEmpty()) {
        throw DatabaseError(QString::fromUtf8(kDatabaseProblemMessage),
                            QStringLiteral("the working copy has no SCHOOLS row"));
    }
    WorkingSchool school;
    school.name = rows.front().value(0);
    school.responsible = rows.front().value(1);
    school.solutions_requested = rows.front().value(2).toInt();
    return school;
}

std::filesystem::path RunSequence::SolutionsFolder() const {
    return SolutionsDirectory(paths_.directory.toStdString(), school_.toStdString());
}

bool RunSequence::HasPreviousPages() const {
    return taktirio::HasPreviousPages(SolutionsFolder());
}

void RunSequence::RefuseWhatStopsTheSearch(const SearchRequest& request) {
    const auto refuse = [](const std::optional<std::string>& problem, const char* what) {
        if (problem) {
            throw SearchRefusedError(QString::fromStdString(*problem), QString::fromLatin1(what));
        }
    };
    refuse(UnwritableNameMessage(problem_.page_info, problem_.inputs.class_names,
                                 problem_.inputs.teacher_names),
           "a name the pages cannot hold");
    if (request.check_timetable_possible) {
        const std::vector<Infeasibility> reasons =
            CheckBeforeSearch(problem_.inputs, problem_.rules, ToRunOptions(request.settings));
        refuse(reasons.empty() ? std::nullopt : std::optional(InfeasibilityMessage(reasons)),
               "the checks before a search found reasons");
    }
    const std::filesystem::path folder = SolutionsFolder();
    if (!request.delete_previous && taktirio::HasPreviousPages(folder)) {
        switch (listener_.load()->ConsentToDeletePrevious(folder)) {
            case RunListener::Consent::kGiven:
                break;
            case RunListener::Consent::kStop:
                stop_.store(true);
                StopIfAsked();
                break;
            case RunListener::Consent::kRefused:
                throw PreviousPagesKeptError(
                    QString::fromStdString("Υπάρχουν προηγούμενες λύσεις στο " + folder.string() +
                                           ".\rΗ εκτέλεση ακυρώθηκε: δώσε --replace για να "
                                           "διαγραφούν."),
                    QStringLiteral("previous pages kept"));
        }
    }
    bool created = false;
    if (const auto problem = PrepareSolutionsFolder(folder, created)) {
        throw SolutionsFolderError(QString::fromStdString(*problem),
                                   QStringLiteral("the solutions folder takes no new file"));
    }
}

RunSummary RunSequence::Search(const SearchRequest& request) {
    if (!SearchRequestValid(request)) {
        throw RunRefusedError(QString::fromUtf8(kInvalidValuesMessage),
                              QStringLiteral("run numbers out of range"));
    }
    StopIfAsked();
    RefuseWhatStopsTheSearch(request);
    const std::filesystem::path directory = SolutionsFolder();
    RunParameters parameters;
    parameters.options = ToRunOptions(request.settings);
    parameters.solutions_requested = request.settings.solutions_requested;
    parameters.seed = request.seed.value_or(DrawSeed());
    parameters.threads = request.threads > 0 ? request.threads : EveryCore();
    if (request.time_limit_seconds) {
        parameters.time_limit =
            std::chrono::milliseconds(static_cast<long long>(*request.time_limit_seconds * 1000.0));
    }
    parameters.solutions_directory = directory;
    // Only once every worker has started may the previous pages go, so that a
    // run that cannot start leaves them all.
    parameters.before_search = [this, &request, &directory, &parameters] {
        if (!listener_.load()->Progress(RunWork::kSearch, 0, parameters.solutions_requested)) {
            stop_.store(true);
        }
        StopIfAsked();
        // Consent was given by the request or by the listener before the
        // workers started.
        if (taktirio::HasPreviousPages(directory)) {
            DeletePreviousPages(directory);
        }
        listener_.load()->SearchStarted(parameters.seed, parameters.threads);
    };

    SolutionPageWriter writer(problem_.page_info);
    EngineObserver observer(*this);
    RunEngine engine(problem_.inputs, problem_.rules, parameters, writer, &observer);
    {
        const std::lock_guard<std::mutex> hold(engine_mutex_);
        engine_ = &engine;
        if (StopRequested()) {
            engine.Stop();  // asked between the check above and now
        }
    }
    RunSummary summary;
    try {
        summary = engine.Run();
    } catch (...) {
        {
            const std::lock_guard<std::mutex> hold(engine_mutex_);
            engine_ = nullptr;
        }
        RemoveDirectoryIfEmpty(directory);  // no page was written: no folder left behind
        throw;
    }
    const std::lock_guard<std::mutex> hold(engine_mutex_);
    engine_ = nullptr;
    return summary;
}

void RunSequence::Stop() {
    stop_.store(true);
    const std::lock_guard<std::mutex> hold(engine_mutex_);
    if (engine_ != nullptr) {
        engine_->Stop();
    }
}

}  // namespace taktirio::data
