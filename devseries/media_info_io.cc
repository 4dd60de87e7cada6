// Media entries, their quality levels and time stamps as elements.
//
// A MediaInfo element holds 16 leading fields by position, then a time stamp
// (the 17th child, whatever its name), then named fields in any order. The
// QualityInfo element holds 3 positional fields and one named field.
//
// Lists grow through GrowableArray::add; should memory run out, std::bad_alloc
// propagates and ends the reading of the document like any other failure.
#include "devseries/field_io.h"
#include "devseries/media_info.h"

namespace devseries {
namespace {

// The seven children year, month, day, hour, minute, second, ms, by position.
constexpr Field<TimeStamp> kTimeStampFields[] = {
    field<&TimeStamp::year>("year"),     field<&TimeStamp::month>("month"),
    field<&TimeStamp::day>("day"),       field<&TimeStamp::hour>("hour"),
    field<&TimeStamp::minute>("minute"), field<&TimeStamp::second>("second"),
    field<&TimeStamp::ms>("ms"),
};
constexpr RecordForm<TimeStamp> kTimeStampForm{kTimeStampFields, 7};

constexpr Items kPermissionIndexItems{.name = "anPermissionIndex"};

constexpr Field<QualityInfo> kQualityInfoFields[] = {
    // Positional part.
    field<&QualityInfo::nQualityLevel>("nQualityLevel"),
    field<&QualityInfo::strQualityName>("strQualityName"),
    field<&QualityInfo::anPermissionIndexList, List<Plain<int>, kPermissionIndexItems>>(
        "anPermissionIndexList"),
    // Named part.
    field<&QualityInfo::bVisibleQuality>("bVisibleQuality"),
};
constexpr RecordForm<QualityInfo> kQualityInfoForm{kQualityInfoFields, 3};

// -1 is an old way of saying "off".
struct VacuumPower : Plain<int> {
  static void read(const xml::Node& node, int& value) {
    value = xml::readInt(node);
    if (value == -1) value = 0;
  }
};

constexpr Items kFeedCalibrationItems{
    .name = "value", .limit = kMaxModels, .what = "feed calibration values"};

using PermissionSets = Entries<&MediaInfoIO::readPermissionSet, &MediaInfoIO::appendPermissionSet>;
using QualityInfos = Entries<&MediaInfoIO::readQualityInfo, &MediaInfoIO::appendQualityInfo>;

constexpr Field<MediaInfo> kMediaInfoFields[] = {
    // Positional part; every child of a list element is an entry, whatever
    // its name.
    field<&MediaInfo::strMediaName>("strMediaName"),
    field<&MediaInfo::strBaseMediaName>("strBaseMediaName"),
    field<&MediaInfo::aPermissionSetList, PermissionSets>("aPermissionSetList"),
    field<&MediaInfo::aQualityInfoList, QualityInfos>("aQualityInfoList"),
    field<&MediaInfo::nDefaultLevel>("nDefaultLevel"),
    field<&MediaInfo::nDryTime>("nDryTime"),
    field<&MediaInfo::nVacuumPower, VacuumPower>("nVacuumPower"),
    field<&MediaInfo::eHeadHeight>("eHeadHeight"),
    field<&MediaInfo::aflFeedCalibration, List<Plain<float>, kFeedCalibrationItems>>(
        "aflFeedCalibration"),
    field<&MediaInfo::nPreHeater>("nPreHeater"),
    field<&MediaInfo::nPrintHeater>("nPrintHeater"),
    field<&MediaInfo::nDryHeater>("nDryHeater"),
    field<&MediaInfo::nCutCount>("nCutCount"),
    field<&MediaInfo::nCutVelocity>("nCutVelocity"),
    field<&MediaInfo::nCutForce>("nCutForce"),
    field<&MediaInfo::flCutOffset>("flCutOffset"),
    // The optional time stamp, taken by position when present.
    field<&MediaInfo::timeStamp, Entry<&readTimeStamp, &appendTimeStamp>>("TimeStamp"),
    // Named part.
    field<&MediaInfo::bVisibleMedia>("bVisibleMedia"),
    field<&MediaInfo::bCuttingMedia>("bCuttingMedia"),
    field<&MediaInfo::bUpdateNeeded>("bUpdateNeeded"),
    field<&MediaInfo::nInputRoute>("nInputRoute"),
    field<&MediaInfo::bPreHeaterEnable>("bPreHeaterEnable"),
    field<&MediaInfo::bPrinterHeaterEnable>("bPrinterHeaterEnable"),
    field<&MediaInfo::bDrierEnable>("bDrierEnable"),
    field<&MediaInfo::nMediaAttribute>("nMediaAttribute"),
    field<&MediaInfo::bHideUnrecommendedMode, Flag32>("bHideUnrecommendedMode"),
    field<&MediaInfo::flNormalCutForceRange>("flNormalCutForceRange"),
    field<&MediaInfo::flDeepCutForceRange>("flDeepCutForceRange"),
    field<&MediaInfo::nDeepCutForce, IntAsReal>("nDeepCutForce"),
    field<&MediaInfo::nHalfCutForce, IntAsReal>("nHalfCutForce"),
    field<&MediaInfo::nOverPrintCount>("nOverPrintCount"),
    field<&MediaInfo::bUseDensityCalibration>("bUseDensityCalibration"),
};
constexpr RecordForm<MediaInfo> kMediaInfoForm{kMediaInfoFields, 17};
constexpr std::size_t kRequiredCount = 16;

}  // namespace

void MediaInfoIO::readMediaInfo(const xml::Node& element, MediaInfo& record) {
  xml::NodeList children = element.childNodes();
  const auto positional = kMediaInfoForm.positional();
  readPositionalFields(children, positional.first(kRequiredCount), record);
  // The time stamp is optional, but when a 17th child exists it is taken as
  // the time stamp whatever its name.
  if (xml::Node stamp = children.nextNode(); stamp) positional.back().read(stamp, record);

  // A drier temperature of 0 means the drier is off, unless the entry says
  // otherwise by a bDrierEnable element of its own.
  if (record.nDryHeater == 0) record.bDrierEnable = false;

  readNamedFields(children, kMediaInfoForm.named(), record);
}

xml::Node MediaInfoIO::writeMediaInfo(const xml::Document& document, const MediaInfo& record) {
  return writeRecord(document, "MediaInfo", kMediaInfoForm, record);
}

void MediaInfoIO::appendMediaInfo(const xml::Node& parent, const MediaInfo& record) {
  appendRecord(parent, "MediaInfo", kMediaInfoForm, record);
}

void MediaInfoIO::readQualityInfo(const xml::Node& element, QualityInfo& record) {
  readRecord(element, kQualityInfoForm, record);
}

xml::Node MediaInfoIO::writeQualityInfo(const xml::Document& document, const QualityInfo& record) {
  return writeRecord(document, "QualityInfo", kQualityInfoForm, record);
}

void MediaInfoIO::appendQualityInfo(const xml::Node& parent, const QualityInfo& record) {
  appendRecord(parent, "QualityInfo", kQualityInfoForm, record);
}

void readTimeStamp(const xml::Node& element, TimeStamp& out) {
  // Read all seven before storing, so a short element leaves |out| unchanged.
  TimeStamp read = out;
  readRecord(element, kTimeStampForm, read);
  out = read;
}

xml::Node writeTimeStamp(const xml::Document& document, std::string_view name,
                         const TimeStamp& value) {
  return writeRecord(document, name, kTimeStampForm, value);
}

void appendTimeStamp(const xml::Node& parent, xml::ElementName name, const TimeStamp& value) {
  appendRecord(parent, name, kTimeStampForm, value);
}

}  // namespace devseries
