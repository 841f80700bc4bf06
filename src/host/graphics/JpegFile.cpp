// JPEG files through libjpeg. Its errors leave through longjmp, so the decoding function below keeps
// no object with a destructor between setjmp and the library calls; the picture it fills belongs to
// the caller.
#include <csetjmp>
#include <cstdio>
#include <string>

#include "host/graphics/DibCodec.h"
#include "host/graphics/PictureFile.h"

// After the drawing layer's headers: jpeglib defines TRUE and FALSE as macros.
#include <jpeglib.h>
// Its message codes, which need jpeglib.h first.
#include <jerror.h>

namespace vantora::host {

namespace {

struct ErrorManager {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// What the decoder may take besides the picture. A progressive file keeps every coefficient until its
// last scan, two bytes a sample: the largest picture fits with its colours subsampled, as photos
// have them (three bytes a pixel), not with three or four full-size components.
constexpr long kMaxDecoderMemory = 64L << 20;

[[noreturn]] void OnError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  // Without backing store, a decoder over its memory limit asks for one.
  if (info->err->msg_code == JERR_NO_BACKING_STORE)
    std::snprintf(errors->message, sizeof errors->message, "decoding needs more than %ld MB",
                  kMaxDecoderMemory >> 20);
  else
    (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings that mean the data is damaged or cut short count as errors; the others (stray bytes
// between markers and the like) are ignored.
void OnMessage(j_common_ptr info, int level) {
  if (level >= 0) return;
  switch (info->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL:
      OnError(info);
    default:
      return;
  }
}

// A progressive file can ask for endless scans over the same pixels.
void OnProgress(j_common_ptr info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > 1000) {
    info->err->msg_code = JERR_NOT_COMPILED;
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::snprintf(errors->message, sizeof errors->message, "too many scans");
    std::longjmp(errors->jump, 1);
  }
}

// Jpeg allows very high compression of plain areas, but not unlimited.
constexpr long long kMaxPixelsPerByte = 1024;

// Writes what is wrong with the picture's size into Message; false when nothing is.
bool SizeRefused(long long width, long long height, unsigned long size, char* message,
                 std::size_t messageSize) {
  if (const std::string problem = detail::PictureSizeProblem(width, height); !problem.empty()) {
    std::snprintf(message, messageSize, "%s", problem.c_str());
    return true;
  }
  if (width * height > static_cast<long long>(size) * kMaxPixelsPerByte + (1 << 16)) {
    std::snprintf(message, messageSize, "%lu bytes cannot hold %lld x %lld pixels", size, width, height);
    return true;
  }
  return false;
}

// Answers false when the file cannot be read, with what is wrong in Errors' message. Picture
// receives the pixels. After the jump back only Info, whose address is taken and so lives in memory,
// is used: an argument held in a register could have been overwritten by then.
bool Decode(const unsigned char* data, unsigned long size, DibImage& picture, ErrorManager& errors) {
  jpeg_decompress_struct info;
  jpeg_progress_mgr progress;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = OnError;
  errors.manager.emit_message = OnMessage;
  errors.message[0] = 0;
  progress.progress_monitor = OnProgress;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = kMaxDecoderMemory;
  info.progress = &progress;
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  const long long width = info.image_width, height = info.image_height;
  if (SizeRefused(width, height, size, errors.message, sizeof errors.message)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  jpeg_start_decompress(&info);
  picture = DibImage(static_cast<int>(width), static_cast<int>(height), 32);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.Row(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  // Four bytes a pixel either way: make them blue, green, red, 0.
  for (int y = 0; y < static_cast<int>(height); ++y) {
    std::uint8_t* p = picture.Row(y);
    for (int x = 0; x < static_cast<int>(width); ++x, p += 4) {
      if (cmyk) {
        // Adobe writes the inks inverted, which is how every CMYK file seen in practice comes.
        const unsigned k = p[3];
        const auto r = static_cast<std::uint8_t>(p[0] * k / 255),
                   g = static_cast<std::uint8_t>(p[1] * k / 255),
                   b = static_cast<std::uint8_t>(p[2] * k / 255);
        p[0] = b, p[1] = g, p[2] = r;
      }
      p[3] = 0;
    }
  }
  return true;
}

}  // namespace

DibImage ReadJpeg(const void* data, std::size_t size) {
  if (!data || size == 0) throw EInvalidGraphic("Invalid JPEG file: no data");
  if (size > 0xFFFFFFFFu) throw EInvalidGraphic("Invalid JPEG file: too large");
  DibImage picture;
  ErrorManager errors;
  if (!Decode(static_cast<const unsigned char*>(data), static_cast<unsigned long>(size), picture, errors))
    throw EInvalidGraphic(std::string("Invalid JPEG file: ") + errors.message);
  return picture;
}

}  // namespace vantora::host
