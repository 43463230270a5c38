#include "load/school_reading.h"

#include "database/database.h"
#include "prepare/working_copy.h"

namespace taktirio::data {

LoadedProblem LoadSchoolForReading(const Session& entry) {
    const Database scratch = Database::OpenInMemory();
    PrepareWorkingCopy(entry, scratch.connection());
    return LoadProblem(scratch.connection(), entry.school);
}

}  // namespace taktirio::data
