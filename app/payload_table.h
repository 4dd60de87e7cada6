// The payload table: every step of the installation sequence, in the order
// in which it runs.
//
// Target names and folder names are not held here: each step names the
// string of the executable's string table that holds its file name, folder
// or relative path, and buildTargetPath joins it to the host's folders.
#pragma once

#include <span>
#include <string>

#include "platform/resources.h"

namespace app {

enum class PayloadKind {
  kDevicePicture,  // 24-bit Windows bitmap
  kMediaFile,      // XML, root element Harvel_Media_File
  kPassMaskTable,  // XML, root element aPassmaskList
  kFolder,         // a profile folder
  kIccProfile,     // ICC output profile
  kDeviceSeries,   // device-series document
};

enum class PayloadAction {
  kWrite,         // ResourceDeployer over whatever is installed
  kCreateFolder,  // create the folder when nothing exists at its path
  kUpdate,        // merge with an installed copy, or write when there is none
};

// Where a step's string is appended.
enum class PayloadBase {
  kDeviceFolder,   // install folder + device folder
  kInstallFolder,  // install folder
};

struct PayloadStep {
  int step = 0;          // 1 to 66
  int blobId = 0;        // 0 for a folder
  int nameStringId = 0;  // the string holding the file name, folder or relative path
  PayloadKind kind = PayloadKind::kFolder;
  PayloadAction action = PayloadAction::kWrite;
  PayloadBase base = PayloadBase::kInstallFolder;
};

// String ids of the fixed folder names.
inline constexpr int kDeviceFolderStringId = 200;  // "Rastella\Device\"
inline constexpr int kProfileFamilyFolderStringId = 201;
inline constexpr int kProfileInkSetFolder1StringId = 202;
inline constexpr int kProfileInkSetFolder2StringId = 203;

// The first and last string of the ICC profiles' relative paths; entry e
// holds the path of blob e + kIccBlobOffset.
inline constexpr int kFirstIccStringId = 101;
inline constexpr int kLastIccStringId = 150;
inline constexpr int kIccBlobOffset = 43;

// The file name of device blob b is string b + kDeviceNameStringOffset.
inline constexpr int kDeviceNameStringOffset = 100;

// The 66 steps in execution order.
std::span<const PayloadStep> payloadTable();

// Builds the target path of |step| below |installFolder| from the string
// table. Returns false, leaving *path unchanged, when a string it needs is
// missing: such a step is skipped rather than aimed at a wrong path.
bool buildTargetPath(platform::Resources& resources, const std::string& installFolder,
                     const PayloadStep& step, std::string* path);

}  // namespace app
