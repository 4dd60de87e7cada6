// The four device-series documents the payload carries for the Ostrand KM
// family: "Ostrand KM" (ostrand_km.dsr), "Ostrand KM 300"
// (ostrand_km_300.dsr), "Ostrand KM LX" (ostrand_km_lx.dsr) and
// "Ostrand KM 300 LX" (ostrand_km_300_lx.dsr).
#pragma once

#include <string>

#include "devseries/device_series.h"
#include "platform/env.h"
#include "tools/payloadgen/dsr_variant.h"

// The format version the payload documents carry; an update keeps it.
inline constexpr const char* kPayloadFormatVersion = "6.6.13.0";

// The complete record of one variant's document. The values are
// deterministic and in the form a read gives back: a document written from
// the record reads as the same record.
devseries::DeviceSeries deviceSeries(const dsr::Variant& v);

// Writes the four .dsr files into outDir (which must exist) through the
// system's device-series writer and |env|'s files, replacing files of those
// names, with the root version kPayloadFormatVersion. Throws
// std::runtime_error with the writer's reason when a file cannot be
// written.
void writeDeviceSeriesDocuments(const std::string& outDir, platform::Env& env);
