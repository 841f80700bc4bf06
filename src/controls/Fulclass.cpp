#include "controls/Fulclass.h"

#include "controls/Fulbtn.h"
#include "controls/Fulcust.h"
#include "controls/Fulgen.h"
#include "controls/Fulgopal.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "controls/Qorspin2.h"

namespace vantora {

void RegisterFulgoClasses() {
  for (const host::TClass* cls :
       {&tFulgoPalette::StaticClass(), &oFulgoPalette::StaticClass(), &TFulgoGraphicControl::StaticClass(),
        &TFulgoGen::StaticClass(), &TFulgoLabel::StaticClass(), &oFulgoLabel::StaticClass(),
        &TFulgoSpeedButton::StaticClass(), &tFulgoButtonArt::StaticClass(), &TFulgoButton::StaticClass(),
        &oFulgoButton::StaticClass(), &tQorSpinButton::StaticClass(), &tQorSpin2::StaticClass()})
    host::RegisterClass(*cls);
}

}  // namespace vantora

// A static library drops units nothing refers to, and their classes with them; every program that
// links this layer asks for this symbol (see the layer's link options), which pulls the classes in.
extern "C" void vantora_controls_unit() {}

namespace {
[[maybe_unused]] const bool registered = (vantora::RegisterFulgoClasses(), true);
}  // namespace
