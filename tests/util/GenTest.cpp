#include "util/Gen.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "host/classes/Errors.h"
#include "host/classes/Platform.h"
#include "support/TempDir.h"

namespace vantora {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Items(const host::TStringList* list) {
  if (!list) return {};
  return {list->begin(), list->end()};
}

using Strings = std::vector<std::string>;

using test::TempDir;

TEST(Gen, PointerAndIntegerHelpers) {
  unsigned char bytes[8] = {};
  EXPECT_EQ(IncPt(bytes, 5), bytes + 5);
  EXPECT_EQ(IncPt(static_cast<const void*>(bytes + 5), -5), bytes);
  EXPECT_EQ(IncPtr(0x7FFFFFFF, 1), INT32_MIN);  // wraps, no overflow trap

  EXPECT_EQ(Align(0), 0);
  EXPECT_EQ(Align(1), 4);
  EXPECT_EQ(Align(4), 4);
  EXPECT_EQ(Align(5), 8);
  EXPECT_EQ(Align(641), 644);
}

TEST(Gen, MaxMinLeaveStandardOnesAlone) {
  // Inside the namespace, unqualified int calls pick ours and std's templates still work for others.
  std::int32_t a = 4, b = 9;
  EXPECT_EQ(max(a, b), 9);
  EXPECT_EQ(min(a, b), 4);
  EXPECT_DOUBLE_EQ(std::max(2.5, 1.0), 2.5);
  EXPECT_EQ(std::min<std::int64_t>(5, 3), 3);
  const std::string s1 = "abc", s2 = "abd";
  EXPECT_EQ(std::max(s1, s2), "abd");
}

TEST(Gen, RoundUp) {
  EXPECT_EQ(RoundUp(2.0), 2);
  EXPECT_EQ(RoundUp(2.01), 3);
  EXPECT_EQ(RoundUp(-1.5), 0);
  EXPECT_EQ(RoundUp(-2.0), -2);
  EXPECT_EQ(RoundUp(1e12), INT32_MAX);
  EXPECT_EQ(RoundUp(std::nan("")), 0);
}

TEST(Gen, IntegerConversions) {
  EXPECT_TRUE(CheckLegalStrToInt("123"));
  EXPECT_TRUE(CheckLegalStrToInt("-2147483648"));
  EXPECT_TRUE(CheckLegalStrToInt("  +7"));
  EXPECT_TRUE(CheckLegalStrToInt("$1F"));
  EXPECT_TRUE(CheckLegalStrToInt("1"));  // the value of a default must not fool the test
  EXPECT_FALSE(CheckLegalStrToInt(""));
  EXPECT_FALSE(CheckLegalStrToInt("12a"));
  EXPECT_FALSE(CheckLegalStrToInt("12 "));
  EXPECT_FALSE(CheckLegalStrToInt("2147483648"));

  EXPECT_EQ(HexStrToInt("ff"), 255);
  EXPECT_EQ(HexStrToInt("FF"), 255);
  EXPECT_EQ(HexStrToInt(""), 0);
  EXPECT_EQ(HexStrToInt("0x1F"), 31);
  EXPECT_EQ(HexStrToInt("1G"), 0);
  EXPECT_EQ(HexStrToInt("FFFFFFFF"), -1);
  EXPECT_EQ(HexStrToInt("123456789"), 0x23456789);  // digits beyond 32 bits drop out
}

TEST(Gen, TrimAndPositions) {
  EXPECT_EQ(TrimR("  a b  "), "  a b");
  EXPECT_EQ(TrimL("  a b  "), "a b  ");
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");  // only spaces are blank here

  EXPECT_EQ(StrLeft("abc", 2), "ab");
  EXPECT_EQ(StrLeft("abc", 5), "abc");
  EXPECT_EQ(StrLeft("abc", 0), "");
  EXPECT_EQ(StrLeft("abc", -4), "");
  EXPECT_EQ(StrRight("abcdef", 2), "ef");
  EXPECT_EQ(StrRight("ab", 5), "ab");
  EXPECT_EQ(FromMid("abcdef", 3), "cdef");
  EXPECT_EQ(FromMid("abcdef", 0), "abcdef");
  EXPECT_EQ(FromMid("abcdef", 7), "");
  EXPECT_EQ(FromMid("abcdef", INT32_MIN), "abcdef");
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abcdef", 50, 2), "");

  EXPECT_EQ(vantora::strstr("abcabc", "bc"), 3);
  EXPECT_EQ(vantora::strstr("abcabc", "BC"), 0);
  EXPECT_EQ(vantora::strstr("abc", ""), 0);
  EXPECT_EQ(posr("bc", "abcabc"), 5);
  EXPECT_EQ(posr("a", "abc"), 1);
  EXPECT_EQ(posr("c", "abc"), 3);
  EXPECT_EQ(posr("", "abc"), 0);
}

TEST(Gen, PathHelpers) {
  EXPECT_EQ(GetFileName("C:\\dir\\file.txt"), "file.txt");
  EXPECT_EQ(GetPath("C:\\dir\\file.txt"), "C:\\dir\\");
  EXPECT_EQ(CoreFile("C:\\dir\\file.txt"), "file");
  EXPECT_EQ(GetFileName("file.txt"), "file.txt");
  EXPECT_EQ(GetPath("file.txt"), "");
  EXPECT_EQ(CoreFile("a.b.lbl"), "a");
  EXPECT_EQ(CoreFile("dir\\.hidden"), ".hidden");
  EXPECT_EQ(CoreFile("dir\\"), "");
  // At most 100 characters are kept after each backslash.
  EXPECT_EQ(CoreFile("x\\" + std::string(150, 'n')), std::string(100, 'n'));
}

TEST(Gen, RepeatAndPad) {
  EXPECT_EQ(Dup("ab", 3), "ababab");
  EXPECT_EQ(Dup("ab", -2), "");
  EXPECT_EQ(Space(3), "   ");
  EXPECT_EQ(PadR("ab", 4), "ab  ");
  EXPECT_EQ(PadL("ab", 4), "  ab");
  EXPECT_EQ(PadL("abcdef", 3), "abc");
  EXPECT_EQ(PadL("ab", -1), "");
}

TEST(Gen, ZeroTerminatedBuffers) {
  const auto p = StrToPChar("hello");
  EXPECT_STREQ(p.get(), "hello");

  EXPECT_EQ(strPPas("hello", 3), "hel");
  EXPECT_EQ(strPPas(nullptr, 3), "");
  const char unterminated[3] = {'a', 'b', 'c'};
  EXPECT_EQ(strPPas(unterminated, 3), "abc");

  char buffer[8] = "ab";
  EXPECT_EQ(StrpCat(buffer, sizeof buffer, "cd"), buffer);
  EXPECT_STREQ(buffer, "abcd");
  StrpCat(buffer, sizeof buffer, "efghij");  // only three more fit
  EXPECT_STREQ(buffer, "abcdefg");

  EXPECT_EQ(StrCount("abababa", "aba"), 2);
  EXPECT_EQ(StrCount("aaaa", "aa"), 2);
  EXPECT_EQ(StrCount("abc", ""), 0);
  EXPECT_EQ(StrCount(nullptr, "a"), 0);
  EXPECT_TRUE(StrCompPChar("abc", "abc"));
  EXPECT_FALSE(StrCompPChar("ABC", "abc"));
  EXPECT_TRUE(StrCompPChar("", nullptr));
}

TEST(Gen, MemCopyGoesUpwardByteByByte) {
  unsigned char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  MemCopy(bytes + 2, bytes, 6);  // the first two bytes repeat through the overlap
  const unsigned char expected[8] = {1, 2, 1, 2, 1, 2, 1, 2};
  EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof bytes));
  MemCopy(bytes, expected, -5);
  EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof bytes));
}

TEST(Gen, CompareAndEmpty) {
  EXPECT_TRUE(CT("  Hello ", "hELLO"));
  EXPECT_FALSE(CT("Hello", "Hell"));
  EXPECT_TRUE(Empty(""));
  EXPECT_FALSE(Empty(" x "));
  EXPECT_TRUE(Empty("  /  /  "));
  EXPECT_TRUE(Empty("  /12/1999"));
  EXPECT_FALSE(Empty("01/02/03"));
  EXPECT_FALSE(Empty("  /  /  x"));  // length 9 is no date: every character counts
}

TEST(Gen, Tokens) {
  EXPECT_EQ(Items(Tokenis("  a  b ", " ").get()), (Strings{"a", "b"}));
  EXPECT_EQ(Items(Tokenis(" abc", " ").get()), (Strings{"abc"}));
  EXPECT_EQ(Items(Tokenis("abc", ",").get()), (Strings{"abc"}));
  EXPECT_EQ(Items(Tokenis("a,b;;c", ",;").get()), (Strings{"a", "b", "c"}));
  ASSERT_NE(Tokenis("", " "), nullptr);
  EXPECT_EQ(Tokenis("", " ")->Count(), 0);
  EXPECT_EQ(Tokenis("   ", " ")->Count(), 0);
  EXPECT_EQ(Tokenis(nullptr, " ")->Count(), 0);
  // The copy is zero-terminated, so an embedded 0 ends the text.
  EXPECT_EQ(Items(sTokenis(std::string("a b\0c d", 7), " ").get()), (Strings{"a", "b"}));
  // Tokens keep their order even when they would sort differently.
  EXPECT_EQ(Items(sTokenis("z y x", " ").get()), (Strings{"z", "y", "x"}));
}

TEST(Gen, SplitString) {
  std::string left, right;
  SplitString(left, right, "Name=Value", "=");
  EXPECT_EQ(left, "Name");
  EXPECT_EQ(right, "Value");
  SplitString(left, right, "Name=Value", "NAME");
  EXPECT_EQ(left, "");
  EXPECT_EQ(right, "=Value");
  SplitString(left, right, "one AND two and three", "and");
  EXPECT_EQ(left, "one ");
  EXPECT_EQ(right, " two and three");
  SplitString(left, right, "no separator", "=");
  EXPECT_EQ(left, "no separator");
  EXPECT_EQ(right, "");
  SplitString(left, right, "trail=", "=");
  EXPECT_EQ(left, "trail");
  EXPECT_EQ(right, "");

  std::string s = "key:value";
  SplitString(s, right, s, ":");  // the result may overwrite its own source
  EXPECT_EQ(s, "key");
  EXPECT_EQ(right, "value");
}

TEST(Gen, TextFiles) {
  std::istringstream text("\n   \nfirst line\r\n\n  /  /  \n  indented  \nlast");
  std::string line;
  ReadNotEmpty(text, line);
  EXPECT_EQ(line, "first line");
  ReadNotEmpty(text, line);
  EXPECT_EQ(line, "/  /  ");  // the blanks before a line are consumed by the end test
  ReadNotEmpty(text, line);
  EXPECT_EQ(line, "indented  ");
  ReadNotEmpty(text, line);
  EXPECT_EQ(line, "last");
  ReadNotEmpty(text, line);
  EXPECT_EQ(line, "");
  ReadNotEmpty(text, line);
  EXPECT_EQ(line, "");

  std::istringstream tokens("  \n alpha  beta\ngamma\n\n");
  EXPECT_EQ(Items(ReadTokens(tokens).get()), (Strings{"alpha", "beta"}));
  EXPECT_EQ(Items(ReadTokens(tokens).get()), (Strings{"gamma"}));
  EXPECT_EQ(ReadTokens(tokens), nullptr);

  // A line longer than the 1023-character buffer is cut there.
  std::istringstream longLine(std::string(1020, 'a') + " bcdefgh\n");
  EXPECT_EQ(Items(ReadTokens(longLine).get()), (Strings{std::string(1020, 'a'), "bc"}));

  std::ifstream closed("/nonexistent/vantora/file.txt");  // failed to open
  EXPECT_THROW(ReadNotEmpty(closed, line), host::EInOutError);
  EXPECT_THROW(ReadTokens(closed), host::EInOutError);
}

TEST(Gen, TextFileToList) {
  TempDir dir;
  const auto path = dir.File("list.txt", "one\r\n\r\n  two\n   \nthree");
  EXPECT_EQ(Items(TextFileToList(path).get()), (Strings{"one", "two", "three"}));
  EXPECT_EQ(TextFileToList(dir.File("empty.txt", ""))->Count(), 0);

  const auto missing = dir.Name("missing.txt");
  try {
    TextFileToList(missing);
    FAIL() << "a missing file must raise";
  } catch (const host::EInOutError& e) {
    EXPECT_NE(e.Message().find(missing), std::string::npos);
  }
  EXPECT_THROW(TextFileToList(dir.Path().string()), host::EInOutError);
}

TEST(Gen, DateAndTimeAreLocal) {
  std::tm local{};
  local.tm_year = 2004 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 7;
  local.tm_hour = 18;
  local.tm_min = 5;
  local.tm_sec = 9;
  local.tm_isdst = -1;
  const auto when =
      std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(900);
  EXPECT_EQ(DateToString(when), "07/03/04");
  EXPECT_EQ(TimeToString(when), "18:05:09");
}

TEST(Gen, AutoSetFileDate) {
  TempDir dir;
  const auto path = dir.File("dated.txt", "x");
  const auto when = std::chrono::system_clock::from_time_t(1000000000) + std::chrono::milliseconds(250);
  AutoSetFileDate(path, when);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 250000000);
  // A missing file is no error and creates nothing.
  const auto missing = dir.Name("missing.txt");
  AutoSetFileDate(missing, when);
  EXPECT_FALSE(fs::exists(missing));
}

TEST(Gen, ExecAndWaitStartsWithoutWaiting) {
  EXPECT_GT(ExecAndWait("true"), 0);  // found on PATH
  EXPECT_GT(ExecAndWait("/bin/true"), 0);
  EXPECT_EQ(ExecAndWait("/nonexistent/vantora-program"), 0);
  EXPECT_EQ(ExecAndWait(""), 0);

  // The call returns while the program still runs: its marker, written after a pause, is not
  // there yet, and it appears later.
  TempDir dir;
  const auto script = dir.File("later.sh", "#!/bin/sh\nsleep 0.3\ntouch \"$0.done\"\n");
  fs::permissions(script, fs::perms::owner_all);
  EXPECT_GT(ExecAndWait(script), 0);
  EXPECT_FALSE(fs::exists(script + ".done"));
  for (int i = 0; i < 200 && !fs::exists(script + ".done"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(fs::exists(script + ".done"));
}

TEST(Gen, MessageBoxesGoThroughTheService) {
  auto* box = host::HeadlessMessageBoxInstalled();
  ASSERT_NE(box, nullptr);
  box->ClearHistory();
  box->ScriptAnswer(host::IDCANCEL);
  EXPECT_EQ(hMessageBox("Saved.", host::MB_ICONASTERISK), host::IDCANCEL);
  box->ScriptAnswer(host::IDYES);
  EXPECT_TRUE(hYesNoBox("Overwrite?", host::MB_ICONQUESTION));
  box->ScriptAnswer(host::IDNO);
  EXPECT_FALSE(hYesNoBox("Overwrite?", 0));
  ASSERT_EQ(box->History().size(), 3u);
  EXPECT_EQ(box->History()[0].text, "Saved.");
  EXPECT_EQ(box->History()[0].caption, "On-Line");
  EXPECT_EQ(box->History()[0].flags, 0x0C40u);
  EXPECT_EQ(box->History()[1].flags, 0x0C24u);
  EXPECT_EQ(box->History()[2].flags, 0x0C04u);
  box->ClearHistory();
}

}  // namespace
}  // namespace vantora
