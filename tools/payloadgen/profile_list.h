// The fifty ICC output profiles of the payload: their names, where they are
// deployed and which printing condition each one describes.
//
// Entry order is deployment order: string entries 101 to 150, blobs 144 to
// 193 (blob = entry + 43). Four file-name prefixes each carry their own list
// of media; within a prefix the media keep their listed order and the
// resolutions run 600x600, 900x600, 900x900.
#pragma once

#include <string>
#include <vector>

namespace payloadgen {

// The ink set a profile belongs to; it decides the deployment folder.
enum class InkSet {
  kOstrandCmyk,        // "Profiles\Ostrand KM\Ostrand CMYK"
  kOstrandTesselCmyk,  // "Profiles\Ostrand KM\Ostrand Tessel CMYK"
};

// The media the profiles are made for, by their name in the file names.
enum class ProfileMedium { kBacklit, kBanner, kHeatTransferSheet, kPvc, kPaper };

// A print resolution in dots per inch, horizontal by vertical.
struct Resolution {
  int horizontalDpi = 0;
  int verticalDpi = 0;
};

struct ProfileEntry {
  int stringId = 0;  // 101..150: the relative target path in the string table
  int blobId = 0;    // 144..193
  InkSet inkSet = InkSet::kOstrandCmyk;
  bool secondGeneration = false;  // the "KM2" prefixes
  ProfileMedium medium = ProfileMedium::kPvc;
  Resolution resolution;
  std::string name;      // file name without ".icc", e.g. "KMOS_GenericPVC_900x900"
  std::string fileName;  // name + ".icc"
};

// All fifty entries in entry order.
const std::vector<ProfileEntry>& profileEntries();

// "GenericPVC" and so on, as the medium appears in a file name.
const char* profileMediumName(ProfileMedium medium);

// The deployment folder of an ink set relative to the host's installation
// folder, with backslashes and without a trailing one.
const char* inkSetFolder(InkSet inkSet);

// The relative target path of a profile: folder + "\" + file name.
std::string profileTargetPath(const ProfileEntry& entry);

}  // namespace payloadgen
