#include "xml/language_table.h"

#include <mutex>
#include <vector>

#include "platform/resources.h"

namespace xml {
namespace {

// Never destroyed, so usable during exit; filled at most once, so a name
// handed out stays valid.
struct Table {
  std::mutex mutex;
  std::vector<std::string> names;  // empty until filled
};

Table& table() {
  static Table* instance = new Table();
  return *instance;
}

// The standard names as strings, so that languageName can hand out a
// reference while the table is empty; never destroyed, like the table.
const std::array<std::string, kLanguageCount>& standardNames() {
  static const auto* names = [] {
    auto* built = new std::array<std::string, kLanguageCount>();
    for (int i = 0; i < kLanguageCount; ++i) {
      (*built)[static_cast<std::size_t>(i)] = kStandardLanguageNames[i];
    }
    return built;
  }();
  return *names;
}

}  // namespace

int languageStringId(int slot) { return slot < 10 ? slot + 1 : slot + 4; }

std::array<std::string, kLanguageCount> languageNamesFrom(platform::Resources& resources) {
  std::array<std::string, kLanguageCount> names;
  for (int i = 0; i < kLanguageCount; ++i) {
    std::string& name = names[static_cast<std::size_t>(i)];
    if (!resources.loadString(languageStringId(i), &name) || name.empty()) {
      name = standardNames()[static_cast<std::size_t>(i)];
    }
  }
  return names;
}

void fillLanguageTable(platform::Resources& resources) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (!t.names.empty()) return;
  const std::array<std::string, kLanguageCount> names = languageNamesFrom(resources);
  t.names.assign(names.begin(), names.end());
}

const std::string& languageName(int slot) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (t.names.empty()) return standardNames().at(static_cast<std::size_t>(slot));
  return t.names.at(static_cast<std::size_t>(slot));
}

}  // namespace xml
