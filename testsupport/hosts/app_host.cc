#include "testsupport/hosts/app_host.h"

#include <vector>

namespace testsupport {

void addPayloadStrings(testsupport::FakeResources& resources) {
  resources.setString(200, "Rastella\\Device\\");
  resources.setString(201, "Profiles\\Ostrand KM");
  resources.setString(202, "Profiles\\Ostrand KM\\Ostrand CMYK");
  resources.setString(203, "Profiles\\Ostrand KM\\Ostrand Tessel CMYK");
  resources.setString(230, "Ostrand KM.dsr");
  resources.setString(231, "Ostrand KM 300.dsr");
  resources.setString(232, "Ostrand KM LX.dsr");
  resources.setString(233, "Ostrand KM 300 LX.dsr");
  resources.setString(234, "Ostrand KM.pmp");
  resources.setString(235, "Ostrand KM 300.pmp");
  resources.setString(236, "Ostrand KM LX.pmp");
  resources.setString(237, "Ostrand KM 300 LX.pmp");
  resources.setString(238, "Ostrand KM.bmp");
  resources.setString(239, "Ostrand KM.rmt");
  resources.setString(241, "Ostrand KM 300.rmt");
  resources.setString(242, "Ostrand KM LX.rmt");
  resources.setString(243, "Ostrand KM 300 LX.rmt");

  // The fifty profiles: four prefixes, each with its media at their
  // resolutions, the first two in ink-set folder 1, the last two in 2.
  const std::vector<std::string> twoMedia = {"GenericHeatTransferSheet", "GenericPVC",
                                             "GenericPaper"};
  const std::vector<std::string> threeMedia = {"GenericBanner", "GenericHeatTransferSheet",
                                               "GenericPVC", "GenericPaper"};
  struct Group {
    const char* folder;
    const char* prefix;
    const std::vector<std::string>* media;
  };
  const Group groups[] = {{"Profiles\\Ostrand KM\\Ostrand CMYK\\", "KM2OS_", &twoMedia},
                          {"Profiles\\Ostrand KM\\Ostrand CMYK\\", "KMOS_", &threeMedia},
                          {"Profiles\\Ostrand KM\\Ostrand Tessel CMYK\\", "KM2LX_", &twoMedia},
                          {"Profiles\\Ostrand KM\\Ostrand Tessel CMYK\\", "KMLX_", &threeMedia}};
  int id = 101;
  for (const Group& group : groups) {
    const std::string base = std::string(group.folder) + group.prefix;
    resources.setString(id++, base + "GenericBacklit_900x600.icc");
    resources.setString(id++, base + "GenericBacklit_900x900.icc");
    for (const std::string& medium : *group.media) {
      for (const char* resolution : {"600x600", "900x600", "900x900"}) {
        resources.setString(id++, base + medium + "_" + resolution + ".icc");
      }
    }
  }
}

void registerHost(testsupport::FakeRegistry& registry, const std::string& installPath) {
  const std::string base = "Software\\Harvel\\Harvel Rastella Dual\\";
  registry.setString(platform::Hive::kLocalMachine, base + "Installer", "CompanyName", "Harvel");
  registry.setString(platform::Hive::kLocalMachine, base + "Installer", "InstallPath", installPath);
  registry.setString(platform::Hive::kLocalMachine, base + "Installer", "UserName", "Operator");
  registry.setString(platform::Hive::kLocalMachine, base + "User", "InkConfig", "CMYK");
  registry.setString(platform::Hive::kLocalMachine, base + "User", "Language", "English");
  registry.setString(platform::Hive::kLocalMachine, base + "User", "Model", "Ostrand KM");
}

void addSmallBlobs(testsupport::FakeResources& resources) {
  for (int id = 130; id <= 193; ++id) {
    if (id != 140) resources.addBlob(id, "blob " + std::to_string(id));
  }
}

}  // namespace testsupport
