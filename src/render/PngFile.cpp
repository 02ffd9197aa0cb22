#include "render/ImageFile.h"
#include "platform/ConsoleTexts.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <new>
#include <sys/stat.h>

namespace {

// Everything that must survive a libpng error lives here, outside the frame that
// calls setjmp, so the jump back leaves nothing half-updated on that frame.
struct PngJob {
  FILE* file = nullptr;
  unsigned long long fileSize = ~0ULL; // unknown: no limit
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_infop endInfo = nullptr;
  std::vector<png_bytep> rows;
  char error[200] = "";
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
  std::snprintf(job->error, sizeof job->error, "%s", message ? message : "unknown error");
  png_longjmp(png, 1);
}

// Warnings (odd colour profiles and the like) do not stop the picture.
void OnPngWarning(png_structp, png_const_charp) {}

// Runs the libpng calls that can fail with a jump; false after an error.
bool ReadPngImage(PngJob& job, DecodedImage& image) {
  if (setjmp(png_jmpbuf(job.png))) return false;

  png_init_io(job.png, job.file);
  png_set_sig_bytes(job.png, 8);
  png_set_user_limits(job.png, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE);
  png_read_info(job.png, job.info);

  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(job.png, job.info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);

  // Deflate expands its input at most 1032 times, so a file far too short for
  // the rows its header claims is damaged; it is refused before the picture is
  // allocated, which a damaged header could otherwise make hundreds of MB.
  const unsigned long long fileRows = static_cast<unsigned long long>(png_get_rowbytes(job.png, job.info)) * height;
  if (fileRows / 1032 > job.fileSize) png_error(job.png, "the file is too short for the size it claims");

  // Palette, low-bit grey and transparency chunks to 8-bit channels; 16-bit to 8;
  // grey to RGB: the uploader only knows RGB and RGBA.
  png_set_expand(job.png);
  if (bitDepth == 16) png_set_scale_16(job.png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(job.png);
  png_set_interlace_handling(job.png);
  png_read_update_info(job.png, job.info);

  const int channels = png_get_channels(job.png, job.info);
  const size_t rowBytes = png_get_rowbytes(job.png, job.info);
  if ((channels != 3 && channels != 4) || rowBytes != static_cast<size_t>(width) * channels)
    png_error(job.png, "unexpected pixel layout");

  if (static_cast<long long>(width) * height > MAX_IMAGE_PIXELS) png_error(job.png, "image too large");
  bool allocated = true;
  try {
    image.pixels.assign(rowBytes * height, 0);
    job.rows.resize(height);
  } catch (const std::bad_alloc&) {
    allocated = false; // jump only once the handler is left
  }
  if (!allocated) png_error(job.png, "out of memory");
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.channels = channels;
  for (png_uint_32 i = 0; i < height; ++i)
    job.rows[i] = image.pixels.data() + rowBytes * (height - 1 - i); // bottom row first
  png_read_image(job.png, job.rows.data());
  return true;
}

} // namespace

bool DecodePng(const char* path, DecodedImage& image) {
  PngJob job;
  job.file = std::fopen(path, "rb");
  if (!job.file) {
    std::printf("%s %s: drawn without its picture\n", ConsoleText::FILE_CANNOT_OPEN, path);
    return false;
  }
  struct stat info = {};
  if (fstat(fileno(job.file), &info) == 0) job.fileSize = static_cast<unsigned long long>(info.st_size);
  png_byte signature[8] = {};
  if (std::fread(signature, 1, 8, job.file) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
    std::printf("NOT A PNG FILE! %s: drawn without its picture\n", path);
    std::fclose(job.file);
    return false;
  }
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError, OnPngWarning);
  if (!job.png) {
    std::printf("CANNOT CREATE PNG STRUCT!\n");
    std::fclose(job.file);
    return false;
  }
  job.info = png_create_info_struct(job.png);
  if (!job.info) {
    std::printf("OHHH HORRR SPOIL ALR!\n");
    png_destroy_read_struct(&job.png, nullptr, nullptr);
    std::fclose(job.file);
    return false;
  }
  job.endInfo = png_create_info_struct(job.png);
  if (!job.endInfo) {
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    std::printf("SOMETHING IS WRONG :(!\n");
    std::fclose(job.file);
    return false;
  }

  const bool ok = ReadPngImage(job, image);
  if (!ok) {
    std::printf("PNG FILE IS DAMAGED: %s (%s), drawn without its picture\n", path, job.error);
    image = DecodedImage{};
  }
  png_destroy_read_struct(&job.png, &job.info, &job.endInfo);
  std::fclose(job.file);
  return ok;
}
