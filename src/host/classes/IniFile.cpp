#include "host/classes/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string_view>
#include <vector>

#include "host/classes/AtomicFile.h"
#include "host/classes/Convert.h"
#include "host/classes/Errors.h"

// Given by the build; the fallbacks serve a bare compile of the host sources (as the fuzz target's).
#ifndef VANTORA_BUILD_DATA_DIR
#define VANTORA_BUILD_DATA_DIR ""
#endif
#ifndef VANTORA_INSTALL_DATA_DIR
#define VANTORA_INSTALL_DATA_DIR "/usr/local/share/vantora"
#endif

namespace vantora::host {

namespace {

namespace fs = std::filesystem;
constexpr auto npos = std::string::npos;

// The file as lines, each without its '\n'; a '\r' before it stays, so untouched lines are written
// back byte for byte.
struct Document {
  std::vector<std::string> lines;
  bool crlf = false;  // new lines follow the file's own line ends

  std::string Eol() const { return crlf ? "\r" : ""; }
};

enum class LineKind { Other, Section, Key };

struct LineInfo {
  LineKind kind = LineKind::Other;
  std::string_view name;  // the section name or the key
  std::string_view value;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

std::string UpperCase(std::string_view s) {
  std::string result(s);
  for (char& c : result) c = Upper(c);
  return result;
}

LineInfo Classify(std::string_view raw) {
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  const std::string_view text = TrimBlanks(raw);
  LineInfo info;
  if (text.empty() || text.front() == ';' || text.front() == '#') return info;
  if (text.front() == '[') {
    const auto close = text.find(']');
    info.kind = LineKind::Section;
    info.name = TrimBlanks(text.substr(1, close == npos ? npos : close - 1));
    return info;
  }
  const auto eq = text.find('=');
  if (eq == npos) return info;
  info.name = TrimBlanks(text.substr(0, eq));
  if (info.name.empty()) return info;
  info.kind = LineKind::Key;
  info.value = TrimBlanks(text.substr(eq + 1));
  return info;
}

// One pair of matching quotes around a value is not part of it.
std::string DecodeValue(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

std::string EncodeValue(const std::string& v) {
  const bool quoted = v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
  if (!v.empty() && (IsBlank(v.front()) || IsBlank(v.back()) || quoted)) return '"' + v + '"';
  return v;
}

[[noreturn]] void RaiseReadError(const std::string& path, const std::string& reason) {
  throw EInOutError("Cannot read settings file \"" + path + "\". " + reason);
}

Document Load(const std::string& path) {
  Document doc;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return doc;
    RaiseReadError(path, std::strerror(errno));
  }
  std::string content;
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
    close(fd);
    RaiseReadError(path, std::strerror(error));
  }
  char chunk[65536];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      RaiseReadError(path, std::strerror(error));
    }
    content.append(chunk, static_cast<std::size_t>(n));
  }
  close(fd);

  std::size_t start = 0;
  while (start < content.size()) {
    auto end = content.find('\n', start);
    if (end == npos) end = content.size();
    doc.lines.emplace_back(content, start, end - start);
    start = end + 1;
  }
  doc.crlf = !doc.lines.empty() && !doc.lines.front().empty() && doc.lines.front().back() == '\r';
  return doc;
}

void Save(const std::string& path, const Document& doc) {
  const fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) {
    std::error_code ec;
    fs::create_directories(parent, ec);
    if (ec) throw EFCreateError("Cannot create directory \"" + parent.string() + "\". " + ec.message());
  }
  std::string text;
  for (const auto& line : doc.lines) {
    text += line;
    text += '\n';
  }
  WriteFileAtomically(path, text.data(), text.size());
}

// The header line of the first section of that name, or npos.
std::size_t FindSection(const Document& doc, std::string_view section) {
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    const LineInfo info = Classify(doc.lines[i]);
    if (info.kind == LineKind::Section && SameText(info.name, section)) return i;
  }
  return npos;
}

// The line after the last line of the section whose header is at Header.
std::size_t SectionEnd(const Document& doc, std::size_t header) {
  std::size_t i = header + 1;
  while (i < doc.lines.size() && Classify(doc.lines[i]).kind != LineKind::Section) ++i;
  return i;
}

// The first line of that key in the first section of that name, or npos.
std::size_t FindKey(const Document& doc, std::string_view section, std::string_view ident) {
  const std::size_t header = FindSection(doc, section);
  if (header == npos) return npos;
  const std::size_t end = SectionEnd(doc, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const LineInfo info = Classify(doc.lines[i]);
    if (info.kind == LineKind::Key && SameText(info.name, ident)) return i;
  }
  return npos;
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != npos;
}

void RaiseBadName(const std::string& what, const std::string& name, const std::string& path) {
  throw EConvertError("Cannot store " + what + " \"" + name + "\" in settings file \"" + path + "\"");
}

// Puts Key=Value into the first section of that name, adding the section when there is none;
// answers whether the document changed.
bool SetKey(Document& doc, const std::string& sec, const std::string& key, const std::string& value) {
  const std::string encoded = EncodeValue(value) + doc.Eol();
  const std::size_t header = FindSection(doc, sec);
  if (header == npos) {
    if (!doc.lines.empty() && !TrimBlanks(doc.lines.back()).empty() && doc.lines.back() != "\r")
      doc.lines.push_back(doc.Eol());
    doc.lines.push_back("[" + sec + "]" + doc.Eol());
    doc.lines.push_back(key + "=" + encoded);
    return true;
  }
  const std::size_t end = SectionEnd(doc, header);
  std::size_t insert_at = header + 1;
  for (std::size_t i = header + 1; i < end; ++i) {
    const LineInfo info = Classify(doc.lines[i]);
    if (info.kind != LineKind::Key) continue;
    if (SameText(info.name, key)) {
      // The file's own spelling of the key is kept.
      std::string replaced = std::string(info.name) + "=" + encoded;
      if (replaced == doc.lines[i]) return false;
      doc.lines[i] = std::move(replaced);
      return true;
    }
    insert_at = i + 1;
  }
  doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(insert_at), key + "=" + encoded);
  return true;
}

}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& def) const {
  const Document doc = Load(file_name_);
  const std::size_t line = FindKey(doc, TrimBlanks(section), TrimBlanks(ident));
  return line == npos ? def : DecodeValue(Classify(doc.lines[line]).value);
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  WriteStrings(section, {{ident, value}});
}

void TIniFile::WriteStrings(const std::string& section,
                            const std::vector<std::pair<std::string, std::string>>& values) {
  const std::string sec(TrimBlanks(section));
  if (sec.empty() || HasLineBreak(sec) || sec.find(']') != npos) RaiseBadName("section", section, file_name_);
  for (const auto& [ident, value] : values) {
    const std::string_view key = TrimBlanks(ident);
    if (key.empty() || HasLineBreak(key) || key.find('=') != npos || key.front() == '[' ||
        key.front() == ';' || key.front() == '#')
      RaiseBadName("key", ident, file_name_);
    if (HasLineBreak(value)) RaiseBadName("value", value, file_name_);
  }
  Document doc = Load(file_name_);
  bool changed = false;
  for (const auto& [ident, value] : values)
    changed |= SetKey(doc, sec, std::string(TrimBlanks(ident)), value);
  if (changed) Save(file_name_, doc);
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                   std::int32_t def) const {
  return StrToIntDef(ReadString(section, ident, std::string()), def);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, std::int32_t value) {
  WriteString(section, ident, std::to_string(value));
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) const {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void TIniFile::ReadSection(const std::string& section, TStringList& strings) const {
  strings.Clear();
  const Document doc = Load(file_name_);
  const std::size_t header = FindSection(doc, TrimBlanks(section));
  if (header == npos) return;
  const std::size_t end = SectionEnd(doc, header);
  std::set<std::string> seen;
  for (std::size_t i = header + 1; i < end; ++i) {
    const LineInfo info = Classify(doc.lines[i]);
    if (info.kind == LineKind::Key && seen.insert(UpperCase(info.name)).second)
      strings.Add(std::string(info.name));
  }
}

void TIniFile::ReadSections(TStringList& strings) const {
  strings.Clear();
  const Document doc = Load(file_name_);
  std::set<std::string> seen;
  for (const auto& line : doc.lines) {
    const LineInfo info = Classify(line);
    if (info.kind == LineKind::Section && seen.insert(UpperCase(info.name)).second)
      strings.Add(std::string(info.name));
  }
}

bool TIniFile::SectionExists(const std::string& section) const {
  return FindSection(Load(file_name_), TrimBlanks(section)) != npos;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
  return FindKey(Load(file_name_), TrimBlanks(section), TrimBlanks(ident)) != npos;
}

void TIniFile::EraseSection(const std::string& section) {
  Document doc = Load(file_name_);
  const std::string_view sec = TrimBlanks(section);
  bool changed = false;
  std::size_t i = 0;
  while (i < doc.lines.size()) {
    const LineInfo info = Classify(doc.lines[i]);
    if (info.kind == LineKind::Section && SameText(info.name, sec)) {
      const std::size_t end = SectionEnd(doc, i);
      doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(i),
                      doc.lines.begin() + static_cast<std::ptrdiff_t>(end));
      changed = true;
    } else {
      ++i;
    }
  }
  if (changed) Save(file_name_, doc);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  Document doc = Load(file_name_);
  const std::string_view sec = TrimBlanks(section);
  const std::string_view key = TrimBlanks(ident);
  bool inside = false;
  bool changed = false;
  std::size_t i = 0;
  while (i < doc.lines.size()) {
    const LineInfo info = Classify(doc.lines[i]);
    if (info.kind == LineKind::Section) inside = SameText(info.name, sec);
    if (inside && info.kind == LineKind::Key && SameText(info.name, key)) {
      doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(i));
      changed = true;
    } else {
      ++i;
    }
  }
  if (changed) Save(file_name_, doc);
}

void TIniFile::UpdateFile() {
  const int fd = open(file_name_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return;  // nothing was ever written
    RaiseReadError(file_name_, std::strerror(errno));
  }
  const int result = fsync(fd);
  const int error = errno;
  close(fd);
  if (result != 0)
    throw EInOutError("Cannot flush settings file \"" + file_name_ + "\". " + std::strerror(error));
}

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::string VantoraDataDir() {
  if (std::string dir = Env("VANTORA_DATA_DIR"); !dir.empty()) return dir;
  const std::string build = VANTORA_BUILD_DATA_DIR;
  std::error_code ec;
  if (!build.empty() && fs::is_directory(build, ec)) return build;
  return VANTORA_INSTALL_DATA_DIR;
}

std::string UserFulgoIniPath() {
  if (std::string ini = Env("VANTORA_INI"); !ini.empty()) return ini;
  // A relative configuration directory is not valid and counts as unset.
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') {
    const std::string home = Env("HOME");
    config = home.empty() ? std::string() : home + "/.config";
  }
  return config.empty() ? std::string() : config + "/vantora/fulgo.ini";
}

std::string FulgoIniPath() {
  if (std::string ini = Env("VANTORA_INI"); !ini.empty()) return ini;
  if (std::string user = UserFulgoIniPath(); !user.empty()) {
    std::error_code ec;
    if (fs::is_regular_file(user, ec)) return user;
  }
  return VantoraDataDir() + "/fulgo.ini";
}

}  // namespace vantora::host
