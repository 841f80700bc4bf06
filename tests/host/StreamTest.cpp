#include "host/classes/Stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "support/TempDir.h"

namespace vantora::host {
namespace {

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

TEST(Stream, MemoryStreamReadWriteSeek) {
  TMemoryStream s;
  s.WriteValue<std::uint32_t>(0x11223344);
  s.WriteBuffer("abc", 3);
  EXPECT_EQ(s.Size(), 7);
  EXPECT_EQ(s.Position(), 7);
  EXPECT_EQ(s.Bytes()[0], 0x44);  // little-endian, as written

  s.SetPosition(0);
  EXPECT_EQ(s.ReadValue<std::uint32_t>(), 0x11223344u);
  char text[4] = {};
  EXPECT_EQ(s.Read(text, 10), 3);  // Read answers what it could move
  EXPECT_STREQ(text, "abc");
  EXPECT_EQ(s.Read(text, 1), 0);

  // ReadBuffer is all or nothing.
  s.SetPosition(5);
  EXPECT_EQ(Message([&] { s.ReadBuffer(text, 3); }), "Stream read error");
  EXPECT_THROW(s.ReadValue<std::uint64_t>(), EReadError);
  s.SetPosition(100);
  EXPECT_THROW(s.ReadBuffer(text, 1), EReadError);

  EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 5);
  EXPECT_EQ(s.Seek(1, TSeekOrigin::soCurrent), 6);
  EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
  EXPECT_EQ(s.Position(), 6);

  // Writing beyond the end fills the gap with zeros.
  s.SetPosition(9);
  s.WriteBuffer("z", 1);
  EXPECT_EQ(s.Size(), 10);
  EXPECT_EQ(s.Bytes()[7], 0);
  EXPECT_EQ(s.Bytes()[8], 0);

  s.SetSize(4);
  EXPECT_EQ(s.Position(), 4);
  EXPECT_THROW(s.SetSize(-1), EStreamError);
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
}

TEST(Stream, MemoryStreamCapacity) {
  TMemoryStream s;
  s.SetCapacity(4096);
  EXPECT_GE(s.Capacity(), 4096);
  EXPECT_EQ(s.Size(), 0);
  s.WriteBuffer("x", 1);
  const std::uint8_t* memory = s.Memory();
  const std::vector<std::uint8_t> block(4095, 7);
  s.WriteBuffer(block.data(), static_cast<std::int64_t>(block.size()));
  EXPECT_EQ(s.Memory(), memory);  // no reallocation within the reserved room
  EXPECT_EQ(s.Size(), 4096);
  s.SetCapacity(10);  // never shrinks below what is held
  EXPECT_GE(s.Capacity(), 4096);
}

TEST(Stream, CopyBetweenStreams) {
  TMemoryStream source;
  source.WriteBuffer("0123456789", 10);
  TMemoryStream dest;
  EXPECT_EQ(dest.CopyFrom(source, 0), 10);  // 0 copies all from the start
  EXPECT_EQ(std::string(dest.Bytes().begin(), dest.Bytes().end()), "0123456789");

  source.SetPosition(8);
  EXPECT_THROW(dest.CopyFrom(source, 5), EReadError);
  EXPECT_THROW(dest.CopyFrom(source, -1), EReadError);

  TMemoryStream loaded;
  source.SetPosition(4);
  loaded.LoadFromStream(source);
  EXPECT_EQ(loaded.Size(), 10);
  EXPECT_EQ(loaded.Position(), 0);
}

TEST(Stream, FileStreamRoundTripAndErrors) {
  test::TempDir dir;
  const auto path = dir.Name("data.bin");
  {
    TMemoryStream bytes;
    bytes.WriteValue<std::int32_t>(-7);
    bytes.WriteBuffer("tail", 4);
    bytes.SaveToFile(path);
    TFileStream out(path, TFileMode::fmOpenWrite);
    out.WriteValue<std::int32_t>(-5);
    EXPECT_EQ(out.Size(), 8);
    EXPECT_EQ(out.FileName(), path);
  }
  {
    TFileStream in(path, TFileMode::fmOpenRead);
    EXPECT_EQ(in.ReadValue<std::int32_t>(), -5);
    char tail[5] = {};
    in.ReadBuffer(tail, 4);
    EXPECT_STREQ(tail, "tail");
    EXPECT_THROW(in.ReadBuffer(tail, 1), EReadError);
  }
  {
    TFileStream rw(path, TFileMode::fmOpenReadWrite);
    rw.SetSize(2);
    EXPECT_EQ(rw.Size(), 2);
  }

  TMemoryStream memory;
  memory.WriteBuffer("payload", 7);
  const auto copy = dir.Name("copy.bin");
  memory.SaveToFile(copy);
  TMemoryStream back;
  back.LoadFromFile(copy);
  EXPECT_EQ(back.Bytes(), memory.Bytes());

  const auto missing = dir.Name("missing.bin");
  const std::string openMessage = Message([&] { TFileStream s(missing, TFileMode::fmOpenRead); });
  EXPECT_NE(openMessage.find("Cannot open file \"" + missing + "\""), std::string::npos) << openMessage;
  EXPECT_THROW(TFileStream(missing, TFileMode::fmOpenWrite), EFOpenError);
  const auto nowhere = dir.Name("no/dir/file.bin");
  const std::string createMessage = Message([&] { memory.SaveToFile(nowhere); });
  EXPECT_NE(createMessage.find("Cannot create file \"" + nowhere + "\""), std::string::npos) << createMessage;
  EXPECT_THROW(memory.SaveToFile(nowhere), EFCreateError);

  // A directory is not a file: refused when opened, not read as a stream of unknown size.
  EXPECT_THROW(TFileStream(dir.Path().string(), TFileMode::fmOpenRead), EFOpenError);
  EXPECT_THROW(back.LoadFromFile(dir.Path().string()), EFOpenError);
}

}  // namespace
}  // namespace vantora::host
