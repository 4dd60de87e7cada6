// The device picture the host shows for the Ostrand KM family: a wide-format
// roll printer on its stand, with a print coming out of it.
#pragma once

#include "tools/payloadgen/bitmap.h"

namespace payloadgen {

inline constexpr int kDevicePictureSize = 106;

// The 106 by 106 picture, drawn from fixed shapes only (no randomness).
Image drawDevicePicture();

}  // namespace payloadgen
