// Model information: one record per printer model of a series.
#pragma once

#include <string>
#include "xml/dom.h"

namespace devseries {

// Everything the host needs to know about a model as hardware. Fields carry
// the names of their XML elements, in document order.
struct ModelInfo {
  std::string strLongModelName;
  std::string strMIBModelName;
  std::string strFolderName;
  double dMaxWidth = 0.0;
  int nHeadNum = 0;
  int nHeadPositionIndex[24] = {};
  int nDefaultInkIndex[24] = {};
  bool bCutFeature = false;
  int nHeaterFeature = 0;
  int nHeadHeightMask = 0;
  std::string strStaticStatus;
  std::string strStaticExtraStatus;
  std::string strActiveStatus;
  std::string strPPDFile;
  double dCropMargin_mm = 0.0;
  double dCropSize_mm = 0.0;
  double dPageSpace_mm = 0.0;
  double dHWLeftMargin_mm = 0.0;
  double dHWRightMargin_mm = 0.0;
  double dHWTopMargin_mm = 0.0;
  double dHWBottomMargin_mm = 0.0;
  // Named part.
  std::string strBMPFileName;
  int nMaxCutSpeed = 0;
  std::string strExtension;
  int nMinimumPageInterval_mm = 0;
  int nMaximumPageInterval_mm = 200;
  int nMinimumScanSpeed = 250;
  int nMaximumScanSpeed = 1000;
  int nMinimumFeedSpeed = 1;
  int nMaximumFeedSpeed = 50;
  int nMinimumPreHeaterTemperature = 35;
  int nMaximumPreHeaterTemperature = 50;
  int nMinimumHeaterTemperature = 35;
  int nMaximumHeaterTemperature = 50;
  int nMinimumDrierTemperature = 35;
  int nMaximumDrierTemperature = 50;
  double dMinimumFeedCalibration_mm = -2.0;
  double dMaximumFeedCalibration_mm = 2.0;
  int nMinimumCutForce = 30;
  int nMaximumCutForce = 300;
  float flMaximumCutOffset = 1.5f;
  int nGetMethodType = 1;
  int nScanSpeedType = 0;
  std::string strDllName;
  std::string strDriverName;
  std::string strRequiredFirmwareVersion;
  std::string strRecommendedFirmwareVersion;
  int nNozzleCountPerHeadColumn = 0;
  float flNozzleResolution = 0.0f;
  int nMinimumReturnScanSpeed = 0;
  int nMaximumReturnScanSpeed = 0;
  double dMaxLength = 0.0;
  bool bOverlapCutPerCutPath = false;
  int nUVLampCount = 0;
  bool bHBridgeFeature = false;
  bool bHalfCutFeature = false;
  int nMinimumHalfCutForce = 1;
  int nMaximumHalfCutForce = 80;

  bool operator==(const ModelInfo&) const = default;
};

// Reads and writes ModelInfo elements. The element's first 21 children are
// taken by position, the rest by exact name.
class ModelInfoIO {
 public:
  // Fills |record| (freshly constructed) from |element|. Raises `_com_error`
  // with kEPointer when a positional child is missing.
  static void readModelInfo(const xml::Node& element, ModelInfo& record);
  // A new, unattached "ModelInfo" element with all 58 children.
  static xml::Node writeModelInfo(const xml::Document& document, const ModelInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendModelInfo(const xml::Node& parent, const ModelInfo& record);
};

}  // namespace devseries
