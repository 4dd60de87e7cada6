// The largest counts a device-series document may hold where a count sizes
// memory beyond the elements that carry it.
//
// Most lists cost memory in step with their elements, but a few counts are
// multiplied: every permission set gets one screen angle per input channel
// of its separation, every media one feed calibration per model, and every
// separation table holds 4096 entries whatever its element says. These
// counts are bounded by what the format describes: a separation's input
// and output channels are inks of a mode, which has 24 ink slots. A
// document beyond a bound is not truncated: its read fails (and the update
// leaves the installed file as it is).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace devseries {

// Ink slots of a mode or ink configuration; bounds the input channels of a
// separation (anInputChannelInkIndexList), its output tables
// (aSeparationTableList) and the screen angles of a screen option
// (flDegrees, one per input channel).
inline constexpr int kMaxChannels = 24;
// Separations in a document (aSeparationInfoList).
inline constexpr int kMaxSeparations = 64;
// Models in a document (aModelInfoList), and so feed calibration values
// per media (aflFeedCalibration, one per model).
inline constexpr int kMaxModels = 64;

// Raises std::length_error when |count| exceeds |limit|; |what| names the
// list for the reader's error message.
inline void requireAtMost(int count, int limit, std::string_view what) {
  if (count <= limit) return;
  std::string message = "more than ";
  message += std::to_string(limit);
  message += ' ';
  message += what;
  throw std::length_error(message);
}

}  // namespace devseries
