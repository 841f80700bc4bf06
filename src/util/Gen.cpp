#include "util/Gen.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <thread>

#include "host/classes/Convert.h"
#include "host/classes/Errors.h"
#include "host/classes/Platform.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/GdiOwners.h"

extern char** environ;

namespace vantora {

namespace {

std::int64_t Len(const std::string& S) {
  return static_cast<std::int64_t>(S.size());
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string AsciiUpper(const std::string& S) {
  std::string result = S;
  for (char& c : result) c = AsciiUpper(c);
  return result;
}

// The classic end-of-file test of text files: blanks, tabs and line ends up to the next character
// are consumed, and the answer is whether nothing else is left.
bool SeekEof(std::istream& F) {
  for (;;) {
    const auto c = F.peek();
    if (F.bad()) throw host::EInOutError("Read error on text file");
    if (c == std::char_traits<char>::eof()) return true;
    if (static_cast<unsigned char>(c) > ' ') return false;
    F.get();
  }
}

// A string of at most N characters of S, where N may be anything from the caller's arithmetic.
std::string Left64(const std::string& S, std::int64_t N) {
  if (N <= 0) return {};
  if (Len(S) < N) return S;
  return S.substr(0, static_cast<std::size_t>(N));
}

std::string Right64(const std::string& S, std::int64_t N) {
  if (N <= 0) return {};
  if (Len(S) < N) return S;
  return S.substr(static_cast<std::size_t>(Len(S) - N));
}

}  // namespace

std::int32_t RoundUp(double X) {
  if (std::isnan(X)) return 0;
  const double t = std::trunc(X);
  const double r = t != X ? t + 1 : t;
  if (r >= 2147483647.0) return INT32_MAX;
  if (r <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(r);
}

bool CheckLegalStrToInt(const std::string& S) {
  return host::StrToIntDef(S, 1) == host::StrToIntDef(S, 2);
}

std::int32_t HexStrToInt(const std::string& S) {
  std::uint32_t value = 0;
  std::uint32_t weight = 1;
  for (auto it = S.rbegin(); it != S.rend(); ++it) {
    const char c = AsciiUpper(*it);
    std::uint32_t digit = 0;
    if (c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(10 + c - 'A');
    } else if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else {
      break;
    }
    value += weight * digit;
    weight *= 16;
  }
  return static_cast<std::int32_t>(value);
}

std::string TrimR(const std::string& S) {
  const auto last = S.find_last_not_of(' ');
  return last == std::string::npos ? std::string() : S.substr(0, last + 1);
}

std::string TrimL(const std::string& S) {
  const auto first = S.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : S.substr(first);
}

std::string Trim(const std::string& S) {
  return TrimL(TrimR(S));
}

std::string StrLeft(const std::string& S, std::int32_t N) {
  return Left64(S, N);
}

std::string StrRight(const std::string& S, std::int32_t N) {
  return Right64(S, N);
}

std::string FromMid(const std::string& S, std::int32_t P) {
  return Right64(S, Len(S) - P + 1);
}

std::string Mid(const std::string& S, std::int32_t P, std::int32_t N) {
  return StrLeft(FromMid(S, P), N);
}

std::int32_t strstr(const std::string& S, const std::string& Sub) {
  if (Sub.empty()) return 0;
  const auto at = S.find(Sub);
  return at == std::string::npos ? 0 : static_cast<std::int32_t>(at + 2);
}

std::int32_t posr(const std::string& Sub, const std::string& S) {
  if (Sub.empty()) return 0;
  const auto at = S.rfind(Sub);
  return at == std::string::npos ? 0 : static_cast<std::int32_t>(at + 1);
}

std::string CoreFile(const std::string& Path) {
  std::string s = Path;
  for (auto slash = s.find('\\'); slash != std::string::npos; slash = s.find('\\'))
    s = s.substr(slash + 1, 100);
  const auto dot = s.find('.');
  if (dot != std::string::npos && dot > 0) s.resize(dot);
  return s;
}

std::string GetFileName(const std::string& Path) {
  const auto slash = Path.rfind('\\');
  return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

std::string GetPath(const std::string& Path) {
  const auto slash = Path.rfind('\\');
  return slash == std::string::npos ? std::string() : Path.substr(0, slash + 1);
}

std::string Dup(const std::string& S, std::int32_t N) {
  std::string result;
  if (N <= 0) return result;
  result.reserve(S.size() * static_cast<std::size_t>(N));
  for (std::int32_t i = 0; i < N; ++i) result += S;
  return result;
}

std::string Space(std::int32_t N) {
  return Dup(" ", N);
}

std::string PadR(const std::string& S, std::int32_t N) {
  if (N <= 0) return {};
  if (Len(S) >= N) return S.substr(0, static_cast<std::size_t>(N));
  return S + Space(N - static_cast<std::int32_t>(S.size()));
}

std::string PadL(const std::string& S, std::int32_t N) {
  if (N <= 0) return {};
  if (Len(S) >= N) return S.substr(0, static_cast<std::size_t>(N));
  return Space(N - static_cast<std::int32_t>(S.size())) + S;
}

std::unique_ptr<char[]> StrToPChar(const std::string& S) {
  auto buffer = std::make_unique<char[]>(S.size() + 1);
  std::memcpy(buffer.get(), S.data(), S.size());
  buffer[S.size()] = '\0';
  return buffer;
}

std::string strPPas(const char* P, std::int32_t N) {
  if (!P || N <= 0) return {};
  return std::string(P, strnlen(P, static_cast<std::size_t>(N)));
}

char* StrpCat(char* Dest, std::size_t Capacity, const std::string& S) {
  if (!Dest) return Dest;
  const std::size_t used = strnlen(Dest, Capacity);
  if (used >= Capacity) return Dest;  // not terminated within its buffer: nothing can be added safely
  const std::size_t n = std::min(S.size(), Capacity - used - 1);
  std::memcpy(Dest + used, S.data(), n);
  Dest[used + n] = '\0';
  return Dest;
}

void MemCopy(void* Dest, const void* Source, std::int32_t N) {
  auto* d = static_cast<unsigned char*>(Dest);
  const auto* s = static_cast<const unsigned char*>(Source);
  for (std::int32_t i = 0; i < N; ++i) d[i] = s[i];
}

std::int32_t StrCount(const char* S, const std::string& Sub) {
  if (!S || Sub.empty()) return 0;
  const std::string_view text(S);
  std::int32_t count = 0;
  for (auto at = text.find(Sub); at != std::string_view::npos; at = text.find(Sub, at + Sub.size())) ++count;
  return count;
}

bool StrCompPChar(const std::string& A, const char* B) {
  return B ? std::string_view(A) == std::string_view(B) : A.empty();
}

bool CT(const std::string& A, const std::string& B) {
  return AsciiUpper(Trim(A)) == AsciiUpper(Trim(B));
}

bool Empty(const std::string& S) {
  const bool date = (S.size() == 8 || S.size() == 10) && S[2] == '/' && S[5] == '/';
  const std::size_t examined = date ? 2 : S.size();
  for (std::size_t i = 0; i < examined; ++i)
    if (S[i] != ' ') return false;
  return true;
}

void ReadNotEmpty(std::istream& F, std::string& S) {
  if (F.bad() || (F.fail() && !F.eof())) throw host::EInOutError("File not open for input");
  while (!SeekEof(F)) {
    std::getline(F, S);
    if (F.bad()) throw host::EInOutError("Read error on text file");
    if (!S.empty() && S.back() == '\r') S.pop_back();
    if (!Empty(S)) return;
  }
  S.clear();
}

std::unique_ptr<host::TStringList> TextFileToList(const std::string& FileName) {
  std::error_code ec;
  if (std::filesystem::is_directory(FileName, ec))
    throw host::EInOutError("Cannot open file \"" + FileName + "\". Is a directory");
  std::ifstream in(FileName, std::ios::binary);
  if (!in) throw host::EInOutError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
  auto list = std::make_unique<host::TStringList>();
  std::string line;
  for (;;) {
    ReadNotEmpty(in, line);
    if (line.empty()) break;
    list->Add(line);
  }
  return list;
}

std::unique_ptr<host::TStringList> ReadTokens(std::istream& F) {
  std::string line;
  ReadNotEmpty(F, line);
  if (line.empty()) return nullptr;
  char buffer[1024];
  const std::size_t n = std::min<std::size_t>(line.size(), sizeof buffer - 1);
  std::memcpy(buffer, line.data(), n);
  buffer[n] = '\0';
  return Tokenis(buffer, " ");
}

std::unique_ptr<host::TStringList> Tokenis(const char* P, const std::string& Delims) {
  auto list = std::make_unique<host::TStringList>();
  if (!P) return list;
  const char* start = P;
  for (const char* q = P;; ++q) {
    const bool end = *q == '\0';
    if (end || Delims.find(*q) != std::string::npos) {
      if (q > start) list->Add(std::string(start, q));
      start = q + 1;
    }
    if (end) break;
  }
  return list;
}

std::unique_ptr<host::TStringList> sTokenis(const std::string& S, const std::string& Delims) {
  return Tokenis(S.c_str(), Delims);
}

void SplitString(std::string& Left, std::string& Right, const std::string& S, const std::string& Sep) {
  // Built apart first: Left or Right may be S itself.
  std::string left = S;
  std::string right;
  const std::int64_t b = strstr(AsciiUpper(S), AsciiUpper(Sep));
  if (b > 0) {
    left = Left64(S, b - 2);
    right = Right64(S, Len(S) - (b + Len(Sep) - 1) + 1);
  }
  Left = std::move(left);
  Right = std::move(right);
}

namespace {

std::string FormatLocal(std::chrono::system_clock::time_point D, const char* pattern) {
  // Whole seconds rounded down, so an instant before 1970 still falls into the right second.
  const auto seconds = std::chrono::floor<std::chrono::seconds>(D.time_since_epoch()).count();
  const auto t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&t, &local)) return {};
  char text[32];
  const std::size_t n = std::strftime(text, sizeof text, pattern, &local);
  return std::string(text, n);
}

}  // namespace

std::string DateToString(std::chrono::system_clock::time_point D) {
  return FormatLocal(D, "%d/%m/%y");
}

std::string TimeToString(std::chrono::system_clock::time_point D) {
  return FormatLocal(D, "%H:%M:%S");
}

void AutoSetFileDate(const std::string& FileName, std::chrono::system_clock::time_point D) {
  // Only a file that could be opened for writing gets a new date.
  if (access(FileName.c_str(), W_OK) != 0) return;
  const auto since = D.time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
  const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds);
  timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // the access time stays as it is
  times[1].tv_sec = static_cast<time_t>(seconds.count());
  times[1].tv_nsec = static_cast<long>(nanos.count());
  utimensat(AT_FDCWD, FileName.c_str(), times, 0);
}

std::int32_t ExecAndWait(const std::string& FileName) {
  if (FileName.empty()) return 0;
  std::string program = FileName;
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return 0;
  try {
    std::thread([pid] {
      int status = 0;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // The program runs regardless; without a reaper it only lingers as a zombie until we exit.
  }
  return static_cast<std::int32_t>(pid);
}

std::int32_t hMessageBox(const std::string& Msg, std::uint32_t Flags) {
  return host::MessageBox(Msg, "On-Line", Flags | 0x0C00u);
}

bool hYesNoBox(const std::string& Msg, std::uint32_t Flags) {
  return host::MessageBox(Msg, "On-Line", Flags | 0x0C04u) == host::IDYES;
}

std::uint32_t RealizePaletteToDc(host::HDC DC, host::HPALETTE Palette, bool Background) {
  const host::SelectGuard selected(DC, Palette, Background ? host::TRUE : host::FALSE);
  if (!selected.Selected()) return 0;
  const host::UINT realized = host::RealizePalette(DC);
  return realized == host::GDI_ERROR ? 0 : realized;
}

std::uint32_t RealizePaletteToWindow(host::HWND Window, host::HPALETTE Palette, bool Background) {
  const host::WindowDC dc(Window);
  if (!dc) return 0;
  return RealizePaletteToDc(dc, Palette, Background);
}

}  // namespace vantora
