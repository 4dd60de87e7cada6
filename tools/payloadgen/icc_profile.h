// The ICC output profiles of the payload, made with LittleCMS.
//
// Each profile is an ICC version 2.4 output (printer) profile: colour space
// CMYK, connection space CIELAB, a perceptual rendering intent in the header,
// a description naming the profile, a copyright text, the medium's white
// point and two colour tables computed from the ink model of its printing
// condition: AToB0 (CMYK to Lab, 9 points per axis) and BToA0 (Lab to CMYK,
// 15 points per axis). The colorimetric and saturation tables (AToB1, AToB2,
// BToA1, BToA2) are links to the perceptual ones. Version 2 is used because
// every RIP and colour engine of the host's generation reads it.
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
