// Feeds arbitrary bytes to the settings-file reader as a file, reads every section and key, and
// checks that a write into the first section reads back and leaves the other sections in place.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/classes/IniFile.h"
#include "host/classes/Lists.h"

namespace {

const std::string& TempPath() {
  static const std::string path = "/tmp/vantora_fuzz_inifile_" + std::to_string(getpid()) + ".ini";
  return path;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vantora::host::TIniFile;
  using vantora::host::TStringList;

  const std::string& path = TempPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  if (size != 0) std::fwrite(data, 1, size, file);
  std::fclose(file);

  TIniFile ini(path);
  TStringList sections;
  ini.ReadSections(sections);
  for (const auto& section : sections) {
    Check(ini.SectionExists(section));
    TStringList keys;
    ini.ReadSection(section, keys);
    for (const auto& key : keys) {
      Check(ini.ValueExists(section, key));
      ini.ReadString(section, key, "");
      ini.ReadInteger(section, key, 0);
      ini.ReadBool(section, key, false);
    }
  }

  if (sections.Count() > 0) {
    const std::string first = sections[0];
    try {
      ini.WriteString(first, "FuzzKey", " written value ");
      Check(ini.ReadString(first, "FuzzKey", "") == " written value ");
      TStringList after;
      ini.ReadSections(after);
      Check(after.Count() == sections.Count());
      ini.DeleteKey(first, "FuzzKey");
      Check(!ini.ValueExists(first, "FuzzKey"));
    } catch (const vantora::host::EConvertError&) {
      // A section name from the input that cannot be written back (an empty one, say) is refused.
    }
  }
  std::remove(path.c_str());
  return 0;
}
