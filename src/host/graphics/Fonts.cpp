#include "host/graphics/Fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "host/graphics/GdiObjects.h"

namespace vantora::host::detail {

struct FtLibrary {
  FT_Library library = nullptr;
  FtLibrary() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  FtLibrary(const FtLibrary&) = delete;
  FtLibrary& operator=(const FtLibrary&) = delete;
  ~FtLibrary() {
    if (library) FT_Done_FreeType(library);
  }
};

struct FtFace {
  std::shared_ptr<FtLibrary> library;  // outlives the face
  FT_Face face = nullptr;
  FtFace() = default;
  FtFace(const FtFace&) = delete;
  FtFace& operator=(const FtFace&) = delete;
  ~FtFace() {
    if (face) FT_Done_Face(face);
  }
};

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxEm = 1024;  // pixels; larger requests are drawn at this size
constexpr std::size_t kCachedFonts = 64;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// Classic face names and their metric-compatible free faces.
std::string AliasFor(const std::string& lowerName) {
  static const std::map<std::string, std::string> aliases = {
      {"", "Liberation Sans"},
      {"arial", "Liberation Sans"},
      {"helvetica", "Liberation Sans"},
      {"ms sans serif", "Liberation Sans"},
      {"ms shell dlg", "Liberation Sans"},
      {"ms shell dlg 2", "Liberation Sans"},
      {"system", "Liberation Sans"},
      {"arial narrow", "Liberation Sans Narrow"},
      {"times new roman", "Liberation Serif"},
      {"times", "Liberation Serif"},
      {"ms serif", "Liberation Serif"},
      {"courier new", "Liberation Mono"},
      {"courier", "Liberation Mono"},
  };
  const auto it = aliases.find(lowerName);
  return it == aliases.end() ? std::string() : it->second;
}

struct FaceChoice {
  std::string path;
  int index = 0;
};

class FontEngine {
 public:
  FontEngine() : library_(std::make_shared<FtLibrary>()), config_(FcInitLoadConfigAndFonts()) {}
  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;
  ~FontEngine() {
    if (config_) FcConfigDestroy(config_);
  }

  FT_Library Library() const { return library_->library; }

  std::shared_ptr<RealizedFont> Realize(const LOGFONTA& record) {
    const std::string key = Key(record);
    if (const auto it = fonts_.find(key); it != fonts_.end()) return it->second;
    const bool bold = record.lfWeight >= FW_SEMIBOLD;
    const bool italic = record.lfItalic != 0;
    const FaceChoice choice = Match(record.lfFaceName, bold, italic);
    auto font = std::make_shared<RealizedFont>(Open(choice), record);
    if (fonts_.size() >= kCachedFonts) {
      // Keep the fonts some font object still uses.
      std::erase_if(fonts_, [](const auto& entry) { return entry.second.use_count() == 1; });
    }
    fonts_.emplace(key, font);
    return font;
  }

  int AddFile(const std::string& path) {
    if (!config_ || !FcConfigAppFontAddFile(config_, reinterpret_cast<const FcChar8*>(path.c_str())))
      return 0;
    matches_.clear();
    fonts_.clear();
    return 1;
  }

 private:
  static std::string Key(const LOGFONTA& record) {
    LOGFONTA normal = record;
    const std::string face = Lower(std::string(record.lfFaceName, strnlen(record.lfFaceName, LF_FACESIZE)));
    std::memset(normal.lfFaceName, 0, sizeof normal.lfFaceName);
    std::memcpy(normal.lfFaceName, face.data(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    normal.lfOrientation = 0;
    return std::string(reinterpret_cast<const char*>(&normal), sizeof normal);
  }

  FaceChoice Match(const char* name, bool bold, bool italic) {
    const std::string requested = Lower(std::string(name, strnlen(name, LF_FACESIZE)));
    const std::string key = requested + (bold ? "|b" : "|") + (italic ? "i" : "");
    if (const auto it = matches_.find(key); it != matches_.end()) return it->second;
    const std::string alias = AliasFor(requested);
    const std::string family = alias.empty() ? std::string(name, strnlen(name, LF_FACESIZE)) : alias;
    FaceChoice choice;
    if (!Find(family, true, bold, italic, choice) && !Find("Liberation Sans", false, bold, italic, choice) &&
        !Find("DejaVu Sans", false, bold, italic, choice))
      Find("sans-serif", false, bold, italic, choice);
    matches_.emplace(key, choice);
    return choice;
  }

  // With Exact, only a face of that family will do; otherwise what fontconfig offers for it.
  bool Find(const std::string& family, bool exact, bool bold, bool italic, FaceChoice& choice) {
    if (!config_) return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config_, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config_, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    bool found = !exact;
    FcChar8* value = nullptr;
    for (int n = 0; exact && FcPatternGetString(match, FC_FAMILY, n, &value) == FcResultMatch; ++n)
      if (Lower(reinterpret_cast<const char*>(value)) == Lower(family)) found = true;
    FcChar8* file = nullptr;
    if (found && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      choice.path = reinterpret_cast<const char*>(file);
      int index = 0;
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      choice.index = index;
    } else {
      found = false;
    }
    FcPatternDestroy(match);
    return found;
  }

  std::shared_ptr<FtFace> Open(const FaceChoice& choice) {
    const std::string key = choice.path + "#" + std::to_string(choice.index);
    if (const auto it = faces_.find(key); it != faces_.end()) return it->second;
    auto face = std::make_shared<FtFace>();
    face->library = library_;
    if (!Library() || choice.path.empty() ||
        FT_New_Face(Library(), choice.path.c_str(), choice.index, &face->face) != 0)
      face->face = nullptr;
    faces_.emplace(key, face);
    return face;
  }

  std::shared_ptr<FtLibrary> library_;
  FcConfig* config_;
  std::map<std::string, FaceChoice> matches_;
  std::map<std::string, std::shared_ptr<FtFace>> faces_;
  std::map<std::string, std::shared_ptr<RealizedFont>> fonts_;
};

FontEngine& Engine() {
  static FontEngine engine;
  return engine;
}

// Windows-1252 letters 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::uint16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

MonoBitmap CopyBitmap(const FT_Bitmap& source, int left, int top) {
  MonoBitmap out;
  out.left = left;
  out.top = -top;
  out.width = static_cast<int>(source.width);
  out.height = static_cast<int>(source.rows);
  out.pitch = (out.width + 7) / 8;
  if (out.Empty()) return out;
  out.bits.assign(static_cast<std::size_t>(out.pitch) * static_cast<std::size_t>(out.height), 0);
  const int pitch = source.pitch;
  for (int y = 0; y < out.height; ++y) {
    const unsigned char* from =
        pitch >= 0 ? source.buffer + static_cast<std::ptrdiff_t>(y) * pitch
                   : source.buffer + static_cast<std::ptrdiff_t>(out.height - 1 - y) * -pitch;
    std::uint8_t* to = out.bits.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(out.pitch);
    if (source.pixel_mode == FT_PIXEL_MODE_MONO) {
      std::memcpy(to, from, static_cast<std::size_t>(out.pitch));
    } else if (source.pixel_mode == FT_PIXEL_MODE_GRAY) {
      for (int x = 0; x < out.width; ++x)
        if (from[x] >= 128) to[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
  }
  return out;
}

FT_Fixed Fixed(double v) {
  return static_cast<FT_Fixed>(std::lround(v * 65536.0));
}

}  // namespace

RealizedFont::RealizedFont(std::shared_ptr<FtFace> face, const LOGFONTA& record)
    : face_(std::move(face)), record_(record) {
  record_.lfFaceName[LF_FACESIZE - 1] = 0;
  angle_ = static_cast<double>(record.lfEscapement % 3600) * kPi / 1800.0;
  SetRecordMetrics();
  FT_Face f = face_->face;
  if (!f) {
    // No face at all: a font of empty letters with sensible metrics.
    metrics_.tmAscent = 13;
    metrics_.tmDescent = 3;
    metrics_.tmHeight = 16;
    return;
  }
  faceName_ = f->family_name ? f->family_name : "";
  FT_Size size = nullptr;
  if (FT_New_Size(f, &size) == 0) size_ = size;
  FT_Activate_Size(size);
  outlines_ = FT_IS_SCALABLE(f);
  if (outlines_)
    SizeOutlines();
  else if (f->num_fixed_sizes > 0)
    SelectStrike();
}

void RealizedFont::SetRecordMetrics() {
  TEXTMETRICA& tm = metrics_;
  tm.tmWeight = record_.lfWeight == 0 ? FW_NORMAL : record_.lfWeight;
  tm.tmItalic = record_.lfItalic ? 1 : 0;
  tm.tmUnderlined = record_.lfUnderline ? 1 : 0;
  tm.tmStruckOut = record_.lfStrikeOut ? 1 : 0;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
  tm.tmCharSet = ANSI_CHARSET;
}

void RealizedFont::SizeOutlines() {
  FT_Face f = face_->face;
  TEXTMETRICA& tm = metrics_;
  const double units = f->units_per_EM;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
  const bool os2Valid = os2 && os2->version != 0xFFFF;
  const bool winMetrics = os2Valid && os2->usWinAscent + os2->usWinDescent > 0;
  const double winAscent = winMetrics ? os2->usWinAscent : f->ascender;
  const double winDescent = winMetrics ? os2->usWinDescent : -f->descender;
  double em = 16;
  // A positive height is the cell (ascent + descent), a negative one the em.
  if (record_.lfHeight > 0) em = record_.lfHeight * units / (winAscent + winDescent);
  if (record_.lfHeight < 0) em = -static_cast<double>(record_.lfHeight);
  em = std::clamp(em, 1.0, kMaxEm);
  const double scale = em / units;
  const double average = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : units / 2;
  double stretch = 1;
  if (record_.lfWidth != 0)
    stretch = std::clamp(std::abs(static_cast<double>(record_.lfWidth)) / (average * scale), 0.05, 20.0);
  FT_Set_Char_Size(f, static_cast<FT_F26Dot6>(std::lround(em * stretch * 64)),
                   static_cast<FT_F26Dot6>(std::lround(em * 64)), 72, 72);
  tm.tmAscent = static_cast<LONG>(std::lround(winAscent * scale));
  tm.tmDescent = record_.lfHeight > 0 ? record_.lfHeight - tm.tmAscent
                                      : static_cast<LONG>(std::lround(winDescent * scale));
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - static_cast<LONG>(std::lround(em)));
  if (hhea) {
    const double gap = hhea->Line_Gap - ((winAscent + winDescent) - (hhea->Ascender - hhea->Descender));
    tm.tmExternalLeading = static_cast<LONG>(std::lround(std::max(0.0, gap) * scale));
  }
  tm.tmAveCharWidth = static_cast<LONG>(std::lround(average * scale * stretch));
  tm.tmMaxCharWidth = static_cast<LONG>(std::lround(f->max_advance_width * scale * stretch));
  tm.tmPitchAndFamily =
      static_cast<BYTE>(TMPF_VECTOR | TMPF_TRUETYPE | (FT_IS_FIXED_WIDTH(f) ? 0 : TMPF_FIXED_PITCH));
  SizeStrokes(scale, em);
  // What the face itself is, not what fontconfig reports: its synthetic-style rules rename an
  // upright regular face bold or italic.
  const bool boldFace =
      os2Valid ? os2->usWeightClass >= FW_SEMIBOLD : (f->style_flags & FT_STYLE_FLAG_BOLD) != 0;
  const bool italicFace = (f->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  if (record_.lfWeight >= FW_SEMIBOLD && !boldFace)
    embolden_ = std::max<long>(64, std::lround(em * 64 / 24.0 / 64) * 64);
  slant_ = record_.lfItalic && !italicFace;
}

// Strokes of the underline (its centre is given) and of the strike-out (its top).
void RealizedFont::SizeStrokes(double scale, double em) {
  FT_Face f = face_->face;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  underlineSize_ = std::max(1, static_cast<int>(std::lround(f->underline_thickness * scale)));
  underlineTop_ = static_cast<int>(std::lround(-f->underline_position * scale - underlineSize_ / 2.0));
  const bool strikeMetrics = os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0;
  strikeOutSize_ = strikeMetrics ? std::max(1, static_cast<int>(std::lround(os2->yStrikeoutSize * scale)))
                                 : underlineSize_;
  strikeOutTop_ = -static_cast<int>(std::lround(strikeMetrics ? os2->yStrikeoutPosition * scale : em * 0.3));
}

// A bitmap face: the strike closest to the requested height.
void RealizedFont::SelectStrike() {
  FT_Face f = face_->face;
  TEXTMETRICA& tm = metrics_;
  const int want = record_.lfHeight == 0 ? 16 : std::abs(record_.lfHeight);
  int best = 0;
  for (int i = 1; i < f->num_fixed_sizes; ++i)
    if (std::abs(f->available_sizes[i].height - want) < std::abs(f->available_sizes[best].height - want))
      best = i;
  FT_Select_Size(f, best);
  tm.tmAscent = static_cast<LONG>(f->size->metrics.ascender >> 6);
  tm.tmDescent = static_cast<LONG>(-(f->size->metrics.descender >> 6));
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmAveCharWidth = f->available_sizes[best].width;
  tm.tmMaxCharWidth = static_cast<LONG>(f->size->metrics.max_advance >> 6);
  underlineTop_ = 1;
  strikeOutTop_ = -tm.tmAscent / 3;
}

RealizedFont::~RealizedFont() {
  if (size_) FT_Done_Size(static_cast<FT_Size>(size_));
}

unsigned RealizedFont::GlyphIndex(std::uint8_t code) const {
  FT_Face f = face_->face;
  const FT_ULong unicode = code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : code;
  FT_UInt index = FT_Get_Char_Index(f, unicode);
  if (index == 0 && FT_Select_Charmap(f, FT_ENCODING_MS_SYMBOL) == 0) {
    // Symbol faces put their letters at 0xF000 + code.
    index = FT_Get_Char_Index(f, 0xF000 + code);
    FT_Select_Charmap(f, FT_ENCODING_UNICODE);
  }
  return index;
}

RealizedFont::Letter RealizedFont::Render(std::uint8_t code, bool rotated) {
  Letter letter;
  FT_Face f = face_->face;
  if (!f || !size_) return letter;
  FT_Activate_Size(static_cast<FT_Size>(size_));
  const FT_Int32 flags = outlines_ ? (FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) : FT_LOAD_TARGET_MONO;
  if (FT_Load_Glyph(f, GlyphIndex(code), flags) != 0) return letter;
  FT_GlyphSlot slot = f->glyph;
  long advance = slot->advance.x;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (embolden_) {
      FT_Outline_EmboldenXY(&slot->outline, embolden_, 0);
      advance += embolden_;
    }
    if (slant_) {
      const FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
    if (rotated && angle_ != 0) {
      const double c = std::cos(angle_), s = std::sin(angle_);
      const FT_Matrix turn{Fixed(c), Fixed(-s), Fixed(s), Fixed(c)};
      FT_Outline_Transform(&slot->outline, &turn);
    }
  }
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
    return letter;
  letter.bitmap = CopyBitmap(slot->bitmap, slot->bitmap_left, slot->bitmap_top);
  LetterMetrics& m = letter.metrics;
  m.advance = static_cast<int>((advance + 32) >> 6);
  // The black box is the inked columns; the rendered bitmap may have blank ones at its edges.
  const MonoBitmap& b = letter.bitmap;
  int first = b.width, last = -1;
  for (int y = 0; y < b.height; ++y) {
    const std::uint8_t* row = b.bits.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(b.pitch);
    for (int x = 0; x < b.width; ++x)
      if (row[x >> 3] & (0x80 >> (x & 7))) first = std::min(first, x), last = std::max(last, x);
  }
  if (last >= first) {
    m.a = b.left + first;
    m.b = last - first + 1;
  }
  m.c = m.advance - m.a - m.b;
  return letter;
}

const LetterMetrics& RealizedFont::Measure(std::uint8_t code) {
  auto& slot = upright_[code];
  if (!slot) slot = std::make_unique<Letter>(Render(code, false));
  return slot->metrics;
}

const MonoBitmap& RealizedFont::Glyph(std::uint8_t code) {
  if (angle_ == 0) {
    Measure(code);
    return upright_[code]->bitmap;
  }
  auto& slot = turned_[code];
  if (!slot) slot = std::make_unique<Letter>(Render(code, true));
  return slot->bitmap;
}

std::shared_ptr<RealizedFont> RealizeFont(const LOGFONTA& record) {
  return Engine().Realize(record);
}

int AddFontFile(const std::string& path) {
  return Engine().AddFile(path);
}

MonoBitmap RasterizePolygon(const double (*points)[2], int count, const RECT& clip) {
  MonoBitmap out;
  if (count < 3 || !Engine().Library()) return out;
  double minX = points[0][0], maxX = minX, minY = points[0][1], maxY = minY;
  for (int i = 1; i < count; ++i) {
    minX = std::min(minX, points[i][0]), maxX = std::max(maxX, points[i][0]);
    minY = std::min(minY, points[i][1]), maxY = std::max(maxY, points[i][1]);
  }
  // Only the part inside the clip rectangle is rasterised.
  const int left = std::max(clip.left, static_cast<LONG>(std::floor(std::max(minX, -1e9))));
  const int top = std::max(clip.top, static_cast<LONG>(std::floor(std::max(minY, -1e9))));
  const int right = std::min(clip.right, static_cast<LONG>(std::ceil(std::min(maxX, 1e9))));
  const int bottom = std::min(clip.bottom, static_cast<LONG>(std::ceil(std::min(maxY, 1e9))));
  if (right <= left || bottom <= top) return out;
  out.left = left;
  out.top = top;
  out.width = right - left;
  out.height = bottom - top;
  out.pitch = (out.width + 7) / 8;
  out.bits.assign(static_cast<std::size_t>(out.pitch) * static_cast<std::size_t>(out.height), 0);

  std::vector<FT_Vector> vectors(static_cast<std::size_t>(count));
  std::vector<char> tags(static_cast<std::size_t>(count), FT_CURVE_TAG_ON);
  for (int i = 0; i < count; ++i) {
    // FreeType's y axis points up from the bitmap's bottom edge.
    vectors[static_cast<std::size_t>(i)].x = static_cast<FT_Pos>(std::lround((points[i][0] - left) * 64));
    vectors[static_cast<std::size_t>(i)].y = static_cast<FT_Pos>(std::lround((bottom - points[i][1]) * 64));
  }
  short last = static_cast<short>(count - 1);
  FT_Outline outline{};
  outline.n_contours = 1;
  outline.n_points = static_cast<short>(count);
  outline.points = vectors.data();
  outline.tags = tags.data();
  outline.contours = &last;
  FT_Bitmap target{};
  target.rows = static_cast<unsigned>(out.height);
  target.width = static_cast<unsigned>(out.width);
  target.pitch = out.pitch;
  target.buffer = out.bits.data();
  target.pixel_mode = FT_PIXEL_MODE_MONO;
  target.num_grays = 2;
  if (FT_Outline_Get_Bitmap(Engine().Library(), &outline, &target) != 0) out.bits.assign(out.bits.size(), 0);
  return out;
}

}  // namespace vantora::host::detail
