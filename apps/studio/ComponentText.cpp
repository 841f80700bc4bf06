#include "ComponentText.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "host/classes/Filer.h"
#include "host/classes/Stream.h"
#include "host/classes/TextForm.h"

namespace vantora::studio {

namespace {

struct Line {
  std::size_t indent;
  std::string text;  // without the indent
};

std::vector<Line> LinesOf(const std::string& text) {
  std::vector<Line> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const std::size_t indent = line.find_first_not_of(' ');
    lines.push_back(indent == std::string::npos ? Line{line.size(), ""} : Line{indent, line.substr(indent)});
  }
  return lines;
}

bool IsHeader(const Line& line) {
  return line.text.starts_with("object ");
}

// "object Name: TClass" -> Name; a nameless component has none.
std::string NameInHeader(const Line& line) {
  const std::string rest = line.text.substr(7);
  const std::size_t colon = rest.find(':');
  return colon == std::string::npos ? std::string() : rest.substr(0, colon);
}

// Where the component whose header is at Begin ends: its "end" at the header's indent.
std::size_t EndOf(const std::vector<Line>& lines, std::size_t begin) {
  for (std::size_t i = begin + 1; i < lines.size(); ++i)
    if (lines[i].indent == lines[begin].indent && lines[i].text == "end") return i;
  throw host::EParserError("A component without its end: " + lines[begin].text);
}

std::string Joined(const std::vector<Line>& lines, std::size_t begin, std::size_t end, std::size_t outdent) {
  std::string text;
  for (std::size_t i = begin; i <= end; ++i)
    text += std::string(lines[i].indent - std::min(outdent, lines[i].indent), ' ') + lines[i].text + "\n";
  return text;
}

// Default values of the published properties of Instance and of the objects it holds.
void SetDefaults(host::TPersistent& instance) {
  for (const host::TPropInfo* prop : instance.ClassType().Properties()) {
    if (prop->Kind == host::TTypeKind::tkClass) {
      host::TPersistent* held = host::GetObjectProp(instance, *prop);
      if (held && held != &instance && !dynamic_cast<host::TComponent*>(held))
        SetDefaults(*held);
      else if (prop->HasSetter() && prop->Default)
        prop->Setter(instance, *prop->Default);
    } else if (prop->HasSetter() && prop->Default && !prop->IsDefault(instance)) {
      prop->Setter(instance, *prop->Default);
    }
  }
}

}  // namespace

std::string TextOf(host::TComponent& root) {
  host::TMemoryStream binary;
  host::WriteComponent(binary, root);
  binary.SetPosition(0);
  host::TMemoryStream text;
  host::ObjectBinaryToText(binary, text);
  return std::string(reinterpret_cast<const char*>(text.Memory()), static_cast<std::size_t>(text.Size()));
}

void RestoreFromText(host::TComponent& root, const std::string& text) {
  // Checked whole before anything is lost.
  const std::string binary = host::ObjectTextToBinary(text);
  root.DestroyComponents();
  SetDefaults(root);
  root.SetName("");
  host::TMemoryStream stream;
  stream.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
  stream.SetPosition(0);
  host::ReadComponent(stream, &root);
}

std::string ComponentsOf(const std::string& formText, const std::vector<std::string>& names) {
  const std::set<std::string> wanted(names.begin(), names.end());
  const std::vector<Line> lines = LinesOf(formText);
  std::string text;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (!IsHeader(lines[i])) continue;
    const std::size_t end = EndOf(lines, i);
    if (wanted.contains(NameInHeader(lines[i]))) {
      text += Joined(lines, i, end, lines[i].indent);
      i = end;
    }
  }
  return text;
}

std::vector<std::string> TopLevelNames(const std::string& components) {
  const std::vector<Line> lines = LinesOf(components);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!IsHeader(lines[i])) continue;
    names.push_back(NameInHeader(lines[i]));
    i = EndOf(lines, i);
  }
  return names;
}

std::string WithFreeNames(const std::string& components,
                          const std::function<bool(const std::string&)>& taken) {
  std::set<std::string> used;
  auto inUse = [&](const std::string& name) { return used.contains(name) || taken(name); };
  std::string text;
  for (Line line : LinesOf(components)) {
    if (const std::string name = IsHeader(line) ? NameInHeader(line) : std::string(); !name.empty()) {
      std::string base = name;
      while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
      std::string free = name;
      for (int n = 1; inUse(free); ++n) free = base + std::to_string(n);
      used.insert(free);
      line.text = "object " + free + line.text.substr(7 + name.size());
    }
    text += std::string(line.indent, ' ') + line.text + "\n";
  }
  return text;
}

void ReadComponentsInto(host::TComponent& root, const std::string& components) {
  // The components become children of a root record that sets nothing of the root's own.
  std::string text = "object " + (root.Name().empty() ? "" : root.Name() + ": ") + root.ClassName() + "\n";
  for (const Line& line : LinesOf(components)) text += std::string(line.indent + 2, ' ') + line.text + "\n";
  text += "end\n";
  const std::string binary = host::ObjectTextToBinary(text);
  host::TMemoryStream stream;
  stream.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
  stream.SetPosition(0);
  host::ReadComponent(stream, &root);
}

}  // namespace vantora::studio
