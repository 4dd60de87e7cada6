// The media files (.rmt) of the payload: one per printer model, root element
// Harvel_Media_File, holding the media presets the host offers for that
// model (media type, thickness, head gap, vacuum, heaters, feed calibration,
// pass mask, resolution and ink limit).
#pragma once

#include <string>
#include <vector>

namespace payloadgen {

struct PrinterModel {
  std::string name;      // "Ostrand KM 300 LX"
  std::string fileStem;  // "ostrand_km_300_lx": the blob files are named after it
  int mediaBlobId = 0;   // 139, 141, 142, 143
  bool wide = false;     // the "300" machines take 3.2 m media
  bool tessel = false;   // the "LX" machines print Tessel ink, which is cured by heat
};

// The four models in payload order: Ostrand KM, KM 300, KM LX, KM 300 LX.
const std::vector<PrinterModel>& printerModels();

// The names of the media presets, in file order.
const std::vector<std::string>& mediaNames();

// The media file of one model, in the system's XML byte form. Deterministic.
std::string buildMediaFile(const PrinterModel& model);

}  // namespace payloadgen
