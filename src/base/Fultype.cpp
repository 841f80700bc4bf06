#include "base/Fultype.h"

#include <string>

namespace vantora {

const host::TEnumInfo& TypeInfoOf(efgColorType) {
  static const host::TEnumInfo info{
      "efgColorType", {"fgBrush", "fgFuzz", "fgBitmap", "fgTiledBitmap", "fgGradient", "fgTiledGradient"}};
  return info;
}

const host::TEnumInfo& TypeInfoOf(efgDirection) {
  static const host::TEnumInfo info{
      "efgDirection", {"fgUpLeft", "fgUp", "fgUpRight", "fgRight", "fgDownRight", "fgDown", "fgDownLeft", "fgLeft"}};
  return info;
}

const host::TClass& tFulgoPersistent::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<tFulgoPersistent>("tFulgoPersistent", host::TPersistent::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoPersistent);

tFulgoPersistent::tFulgoPersistent(tFulgoPersistent* AOwner) : Owner(AOwner), NotifyOwner(true) {
  SetDefaults();
}

void tFulgoPersistent::SetDefaults() { Active = false; }

void tFulgoPersistent::Init() { SetDefaults(); }

void tFulgoPersistent::Rebuild() {
  if (NotifyOwner && Owner) Owner->Rebuild();
}

void tFulgoPersistent::GlyphRebuild(host::TPersistent*) { Rebuild(); }

void tFulgoPersistent::SetActive(bool Value) {
  if (Value == Active) return;
  Active = Value;
  Rebuild();
}

void RaiseCannotAssign(const host::TPersistent& Source, const host::TPersistent* Dest) {
  throw host::EConvertError("Can not assign " + (Dest ? Dest->ClassName() : std::string("nil")) + " to " +
                            Source.ClassName());
}

const host::TClass& tFulgoAlign::StaticClass() {
  static const host::TClass& cls = host::ClassBuilder<tFulgoAlign>("tFulgoAlign", tFulgoPersistent::StaticClass())
                                       .Field("X", &tFulgoAlign::X, 0)
                                       .Field("Y", &tFulgoAlign::Y, 0)
                                       .Field("Alignment", &tFulgoAlign::Alignment, host::taCenter)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoAlign);

tFulgoAlign::tFulgoAlign(tFulgoPersistent* AOwner) : tFulgoPersistent(AOwner, SilentLink{}) { Init(); }

void tFulgoAlign::SetDefaults() {
  X = 0;
  Y = 0;
  Alignment = host::taCenter;
}

void tFulgoAlign::Init() {
  SetDefaults();
  tFulgoPersistent::Init();
}

void tQorList::FreeAll() {
  for (int i = 0; i < GetCount(); ++i) delete Items.Get(i);
  // Forgetting the freed items keeps a later Clear or count from touching freed memory.
  Items.Clear();
}

int tQorList::GetActiveCount() const {
  int count = 0;
  for (const tFulgoPersistent* item : Items)
    if (item->Active) ++count;
  return count;
}

tFulgoPersistent* tQorList::GetActive(int Index) const {
  int i = 0;
  int seen = -1;
  while (i < GetCount() && seen < Index) {
    if (Items.Get(i)->Active) ++seen;
    ++i;
  }
  if (seen < Index) throw host::EListError("Active Item number to high");
  return Items.Get(i - 1);
}

}  // namespace vantora
