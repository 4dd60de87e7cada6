// dsrtool diff: a structural comparison of two documents, list by list and
// field by field, walking the root's element form.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "devseries/device_series_io.h"
#include "tools/dsrtool/command.h"
#include "tools/dsrtool/documents.h"
#include "tools/dsrtool/options.h"
#include "update/media_merge.h"
#include "xml/dom.h"

namespace dsrtool {

namespace {

constexpr int kExitSame = 0;
constexpr int kExitDiffer = 1;
constexpr int kExitTrouble = 2;

// The values of an element as the writer makes them: one (path, text) per
// element without element children, the path of names below the element,
// a name met more than once among its siblings numbered from 1
// ("aPermissionSetList/PermissionSet[2]/nSeparationIndex").
using Leaves = std::vector<std::pair<std::string, std::string>>;

std::vector<xml::Node> elementChildren(const xml::Node& node) {
  std::vector<xml::Node> children;
  xml::NodeList list = node.childNodes();
  for (xml::Node child = list.nextNode(); child; child = list.nextNode()) {
    if (child.nodeType() == xml::NodeType::kElement) children.push_back(child);
  }
  return children;
}

void flatten(const xml::Node& element, const std::string& prefix, Leaves& out) {
  const std::vector<xml::Node> children = elementChildren(element);
  if (children.empty()) {
    out.emplace_back(prefix, element.nodeTypedValue());
    return;
  }
  std::vector<int> seen(children.size(), 0);
  for (std::size_t i = 0; i < children.size(); ++i) {
    const std::string_view name = children[i].nodeName();
    std::size_t same = 0;
    std::size_t before = 0;
    for (std::size_t j = 0; j < children.size(); ++j) {
      if (children[j].nodeName() != name) continue;
      ++same;
      if (j < i) ++before;
    }
    std::string path = prefix.empty() ? std::string(name) : prefix + "/" + std::string(name);
    if (same > 1) path += "[" + std::to_string(before + 1) + "]";
    flatten(children[i], path, out);
  }
}

Leaves leavesOf(const xml::Node& element) {
  Leaves leaves;
  flatten(element, "", leaves);
  return leaves;
}

// The English name of an entry: the first value of a field whose name ends
// in "Name", in its English slot when it is localized.
Json entryName(const Leaves& leaves) {
  for (const auto& [path, value] : leaves) {
    const std::string field = path.substr(0, path.find('/'));
    if (field.size() < 4 || field.compare(field.size() - 4, 4, "Name") != 0) continue;
    if (path == field || path == field + "/English") return value;
  }
  return nullptr;
}

// The fields whose values differ between |a| and |b|, in |a|'s order, then
// those only |b| has; a side without the field gives null.
Json changedFields(const Leaves& a, const Leaves& b) {
  Json fields = Json::array();
  auto find = [](const Leaves& leaves, const std::string& path) {
    return std::find_if(leaves.begin(), leaves.end(),
                        [&](const auto& leaf) { return leaf.first == path; });
  };
  for (const auto& [path, value] : a) {
    const auto other = find(b, path);
    if (other == b.end()) {
      fields.push_back({{"field", path}, {"a", value}, {"b", nullptr}});
    } else if (other->second != value) {
      fields.push_back({{"field", path}, {"a", value}, {"b", other->second}});
    }
  }
  for (const auto& [path, value] : b) {
    if (find(a, path) == a.end()) fields.push_back({{"field", path}, {"a", nullptr}, {"b", value}});
  }
  return fields;
}

// Pairs of entries compared: media by the update's rule, every other list
// by position. Each pair is (index in A, index in B); -1 on a side where
// the entry has no partner.
std::vector<std::pair<int, int>> pairEntries(bool isMedia, const devseries::DeviceSeries& a,
                                             const devseries::DeviceSeries& b, int countA,
                                             int countB) {
  std::vector<std::pair<int, int>> pairs;
  if (isMedia) {
    devseries::DeviceSeries updated = b;
    std::vector<bool> matched(static_cast<std::size_t>(countB), false);
    for (const update::CarriedMedia& outcome : update::carryMedia(a, updated)) {
      pairs.emplace_back(outcome.installedIndex, outcome.matched ? outcome.newIndex : -1);
      if (outcome.matched) matched[static_cast<std::size_t>(outcome.newIndex)] = true;
    }
    for (int j = 0; j < countB; ++j) {
      if (!matched[static_cast<std::size_t>(j)]) pairs.emplace_back(-1, j);
    }
    return pairs;
  }
  for (int i = 0; i < std::max(countA, countB); ++i) {
    pairs.emplace_back(i < countA ? i : -1, i < countB ? i : -1);
  }
  return pairs;
}

Json compareList(std::string_view name, bool isMedia, const xml::Node& listA,
                 const xml::Node& listB, const devseries::DeviceSeries& a,
                 const devseries::DeviceSeries& b) {
  const std::vector<xml::Node> entriesA = elementChildren(listA);
  const std::vector<xml::Node> entriesB = elementChildren(listB);
  Json added = Json::array();
  Json removed = Json::array();
  Json changed = Json::array();
  for (const auto& [i, j] : pairEntries(isMedia, a, b, static_cast<int>(entriesA.size()),
                                        static_cast<int>(entriesB.size()))) {
    const Leaves leavesA = i < 0 ? Leaves() : leavesOf(entriesA[static_cast<std::size_t>(i)]);
    const Leaves leavesB = j < 0 ? Leaves() : leavesOf(entriesB[static_cast<std::size_t>(j)]);
    if (i < 0) {
      added.push_back({{"index", j}, {"name", entryName(leavesB)}});
    } else if (j < 0) {
      removed.push_back({{"index", i}, {"name", entryName(leavesA)}});
    } else if (Json fields = changedFields(leavesA, leavesB); !fields.empty()) {
      changed.push_back(
          {{"a", i}, {"b", j}, {"name", entryName(leavesA)}, {"fields", std::move(fields)}});
    }
  }
  if (added.empty() && removed.empty() && changed.empty()) return nullptr;
  return {{"list", name}, {"added", added}, {"removed", removed}, {"changed", changed}};
}

// The comparison of two read documents, as the JSON output gives it.
Json compare(const devseries::DeviceSeries& a, const std::string& versionA,
             const devseries::DeviceSeries& b, const std::string& versionB) {
  xml::Document scratch = xml::Document::create();
  Json lists = Json::array();
  Json fields = Json::array();
  for (const auto& field : devseries::deviceSeriesForm().fields) {
    const xml::Node elementA = devseries::writeField(scratch, field, a);
    const xml::Node elementB = devseries::writeField(scratch, field, b);
    if (field.count != nullptr) {
      Json list =
          compareList(field.name, field.name.view() == "aMediaInfoList", elementA, elementB, a, b);
      if (!list.is_null()) lists.push_back(std::move(list));
      continue;
    }
    for (Json& changed : changedFields(leavesOf(elementA), leavesOf(elementB))) {
      const std::string path = changed["field"].get<std::string>();
      changed["field"] = std::string(field.name) + (path.empty() ? "" : "/" + path);
      fields.push_back(std::move(changed));
    }
  }
  return {{"same", versionA == versionB && lists.empty() && fields.empty()},
          {"strVersion", {{"a", versionA}, {"b", versionB}}},
          {"lists", lists},
          {"fields", fields}};
}

std::string shown(const Json& value) {
  return value.is_null() ? "(absent)" : value.get<std::string>();
}

void printFields(std::ostream& out, const Json& fields) {
  for (const Json& field : fields) {
    out << "  " << field["field"].get<std::string>() << ": " << shown(field["a"]) << " -> "
        << shown(field["b"]) << "\n";
  }
}

void printText(std::ostream& out, const Json& result) {
  const Json& version = result["strVersion"];
  if (version["a"] != version["b"]) {
    out << "strVersion: " << version["a"].get<std::string>() << " -> "
        << version["b"].get<std::string>() << "\n";
  }
  auto named = [](const Json& entry) {
    return entry["name"].is_null() ? std::string()
                                   : " \"" + entry["name"].get<std::string>() + "\"";
  };
  for (const Json& list : result["lists"]) {
    const std::string name = list["list"].get<std::string>();
    for (const Json& entry : list["removed"]) {
      out << name << "[" << entry["index"].get<int>() << "]: removed" << named(entry) << "\n";
    }
    for (const Json& entry : list["added"]) {
      out << name << "[" << entry["index"].get<int>() << "]: added" << named(entry) << "\n";
    }
    for (const Json& entry : list["changed"]) {
      out << name << "[" << entry["a"].get<int>() << "]";
      if (entry["a"] != entry["b"]) out << " -> [" << entry["b"].get<int>() << "]";
      out << ": changed" << named(entry) << "\n";
      printFields(out, entry["fields"]);
    }
  }
  if (!result["fields"].empty()) {
    out << "DeviceSeries: changed\n";
    printFields(out, result["fields"]);
  }
}

int runDiff(Invocation& call) {
  Options options;
  int status = kExitUsage;
  if (!parseOptions(call, "diff", {{"--json"}}, 2, 2, options, status)) return status;
  devseries::DeviceSeries a;
  devseries::DeviceSeries b;
  std::string versionA;
  std::string versionB;
  if (!readDocument(options.operands[0], a, call.err, call.env, &versionA) ||
      !readDocument(options.operands[1], b, call.err, call.env, &versionB)) {
    return kExitTrouble;
  }
  Json result = compare(a, versionA, b, versionB);
  if (options.has("--json")) {
    Json shownResult{{"a", options.operands[0]}, {"b", options.operands[1]}};
    shownResult.update(result);
    printJson(call.out, shownResult);
  } else {
    printText(call.out, result);
  }
  return result["same"].get<bool>() ? kExitSame : kExitDiffer;
}

}  // namespace

extern const Command kDiffCommand{
    "diff", "diff [--json] A B",
    "Compares two documents structurally: the version, then list by list the\n"
    "entries added, removed and changed (media matched by name as the update\n"
    "matches them, other entries by position), with the old and new value of\n"
    "every changed field; then the other fields of the root.\n"
    "Exit status: 0 the same, 1 different, 2 trouble (a document cannot be read,\n"
    "a usage error).\n"
    "--json: {\"a\", \"b\", \"same\", \"strVersion\": {\"a\", \"b\"}, \"lists\": [{\"list\",\n"
    "\"added\": [{\"index\", \"name\"}], \"removed\": [...], \"changed\": [{\"a\", \"b\",\n"
    "\"name\", \"fields\": [{\"field\", \"a\", \"b\"}]}]}], \"fields\": [{\"field\", \"a\", "
    "\"b\"}]}\n",
    runDiff};

}  // namespace dsrtool
