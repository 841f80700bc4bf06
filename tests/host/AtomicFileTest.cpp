#include "host/classes/AtomicFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <filesystem>
#include <string>

#include "host/classes/Errors.h"
#include "support/FullDisk.h"
#include "support/TempDir.h"

namespace {

using vantora::host::EFCreateError;
using vantora::host::WriteFileAtomically;
using vantora::test::ReadAll;
using vantora::test::TempDir;
namespace fs = std::filesystem;

void Write(const std::string& path, const std::string& content) {
  WriteFileAtomically(path, content.data(), content.size());
}

std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(AtomicFile, ReplacesTheWholeFileKeepingItsModeAndTheLinksToIt) {
  TempDir dir;
  const std::string target = dir.File("look.txt", "an older and longer content");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  Write(target, "new");
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  const std::string link = dir.Name("link.txt");
  fs::create_symlink(target, link);
  Write(link, "through the link");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadAll(target), "through the link");

  Write(dir.Name("fresh.txt"), "");
  EXPECT_TRUE(fs::exists(dir.Name("fresh.txt")));
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"fresh.txt", "link.txt", "look.txt"}));
}

TEST(AtomicFile, AFailedWriteLeavesTheOldFileAsItWasAndNamesThePath) {
  TempDir dir;
  vantora::test::FullDisk disk(dir.Path() / "disk");
  const std::string old(3000, 'o');
  const std::string target = disk.Name("form.txt");
  Write(target, old);
  disk.Fill();
  const std::string bigger(100000, 'n');
  {
    vantora::test::FullDisk::Cap cap(disk);
    EXPECT_THAT(
        [&] { Write(target, bigger); },
        testing::ThrowsMessage<EFCreateError>(testing::StartsWith("Cannot write file \"" + target + "\". ")));
  }
  EXPECT_EQ(ReadAll(target), old);
  for (const std::string& name : Entries(dir.Path() / "disk"))
    EXPECT_EQ(name.find(".tmp"), std::string::npos);
}

TEST(AtomicFile, TargetsThatCannotTakeTheBytesAreErrors) {
  EXPECT_THAT(
      [] { Write("/dev/full", "bytes"); },
      testing::ThrowsMessage<EFCreateError>("Cannot write file \"/dev/full\". No space left on device"));
  TempDir dir;
  EXPECT_THAT([&] { Write(dir.Name("missing/look.txt"), "bytes"); },
              testing::ThrowsMessage<EFCreateError>(testing::HasSubstr("No such file or directory")));
  EXPECT_THAT([&] { Write(dir.Path().string(), "bytes"); },
              testing::ThrowsMessage<EFCreateError>(testing::HasSubstr("Is a directory")));
}

}  // namespace
