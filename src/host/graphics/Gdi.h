// The drawing layer: device contexts, device bitmaps, logical palettes, brushes and fonts, reached
// through the classic Windows drawing calls. Surfaces are in-memory 32-bit pixel buffers (blue,
// green, red, unused byte in memory). Calls fail the Windows way, by their return value; a stale or
// foreign handle is refused, never followed.
#pragma once

#include <cstddef>

#include "VantoraExport.h"
#include "host/graphics/GdiTypes.h"
#include "host/graphics/Screen.h"

VANTORA_API_BEGIN
namespace vantora::host {

// Device contexts. GetDC(nullptr) is the screen; GetDC(window) a window surface (see Screen.h).
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int GetDeviceCaps(HDC dc, int index);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int savedState);

// Coordinates and clipping: a viewport origin added to every position, and one clip rectangle.
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetViewportOrgEx(HDC dc, POINT* origin);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int SelectClipRgn(HDC dc, std::nullptr_t);  // removes the clip rectangle
int GetClipBox(HDC dc, RECT* rect);

// Objects. SelectObject answers the previous object of the same kind; the typed overloads spare the
// caller a cast. An object deleted while selected stays usable by that context until deselected.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HBITMAP SelectObject(HDC dc, HBITMAP bitmap);
HBRUSH SelectObject(HDC dc, HBRUSH brush);
HFONT SelectObject(HDC dc, HFONT font);
BOOL DeleteObject(HGDIOBJ object);
int GetObject(HGDIOBJ object, int size, void* buffer);
DWORD GetObjectType(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

// Device bitmaps.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A device bitmap of the given size; Bits (top-down, 32 bits per pixel) is copied in when given.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits);

// Raster operations on device pixels.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);
int SetStretchBltMode(HDC dc, int mode);  // accepted and remembered; stretching is by nearest pixel
int GetStretchBltMode(HDC dc);

// Device-independent bitmaps: 1, 4, 8, 16, 24 and 32 bits, bottom-up or top-down (negative height),
// BI_RGB, BI_BITFIELDS, and BI_RLE8/BI_RLE4 for drawing. Sizes above 32768 pixels a side are refused.
int SetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, const void* bits,
              const BITMAPINFO* info, UINT usage);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits, BITMAPINFO* info,
              UINT usage);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int sourceX, int sourceY,
                      UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                  int sourceHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
// Bytes per row of a DIB, rows padded to 4 bytes.
constexpr DWORD DibStride(LONG width, WORD bitCount) {
  return ((static_cast<DWORD>(width) * bitCount + 31) / 32) * 4;
}

// Palettes.
HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE CreateHalftonePalette(HDC dc);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC dc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries);
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color);
COLORREF GetNearestColor(HDC dc, COLORREF color);
BOOL UnrealizeObject(HGDIOBJ object);

// Brushes and filling.
HBRUSH CreateSolidBrush(COLORREF color);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

// Fonts and text. Characters are single bytes in the Windows-1252 code page.
HFONT CreateFontIndirectA(const LOGFONTA* font);
BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, ABC* widths);
BOOL GetCharWidth32A(HDC dc, UINT first, UINT last, INT* widths);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int count);
// An 8-bit raster of the caller's: Width x Height indices, rows Stride bytes apart, the first row in
// memory the bottom one (as in a DIB).
struct IndexRaster {
  BYTE* rows = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};
// Text placed as TextOutA places it (the context's font, alignment and viewport origin), drawn into
// Raster instead of the context's surface: every pixel the text covers becomes Index, the others
// stay, and nothing outside the raster is touched. A two-state mask of letters needs no 32-bit
// surface and no colour search to read it back.
BOOL TextOutToRaster(HDC dc, int x, int y, const char* text, int count, const IndexRaster& raster,
                     BYTE index);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
int GetTextFaceA(HDC dc, int count, char* name);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
// Makes the faces of a font file (any format FreeType reads) available by their family names;
// answers how many files were added.
int AddFontResourceA(const char* path);

// System colours (the classic scheme of the 256-colour era, whose greys are static colours).
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
// 0 for an index outside the table.
COLORREF GetSysColor(int index);

// Rectangle helpers of the window system, used with the drawing calls.
BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL IsRectEmpty(const RECT* rect);
BOOL IntersectRect(RECT* result, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* result, const RECT* a, const RECT* b);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL InflateRect(RECT* rect, int dx, int dy);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL EqualRect(const RECT* a, const RECT* b);

// How many objects, contexts and window surfaces are alive (stock objects excluded): lets tests
// and the window layer find handle leaks.
int LiveGdiObjectCount();

}  // namespace vantora::host
VANTORA_API_END
