// Whole device-series documents: read a file into a DeviceSeries record,
// write a record as a file.
//
// DeviceSeriesIO claims format 1.0.0.0 and DeviceSeriesIO2 format 3.3.0.0;
// both read and write the same content: ten positional root children
// (format 1.0.0.0) and three optional named ones (newer formats). An I/O
// object is bound to one file for its life; copies share its document.
#pragma once

#include <string>
#include <utility>

#include "devseries/device_series.h"
#include "devseries/field_io.h"
#include "devseries/ink_info.h"
#include "devseries/media_info.h"
#include "devseries/model_info.h"
#include "devseries/resolution_mode_pattern.h"
#include "devseries/separation_info.h"
#include "platform/env.h"
#include "xml/common_io.h"
#include "xml/dom.h"

namespace devseries {

// The default firmware download pages, set before a document's own
// strFirmwareDownloadURL is read: one for the Japanese slot, one for all
// other slots.
inline constexpr const char* kFirmwareDownloadURLJapanese =
    "https://jp.ostrand.example/support/color/hrd/index.html";
inline constexpr const char* kFirmwareDownloadURLInternational =
    "https://www.ostrand.example/support/color/hrd/index.html";

// The element form of the DeviceSeries root: its lists and fields in
// document order, for tools that walk a document field by field.
const RecordForm<DeviceSeries>& deviceSeriesForm();

class DeviceSeriesIO : public virtual xml::ICommonIO,
                       public ModelInfoIO,
                       public InkInfoIO,
                       public ResolutionInfoIO,
                       public ModeInfoIO,
                       public SeparationInfoIO,
                       public MediaInfoIO,
                       public PatternInfoIO,
                       public InkConfigInfoIO {
 public:
  explicit DeviceSeriesIO(std::string fileName, platform::Env& env);
  // Works on the document |creator| already holds, without loading again.
  DeviceSeriesIO(std::string fileName, const xml::MSXMLDOMCreator& creator);

  xml::FormatVersion& getVersion(xml::FormatVersion& out) const override;
  std::string getRootElementName() const override;

  // Fills |record| from the document at fileName(), then gives separations
  // without input-channel inks the process inks and fits the screen angles.
  // False when the file does not load or is not a readable device-series
  // document; |record| may then hold part of it and must be discarded.
  bool read(DeviceSeries& record);

  // Writes a complete document for |record| to fileName(), every list as it
  // stands (fitFeedCalibrationLists fits the feed calibration lists first
  // where needed); |record| is not changed. Its strVersion is the version
  // of the document already at that path, or else the class's own. True
  // when the file was saved; otherwise lastError() tells why, with the
  // platform's description of a failed file operation. Never throws.
  // |disposition| is the save's (xml::Document::save): kCreateNew creates
  // the file exclusively, taking the version of a document this object
  // already holds.
  bool write(const DeviceSeries& record,
             platform::Disposition disposition = platform::Disposition::kCreateAlways);

  // Reads the children of a DeviceSeries element into |record|. Raises on
  // structural errors (`_com_error` kEPointer for a missing positional
  // child, the item readers' errors, malformed command-string escapes, and
  // std::length_error for a count beyond document_limits.h).
  void readDeviceSeries(const xml::Node& root, DeviceSeries& record);

  // A new, unattached DeviceSeries element with all thirteen children. Its
  // strVersion is "1.0.0.0" whichever class builds it; write() replaces it.
  xml::Node writeDeviceSeries(const xml::Document& document, const DeviceSeries& record);

  // Why the last read or write failed, for people: what went wrong and, for
  // a structural error, the path of the element being read ("a positional
  // element is missing in /DeviceSeries/aMediaInfoList/MediaInfo[2]"); for
  // a document that does not load, the line and column where it broke
  // ("line 12, column 7: Start-end tags mismatch"). Empty after a success.
  const std::string& lastError() const { return lastError_; }

  // Why the document of the last read did not load, with its place when it
  // has one (xml::LoadError); an empty reason when it loaded.
  const xml::LoadError& loadError() const { return loadError_; }

  // Where the element that made the last read fail starts, when its
  // document collects findings (xml::Document::collectFindings); line 0
  // otherwise.
  const xml::Finding& failurePlace() const { return failurePlace_; }

 protected:
  // Decides a read that met a document of another format (raised by the
  // frame only inside the host application). Here: a newer document fails;
  // an older one is read all the same, so a success always means content.
  virtual bool onVersionMismatch(const xml::ICommonIO::VersionMismatchException& mismatch,
                                 DeviceSeries& record);

  // Lets onVersionMismatch give the reason of its failure; without one, a
  // failed mismatch reports the mismatch.
  void setLastError(std::string error, xml::Finding place = {}) {
    lastError_ = std::move(error);
    failurePlace_ = std::move(place);
  }

 private:
  std::string lastError_;
  xml::LoadError loadError_;
  xml::Finding failurePlace_;
};

class DeviceSeriesIO2 : public DeviceSeriesIO {
 public:
  explicit DeviceSeriesIO2(const std::string& fileName, platform::Env& env);

  xml::FormatVersion& getVersion(xml::FormatVersion& out) const override;

 protected:
  // A newer document fails; an older one is read by a DeviceSeriesIO on the
  // same, already loaded document.
  bool onVersionMismatch(const xml::ICommonIO::VersionMismatchException& mismatch,
                         DeviceSeries& record) override;
};

}  // namespace devseries
