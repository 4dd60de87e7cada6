#include "xml/app_title.h"

#include <mutex>

#include "platform/env.h"

namespace xml {
namespace {

struct TitleOverride {
  std::mutex mutex;
  std::optional<std::string> title;
};

TitleOverride& titleOverride() {
  static TitleOverride* instance = new TitleOverride();  // never destroyed
  return *instance;
}

}  // namespace

std::string applicationTitle() {
  {
    TitleOverride& o = titleOverride();
    std::lock_guard<std::mutex> lock(o.mutex);
    if (o.title) return *o.title;
  }
  std::string title;
  if (!platform::Env::Default().resources().loadString(kApplicationTitleStringId, &title)) {
    title.clear();
  }
  return title;
}

bool runsInsideHostApplication() { return applicationTitle() == kHostApplicationTitle; }

void setApplicationTitle(std::optional<std::string> title) {
  TitleOverride& o = titleOverride();
  std::lock_guard<std::mutex> lock(o.mutex);
  o.title = std::move(title);
}

}  // namespace xml
