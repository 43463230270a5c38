#pragma once

#include <QString>

namespace taktirio::data {

// The file a write to `path` lands in: a symbolic link followed to its end
// (as a save through QSaveFile does), the folders resolved, so that two
// spellings of one file compare equal. The path as given, made absolute,
// when its folder does not exist.
QString FileWrittenAt(const QString& path);

// True when `path` is one of the program directory's own files, which no
// output of the program may replace: the databases (DATA2.sqlite,
// DATA.sqlite, REPORT.sqlite) and their journals, the lock file, and the
// solution pages SOLUTIONS/<user>/SOLUTION<n>.htm with their temporary files
// and the previous pages a run keeps aside (.SOLUTION<n>.htm.previous).
// Links and other spellings are followed to the file a write would replace.
bool IsProgramFile(const QString& directory, const QString& path);

// True when a write to `path` lands anywhere inside the program directory,
// its solutions folder included, where a writer takes the program's lock.
bool IsInProgramDirectory(const QString& directory, const QString& path);

// True when the file a write to `path` lands in exists and is not a regular
// file: a folder, a device, a pipe or a socket, which an output saved by
// renaming a new file over it would destroy.
bool IsSpecialFile(const QString& path);

}  // namespace taktirio::data
