#include "model/Fullblart.h"

namespace vantora {

const host::TClass& tFulgoLabelArt::StaticClass() {
  using L = tFulgoLabelArt;
  // The objects are filled in place by the stream; they are never replaced.
  static const host::TClass& cls = host::ClassBuilder<L>("tFulgoLabelArt", tFulgoArt::StaticClass())
                                       .ReadOnly("FulgoText", &L::GetFulgoText, nullptr)
                                       .ReadOnly("FulgoBackground", &L::GetFulgoBackground, nullptr)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoLabelArt);

tFulgoLabelArt::tFulgoLabelArt(tFulgoPersistent* AOwner) : tFulgoArt(AOwner) {
  AddFulgoObjects();
}

void tFulgoLabelArt::AddFulgoObjects() {
  tFulgoArt::AddFulgoObjects();
  FulgoBackground = Objects.Add(std::make_unique<tFulgoBackground>(this));
  FulgoText = Objects.Add(std::make_unique<tFulgoText>(this));
}

std::unique_ptr<tFulgoArt> tFulgoLabelArt::NewArt() const {
  return std::make_unique<tFulgoLabelArt>(nullptr);
}

}  // namespace vantora
