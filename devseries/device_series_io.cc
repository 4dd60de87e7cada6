#include "devseries/device_series_io.h"

#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

#include "devseries/document_limits.h"
#include "devseries/field_io.h"
#include "devseries/newer_lists.h"
#include "platform/error.h"
#include "xml/com_error.h"
#include "xml/escape_codec.h"
#include "xml/msxml_dom_creator.h"
#include "xml/value_codec.h"

namespace devseries {

namespace {

constexpr const char* kRootElementName = "DeviceSeries";
constexpr const char* kRootPath = "/DeviceSeries";

// A command string keeps every decoded byte, zero bytes included, so a
// sequence that needs a NUL survives a read and a write.
struct CommandString : Plain<std::string> {
  static void read(const xml::Node& node, std::string& value) {
    value = xml::decodeEscapedString(xml::readText(node));
  }
  static void append(const xml::Node& parent, xml::ElementName name, const std::string& value) {
    xml::appendTextElement(parent, name, xml::encodeEscapedString(value));
  }
};

constexpr Field<CommandSet> kCommandSetFields[] = {
    field<&CommandSet::strInitialize, CommandString>("strInitialize"),
    field<&CommandSet::strPrintHeader, CommandString>("strPrintHeader"),
    field<&CommandSet::strPrintTailer, CommandString>("strPrintTailer"),
    field<&CommandSet::strCutHeader, CommandString>("strCutHeader"),
    field<&CommandSet::strCutTailer, CommandString>("strCutTailer"),
    field<&CommandSet::strPageFeed, CommandString>("strPageFeed"),
    field<&CommandSet::strPageRewind, CommandString>("strPageRewind"),
    field<&CommandSet::strSheetCut, CommandString>("strSheetCut"),
    field<&CommandSet::strCancel, CommandString>("strCancel"),
};
constexpr RecordForm<CommandSet> kCommandSetForm{kCommandSetFields, 9};

// Every child of a root list is an entry; the failure of one names it
// (document_limits.h for the bounds).
constexpr Items rootItems(std::string_view entry) {
  return {.tracePath = kRootPath, .entry = entry};
}
constexpr Items kInkItems = rootItems("InkInfo");
constexpr Items kResolutionItems = rootItems("ResolutionInfo");
constexpr Items kModeItems = rootItems("ModeInfo");
constexpr Items kPatternItems = rootItems("PatternInfo");
constexpr Items kMediaItems = rootItems("MediaInfo");
constexpr Items kInkConfigItems{.replace = true, .tracePath = kRootPath, .entry = "InkConfigInfo"};
constexpr Items kVControlItems{.replace = true, .tracePath = kRootPath, .entry = "VControlPoint"};
constexpr Items kModelItems{.limit = kMaxModels,
                            .what = "entries in the list",
                            .tracePath = kRootPath,
                            .entry = "ModelInfo"};
constexpr Items kSeparationItems{.limit = kMaxSeparations,
                                 .what = "entries in the list",
                                 .tracePath = kRootPath,
                                 .entry = "SeparationInfo"};

using D = DeviceSeries;
using M = MediaInfoIO;
using S = SeparationInfoIO;

constexpr Field<DeviceSeries> kDeviceSeriesFields[] = {
    // Positional part: format 1.0.0.0.
    field<&D::aModelInfoList,
          Entries<&ModelInfoIO::readModelInfo, &ModelInfoIO::appendModelInfo, kModelItems>>(
        "aModelInfoList"),
    field<&D::aInkInfoList, Entries<&InkInfoIO::readInkInfo, &InkInfoIO::appendInkInfo, kInkItems>>(
        "aInkInfoList"),
    field<&D::aInkConfigInfoList, Entries<&InkConfigInfoIO::readInkConfigInfo,
                                          &InkConfigInfoIO::appendInkConfigInfo, kInkConfigItems>>(
        "aInkConfigInfoList"),
    field<&D::aResolutionInfoList,
          Entries<&ResolutionInfoIO::readResolutionInfo, &ResolutionInfoIO::appendResolutionInfo,
                  kResolutionItems>>("aResolutionInfoList"),
    field<&D::aModeInfoList,
          Entries<&ModeInfoIO::readModeInfo, &ModeInfoIO::appendModeInfo, kModeItems>>(
        "aModeInfoList"),
    field<&D::aSeparationInfoList,
          Entries<&S::readSeparationInfo, &S::appendSeparationInfo, kSeparationItems>>(
        "aSeparationInfoList"),
    field<&D::aVControlPointList,
          Entries<&S::readVControlPoint, &S::appendVControlPoint, kVControlItems>>(
        "aVControlPointList"),
    field<&D::aPatternInfoList, Entries<&PatternInfoIO::readPatternInfo,
                                        &PatternInfoIO::appendPatternInfo, kPatternItems>>(
        "aPatternInfoList"),
    field<&D::commandSet, Nested<kCommandSetForm>>("commandSet"),
    field<&D::aMediaInfoList, Entries<&M::readMediaInfo, &M::appendMediaInfo, kMediaItems>>(
        "aMediaInfoList"),
    // Named part: newer formats.
    field<&D::aPrintChartFileInfoSetList,
          Entry<&readPrintChartFileInfoSetList, &appendPrintChartFileInfoSetList>>(
        "aPrintChartFileInfoSetList"),
    field<&D::aInkVolumeInfoList, Entry<&readInkVolumeInfoList, &appendInkVolumeInfoList>>(
        "aInkVolumeInfoList"),
    field<&D::strFirmwareDownloadURL>("strFirmwareDownloadURL"),
};
constexpr RecordForm<DeviceSeries> kDeviceSeriesForm{kDeviceSeriesFields, 10};

// Why a read failed: the error, and where for one met inside an element
// that names itself (ElementError).
std::string describeReadError(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const ElementError& located) {
    if (!located.reason().empty()) return located.reason() + " in " + located.path();
    try {
      std::rethrow_if_nested(located);
    } catch (...) {
      return describeReadError(std::current_exception()) + " in " + located.path();
    }
    return located.path();
  } catch (const xml::ICommonIO::InterpretException&) {
    return "no DeviceSeries root element";
  } catch (const xml::_com_error& failure) {
    return failure.Error() == xml::kEPointer ? "a positional element is missing"
                                             : std::string(failure.what());
  } catch (const std::exception& failure) {
    return failure.what();
  } catch (...) {
    return "unknown error";
  }
}

// Where the innermost element that names its place in |error| starts.
xml::Finding placeOf(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const ElementError& located) {
    try {
      std::rethrow_if_nested(located);
    } catch (...) {
      xml::Finding inner = placeOf(std::current_exception());
      if (inner.line > 0) return inner;
    }
    return located.place();
  } catch (...) {
    return {};  // a failure that names no element
  }
}

// "line L, column C: reason", or the bare reason of a failure without a
// place.
std::string describeLoadError(const xml::LoadError& error) {
  if (error.line == 0) return error.reason;
  std::string text = "line ";
  text += std::to_string(error.line);
  text += ", column ";
  text += std::to_string(error.column);
  text += ": ";
  text += error.reason;
  return text;
}

// The platform's description of the error a failed save carries in its
// HRESULT (one that wraps a system error code), else the HRESULT itself.
std::string describeSaveError(xml::HResult result) {
  const auto bits = static_cast<std::uint32_t>(result);
  if ((bits & 0xFFFF0000u) == 0x80070000u)
    return platform::describeError(platform::Error{bits & 0xFFFFu});
  return xml::_com_error(result).what();
}

}  // namespace

const RecordForm<DeviceSeries>& deviceSeriesForm() { return kDeviceSeriesForm; }

DeviceSeriesIO::DeviceSeriesIO(std::string fileName, platform::Env& env)
    : xml::ICommonIO(std::move(fileName), env) {}

DeviceSeriesIO::DeviceSeriesIO(std::string fileName, const xml::MSXMLDOMCreator& creator)
    : xml::ICommonIO(std::move(fileName), creator) {}

xml::FormatVersion& DeviceSeriesIO::getVersion(xml::FormatVersion& out) const {
  out = xml::FormatVersion::parse("1.0.0.0");
  return out;
}

std::string DeviceSeriesIO::getRootElementName() const { return kRootElementName; }

bool DeviceSeriesIO::read(DeviceSeries& record) {
  lastError_.clear();
  loadError_ = xml::LoadError();
  failurePlace_ = xml::Finding();
  try {
    if (creator().getDocument().isNull() && !loadDocument()) {
      loadError_ = creator().loadError();
      lastError_ = describeLoadError(loadError_);
      return false;
    }
    xml::Node root;
    try {
      root = findRootElement();
    } catch (const xml::ICommonIO::VersionMismatchException& mismatch) {
      if (onVersionMismatch(mismatch, record)) return true;
      if (lastError_.empty()) lastError_ = mismatch.what();
      return false;
    }
    readDeviceSeries(root, record);
    return true;
  } catch (...) {
    lastError_ = describeReadError(std::current_exception());
    failurePlace_ = placeOf(std::current_exception());
  }
  return false;
}

bool DeviceSeriesIO::onVersionMismatch(const xml::ICommonIO::VersionMismatchException& mismatch,
                                       DeviceSeries& record) {
  if (mismatch.isFileNewer()) return false;
  // The frame has checked that the root exists and carries its version.
  xml::NodeList top = creator().getDocument().childNodes();
  for (xml::Node node = top.nextNode(); node; node = top.nextNode()) {
    if (node.nodeType() == xml::NodeType::kElement && node.nodeName() == kRootElementName) {
      readDeviceSeries(node, record);
      return true;
    }
  }
  return false;
}

void DeviceSeriesIO::readDeviceSeries(const xml::Node& root, DeviceSeries& record) {
  xml::NodeList children = root.childNodes();
  // All positional children must be there before any is read. A failure
  // names where it happened: the root for a missing child, else the child
  // (entries of the root lists name themselves).
  xml::Node positional[kDeviceSeriesForm.positionalCount];
  try {
    for (std::size_t i = 0; i < std::size(positional); ++i) {
      positional[i] = children.nextNode();
      checkPositional(root, positional[i], kDeviceSeriesForm.fields[i].name);
      if (positional[i].isNull()) throw xml::_com_error(xml::kEPointer);
    }
  } catch (...) {
    std::throw_with_nested(ElementError(kRootPath, root));
  }
  for (std::size_t i = 0; i < std::size(positional); ++i) {
    const Field<DeviceSeries>& field = kDeviceSeriesForm.fields[i];
    try {
      field.read(positional[i], record);
    } catch (...) {
      // The positional children are taken whatever their names; when one
      // up to here is not the field it stands for, that element (extra,
      // renamed or misplaced) is the cause, not the field that failed.
      for (std::size_t k = 0; k <= i; ++k) {
        const std::string_view expected = kDeviceSeriesForm.fields[k].name;
        if (positional[k].nodeName() == expected) continue;
        throw ElementError(kRootPath, positional[k],
                           nodeLabel(positional[k]) + " stands where <" + std::string(expected) +
                               "> belongs (extra, renamed or misplaced)");
      }
      try {
        throw;
      } catch (const ElementError&) {
        throw;
      } catch (...) {
        std::throw_with_nested(
            ElementError(kRootPath + ("/" + std::string(field.name)), positional[i]));
      }
    }
  }

  for (int slot = 0; slot < xml::kLanguageCount; ++slot) {
    record.strFirmwareDownloadURL[static_cast<std::size_t>(slot)] =
        slot == xml::kJapanese ? kFirmwareDownloadURLJapanese : kFirmwareDownloadURLInternational;
  }
  readNamedFields(children, kDeviceSeriesForm.named(), record);

  bool haveProcessInks = false;
  std::array<int, 4> processInks{};
  for (SeparationInfo& separation : record.aSeparationInfoList) {
    if (!separation.anInputChannelInkIndexList.empty()) continue;
    if (!haveProcessInks) {
      processInks = findCmykInks(record.aInkInfoList);
      haveProcessInks = true;
    }
    for (int ink : processInks) separation.anInputChannelInkIndexList.add(ink);
  }

  fitScreenAngles(record.aMediaInfoList, record.aSeparationInfoList);
}

xml::Node DeviceSeriesIO::writeDeviceSeries(const xml::Document& document,
                                            const DeviceSeries& record) {
  // The root claims this class's format 1.0.0.0, whichever class writes,
  // until write() puts in the version text of the target.
  xml::Node root = createRootElement(document);
  xml::FormatVersion own;
  root.setAttribute("strVersion", DeviceSeriesIO::getVersion(own).toString());
  appendFields(root, kDeviceSeriesForm.fields, record);
  return root;
}

bool DeviceSeriesIO::write(const DeviceSeries& record, platform::Disposition disposition) {
  lastError_.clear();
  try {
    if (!xml::isMSXMLInstalled()) {
      lastError_ = "the XML engine is not available";
      return false;
    }
    peekVersion();
    const std::string version = writerVersionText();
    xml::Document document = xml::Document::create();
    xml::insertXmlDeclaration(document);
    xml::Node root = writeDeviceSeries(document, record);
    root.setAttribute("strVersion", version);
    document.appendChild(root);
    document.save(fileName(), env().files(), disposition);
    return true;
  } catch (const xml::_com_error& error) {
    lastError_ = describeSaveError(error.Error());
  } catch (const std::exception& error) {
    lastError_ = error.what();
  } catch (...) {
    lastError_ = "unknown error";
  }
  return false;
}

DeviceSeriesIO2::DeviceSeriesIO2(const std::string& fileName, platform::Env& env)
    : xml::ICommonIO(fileName, env), DeviceSeriesIO(fileName, env) {}

xml::FormatVersion& DeviceSeriesIO2::getVersion(xml::FormatVersion& out) const {
  out = xml::FormatVersion::parse("3.3.0.0");
  return out;
}

bool DeviceSeriesIO2::onVersionMismatch(const xml::ICommonIO::VersionMismatchException& mismatch,
                                        DeviceSeries& record) {
  if (mismatch.isFileNewer()) return false;
  DeviceSeriesIO older(fileName(), creator());
  if (older.read(record)) return true;
  // The older reader knows why it failed.
  setLastError(older.lastError(), older.failurePlace());
  return false;
}

}  // namespace devseries
