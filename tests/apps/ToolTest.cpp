#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "support/TempDir.h"

namespace {

struct ToolRun {
  int status;
  std::string output;  // standard output and error together
};

ToolRun Tool(const std::string& arguments) {
  const std::string command = std::string(VANTORA_TOOL) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  std::array<char, 4096> buffer{};
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) output.append(buffer.data(), n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Tool, ConvertsBetweenTheFormsAndBack) {
  vantora::test::TempDir dir;
  const std::string sample = std::string(VANTORA_SOURCE_DIR) + "/data/samples/button-states.txt";
  const std::string binary = dir.Path().string() + "/sample.vnt";
  ASSERT_EQ(Tool("convert " + sample + " -o " + binary).status, 0);
  EXPECT_EQ(ReadFile(binary).substr(0, 4), "VNT0");
  const ToolRun dump = Tool("dump " + binary);
  EXPECT_EQ(dump.status, 0);
  EXPECT_EQ(dump.output, ReadFile(sample));
}

TEST(Tool, BadInputFailsWithTheReadersMessage) {
  vantora::test::TempDir dir;
  const std::string bad = dir.Path().string() + "/bad.txt";
  std::ofstream(bad) << "object A: TThing\n  Width = \n";
  const ToolRun run = Tool("dump " + bad);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "vantora: error: Expected a value on line 3\n");

  const std::string truncated = dir.Path().string() + "/short.vnt";
  std::ofstream(truncated, std::ios::binary) << std::string("VNT0\x07TThing", 11);
  const ToolRun shortRun = Tool("dump " + truncated);
  EXPECT_EQ(shortRun.status, 1);
  EXPECT_NE(shortRun.output.find("Unexpected end of stream"), std::string::npos) << shortRun.output;

  EXPECT_EQ(Tool("convert " + bad + " --to binary").status, 2);  // binary output needs -o
  EXPECT_NE(Tool("convert").status, 0);
}

}  // namespace
