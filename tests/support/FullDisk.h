// Makes writes into a directory fail as on a full disk. Where the test may mount (as root in CI) the
// directory becomes a tiny file system that Fill() fills up; elsewhere a file-size limit of zero
// bytes, for this process within a Cap and for commands given to Command, stands in for it.
#pragma once

#include <sys/mount.h>
#include <sys/resource.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vantora::test {

class FullDisk {
 public:
  explicit FullDisk(std::filesystem::path dir) : dir_(std::move(dir)) {
    std::filesystem::create_directories(dir_);
    mounted_ = ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~FullDisk() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

  std::string Name(const std::string& name) const { return (dir_ / name).string(); }

  // Takes every free byte, so that files written before stay and nothing new fits.
  void Fill() const {
    if (!mounted_) return;
    std::ofstream filler(dir_ / ".filler", std::ios::binary);
    const std::vector<char> block(512, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) filler.flush();
  }

  // The shell command that runs Command against the full disk.
  std::string Command(const std::string& command) const {
    return mounted_ ? command : "trap '' XFSZ; ulimit -f 0; " + command;
  }

  // Within its lifetime this process's writes fail as they would on the full disk.
  class Cap {
   public:
    explicit Cap(const FullDisk& disk) : active_(!disk.mounted_) {
      if (!active_) return;
      ::getrlimit(RLIMIT_FSIZE, &saved_);
      previous_ = std::signal(SIGXFSZ, SIG_IGN);
      const rlimit none{0, saved_.rlim_max};
      ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~Cap() {
      if (!active_) return;
      ::setrlimit(RLIMIT_FSIZE, &saved_);
      std::signal(SIGXFSZ, previous_);
    }
    Cap(const Cap&) = delete;
    Cap& operator=(const Cap&) = delete;

   private:
    bool active_;
    rlimit saved_{};
    void (*previous_)(int) = SIG_DFL;
  };

 private:
  std::filesystem::path dir_;
  bool mounted_ = false;
};

}  // namespace vantora::test
