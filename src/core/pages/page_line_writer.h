#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace taktirio {

// Builds a solution page in memory, one line at a time. Every piece is already
// windows-1253 text; each line is ended by CR LF, the last one included.
class PageLineWriter {
  public:
    void Line(std::initializer_list<std::string_view> pieces) {
        for (const std::string_view piece : pieces) {
            bytes_.append(piece);
        }
        bytes_.append("\r\n");
    }
    void Line(std::string_view text) { Line({text}); }

    void Reserve(std::size_t bytes) { bytes_.reserve(bytes); }
    const std::string& bytes() const { return bytes_; }
    std::string Take() { return std::move(bytes_); }

  private:
    std::string bytes_;
};

}  // namespace taktirio
