#include "devseries/device_series_io.h"

#include <array>
#include <cstdint>
#include <exception>
#include <limits>
#include <string>
#include <utility>

#include "devseries/document_limits.h"
#include "devseries/newer_lists.h"
#include "platform/error.h"
#include "xml/com_error.h"
#include "xml/escape_codec.h"
#include "xml/msxml_dom_creator.h"
#include "xml/value_codec.h"

namespace devseries {

namespace {

constexpr const char* kRootElementName = "DeviceSeries";
constexpr int kJapaneseSlot = 6;

xml::Node requireNode(xml::Node node) {
  if (node.isNull()) throw xml::_com_error(xml::kEPointer);
  return node;
}

// Reads every child of |listElement| with |readItem| into a fresh record
// and appends it to |list|; more than |limit| children fail the read
// (document_limits.h). When an item fails, |failurePath| receives the path
// of the item's element (its position counted from 1) before the error goes
// on.
template <class Record, class ReadItem>
void readList(const xml::Node& listElement, GrowableArray<Record>& list, ReadItem readItem,
              std::string& failurePath, int limit = std::numeric_limits<int>::max()) {
  xml::NodeList children = listElement.childNodes();
  int position = 0;
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    ++position;
    Record record;
    try {
      requireAtMost(list.size() + 1, limit, "entries in the list");
      readItem(child, record);
    } catch (...) {
      failurePath = "/DeviceSeries/" + std::string(listElement.nodeName()) + "/" +
                    std::string(child.nodeName()) + "[" + std::to_string(position) + "]";
      throw;
    }
    list.add(record);
  }
}

template <class Record, class WriteItem>
xml::Node writeList(const xml::Document& document, const char* name,
                    const GrowableArray<Record>& list, WriteItem writeItem) {
  xml::Node listElement = document.createElement(name);
  for (const Record& record : list) listElement.appendChild(writeItem(document, record));
  return listElement;
}

// The command strings in document order.
std::array<std::pair<const char*, std::string CommandSet::*>, 9> commandFields() {
  return {{{"strInitialize", &CommandSet::strInitialize},
           {"strPrintHeader", &CommandSet::strPrintHeader},
           {"strPrintTailer", &CommandSet::strPrintTailer},
           {"strCutHeader", &CommandSet::strCutHeader},
           {"strCutTailer", &CommandSet::strCutTailer},
           {"strPageFeed", &CommandSet::strPageFeed},
           {"strPageRewind", &CommandSet::strPageRewind},
           {"strSheetCut", &CommandSet::strSheetCut},
           {"strCancel", &CommandSet::strCancel}}};
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
  if ((bits & 0xFFFF0000u) == 0x80070000u) return platform::describeError(bits & 0xFFFFu);
  return xml::_com_error(result).what();
}

}  // namespace

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
  failurePath_.clear();
  loadError_ = xml::LoadError();
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
  } catch (const xml::ICommonIO::InterpretException&) {
    lastError_ = "no DeviceSeries root element";
  } catch (const xml::_com_error& error) {
    lastError_ = error.Error() == xml::kEPointer ? "a positional element is missing"
                                                 : std::string(error.what());
  } catch (const std::exception& error) {
    lastError_ = error.what();
  } catch (...) {
    lastError_ = "unknown error";
  }
  if (!failurePath_.empty()) lastError_ += " in " + failurePath_;
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
  xml::Node positional[10];
  failurePath_ = "/DeviceSeries";
  for (xml::Node& node : positional) node = requireNode(children.nextNode());
  failurePath_.clear();

  readList(positional[0], record.aModelInfoList, &ModelInfoIO::readModelInfo, failurePath_,
           kMaxModels);
  readList(positional[1], record.aInkInfoList, &InkInfoIO::readInkInfo, failurePath_);
  record.aInkConfigInfoList.clear();
  readList(positional[2], record.aInkConfigInfoList, &InkConfigInfoIO::readInkConfigInfo,
           failurePath_);
  readList(positional[3], record.aResolutionInfoList, &ResolutionInfoIO::readResolutionInfo,
           failurePath_);
  readList(positional[4], record.aModeInfoList, &ModeInfoIO::readModeInfo, failurePath_);
  readList(positional[5], record.aSeparationInfoList, &SeparationInfoIO::readSeparationInfo,
           failurePath_, kMaxSeparations);
  record.aVControlPointList.clear();
  readList(positional[6], record.aVControlPointList, &SeparationInfoIO::readVControlPoint,
           failurePath_);
  readList(positional[7], record.aPatternInfoList, &PatternInfoIO::readPatternInfo, failurePath_);

  // Command strings keep every decoded byte, zero bytes included, so a
  // sequence that needs a NUL survives a read and a write.
  failurePath_ = "/DeviceSeries/commandSet";
  xml::Node command = positional[8].firstChild();
  for (const auto& [name, field] : commandFields()) {
    record.commandSet.*field = xml::decodeEscapedString(xml::readText(command));
    command = command.nextSibling();
  }
  failurePath_.clear();

  readList(positional[9], record.aMediaInfoList, &MediaInfoIO::readMediaInfo, failurePath_);

  for (int slot = 0; slot < xml::kLanguageCount; ++slot) {
    record.strFirmwareDownloadURL[static_cast<std::size_t>(slot)] =
        slot == kJapaneseSlot ? kFirmwareDownloadURLJapanese : kFirmwareDownloadURLInternational;
  }

  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    const std::string_view name = node.nodeName();
    if (name == "aPrintChartFileInfoSetList") {
      readPrintChartFileInfoSetList(node, record.aPrintChartFileInfoSetList);
    } else if (name == "aInkVolumeInfoList") {
      readInkVolumeInfoList(node, record.aInkVolumeInfoList);
    } else if (name == "strFirmwareDownloadURL") {
      xml::readLocalizedText(node, record.strFirmwareDownloadURL);
    }
  }

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
  root.appendChild(
      writeList(document, "aModelInfoList", record.aModelInfoList, &ModelInfoIO::writeModelInfo));
  root.appendChild(
      writeList(document, "aInkInfoList", record.aInkInfoList, &InkInfoIO::writeInkInfo));
  root.appendChild(writeList(document, "aInkConfigInfoList", record.aInkConfigInfoList,
                             &InkConfigInfoIO::writeInkConfigInfo));
  root.appendChild(writeList(document, "aResolutionInfoList", record.aResolutionInfoList,
                             &ResolutionInfoIO::writeResolutionInfo));
  root.appendChild(
      writeList(document, "aModeInfoList", record.aModeInfoList, &ModeInfoIO::writeModeInfo));
  root.appendChild(writeList(document, "aSeparationInfoList", record.aSeparationInfoList,
                             &SeparationInfoIO::writeSeparationInfo));
  root.appendChild(writeList(document, "aVControlPointList", record.aVControlPointList,
                             &SeparationInfoIO::writeVControlPoint));
  root.appendChild(writeList(document, "aPatternInfoList", record.aPatternInfoList,
                             &PatternInfoIO::writePatternInfo));

  xml::Node commandSet = document.createElement("commandSet");
  for (const auto& [name, field] : commandFields()) {
    commandSet.appendChild(
        xml::createTextElement(document, name, xml::encodeEscapedString(record.commandSet.*field)));
  }
  root.appendChild(commandSet);

  root.appendChild(
      writeList(document, "aMediaInfoList", record.aMediaInfoList, &MediaInfoIO::writeMediaInfo));

  root.appendChild(writePrintChartFileInfoSetList(document, record.aPrintChartFileInfoSetList));
  root.appendChild(writeInkVolumeInfoList(document, record.aInkVolumeInfoList));
  root.appendChild(xml::createLocalizedTextElement(document, "strFirmwareDownloadURL",
                                                   record.strFirmwareDownloadURL));
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

DeviceSeriesIO2::DeviceSeriesIO2(std::string fileName, platform::Env& env)
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
  setLastError(older.lastError());
  return false;
}

}  // namespace devseries
