// Writing a device-series document with the version of a copy.
//
// The document writer takes the version of the document it finds at its
// target. To give a written document the version of another file, the
// caller first copies that file to the target name, exclusively; this then
// reads the version from the copy's head, removes the copy and writes the
// record to a file created anew at that name, so the document never goes
// through whatever may have replaced the copy in between.
#pragma once

#include <functional>
#include <string>

#include "devseries/device_series.h"
#include "platform/env.h"
#include "xml/format_version.h"

namespace update {

// Writes |record| at |copyPath|, where the caller has just copied the
// document whose version it is to carry, through |env|'s file system.
// |trustCopy|, given the version read from the copy, may refuse the copy
// (one that went wrong or was replaced meanwhile); the copy then stays and
// nothing is written. True when the document is written and flushed;
// otherwise |reason| (when not null) tells why, and no part of a written
// document is left at |copyPath|.
bool writeWithVersionOfCopy(platform::Env& env, const std::string& copyPath,
                            const devseries::DeviceSeries& record,
                            const std::function<bool(const xml::FormatVersion&)>& trustCopy,
                            std::string* reason);

}  // namespace update
