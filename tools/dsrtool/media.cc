// dsrtool media: the media of a document, each marked as one of the
// installer's presets or as the user's own.
#include <string>
#include <vector>

#include "tools/dsrtool/command.h"
#include "tools/dsrtool/documents.h"
#include "tools/dsrtool/options.h"
#include "tools/dsrtool/payload_documents.h"
#include "update/media_merge.h"

namespace dsrtool {

namespace {

// "preset" when |media| has a match in |reference| by the update's rule
// (update::sameMediaName), else "user"; "-" without a reference.
const char* originOf(const devseries::MediaInfo& media, const devseries::DeviceSeries* reference) {
  if (reference == nullptr) return "-";
  for (const devseries::MediaInfo& preset : reference->aMediaInfoList) {
    if (update::sameMediaName(media.strMediaName, preset.strMediaName)) return "preset";
  }
  return "user";
}

int runMedia(Invocation& call) {
  Options options;
  int status = kExitUsage;
  if (!parseOptions(call, "media", {{"--json"}, {"--against", true}}, 1, 1, options, status)) {
    return status;
  }
  const std::string& path = options.operands[0];
  devseries::DeviceSeries record;
  if (!readDocument(path, record, call.err, call.env)) return kExitUnreadable;

  // The reference: the document named by --against, else the payload
  // document deployed under FILE's name, else none.
  devseries::DeviceSeries reference;
  bool haveReference = false;
  std::string against;
  if (options.has("--against")) {
    against = options.value("--against");
    if (!readDocument(against, reference, call.err, call.env)) return kExitUnreadable;
    haveReference = true;
  } else if (const int blob = payloadDocumentBlob(call.env.resources(), path); blob != 0) {
    if (!readPayloadDocument(call.env, blob, reference, call.err)) return kExitUnreadable;
    against = "payload";
    haveReference = true;
  }

  Json list = Json::array();
  for (int i = 0; i < record.aMediaInfoList.size(); ++i) {
    const devseries::MediaInfo& media = record.aMediaInfoList[i];
    list.push_back({{"index", i},
                    {"name", media.strMediaName[xml::kEnglish]},
                    {"visible", media.bVisibleMedia},
                    {"origin", originOf(media, haveReference ? &reference : nullptr)}});
  }
  if (options.has("--json")) {
    printJson(call.out, Json{{"file", path},
                             {"against", haveReference ? Json(against) : Json(nullptr)},
                             {"media", list}});
    return kExitOk;
  }
  for (const Json& media : list) {
    call.out << media["index"].get<int>() << '\t'
             << (media["visible"].get<bool>() ? "visible" : "hidden") << '\t'
             << media["origin"].get<std::string>() << '\t' << media["name"].get<std::string>()
             << '\n';
  }
  return kExitOk;
}

}  // namespace

extern const Command kMediaCommand{
    "media", "media [--json] FILE [--against DOC]",
    "One line per media of FILE: its index, whether it is visible or hidden, its\n"
    "origin and its English name, separated by tabs. The origin is \"preset\" when\n"
    "the reference document has a media of the same name (the update's rule: the\n"
    "first ten language slots equal), \"user\" when it has none, \"-\" without a\n"
    "reference. The reference is DOC, else the payload document the installer\n"
    "deploys under FILE's name (\"Ostrand KM.dsr\", ...), else none.\n"
    "--json: {\"file\", \"against\" (DOC, \"payload\" or null), \"media\": [{\"index\",\n"
    "\"name\", \"visible\", \"origin\"}]}\n",
    runMedia};

}  // namespace dsrtool
