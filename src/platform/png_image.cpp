// PNG decoding on libpng.
//
// Implements: DecodePngFile and DecodePngBytes of png_image.h. Every colour
// type and bit depth becomes 8-bit RGBA (palette and low-depth grey expanded,
// tRNS turned into alpha, 16-bit stripped, grey widened to RGB, an opaque alpha
// filler added). Interlaced files are handled by libpng's interlace passes.
// Lacks: colour management (gAMA, iCCP and sRGB chunks are ignored), APNG
// frames beyond the first image.
//
// libpng reports errors by longjmp; nothing with a destructor lives between
// setjmp and the libpng calls, and every error path returns false.
#include "platform/png_image.h"

#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "common/files.h"

namespace {

// Larger images are refused before any pixel memory is taken: the program's
// pictures are small flags, and a forged header must not make us allocate
// gigabytes.
constexpr png_uint_32 kMaxSide = 16384;
constexpr size_t kMaxPixels = size_t{8192} * 8192;

struct MemoryReader {
  const unsigned char* data;
  size_t size;
  size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (length > reader->size - reader->pos) {
    png_error(png, "read past the end of the data");
  }
  std::memcpy(out, reader->data + reader->pos, length);
  reader->pos += length;
}

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Decodes into pixels, which the caller sized from the header. Split out so
// that the setjmp frame holds only plain pointers.
bool Decode(png_structp png, png_infop info, MemoryReader* reader, RgbaImage* image,
            std::vector<png_bytep>* rows) {
  if (setjmp(png_jmpbuf(png))) return false;

  png_set_read_fn(png, reader, ReadFromMemory);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
      size_t{width} * height > kMaxPixels) {
    return false;
  }

  png_set_expand(png);
  png_set_strip_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t{width} * 4) return false;

  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->rgba.assign(size_t{width} * height * 4, 0);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y) {
    (*rows)[y] = image->rgba.data() + size_t{y} * width * 4;
  }
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

bool DecodePngBytes(const std::string& bytes, RgbaImage& image) {
  image = RgbaImage();
  if (bytes.size() < 8 ||
      png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0) {
    return false;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  MemoryReader reader{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0};
  RgbaImage decoded;
  std::vector<png_bytep> rows;
  const bool ok = Decode(png, info, &reader, &decoded, &rows);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) return false;
  image = std::move(decoded);
  return true;
}

bool DecodePngFile(const Text& path, RgbaImage& image) {
  image = RgbaImage();
  std::ifstream in(ToFsPath(path), std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  return DecodePngBytes(bytes, image);
}
