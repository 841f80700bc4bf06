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
  auto background = std::make_unique<tFulgoBackground>(this);
  auto text = std::make_unique<tFulgoText>(this);
  FulgoBackground = background.get();
  FulgoText = text.get();
  Objects.Add(background.release());
  Objects.Add(text.release());
}

std::unique_ptr<tFulgoArt> tFulgoLabelArt::NewArt() const {
  return std::make_unique<tFulgoLabelArt>(nullptr);
}

}  // namespace vantora
