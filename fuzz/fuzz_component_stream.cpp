// Feeds bytes to the component reader (with classes of every property kind registered) and to the
// binary-to-text converter. Any outcome but a clean result or a host exception is a finding.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"

namespace {

using namespace vantora::host;

enum class TMode { mdA, mdB, mdC };
const TEnumInfo& TypeInfoOf(TMode) {
  static const TEnumInfo info{"TMode", {"mdA", "mdB", "mdC"}};
  return info;
}

class TFuzzPart : public TPersistent {
  VANTORA_PERSISTENT(TFuzzPart)
  int Size = 0;
  std::string Data;
  void DefineProperties(TFiler& filer) override {
    filer.DefineProperty(
        "List",
        [](TReader& r) {
          r.ReadListBegin();
          while (!r.EndOfList()) r.ReadInteger();
          r.ReadListEnd();
        },
        nullptr, false);
    filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& s) {
          Data.resize(static_cast<std::size_t>(s.Size()));
          s.ReadBuffer(Data.data(), s.Size());
        },
        nullptr, false);
  }
};
const TClass& TFuzzPart::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TFuzzPart>("TFuzzPart", TPersistent::StaticClass()).Field("Size", &TFuzzPart::Size, 0).Build();
  return cls;
}

class TFuzzThing : public TComponent {
  VANTORA_PERSISTENT(TFuzzThing)
  using TComponent::TComponent;
  std::int16_t Small = 0;
  char Letter = 'a';
  bool Flag = false;
  TMode Mode = TMode::mdA;
  TSet<TMode> Modes;
  double Ratio = 0;
  std::string Text;
  TFuzzPart part;
  TFuzzThing* Peer = nullptr;
  TFuzzPart* GetPart() const { return const_cast<TFuzzPart*>(&part); }
  TFuzzThing* GetPeer() const { return Peer; }
  void SetPeer(TFuzzThing* p) { Peer = p; }
};
const TClass& TFuzzThing::StaticClass() {
  static const TClass& cls = ClassBuilder<TFuzzThing>("TFuzzThing", TComponent::StaticClass())
                                 .Field("Small", &TFuzzThing::Small, 0)
                                 .Field("Letter", &TFuzzThing::Letter, 'a')
                                 .Field("Flag", &TFuzzThing::Flag, false)
                                 .Field("Mode", &TFuzzThing::Mode, TMode::mdA)
                                 .Field("Modes", &TFuzzThing::Modes, TSet<TMode>{})
                                 .Field("Ratio", &TFuzzThing::Ratio, 0.0)
                                 .Field("Text", &TFuzzThing::Text, "")
                                 .ReadOnly("Part", &TFuzzThing::GetPart, nullptr)
                                 .Property("Peer", &TFuzzThing::GetPeer, &TFuzzThing::SetPeer)
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TFuzzThing);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    std::unique_ptr<TComponent> root(ReadComponent(stream));
    // Whatever was read must write and read back.
    TMemoryStream again;
    WriteComponent(again, *root);
    again.SetPosition(0);
    std::unique_ptr<TComponent> copy(ReadComponent(again));
  } catch (const Exception&) {
  }
  try {
    const std::string text = ObjectBinaryToText(bytes);
    // Text made from a stream must convert back to an equivalent stream.
    if (ObjectBinaryToText(ObjectTextToBinary(text)) != text) __builtin_trap();
  } catch (const Exception&) {
  }
  return 0;
}
