#include "tools/payloadgen/manifest.h"

#include <set>

namespace payloadgen {
namespace {

std::vector<std::string_view> splitTabs(std::string_view line, std::size_t maxFields) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < maxFields) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) break;
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

// Resource ids are 16-bit and 0 is not a valid one.
bool parseId(std::string_view text, int* id) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) return false;
  *id = value;
  return true;
}

}  // namespace

bool parseManifest(std::string_view text, Manifest* manifest, std::string* error) {
  Manifest result;
  std::set<int> blobIds;
  std::set<int> stringIds;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;

    auto bad = [&](const std::string& why) {
      *error = "line " + std::to_string(lineNumber) + ": " + why;
      return false;
    };
    if (line.starts_with("blob\t")) {
      const std::vector<std::string_view> fields = splitTabs(line, 5);
      if (fields.size() != 4) return bad("a blob line has 4 fields");
      ManifestBlob blob;
      if (!parseId(fields[1], &blob.id)) return bad("bad blob id");
      if (fields[2].empty()) return bad("empty blob path");
      if (!parseId(fields[3], &blob.targetStringId)) return bad("bad target string id");
      if (!blobIds.insert(blob.id).second) return bad("blob id used twice");
      blob.path = std::string(fields[2]);
      result.blobs.push_back(std::move(blob));
    } else if (line.starts_with("string\t")) {
      const std::vector<std::string_view> fields = splitTabs(line, 3);
      if (fields.size() != 3) return bad("a string line has 3 fields");
      ManifestString entry;
      if (!parseId(fields[1], &entry.id)) return bad("bad string id");
      if (!stringIds.insert(entry.id).second) return bad("string id used twice");
      entry.text = std::string(fields[2]);
      result.strings.push_back(std::move(entry));
    } else {
      return bad("unknown record kind");
    }
  }
  *manifest = std::move(result);
  return true;
}

const ManifestBlob* findBlob(const Manifest& manifest, int id) {
  for (const ManifestBlob& blob : manifest.blobs) {
    if (blob.id == id) return &blob;
  }
  return nullptr;
}

const ManifestString* findString(const Manifest& manifest, int id) {
  for (const ManifestString& entry : manifest.strings) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

}  // namespace payloadgen
