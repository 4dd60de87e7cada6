// A small RGB raster and its encoding as a 24-bit Windows bitmap file.
#pragma once

#include <cstdint>
#include <vector>

namespace payloadgen {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};

// Pixels row by row from the top-left corner; pixels.size() is width * height.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;
};

// An image of the given size filled with one colour.
Image makeImage(int width, int height, Rgb fill);

// Paints the pixels with left <= x < right and top <= y < bottom, clipped to
// the image.
void fillRect(Image& image, int left, int top, int right, int bottom, Rgb colour);

// Paints the pixels whose centres lie inside the ellipse with centre (cx, cy)
// and radii rx, ry, clipped to the image.
void fillEllipse(Image& image, double cx, double cy, double rx, double ry, Rgb colour);

// The bytes of a Windows bitmap file: BITMAPFILEHEADER, BITMAPINFOHEADER
// (40 bytes, 24 bits per pixel, uncompressed, 2835 pixels per metre), then
// the rows bottom-up, each pixel blue-green-red, each row padded with zeros
// to a multiple of 4 bytes. Width and height must be positive.
std::vector<std::uint8_t> encodeBmp24(const Image& image);

}  // namespace payloadgen
