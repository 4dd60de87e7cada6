// The title of the running application, which tells whether this code runs
// inside the host application.
//
// The version check of a document runs only inside the host, whose title
// string (string 57344 of its string table) is "Harvel Rastella Dual". The
// programs of this project never carry that title, so for them the check
// never runs. Tests set the title to exercise both sides.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xml {

inline constexpr int kApplicationTitleStringId = 57344;
inline constexpr std::string_view kHostApplicationTitle = "Harvel Rastella Dual";

// The set title, or else string 57344 of the resources of
// platform::Env::Default() ("" when the string table has none).
std::string applicationTitle();

// True when applicationTitle() is exactly kHostApplicationTitle.
bool runsInsideHostApplication();

// Sets the title that applicationTitle() reports; std::nullopt returns to
// reading the string table.
void setApplicationTitle(std::optional<std::string> title);

}  // namespace xml
