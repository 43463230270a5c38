#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace taktirio {

// A solution page could not be created or written. The run reports it and ends.
class PageWriteError : public std::runtime_error {
  public:
    PageWriteError(const std::string& path, const std::string& reason)
        : std::runtime_error("cannot write the solution page " + path + ": " + reason),
          path_(path) {}
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// A solution page could not be read back: it cannot be opened, it is not a
// solution page, it ends too early, a line does not have the form its position
// calls for, or it holds more than a reader can count. `line` is 1-based; a page
// that ends too early names the line after its last one.
class PageReadError : public std::runtime_error {
  public:
    PageReadError(const std::string& path, std::size_t line, const std::string& reason)
        : std::runtime_error(path + ", line " + std::to_string(line) + ": " + reason),
          path_(path),
          line_(line) {}
    const std::string& path() const { return path_; }
    std::size_t line() const { return line_; }

  private:
    std::string path_;
    std::size_t line_;
};

}  // namespace taktirio
