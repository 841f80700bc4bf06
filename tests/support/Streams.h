// Components to and from the text form of the component stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/classes/Filer.h"
#include "host/classes/Stream.h"
#include "host/classes/TextForm.h"

namespace vantora::test {

// Replaces what the stream holds by Bytes and returns to its start.
inline void SetBytes(host::TMemoryStream& stream, const std::string& bytes) {
  stream.Clear();
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
}

// The text form of a binary component stream.
inline std::string TextOf(const host::TMemoryStream& stream) {
  return host::ObjectBinaryToText(std::string(stream.Bytes().begin(), stream.Bytes().end()));
}

// The text form of what the component writer stores for C.
inline std::string ToText(host::TComponent& component) {
  host::TMemoryStream stream;
  host::WriteComponent(stream, component);
  return TextOf(stream);
}

// The root component the text form describes, when it is a T; null otherwise.
template <class T>
std::unique_ptr<T> FromText(const std::string& text) {
  host::TMemoryStream stream;
  SetBytes(stream, host::ObjectTextToBinary(text));
  std::unique_ptr<host::TComponent> root(host::ReadComponent(stream));
  if (!dynamic_cast<T*>(root.get())) return nullptr;
  return std::unique_ptr<T>(static_cast<T*>(root.release()));
}

}  // namespace vantora::test
