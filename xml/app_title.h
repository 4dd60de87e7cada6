// The title of the running application, which tells whether this code runs
// inside the host application.
//
// The version check of a document runs only inside the host, whose title
// string (string 57344 of its string table) is "Harvel Rastella Dual". The
// programs of this project never carry that title, so for them the check
// never runs. Tests give their environment the title to exercise both sides.
#pragma once

#include <string>
#include <string_view>

namespace platform {
class Resources;
}

namespace xml {

inline constexpr int kApplicationTitleStringId = 57344;
inline constexpr std::string_view kHostApplicationTitle = "Harvel Rastella Dual";

// String 57344 of |resources| ("" when the string table has none).
std::string applicationTitle(platform::Resources& resources);

// True when applicationTitle(resources) is exactly kHostApplicationTitle.
bool runsInsideHostApplication(platform::Resources& resources);

}  // namespace xml
