#pragma once

#include <QString>
#include <optional>
#include <string>

#include "core/verify/page_verdict.h"
#include "data/entry/session.h"
#include "data/load/problem_loader.h"
#include "data/shell/startup.h"

namespace taktirio::data {

// A solution page read whole, the logged-in school loaded as a run loads it,
// and the page judged against the school as `verify` judges it. What any
// command or window that takes a page back starts from.
struct SchoolPage {
    std::optional<WholePage> page;
    LoadedProblem problem;
    PageVerdict verdict;
};

// Throws PageReadError (line 0: the file itself cannot be read), what
// LoadSchoolForReading throws (PreparationError, ProblemLoadError,
// DatabaseError), and std::invalid_argument for rule tables the verifier
// cannot read.
SchoolPage ReadPageAgainstSchool(const Session& entry, const std::string& path,
                                 const RunOptions& options);

// The same from the program directory, on a connection of the caller's
// thread: the entry database opened read-only, the school as given.
SchoolPage ReadPageAgainstSchool(const ProgramPaths& paths, const QString& school,
                                 const std::string& path, const RunOptions& options);

}  // namespace taktirio::data
