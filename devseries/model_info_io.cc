// ModelInfo elements: 21 fields by position, then 37 by name.
#include <span>

#include "devseries/field_io.h"
#include "devseries/model_info.h"

namespace devseries {
namespace {

using F = Field<ModelInfo>;

// All 58 fields in document order; the writer emits them all in this order.
constexpr F kModelInfoFields[] = {
    // Positional part: older documents end after dHWBottomMargin_mm.
    {"strLongModelName", &ModelInfo::strLongModelName},
    {"strMIBModelName", &ModelInfo::strMIBModelName},
    {"strFolderName", &ModelInfo::strFolderName},
    {"dMaxWidth", &ModelInfo::dMaxWidth},
    {"nHeadNum", &ModelInfo::nHeadNum},
    {"nHeadPositionIndex", &ModelInfo::nHeadPositionIndex},
    {"nDefaultInkIndex", &ModelInfo::nDefaultInkIndex},
    {"bCutFeature", &ModelInfo::bCutFeature},
    {"nHeaterFeature", TruncatedIntMember<ModelInfo>(&ModelInfo::nHeaterFeature)},
    {"nHeadHeightMask", &ModelInfo::nHeadHeightMask},
    {"strStaticStatus", &ModelInfo::strStaticStatus},
    {"strStaticExtraStatus", &ModelInfo::strStaticExtraStatus},
    {"strActiveStatus", &ModelInfo::strActiveStatus},
    {"strPPDFile", &ModelInfo::strPPDFile},
    {"dCropMargin_mm", &ModelInfo::dCropMargin_mm},
    {"dCropSize_mm", &ModelInfo::dCropSize_mm},
    {"dPageSpace_mm", &ModelInfo::dPageSpace_mm},
    {"dHWLeftMargin_mm", &ModelInfo::dHWLeftMargin_mm},
    {"dHWRightMargin_mm", &ModelInfo::dHWRightMargin_mm},
    {"dHWTopMargin_mm", &ModelInfo::dHWTopMargin_mm},
    {"dHWBottomMargin_mm", &ModelInfo::dHWBottomMargin_mm},
    // Named part.
    {"strBMPFileName", &ModelInfo::strBMPFileName},
    {"nMaxCutSpeed", &ModelInfo::nMaxCutSpeed},
    {"strExtension", &ModelInfo::strExtension},
    {"nMinimumPageInterval_mm", &ModelInfo::nMinimumPageInterval_mm},
    {"nMaximumPageInterval_mm", &ModelInfo::nMaximumPageInterval_mm},
    {"nMinimumScanSpeed", &ModelInfo::nMinimumScanSpeed},
    {"nMaximumScanSpeed", &ModelInfo::nMaximumScanSpeed},
    {"nMinimumFeedSpeed", &ModelInfo::nMinimumFeedSpeed},
    {"nMaximumFeedSpeed", &ModelInfo::nMaximumFeedSpeed},
    {"nMinimumPreHeaterTemperature", &ModelInfo::nMinimumPreHeaterTemperature},
    {"nMaximumPreHeaterTemperature", &ModelInfo::nMaximumPreHeaterTemperature},
    {"nMinimumHeaterTemperature", &ModelInfo::nMinimumHeaterTemperature},
    {"nMaximumHeaterTemperature", &ModelInfo::nMaximumHeaterTemperature},
    {"nMinimumDrierTemperature", &ModelInfo::nMinimumDrierTemperature},
    {"nMaximumDrierTemperature", &ModelInfo::nMaximumDrierTemperature},
    {"dMinimumFeedCalibration_mm", &ModelInfo::dMinimumFeedCalibration_mm},
    {"dMaximumFeedCalibration_mm", &ModelInfo::dMaximumFeedCalibration_mm},
    {"nMinimumCutForce", &ModelInfo::nMinimumCutForce},
    {"nMaximumCutForce", &ModelInfo::nMaximumCutForce},
    {"flMaximumCutOffset", &ModelInfo::flMaximumCutOffset},
    {"nGetMethodType", &ModelInfo::nGetMethodType},
    {"nScanSpeedType", &ModelInfo::nScanSpeedType},
    {"strDllName", &ModelInfo::strDllName},
    {"strDriverName", &ModelInfo::strDriverName},
    {"strRequiredFirmwareVersion", &ModelInfo::strRequiredFirmwareVersion},
    {"strRecommendedFirmwareVersion", &ModelInfo::strRecommendedFirmwareVersion},
    {"nNozzleCountPerHeadColumn", &ModelInfo::nNozzleCountPerHeadColumn},
    {"flNozzleResolution", &ModelInfo::flNozzleResolution},
    {"nMinimumReturnScanSpeed", &ModelInfo::nMinimumReturnScanSpeed},
    {"nMaximumReturnScanSpeed", &ModelInfo::nMaximumReturnScanSpeed},
    {"dMaxLength", &ModelInfo::dMaxLength},
    {"bOverlapCutPerCutPath", &ModelInfo::bOverlapCutPerCutPath},
    {"nUVLampCount", &ModelInfo::nUVLampCount},
    {"bHBridgeFeature", &ModelInfo::bHBridgeFeature},
    {"bHalfCutFeature", &ModelInfo::bHalfCutFeature},
    {"nMinimumHalfCutForce", &ModelInfo::nMinimumHalfCutForce},
    {"nMaximumHalfCutForce", &ModelInfo::nMaximumHalfCutForce},
};

constexpr std::size_t kPositionalCount = 21;
static_assert(std::size(kModelInfoFields) == 58);

constexpr std::span<const F> kAll(kModelInfoFields);
constexpr std::span<const F> kPositional = kAll.first(kPositionalCount);
constexpr std::span<const F> kNamed = kAll.subspan(kPositionalCount);

}  // namespace

void ModelInfoIO::readModelInfo(const xml::Node& element, ModelInfo& record) {
  xml::NodeList children = element.childNodes();
  readPositionalFields(children, kPositional, record);

  // What an element from before these fields existed reads as.
  record.nMaxCutSpeed = 60;
  record.strRequiredFirmwareVersion.clear();
  record.strRecommendedFirmwareVersion.clear();
  record.nMinimumReturnScanSpeed = 1000;
  record.nMaximumReturnScanSpeed = 1000;

  readNamedFields(children, kNamed, record);
}

xml::Node ModelInfoIO::writeModelInfo(const xml::Document& document, const ModelInfo& record) {
  xml::Node element = document.createElement("ModelInfo");
  appendFields(document, element, kAll, record);
  return element;
}

}  // namespace devseries
