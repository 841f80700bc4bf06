#include "host/classes/ComponentFormat.h"

#include <cstring>
#include <limits>

namespace vantora::host {

const char* ValueTypeName(TValueType type) {
  switch (type) {
    case TValueType::vaNull: return "end of list";
    case TValueType::vaList: return "list";
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32:
    case TValueType::vaInt64: return "integer";
    case TValueType::vaDouble: return "float";
    case TValueType::vaString: return "string";
    case TValueType::vaIdent: return "identifier";
    case TValueType::vaFalse:
    case TValueType::vaTrue: return "boolean";
    case TValueType::vaBinary: return "binary data";
    case TValueType::vaSet: return "set";
    case TValueType::vaNil: return "nil";
  }
  return "unknown value";
}

void FormatReader::Fail(const std::string& problem, std::int64_t offset) const {
  std::string message = problem;
  if (!context_.empty()) message += " in " + context_;
  message += " at offset " + std::to_string(offset);
  throw EReadError(message);
}

std::uint8_t FormatReader::ReadByte() {
  std::uint8_t byte = 0;
  ReadBytes(&byte, 1);
  return byte;
}

void FormatReader::ReadBytes(void* buffer, std::int64_t count) {
  const std::int64_t offset = Offset();
  if (stream_.Read(buffer, count) != count) Fail("Unexpected end of stream", offset);
}

void FormatReader::ReadSignature() {
  char signature[4];
  const std::int64_t offset = Offset();
  ReadBytes(signature, 4);
  if (std::memcmp(signature, kComponentSignature, 4) != 0) Fail("Not a component stream (bad signature)", offset);
}

std::string FormatReader::ReadName() {
  const std::uint8_t length = ReadByte();
  std::string name(length, '\0');
  ReadBytes(name.data(), length);
  return name;
}

bool FormatReader::AtEnd() {
  const std::int64_t offset = Offset();
  const std::uint8_t byte = ReadByte();
  stream_.SetPosition(offset);
  return byte == 0;
}

void FormatReader::ReadEnd() {
  const std::int64_t offset = Offset();
  if (ReadByte() != 0) Fail("Expected end of sequence", offset);
}

TValueType FormatReader::ReadValueType() {
  const std::int64_t offset = Offset();
  const std::uint8_t tag = ReadByte();
  if (tag > static_cast<std::uint8_t>(TValueType::vaNil)) Fail("Unknown value tag " + std::to_string(tag), offset);
  return static_cast<TValueType>(tag);
}

TValueType FormatReader::PeekValueType() {
  const std::int64_t offset = Offset();
  const TValueType type = ReadValueType();
  stream_.SetPosition(offset);
  return type;
}

std::int64_t FormatReader::ReadIntegerPayload(TValueType type) {
  switch (type) {
    case TValueType::vaInt8: {
      std::int8_t v;
      ReadBytes(&v, 1);
      return v;
    }
    case TValueType::vaInt16: {
      std::int16_t v;
      ReadBytes(&v, 2);
      return v;
    }
    case TValueType::vaInt32: {
      std::int32_t v;
      ReadBytes(&v, 4);
      return v;
    }
    case TValueType::vaInt64: {
      std::int64_t v;
      ReadBytes(&v, 8);
      return v;
    }
    default: Fail(std::string("Expected an integer, found ") + ValueTypeName(type));
  }
}

double FormatReader::ReadDoublePayload() {
  double v;
  ReadBytes(&v, 8);
  return v;
}

std::string FormatReader::ReadBytesPayload() {
  std::uint32_t length = 0;
  ReadBytes(&length, 4);
  // The length is checked against what the stream holds before anything is allocated.
  if (static_cast<std::int64_t>(length) > stream_.Size() - Offset())
    Fail("Data length " + std::to_string(length) + " runs past the end of the stream", Offset() - 4);
  std::string bytes(length, '\0');
  ReadBytes(bytes.data(), length);
  return bytes;
}

std::vector<std::string> FormatReader::ReadSetPayload() {
  std::vector<std::string> names;
  for (std::string name = ReadName(); !name.empty(); name = ReadName()) names.push_back(std::move(name));
  return names;
}

void FormatWriter::WriteSignature() { stream_.WriteBuffer(kComponentSignature, 4); }

void FormatWriter::WriteName(std::string_view name) {
  if (name.size() > 255) throw EWriteError("Name too long for a component stream: " + std::string(name));
  const auto length = static_cast<std::uint8_t>(name.size());
  stream_.WriteBuffer(&length, 1);
  stream_.WriteBuffer(name.data(), length);
}

void FormatWriter::WriteEnd() {
  const std::uint8_t zero = 0;
  stream_.WriteBuffer(&zero, 1);
}

void FormatWriter::WriteValueType(TValueType type) {
  const auto tag = static_cast<std::uint8_t>(type);
  stream_.WriteBuffer(&tag, 1);
}

void FormatWriter::WriteInteger(std::int64_t value) {
  if (value >= std::numeric_limits<std::int8_t>::min() && value <= std::numeric_limits<std::int8_t>::max()) {
    WriteValueType(TValueType::vaInt8);
    stream_.WriteValue(static_cast<std::int8_t>(value));
  } else if (value >= std::numeric_limits<std::int16_t>::min() &&
             value <= std::numeric_limits<std::int16_t>::max()) {
    WriteValueType(TValueType::vaInt16);
    stream_.WriteValue(static_cast<std::int16_t>(value));
  } else if (value >= std::numeric_limits<std::int32_t>::min() &&
             value <= std::numeric_limits<std::int32_t>::max()) {
    WriteValueType(TValueType::vaInt32);
    stream_.WriteValue(static_cast<std::int32_t>(value));
  } else {
    WriteValueType(TValueType::vaInt64);
    stream_.WriteValue(value);
  }
}

void FormatWriter::WriteDouble(double value) {
  WriteValueType(TValueType::vaDouble);
  stream_.WriteValue(value);
}

void FormatWriter::WriteBytesPayload(TValueType type, std::string_view bytes) {
  if (bytes.size() > std::numeric_limits<std::uint32_t>::max())
    throw EWriteError("Value too large for a component stream");
  WriteValueType(type);
  stream_.WriteValue(static_cast<std::uint32_t>(bytes.size()));
  stream_.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void FormatWriter::WriteString(std::string_view value) { WriteBytesPayload(TValueType::vaString, value); }
void FormatWriter::WriteBinary(std::string_view bytes) { WriteBytesPayload(TValueType::vaBinary, bytes); }

void FormatWriter::WriteIdent(std::string_view ident) {
  WriteValueType(TValueType::vaIdent);
  WriteName(ident);
}

void FormatWriter::WriteBoolean(bool value) { WriteValueType(value ? TValueType::vaTrue : TValueType::vaFalse); }

void FormatWriter::WriteSet(const std::vector<std::string>& names) {
  WriteValueType(TValueType::vaSet);
  for (const auto& name : names) WriteName(name);
  WriteEnd();
}

void FormatWriter::WriteNil() { WriteValueType(TValueType::vaNil); }

}  // namespace vantora::host
