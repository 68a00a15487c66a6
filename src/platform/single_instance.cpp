#include "platform/single_instance.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace ravelto::platform {

#ifndef _WIN32

FileInstanceLock::FileInstanceLock(std::filesystem::path file) : file_(std::move(file)) {}

FileInstanceLock::~FileInstanceLock() {
    Release();
}

bool FileInstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    std::error_code ec;
    if (file_.has_parent_path()) std::filesystem::create_directories(file_.parent_path(), ec);
    int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a lock file there is no telling whether another copy runs: the
    // program starts rather than refusing silently for ever.
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        return err != EWOULDBLOCK;
    }
    fd_ = fd;
    return true;
}

void FileInstanceLock::Release() {
    if (fd_ < 0) return;
    // The file stays: removing it could let a third copy lock a new file
    // while a second one still waits on the old.
    ::close(fd_);
    fd_ = -1;
}

#else

namespace {
class MutexInstanceLock : public SingleInstanceLock {
  public:
    explicit MutexInstanceLock(std::string name) : name_(std::move(name)) {}
    ~MutexInstanceLock() override { Release(); }
    bool Acquire() override {
        if (handle_ != nullptr) return true;
        HANDLE existing = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name_.c_str());
        if (existing != nullptr) {
            ::CloseHandle(existing);
            return false;
        }
        handle_ = ::CreateMutexA(nullptr, FALSE, name_.c_str());
        if (handle_ != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS) {
            ::CloseHandle(handle_);
            handle_ = nullptr;
        }
        return handle_ != nullptr;
    }
    void Release() override {
        if (handle_ != nullptr) ::CloseHandle(handle_);
        handle_ = nullptr;
    }
    bool Held() const override { return handle_ != nullptr; }

  private:
    std::string name_;
    HANDLE handle_ = nullptr;
};
}  // namespace

#endif

std::filesystem::path InstanceLockFile(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0')
        return std::filesystem::path(runtime) / (name + ".lock");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config != '\0')
        return std::filesystem::path(config) / "Ravelto" / (name + ".lock");
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".config" / "Ravelto" /
           (name + ".lock");
}

std::unique_ptr<SingleInstanceLock> MakeInstanceLock(const std::string& name) {
#ifdef _WIN32
    return std::make_unique<MutexInstanceLock>(name);
#else
    return std::make_unique<FileInstanceLock>(InstanceLockFile(name));
#endif
}

}  // namespace ravelto::platform
