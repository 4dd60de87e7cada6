#include "tools/payloadgen/dsr_inks.h"

#include <array>
#include <string>

#include "tools/payloadgen/dsr_model.h"
#include "tools/payloadgen/dsr_translations.h"
#include "tools/payloadgen/dsr_xml.h"

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

void addColor(pugi::xml_node parent, const char* name, const Rgb& color) {
  pugi::xml_node node = addElement(parent, name);
  addInt(node, "R", color.r);
  addInt(node, "G", color.g);
  addInt(node, "B", color.b);
}

}  // namespace

void appendInkInfos(pugi::xml_node list) {
  for (const Ink& ink : kInks) {
    pugi::xml_node node = addElement(list, "InkInfo");
    addInt(node, "nInkIndex", ink.index);
    addLocalized(node, "strLongInkName", inkName(ink.shortName));
    addText(node, "strShortInkName", std::string(1, ink.shortName));
    addColor(node, "lightColor", ink.light);
    addColor(node, "darkColor", ink.dark);
    addFloat(node, "flPrice", 0.0);
    addInt(node, "nCapacity", 220);
  }
}

void appendInkConfigInfos(pugi::xml_node list, const Variant& v) {
  static constexpr std::array<int, 4> kChannels = {kInkCyan, kInkMagenta, kInkYellow, kInkBlack};
  pugi::xml_node node = addElement(list, "InkConfigInfo");
  addInt(node, "nInkConfigIndex", 0);
  addLocalized(node, "strInkConfigName", inkConfigName(v.lx));
  addText(node, "strFolderName", profileFolder(v));
  pugi::xml_node slots = addElement(node, "nInkIndexList");
  for (size_t slot = 0; slot < 24; ++slot) {
    addInt(slots, "nInkIndex", slot < kChannels.size() ? kChannels[slot] : -1);
  }
}

}  // namespace dsr
