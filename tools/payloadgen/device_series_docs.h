// The four device-series documents the payload carries for the Ostrand KM
// family: "Ostrand KM" (ostrand_km.dsr), "Ostrand KM 300"
// (ostrand_km_300.dsr), "Ostrand KM LX" (ostrand_km_lx.dsr) and
// "Ostrand KM 300 LX" (ostrand_km_300_lx.dsr).
#pragma once

#include <filesystem>

// Writes the four .dsr files into outDir (which must exist), each in the
// byte form of xml/save_format.h, so that reading a document and writing it
// back with the system's device-series writer gives it back byte for byte.
// The output is deterministic. Throws std::runtime_error when a file cannot
// be written.
void writeDeviceSeriesDocuments(const std::filesystem::path& outDir);
