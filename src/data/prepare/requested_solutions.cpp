#include "prepare/requested_solutions.h"

#include "database/database.h"
#include "database/errors.h"
#include "entry/messages.h"

namespace taktirio::data {

void StoreRequestedSolutions(const Session& session, int solutions) {
    if (solutions < kMinSolutionsRequested || solutions > kMaxSolutionsRequested) {
        throw EntryRefusedError(
            QString::fromUtf8(kEntryRefusedMessage) +
                QString::fromUtf8("\rΖητούμενες λύσεις (1 - 254): %1").arg(solutions),
            QStringLiteral("requested solutions %1 outside 1..254").arg(solutions));
    }
    const int updated =
        Run(session.db,
            QStringLiteral(
                "UPDATE SCHOOLS SET NUMBER_OF_SOLUTIONS_REQUESTED = ? WHERE USERNAME = ?"),
            {solutions, session.school})
            .numRowsAffected();
    // A school without its row would otherwise be told the number was kept.
    if (updated != 1) {
        throw DatabaseError(QString::fromUtf8(kDatabaseProblemMessage),
                            QStringLiteral("no SCHOOLS row for %1").arg(session.school));
    }
}

}  // namespace taktirio::data
