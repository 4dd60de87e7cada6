#include "tools/payloadgen/dsr_inks.h"

#include <array>
#include <cstdint>
#include <string>

#include "tools/payloadgen/dsr_model.h"
#include "tools/payloadgen/dsr_translations.h"

namespace dsr {
namespace {

struct Rgb {
  int r, g, b;
};

struct Ink {
  int index;
  char shortName;
  Rgb light;
  Rgb dark;
};

// List order K, C, M, Y; the host shows the light and dark colours in its
// ink gauges.
constexpr std::array<Ink, 4> kInks = {{
    {kInkBlack, 'K', {198, 195, 198}, {66, 65, 66}},
    {kInkCyan, 'C', {165, 223, 247}, {0, 158, 222}},
    {kInkMagenta, 'M', {247, 170, 206}, {214, 0, 123}},
    {kInkYellow, 'Y', {255, 247, 165}, {255, 222, 0}},
}};

devseries::RgbColor color(const Rgb& rgb) {
  return {static_cast<std::uint8_t>(rgb.r), static_cast<std::uint8_t>(rgb.g),
          static_cast<std::uint8_t>(rgb.b)};
}

}  // namespace

devseries::GrowableArray<devseries::InkInfo> inkInfos() {
  devseries::GrowableArray<devseries::InkInfo> list;
  for (const Ink& ink : kInks) {
    devseries::InkInfo info;
    info.nInkIndex = ink.index;
    info.strLongInkName = inkName(ink.shortName);
    info.strShortInkName = std::string(1, ink.shortName);
    info.lightColor = color(ink.light);
    info.darkColor = color(ink.dark);
    info.flPrice = 0.0f;
    info.nCapacity = 220;
    list.add(info);
  }
  return list;
}

devseries::InkConfigInfo inkConfigInfo(const Variant& v) {
  static constexpr std::array<int, 4> kChannels = {kInkCyan, kInkMagenta, kInkYellow, kInkBlack};
  devseries::InkConfigInfo config;
  config.nInkConfigIndex = 0;
  config.strInkConfigName = inkConfigName(v.lx);
  config.strFolderName = profileFolder(v);
  for (size_t slot = 0; slot < 24; ++slot) {
    config.nInkIndexList[slot] = slot < kChannels.size() ? kChannels[slot] : -1;
  }
  return config;
}

}  // namespace dsr
