// Runs a shell command as a person would type it, answering its exit status and what it printed.
#pragma once

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <string>

namespace vantora::test {

struct ShellRun {
  int status;          // -1 when the command did not exit by itself
  std::string output;  // standard output and error together
};

inline ShellRun Shell(const std::string& command) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  std::string output;
  std::array<char, 4096> buffer{};
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
    output.append(buffer.data(), n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

}  // namespace vantora::test
