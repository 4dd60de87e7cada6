// dsrtool check: a strict reading. The document is read as the installer
// reads it, and everything the lenient readers pass over or change is
// reported at its element.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "devseries/device_series_io.h"
#include "tools/dsrtool/command.h"
#include "tools/dsrtool/documents.h"
#include "tools/dsrtool/options.h"
#include "xml/dom.h"

namespace dsrtool {

namespace {

// True for "N.N.N.N", four runs of decimal digits.
bool isFourNumbers(std::string_view text) {
  int parts = 0;
  std::size_t digits = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && digits > 0 && parts < 3) {
      ++parts;
      digits = 0;
    } else {
      return false;
    }
  }
  return parts == 3 && digits > 0;
}

// Reports a root element's strVersion that the lenient reading of the
// version takes for something else.
void checkVersion(const xml::Document& document) {
  xml::NodeList top = document.childNodes();
  for (xml::Node node = top.nextNode(); node; node = top.nextNode()) {
    if (node.nodeType() != xml::NodeType::kElement || node.nodeName() != "DeviceSeries") continue;
    const xml::Attribute version = node.attributes().getNamedItem("strVersion");
    if (version && !isFourNumbers(version.nodeTypedValue())) {
      node.report("strVersion '" + version.nodeTypedValue() + "' is not four numbers");
    }
    return;
  }
}

int runCheck(Invocation& call) {
  Options options;
  int status = kExitUsage;
  if (!parseOptions(call, "check", {{"--json"}}, 1, 1, options, status)) return status;
  const std::string& path = options.operands[0];
  if (!checkInputFile(call.env.files(), path, call.err)) return kExitUnreadable;

  std::vector<xml::Finding> findings;
  xml::Document document = xml::Document::create();
  document.collectFindings(&findings);
  if (!document.load(path, call.env.files())) {
    const xml::LoadError& error = document.loadError();
    findings.push_back({error.line, error.column, error.reason});
  } else {
    checkVersion(document);
    devseries::DeviceSeriesIO2 io(path, call.env);
    io.creator().hold(document);
    devseries::DeviceSeries record;
    if (!io.read(record)) {
      findings.push_back({io.failurePlace().line, io.failurePlace().column,
                          "the document cannot be read: " + io.lastError()});
    }
  }
  // In the order of the text; a finding without a place first.
  std::stable_sort(findings.begin(), findings.end(),
                   [](const xml::Finding& a, const xml::Finding& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });

  if (options.has("--json")) {
    Json list = Json::array();
    for (const xml::Finding& finding : findings) {
      list.push_back(
          {{"line", finding.line}, {"column", finding.column}, {"message", finding.message}});
    }
    printJson(call.out, Json{{"file", path}, {"clean", findings.empty()}, {"findings", list}});
  } else {
    for (const xml::Finding& finding : findings) {
      call.out << path;
      if (finding.line > 0) call.out << ":" << finding.line << ":" << finding.column;
      call.out << ": " << finding.message << "\n";
    }
  }
  return findings.empty() ? kExitOk : kExitUnreadable;
}

}  // namespace

extern const Command kCheckCommand{
    "check", "check [--json] FILE",
    "Reads FILE strictly: reports, as FILE:LINE:COLUMN: message, everything the\n"
    "installer's lenient reading passes over or changes: an element skipped\n"
    "(unknown, extra or misplaced), a value coerced (text in a number field, out\n"
    "of range, truncated, a bad boolean), a field given twice (the later one\n"
    "wins), a strVersion that is not four numbers, a missing positional element,\n"
    "and why the document cannot be read at all.\n"
    "Exit status: 0 clean, 1 any finding, 2 usage error.\n"
    "--json: {\"file\", \"clean\", \"findings\": [{\"line\", \"column\", \"message\"}]}\n",
    runCheck};

}  // namespace dsrtool
