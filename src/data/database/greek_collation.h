#pragma once

#include <QString>

struct sqlite3;

namespace taktirio::data {

// Order of names as a Greek reader expects it: accents and case are ignored
// first (Ά sorts with Α, ς with Σ), then they break ties, then the raw text.
int GreekCompare(const QString& a, const QString& b);

// Registers GREEK on a SQLite handle, for ORDER BY … COLLATE GREEK.
bool RegisterGreekCollation(sqlite3* handle);

}  // namespace taktirio::data
