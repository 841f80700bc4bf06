// A button drawn from a sprite sheet that `vantora atlas` wrote, with SDL2 and libpng alone: it shows
// the up frame, the hover frame while the pointer is over it and the down frame while it is pressed.
//   vantora atlas gallery/*.btn -o atlas.png --data atlas.json
//   ./atlas_button atlas.png atlas.json [NAME]      (NAME: a button of the sheet; default the first)
// With --frames-test it opens no window: it loads the sheet and the frames, checks them and plays
// pointer events through the button's states (SDL_VIDEODRIVER=dummy runs it with no display).
#include <SDL.h>
#include <png.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Frame {
  int x = 0, y = 0, w = 0, h = 0;
};

// Reads the "frames" of a JSON hash file: each key's "frame" rectangle. Only strings, numbers and
// punctuation are told apart, which is all this fixed form needs.
class FrameReader {
 public:
  explicit FrameReader(std::string text) : text_(std::move(text)) {}

  std::map<std::string, Frame> Frames() {
    std::map<std::string, Frame> frames;
    Skip("\"frames\"");
    Expect(':');
    Expect('{');
    while (Peek() == '"') {
      const std::string key = String();
      Expect(':');
      Skip("\"frame\"");
      Expect(':');
      Expect('{');
      Frame f;
      for (int i = 0; i < 4; ++i) {
        const std::string field = String();
        Expect(':');
        const int value = Number();
        (field == "x" ? f.x : field == "y" ? f.y : field == "w" ? f.w : f.h) = value;
        if (i < 3) Expect(',');
      }
      Expect('}');
      frames[key] = f;
      SkipObjectRest();  // the frame's other members
      if (Peek() == ',') ++at_;
    }
    return frames;
  }

 private:
  char Peek() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    if (at_ >= text_.size()) throw std::runtime_error("the frame data ends early");
    return text_[at_];
  }
  void Expect(char c) {
    if (Peek() != c) throw std::runtime_error(std::string("expected '") + c + "' in the frame data");
    ++at_;
  }
  void Skip(const std::string& word) {
    at_ = text_.find(word, at_);
    if (at_ == std::string::npos) throw std::runtime_error("no " + word + " in the frame data");
    at_ += word.size();
  }
  std::string String() {
    Expect('"');
    std::string s;
    while (at_ < text_.size() && text_[at_] != '"') {
      if (text_[at_] == '\\') ++at_;
      if (at_ < text_.size()) s += text_[at_++];
    }
    Expect('"');
    return s;
  }
  int Number() {
    Peek();
    char* end = nullptr;
    const long value = std::strtol(text_.c_str() + at_, &end, 10);
    if (end == text_.c_str() + at_) throw std::runtime_error("expected a number in the frame data");
    at_ = static_cast<std::size_t>(end - text_.c_str());
    return static_cast<int>(value);
  }
  // Past the closing brace of the object the reader is in, strings and nested objects skipped whole.
  void SkipObjectRest() {
    for (int depth = 1; depth > 0;) {
      const char c = Peek();
      if (c == '"') {
        String();
        continue;
      }
      ++at_;
      depth += c == '{' ? 1 : c == '}' ? -1 : 0;
    }
  }

  std::string text_;
  std::size_t at_ = 0;
};

struct Sheet {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;
};

Sheet LoadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str()))
    throw std::runtime_error(path + ": " + image.message);
  image.format = PNG_FORMAT_RGBA;
  Sheet sheet{static_cast<int>(image.width), static_cast<int>(image.height), {}};
  sheet.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, sheet.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    throw std::runtime_error(path + ": " + image.message);
  }
  return sheet;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The button: which frame it shows follows the pointer.
class SpriteButton {
 public:
  SpriteButton(int x, int y, int w, int h) : area_{x, y, w, h} {}

  void Handle(const SDL_Event& event) {
    switch (event.type) {
      case SDL_MOUSEMOTION:
        over_ = Inside(event.motion.x, event.motion.y);
        break;
      case SDL_MOUSEBUTTONDOWN:
        pressed_ = event.button.button == SDL_BUTTON_LEFT && Inside(event.button.x, event.button.y);
        break;
      case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) pressed_ = false;
        break;
      default:
        break;
    }
  }
  const char* State() const { return pressed_ && over_ ? "down" : over_ ? "hover" : "up"; }
  const SDL_Rect& Area() const { return area_; }

 private:
  bool Inside(int x, int y) const {
    const SDL_Point p{x, y};
    return SDL_PointInRect(&p, &area_);
  }
  SDL_Rect area_;
  bool over_ = false;
  bool pressed_ = false;
};

SDL_Event Mouse(Uint32 type, int x, int y) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.x = x;
    e.motion.y = y;
  } else {
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = x;
    e.button.y = y;
  }
  return e;
}

// Every frame inside the sheet and showing something; the button's states found; pointer events
// leading through them in order.
int FramesTest(const Sheet& sheet, const std::map<std::string, Frame>& frames, const std::string& name) {
  for (const auto& [key, f] : frames) {
    if (f.w <= 0 || f.h <= 0 || f.x < 0 || f.y < 0 || f.x + f.w > sheet.width || f.y + f.h > sheet.height)
      throw std::runtime_error(key + " lies outside the sheet");
    bool seen = false;
    for (int y = f.y; y < f.y + f.h && !seen; ++y)
      for (int x = f.x; x < f.x + f.w && !seen; ++x)
        seen = sheet.rgba[(static_cast<std::size_t>(y) * sheet.width + x) * 4 + 3] != 0;
    if (!seen) throw std::runtime_error(key + " is all transparent");
  }
  SpriteButton button(10, 10, 100, 40);
  const std::vector<std::pair<SDL_Event, std::string>> script = {
      {Mouse(SDL_MOUSEMOTION, 50, 20), "hover"},   {Mouse(SDL_MOUSEBUTTONDOWN, 50, 20), "down"},
      {Mouse(SDL_MOUSEMOTION, 300, 20), "up"},     {Mouse(SDL_MOUSEMOTION, 50, 20), "down"},
      {Mouse(SDL_MOUSEBUTTONUP, 50, 20), "hover"}, {Mouse(SDL_MOUSEMOTION, 5, 5), "up"}};
  for (const auto& [event, expected] : script) {
    button.Handle(event);
    if (button.State() != expected)
      throw std::runtime_error("the button shows " + std::string(button.State()));
    if (!frames.count(name + "/" + expected)) throw std::runtime_error("no frame " + name + "/" + expected);
  }
  std::printf("atlas_button: %zu frames on a %d x %d sheet; %s shows up, hover and down\n", frames.size(),
              sheet.width, sheet.height, name.c_str());
  return 0;
}

int Show(const Sheet& sheet, const std::map<std::string, Frame>& frames, const std::string& name) {
  const Frame& up = frames.at(name + "/up");
  SDL_Window* window = SDL_CreateWindow("atlas_button", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        up.w + 80, up.h + 80, 0);
  if (!window) throw std::runtime_error(SDL_GetError());
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<unsigned char*>(sheet.rgba.data()), sheet.width,
                                         sheet.height, 32, sheet.width * 4, SDL_PIXELFORMAT_RGBA32);
  SDL_Texture* texture = renderer && surface ? SDL_CreateTextureFromSurface(renderer, surface) : nullptr;
  if (!texture) throw std::runtime_error(SDL_GetError());
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  SpriteButton button(40, 40, up.w, up.h);
  for (bool running = true; running;) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) running = false;
      button.Handle(event);
    }
    const Frame& f = frames.at(name + "/" + button.State());
    const SDL_Rect from{f.x, f.y, f.w, f.h}, to{button.Area().x, button.Area().y, f.w, f.h};
    SDL_SetRenderDrawColor(renderer, 60, 70, 90, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, &from, &to);
    SDL_RenderPresent(renderer);
    SDL_Delay(16);
  }
  SDL_DestroyTexture(texture);
  SDL_FreeSurface(surface);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  bool framesTest = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--frames-test")
      framesTest = true;
    else
      args.push_back(argv[i]);
  }
  if (args.size() < 2 || args.size() > 3) {
    std::fprintf(stderr, "usage: atlas_button ATLAS.png ATLAS.json [NAME] [--frames-test]\n");
    return 2;
  }
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "atlas_button: %s\n", SDL_GetError());
    return 1;
  }
  int status = 1;
  try {
    const Sheet sheet = LoadPng(args[0]);
    const std::map<std::string, Frame> frames = FrameReader(ReadText(args[1])).Frames();
    if (frames.empty()) throw std::runtime_error("no frames in " + args[1]);
    const std::string name =
        args.size() == 3 ? args[2] : frames.begin()->first.substr(0, frames.begin()->first.find('/'));
    for (const char* state : {"up", "hover", "down"})
      if (!frames.count(name + "/" + state)) throw std::runtime_error("no frame " + name + "/" + state);
    status = framesTest ? FramesTest(sheet, frames, name) : Show(sheet, frames, name);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "atlas_button: %s\n", e.what());
  }
  SDL_Quit();
  return status;
}
