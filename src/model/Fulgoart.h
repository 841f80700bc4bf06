// Unit Fulgoart: tFulgoArt, one complete look: objects (a background and a text) composed into one
// 8-bit picture with its own palette. It renders the other objects first, sizes the background
// around them (or to the size imposed on it), centres the text on it and copies every picture over
// it. Also the art list of a control, tSaveTmp (the component through which arts are streamed and
// copied) and the drawing mode.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "VantoraExport.h"
#include "base/Fultype.h"
#include "core/Fuldib.h"
#include "core/Grputil.h"
#include "effects/Fullayer.h"
#include "host/classes/Persistent.h"
#include "host/classes/Stream.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/GdiTypes.h"
#include "model/Fulgoobj.h"

VANTORA_API_BEGIN
namespace vantora {

// How a control draws its art: over what lies beneath, or on its Transparent colour.
enum eDrawMode : std::uint8_t { edTransparent, edOpaque };
const host::TEnumInfo& TypeInfoOf(eDrawMode);

using tRebuildEvent = std::function<void()>;

class tFulgoArt : public tFulgoPersistent {
  VANTORA_PERSISTENT(tFulgoArt)

  explicit tFulgoArt(tFulgoPersistent* AOwner);
  ~tFulgoArt() override;

  // Set by the rendering interface; called by Rebuild.
  tRebuildEvent OnRebuild;
  std::int32_t InnerOffsetY = 0;
  std::int32_t InnerOffsetX = 0;
  // Added to the background's size; the drawn size is the art's size minus these.
  std::int32_t InnerOffsetSizeX = 0;
  std::int32_t InnerOffsetSizeY = 0;
  TColor Transparent = kButtonFace;
  // The palette of the last render.
  host::Owned<host::HPALETTE> PaletteHandle;
  // The art's objects; the list owns them.
  tObjectList Objects;
  std::unique_ptr<tFulgoDib> Dib;
  // Imposed outer size; -1 lets the size follow the content.
  std::int32_t NeededWidth = -1;
  std::int32_t NeededHeight = -1;

  void SetDefaults();
  void Init() override;
  // Calls OnRebuild (when NotifyOwner holds); the notice goes no further up.
  void Rebuild() override;
  // Creates the art's objects. A base constructor cannot reach an override, so every art class
  // calls it from its own constructor.
  virtual void AddFulgoObjects() {}
  // A new art of the same class, without owner, for a trial load.
  virtual std::unique_ptr<tFulgoArt> NewArt() const;

  // Renders the objects with one palette and composes them into Dib with its colour table.
  void Render();
  void CalcBackgroundSize(int BackIndex);
  void CalcAlignment(std::int32_t W, std::int32_t H);

  std::int32_t GetWidth() const;
  std::int32_t GetHeight() const;
  std::int32_t GetInnerOffsetX() const { return InnerOffsetX; }
  void SetInnerOffsetX(std::int32_t Value);
  std::int32_t GetInnerOffsetY() const { return InnerOffsetY; }
  void SetInnerOffsetY(std::int32_t Value);
  // Store only: the change shows at the next rebuild.
  std::int32_t GetInnerOffsetSizeX() const { return InnerOffsetSizeX; }
  void SetInnerOffsetSizeX(std::int32_t Value);
  std::int32_t GetInnerOffsetSizeY() const { return InnerOffsetSizeY; }
  void SetInnerOffsetSizeY(std::int32_t Value);
  TColor GetTransparent() const { return Transparent; }
  void SetTransparent(TColor Value);

  // Copies this art into Dest through the component stream; Dest must be of this class, an
  // ancestor or a descendant, else EConvertError "Can not assign <Dest> to <this>".
  void AssignTo(host::TPersistent* Dest) const override;

  // A look: a component stream (binary or text form) whose root is a tSaveTmp holding an art. It is
  // tried on a fresh art first, so a look that fails to load leaves this art as it was.
  void LoadFromStream(host::TStream& Stream);
  void SaveToStream(host::TStream& Stream);

 private:
  // Renders the objects, the background last and sized by the others, and copies their pictures
  // over the background's.
  void Compose();
};

// The arts of a control. It does not own them.
class tArtList : public tTypedQorList<tFulgoArt> {
 public:
  tFulgoArt* GetActiveArt(int Index) const { return GetActiveTyped(Index); }
};

// The root component through which an art is written and read. It owns nothing.
class tSaveTmp : public host::TComponent {
  VANTORA_PERSISTENT(tSaveTmp)

  explicit tSaveTmp(host::TComponent* AOwner) : host::TComponent(AOwner) {}

  tFulgoArt* fArt = nullptr;
};

}  // namespace vantora
VANTORA_API_END
