#include "PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace killtest {

namespace {

// Written in small pieces, so that a kill can land in the middle of a file as it can on a
// real disk. No fsync: a killed process loses nothing the kernel already has, and a power
// cut is not what this test plays.
constexpr std::size_t kPiece = 4096;

class PosixOutFile : public platform::OutFile {
  public:
    explicit PosixOutFile(int fd) : fd_(fd) {}
    ~PosixOutFile() override { Close(); }
    bool Write(std::string_view bytes) override {
        for (std::size_t at = 0; at < bytes.size();) {
            const ssize_t n = ::write(fd_, bytes.data() + at, std::min(kPiece, bytes.size() - at));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            at += static_cast<std::size_t>(n);
        }
        return true;
    }
    bool Flush() override { return fd_ >= 0; }
    bool Close() override {
        if (fd_ < 0) {
            return true;
        }
        const bool ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

  private:
    int fd_;
};

}  // namespace

void PosixFilePlatform::Done(const char* op, const std::string& path) {
    if (afterOp) {
        afterOp(op, path);
    }
}

bool PosixFilePlatform::FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixFilePlatform::DeleteFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
        return false;
    }
    Done("delete", path);
    return true;
}

bool PosixFilePlatform::RenameFile(const std::string& from, const std::string& to, bool replace) {
    if (!replace && FileExists(to)) {
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    Done("rename", from);
    return true;
}

std::optional<std::string> PosixFilePlatform::ReadFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

std::unique_ptr<platform::OutFile> PosixFilePlatform::CreateFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        return nullptr;
    }
    Done("create", path);
    return std::make_unique<PosixOutFile>(fd);
}

}  // namespace killtest
