#include "xml/language_table.h"

#include <mutex>
#include <vector>

#include "platform/env.h"

namespace xml {
namespace {

struct Table {
  std::mutex mutex;
  std::vector<std::string> names;  // empty until filled
  platform::Resources* source = nullptr;
};

Table& table() {
  static Table* instance = new Table();  // never destroyed: usable during exit
  return *instance;
}

}  // namespace

int languageStringId(int slot) { return slot < 10 ? slot + 1 : slot + 4; }

const std::string& languageName(int slot) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (t.names.empty()) {
    platform::Resources& resources = t.source ? *t.source : platform::Env::Default().resources();
    std::vector<std::string> names(kLanguageCount);
    for (int i = 0; i < kLanguageCount; ++i) {
      std::string& name = names[static_cast<std::size_t>(i)];
      if (!resources.loadString(languageStringId(i), &name) || name.empty()) {
        name = kStandardLanguageNames[i];
      }
    }
    t.names = std::move(names);
  }
  return t.names.at(static_cast<std::size_t>(slot));
}

void resetLanguageTable(platform::Resources* source) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.names.clear();
  t.source = source;
}

}  // namespace xml
