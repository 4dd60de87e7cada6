#include "tools/payloadgen/dsr_commands.h"

#include <string>

#include "tools/payloadgen/dsr_xml.h"

namespace dsr {
namespace {

// Universal exit language: leaves any printer language and starts a job
// language block.
const std::string kUel = "\x1B%-12345X";
const std::string kEol = "\r\n";
const std::string kEsc = "\x1B";

}  // namespace

void appendCommandSet(pugi::xml_node root, const Variant& v) {
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

  pugi::xml_node set = addElement(root, "commandSet");
  addCommand(set, "strInitialize", initialize);
  addCommand(set, "strPrintHeader", printHeader);
  addCommand(set, "strPrintTailer", printTailer);
  addCommand(set, "strCutHeader", cutHeader);
  addCommand(set, "strCutTailer", "");
  addCommand(set, "strPageFeed", pageFeed);
  addCommand(set, "strPageRewind", pageRewind);
  addCommand(set, "strSheetCut", sheetCut);
  addCommand(set, "strCancel", cancel);
}

}  // namespace dsr
