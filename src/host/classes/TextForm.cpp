#include "host/classes/TextForm.h"

#include <strings.h>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

#include "host/classes/ComponentFormat.h"
#include "host/classes/Persistent.h"

namespace vantora::host {

namespace {

// --- Binary to text ---------------------------------------------------------------------------

bool IsDottedIdent(std::string_view s) {
  if (s.empty()) return false;
  std::size_t start = 0;
  for (;;) {
    const auto dot = s.find('.', start);
    if (!IsValidIdent(s.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start)))
      return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

std::string QuoteString(std::string_view s) {
  if (s.empty()) return "''";
  std::string out;
  bool quoted = false;
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 32 && c < 127) {
      if (!quoted) out += '\'';
      quoted = true;
      out += ch;
      if (ch == '\'') out += '\'';
    } else {
      if (quoted) out += '\'';
      quoted = false;
      out += '#' + std::to_string(c);
    }
  }
  if (quoted) out += '\'';
  return out;
}

std::string FormatDouble(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  std::string text = buffer;
  if (text.find_first_of(".eE") == std::string::npos) text += ".0";
  return text;
}

class BinaryToText {
 public:
  explicit BinaryToText(TStream& input) : input_(input), in_(input) {}

  std::string Convert() {
    in_.ReadSignature();
    ConvertComponent(0);
    // As the text form's parser refuses text after the last "end", nothing may follow the root.
    if (input_.Remaining() > 0) in_.Fail("Unexpected data after the end of the component");
    std::string text;
    for (const std::string& line : lines_) {
      text += line;
      text += '\n';
    }
    return text;
  }

 private:
  void Line(int indent, const std::string& text) {
    lines_.push_back(std::string(static_cast<std::size_t>(indent), ' ') + text);
  }

  void ConvertComponent(int indent) {
    if (indent / 2 > kMaxComponentDepth) in_.Fail("Components nested too deeply");
    const std::int64_t offset = in_.Offset();
    in_.SetContext({});
    const std::string className = in_.ReadName();
    const std::string name = in_.ReadName();
    if (!IsValidIdent(className)) in_.Fail("Invalid class name", offset);
    if (!name.empty() && !IsValidIdent(name)) in_.Fail("Invalid component name", offset);
    Line(indent, "object " + (name.empty() ? className : name + ": " + className));
    for (std::string prop = in_.ReadName(); !prop.empty(); prop = in_.ReadName()) {
      in_.SetContext("property " + prop);
      if (!IsDottedIdent(prop)) in_.Fail("Invalid property name");
      ConvertValue(indent + 2, prop + " = ", 0);
    }
    in_.SetContext({});
    while (!in_.AtEnd()) ConvertComponent(indent + 2);
    in_.ReadEnd();
    Line(indent, "end");
  }

  // Appends one value; Lead is the text before it on its first line. A closing bracket follows the
  // last item or row on its line.
  void ConvertValue(int indent, const std::string& lead, int depth) {
    if (depth > kMaxListDepth) in_.Fail("Lists nested too deeply");
    const std::int64_t offset = in_.Offset();
    const TValueType type = in_.ReadValueType();
    if (type == TValueType::vaList) {
      if (in_.AtEnd()) {
        in_.ReadEnd();
        Line(indent, lead + "()");
        return;
      }
      Line(indent, lead + "(");
      while (!in_.AtEnd()) ConvertValue(indent + 2, "", depth + 1);
      in_.ReadEnd();
      lines_.back() += ')';
    } else if (type == TValueType::vaBinary) {
      const std::string bytes = in_.ReadBytesPayload();
      if (bytes.empty()) {
        Line(indent, lead + "{}");
        return;
      }
      Line(indent, lead + "{");
      static constexpr char kHex[] = "0123456789ABCDEF";
      for (std::size_t i = 0; i < bytes.size(); i += kBytesPerRow) {
        std::string row;
        for (std::size_t j = i; j < bytes.size() && j < i + kBytesPerRow; ++j) {
          const auto b = static_cast<unsigned char>(bytes[j]);
          row += kHex[b >> 4];
          row += kHex[b & 15];
        }
        Line(indent + 2, row);
      }
      lines_.back() += '}';
    } else {
      Line(indent, lead + ScalarText(type, offset));
    }
  }

  std::string ScalarText(TValueType type, std::int64_t offset) {
    switch (type) {
      case TValueType::vaInt8:
      case TValueType::vaInt16:
      case TValueType::vaInt32:
      case TValueType::vaInt64:
        return std::to_string(in_.ReadIntegerPayload(type));
      case TValueType::vaDouble: {
        const double value = in_.ReadDoublePayload();
        if (!std::isfinite(value)) in_.Fail("A float that is not finite has no text form", offset);
        return FormatDouble(value);
      }
      case TValueType::vaString:
        return QuoteString(in_.ReadBytesPayload());
      case TValueType::vaIdent: {
        const std::string ident = in_.ReadName();
        if (!IsDottedIdent(ident)) in_.Fail("Invalid identifier", offset);
        return ident;
      }
      case TValueType::vaFalse:
        return "False";
      case TValueType::vaTrue:
        return "True";
      case TValueType::vaNil:
        return "nil";
      case TValueType::vaSet: {
        std::string text = "[";
        for (const std::string& name : in_.ReadSetPayload()) {
          if (!IsValidIdent(name)) in_.Fail("Invalid set element", offset);
          if (text.size() > 1) text += ", ";
          text += name;
        }
        return text + "]";
      }
      default:
        in_.Fail(std::string("Unexpected ") + ValueTypeName(type), offset);
    }
  }

  static constexpr std::size_t kBytesPerRow = 32;
  TStream& input_;
  FormatReader in_;
  std::vector<std::string> lines_;
};

// --- Text to binary ---------------------------------------------------------------------------

class TextToBinary {
 public:
  TextToBinary(std::string_view text, TStream& output) : src_(text), out_(output) {}

  void Convert() {
    out_.WriteSignature();
    Next();
    ParseObject(0);
    if (tok_.kind != Kind::End) Fail("Text after the final end");
  }

 private:
  enum class Kind { End, Ident, Integer, Float, String, Symbol };
  struct Token {
    Kind kind = Kind::End;
    std::string text;  // identifier, string contents or symbol
    std::int64_t integer = 0;
    double real = 0;
    int line = 1;
  };

  [[noreturn]] void Fail(const std::string& problem) const {
    throw EParserError(problem + " on line " + std::to_string(tok_.line));
  }

  bool IsSymbol(char c) const { return tok_.kind == Kind::Symbol && tok_.text[0] == c; }
  bool IsKeyword(std::string_view word) const {
    return tok_.kind == Kind::Ident && tok_.text.size() == word.size() &&
           strncasecmp(tok_.text.data(), word.data(), word.size()) == 0;
  }
  void Expect(char symbol) {
    if (!IsSymbol(symbol)) Fail(std::string("Expected '") + symbol + "'");
    Next();
  }
  std::string ExpectIdent(const char* what) {
    if (tok_.kind != Kind::Ident) Fail(std::string("Expected ") + what);
    std::string ident = tok_.text;
    Next();
    return ident;
  }

  void SkipSpace() {
    while (pos_ < src_.size() && std::isspace(static_cast<unsigned char>(src_[pos_]))) {
      if (src_[pos_] == '\n') ++line_;
      ++pos_;
    }
  }

  void Next() {
    SkipSpace();
    tok_ = Token{};
    tok_.line = line_;
    if (pos_ >= src_.size()) return;
    const char c = src_[pos_];
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      const std::size_t start = pos_;
      while (pos_ < src_.size() &&
             (std::isalnum(static_cast<unsigned char>(src_[pos_])) || src_[pos_] == '_' || src_[pos_] == '.'))
        ++pos_;
      tok_.kind = Kind::Ident;
      tok_.text = std::string(src_.substr(start, pos_ - start));
    } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '$') {
      LexNumber();
    } else if (c == '\'' || c == '#') {
      LexString();
    } else if (std::strchr("=:()[]{},", c)) {
      tok_.kind = Kind::Symbol;
      tok_.text = std::string(1, c);
      ++pos_;
    } else {
      Fail("Unexpected character '" + std::string(1, c) + "'");
    }
  }

  void LexNumber() {
    const std::size_t start = pos_;
    if (src_[pos_] == '$') {
      ++pos_;
      std::uint64_t value = 0;
      std::size_t digits = 0;
      while (pos_ < src_.size() && std::isxdigit(static_cast<unsigned char>(src_[pos_]))) {
        if (++digits > 16) Fail("Hexadecimal number too long");
        const char d = static_cast<char>(std::toupper(static_cast<unsigned char>(src_[pos_++])));
        value = value * 16 + static_cast<std::uint64_t>(d <= '9' ? d - '0' : d - 'A' + 10);
      }
      if (digits == 0) Fail("Invalid hexadecimal number");
      tok_.kind = Kind::Integer;
      tok_.integer = static_cast<std::int64_t>(value);
      return;
    }
    if (src_[pos_] == '-' || src_[pos_] == '+') ++pos_;
    bool real = false;
    while (pos_ < src_.size()) {
      const char d = src_[pos_];
      if (std::isdigit(static_cast<unsigned char>(d))) {
        ++pos_;
      } else if (d == '.' || d == 'e' || d == 'E') {
        real = true;
        ++pos_;
        if ((d == 'e' || d == 'E') && pos_ < src_.size() && (src_[pos_] == '-' || src_[pos_] == '+')) ++pos_;
      } else {
        break;
      }
    }
    std::string_view number = src_.substr(start, pos_ - start);
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    const char* first = number.data();
    const char* last = number.data() + number.size();
    std::from_chars_result result{};
    if (real) {
      tok_.kind = Kind::Float;
      result = std::from_chars(first, last, tok_.real);
    } else {
      tok_.kind = Kind::Integer;
      result = std::from_chars(first, last, tok_.integer);
    }
    if (result.ec != std::errc() || result.ptr != last) Fail("Invalid number " + std::string(number));
  }

  // Quoted runs and #nnn character codes make one string; '+' joins strings across lines.
  void LexString() {
    tok_.kind = Kind::String;
    for (;;) {
      while (pos_ < src_.size() && (src_[pos_] == '\'' || src_[pos_] == '#')) {
        if (src_[pos_] == '#') {
          ++pos_;
          int code = 0;
          std::size_t digits = 0;
          while (pos_ < src_.size() && std::isdigit(static_cast<unsigned char>(src_[pos_]))) {
            code = code * 10 + (src_[pos_++] - '0');
            if (++digits > 3 || code > 255) Fail("Invalid character code");
          }
          if (digits == 0) Fail("Invalid character code");
          tok_.text += static_cast<char>(code);
          continue;
        }
        ++pos_;
        for (;;) {
          if (pos_ >= src_.size() || src_[pos_] == '\n') Fail("Unterminated string");
          if (src_[pos_] == '\'') {
            if (pos_ + 1 < src_.size() && src_[pos_ + 1] == '\'') {
              tok_.text += '\'';
              pos_ += 2;
              continue;
            }
            ++pos_;
            break;
          }
          tok_.text += src_[pos_++];
        }
      }
      const std::size_t save = pos_;
      const int saveLine = line_;
      SkipSpace();
      if (pos_ < src_.size() && src_[pos_] == '+') {
        ++pos_;
        SkipSpace();
        if (pos_ < src_.size() && (src_[pos_] == '\'' || src_[pos_] == '#')) continue;
        Fail("Expected a string after '+'");
      }
      pos_ = save;
      line_ = saveLine;
      return;
    }
  }

  void ParseObject(int depth) {
    if (depth > kMaxComponentDepth) Fail("Objects nested too deeply");
    if (!IsKeyword("object")) Fail("Expected 'object'");
    Next();
    std::string name;
    std::string className = ExpectIdent("a class name");
    if (IsSymbol(':')) {
      Next();
      name = className;
      className = ExpectIdent("a class name");
    }
    if (!IsValidIdent(className)) Fail("Invalid class name " + className);
    if (!name.empty() && !IsValidIdent(name)) Fail("Invalid component name " + name);
    out_.WriteName(className);
    out_.WriteName(name);
    while (!IsKeyword("object") && !IsKeyword("end")) {
      if (tok_.kind == Kind::End) Fail("Missing 'end' of object " + (name.empty() ? className : name));
      if (tok_.kind != Kind::Ident) Fail("Expected a property name");
      const std::string prop = ExpectIdent("a property name");
      if (!IsDottedIdent(prop)) Fail("Invalid property name " + prop);
      Expect('=');
      out_.WriteName(prop);
      ParseValue(0);
    }
    out_.WriteEnd();
    while (IsKeyword("object")) ParseObject(depth + 1);
    if (!IsKeyword("end")) Fail("Expected 'end' (properties must come before child objects)");
    Next();
    out_.WriteEnd();
  }

  void ParseValue(int depth) {
    if (depth > kMaxListDepth) Fail("Lists nested too deeply");
    switch (tok_.kind) {
      case Kind::End:
        Fail("Expected a value");
      case Kind::Integer:
        out_.WriteInteger(tok_.integer);
        break;
      case Kind::Float:
        out_.WriteDouble(tok_.real);
        break;
      case Kind::String:
        out_.WriteString(tok_.text);
        break;
      case Kind::Ident:
        if (IsKeyword("False"))
          out_.WriteBoolean(false);
        else if (IsKeyword("True"))
          out_.WriteBoolean(true);
        else if (IsKeyword("nil"))
          out_.WriteNil();
        else if (!IsDottedIdent(tok_.text))
          Fail("Invalid identifier " + tok_.text);
        else
          out_.WriteIdent(tok_.text);
        break;
      case Kind::Symbol:
        if (IsSymbol('[')) {
          ParseSet();
          return;
        }
        if (IsSymbol('(')) {
          Next();
          out_.WriteValueType(TValueType::vaList);
          while (!IsSymbol(')')) ParseValue(depth + 1);
          out_.WriteEnd();
          break;
        }
        if (IsSymbol('{')) {
          ParseBinary();
          break;
        }
        Fail("Expected a value");
    }
    Next();
  }

  void ParseSet() {
    Next();
    std::vector<std::string> names;
    while (!IsSymbol(']')) {
      if (!names.empty()) Expect(',');
      const std::string name = ExpectIdent("a set element");
      if (!IsValidIdent(name)) Fail("Invalid set element " + name);
      names.push_back(name);
    }
    Next();
    out_.WriteSet(names);
  }

  // Reads hex digits straight from the text up to the closing brace; the caller moves past it.
  void ParseBinary() {
    std::string bytes;
    int high = -1;
    for (;;) {
      if (pos_ >= src_.size()) Fail("Unterminated binary data");
      const char c = src_[pos_++];
      if (c == '}') break;
      if (c == '\n') ++line_;
      if (std::isspace(static_cast<unsigned char>(c))) continue;
      if (!std::isxdigit(static_cast<unsigned char>(c))) Fail("Invalid character in binary data");
      const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
      if (high < 0) {
        high = digit;
      } else {
        bytes += static_cast<char>(high * 16 + digit);
        high = -1;
      }
    }
    if (high >= 0) Fail("Odd number of hex digits in binary data");
    out_.WriteBinary(bytes);
    tok_.kind = Kind::Symbol;
    tok_.text = "}";
  }

  std::string_view src_;
  FormatWriter out_;
  std::size_t pos_ = 0;
  int line_ = 1;
  Token tok_;
};

}  // namespace

void ObjectBinaryToText(TStream& input, TStream& output) {
  const std::string text = BinaryToText(input).Convert();
  output.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void ObjectTextToBinary(TStream& input, TStream& output) {
  std::string text(static_cast<std::size_t>(input.Remaining()), '\0');
  input.ReadBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  TextToBinary(text, output).Convert();
}

std::string ObjectBinaryToText(const std::string& binary) {
  TMemoryStream input;
  input.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
  input.SetPosition(0);
  return BinaryToText(input).Convert();
}

std::string ObjectTextToBinary(const std::string& text) {
  TMemoryStream output;
  TextToBinary(text, output).Convert();
  return std::string(output.Bytes().begin(), output.Bytes().end());
}

bool IsBinaryComponentStream(TStream& input) {
  const std::int64_t position = input.Position();
  char signature[4] = {};
  const std::int64_t n = input.Read(signature, 4);
  input.SetPosition(position);
  return n == 4 && std::memcmp(signature, kComponentSignature, 4) == 0;
}

}  // namespace vantora::host
