#include "data/load/school_reading.h"

#include "data/database/database.h"
#include "data/prepare/working_copy.h"

namespace taktirio::data {

LoadedProblem LoadSchoolForReading(const Session& entry) {
    const Database scratch = Database::OpenInMemory();
    PrepareWorkingCopy(entry, scratch.connection());
    return LoadProblem(scratch.connection(), entry.school);
}

}  // namespace taktirio::data
