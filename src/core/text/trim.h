#pragma once

#include <string_view>

namespace taktirio {

// The text without leading and trailing blanks and control characters (every
// byte up to 0x20), as names read from pages and parts of pair names are
// compared.
inline std::string_view TrimBlanksAndControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace taktirio
