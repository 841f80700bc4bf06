// Unit Gen: small free functions for strings, tokens, text files, files and message boxes used all
// over the library. Positions in strings are 1-based, as in the rest of the library's text handling.
// Path helpers split at '\' on purpose: they are string functions over the library's stored names.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>

#include "VantoraExport.h"
#include "host/graphics/GdiTypes.h"
#include "host/classes/Lists.h"

VANTORA_API_BEGIN
namespace vantora {

// Pointer and integer helpers.
inline std::uint8_t* IncPt(void* P, std::int32_t N) {
  return static_cast<std::uint8_t*>(P) + N;
}
inline const std::uint8_t* IncPt(const void* P, std::int32_t N) {
  return static_cast<const std::uint8_t*>(P) + N;
}
// Wraps in 32 bits like the machine addition it stands for.
constexpr std::int32_t IncPtr(std::int32_t A, std::int32_t B) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(A) + static_cast<std::uint32_t>(B));
}
// Bytes in a row of Width 8-bit pixels, padded to a multiple of 4.
constexpr std::int32_t Align(std::int32_t Width) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(Width) * 8 + 31) / 32 * 4);
}
// Plain functions rather than templates, so unqualified calls with int arguments resolve here
// without disturbing std::max / std::min.
constexpr std::int32_t max(std::int32_t A, std::int32_t B) {
  return A > B ? A : B;
}
constexpr std::int32_t min(std::int32_t A, std::int32_t B) {
  return A < B ? A : B;
}
constexpr char iifc(bool Cond, char A, char B) {
  return Cond ? A : B;
}
constexpr std::int32_t iifi(bool Cond, std::int32_t A, std::int32_t B) {
  return Cond ? A : B;
}

// Rounds away from the integer part (2.1 -> 3, -1.5 -> 0). Saturates outside 32 bits; NaN gives 0.
std::int32_t RoundUp(double X);
// True when S is an integer in the framework's strict conversion.
bool CheckLegalStrToInt(const std::string& S);
// Reads hexadecimal digits from the right and stops at the first other character; wraps in 32 bits.
std::int32_t HexStrToInt(const std::string& S);

// Only the space character counts as blank here.
std::string TrimR(const std::string& S);
std::string TrimL(const std::string& S);
std::string Trim(const std::string& S);

std::string StrLeft(const std::string& S, std::int32_t N);
std::string StrRight(const std::string& S, std::int32_t N);
std::string FromMid(const std::string& S, std::int32_t P);
std::string Mid(const std::string& S, std::int32_t P, std::int32_t N);
// Answers the match position plus one, or 0; an empty Sub is never found.
std::int32_t strstr(const std::string& S, const std::string& Sub);
// Position of the last occurrence, or 0; an empty Sub is never found.
std::int32_t posr(const std::string& Sub, const std::string& S);

std::string CoreFile(const std::string& Path);
std::string GetFileName(const std::string& Path);
std::string GetPath(const std::string& Path);

std::string Dup(const std::string& S, std::int32_t N);
std::string Space(std::int32_t N);
std::string PadR(const std::string& S, std::int32_t N);
std::string PadL(const std::string& S, std::int32_t N);

// Zero-terminated buffers.
std::unique_ptr<char[]> StrToPChar(const std::string& S);
// Reads at most N characters of P, so P need not be terminated within them.
std::string strPPas(const char* P, std::int32_t N);
// Appends S to the string in Dest, whose buffer holds Capacity bytes; what does not fit is dropped
// and Dest stays terminated.
char* StrpCat(char* Dest, std::size_t Capacity, const std::string& S);
// Copies byte by byte from the lowest address up, so an overlapping copy upwards repeats a pattern.
void MemCopy(void* Dest, const void* Source, std::int32_t N);
// Non-overlapping occurrences of Sub in S; 0 for an empty Sub or a null S.
std::int32_t StrCount(const char* S, const std::string& Sub);
// Exact equality; a null B equals the empty string.
bool StrCompPChar(const std::string& A, const char* B);

// Trimmed and compared ignoring letter case.
bool CT(const std::string& A, const std::string& B);
// All blank; of a date "dd/mm/yy" or "dd/mm/yyyy" only the day is examined.
bool Empty(const std::string& S);

// Text files. Blanks before a line are consumed by the end-of-file test, so lines come back without
// them. A read failure of the stream raises host::EInOutError.
void ReadNotEmpty(std::istream& F, std::string& S);
// Every non-blank line of the file; raises host::EInOutError when the file cannot be read.
std::unique_ptr<host::TStringList> TextFileToList(const std::string& FileName);
// The next non-blank line split at spaces, or nullptr at the end of the file. A line is cut after
// 1023 characters, the size of the line buffer this format was made for.
std::unique_ptr<host::TStringList> ReadTokens(std::istream& F);

// Splits at any character of Delims; runs of delimiters give no empty tokens, so empty input gives
// an empty list.
std::unique_ptr<host::TStringList> Tokenis(const char* P, const std::string& Delims);
std::unique_ptr<host::TStringList> sTokenis(const std::string& S, const std::string& Delims);
// Splits S at the first Sep found ignoring letter case; without one, Left = S and Right is empty.
void SplitString(std::string& Left, std::string& Right, const std::string& S, const std::string& Sep);

// Local time as "dd/mm/yy" and "hh:nn:ss" (24-hour clock).
std::string DateToString(std::chrono::system_clock::time_point D);
std::string TimeToString(std::chrono::system_clock::time_point D);
// Sets the modification time of an existing writable file; failures are ignored.
void AutoSetFileDate(const std::string& FileName, std::chrono::system_clock::time_point D);
// Starts the program (searched on PATH when the name has no '/') without arguments and without
// waiting. Answers the new process id, or 0 when it could not be started. The finished process is
// reaped in the background, so no zombie is left behind.
std::int32_t ExecAndWait(const std::string& FileName);

// Message boxes with the caption "On-Line".
std::int32_t hMessageBox(const std::string& Msg, std::uint32_t Flags);
bool hYesNoBox(const std::string& Msg, std::uint32_t Flags);

// Realises Palette through DC (as a background palette when Background), then gives the context its
// previous palette back as a background palette. Answers how many system-palette entries changed;
// 0 when DC or Palette is not a live handle.
std::uint32_t RealizePaletteToDc(host::HDC DC, host::HPALETTE Palette, bool Background);
// The same through the window's context, which is released afterwards.
std::uint32_t RealizePaletteToWindow(host::HWND Window, host::HPALETTE Palette, bool Background);

}  // namespace vantora
VANTORA_API_END
