#pragma once

#include <string>
#include <system_error>

namespace taktirio {

// What the system said went wrong with a file, a folder or a thread, in the
// program's language: "ο δίσκος είναι γεμάτος" for ENOSPC, and so on. An
// error the program has no words for is named by its number, never in the
// system's English.
std::string SystemErrorText(int error_number);
std::string SystemErrorText(const std::error_code& error);

}  // namespace taktirio
