// Byte streams of the framework: memory and file streams with one positioned interface.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Errors.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // Read and Write move up to Count bytes and answer how many moved.
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual void SetSize(std::int64_t size) = 0;

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  std::int64_t Size();
  std::int64_t Remaining() { return Size() - Position(); }

  // All or nothing: raise EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies Count bytes from Source at its position (all of Source from its start when Count is 0).
  std::int64_t CopyFrom(TStream& source, std::int64_t count);

  template <class T>
  T ReadValue() {
    T value;
    ReadBuffer(&value, sizeof value);
    return value;
  }
  template <class T>
  void WriteValue(const T& value) {
    WriteBuffer(&value, sizeof value);
  }
};

class TMemoryStream : public TStream {
 public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;

  // Reserves room for Capacity bytes so that writes up to it do not reallocate.
  void SetCapacity(std::int64_t capacity);
  std::int64_t Capacity() const { return static_cast<std::int64_t>(data_.capacity()); }
  void Clear();
  std::uint8_t* Memory() { return data_.data(); }
  const std::uint8_t* Memory() const { return data_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }

  void LoadFromStream(TStream& source);
  void LoadFromFile(const std::string& path);
  void SaveToStream(TStream& dest) const;
  void SaveToFile(const std::string& path) const;

 private:
  std::vector<std::uint8_t> data_;
  std::int64_t position_ = 0;
};

// Open modes of a file stream: an existing file, read or changed in place. A file is written whole
// only through WriteFileAtomically (TMemoryStream::SaveToFile), never truncated where it stands.
enum class TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite };

class TFileStream : public TStream {
 public:
  // Raises EFOpenError naming the file and the system's reason.
  TFileStream(const std::string& path, TFileMode mode);
  ~TFileStream() override;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;
  const std::string& FileName() const { return path_; }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace vantora::host
VANTORA_API_END
