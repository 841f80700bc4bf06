#include "controls/StateFaces.h"

#include <algorithm>

#include "base/Fultype.h"
#include "controls/FulSpr.h"
#include "controls/Fulbtn.h"
#include "controls/Fulint.h"

namespace vantora {

namespace {

// The look the button's own painting picks in State, found with its state set for the moment.
tFulgoArt& ButtonStateArt(TFulgoButton& Button, std::string_view State) {
  const ePressState press = Button.PressState;
  const bool inside = Button.MouseInside;
  Button.PressState = State == "down" ? psDown : State == "disabled" ? psDisabled : psUp;
  Button.MouseInside = State == "hover";
  tFulgoArt* art = Button.StateArt();
  Button.PressState = press;
  Button.MouseInside = inside;
  return *art;
}

// What painting does before it draws: the face built, rendered when nothing has been yet.
void BuildFace(tFulgoInt& Face) {
  Face.LoadIfCreated();
  Face.BuildFaces();
  if (!Face.HasPicture()) Face.Rebuild();
}

std::string ControlName(const tFulgoInt& Face) {
  return Face.Control->Name().empty() ? Face.Control->ClassName() : Face.Control->Name();
}

TRgbaImage FaceOf(const tFulgoInt& Face, const tFulgoArt* Art, std::string_view State) {
  if (!Art || Art->Dib->Empty())
    throw EFulgoError(ControlName(Face) + " has no picture for its " + std::string(State) + " face");
  const TFaceArea area = FaceArea(*Art, Face.DrawMode == edOpaque);
  return RgbaOfDib(*Art->Dib, Face.Control->Width(), Face.Control->Height(), area.X, area.Y, area.Width,
                   area.Height);
}

}  // namespace

std::vector<std::string> StateNames(const tFulgoControl& Control) {
  if (dynamic_cast<const TFulgoButton*>(&Control))
    return {kButtonStateNames.begin(), kButtonStateNames.end()};
  return {std::string(kPlainFaceName)};
}

std::vector<TStateFace> RenderStateFaces(tFulgoControl& Control) {
  std::vector<TStateFace> faces;
  for (const std::string& state : StateNames(Control))
    faces.push_back({state, RenderStateFace(Control, state)});
  return faces;
}

TRgbaImage RenderStateFace(tFulgoControl& Control, std::string_view State) {
  tFulgoInt& face = Control.FulgoInt();
  const std::vector<std::string> names = StateNames(Control);
  if (std::find(names.begin(), names.end(), State) == names.end()) {
    std::string known;
    for (const std::string& name : names) known += (known.empty() ? "" : ", ") + name;
    throw EFulgoError(ControlName(face) + " has no state \"" + std::string(State) + "\" (it has " + known +
                      ")");
  }
  BuildFace(face);
  auto* button = dynamic_cast<TFulgoButton*>(&Control);
  return FaceOf(face, button ? &ButtonStateArt(*button, State) : face.CurrentArt, State);
}

}  // namespace vantora
