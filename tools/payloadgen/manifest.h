// The payload manifest (payload/manifest.tsv): which file each blob id
// embeds, and the text of each string id.
//
// One record per line, fields separated by one tab:
//   blob<TAB><id><TAB><file path relative to payload/><TAB><target-name string id>
//   string<TAB><id><TAB><text to the end of the line>
// Lines that are empty or start with "#" are ignored. A carriage return at
// the end of a line is not part of it. String texts may hold any character
// but a line break, including tabs and trailing backslashes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace payloadgen {

struct ManifestBlob {
  int id = 0;
  std::string path;
  int targetStringId = 0;
};

struct ManifestString {
  int id = 0;
  std::string text;
};

struct Manifest {
  std::vector<ManifestBlob> blobs;      // in file order
  std::vector<ManifestString> strings;  // in file order
};

// Parses the manifest text. On success fills |manifest| and returns true. On
// the first malformed line (unknown record kind, wrong field count, an id
// that is not a decimal number in 1..65535, an empty blob path, a blob or
// string id that appeared before) returns false and sets |error| to a
// message naming the line number.
bool parseManifest(std::string_view text, Manifest* manifest, std::string* error);

// The blob or string with |id|, or null.
const ManifestBlob* findBlob(const Manifest& manifest, int id);
const ManifestString* findString(const Manifest& manifest, int id);

}  // namespace payloadgen
