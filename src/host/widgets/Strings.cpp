#include "host/widgets/Strings.h"

#include "host/classes/Filer.h"

namespace vantora::host {

const TClass& TStrings::StaticClass() {
  static const TClass& cls = ClassBuilder<TStrings>("TStrings", TPersistent::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TStrings);

void TStrings::Assign(const TPersistent* source) {
  const auto* strings = dynamic_cast<const TStrings*>(source);
  if (!strings) return TPersistent::Assign(source);
  if (strings == this) return;
  BeginUpdate();
  list_.Clear();
  for (const std::string& s : strings->list_) list_.Add(s);
  Changed();
  EndUpdate();
}

void TStrings::DefineProperties(TFiler& filer) {
  filer.DefineProperty(
      "Strings",
      [this](TReader& reader) {
        BeginUpdate();
        list_.Clear();
        reader.ReadListBegin();
        while (!reader.EndOfList()) list_.Add(reader.ReadString());
        reader.ReadListEnd();
        Changed();
        EndUpdate();
      },
      [this](TWriter& writer) {
        writer.WriteListBegin();
        for (const std::string& s : list_) writer.WriteString(s);
        writer.WriteListEnd();
      },
      Count() > 0);
}

void TStrings::Put(int index, const std::string& s) {
  list_.Put(index, s);
  Changed();
}

int TStrings::Add(const std::string& s) {
  const int index = list_.Add(s);
  Changed();
  return index;
}

void TStrings::Insert(int index, const std::string& s) {
  list_.Insert(index, s);
  Changed();
}

void TStrings::Delete(int index) {
  list_.Delete(index);
  Changed();
}

void TStrings::Clear() {
  if (Count() == 0) return;
  list_.Clear();
  Changed();
}

void TStrings::SetSorted(bool value) {
  if (value == Sorted()) return;
  list_.SetSorted(value);
  Changed();
}

void TStrings::SetText(const std::string& text) {
  list_.SetText(text);
  Changed();
}

void TStrings::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    if (OnChange) OnChange();
  }
}

void TStrings::Changed() {
  if (updating_ > 0) {
    changedWhileUpdating_ = true;
    return;
  }
  if (OnChange) OnChange();
}

}  // namespace vantora::host
