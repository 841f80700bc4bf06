// vantora-studio run from a script: a form opened without a window and written back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/FullDisk.h"
#include "support/ShellRun.h"
#include "support/TempDir.h"

namespace {

using vantora::test::Shell;

const std::string kDemo = std::string(VANTORA_SOURCE_DIR) + "/data/forms/demo.txt";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Without a display, as scripts run it.
vantora::test::ShellRun Studio(const std::string& arguments) {
  return Shell("env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(VANTORA_STUDIO) + " " + arguments);
}

TEST(StudioProgram, SaveAsWritesTheFormAsConvertsTextForm) {
  vantora::test::TempDir dir;
  const std::string binary = dir.Name("demo.vnt"), saved = dir.Name("demo.txt");
  ASSERT_EQ(Shell(std::string(VANTORA_TOOL) + " convert " + kDemo + " -o " + binary).status, 0);
  const auto run = Studio(binary + " --save-as " + saved);
  ASSERT_EQ(run.status, 0) << run.output;
  const std::string text = ReadFile(saved);
  EXPECT_EQ(text.rfind("object DemoForm: TForm\n", 0), 0u) << text;
  EXPECT_NE(text.find("object SharedPalette: tFulgoPalette"), std::string::npos);
  EXPECT_EQ(text, Shell(std::string(VANTORA_TOOL) + " convert " + binary + " --to text").output);
  // The text form read and written again is the file it came from.
  ASSERT_EQ(Studio(kDemo + " --save-as " + saved).status, 0);
  EXPECT_EQ(ReadFile(saved), ReadFile(kDemo));
}

TEST(StudioProgram, AFailedSaveAsLeavesTheOldFileAndFailsSayingWhy) {
  vantora::test::TempDir dir;
  vantora::test::FullDisk disk(dir.Path() / "disk");
  const std::string target = disk.Name("form.txt");
  std::ofstream(target) << "old";
  disk.Fill();
  const auto run = Shell(disk.Command("env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(VANTORA_STUDIO) +
                                      " " + kDemo + " --save-as " + target));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("vantora-studio: error: Cannot write file \"" + target + "\""), std::string::npos)
      << run.output;
  EXPECT_EQ(ReadFile(target), "old");

  const auto missing = Studio(dir.Name("absent.txt") + " --save-as " + dir.Name("out.txt"));
  EXPECT_NE(missing.status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.Name("out.txt")));
}

}  // namespace
