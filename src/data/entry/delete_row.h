#pragma once

#include <QString>
#include <QStringList>

#include "data/entry/session.h"
#include "data/entry/windows.h"

namespace taktirio::data {

// The confirmation a window asks before deleting a row of its list, built from
// the row's values as the list query returns them ("\r" is a line break).
QString DeleteQuestion(EntryWindow window, const QStringList& row);

// Deletes the entry a list row shows (after the user said Yes), by the
// identifiers the row carries: every stored row of the entry goes. Returns
// the rows removed.
int DeleteRow(const Session& session, EntryWindow window, const QStringList& row);

}  // namespace taktirio::data
