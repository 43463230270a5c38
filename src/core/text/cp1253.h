#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace taktirio {

// Raised when text cannot be converted without loss: a character that
// windows-1253 cannot hold, a byte it leaves undefined, or malformed UTF-8.
class EncodingError : public std::runtime_error {
  public:
    EncodingError(const std::string& what, std::size_t offset)
        : std::runtime_error(what), offset_(offset) {}
    // Byte offset of the first offending input byte.
    std::size_t offset() const { return offset_; }

  private:
    std::size_t offset_;
};

// Strict conversion between UTF-8 (the program's text) and windows-1253 (the
// solution pages). Never substitutes a character: what cannot be converted is
// an EncodingError. Each call converts one whole string; thread-safe.
std::string Utf8ToCp1253(std::string_view utf8);
std::string Cp1253ToUtf8(std::string_view bytes);

// True when every character of the UTF-8 text has a windows-1253 byte of its
// own, so that the text reads back from a page exactly as it was.
bool FitsCp1253(std::string_view utf8);

}  // namespace taktirio
