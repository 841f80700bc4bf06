// The settings-file service: an INI file of "[Section]" headers and "Key=Value" lines.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Lists.h"

VANTORA_API_BEGIN
namespace vantora::host {

// Every call reads the file afresh and every write replaces the file whole (never leaving it half
// written) before it returns, so several
// objects (or programs) on one file always agree. Sections and keys are found ignoring letter case;
// when a section or key appears twice, the first one counts. Writes keep every other line of the
// file, comments (';' or '#') included. A missing file reads as empty; a file that exists but cannot
// be read raises EInOutError, and one that cannot be written raises EFCreateError.
class TIniFile {
 public:
  explicit TIniFile(std::string fileName) : file_name_(std::move(fileName)) {}
  const std::string& FileName() const { return file_name_; }

  std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) const;
  // Values with blanks at either end, or already quoted, are written in double quotes so that they
  // read back unchanged. Names that cannot be stored (empty, a line break, ']' in a section name,
  // '=' in a key, a key starting like a comment or header) raise EConvertError.
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  // Several keys of one section in one write of the file: all of them are stored, or none.
  void WriteStrings(const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& values);
  // Decimal, or hexadecimal after "$" or "0x"; anything else gives the default.
  std::int32_t ReadInteger(const std::string& section, const std::string& ident, std::int32_t def) const;
  void WriteInteger(const std::string& section, const std::string& ident, std::int32_t value);
  // Any integer other than 0 is true; a value that is not an integer gives the default.
  bool ReadBool(const std::string& section, const std::string& ident, bool def) const;
  void WriteBool(const std::string& section, const std::string& ident, bool value);

  // The keys of a section, in file order; Strings is cleared first.
  void ReadSection(const std::string& section, TStringList& strings) const;
  // The section names, in file order; Strings is cleared first.
  void ReadSections(TStringList& strings) const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& ident) const;
  // Removes every copy of the section, with its keys and comments.
  void EraseSection(const std::string& section);
  // Removes every line of that key in every copy of the section.
  void DeleteKey(const std::string& section, const std::string& ident);
  // Writes are already in the file; this asks the system to put the file on its storage.
  void UpdateFile();

 private:
  std::string file_name_;
};

// The data directory: $VANTORA_DATA_DIR, else the build tree's data when it exists, else the
// installed data directory.
std::string VantoraDataDir();
// The settings file "fulgo.ini": $VANTORA_INI, else the user's file in the configuration directory
// when it exists, else the default settings file in the data directory.
std::string FulgoIniPath();
// The user's own settings file, whether it exists or not: $VANTORA_INI, else fulgo.ini in the
// configuration directory; empty when there is no home to put it in.
std::string UserFulgoIniPath();

}  // namespace vantora::host
VANTORA_API_END
