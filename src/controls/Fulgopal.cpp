#include "controls/Fulgopal.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

#include "controls/Fulint.h"
#include "core/LogPalette.h"
#include "host/classes/Filer.h"
#include "host/forms/Controls.h"
#include "host/graphics/Gdi.h"
#include "palette/Fulone.h"
#include "util/Gen.h"

namespace vantora {

namespace {

constexpr std::int64_t kPaletteDataSize = 256 * 4;
// The builder's colours lie at 10..245; the rest of a stored palette is not used.
constexpr int kStoredEntries = 250;

// Destroys what is left of the window-wide palettes when the program ends.
struct ExitProcedure {
  ~ExitProcedure() { ExitPalettes(); }
};

}  // namespace

bool bAbortPaletteChange = false;

std::vector<std::unique_ptr<tGlobalPalette>>& GlobalPalettes() {
  static std::vector<std::unique_ptr<tGlobalPalette>> list;
  static ExitProcedure exit;
  return list;
}

const host::TClass& tFulgoPalette::StaticClass() {
  using P = tFulgoPalette;
  static const host::TClass& cls = host::ClassBuilder<P>("tFulgoPalette", host::TComponent::StaticClass())
                                       .Property("Active", &P::GetActive, &P::SetActive, true)
                                       .ReadOnly("RegisteredComponents", &P::GetComponentsCount, 0)
                                       .Stored(false)
                                       .Method("OnRebuild")
                                       .Property("SavePalette", &P::GetSavePalette, &P::SetSavePalette, false)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoPalette);

const host::TClass& oFulgoPalette::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<oFulgoPalette>("oFulgoPalette", tFulgoPalette::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(oFulgoPalette);

tFulgoPalette::tFulgoPalette(host::TComponent* AOwner)
    : host::TComponent(AOwner), Builder(std::make_unique<tFulgoOnePalette>()) {}

tFulgoPalette::~tFulgoPalette() {
  Builder.reset();
  FreeHandle();
  while (!RegisteredInterfaces.empty()) RegisteredInterfaces.back()->SetFulgoPalette(nullptr);
}

void tFulgoPalette::FreeHandle() {
  if (PaletteHandle && OwnsHandle) host::DeleteObject(PaletteHandle);
  PaletteHandle = nullptr;
  OwnsHandle = false;
}

void tFulgoPalette::Add(tFulgoInt* Interface) {
  RegisteredInterfaces.push_back(Interface);
  RebuildPalette();
}

void tFulgoPalette::Remove(tFulgoInt* Interface) {
  host::EraseFromEnd(RegisteredInterfaces, Interface);
}

void tFulgoPalette::ChildLoaded(tFulgoInt*, std::int32_t Count) {
  ChildrenLoaded += Count;
  CheckRebuildAfterLoad();
}

void tFulgoPalette::Loaded() {
  host::TComponent::Loaded();
  LoadingSeen = true;
  CheckRebuildAfterLoad();
}

void tFulgoPalette::SetActive(bool Value) {
  if (Value == Active) return;
  Active = Value;
  if (Value) RebuildPalette();
}

void tFulgoPalette::InvalidateControls() {
  for (tFulgoInt* item : std::vector<tFulgoInt*>(RegisteredInterfaces)) item->Invalidate();
}

void tFulgoPalette::RebuildPalette() {
  if (!Active) return;
  if (IsLoading()) LoadingSeen = true;
  if (RegisteredInterfaces.empty()) return;
  if (!RebuiltAfterLoad && LoadingSeen) return;
  // Built from pending faces, the palette would miss their colours.
  WaitsForFaces = std::any_of(RegisteredInterfaces.begin(), RegisteredInterfaces.end(),
                              [](const tFulgoInt* item) { return item->IsFacePending(); });
  if (WaitsForFaces) return;

  Builder = std::make_unique<tFulgoOnePalette>();
  FreeHandle();
  int total = 0;
  for (const tFulgoInt* item : RegisteredInterfaces) total += item->TotalPalettes();
  if (total == 0) return;
  if (total == 1) {
    const auto first = std::find_if(RegisteredInterfaces.begin(), RegisteredInterfaces.end() - 1,
                                    [](const tFulgoInt* item) { return item->TotalPalettes() != 0; });
    // A copy: the art replaces its palette when its colours change, and a control that renders
    // without updating the shared palette must still find this one.
    const tFulgoArt* art = (*first)->CurrentArt;
    if (art && art->PaletteHandle) {
      PaletteHandle = CopyLogPalette(art->PaletteHandle.get(), "Palette could not be created").release();
      OwnsHandle = true;
    }
  } else {
    for (const tFulgoInt* item : RegisteredInterfaces) item->RegisterOnePaletteDibs(*Builder);
    Builder->BuildPalette();
    ++BuildCount;
    PaletteHandle = Builder->PaletteHandle.release();
    OwnsHandle = true;
  }
  RealizeOnePalette();
}

void tFulgoPalette::BuildMemberFaces() {
  for (tFulgoInt* item : std::vector<tFulgoInt*>(RegisteredInterfaces)) item->BuildFace();
  if (std::exchange(WaitsForFaces, false)) RebuildPalette();
}

void tFulgoPalette::RealizeOnePalette() {
  bAbortPaletteChange = false;
  const auto showing = [](const tFulgoInt* item) {
    const host::TControl* control = item->Control;
    if (!control) return false;
    if (control->IsWindowed()) return control->IsShowing();
    const auto* owner = dynamic_cast<const host::TControl*>(control->Owner());
    return owner && owner->IsShowing();
  };
  const auto foreground = std::find_if(RegisteredInterfaces.begin(), RegisteredInterfaces.end(), showing);
  if (foreground != RegisteredInterfaces.end())
    if (host::HWND window = (*foreground)->GetHwnd()) RealizePaletteToWindow(window, PaletteHandle, false);
  for (tFulgoInt* item : std::vector<tFulgoInt*>(RegisteredInterfaces)) {
    if (!item->HasPicture()) continue;
    if (host::HWND window = item->GetHwnd()) {
      RealizePaletteToWindow(window, PaletteHandle, true);
      item->Invalidate();
    }
  }
  bAbortPaletteChange = false;
  if (OnRebuild) OnRebuild(this);
}

void tFulgoPalette::CheckRebuildAfterLoad() {
  if (RebuiltAfterLoad || ChildrenLoaded < GetComponentsCount() || !LoadingSeen) return;
  RebuiltAfterLoad = true;
  if (SavePalette && PaletteHandle)
    RealizeOnePalette();
  else
    RebuildPalette();
}

void tFulgoPalette::DefineProperties(host::TFiler& Filer) {
  host::TComponent::DefineProperties(Filer);
  // A palette saved before its members were shown is built for the writing.
  if (SavePalette && dynamic_cast<host::TWriter*>(&Filer)) BuildMemberFaces();
  // Without a palette nothing is written: an empty value could not be read back as one.
  Filer.DefineBinaryProperty(
      "PaletteData", [this](host::TStream& s) { ReadPalette(s); },
      [this](host::TStream& s) { WritePalette(s); }, SavePalette && PaletteHandle);
}

void tFulgoPalette::WritePalette(host::TStream& Stream) const {
  if (!PaletteHandle) return;
  std::array<host::PALETTEENTRY, 256> entries{};
  host::GetPaletteEntries(PaletteHandle, 0, 256, entries.data());
  Stream.WriteBuffer(entries.data(), kPaletteDataSize);
}

void tFulgoPalette::ReadPalette(host::TStream& Stream) {
  const std::int64_t size = Stream.Size() - Stream.Position();
  if (size != kPaletteDataSize)
    throw host::EReadError("Property PaletteData of " + (Name().empty() ? ClassName() : Name()) + " holds " +
                           std::to_string(size) + " bytes; a stored palette takes 1024");
  std::array<host::PALETTEENTRY, 256> entries{};
  Stream.ReadBuffer(entries.data(), kPaletteDataSize);
  std::vector<std::uint8_t> record(sizeof(host::LOGPALETTE) + kStoredEntries * sizeof(host::PALETTEENTRY));
  auto* logical = reinterpret_cast<host::LOGPALETTE*>(record.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = kStoredEntries;
  std::memcpy(record.data() + offsetof(host::LOGPALETTE, palPalEntry), entries.data(),
              kStoredEntries * sizeof(host::PALETTEENTRY));
  host::HPALETTE palette = host::CreatePalette(logical);
  if (!palette) throw ECantCreatPal("The stored palette could not be created");
  FreeHandle();
  PaletteHandle = palette;
  OwnsHandle = true;
}

void oFulgoPalette::Remove(tFulgoInt* Interface) {
  tFulgoPalette::Remove(Interface);
  if (!RegisteredInterfaces.empty()) return;
  auto& list = GlobalPalettes();
  const auto record =
      std::find_if(list.begin(), list.end(), [this](const auto& r) { return r->Palette.get() == this; });
  if (record == list.end()) return;
  // Erasing the record destroys this palette; nothing of it may be touched afterwards.
  list.erase(record);
}

tFulgoPalette* FindGlobalPalette(host::HWND Window, std::int32_t Group, bool Global) {
  if (host::TWinControl* control = host::FindControl(Window))
    if (host::TWinControl* top = control->TopLevel()) Window = top->Handle();
  auto& list = GlobalPalettes();
  for (const auto& record : list)
    if (record->Window == Window && record->Group == Group && record->Global == Global)
      return record->Palette.get();
  auto record = std::make_unique<tGlobalPalette>();
  record->Global = Global;
  record->Window = Window;
  record->Group = Group;
  record->Palette = std::make_unique<oFulgoPalette>(nullptr);
  tFulgoPalette* palette = record->Palette.get();
  list.push_back(std::move(record));
  return palette;
}

void ExitPalettes() {
  auto& list = GlobalPalettes();
  // Taken out of the list first, so that detaching the members cannot destroy a palette twice.
  std::vector<std::unique_ptr<tGlobalPalette>> records = std::move(list);
  list.clear();
  records.clear();
}

}  // namespace vantora
