#include "controls/Fulint.h"

#include <algorithm>
#include <string>
#include <utility>

#include "controls/Fulcust.h"
#include "controls/Fulgopal.h"
#include "host/graphics/Gdi.h"
#include "palette/Fulone.h"
#include "util/Gen.h"

namespace vantora {

tFulgoInt::~tFulgoInt() {
  SetFulgoPalette(nullptr);
}

void tFulgoInt::Init() {
  SetDefaults();
}

void tFulgoInt::SetDefaults() {
  for (int i = 0; i < Arts.GetCount(); ++i) Arts.GetItemTyped(i)->Init();
  UpdatePalette = true;
  AutoSize = true;
  DrawMode = edOpaque;
}

void tFulgoInt::Add(tFulgoArt* Art) {
  Arts.Add(Art);
  Art->OnRebuild = [this] { Rebuild(); };
}

void tFulgoInt::LoadIfCreated() {
  if (loaded_) return;
  if (loadedMode_ == fgUnknown) {
    loadedMode_ = fgCreated;
    if (UseGlobalPalette && Control->Text().empty()) {
      const bool enabled = rebuildEnabled_;
      rebuildEnabled_ = false;
      Control->SetText(Control->ClassName() + "1");
      rebuildEnabled_ = enabled;
    }
  }
  Loaded();
}

void tFulgoInt::Paint() {
  if (!CurrentArt) return;
  LoadIfCreated();
  BuildFaces();
  if (FulgoPalette && UseGlobalPalette && loadedMode_ == fgLoaded) FulgoPalette->SetActive(true);
  if (ShouldRender(RenderCause::Paint)) {
    // Left set when the render throws, so a broken look is not retried at every paint.
    inPaintRender_ = true;
    Rebuild();
    inPaintRender_ = false;
  }
  if (!CurrentArt->Dib->Empty()) DrawAt(*Canvas, 0, 0);
  if (Control->IsDesigning()) LoadBackground();
}

void tFulgoInt::Rebuild() {
  if (!RenderFace(RenderCause::Change)) return;
  UpdateScreenPalette();
  if (OnAfterRebuild) OnAfterRebuild(this);
}

// The rules of rendering a face:
// - Nothing renders before Loaded, without an art to draw, or while the control's AllowRebuild is
//   off: a reader or a batch of changes turns it off and rebuilds once when it is done.
// - A change renders the face at once (a face left pending renders with it).
// - A paint renders only a face that is still empty, and never from within its own render: a look
//   that fails to render leaves the face empty and is not tried again at every paint.
// - A demand renders only a face that loading left pending, so reading a form renders nothing until
//   a face is painted or a shared palette needs its colours.
bool tFulgoInt::ShouldRender(RenderCause Cause) const {
  if (!loaded_ || !CurrentArt || !rebuildEnabled_) return false;
  switch (Cause) {
    case RenderCause::Change:
      return true;
    case RenderCause::Paint:
      return CurrentArt->Dib->Empty() && !inPaintRender_;
    case RenderCause::Demand:
      return facePending_;
  }
  return false;
}

bool tFulgoInt::RenderFace(RenderCause Cause) {
  const bool sizeGiven = std::exchange(sizeFromBounds_, false);
  if (!ShouldRender(Cause)) return false;
  if (AutoSize)
    SetNeededDimension(-1, -1);
  else if (!sizeGiven)
    SetNeededDimension(Control->Width(), Control->Height());

  // Cleared first: a face whose render fails is not tried again for being pending.
  facePending_ = false;
  for (int i = 0; i < Arts.GetActiveCount(); ++i) Arts.GetActiveArt(i)->Render();
  if (AutoSize &&
      (CurrentArt->GetWidth() != Control->Width() || CurrentArt->GetHeight() != Control->Height()))
    Control->SetBounds(Control->Left(), Control->Top(), CurrentArt->GetWidth(), CurrentArt->GetHeight());
  return true;
}

void tFulgoInt::BuildFace() {
  if (RenderFace(RenderCause::Demand) && OnAfterRebuild) OnAfterRebuild(this);
}

void tFulgoInt::BuildFaces() {
  if (FulgoPalette)
    FulgoPalette->BuildMemberFaces();
  else
    BuildFace();
}

void tFulgoInt::UpdateScreenPalette() {
  if (!UpdatePalette) {
    Invalidate();
    return;
  }
  // An inactive shared palette builds nothing, so the control shows and realises its own.
  if (FulgoPalette && FulgoPalette->Active) {
    FulgoPalette->RebuildPalette();
    return;
  }
  if (!GetHwnd()) return;
  Invalidate();
  RealizePaletteToWindow(host::GetFocus(), CurrentArt->PaletteHandle, false);
}

void tFulgoInt::Loaded() {
  if (UseGlobalPalette && !FulgoPalette) JoinGlobalPalette();
  if (loadedMode_ == fgUnknown) loadedMode_ = fgLoaded;
  // Members of a form being read join without rebuilding it; the first paint activates it once.
  if (UseGlobalPalette && loadedMode_ == fgLoaded && FulgoPalette) FulgoPalette->SetActive(false);
  loaded_ = true;
  // A generic control read from a stream has no art until one is handed to it. One made in code is
  // loaded at its first paint, which needs the face at once.
  if (CurrentArt) {
    if (loadedMode_ == fgLoaded)
      facePending_ = true;
    else
      CurrentArt->Rebuild();
  }
  if (FulgoPalette) FulgoPalette->ChildLoaded(this, 1);
}

void tFulgoInt::JoinGlobalPalette() {
  auto* control = dynamic_cast<TFulgoGraphicControl*>(Control);
  // A window-wide palette is keyed by the window; a control without a parent has none yet.
  if (!control || !control->Parent()) return;
  tFulgoPalette* palette =
      FindGlobalPalette(control->Parent()->GetWindowHandle(), control->PaletteGroup, control->PaletteGlobal);
  const bool active = palette->Active;
  palette->Active = false;
  control->SetFulgoPalette(palette);
  palette->Active = active;
}

void tFulgoInt::DrawAt(host::TCanvas& ACanvas, std::int32_t X, std::int32_t Y) {
  if (CurrentArt) Sprite.DrawAt(*CurrentArt, ACanvas, GetPalette(), X, Y, DrawMode == edOpaque);
}

host::HPALETTE tFulgoInt::GetPalette() const {
  if (FulgoPalette && FulgoPalette->Active) return FulgoPalette->PaletteHandle;
  return CurrentArt ? CurrentArt->PaletteHandle.get() : nullptr;
}

host::HWND tFulgoInt::GetHwnd() const {
  if (!Control) return nullptr;
  const host::TControl* windowOf =
      Control->IsWindowed() ? Control : dynamic_cast<const host::TControl*>(Control->Owner());
  const host::TWinControl* top = windowOf ? windowOf->TopLevel() : nullptr;
  return top && top->HandleAllocated() ? top->Handle() : nullptr;
}

void tFulgoInt::CheckSize(std::int32_t Width, std::int32_t Height) const {
  const bool read = (Control->ControlState() & host::csReadingState) != 0;
  const std::int64_t w = std::max(Width, 0), h = std::max(Height, 0);
  if (Width <= kMaxFaceSide && Height <= kMaxFaceSide && w * h <= kMaxFacePixels &&
      !(read && (Width < 0 || Height < 0)))
    return;
  const std::string name = Control->Name().empty() ? std::string() : Control->Name() + ": ";
  throw EFulgoError(name + Control->ClassName() + " size " + std::to_string(Width) + " x " +
                    std::to_string(Height) + " is out of range (at most " + std::to_string(kMaxFaceSide) +
                    " x " + std::to_string(kMaxFaceSide) + " and " + std::to_string(kMaxFacePixels) +
                    " pixels)");
}

void tFulgoInt::SetBounds(std::int32_t, std::int32_t, std::int32_t Width, std::int32_t Height) {
  CheckSize(Width, Height);
  // As the framework does, a negative size counts as 0; -1 would let the look choose its size.
  Width = std::max(Width, 0);
  Height = std::max(Height, 0);
  if (AutoSize || (Width == Control->Width() && Height == Control->Height())) return;
  SetNeededDimension(Width, Height);
  sizeFromBounds_ = true;
  Rebuild();
}

void tFulgoInt::SetAutoSize(bool Value) {
  if (Value == AutoSize) return;
  AutoSize = Value;
  if (Value && HasPicture())
    Control->SetBounds(Control->Left(), Control->Top(), CurrentArt->GetWidth(), CurrentArt->GetHeight());
  else if (!Value)
    Control->SetBounds(Control->Left(), Control->Top(), Control->Width(), Control->Height());
}

void tFulgoInt::SetDrawMode(eDrawMode Value) {
  if (Value == DrawMode) return;
  DrawMode = Value;
  Rebuild();
}

void tFulgoInt::SetNeededDimension(std::int32_t W, std::int32_t H) {
  for (int i = 0; i < Arts.GetCount(); ++i) {
    Arts.GetItemTyped(i)->NeededWidth = W;
    Arts.GetItemTyped(i)->NeededHeight = H;
  }
}

void tFulgoInt::SetFulgoPalette(tFulgoPalette* P) {
  if (P == FulgoPalette) return;
  tFulgoPalette* old = FulgoPalette;
  // Stored first: the old palette's Remove may destroy it, and the new one's Add rebuilds.
  FulgoPalette = P;
  if (old) old->Remove(this);
  if (P) P->Add(this);
}

void tFulgoInt::RegisterOnePaletteDibs(tFulgoOnePalette& Builder) const {
  for (int i = 0; i < Arts.GetActiveCount(); ++i)
    if (!Arts.GetActiveArt(i)->Dib->Empty()) Builder.AddDib(*Arts.GetActiveArt(i)->Dib);
}

int tFulgoInt::TotalPalettes() const {
  int total = 0;
  for (int i = 0; i < Arts.GetActiveCount(); ++i)
    if (!Arts.GetActiveArt(i)->Dib->Empty()) ++total;
  return total;
}

bool tFulgoInt::PaletteChanged(bool Foreground) {
  // Realising a palette on the screen is the first need of the faces it is built from.
  if (Control->IsShowing()) BuildFaces();
  const host::HPALETTE palette = GetPalette();
  if (bAbortPaletteChange || !palette || !Control->Visible()) return false;
  host::HWND window = nullptr;
  const host::HDC dc = Control->GetDeviceContext(window);
  if (!dc) return false;
  if (RealizePaletteToDc(dc, palette, !Foreground) != 0) {
    Invalidate();
    if (Control->IsDesigning() && Foreground && FulgoPalette) FulgoPalette->InvalidateControls();
  }
  host::ReleaseDC(window, dc);
  return true;
}

void tFulgoInt::Invalidate() {
  if (Control) Control->Invalidate();
}

void SetFramedLook(tFulgoBackground& Back, TColor Brush) {
  Back.FulgoColor->SetBrush(Brush);
  Back.LayerFrame->SetActive(true);
  Back.LayerFrame->SetLineWidth(1);
  Back.LayerFrame->FulgoColor1->SetBrush(0);
  Back.LayerFrame->SetDirection(fgDownRight);
  Back.LayerShadow->SetActive(true);
  Back.LayerShadow->FulgoColor1->SetBrush(0x646464);
  Back.LayerShadow->SetLeft(3);
  Back.LayerShadow->SetTop(3);
}

}  // namespace vantora
