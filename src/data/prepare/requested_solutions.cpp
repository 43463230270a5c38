#include "data/prepare/requested_solutions.h"

#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/entry/messages.h"

namespace taktirio::data {

void StoreRequestedSolutions(const Session& session, int solutions) {
    if (solutions < kMinSolutionsRequested || solutions > kMaxSolutionsRequested) {
        throw EntryRefusedError(
            QString::fromUtf8(kEntryRefusedMessage) +
                QString::fromUtf8("\rΖητούμενες λύσεις (1 - 254): %1").arg(solutions),
            QStringLiteral("requested solutions %1 outside 1..254").arg(solutions));
    }
    // The number a school asks for again is not written again: a write of
    // the entry database costs a journal and two syncs.
    const int updated = Run(session.db,
                            QStringLiteral("UPDATE SCHOOLS SET NUMBER_OF_SOLUTIONS_REQUESTED = ? "
                                           "WHERE USERNAME = ? AND "
                                           "NUMBER_OF_SOLUTIONS_REQUESTED IS NOT ?"),
                            {solutions, session.school, solutions})
                            .numRowsAffected();
    // A school without its row would otherwise be told the number was kept.
    if (updated != 1 &&
        ScalarInt(session.db, QStringLiteral("SELECT COUNT(*) FROM SCHOOLS WHERE USERNAME = ?"),
                  {session.school}) != 1) {
        throw DatabaseError(QString::fromUtf8(kDatabaseProblemMessage),
                            QStringLiteral("no SCHOOLS row for %1").arg(session.school));
    }
}

int StoredRequestedSolutions(const Session& session) {
    const std::optional<QVariant> stored =
        FirstValue(session.db,
                   QStringLiteral("SELECT NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS "
                                  "WHERE USERNAME = ?"),
                   {session.school});
    if (!stored) {
        throw DatabaseError(QString::fromUtf8(kDatabaseProblemMessage),
                            QStringLiteral("no SCHOOLS row for %1").arg(session.school));
    }
    return stored->toInt();
}

}  // namespace taktirio::data
