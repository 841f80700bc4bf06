// The binary component-stream format, item by item: the value tags, checked reading with the
// offset of every failure, and writing. The component reader and writer and the text-form converter
// share it, so the format is defined in one place (described in docs/formats.md).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Stream.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum class TValueType : std::uint8_t {
  vaNull = 0,  // ends a list
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaInt64 = 5,
  vaDouble = 6,
  vaString = 7,
  vaIdent = 8,
  vaFalse = 9,
  vaTrue = 10,
  vaBinary = 11,
  vaSet = 12,
  vaNil = 13,
};

const char* ValueTypeName(TValueType type);

inline constexpr char kComponentSignature[4] = {'V', 'N', 'T', '0'};
// Deepest nesting of components, nested persistents and lists that a stream may hold.
inline constexpr int kMaxComponentDepth = 64;
inline constexpr int kMaxListDepth = 16;

class FormatReader {
 public:
  explicit FormatReader(TStream& stream) : stream_(stream) {}

  void ReadSignature();
  // A name: one length byte, then that many characters. An empty name ends properties.
  std::string ReadName();
  // Answers whether the next byte ends a sequence (0), without consuming it.
  bool AtEnd();
  void ReadEnd();
  TValueType ReadValueType();
  TValueType PeekValueType();

  // Payloads following a tag already read.
  std::int64_t ReadIntegerPayload(TValueType type);
  double ReadDoublePayload();
  std::string ReadBytesPayload();  // strings and binary data
  std::vector<std::string> ReadSetPayload();

  std::int64_t Offset() { return stream_.Position(); }
  // What is being read, for messages: "property Form1.Label1.Caption".
  void SetContext(std::string context) { context_ = std::move(context); }
  const std::string& Context() const { return context_; }
  // Raises EReadError naming the problem, the context and the offset where it was found.
  [[noreturn]] void Fail(const std::string& problem, std::int64_t offset) const;
  [[noreturn]] void Fail(const std::string& problem) { Fail(problem, Offset()); }

 private:
  std::uint8_t ReadByte();
  void ReadBytes(void* buffer, std::int64_t count);

  TStream& stream_;
  std::string context_;
};

class FormatWriter {
 public:
  explicit FormatWriter(TStream& stream) : stream_(stream) {}

  void WriteSignature();
  void WriteName(std::string_view name);  // raises EWriteError beyond 255 characters
  void WriteEnd();
  void WriteValueType(TValueType type);
  // In the smallest integer item that holds the value.
  void WriteInteger(std::int64_t value);
  void WriteDouble(double value);
  void WriteString(std::string_view value);
  void WriteBinary(std::string_view bytes);
  void WriteIdent(std::string_view ident);
  void WriteBoolean(bool value);
  void WriteSet(const std::vector<std::string>& names);
  void WriteNil();

 private:
  void WriteBytesPayload(TValueType type, std::string_view bytes);

  TStream& stream_;
};

}  // namespace vantora::host
VANTORA_API_END
