// Permission sets, their screen options and calibration entries as
// elements, and the two rules that keep a permission set consistent with
// its separation: direction codes and screen angles.
//
// A PermissionSet element holds 4 positional fields, then named fields in
// any order; a screenOption element holds named fields only; a
// CalibrationInfo element is positional throughout.
//
// Lists grow through GrowableArray::add; should memory run out, std::bad_alloc
// propagates and ends the reading of the document like any other failure.
#include <cstdint>

#include "devseries/field_io.h"
#include "devseries/media_info.h"

namespace devseries {
namespace {

constexpr Items kDegreeItems{.name = "flDegree",
                             .indexed = true,
                             .replace = true,
                             .limit = kMaxChannels,
                             .what = "screen angles"};

constexpr Field<ScreenOption> kScreenOptionFields[] = {
    field<&ScreenOption::bUseCustomSetting>("bUseCustomSetting"),
    field<&ScreenOption::nLineCount>("nLineCount"),
    field<&ScreenOption::eDotShape>("eDotShape"),
    field<&ScreenOption::flDegrees, List<Plain<float>, kDegreeItems>>("flDegrees"),
};
constexpr RecordForm<ScreenOption> kScreenOptionForm{kScreenOptionFields};

constexpr Field<LabValue> kLabValueFields[] = {
    field<&LabValue::l>("l"),
    field<&LabValue::a>("a"),
    field<&LabValue::b>("b"),
};
constexpr RecordForm<LabValue> kLabValueForm{kLabValueFields, 3};

// Exactly the first 21 children of density and lab count; further ones are
// ignored.
constexpr Field<CalibrationInfo> kCalibrationInfoFields[] = {
    field<&CalibrationInfo::nOutputLimit>("nOutputLimit"),
    field<&CalibrationInfo::density, Slots<Plain<float>, kValueItems>>("density"),
    field<&CalibrationInfo::lab, Slots<Nested<kLabValueForm>, kValueItems>>("lab"),
};
constexpr RecordForm<CalibrationInfo> kCalibrationInfoForm{kCalibrationInfoFields, 3};

// A direction code read is normalized (MediaInfoIO::normalizeDirection).
struct Direction : Plain<int> {
  static void read(const xml::Node& node, int& value) {
    value = MediaInfoIO::normalizeDirection(xml::readInt(node));
  }
};

constexpr Items kInkConfigIndexItems{.name = "anInkConfigIndex", .replace = true};
constexpr Items kVControlIndexItems{.name = "anVControlIndex"};
constexpr Items kFMPatternIndexItems{.name = "anFMPatternIndex"};

using ScreenOptionCodec = Entry<&MediaInfoIO::readScreenOption, &MediaInfoIO::appendScreenOption>;
using Calibrations =
    Entries<&MediaInfoIO::readCalibrationInfo, &MediaInfoIO::appendCalibrationInfo>;

constexpr Field<PermissionSet> kPermissionSetFields[] = {
    // Positional part.
    field<&PermissionSet::nPermissionIndex>("nPermissionIndex"),
    field<&PermissionSet::anInkConfigIndexList, List<Plain<int>, kInkConfigIndexItems>>(
        "anInkConfigIndexList"),
    field<&PermissionSet::nResolutionIndex>("nResolutionIndex"),
    field<&PermissionSet::nModeIndex>("nModeIndex"),
    // Named part.
    field<&PermissionSet::nPassmaskIndex>("nPassmaskIndex"),
    field<&PermissionSet::eDirection, Direction>("eDirection"),
    field<&PermissionSet::eScreen>("eScreen"),
    // Only the custom screen (8) uses the screen option.
    field<&PermissionSet::screenOption, ScreenOptionCodec>(
        "screenOption", [](const PermissionSet& record) { return record.eScreen == 8; }),
    field<&PermissionSet::anVControlIndexList, List<Plain<int>, kVControlIndexItems>>(
        "anVControlIndexList"),
    field<&PermissionSet::anFMPatternIndexList, List<Plain<int>, kFMPatternIndexItems>>(
        "anFMPatternIndexList"),
    field<&PermissionSet::nSeparationIndex>("nSeparationIndex"),
    field<&PermissionSet::aCalibrationInfoList, Calibrations>("aCalibrationInfoList"),
    field<&PermissionSet::nInkLimit>("nInkLimit"),
    field<&PermissionSet::strPrinterProfile>("strPrinterProfile"),
    field<&PermissionSet::nScanSpeed>("nScanSpeed"),
    field<&PermissionSet::nFeedSpeed>("nFeedSpeed"),
    field<&PermissionSet::bVisiblePermission>("bVisiblePermission"),
    // The reader derives an absent bRecommended from bVisiblePermission, so
    // it is written only when it says something else.
    field<&PermissionSet::bRecommended>("bRecommended",
                                        [](const PermissionSet& record) {
                                          return record.bRecommended != record.bVisiblePermission;
                                        }),
    field<&PermissionSet::nRealPassCount>("nRealPassCount"),
    field<&PermissionSet::strNextPermissionIndex>("strNextPermissionIndex"),
};
constexpr RecordForm<PermissionSet> kPermissionSetForm{kPermissionSetFields, 4};
constexpr std::size_t kRecommended = fieldIndex(kPermissionSetForm.named(), "bRecommended");

}  // namespace

void MediaInfoIO::readPermissionSet(const xml::Node& element, PermissionSet& record) {
  xml::NodeList children = element.childNodes();
  readPositionalFields(children, kPermissionSetForm.positional(), record);
  // Documents without an eScreen element mean the ordinary screen, 1.
  record.eScreen = 1;
  record.anVControlIndexList.clear();
  const FieldsSeen seen = readNamedFields(children, kPermissionSetForm.named(), record);
  // Older documents have no bRecommended: every visible set counts as
  // recommended.
  if (!seen[kRecommended]) record.bRecommended = record.bVisiblePermission;
}

xml::Node MediaInfoIO::writePermissionSet(const xml::Document& document,
                                          const PermissionSet& record) {
  return writeRecord(document, "PermissionSet", kPermissionSetForm, record);
}

void MediaInfoIO::appendPermissionSet(const xml::Node& parent, const PermissionSet& record) {
  appendRecord(parent, "PermissionSet", kPermissionSetForm, record);
}

void MediaInfoIO::readScreenOption(const xml::Node& element, ScreenOption& option) {
  // The scalar fields start from their defaults; the angles are replaced
  // only by a flDegrees element.
  option.bUseCustomSetting = false;
  option.nLineCount = 30;
  option.eDotShape = 1;
  readRecord(element, kScreenOptionForm, option);
}

xml::Node MediaInfoIO::writeScreenOption(const xml::Document& document,
                                         const ScreenOption& option) {
  return writeRecord(document, "screenOption", kScreenOptionForm, option);
}

void MediaInfoIO::appendScreenOption(const xml::Node& parent, const ScreenOption& option) {
  appendRecord(parent, "screenOption", kScreenOptionForm, option);
}

void MediaInfoIO::readCalibrationInfo(const xml::Node& element, CalibrationInfo& record) {
  readRecord(element, kCalibrationInfoForm, record);
}

xml::Node MediaInfoIO::writeCalibrationInfo(const xml::Document& document,
                                            const CalibrationInfo& record) {
  return writeRecord(document, "CalibrationInfo", kCalibrationInfoForm, record);
}

void MediaInfoIO::appendCalibrationInfo(const xml::Node& parent, const CalibrationInfo& record) {
  appendRecord(parent, "CalibrationInfo", kCalibrationInfoForm, record);
}

int MediaInfoIO::normalizeDirection(int value) {
  const auto bits = static_cast<std::uint32_t>(value);
  const std::uint32_t kind = bits >> 16;
  const std::uint32_t flags = bits & 0xFFFFu;
  if (kind == 1 || kind == 2) return value;
  // The kind follows from the flags; the flags themselves never change.
  if ((flags & 2u) != 0) return static_cast<int>((2u << 16) | flags);
  if ((flags & 1u) != 0) return static_cast<int>((1u << 16) | flags);
  return value;
}

void MediaInfoIO::fitScreenAngles(GrowableArray<MediaInfo>& media,
                                  const GrowableArray<SeparationInfo>& separations) {
  static constexpr float kFourChannelAngles[] = {30.0f, 45.0f, 90.0f, 60.0f};
  static constexpr float kSixChannelAngles[] = {15.0f, 45.0f, 90.0f, 75.0f, 45.0f, 45.0f};

  for (MediaInfo& entry : media) {
    for (PermissionSet& set : entry.aPermissionSetList) {
      const SeparationInfo* separation = findSeparation(separations, set.nSeparationIndex);
      if (separation == nullptr) continue;

      const int channels = separation->anInputChannelInkIndexList.size();
      GrowableArray<float>& degrees = set.screenOption.flDegrees;
      if (degrees.size() == channels) continue;
      // Keeps the leading angles and zero-fills new places.
      degrees.setSize(channels);
      if (channels == 4) {
        for (int i = 0; i < 4; ++i) degrees[i] = kFourChannelAngles[i];
      } else if (channels == 6) {
        for (int i = 0; i < 6; ++i) degrees[i] = kSixChannelAngles[i];
      }
    }
  }
}

}  // namespace devseries
