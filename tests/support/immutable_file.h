#pragma once

// Test helper: a file the system refuses to rename or delete, as
// `chattr +i` makes one. Setting the flag takes the right to change it
// (root, or CAP_LINUX_IMMUTABLE) and a file system that keeps it; a test
// skips where neither is at hand.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

namespace taktirio::testing {

class ImmutableFile {
  public:
    explicit ImmutableFile(std::filesystem::path path) : path_(std::move(path)) {
        held_ = Set(true);
    }
    ~ImmutableFile() {
        if (held_) {
            Set(false);
        }
    }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;

    // False when the flag could not be set: the file is an ordinary one.
    bool held() const { return held_; }

  private:
    bool Set(bool on) const {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    std::filesystem::path path_;
    bool held_ = false;
};

}  // namespace taktirio::testing
