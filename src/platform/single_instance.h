#pragma once

// One running copy per user: the named lock "EX_Ravelto". Elsewhere than
// Windows it is a lock file in the user's runtime folder (or configuration
// folder) held with flock: the system drops the lock with the process, so a
// copy that crashed never blocks the next start. On Windows it is the named
// mutex. Replaceable in tests.

#include <filesystem>
#include <memory>
#include <string>

namespace ravelto::platform {

class SingleInstanceLock {
  public:
    virtual ~SingleInstanceLock() = default;
    // True when this copy now holds the lock; false when another copy does.
    virtual bool Acquire() = 0;
    virtual void Release() = 0;
    virtual bool Held() const = 0;
};

// A lock file held with flock(LOCK_EX | LOCK_NB). Each object opens the file
// on its own, so two objects in one process exclude each other too.
class FileInstanceLock : public SingleInstanceLock {
  public:
    explicit FileInstanceLock(std::filesystem::path file);
    ~FileInstanceLock() override;
    FileInstanceLock(const FileInstanceLock&) = delete;
    FileInstanceLock& operator=(const FileInstanceLock&) = delete;

    bool Acquire() override;
    void Release() override;
    bool Held() const override { return fd_ >= 0; }
    const std::filesystem::path& File() const { return file_; }

  private:
    std::filesystem::path file_;
    int fd_ = -1;
};

// The lock file of `name` for this user: $XDG_RUNTIME_DIR/<name>.lock, else
// under the user's configuration folder.
std::filesystem::path InstanceLockFile(const std::string& name);

// The program's lock: the named mutex on Windows, the lock file elsewhere.
std::unique_ptr<SingleInstanceLock> MakeInstanceLock(const std::string& name = "EX_Ravelto");

}  // namespace ravelto::platform
