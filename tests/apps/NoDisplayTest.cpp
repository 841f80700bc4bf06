// The programs on a machine without a display, and the tool given a verb it does not have: each says
// what is wrong and fails, rather than exiting 0 having done nothing.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/ShellRun.h"
#include "support/TempDir.h"

namespace {

// Runs Program with Arguments, the environment changed by Env (arguments to env(1)) and no display;
// one that hangs is stopped (status 124).
using ProgramRun = vantora::test::ShellRun;

ProgramRun WithoutDisplay(const std::string& env, const std::string& program, const std::string& arguments) {
  return vantora::test::Shell(
      "timeout 120 env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u VANTORA_BACKEND " + env + " " +
      program + " " + arguments);
}

const std::string kForm = std::string(VANTORA_SOURCE_DIR) + "/data/forms/demo.txt";
const std::string kLook = std::string(VANTORA_SOURCE_DIR) + "/data/looks/12-gold-badge.txt";

std::string Refusal(const std::string& program, const std::string& headlessOption) {
  return program +
         ": error: No window can be shown: there is no display (DISPLAY and WAYLAND_DISPLAY are not set). "
         "Use " +
         headlessOption + " to run without a display, or VANTORA_BACKEND=headless to run without windows.\n";
}

TEST(NoDisplay, InteractiveVerbsFailNamingTheirHeadlessOption) {
  vantora::test::TempDir dir;
  const std::string control = dir.Name("my.lbl");
  const ProgramRun wizard = WithoutDisplay("", VANTORA_TOOL, "wizard --new label -o " + control);
  EXPECT_EQ(wizard.status, 1);
  EXPECT_EQ(wizard.output, Refusal("vantora", "--screenshots DIR"));
  EXPECT_FALSE(std::filesystem::exists(control));

  const ProgramRun show = WithoutDisplay("", VANTORA_TOOL, "show " + kForm);
  EXPECT_EQ(show.status, 1);
  EXPECT_EQ(show.output, Refusal("vantora", "--screenshot OUT.png"));
  const ProgramRun gradient = WithoutDisplay("", VANTORA_TOOL, "edit-gradient " + kLook);
  EXPECT_EQ(gradient.status, 1);
  EXPECT_EQ(gradient.output, Refusal("vantora", "--screenshot OUT.png"));

  const ProgramRun studio = WithoutDisplay("", VANTORA_STUDIO, kForm);
  EXPECT_EQ(studio.status, 1);
  EXPECT_EQ(studio.output, Refusal("vantora-studio", "--screenshots DIR"));

  // Chosen by name, the headless backend runs the form and ends when nothing is left to do.
  EXPECT_EQ(WithoutDisplay("VANTORA_BACKEND=headless", VANTORA_TOOL, "show " + kForm).status, 0);
  const ProgramRun sdl = WithoutDisplay("VANTORA_BACKEND=sdl", VANTORA_TOOL, "show " + kForm);
  EXPECT_EQ(sdl.status, 1);
  EXPECT_EQ(sdl.output, Refusal("vantora", "--screenshot OUT.png"));
  const ProgramRun misspelt = WithoutDisplay("VANTORA_BACKEND=headles", VANTORA_TOOL, "show " + kForm);
  EXPECT_EQ(misspelt.status, 1);
  EXPECT_EQ(misspelt.output, "vantora: error: VANTORA_BACKEND is \"headles\": use sdl or headless.\n");
  // The headless options need no display.
  const std::string shot = dir.Name("demo.png");
  EXPECT_EQ(WithoutDisplay("", VANTORA_TOOL, "show " + kForm + " --screenshot " + shot).status, 0);
  EXPECT_TRUE(std::filesystem::exists(shot));
}

TEST(NoDisplay, AnUnknownVerbIsAUsageErrorNamingIt) {
  const std::string refusal = "vantora: unknown verb \"frobnicate\"\nRun with --help for usage.\n";
  for (const char* arguments : {"frobnicate", "frobnicate --help", "--shapes /dev/null frobnicate x"}) {
    const ProgramRun run = WithoutDisplay("", VANTORA_TOOL, arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_EQ(run.output, refusal) << arguments;
  }
  const ProgramRun help = WithoutDisplay("", VANTORA_TOOL, "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("wizard"), std::string::npos) << help.output;
  const ProgramRun none = WithoutDisplay("", VANTORA_TOOL, "");
  EXPECT_NE(none.status, 0);
  EXPECT_NE(none.output.find("A subcommand is required"), std::string::npos) << none.output;
}

}  // namespace
