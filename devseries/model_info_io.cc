// ModelInfo elements: 21 fields by position, then 37 by name.
#include "devseries/field_io.h"
#include "devseries/model_info.h"

namespace devseries {
namespace {

// All 58 fields in document order; the writer emits them all in this order.
constexpr Field<ModelInfo> kModelInfoFields[] = {
    // Positional part: older documents end after dHWBottomMargin_mm.
    field<&ModelInfo::strLongModelName>("strLongModelName"),
    field<&ModelInfo::strMIBModelName>("strMIBModelName"),
    field<&ModelInfo::strFolderName>("strFolderName"),
    field<&ModelInfo::dMaxWidth>("dMaxWidth"),
    field<&ModelInfo::nHeadNum>("nHeadNum"),
    field<&ModelInfo::nHeadPositionIndex, IntSlots>("nHeadPositionIndex"),
    field<&ModelInfo::nDefaultInkIndex, IntSlots>("nDefaultInkIndex"),
    field<&ModelInfo::bCutFeature>("bCutFeature"),
    field<&ModelInfo::nHeaterFeature, TruncatedInt>("nHeaterFeature"),
    field<&ModelInfo::nHeadHeightMask>("nHeadHeightMask"),
    field<&ModelInfo::strStaticStatus>("strStaticStatus"),
    field<&ModelInfo::strStaticExtraStatus>("strStaticExtraStatus"),
    field<&ModelInfo::strActiveStatus>("strActiveStatus"),
    field<&ModelInfo::strPPDFile>("strPPDFile"),
    field<&ModelInfo::dCropMargin_mm>("dCropMargin_mm"),
    field<&ModelInfo::dCropSize_mm>("dCropSize_mm"),
    field<&ModelInfo::dPageSpace_mm>("dPageSpace_mm"),
    field<&ModelInfo::dHWLeftMargin_mm>("dHWLeftMargin_mm"),
    field<&ModelInfo::dHWRightMargin_mm>("dHWRightMargin_mm"),
    field<&ModelInfo::dHWTopMargin_mm>("dHWTopMargin_mm"),
    field<&ModelInfo::dHWBottomMargin_mm>("dHWBottomMargin_mm"),
    // Named part.
    field<&ModelInfo::strBMPFileName>("strBMPFileName"),
    field<&ModelInfo::nMaxCutSpeed>("nMaxCutSpeed"),
    field<&ModelInfo::strExtension>("strExtension"),
    field<&ModelInfo::nMinimumPageInterval_mm>("nMinimumPageInterval_mm"),
    field<&ModelInfo::nMaximumPageInterval_mm>("nMaximumPageInterval_mm"),
    field<&ModelInfo::nMinimumScanSpeed>("nMinimumScanSpeed"),
    field<&ModelInfo::nMaximumScanSpeed>("nMaximumScanSpeed"),
    field<&ModelInfo::nMinimumFeedSpeed>("nMinimumFeedSpeed"),
    field<&ModelInfo::nMaximumFeedSpeed>("nMaximumFeedSpeed"),
    field<&ModelInfo::nMinimumPreHeaterTemperature>("nMinimumPreHeaterTemperature"),
    field<&ModelInfo::nMaximumPreHeaterTemperature>("nMaximumPreHeaterTemperature"),
    field<&ModelInfo::nMinimumHeaterTemperature>("nMinimumHeaterTemperature"),
    field<&ModelInfo::nMaximumHeaterTemperature>("nMaximumHeaterTemperature"),
    field<&ModelInfo::nMinimumDrierTemperature>("nMinimumDrierTemperature"),
    field<&ModelInfo::nMaximumDrierTemperature>("nMaximumDrierTemperature"),
    field<&ModelInfo::dMinimumFeedCalibration_mm>("dMinimumFeedCalibration_mm"),
    field<&ModelInfo::dMaximumFeedCalibration_mm>("dMaximumFeedCalibration_mm"),
    field<&ModelInfo::nMinimumCutForce>("nMinimumCutForce"),
    field<&ModelInfo::nMaximumCutForce>("nMaximumCutForce"),
    field<&ModelInfo::flMaximumCutOffset>("flMaximumCutOffset"),
    field<&ModelInfo::nGetMethodType>("nGetMethodType"),
    field<&ModelInfo::nScanSpeedType>("nScanSpeedType"),
    field<&ModelInfo::strDllName>("strDllName"),
    field<&ModelInfo::strDriverName>("strDriverName"),
    field<&ModelInfo::strRequiredFirmwareVersion>("strRequiredFirmwareVersion"),
    field<&ModelInfo::strRecommendedFirmwareVersion>("strRecommendedFirmwareVersion"),
    field<&ModelInfo::nNozzleCountPerHeadColumn>("nNozzleCountPerHeadColumn"),
    field<&ModelInfo::flNozzleResolution>("flNozzleResolution"),
    field<&ModelInfo::nMinimumReturnScanSpeed>("nMinimumReturnScanSpeed"),
    field<&ModelInfo::nMaximumReturnScanSpeed>("nMaximumReturnScanSpeed"),
    field<&ModelInfo::dMaxLength>("dMaxLength"),
    field<&ModelInfo::bOverlapCutPerCutPath>("bOverlapCutPerCutPath"),
    field<&ModelInfo::nUVLampCount>("nUVLampCount"),
    field<&ModelInfo::bHBridgeFeature>("bHBridgeFeature"),
    field<&ModelInfo::bHalfCutFeature>("bHalfCutFeature"),
    field<&ModelInfo::nMinimumHalfCutForce>("nMinimumHalfCutForce"),
    field<&ModelInfo::nMaximumHalfCutForce>("nMaximumHalfCutForce"),
};

static_assert(std::size(kModelInfoFields) == 58);
constexpr RecordForm<ModelInfo> kForm{kModelInfoFields, 21};

}  // namespace

void ModelInfoIO::readModelInfo(const xml::Node& element, ModelInfo& record) {
  xml::NodeList children = element.childNodes();
  readPositionalFields(children, kForm.positional(), record);

  // What an element from before these fields existed reads as.
  record.nMaxCutSpeed = 60;
  record.strRequiredFirmwareVersion.clear();
  record.strRecommendedFirmwareVersion.clear();
  record.nMinimumReturnScanSpeed = 1000;
  record.nMaximumReturnScanSpeed = 1000;

  readNamedFields(children, kForm.named(), record);
}

xml::Node ModelInfoIO::writeModelInfo(const xml::Document& document, const ModelInfo& record) {
  return writeRecord(document, "ModelInfo", kForm, record);
}

void ModelInfoIO::appendModelInfo(const xml::Node& parent, const ModelInfo& record) {
  appendRecord(parent, "ModelInfo", kForm, record);
}

}  // namespace devseries
