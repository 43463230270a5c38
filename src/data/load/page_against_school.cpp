#include "data/load/page_against_school.h"

#include "data/database/database.h"
#include "data/load/school_reading.h"

namespace taktirio::data {

SchoolPage ReadPageAgainstSchool(const Session& entry, const std::string& path,
                                 const RunOptions& options) {
    SchoolPage read;
    read.page.emplace(ReadWholePage(path));
    read.problem = LoadSchoolForReading(entry);
    read.verdict = JudgePage(*read.page, read.problem.page_info.school_name, read.problem.inputs,
                             options, read.problem.rules);
    return read;
}

SchoolPage ReadPageAgainstSchool(const ProgramPaths& paths, const QString& school,
                                 const std::string& path, const RunOptions& options) {
    const Database database = Database::OpenForReading(paths.entry_database);
    return ReadPageAgainstSchool(Session{database.connection(), school}, path, options);
}

}  // namespace taktirio::data
