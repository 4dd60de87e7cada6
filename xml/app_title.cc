#include "xml/app_title.h"

#include "platform/resources.h"

namespace xml {

std::string applicationTitle(platform::Resources& resources) {
  std::string title;
  if (!resources.loadString(kApplicationTitleStringId, &title)) title.clear();
  return title;
}

bool runsInsideHostApplication(platform::Resources& resources) {
  return applicationTitle(resources) == kHostApplicationTitle;
}

}  // namespace xml
