#include "tools/payloadgen/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>

#include "testsupport/payload.h"
#include "tools/payloadgen/device_picture.h"

namespace payloadgen {
namespace {

std::uint32_t u32At(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
  return value;
}

std::uint16_t u16At(const std::string& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                    static_cast<std::uint8_t>(bytes[offset + 1]) << 8);
}

std::string asString(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(EncodeBmp24Test, StoresRowsBottomUpInBlueGreenRedPaddedToFourBytes) {
  Image image = makeImage(2, 2, Rgb{0, 0, 0});
  image.pixels[0] = {1, 2, 3};  // top left
  image.pixels[1] = {4, 5, 6};
  image.pixels[2] = {7, 8, 9};  // bottom left
  image.pixels[3] = {10, 11, 12};
  const std::string bytes = asString(encodeBmp24(image));
  ASSERT_EQ(bytes.size(), 54u + 2 * 8);
  const std::string bottom = bytes.substr(54, 8);
  const std::string top = bytes.substr(62, 8);
  EXPECT_EQ(bottom, std::string("\x09\x08\x07\x0c\x0b\x0a\x00\x00", 8));
  EXPECT_EQ(top, std::string("\x03\x02\x01\x06\x05\x04\x00\x00", 8));
}

TEST(EncodeBmp24Test, HeaderSizesAgreeForARowThatNeedsNoPadding) {
  const std::string bytes = asString(encodeBmp24(makeImage(4, 3, Rgb{9, 9, 9})));
  EXPECT_EQ(bytes.size(), 54u + 3 * 12);
  EXPECT_EQ(u32At(bytes, 2), bytes.size());
  EXPECT_EQ(u32At(bytes, 34), 36u);  // biSizeImage
}

TEST(EncodeBmp24Test, RejectsAnEmptyOrInconsistentImage) {
  EXPECT_THROW(encodeBmp24(Image{}), std::invalid_argument);
  Image image = makeImage(3, 3, Rgb{});
  image.pixels.pop_back();
  EXPECT_THROW(encodeBmp24(image), std::invalid_argument);
}

TEST(DrawingTest, ShapesAreClippedToTheImage) {
  Image image = makeImage(4, 4, Rgb{0, 0, 0});
  fillRect(image, -5, 2, 99, 99, Rgb{1, 1, 1});
  fillEllipse(image, 0.0, 0.0, 1.0, 1.0, Rgb{2, 2, 2});
  int filled = 0;
  for (const Rgb& p : image.pixels) filled += p.r == 1;
  EXPECT_EQ(filled, 8);             // two full rows
  EXPECT_EQ(image.pixels[0].r, 2);  // centre (0.5, 0.5) is inside the circle
  EXPECT_EQ(image.pixels[1].r, 0);  // (1.5, 0.5) is not
  EXPECT_EQ(image.pixels.size(), 16u);
}

TEST(DevicePictureTest, CommittedBitmapIsA24BitBitmapOf106By106) {
  const std::string bytes = testsupport::payloadText("ostrand_km.bmp");
  ASSERT_GE(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  const std::uint32_t rowBytes = (106 * 3 + 3) & ~3u;
  EXPECT_EQ(u32At(bytes, 2), bytes.size());     // bfSize
  EXPECT_EQ(u32At(bytes, 10), 54u);             // bfOffBits
  EXPECT_EQ(u32At(bytes, 14), 40u);             // BITMAPINFOHEADER
  EXPECT_EQ(u32At(bytes, 18), 106u);            // width
  EXPECT_EQ(u32At(bytes, 22), 106u);            // height, positive: bottom-up
  EXPECT_EQ(u16At(bytes, 26), 1u);              // planes
  EXPECT_EQ(u16At(bytes, 28), 24u);             // bits per pixel
  EXPECT_EQ(u32At(bytes, 30), 0u);              // BI_RGB
  EXPECT_EQ(u32At(bytes, 34), rowBytes * 106);  // biSizeImage
  EXPECT_EQ(bytes.size(), 54u + rowBytes * 106);
}

TEST(DevicePictureTest, ShowsAPictureOnAWhiteBackground) {
  const Image image = drawDevicePicture();
  ASSERT_EQ(image.width, kDevicePictureSize);
  ASSERT_EQ(image.height, kDevicePictureSize);
  std::set<std::uint32_t> colours;
  for (const Rgb& p : image.pixels) colours.insert(p.r << 16 | p.g << 8 | p.b);
  EXPECT_GE(colours.size(), 10u);
  const Rgb corner = image.pixels.front();
  EXPECT_EQ(corner.r + corner.g + corner.b, 3 * 255);
  // The committed file is this picture.
  EXPECT_EQ(asString(encodeBmp24(image)), testsupport::payloadText("ostrand_km.bmp"));
}

}  // namespace
}  // namespace payloadgen
