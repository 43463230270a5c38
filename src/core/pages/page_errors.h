#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>

namespace taktirio {

// A solution page could not be created or written. The run reports it and ends.
class PageWriteError : public std::runtime_error {
  public:
    PageWriteError(const std::string& path, const std::string& reason)
        : std::runtime_error("cannot write the solution page " + path + ": " + reason),
          path_(path),
          reason_(reason) {}
    const std::string& path() const { return path_; }
    // Why, in Greek (the system's cause in the program's words).
    const std::string& reason() const { return reason_; }

  private:
    std::string path_;
    std::string reason_;
};

// A solution page could not be read back: it cannot be opened, it is not a
// solution page, it ends too early, a line does not have the form its position
// calls for, or it holds more than a reader can count. `line` is 1-based; a page
// that ends too early names the line after its last one; 0 is the file itself.
// `what()` carries the technical reason; `explanation()` says it for the user.
class PageReadError : public std::runtime_error {
  public:
    PageReadError(const std::string& path, std::size_t line, const std::string& reason,
                  std::string explanation = {})
        : std::runtime_error(path + ", line " + std::to_string(line) + ": " + reason),
          path_(path),
          line_(line),
          explanation_(std::move(explanation)) {}
    const std::string& path() const { return path_; }
    std::size_t line() const { return line_; }
    // What went wrong, in Greek, without the file and the line: a reader's
    // own words, or what a line that does not fit its place means.
    std::string explanation() const;

  private:
    std::string path_;
    std::size_t line_;
    std::string explanation_;
};

// "Γραμμή 12: <explanation>", or "Αιτία: <explanation>" for the file itself:
// the line under a message that names the page.
std::string PageReadErrorText(const PageReadError& error);

}  // namespace taktirio
