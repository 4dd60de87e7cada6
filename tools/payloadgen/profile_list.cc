#include "tools/payloadgen/profile_list.h"

#include <initializer_list>

namespace payloadgen {
namespace {

struct Family {
  const char* prefix;
  InkSet inkSet;
  bool secondGeneration;
  bool hasBanner;  // the second-generation families carry no banner profiles
};

constexpr Family kFamilies[] = {
    {"KM2OS_", InkSet::kOstrandCmyk, true, false},
    {"KMOS_", InkSet::kOstrandCmyk, false, true},
    {"KM2LX_", InkSet::kOstrandTesselCmyk, true, false},
    {"KMLX_", InkSet::kOstrandTesselCmyk, false, true},
};

constexpr Resolution k600x600{600, 600};
constexpr Resolution k900x600{900, 600};
constexpr Resolution k900x900{900, 900};

std::vector<ProfileEntry> buildEntries() {
  std::vector<ProfileEntry> entries;
  int stringId = 101;
  for (const Family& family : kFamilies) {
    auto add = [&](ProfileMedium medium, std::initializer_list<Resolution> resolutions) {
      for (const Resolution& resolution : resolutions) {
        ProfileEntry entry;
        entry.stringId = stringId;
        entry.blobId = stringId + 43;
        entry.inkSet = family.inkSet;
        entry.secondGeneration = family.secondGeneration;
        entry.medium = medium;
        entry.resolution = resolution;
        entry.name = std::string(family.prefix) + profileMediumName(medium) + "_" +
                     std::to_string(resolution.horizontalDpi) + "x" +
                     std::to_string(resolution.verticalDpi);
        entry.fileName = entry.name + ".icc";
        entries.push_back(entry);
        ++stringId;
      }
    };
    // Backlit film is only profiled at the two high resolutions.
    add(ProfileMedium::kBacklit, {k900x600, k900x900});
    if (family.hasBanner) add(ProfileMedium::kBanner, {k600x600, k900x600, k900x900});
    add(ProfileMedium::kHeatTransferSheet, {k600x600, k900x600, k900x900});
    add(ProfileMedium::kPvc, {k600x600, k900x600, k900x900});
    add(ProfileMedium::kPaper, {k600x600, k900x600, k900x900});
  }
  return entries;
}

}  // namespace

const std::vector<ProfileEntry>& profileEntries() {
  static const std::vector<ProfileEntry> entries = buildEntries();
  return entries;
}

const char* profileMediumName(ProfileMedium medium) {
  switch (medium) {
    case ProfileMedium::kBacklit:
      return "GenericBacklit";
    case ProfileMedium::kBanner:
      return "GenericBanner";
    case ProfileMedium::kHeatTransferSheet:
      return "GenericHeatTransferSheet";
    case ProfileMedium::kPvc:
      return "GenericPVC";
    case ProfileMedium::kPaper:
      return "GenericPaper";
  }
  return "";
}

const char* inkSetFolder(InkSet inkSet) {
  switch (inkSet) {
    case InkSet::kOstrandCmyk:
      return "Profiles\\Ostrand KM\\Ostrand CMYK";
    case InkSet::kOstrandTesselCmyk:
      return "Profiles\\Ostrand KM\\Ostrand Tessel CMYK";
  }
  return "";
}

std::string profileTargetPath(const ProfileEntry& entry) {
  return std::string(inkSetFolder(entry.inkSet)) + "\\" + entry.fileName;
}

}  // namespace payloadgen
