// InkInfo and InkConfigInfo elements, and the lookup of the process inks.
#include <cstdint>

#include "devseries/field_io.h"
#include "devseries/ink_info.h"
#include "xml/value_codec.h"

namespace devseries {
namespace {

// The first three child nodes of |node|, whatever their names, as R, G and
// B. A component keeps the low 8 bits of the int read, so "300" gives 44 and
// "-1" gives 255.
RgbColor readRgbColor(const xml::Node& node) {
  xml::NodeList children = node.childNodes();
  RgbColor color;
  for (std::uint8_t* component : {&color.R, &color.G, &color.B}) {
    *component =
        static_cast<std::uint8_t>(static_cast<unsigned>(xml::readInt(children.nextNode())));
  }
  return color;
}

xml::Node createRgbColorElement(const xml::Document& document, std::string_view name,
                                const RgbColor& color) {
  xml::Node element = document.createElement(name);
  element.appendChild(xml::createIntElement(document, "R", color.R));
  element.appendChild(xml::createIntElement(document, "G", color.G));
  element.appendChild(xml::createIntElement(document, "B", color.B));
  return element;
}

}  // namespace

void InkInfoIO::readInkInfo(const xml::Node& element, InkInfo& record) {
  xml::NodeList children = element.childNodes();
  record.nInkIndex = xml::readInt(children.nextNode());
  xml::readLocalizedText(children.nextNode(), record.strLongInkName);
  record.strShortInkName = xml::readText(children.nextNode());
  // A null node raises kEPointer in childNodes, as a missing field must.
  record.lightColor = readRgbColor(children.nextNode());
  record.darkColor = readRgbColor(children.nextNode());

  // The named fields start from their defaults whatever record the caller
  // passes, so a reused working record cannot carry a price over.
  record.flPrice = 0.0f;
  record.nCapacity = 0;
  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    const std::string_view name = node.nodeName();
    if (name == "flPrice") {
      record.flPrice = readFloat(node);
    } else if (name == "nCapacity") {
      record.nCapacity = xml::readInt(node);
    }
  }
}

xml::Node InkInfoIO::writeInkInfo(const xml::Document& document, const InkInfo& record) {
  xml::Node element = document.createElement("InkInfo");
  element.appendChild(xml::createIntElement(document, "nInkIndex", record.nInkIndex));
  element.appendChild(
      xml::createLocalizedTextElement(document, "strLongInkName", record.strLongInkName));
  element.appendChild(xml::createTextElement(document, "strShortInkName", record.strShortInkName));
  element.appendChild(createRgbColorElement(document, "lightColor", record.lightColor));
  element.appendChild(createRgbColorElement(document, "darkColor", record.darkColor));
  element.appendChild(xml::createRealElement(document, "flPrice",
                                             static_cast<double>(record.flPrice), kRealDecimals));
  element.appendChild(xml::createIntElement(document, "nCapacity", record.nCapacity));
  return element;
}

std::array<int, 4> InkInfoIO::findCmykInks(const GrowableArray<InkInfo>& inks) {
  static constexpr std::string_view kShortNames[4] = {"C", "M", "Y", "K"};
  std::array<int, 4> indices = {0, 0, 0, 0};
  for (const InkInfo& ink : inks) {
    for (std::size_t i = 0; i < indices.size(); ++i) {
      if (ink.strShortInkName == kShortNames[i]) indices[i] = ink.nInkIndex;
    }
  }
  return indices;
}

void InkConfigInfoIO::readInkConfigInfo(const xml::Node& element, InkConfigInfo& record) {
  xml::NodeList children = element.childNodes();
  record.nInkConfigIndex = xml::readInt(children.nextNode());
  xml::readLocalizedText(children.nextNode(), record.strInkConfigName);
  record.strFolderName = xml::readText(children.nextNode());
  readIntSlots(children.nextNode(), record.nInkIndexList);
  // Children after the slot list are not part of the record.
}

xml::Node InkConfigInfoIO::writeInkConfigInfo(const xml::Document& document,
                                              const InkConfigInfo& record) {
  xml::Node element = document.createElement("InkConfigInfo");
  element.appendChild(xml::createIntElement(document, "nInkConfigIndex", record.nInkConfigIndex));
  element.appendChild(
      xml::createLocalizedTextElement(document, "strInkConfigName", record.strInkConfigName));
  element.appendChild(xml::createTextElement(document, "strFolderName", record.strFolderName));
  element.appendChild(
      createIntSlotsElement(document, "nInkIndexList", record.nInkIndexList, "nInkIndex"));
  return element;
}

}  // namespace devseries
