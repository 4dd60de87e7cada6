// The ICC output profiles of the payload, made with LittleCMS.
//
// Each profile is an ICC version 2.4 output (printer) profile: colour space
// CMYK, connection space CIELAB, a perceptual rendering intent in the header,
// a description naming the profile, a copyright text, the medium's white
// point and colour tables computed from the ink model of its printing
// condition:
//   AToB0  CMYK to Lab, colorimetric (9 points per axis); AToB1 and AToB2
//          are links to it;
//   BToA0  Lab to CMYK, perceptual: the lightness range is compressed onto
//          what the medium prints (13 points per axis); BToA2 links to it;
//   BToA1  Lab to CMYK, colorimetric: printable colours kept as they are.
// Lab-to-CMYK tables have a lightness shaper before the grid, so that paper
// white lies on a grid point and takes no ink. Each profile stays under
// 80 KB. Version 2 is used because every RIP and colour engine of the host's
// generation reads it.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/payloadgen/profile_list.h"

namespace payloadgen {

inline constexpr int kAToBGridPoints = 9;
inline constexpr int kBToAGridPoints = 13;

// The creation date written into every profile header, so that the bytes do
// not depend on when the generator runs: 2016-03-01 00:00:00.
inline constexpr std::uint16_t kProfileDate[6] = {2016, 3, 1, 0, 0, 0};

inline constexpr const char* kProfileCopyright =
    "Copyright (c) 2016 Ostrand. Colour data for Ostrand KM printers.";

// The complete profile file for one entry. Deterministic. Throws
// std::runtime_error when LittleCMS reports an error.
std::vector<std::uint8_t> buildOutputProfile(const ProfileEntry& entry);

}  // namespace payloadgen
