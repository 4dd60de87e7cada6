// The four printer variants of the Ostrand KM family that the payload
// describes, one device-series document each.
#pragma once

#include <array>
#include <cstdint>

namespace dsr {

struct Variant {
  const char* name;      // model name, e.g. "Ostrand KM 300 LX"
  const char* fileName;  // document file name in the payload
  bool wide;             // 1346.2 mm print width; the 300 models print 736.6 mm
  bool lx;               // Tessel ink set (profiles KMLX_ / KM2LX_)
  std::uint64_t seed;    // seed of the variant's generated values
};

inline constexpr std::array<Variant, 4> kVariants = {{
    {"Ostrand KM", "ostrand_km.dsr", true, false, 0x4F4B4D0001ULL},
    {"Ostrand KM 300", "ostrand_km_300.dsr", false, false, 0x4F4B4D0300ULL},
    {"Ostrand KM LX", "ostrand_km_lx.dsr", true, true, 0x4F4B4D0A01ULL},
    {"Ostrand KM 300 LX", "ostrand_km_300_lx.dsr", false, true, 0x4F4B4D0A30ULL},
}};

// File-name prefix of the variant's ICC output profiles.
inline const char* profilePrefix(const Variant& v) {
  if (v.lx) return v.wide ? "KMLX_" : "KM2LX_";
  return v.wide ? "KMOS_" : "KM2OS_";
}

// Profile folder of the variant's ink set; the ink configuration is named
// after it.
inline const char* profileFolder(const Variant& v) {
  return v.lx ? "Ostrand Tessel CMYK" : "Ostrand CMYK";
}

}  // namespace dsr
