// The device-series documents the installer carries, looked up by the file
// name they are deployed under.
#pragma once

#include <ostream>
#include <string>

#include "devseries/device_series.h"
#include "platform/env.h"

namespace dsrtool {

// The blob id of the payload document the installer deploys under the last
// component of |path| (compared without regard to ASCII case, as Windows
// names are); 0 when that name is none of them.
int payloadDocumentBlob(platform::Resources& resources, const std::string& path);

// Reads payload blob |blobId| of |env|'s resources into |record|; false,
// reported on |err|, when the blob is missing or not a readable document.
bool readPayloadDocument(platform::Env& env, int blobId, devseries::DeviceSeries& record,
                         std::ostream& err);

}  // namespace dsrtool
