// Carrying the user's media from an installed device-series record into a
// new one, trimming calibration lists to what the new separations use, and
// the two together as the update's merge.
#pragma once

#include <vector>

#include "devseries/device_series.h"

namespace update {

// What became of one installed media entry.
struct CarriedMedia {
  int installedIndex = 0;  // position in the installed media list
  bool matched = false;    // true: its visibility was copied to newIndex
  int newIndex = 0;        // position in the new media list (matched or appended)
};

// True when the first ten language slots of the two names (English through
// Spanish) are equal, exactly and case-sensitively. Russian, Turkish and
// Arabic are not compared.
bool sameMediaName(const xml::LocalizedText& a, const xml::LocalizedText& b);

// For each media of |installed| in order: the first of the media |updated|
// held before the call whose name matches receives its bVisibleMedia;
// without a match a complete copy is appended to |updated|. Only the
// entries |updated| had on entry are candidates, so appended entries never
// match. Returns one outcome per installed media, in order.
std::vector<CarriedMedia> carryMedia(const devseries::DeviceSeries& installed,
                                     devseries::DeviceSeries& updated);

// Cuts every permission set's calibration list down to the input-channel
// count of its separation (the first one with its nSeparationIndex); a list
// that is not longer, or whose separation does not exist, is left as is.
void trimCalibrationLists(devseries::DeviceSeries& record);

// The update's whole merge of |installed| into the new record |updated|, as
// the installer writes it: carryMedia, then trimCalibrationLists, then every
// media's feed calibration list fitted to the model count. Returns
// carryMedia's outcomes. Everything that wants "what the update makes of
// these two" calls this, so there is one recipe.
std::vector<CarriedMedia> mergeRecords(const devseries::DeviceSeries& installed,
                                       devseries::DeviceSeries& updated);

}  // namespace update
