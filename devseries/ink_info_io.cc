// InkInfo and InkConfigInfo elements, and the lookup of the process inks.
#include "devseries/field_io.h"
#include "devseries/ink_info.h"

namespace devseries {
namespace {

// The first three child nodes, whatever their names, are R, G and B.
constexpr Field<RgbColor> kRgbColorFields[] = {
    field<&RgbColor::R>("R"),
    field<&RgbColor::G>("G"),
    field<&RgbColor::B>("B"),
};
constexpr RecordForm<RgbColor> kRgbColorForm{kRgbColorFields, 3};

constexpr Field<InkInfo> kInkInfoFields[] = {
    // Positional part.
    field<&InkInfo::nInkIndex>("nInkIndex"),
    field<&InkInfo::strLongInkName>("strLongInkName"),
    field<&InkInfo::strShortInkName>("strShortInkName"),
    field<&InkInfo::lightColor, Nested<kRgbColorForm>>("lightColor"),
    field<&InkInfo::darkColor, Nested<kRgbColorForm>>("darkColor"),
    // Named part.
    field<&InkInfo::flPrice>("flPrice"),
    field<&InkInfo::nCapacity>("nCapacity"),
};
constexpr RecordForm<InkInfo> kInkInfoForm{kInkInfoFields, 5};

constexpr Items kInkIndexItems{.name = "nInkIndex"};

// Children after the slot list are not part of the record.
constexpr Field<InkConfigInfo> kInkConfigInfoFields[] = {
    field<&InkConfigInfo::nInkConfigIndex>("nInkConfigIndex"),
    field<&InkConfigInfo::strInkConfigName>("strInkConfigName"),
    field<&InkConfigInfo::strFolderName>("strFolderName"),
    field<&InkConfigInfo::nInkIndexList, Slots<Plain<int>, kInkIndexItems>>("nInkIndexList"),
};
constexpr RecordForm<InkConfigInfo> kInkConfigInfoForm{kInkConfigInfoFields, 4};

}  // namespace

void InkInfoIO::readInkInfo(const xml::Node& element, InkInfo& record) {
  xml::NodeList children = element.childNodes();
  readPositionalFields(children, kInkInfoForm.positional(), record);
  // The named fields start from their defaults whatever record the caller
  // passes, so a reused working record cannot carry a price over.
  record.flPrice = 0.0f;
  record.nCapacity = 0;
  readNamedFields(children, kInkInfoForm.named(), record);
}

xml::Node InkInfoIO::writeInkInfo(const xml::Document& document, const InkInfo& record) {
  return writeRecord(document, "InkInfo", kInkInfoForm, record);
}

void InkInfoIO::appendInkInfo(const xml::Node& parent, const InkInfo& record) {
  appendRecord(parent, "InkInfo", kInkInfoForm, record);
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
  readRecord(element, kInkConfigInfoForm, record);
}

xml::Node InkConfigInfoIO::writeInkConfigInfo(const xml::Document& document,
                                              const InkConfigInfo& record) {
  return writeRecord(document, "InkConfigInfo", kInkConfigInfoForm, record);
}

void InkConfigInfoIO::appendInkConfigInfo(const xml::Node& parent, const InkConfigInfo& record) {
  appendRecord(parent, "InkConfigInfo", kInkConfigInfoForm, record);
}

}  // namespace devseries
