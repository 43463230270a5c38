#include "console.h"

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

}  // namespace taktirio::cli
