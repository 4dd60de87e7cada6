#include "app/payload_table.h"

#include <array>

namespace app {
namespace {

constexpr PayloadStep deviceStep(int step, int blobId, PayloadKind kind, PayloadAction action) {
  return {step, blobId, blobId + kDeviceNameStringOffset, kind, action, PayloadBase::kDeviceFolder};
}

constexpr PayloadStep folderStep(int step, int stringId) {
  return {step,
          0,
          stringId,
          PayloadKind::kFolder,
          PayloadAction::kCreateFolder,
          PayloadBase::kInstallFolder};
}

constexpr std::array<PayloadStep, 66> makeTable() {
  std::array<PayloadStep, 66> table{};
  int i = 0;
  // Device picture, media files, pass-mask tables.
  table[i++] = deviceStep(1, 138, PayloadKind::kDevicePicture, PayloadAction::kWrite);
  for (int blobId : {139, 141, 142, 143}) {
    table[i] = deviceStep(i + 1, blobId, PayloadKind::kMediaFile, PayloadAction::kWrite);
    ++i;
  }
  for (int blobId : {134, 135, 136, 137}) {
    table[i] = deviceStep(i + 1, blobId, PayloadKind::kPassMaskTable, PayloadAction::kWrite);
    ++i;
  }
  // The three profile folders, parents first.
  for (int stringId : {kProfileFamilyFolderStringId, kProfileInkSetFolder1StringId,
                       kProfileInkSetFolder2StringId}) {
    table[i] = folderStep(i + 1, stringId);
    ++i;
  }
  // Fifty ICC profiles in string-table order.
  for (int stringId = kFirstIccStringId; stringId <= kLastIccStringId; ++stringId) {
    table[i] = {i + 1,
                stringId + kIccBlobOffset,
                stringId,
                PayloadKind::kIccProfile,
                PayloadAction::kWrite,
                PayloadBase::kInstallFolder};
    ++i;
  }
  // The device-series documents last, Ostrand KM itself at the very end.
  for (int blobId : {131, 132, 133, 130}) {
    table[i] = deviceStep(i + 1, blobId, PayloadKind::kDeviceSeries, PayloadAction::kUpdate);
    ++i;
  }
  // Evaluated at compile time: a miscounted table does not build.
  if (i != static_cast<int>(table.size())) throw "payload table miscounted";
  return table;
}

constexpr std::array<PayloadStep, 66> kPayloadTable = makeTable();

}  // namespace

std::span<const PayloadStep> payloadTable() { return kPayloadTable; }

bool buildTargetPath(platform::Resources& resources, const std::string& installFolder,
                     const PayloadStep& step, std::string* path) {
  std::string result = installFolder;
  if (step.base == PayloadBase::kDeviceFolder) {
    std::string deviceFolder;
    // An empty device folder would put device files in the install folder.
    if (!resources.loadString(kDeviceFolderStringId, &deviceFolder) || deviceFolder.empty()) {
      return false;
    }
    result += deviceFolder;
  }
  std::string name;
  if (!resources.loadString(step.nameStringId, &name)) return false;
  // An empty name would aim the step at the folder itself.
  if (name.empty()) return false;
  *path = result + name;
  return true;
}

}  // namespace app
