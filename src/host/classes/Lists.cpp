#include "host/classes/Lists.h"

#include <strings.h>
#include <algorithm>
#include <fstream>
#include <numeric>
#include <sstream>

#include "host/classes/AtomicFile.h"

namespace vantora::host {

void RaiseListIndexError(std::int64_t index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStringList::Check(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
}

int TStringList::Compare(const std::string& a, const std::string& b) const {
  return case_sensitive_ ? a.compare(b) : strcasecmp(a.c_str(), b.c_str());
}

const std::string& TStringList::Get(int index) const {
  Check(index);
  return strings_[static_cast<std::size_t>(index)];
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  Check(index);
  strings_[static_cast<std::size_t>(index)] = s;
}

void* TStringList::Objects(int index) const {
  Check(index);
  return objects_[static_cast<std::size_t>(index)];
}

void TStringList::PutObject(int index, void* object) {
  Check(index);
  objects_[static_cast<std::size_t>(index)] = object;
}

int TStringList::AddObject(const std::string& s, void* object) {
  int index = Count();
  if (sorted_) {
    if (Find(s, index)) {
      if (duplicates_ == TDuplicates::dupIgnore) return index;
      if (duplicates_ == TDuplicates::dupError) throw EListError("String list does not allow duplicates");
    }
  }
  strings_.insert(strings_.begin() + index, s);
  objects_.insert(objects_.begin() + index, object);
  return index;
}

void TStringList::Insert(int index, const std::string& s) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  if (index != Count()) Check(index);
  strings_.insert(strings_.begin() + index, s);
  objects_.insert(objects_.begin() + index, nullptr);
}

void TStringList::Delete(int index) {
  Check(index);
  strings_.erase(strings_.begin() + index);
  objects_.erase(objects_.begin() + index);
}

int TStringList::IndexOf(const std::string& s) const {
  if (sorted_) {
    int index = 0;
    return Find(s, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(strings_[static_cast<std::size_t>(i)], s) == 0) return i;
  return -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = Compare(strings_[static_cast<std::size_t>(mid)], s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != TDuplicates::dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::Sort() {
  std::vector<std::size_t> order(strings_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [this](std::size_t a, std::size_t b) { return Compare(strings_[a], strings_[b]) < 0; });
  std::vector<std::string> strings;
  std::vector<void*> objects;
  strings.reserve(order.size());
  objects.reserve(order.size());
  for (std::size_t i : order) {
    strings.push_back(std::move(strings_[i]));
    objects.push_back(objects_[i]);
  }
  strings_ = std::move(strings);
  objects_ = std::move(objects);
}

void TStringList::SetSorted(bool value) {
  if (value == sorted_) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == case_sensitive_) return;
  case_sensitive_ = value;
  if (sorted_) Sort();
}

std::string TStringList::Text() const {
  std::string text;
  for (const auto& s : strings_) {
    text += s;
    text += '\n';
  }
  return text;
}

void TStringList::SetText(const std::string& text) {
  Clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Add(line);
    start = end + 1;
  }
}

std::string TStringList::Names(int index) const {
  const std::string& s = Get(index);
  const auto eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

int TStringList::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& s = strings_[static_cast<std::size_t>(i)];
    const auto eq = s.find('=');
    if (eq != std::string::npos && Compare(s.substr(0, eq), name) == 0) return i;
  }
  return -1;
}

std::string TStringList::Values(const std::string& name) const {
  const int index = IndexOfName(name);
  if (index < 0) return {};
  const std::string& s = strings_[static_cast<std::size_t>(index)];
  return s.substr(s.find('=') + 1);
}

void TStringList::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInOutError("Cannot open file \"" + path + "\"");
  std::ostringstream content;
  content << in.rdbuf();
  SetText(content.str());
}

void TStringList::SaveToFile(const std::string& path) const {
  const std::string text = Text();
  WriteFileAtomically(path, text.data(), text.size());
}

}  // namespace vantora::host
