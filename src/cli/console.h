#pragma once

#include <QString>
#include <cstdio>
#include <string>

namespace taktirio::cli {

// Writes one message and a line end. The program's messages use "\r" as their
// line break, as the windows show them; a terminal wants "\n". Flushed, so
// that messages on standard error and lines on standard output keep their
// order on a terminal.
void Say(FILE* stream, const QString& message);
void Say(FILE* stream, const std::string& message);
void Say(FILE* stream, const char* message);

// The message of a command stopped because the memory ran out, written
// without taking any memory, and its exit code (7).
int SayOutOfMemory();

// Makes a std::bad_alloc that ends the program from where no handler can
// catch it (a destructor, a function that may not throw, Qt's own code) say
// SayOutOfMemory and exit with its code, instead of aborting. Anything else
// still aborts as before.
void EndOutOfMemoryQuietly();

}  // namespace taktirio::cli
