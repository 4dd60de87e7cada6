#include "tools/payloadgen/device_picture.h"

#include <cstddef>

namespace payloadgen {
namespace {

constexpr Rgb kBackground{255, 255, 255};
constexpr Rgb kOutline{72, 78, 88};
constexpr Rgb kBody{206, 210, 216};
constexpr Rgb kBodyShade{170, 176, 184};
constexpr Rgb kSlot{38, 42, 48};
constexpr Rgb kCarriage{52, 98, 160};
constexpr Rgb kPanel{60, 64, 72};
constexpr Rgb kDisplay{126, 204, 146};
constexpr Rgb kCyan{0, 174, 239};
constexpr Rgb kMagenta{236, 0, 140};
constexpr Rgb kYellow{255, 226, 0};
constexpr Rgb kBlack{35, 31, 32};
constexpr Rgb kStand{96, 102, 112};
constexpr Rgb kRoll{236, 236, 230};
constexpr Rgb kRollCore{150, 150, 146};
constexpr Rgb kSky{122, 186, 232};
constexpr Rgb kHill{74, 160, 84};
constexpr Rgb kHillFar{128, 190, 110};
constexpr Rgb kSun{252, 196, 40};

// Vertical positions: the machine's top edge, and the floor under the stand.
constexpr int kTop = 16;
constexpr int kFloor = 96;

void drawStand(Image& image) {
  fillRect(image, 15, kTop + 24, 19, kFloor - 3, kStand);  // legs
  fillRect(image, 87, kTop + 24, 91, kFloor - 3, kStand);
  fillRect(image, 19, kFloor - 14, 87, kFloor - 11, kStand);  // cross bar
  fillRect(image, 8, kFloor - 3, 26, kFloor, kStand);         // feet
  fillRect(image, 80, kFloor - 3, 98, kFloor, kStand);
  for (double x : {10.0, 24.0, 82.0, 96.0}) fillEllipse(image, x, kFloor + 2.5, 2.5, 2.5, kBlack);
  // Media roll held between the legs.
  constexpr int roll = kFloor - 28;
  fillRect(image, 22, roll, 84, roll + 9, kRoll);
  fillRect(image, 22, roll, 84, roll + 1, kBodyShade);
  fillRect(image, 22, roll + 8, 84, roll + 9, kBodyShade);
  fillEllipse(image, 22.0, roll + 4.5, 3.0, 4.5, kRollCore);
  fillEllipse(image, 84.0, roll + 4.5, 3.0, 4.5, kRollCore);
}

void drawBody(Image& image) {
  // Outline first, then the body inset by one pixel, with rounded top corners.
  fillRect(image, 6, kTop, 100, kTop + 26, kOutline);
  fillRect(image, 7, kTop + 1, 99, kTop + 25, kBody);
  fillRect(image, 6, kTop, 8, kTop + 2, kBackground);
  fillRect(image, 98, kTop, 100, kTop + 2, kBackground);
  fillRect(image, 7, kTop + 19, 99, kTop + 25, kBodyShade);  // lower front panel in shade
  fillRect(image, 12, kTop + 12, 82, kTop + 17, kSlot);      // print window
  fillRect(image, 50, kTop + 10, 60, kTop + 18, kCarriage);  // carriage over the window
  fillRect(image, 52, kTop + 11, 58, kTop + 13, kBody);
  // Ink bay with the four process colours.
  const Rgb inks[] = {kCyan, kMagenta, kYellow, kBlack};
  for (int i = 0; i < 4; ++i) fillRect(image, 12 + i * 4, kTop + 4, 15 + i * 4, kTop + 9, inks[i]);
  // Control panel with a display and two keys.
  fillRect(image, 84, kTop + 3, 97, kTop + 17, kPanel);
  fillRect(image, 86, kTop + 5, 95, kTop + 9, kDisplay);
  fillRect(image, 86, kTop + 12, 89, kTop + 15, kBody);
  fillRect(image, 92, kTop + 12, 95, kTop + 15, kBody);
}

void drawPrint(Image& image) {
  // A landscape print leaving the front of the machine: sky, sun, two hills.
  constexpr int left = 24;
  constexpr int right = 82;
  constexpr int top = kTop + 25;
  constexpr int bottom = kTop + 46;
  fillRect(image, left - 1, top, right + 1, bottom + 1, kOutline);
  fillRect(image, left, top, right, bottom, kSky);
  fillEllipse(image, 72.0, top + 6.5, 3.5, 3.5, kSun);
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      const int farHill = top + 8 + ((x - 40) * (x - 40)) / 50;
      const int nearHill = top + 13 + ((x - 68) * (x - 68)) / 80;
      Rgb* pixel = &image.pixels[static_cast<std::size_t>(y) * image.width + x];
      if (y >= nearHill) {
        *pixel = kHill;
      } else if (y >= farHill) {
        *pixel = kHillFar;
      }
    }
  }
}

}  // namespace

Image drawDevicePicture() {
  Image image = makeImage(kDevicePictureSize, kDevicePictureSize, kBackground);
  drawStand(image);
  drawBody(image);
  drawPrint(image);
  return image;
}

}  // namespace payloadgen
