// Resolutions (ResolutionInfo), print modes (ModeInfo) and halftone patterns
// (PatternInfo) of a payload document; the same lists in every variant.
#pragma once

#include <array>

#include "devseries/growable_array.h"
#include "devseries/resolution_mode_pattern.h"

namespace dsr {

// Index of the resolution entry that stands for the printer's default.
inline constexpr int kDefaultResolutionIndex = -2147483647 - 1;

// nResolutionIndex of the scan x feed resolution; throws std::logic_error
// when the list holds no such resolution.
int resolutionIndex(int scanDpi, int feedDpi);

struct PrintMode {
  int index;           // nModeIndex
  const char* name;    // strModeName
  int passes;          // nPassesPerLine
  int feedDpi;         // feed resolution the mode is laid out for
  int inkVolumeIndex;  // nInkVolumeIndex of its ink volume entry
};

inline constexpr std::array<PrintMode, 11> kPrintModes = {{
    {200, "6 Pass", 6, 600, 1010},
    {201, "8 Pass", 8, 600, 1010},
    {202, "10 Pass", 10, 600, 1010},
    {203, "12 Pass", 12, 600, 1010},
    {204, "16 Pass", 16, 600, 1010},
    {205, "20 Pass", 20, 600, 1010},
    {206, "6 Pass High Speed", 6, 600, 1},
    {207, "8 Pass High Speed", 8, 600, 1},
    {208, "12 Pass Fine", 12, 900, 1011},
    {209, "16 Pass Fine", 16, 900, 1012},
    {210, "20 Pass Fine", 20, 900, 1013},
}};

// The mode with this nModeIndex; throws std::logic_error when there is none.
const PrintMode& printMode(int index);

inline constexpr int kPatternCount = 8;

devseries::GrowableArray<devseries::ResolutionInfo> resolutionInfos();
devseries::GrowableArray<devseries::ModeInfo> modeInfos();
devseries::GrowableArray<devseries::PatternInfo> patternInfos();

}  // namespace dsr
