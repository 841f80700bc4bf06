// Reference lists and string lists of the framework.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Errors.h"

VANTORA_API_BEGIN
namespace vantora::host {

[[noreturn]] void RaiseListIndexError(std::int64_t index);

// Removes Item from List, searching from the end: children and owned components are listed in the
// order they came and mostly leave last first (a parent freeing them all), found so at once.
template <class T, class U>
void EraseFromEnd(std::vector<T*>& list, const U* item) {
  const auto it =
      std::find_if(list.rbegin(), list.rend(), [item](const T* element) { return element == item; });
  if (it != list.rend()) list.erase(std::next(it).base());
}

// An ordered list of references. It owns the storage of the references, never the items.
template <class T>
class TList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }

  T* Get(int index) const {
    Check(index);
    return items_[static_cast<std::size_t>(index)];
  }
  T* operator[](int index) const { return Get(index); }
  void Put(int index, T* item) {
    Check(index);
    items_[static_cast<std::size_t>(index)] = item;
  }

  int Add(T* item) {
    items_.push_back(item);
    return Count() - 1;
  }
  void Insert(int index, T* item) {
    if (index != Count()) Check(index);
    items_.insert(items_.begin() + index, item);
  }
  void Delete(int index) {
    Check(index);
    items_.erase(items_.begin() + index);
  }
  int IndexOf(const T* item) const {
    for (int i = 0; i < Count(); ++i)
      if (items_[static_cast<std::size_t>(i)] == item) return i;
    return -1;
  }
  // Removes the first occurrence; answers its former index, or -1.
  int Remove(const T* item) {
    const int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
  }
  void Clear() { items_.clear(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  void Check(int index) const {
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
  }
  std::vector<T*> items_;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings, each with an optional associated object reference (not owned). Comparisons
// ignore letter case unless CaseSensitive is set, as the framework's string list does.
class TStringList {
 public:
  int Count() const { return static_cast<int>(strings_.size()); }
  const std::string& Get(int index) const;
  const std::string& operator[](int index) const { return Get(index); }
  void Put(int index, const std::string& s);
  void* Objects(int index) const;
  void PutObject(int index, void* object);

  int Add(const std::string& s) { return AddObject(s, nullptr); }
  int AddObject(const std::string& s, void* object);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear() {
    strings_.clear();
    objects_.clear();
  }
  int IndexOf(const std::string& s) const;
  // Binary search of a sorted list; answers whether S is present and where it is or would go.
  bool Find(const std::string& s, int& index) const;
  void Sort();

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return case_sensitive_; }
  void SetCaseSensitive(bool value);

  // Lines joined with '\n' (each line ends with one); setting splits at '\n', dropping '\r'.
  std::string Text() const;
  void SetText(const std::string& text);
  // "Name=Value" access.
  std::string Names(int index) const;
  std::string Values(const std::string& name) const;
  int IndexOfName(const std::string& name) const;

  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  auto begin() const { return strings_.begin(); }
  auto end() const { return strings_.end(); }

 private:
  int Compare(const std::string& a, const std::string& b) const;
  void Check(int index) const;

  std::vector<std::string> strings_;
  std::vector<void*> objects_;  // parallel to strings_
  bool sorted_ = false;
  bool case_sensitive_ = false;
  TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

}  // namespace vantora::host
VANTORA_API_END
