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

}  // namespace taktirio::cli
