#include "data/run/run_sequence.h"

#include <chrono>
#include <cmath>
#include <fstream>
#include <random>
#include <thread>

#include "core/common/system_errors.h"
#include "core/feasibility/feasibility.h"
#include "core/pages/page_errors.h"
#include "core/pages/solution_page_writer.h"
#include "core/run/solution_files.h"
#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/text/cp1253.h"
#include "data/database/database.h"
#include "data/prepare/requested_solutions.h"
#include "data/prepare/working_copy.h"

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

// Writes the run's pages; once the first is written, the previous pages
// kept aside go. The engine hands it one page at a time.
class PagesReplacingPrevious : public SolutionWriter {
  public:
    PagesReplacingPrevious(SolutionWriter& pages, std::filesystem::path folder)
        : pages_(pages), folder_(std::move(folder)) {}

    void WriteSolution(const ClaimedSolution& solution) override {
        pages_.WriteSolution(solution);
        if (!written_.exchange(true)) {
            DeletePagesKeptAside(folder_);
        }
    }
    bool written() const { return written_.load(); }

  private:
    SolutionWriter& pages_;
    std::filesystem::path folder_;
    std::atomic<bool> written_{false};
};

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

// Passes the engine's news to the listener, and a stop from the listener to
// the sequence's stop, which the engine hears, on the thread that runs the
// search.
class RunSequence::EngineObserver : public RunObserver {
  public:
    explicit EngineObserver(RunSequence& sequence) : sequence_(sequence) {}

    void OnProgress(const RunProgress& progress) override {
        sequence_.listener_.load()->Attempts(progress.attempts);
        const bool go_on = sequence_.listener_.load()->Progress(RunWork::kSearch, progress.found,
                                                                progress.requested);
        if (!go_on) {
            sequence_.Stop();
        }
    }
    void OnSolution(int solution, const std::string& line, const SolutionGaps& gaps) override {
        sequence_.listener_.load()->Solution(solution, line, gaps);
    }

  private:
    RunSequence& sequence_;
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
                            ").\rΗ αναζήτηση λύσεων δεν ξεκίνησε. Καμία προηγούμενη λύση δεν "
                            "διαγράφηκε."));
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
            stop_.request_stop();
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
    const Session session{entry, LoggedInSchool(entry)};
    const int before = StoredRequestedSolutions(session);
    data::StoreRequestedSolutions(session, solutions);
    if (!requested_before_) {
        requested_before_ = before;
    }
    stage_.store(RunStage::kRequestedStored);
}

void RunSequence::PutBackRequestedSolutions() {
    if (!requested_before_) {
        return;
    }
    const int before = *requested_before_;
    try {
        std::optional<Database> own;
        const QSqlDatabase& entry = Entry(own);
        data::StoreRequestedSolutions({entry, LoggedInSchool(entry)}, before);
    } catch (const DataError& error) {
        throw RunStoppedError(QString::fromUtf8("Η διαδικασία διακόπηκε πριν την αναζήτηση "
                                                "λύσεων και οι προηγούμενες λύσεις δεν "
                                                "διαγράφηκαν.\rΟ αριθμός των ζητούμενων λύσεων "
                                                "όμως δεν έγινε ξανά %1 όπως ήταν:\r")
                                      .arg(before) +
                                  error.message(),
                              QStringLiteral("stopped; the requested number not put back"));
    }
    requested_before_.reset();
}

void RunSequence::Prepare() {
    try {
        StopIfAsked();
        std::optional<Database> own_entry;
        const QSqlDatabase& entry = Entry(own_entry);
        const QString& school = LoggedInSchool(entry);
        std::optional<Database> own_working;
        PrepareWorkingCopy({entry, school}, Working(own_working), StepsOf(RunWork::kPreparation));
    } catch (const RunStoppedError&) {
        PutBackRequestedSolutions();
        throw;
    }
    stage_.store(RunStage::kPrepared);
}

void RunSequence::Load() {
    LoadedProblem loaded;
    try {
        StopIfAsked();
        if (school_.isEmpty()) {
            std::optional<Database> own;
            LoggedInSchool(Entry(own));
        }
        std::optional<Database> own;
        loaded = LoadProblem(Working(own), school_, StepsOf(RunWork::kLoading));
        StopIfAsked();
    } catch (const RunStoppedError&) {
        PutBackRequestedSolutions();
        throw;
    }
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
    // Pages a killed run left aside come back at the next run, or go with it.
    const std::filesystem::path folder = SolutionsFolder();
    return taktirio::HasPreviousPages(folder) || HasPagesKeptAside(folder);
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
    // The search is prepared here, once: the checks and the engine read the
    // same rule index.
    const RunOptions options = ToRunOptions(request.settings);
    try {
        prepared_index_ = std::make_shared<const RuleIndex>(
            PrepareSearch(problem_.inputs, problem_.rules, options));
    } catch (const ProblemError& error) {
        if (!request.check_timetable_possible) {
            throw;  // the search has the last word, and it refuses these data
        }
        refuse(std::string(kContradictoryDataMessage) + "\r" + error.what(),
               "the search's invariants do not hold");
    }
    if (request.check_timetable_possible) {
        const std::vector<Infeasibility> reasons =
            FindInfeasibilities(problem_.inputs, problem_.rules, options, *prepared_index_);
        refuse(reasons.empty() ? std::nullopt : std::optional(InfeasibilityMessage(reasons)),
               "the checks before a search found reasons");
    }
    const std::filesystem::path folder = SolutionsFolder();
    bool created = false;
    if (const auto problem = PrepareSolutionsFolder(folder, created)) {
        throw SolutionsFolderError(QString::fromStdString(*problem),
                                   QStringLiteral("the solutions folder takes no new file"));
    }
    RecoverPagesKeptAside(folder);  // what a run killed on its way left aside
    if (!request.delete_previous && taktirio::HasPreviousPages(folder)) {
        switch (listener_.load()->ConsentToDeletePrevious(folder)) {
            case RunListener::Consent::kGiven:
                break;
            case RunListener::Consent::kStop:
                stop_.request_stop();
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
}

RunSummary RunSequence::Search(const SearchRequest& request) {
    try {
        return SearchLoaded(request);
    } catch (const RunStoppedError&) {
        PutBackRequestedSolutions();
        throw;
    }
}

RunSummary RunSequence::SearchLoaded(const SearchRequest& request) {
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
    parameters.prepared_index = prepared_index_;
    parameters.engines = request.engines;
    // Only once every worker has started may the previous pages go, so that a
    // run that cannot start leaves them all.
    parameters.before_search = [this, &request, &directory, &parameters] {
        if (!listener_.load()->Progress(RunWork::kSearch, 0, parameters.solutions_requested)) {
            stop_.request_stop();
        }
        StopIfAsked();
        // Consent was given by the request or by the listener before the
        // workers started. Pages a killed run left aside beside its own are
        // older than the previous pages, and go now; the previous pages go
        // aside, all or none, until the first new page is written.
        DeletePagesKeptAside(directory);
        MovePreviousPagesAside(directory);
        requested_before_.reset();  // the run goes ahead with its number
        listener_.load()->SearchStarted(parameters.seed, parameters.threads);
    };

    SolutionPageWriter pages(problem_.page_info);
    PagesReplacingPrevious writer(pages, directory);
    // A stop asked at any moment from here on, before the run or during it,
    // is heard by the engine through the sequence's one stop.
    parameters.stop = stop_.get_token();
    EngineObserver observer(*this);
    RunEngine engine(problem_.inputs, problem_.rules, parameters, writer, &observer);
    RunSummary summary;
    try {
        summary = engine.Run();
    } catch (...) {
        if (!writer.written()) {
            RestorePagesKeptAside(directory);
            RemoveDirectoryIfEmpty(directory);  // no page was written: no folder left behind
        }
        throw;
    }
    if (!writer.written()) {
        summary.previous_pages_kept = RestorePagesKeptAside(directory) > 0;
    } else {
        // The pages are this run's: so are the options kept beside them. A
        // folder that takes pages takes this small file; should it not, the
        // editor starts from its own last options, and the run stands.
        KeepRunSettings(directory, request.settings);
    }
    return summary;
}

std::filesystem::path KeptRunSettingsPath(const std::filesystem::path& folder) {
    const std::filesystem::path whole = folder.lexically_normal();
    const std::filesystem::path name =
        whole.has_filename() ? whole.filename() : whole.parent_path().filename();
    const std::filesystem::path parent =
        whole.has_filename() ? whole.parent_path() : whole.parent_path().parent_path();
    return parent / ("." + name.string() + ".run-options");
}

std::optional<RunSettings> KeptRunSettings(const std::filesystem::path& folder) {
    std::ifstream file(KeptRunSettingsPath(folder), std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    constexpr std::streamsize kMostBytes = 4096;  // a few short lines
    std::string text(static_cast<std::size_t>(kMostBytes), '\0');
    file.read(text.data(), kMostBytes);
    text.resize(static_cast<std::size_t>(file.gcount()));
    return ParseKeptRunSettings(text);
}

bool KeepRunSettings(const std::filesystem::path& folder, const RunSettings& settings) {
    try {
        SolutionPageWriter::WriteFile(KeptRunSettingsPath(folder).string(),
                                      KeptRunSettingsText(settings));
        return true;
    } catch (const PageWriteError&) {
        return false;
    }
}

void RunSequence::Stop() {
    stop_.request_stop();
}

}  // namespace taktirio::data
