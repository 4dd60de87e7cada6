#include "tools/payloadgen/dsr_commands.h"

#include <string>

namespace dsr {
namespace {

// Universal exit language: leaves any printer language and starts a job
// language block.
const std::string kUel = "\x1B%-12345X";
const std::string kEol = "\r\n";
const std::string kEsc = "\x1B";

}  // namespace

devseries::CommandSet commandSet(const Variant& v) {
  const std::string model = v.name;
  const std::string initialize = kUel + "@PJL" + kEol + "@PJL COMMENT MODEL = \"" + model + "\"" +
                                 kEol + "@PJL JOB NAME = \"?JOBNAME?\"" + kEol +
                                 "@PJL SET COPIES = ?COPIES?" + kEol +
                                 "@PJL SET MEDIASOURCE = ?MEDIASOURCE?" + kEol;
  const std::string printHeader =
      "@PJL SET RESOLUTION = ?RESOLUTION?" + kEol + "@PJL SET PRINTMODE = ?PRINTMODE?" + kEol +
      "@PJL ENTER LANGUAGE = OSTRANDRTL" + kEol + kEsc + "E" + kEsc + "*r?WIDTH?S" + kEsc + "*r1A";
  const std::string printTailer =
      kEsc + "*rC" + kEsc + "E" + kUel + "@PJL EOJ NAME = \"?JOBNAME?\"" + kEol + kUel;
  const std::string cutHeader = kUel + "@PJL ENTER LANGUAGE = HPGL2" + kEol + kEsc +
                                "%1BIN;SP1;VS?CUTSPEED?;FS?CUTFORCE?;CO?CUTOFFSET?;";
  const std::string pageFeed = kEsc + "*b?FEED?Y";
  const std::string pageRewind = kEsc + "*b-?FEED?Y";
  const std::string sheetCut = kEsc + "&l1T" + kEsc + "&l0H";
  // CAN ends whatever the printer is receiving before the job language
  // cancels the job.
  const std::string cancel = "\x18" + kUel + "@PJL CANCEL JOB = \"?JOBNAME?\"" + kEol + kUel;

  return {.strInitialize = initialize,
          .strPrintHeader = printHeader,
          .strPrintTailer = printTailer,
          .strCutHeader = cutHeader,
          .strCutTailer = "",
          .strPageFeed = pageFeed,
          .strPageRewind = pageRewind,
          .strSheetCut = sheetCut,
          .strCancel = cancel};
}

}  // namespace dsr
