#include "console.h"

#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <new>

#include "cli_commands.h"

namespace taktirio::cli {

void Say(FILE* stream, const std::string& message) {
    std::string text = message;
    for (char& ch : text) {
        if (ch == '\r') {
            ch = '\n';
        }
    }
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

void Say(FILE* stream, const QString& message) {
    Say(stream, message.toStdString());
}

void Say(FILE* stream, const char* message) {
    Say(stream, std::string(message));
}

namespace {

constexpr char kOutOfMemoryMessage[] =
    "Η μνήμη του υπολογιστή δεν επαρκεί για αυτή την εργασία.\n"
    "Η εργασία διακόπηκε.\n";

std::terminate_handler g_previous_terminate = nullptr;

[[noreturn]] void Terminate() {
    if (const std::exception_ptr error = std::current_exception()) {
        try {
            std::rethrow_exception(error);
        } catch (const std::bad_alloc&) {
            // Nothing can be cleaned up from here: an open database write
            // leaves its journal, which the next opening rolls back.
            SayOutOfMemory();
            ::_exit(kExitOutOfMemory);
        } catch (...) {
        }
    }
    if (g_previous_terminate != nullptr) {
        g_previous_terminate();
    }
    std::abort();
}

}  // namespace

int SayOutOfMemory() {
    std::fflush(stdout);
    [[maybe_unused]] const ssize_t written =
        ::write(STDERR_FILENO, kOutOfMemoryMessage, sizeof kOutOfMemoryMessage - 1);
    return kExitOutOfMemory;
}

void EndOutOfMemoryQuietly() {
    g_previous_terminate = std::set_terminate(Terminate);
}

}  // namespace taktirio::cli
