#include "tools/payloadgen/bitmap.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace payloadgen {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dpi

void putU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
  }
}

}  // namespace

Image makeImage(int width, int height, Rgb fill) {
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
  return image;
}

void fillRect(Image& image, int left, int top, int right, int bottom, Rgb colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, image.width);
  bottom = std::min(bottom, image.height);
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      image.pixels[static_cast<std::size_t>(y) * image.width + x] = colour;
    }
  }
}

void fillEllipse(Image& image, double cx, double cy, double rx, double ry, Rgb colour) {
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const double dx = (x + 0.5 - cx) / rx;
      const double dy = (y + 0.5 - cy) / ry;
      if (dx * dx + dy * dy <= 1.0) {
        image.pixels[static_cast<std::size_t>(y) * image.width + x] = colour;
      }
    }
  }
}

std::vector<std::uint8_t> encodeBmp24(const Image& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
    throw std::invalid_argument("encodeBmp24: bad image dimensions");
  }
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(image.height);
  const std::uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize;

  std::vector<std::uint8_t> out;
  out.reserve(dataOffset + imageBytes);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  putU32(out, dataOffset + imageBytes);  // bfSize
  putU16(out, 0);                        // bfReserved1
  putU16(out, 0);                        // bfReserved2
  putU32(out, dataOffset);               // bfOffBits
  // BITMAPINFOHEADER; a positive height means the rows are stored bottom-up.
  putU32(out, kInfoHeaderSize);
  putU32(out, static_cast<std::uint32_t>(image.width));
  putU32(out, static_cast<std::uint32_t>(image.height));
  putU16(out, 1);   // biPlanes
  putU16(out, 24);  // biBitCount
  putU32(out, 0);   // biCompression = BI_RGB
  putU32(out, imageBytes);
  putU32(out, static_cast<std::uint32_t>(kPixelsPerMetre));
  putU32(out, static_cast<std::uint32_t>(kPixelsPerMetre));
  putU32(out, 0);  // biClrUsed
  putU32(out, 0);  // biClrImportant

  for (int y = image.height - 1; y >= 0; --y) {
    const std::size_t rowStart = out.size();
    for (int x = 0; x < image.width; ++x) {
      const Rgb& p = image.pixels[static_cast<std::size_t>(y) * image.width + x];
      out.push_back(p.b);
      out.push_back(p.g);
      out.push_back(p.r);
    }
    out.resize(rowStart + rowBytes, 0);
  }
  return out;
}

}  // namespace payloadgen
