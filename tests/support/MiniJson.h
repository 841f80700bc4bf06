// Enough of JSON to read back the data files the tool writes: objects (member order kept), arrays,
// strings with their escapes, numbers, true, false and null. Malformed text throws.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vantora::test {

struct Json {
  enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  const Json& operator[](const std::string& name) const {
    for (const auto& [key, value] : members)
      if (key == name) return value;
    throw std::runtime_error("no member " + name);
  }
  int Int() const { return static_cast<int>(number); }
};

class JsonReader {
 public:
  static Json Parse(const std::string& text) {
    JsonReader reader(text);
    Json value = reader.Value();
    reader.Space();
    if (reader.at_ != text.size()) reader.Fail("text after the value");
    return value;
  }

 private:
  explicit JsonReader(const std::string& text) : text_(text) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at " + std::to_string(at_));
  }
  void Space() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\t' || text_[at_] == '\r'))
      ++at_;
  }
  void Expect(char c) {
    Space();
    if (at_ >= text_.size() || text_[at_] != c) Fail(std::string("expected '") + c + "'");
    ++at_;
  }
  bool Next(char c) {
    Space();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool Word(const char* word) {
    const std::string w(word);
    if (text_.compare(at_, w.size(), w) != 0) return false;
    at_ += w.size();
    return true;
  }

  std::string Text() {
    Expect('"');
    std::string out;
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      if (static_cast<unsigned char>(c) < 0x20) Fail("control character in a string");
      if (c == '\\') {
        if (at_ >= text_.size()) Fail("unfinished escape");
        c = text_[at_++];
        switch (c) {
          case 'n':
            out += '\n';
            break;
          case 't':
            out += '\t';
            break;
          case 'r':
            out += '\r';
            break;
          case 'b':
            out += '\b';
            break;
          case 'f':
            out += '\f';
            break;
          case 'u': {
            if (at_ + 4 > text_.size()) Fail("short \\u escape");
            const long code = std::strtol(text_.substr(at_, 4).c_str(), nullptr, 16);
            if (code > 0x7F) Fail("only ASCII \\u escapes are read here");
            out += static_cast<char>(code);
            at_ += 4;
            break;
          }
          case '"':
          case '\\':
          case '/':
            out += c;
            break;
          default:
            Fail("unknown escape");
        }
      } else {
        out += c;
      }
    }
    Expect('"');
    return out;
  }

  Json Value() {
    Space();
    if (at_ >= text_.size()) Fail("no value");
    Json v;
    const char c = text_[at_];
    if (c == '{') {
      v.kind = Json::Object;
      ++at_;
      if (Next('}')) return v;
      do {
        std::string key = Text();
        Expect(':');
        v.members.emplace_back(std::move(key), Value());
      } while (Next(','));
      Expect('}');
    } else if (c == '[') {
      v.kind = Json::Array;
      ++at_;
      if (Next(']')) return v;
      do v.items.push_back(Value());
      while (Next(','));
      Expect(']');
    } else if (c == '"') {
      v.kind = Json::String;
      v.text = Text();
    } else if (Word("true")) {
      v.kind = Json::Bool;
      v.boolean = true;
    } else if (Word("false")) {
      v.kind = Json::Bool;
    } else if (Word("null")) {
      v.kind = Json::Null;
    } else {
      char* end = nullptr;
      v.kind = Json::Number;
      v.number = std::strtod(text_.c_str() + at_, &end);
      if (end == text_.c_str() + at_) Fail("not a value");
      at_ = static_cast<std::size_t>(end - text_.c_str());
    }
    return v;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

}  // namespace vantora::test
