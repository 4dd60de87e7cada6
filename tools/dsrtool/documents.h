// Reading and writing whole device-series documents for dsrtool's commands,
// with the reasons reported the way the tool reports them.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "devseries/device_series.h"
#include "devseries/device_series_io.h"
#include "platform/env.h"

namespace dsrtool {

// Reads |path| into |record| through a DeviceSeriesIO2; on failure reports
// why on |err| ("dsrtool: FILE:LINE:COLUMN: reason" where the place is
// known). |version| receives the document's version when given.
bool readDocument(const std::string& path, devseries::DeviceSeries& record, std::ostream& err,
                  platform::Env& env, std::string* version = nullptr);

// The same through |io|, which may hold its document already; |path| names
// it in the messages.
bool readWith(devseries::DeviceSeriesIO2& io, const std::string& path,
              devseries::DeviceSeries& record, std::ostream& err, std::string* version = nullptr);

// Writes |record| to |path| with the version of the document at
// |versionSource|, its feed calibration lists fitted to the model count as
// an update writes them. The result is made at "<path>.tmp", created
// exclusively, and moved over |path| only once it is complete, so a failure
// leaves an existing |path| as it was and nothing new behind. Returns an
// exit code.
int copyThenWrite(const std::string& versionSource, const std::string& path,
                  devseries::DeviceSeries& record, std::ostream& err, platform::Env& env);

// Writes |bytes| to |path| the same way: made at "<path>.tmp", created
// exclusively and never through a link, flushed, and renamed over |path|
// only when complete; on failure nothing new is left. Returns an exit code.
int writeThenRename(platform::FileSystem& files, const std::string& path, std::string_view bytes,
                    std::ostream& err);

// True when |out| names the same file as |input|, however either is spelt.
bool sameFile(platform::FileSystem& files, const std::string& out, const std::string& input);

}  // namespace dsrtool
