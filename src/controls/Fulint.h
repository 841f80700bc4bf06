// Unit Fulint: tFulgoInt, the rendering interface every control of the library hands its painting
// to. It holds the control's arts, turns a rebuild notice from any of them into a render of all,
// sizes the control to its art (or imposes the control's size on the arts), keeps the screen
// palette right, alone or through a shared palette, and draws the current art through a sprite.
#pragma once

#include <cstdint>
#include <functional>

#include "VantoraExport.h"
#include "controls/FulSpr.h"
#include "host/forms/Controls.h"
#include "model/Fulback.h"
#include "model/Fulgoart.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoPalette;
class tFulgoOnePalette;

// Holds a control in csReadingState while the reader sets its values: a size read is outside data,
// one computed by layout later in the loading is not.
class ReadingState {
 public:
  explicit ReadingState(host::TControl& control) : control_(control) {
    control.SetControlState(control.ControlState() | host::csReadingState);
  }
  ReadingState(const ReadingState&) = delete;
  ReadingState& operator=(const ReadingState&) = delete;
  ~ReadingState() { control_.SetControlState(control_.ControlState() & ~host::csReadingState); }

 private:
  host::TControl& control_;
};

// A control's face is at most kMaxFaceSide pixels a side and kMaxFacePixels pixels in all (64 MB at a
// byte a pixel, an 8192 x 8192 square). The bitmaps a look is made of reach 32048 a side; the margin
// leaves room for the frames, edges and shadows drawn around a background.
inline constexpr std::int32_t kMaxFaceSide = 16384;
inline constexpr std::int64_t kMaxFacePixels = std::int64_t{1} << 26;

// How a control came to life: read from a form stream, or created without one.
enum fLoadedMode : std::uint8_t { fgUnknown, fgLoaded, fgCreated };

class tFulgoInt {
 public:
  tFulgoInt() = default;
  tFulgoInt(const tFulgoInt&) = delete;
  tFulgoInt& operator=(const tFulgoInt&) = delete;
  // Leaves the shared palette; the arts belong to the control.
  virtual ~tFulgoInt();

  TFulgoSprite Sprite;
  eDrawMode DrawMode = edOpaque;
  // The art that is drawn, set by the control; not owned.
  tFulgoArt* CurrentArt = nullptr;
  bool UpdatePalette = true;
  tFulgoPalette* FulgoPalette = nullptr;
  std::function<void(tFulgoInt* Sender)> OnAfterRebuild;
  bool AutoSize = true;
  // Join the window-wide shared palette by itself (the o variants of the controls).
  bool UseGlobalPalette = false;
  tArtList Arts;
  host::TCanvas* Canvas = nullptr;
  host::TControl* Control = nullptr;

  virtual void Init();
  void SetDefaults();
  void Add(tFulgoArt* Art);

  void Paint();
  void Rebuild();
  void Loaded();
  // Builds a face that loading left pending, leaving the screen palette alone as a render while
  // loading did.
  void BuildFace();
  // What drawing the control needs: its own face, or with a shared palette every member's face and
  // then the palette.
  void BuildFaces();
  // Raises EFulgoError naming the control when Width x Height is beyond the face limits, or negative
  // while the control is read from a stream (layout may ask for a negative size, taken as 0).
  void CheckSize(std::int32_t Width, std::int32_t Height) const;
  // The loading step of a control that was never read from a stream (its first paint does it).
  void LoadIfCreated();
  fLoadedMode GetLoadedMode() const { return loadedMode_; }
  // The control's AllowRebuild: while false, changes are taken but nothing renders.
  bool GetAllowRebuild() const { return rebuildEnabled_; }
  void SetAllowRebuild(bool Value) { rebuildEnabled_ = Value; }
  // Read from a stream and not yet rendered: the face is built when first needed.
  bool IsFacePending() const { return facePending_; }

  void DrawAt(host::TCanvas& ACanvas, std::int32_t X, std::int32_t Y);
  // Drops the saved screen background so that the next transparent draw grabs it anew.
  void LoadBackground() { Sprite.ReLoadBackground(); }
  host::HPALETTE GetPalette() const;
  // The window palette realisation goes to; null while it has none yet.
  host::HWND GetHwnd() const;

  void SetBounds(std::int32_t Left, std::int32_t Top, std::int32_t Width, std::int32_t Height);
  void SetAutoSize(bool Value);
  void SetDrawMode(eDrawMode Value);
  void SetNeededDimension(std::int32_t W, std::int32_t H);
  void SetFulgoPalette(tFulgoPalette* P);

  void RegisterOnePaletteDibs(tFulgoOnePalette& Builder) const;
  int TotalPalettes() const;
  bool HasPicture() const { return CurrentArt && !CurrentArt->Dib->Empty(); }
  void Invalidate();
  // The control's answer to the framework's request to realise its palette: realised into the
  // control's context, in the background unless Foreground; false when it has none to realise.
  bool PaletteChanged(bool Foreground);

 private:
  // What asks for a face to be rendered.
  enum class RenderCause : std::uint8_t {
    Change,  // an art, the size, the draw mode or the state changed (Rebuild)
    Paint,   // a paint found the face empty
    Demand,  // the face is needed now (BuildFace), for painting or for a shared palette
  };
  // Whether a face renders now; the one place that decides it. See the rules beside it.
  bool ShouldRender(RenderCause Cause) const;
  // Sizes the arts and renders them when ShouldRender allows; false when nothing rendered.
  bool RenderFace(RenderCause Cause);
  void JoinGlobalPalette();
  void UpdateScreenPalette();

  fLoadedMode loadedMode_ = fgUnknown;
  // Loaded has run.
  bool loaded_ = false;
  bool rebuildEnabled_ = true;
  // Read from a stream and not yet rendered.
  bool facePending_ = false;
  // The render in progress was asked by a paint.
  bool inPaintRender_ = false;
  // The rebuild in progress was started by SetBounds with a new size, already given to the arts.
  bool sizeFromBounds_ = false;
};

// The initial look of a new button or panel: a background of Brush with a thin black frame and a
// grey shadow 3 pixels down and right.
void SetFramedLook(tFulgoBackground& Back, TColor Brush);

}  // namespace vantora
VANTORA_API_END
