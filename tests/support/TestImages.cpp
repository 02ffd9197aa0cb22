#include "support/TestImages.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

struct FolderRemover {
  std::vector<std::string> folders;
  ~FolderRemover() {
    std::error_code ignored;
    for (auto& f : folders) std::filesystem::remove_all(f, ignored);
  }
} s_folders;

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

std::string TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kvo-render-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const char* made = mkdtemp(buffer.data());
  std::string folder = made ? made : std::filesystem::temp_directory_path().string();
  s_folders.folders.push_back(folder);
  return folder;
}

bool WritePng(const std::string& path, const PngPicture& picture) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colorType,
               picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (size_t i = 0; i + 2 < picture.palette.size(); i += 3)
    palette.push_back({picture.palette[i], picture.palette[i + 1], picture.palette[i + 2]});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!picture.transparency.empty()) {
    if (picture.colorType == PNG_COLOR_TYPE_PALETTE) {
      png_set_tRNS(png, info, picture.transparency.data(), static_cast<int>(picture.transparency.size()), nullptr);
    } else {
      png_color_16 key{};
      key.gray = key.red = picture.transparency[0];
      if (picture.transparency.size() >= 3) {
        key.green = picture.transparency[1];
        key.blue = picture.transparency[2];
      }
      png_set_tRNS(png, info, nullptr, 0, &key);
    }
  }
  png_write_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<png_bytep> rows(picture.height);
  std::vector<uint8_t> data = picture.rows;
  data.resize(rowBytes * picture.height);
  for (int y = 0; y < picture.height; ++y) rows[y] = data.data() + rowBytes * y;
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return true;
}

bool WriteRgbaPng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgba) {
  PngPicture picture;
  picture.width = width;
  picture.height = height;
  picture.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  for (uint32_t p : rgba)
    for (int shift = 24; shift >= 0; shift -= 8) picture.rows.push_back(static_cast<uint8_t>(p >> shift));
  return WritePng(path, picture);
}

bool WriteBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb,
              uint32_t sizeField, int32_t heightField, uint32_t dataOffset) {
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::vector<uint8_t> file(dataOffset + stride * height, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 2, static_cast<uint32_t>(file.size()));
  Put32(file, 10, dataOffset);
  Put32(file, 14, 40);
  Put32(file, 18, static_cast<uint32_t>(width));
  Put32(file, 22, static_cast<uint32_t>(heightField ? heightField : height));
  file[26] = 1;
  file[28] = 24;
  Put32(file, 34, sizeField);
  for (int y = 0; y < height; ++y) {
    const int fileRow = height - 1 - y; // bottom row first
    for (int x = 0; x < width; ++x) {
      const uint32_t p = rgb[static_cast<size_t>(y) * width + x];
      uint8_t* px = file.data() + dataOffset + stride * fileRow + x * 3;
      px[0] = static_cast<uint8_t>(p);
      px[1] = static_cast<uint8_t>(p >> 8);
      px[2] = static_cast<uint8_t>(p >> 16);
    }
  }
  WriteBytes(path, file);
  return true;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::vector<std::string> ReadTokens(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> tokens;
  std::string t;
  while (in >> t) tokens.push_back(t);
  return tokens;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
