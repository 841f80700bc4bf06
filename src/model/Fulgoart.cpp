#include "model/Fulgoart.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "host/graphics/Gdi.h"
#include "model/Fulback.h"
#include "model/Fultext.h"
#include "palette/Fulone.h"
#include "palette/RenderPass.h"

namespace vantora {

const host::TEnumInfo& TypeInfoOf(eDrawMode) {
  static const host::TEnumInfo info{"eDrawMode", {"edTransparent", "edOpaque"}};
  return info;
}

const host::TClass& tFulgoArt::StaticClass() {
  using A = tFulgoArt;
  static const host::TClass& cls =
      host::ClassBuilder<A>("tFulgoArt", tFulgoPersistent::StaticClass())
          .ReadOnly("Width", &A::GetWidth, 0)
          .Stored(false)
          .ReadOnly("Height", &A::GetHeight, 0)
          .Stored(false)
          .Property("InnerOffsetX", &A::GetInnerOffsetX, &A::SetInnerOffsetX, 0)
          .Property("InnerOffsetY", &A::GetInnerOffsetY, &A::SetInnerOffsetY, 0)
          .Property("InnerOffsetSizeX", &A::GetInnerOffsetSizeX, &A::SetInnerOffsetSizeX, 0)
          .Property("InnerOffsetSizeY", &A::GetInnerOffsetSizeY, &A::SetInnerOffsetSizeY, 0)
          .Property("Transparent", &A::GetTransparent, &A::SetTransparent, kButtonFace)
          .AsColor()
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoArt);

const host::TClass& tSaveTmp::StaticClass() {
  static const host::TClass& cls = host::ClassBuilder<tSaveTmp>("tSaveTmp", host::TComponent::StaticClass())
                                       .Field("Art", &tSaveTmp::fArt, nullptr)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tSaveTmp);

namespace {

// A bitmap side as the size types allow it.
std::int32_t CapSide(std::int32_t value) {
  return std::clamp<std::int32_t>(value, 1, kMaxBitmapSide);
}

// A position for the compositing: anything beyond a bitmap side is clipped away anyway.
std::int16_t Position(std::int32_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, -kMaxBitmapSide, kMaxBitmapSide));
}

// The palette builder of a thread's renders, kept from one to the next: a face rendered again in
// the same colours (after a new caption or size) keeps the palette built last instead of building
// it again. A render within a render gets a builder of its own.
class ReusedPalette {
 public:
  ReusedPalette() {
    if (busy_) {
      builder_ = &own_.emplace();
      return;
    }
    builder_ = &Kept();
    builder_->Restart();
    busy_ = true;
  }
  ~ReusedPalette() {
    if (!own_) busy_ = false;
  }
  ReusedPalette(const ReusedPalette&) = delete;
  ReusedPalette& operator=(const ReusedPalette&) = delete;

  tFulgoOnePalette& Builder() { return *builder_; }

 private:
  static tFulgoOnePalette& Kept() {
    thread_local tFulgoOnePalette kept;
    return kept;
  }
  static inline thread_local bool busy_ = false;
  std::optional<tFulgoOnePalette> own_;
  tFulgoOnePalette* builder_ = nullptr;
};

}  // namespace

tFulgoArt::tFulgoArt(tFulgoPersistent* AOwner)
    : tFulgoPersistent(AOwner), Dib(std::make_unique<tFulgoDib>()) {
  NeededWidth = -1;
  NeededHeight = -1;
  SetDefaults();
}

tFulgoArt::~tFulgoArt() = default;

std::unique_ptr<tFulgoArt> tFulgoArt::NewArt() const {
  return std::make_unique<tFulgoArt>(nullptr);
}

void tFulgoArt::SetDefaults() {
  InnerOffsetX = InnerOffsetY = InnerOffsetSizeX = InnerOffsetSizeY = 0;
  Transparent = kButtonFace;
  Active = true;
}

void tFulgoArt::Init() {
  tFulgoPersistent::Init();
  SetDefaults();
  for (tFulgoObject* object : Objects.All()) object->Init();
}

void tFulgoArt::Rebuild() {
  if (OnRebuild && NotifyOwner) OnRebuild();
}

std::int32_t tFulgoArt::GetWidth() const {
  return Dib->Empty() ? 0 : Dib->GetWidth();
}
std::int32_t tFulgoArt::GetHeight() const {
  return Dib->Empty() ? 0 : Dib->GetHeight();
}

void tFulgoArt::SetInnerOffsetX(std::int32_t Value) {
  if (Value == InnerOffsetX) return;
  InnerOffsetX = Value;
  Rebuild();
}

void tFulgoArt::SetInnerOffsetY(std::int32_t Value) {
  if (Value == InnerOffsetY) return;
  InnerOffsetY = Value;
  Rebuild();
}

void tFulgoArt::SetInnerOffsetSizeX(std::int32_t Value) {
  InnerOffsetSizeX = Value;
}
void tFulgoArt::SetInnerOffsetSizeY(std::int32_t Value) {
  InnerOffsetSizeY = Value;
}

void tFulgoArt::SetTransparent(TColor Value) {
  if (Value == Transparent) return;
  Transparent = Value;
  Rebuild();
}

void tFulgoArt::Render() {
  Dib->FreeDib();
  // Whatever fails, no object keeps a picture of a render that did not finish.
  struct Cleanup {
    tObjectList& objects;
    ~Cleanup() {
      for (tFulgoObject* object : objects.All()) object->Finished();
    }
  } cleanup{Objects};
  ReusedPalette reused;
  tFulgoOnePalette& palette = reused.Builder();
  // The builder keeps the handle when the colours stay the same, and hands back whichever it holds.
  palette.PaletteHandle = std::move(PaletteHandle);
  struct HandBack {
    tFulgoOnePalette& from;
    host::Owned<host::HPALETTE>& to;
    ~HandBack() { to = std::move(from.PaletteHandle); }
  } handBack{palette, PaletteHandle};
  RenderPass(palette, Objects.Actives(), [this] { Compose(); });
  palette.SetColorTabelTo(*Dib);
}

void tFulgoArt::Compose() {
  // The background is sized by the others, so it renders last; the last one counts.
  tFulgoObject* back = nullptr;
  int backIndex = 0;
  int index = 0;
  for (tFulgoObject* object : Objects.Actives()) {
    if (dynamic_cast<tFulgoBackground*>(object)) {
      back = object;
      backIndex = index;
    }
    ++index;
  }
  if (!back) throw EFulgoError("The art has no active background object");
  for (tFulgoObject* object : Objects.Actives())
    if (object != back) object->Render();

  back->CalcAddXY();
  CalcBackgroundSize(backIndex);
  back->Render();
  Dib->GrabDib(*back->Dib);
  CalcAlignment(GetWidth() - back->AddWidth, GetHeight() - back->AddHeight);
  for (tFulgoObject* object : Objects.Actives()) {
    if (object == back) continue;
    if (!object->Dib->Empty())
      Dib->CutCopy(*object->Dib, Position(object->Align->PosX - back->AddX),
                   Position(object->Align->PosY - back->AddY));
    object->Finished();
  }
  back->Finished();
}

void tFulgoArt::CalcBackgroundSize(int BackIndex) {
  auto* back = dynamic_cast<tFulgoBackground*>(Objects.GetActiveObject(BackIndex));
  if (!back) throw EFulgoError("Object " + std::to_string(BackIndex) + " of the art is not a background");
  std::int32_t maxW = 0, maxH = 0;
  if (NeededWidth == -1 || NeededHeight == -1) {
    for (const tFulgoObject* object : Objects.Actives()) {
      if (object == back) continue;
      maxW = std::max<std::int32_t>(maxW, object->Width);
      maxH = std::max<std::int32_t>(maxH, object->Height);
    }
  }
  // 64-bit sums: every term may come from a stream.
  std::int64_t w = NeededWidth != -1 ? std::int64_t{NeededWidth} - back->AddWidth
                                     : std::int64_t{maxW} + back->TextWidthPlus;
  std::int64_t h = NeededHeight != -1 ? std::int64_t{NeededHeight} - back->AddHeight
                                      : std::int64_t{maxH} + back->TextHeightPlus;
  w += InnerOffsetSizeX;
  h += InnerOffsetSizeY;
  // At least 1; at most what a bitmap side can be.
  back->TargetWidth = CapSide(static_cast<std::int32_t>(std::clamp<std::int64_t>(w, 1, kMaxBitmapSide)));
  back->TargetHeight = CapSide(static_cast<std::int32_t>(std::clamp<std::int64_t>(h, 1, kMaxBitmapSide)));
}

void tFulgoArt::CalcAlignment(std::int32_t W, std::int32_t H) {
  tFulgoText* text = nullptr;
  for (tFulgoObject* object : Objects.Actives())
    if ((text = dynamic_cast<tFulgoText*>(object))) break;
  if (!text) return;
  const std::int32_t w = text->Dib->Empty() ? 0 : text->Dib->GetWidth();
  const std::int32_t h = text->Dib->Empty() ? 0 : text->Dib->GetHeight();
  tFulgoAlign& align = *text->Align;
  switch (align.Alignment) {
    case host::taLeftJustify:
      align.PosX = 1;
      break;
    case host::taRightJustify:
      align.PosX = W - w;
      break;
    default:
      align.PosX = (W - w) / 2;
      break;
  }
  align.PosY = (H - h) / 2;
  align.PosX += align.X;
  align.PosY += align.Y;
}

void tFulgoArt::AssignTo(host::TPersistent* Dest) const {
  struct GlobalLoading {
    GlobalLoading() { host::BeginGlobalLoading(); }
    ~GlobalLoading() { host::EndGlobalLoading(); }
  };
  tFulgoArt* dest = AssignTarget(*this, Dest);
  if (dest == this) return;
  auto* self = const_cast<tFulgoArt*>(this);
  // The helpers outlive the loading phase: its end still calls Loaded on the root it read.
  tSaveTmp source(nullptr), target(nullptr);
  source.fArt = self;
  target.fArt = dest;
  {
    GlobalLoading loading;
    host::TMemoryStream stream;
    {
      tQuietNotices quiet(*self);
      host::WriteComponent(stream, source);
    }
    stream.SetPosition(0);
    {
      tQuietNotices quiet(*dest);
      dest->Init();
      host::ReadComponent(stream, &target);
    }
  }
  dest->Rebuild();
}

void tFulgoArt::LoadFromStream(host::TStream& Stream) {
  host::TMemoryStream binary;
  if (host::IsBinaryComponentStream(Stream)) {
    binary.CopyFrom(Stream, Stream.Size() - Stream.Position());
  } else {
    host::ObjectTextToBinary(Stream, binary);
  }
  // A trial read into a fresh art: a look that fails leaves this one untouched. The look is then
  // read again into this art rather than copied over, since a copy carries fonts only as far as
  // the caption reaches and a label's caption is not part of its look.
  {
    std::unique_ptr<tFulgoArt> fresh = NewArt();
    tSaveTmp holder(nullptr);
    holder.fArt = fresh.get();
    binary.SetPosition(0);
    host::ReadComponent(binary, &holder);
  }
  tSaveTmp holder(nullptr);
  holder.fArt = this;
  binary.SetPosition(0);
  {
    tQuietNotices quiet(*this);
    Init();
    host::ReadComponent(binary, &holder);
  }
  Rebuild();
}

void tFulgoArt::SaveToStream(host::TStream& Stream) {
  tSaveTmp holder(nullptr);
  holder.fArt = this;
  host::WriteComponent(Stream, holder);
}

}  // namespace vantora
