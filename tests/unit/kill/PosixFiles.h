// The fake desktop with real files: the platform's file operations over POSIX, for a test
// that kills a saving process and looks at what the file system kept.
#pragma once

#include <functional>
#include <string>

#include "platform/fake/FakePlatform.h"

namespace killtest {

class PosixFilePlatform : public platform::FakePlatform {
  public:
    // Runs after every file operation that succeeded ("rename", ...), with its first path.
    std::function<void(const std::string& op, const std::string& path)> afterOp;

    bool FileExists(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to, bool replace) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    std::unique_ptr<platform::OutFile> CreateFile(const std::string& path) override;

  private:
    void Done(const char* op, const std::string& path);
};

}  // namespace killtest
