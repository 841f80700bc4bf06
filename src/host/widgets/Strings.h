// A published list of strings (the items of a list, combo box or radio group, the lines of a memo):
// streamed as a list under "Strings", with a notification after every change.
#pragma once

#include <functional>
#include <string>

#include "VantoraExport.h"
#include "host/classes/Lists.h"
#include "host/classes/Persistent.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TStrings : public TPersistent {
  VANTORA_PERSISTENT(TStrings)

  TStrings() { list_.SetDuplicates(TDuplicates::dupAccept); }

  void Assign(const TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;

  int Count() const { return list_.Count(); }
  const std::string& Get(int index) const { return list_.Get(index); }
  const std::string& operator[](int index) const { return list_.Get(index); }
  void Put(int index, const std::string& s);
  int Add(const std::string& s);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  int IndexOf(const std::string& s) const { return list_.IndexOf(s); }
  bool Sorted() const { return list_.Sorted(); }
  void SetSorted(bool value);
  std::string Text() const { return list_.Text(); }
  void SetText(const std::string& text);
  // Many changes, one notification at the end.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();
  const TStringList& List() const { return list_; }

  auto begin() const { return list_.begin(); }
  auto end() const { return list_.end(); }

  std::function<void()> OnChange;

 private:
  void Changed();
  TStringList list_;
  int updating_ = 0;
  bool changedWhileUpdating_ = false;
};

}  // namespace vantora::host
VANTORA_API_END
