#include "host/classes/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/classes/Errors.h"

namespace vantora::host {

namespace {

[[noreturn]] void RaiseCreateError(const std::string& path, int error) {
  throw EFCreateError("Cannot create file \"" + path + "\". " + std::strerror(error));
}

[[noreturn]] void RaiseWriteError(const std::string& path, int error) {
  throw EFCreateError("Cannot write file \"" + path + "\". " + std::strerror(error));
}

// Closes a descriptor once, answering the close's own error (where a delayed write failure shows).
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// Answers 0 or the errno of the write that failed; short writes and interruptions go on.
int WriteAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

void WriteInPlace(const std::string& path, const void* data, std::size_t size) {
  Descriptor file(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (file.Get() < 0) RaiseCreateError(path, errno);
  if (const int error = WriteAll(file.Get(), data, size)) RaiseWriteError(path, error);
  if (const int error = file.Close()) RaiseWriteError(path, error);
}

// The file a link points at, so that the link itself survives the rename.
std::string ResolvedTarget(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A new file beside Target that no one else is writing, created with the usual permission bits.
int CreateTemporary(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = target.rfind('/');
  const std::string prefix = slash == std::string::npos
                                 ? "." + target
                                 : target.substr(0, slash + 1) + "." + target.substr(slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = prefix + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The rename is only durable once the directory entry is; file systems that cannot sync a
// directory say EINVAL, and there is nothing more to do on them.
void SyncDirectory(const std::string& path) {
  Descriptor directory(::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.Get() < 0) return;
  if (::fsync(directory.Get()) != 0 && errno != EINVAL && errno != EROFS) RaiseWriteError(path, errno);
}

}  // namespace

void WriteFileAtomically(const std::string& path, const void* data, std::size_t size) {
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) RaiseCreateError(path, EISDIR);
  if (exists && !S_ISREG(existing.st_mode)) return WriteInPlace(path, data, size);

  const std::string target = exists ? ResolvedTarget(path) : path;
  std::string temporary;
  Descriptor file(CreateTemporary(target, temporary));
  if (file.Get() < 0) RaiseCreateError(path, errno);
  int error = 0;
  if (exists && ::fchmod(file.Get(), existing.st_mode & 07777) != 0) error = errno;
  if (!error) error = WriteAll(file.Get(), data, size);
  if (!error && ::fsync(file.Get()) != 0) error = errno;
  if (const int closeError = file.Close(); !error) error = closeError;
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error) {
    ::unlink(temporary.c_str());
    RaiseWriteError(path, error);
  }
  SyncDirectory(target);
}

}  // namespace vantora::host
