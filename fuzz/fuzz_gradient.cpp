// Feeds bytes to the gradient's readers. The first byte chooses the way in: the "ZizeruWiz" list in a
// component stream (0) or in its text form (1), the list alone (2), or the change record (3). Any
// outcome but a clean read or a library exception is a finding; a gradient that was read must write
// and read back to the same values, and must render within its bitmap.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "effects/Fulgrd.h"
#include "host/classes/Filer.h"
#include "host/classes/Platform.h"
#include "host/classes/TextForm.h"

namespace {

using namespace vantora;

class TGradientHolder : public host::TComponent {
  VANTORA_PERSISTENT(TGradientHolder)
  explicit TGradientHolder(host::TComponent* owner) : host::TComponent(owner), gradient_(nullptr) {}
  tFulgoGradient* Gradient() const { return const_cast<tFulgoGradient*>(&gradient_); }

 private:
  tFulgoGradient gradient_;
};

const host::TClass& TGradientHolder::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<TGradientHolder>("TGradientHolder", host::TComponent::StaticClass())
          .ReadOnly("Gradient", &TGradientHolder::Gradient, nullptr)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TGradientHolder);

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// The stops a writer puts out: up to and including the first without steps.
int WrittenStops(const tFulgoGradient& g) {
  int i = 0;
  while (i < kMaxVortex - 1 && g.Vortex[static_cast<std::size_t>(i)].Steps != 0) ++i;
  return i + 1;
}

bool SameStops(const tFulgoGradient& a, const tFulgoGradient& b, int count, bool withIndex) {
  for (int i = 0; i < count; ++i) {
    const tVortex& x = a.Vortex[static_cast<std::size_t>(i)];
    const tVortex& y = b.Vortex[static_cast<std::size_t>(i)];
    if (x.Blue != y.Blue || x.Green != y.Green || x.Red != y.Red || x.Steps != y.Steps) return false;
    if (withIndex && x.Index != y.Index) return false;
  }
  return true;
}

void RoundTrips(tFulgoGradient& g) {
  host::TMemoryStream list;
  g.SaveToStream(list);
  list.SetPosition(0);
  tFulgoGradient fromList(nullptr);
  fromList.LoadFromStream(list);
  Check(SameStops(fromList, g, WrittenStops(g), true));

  const tFulgoGradient reference(nullptr);
  host::TMemoryStream changes;
  g.WriteChanges(changes, &reference);
  changes.SetPosition(0);
  tFulgoGradient fromChanges(nullptr);
  fromChanges.ReadChanges(changes);
  Check(fromChanges.GradType == g.GradType && fromChanges.InMode == g.InMode &&
        fromChanges.Angle == g.Angle && fromChanges.GradWidth == g.GradWidth &&
        fromChanges.GradHeight == g.GradHeight && fromChanges.Discr == g.Discr);
  Check(SameStops(fromChanges, g, WrittenStops(g), false));
}

// Sizes are folded so that a run stays fast; everything else renders as read.
void Render(const tFulgoGradient& g) {
  tFulgoGradient r(nullptr);
  r.Assign(&g);
  r.GradWidth = static_cast<std::int16_t>(r.GradWidth % 300);
  r.GradHeight = static_cast<std::int16_t>(r.GradHeight % 300);
  tFulgoDib d;
  r.CreateGradient(d);
  if (!d.Empty())
    Check(d.GetWidth() == std::max<int>(r.GradWidth, 2) && d.GetHeight() == std::max<int>(r.GradHeight, 2));
  if (auto* boxes = host::HeadlessMessageBoxInstalled()) boxes->ClearHistory();
}

std::unique_ptr<TGradientHolder> ReadHolder(const std::string& binary) {
  host::TMemoryStream s;
  s.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
  s.SetPosition(0);
  std::unique_ptr<host::TComponent> root(host::ReadComponent(s));
  if (!dynamic_cast<TGradientHolder*>(root.get())) return nullptr;
  return std::unique_ptr<TGradientHolder>(static_cast<TGradientHolder*>(root.release()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    switch (data[0] % 4) {
      case 0:
      case 1: {
        auto holder = ReadHolder(data[0] % 4 == 0 ? bytes : host::ObjectTextToBinary(bytes));
        if (!holder) return 0;
        RoundTrips(*holder->Gradient());
        Render(*holder->Gradient());
        break;
      }
      case 2: {
        tFulgoGradient g(nullptr);
        host::TMemoryStream s;
        s.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        s.SetPosition(0);
        g.LoadFromStream(s);
        RoundTrips(g);
        Render(g);
        break;
      }
      default: {
        tFulgoGradient g(nullptr);
        host::TMemoryStream s;
        s.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        s.SetPosition(0);
        g.ReadChanges(s);
        RoundTrips(g);
        Render(g);
        break;
      }
    }
  } catch (const host::Exception&) {
  }
  return 0;
}
