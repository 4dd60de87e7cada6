// dsrtool plot: the output tables of one separation as an SVG picture.
//
// The picture depends on the document alone: fixed sizes, numbers formatted
// by std::to_chars (never by the locale), no dates, so two runs give the
// same bytes.
#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <string_view>

#include "tools/dsrtool/command.h"
#include "tools/dsrtool/documents.h"
#include "tools/dsrtool/options.h"

namespace dsrtool {

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 560;
constexpr double kLeft = 70;    // plot area, in picture units
constexpr double kRight = 600;  // the legend stands right of it
constexpr double kTop = 30;
constexpr double kBottom = 500;
constexpr int kLastInput = devseries::kOutputTableSize - 1;
constexpr int kTicks = 4;

// Line colours of tables whose ink has no colour in the document.
constexpr std::array<std::string_view, 8> kPalette = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                                                      "#ff7f0e", "#17becf", "#8c564b", "#7f7f7f"};

// |value| with two decimals, as std::to_chars writes it in any locale.
std::string fixed(double value) {
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  return std::string(buffer, result.ptr);
}

std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string hexColor(const devseries::RgbColor& color) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  std::string text = "#";
  for (const std::uint8_t part : {color.R, color.G, color.B}) {
    text += kDigits[part >> 4];
    text += kDigits[part & 15];
  }
  return text;
}

const devseries::InkInfo* findInk(const devseries::DeviceSeries& record, int index) {
  for (const devseries::InkInfo& ink : record.aInkInfoList) {
    if (ink.nInkIndex == index) return &ink;
  }
  return nullptr;
}

std::string svgOf(const devseries::DeviceSeries& record, int separationPosition) {
  const devseries::SeparationInfo& separation = record.aSeparationInfoList[separationPosition];
  const auto& tables = separation.aSeparationTableList;
  int top = kLastInput;
  for (const devseries::SeparationTable& table : tables) {
    top = std::max<int>(top,
                        *std::max_element(table.usOutputTable.begin(), table.usOutputTable.end()));
  }
  const auto x = [](double input) { return kLeft + input * (kRight - kLeft) / kLastInput; };
  const auto y = [top](double output) { return kBottom - output * (kBottom - kTop) / top; };

  std::string svg;
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kWidth) +
         "\" height=\"" + std::to_string(kHeight) + "\" viewBox=\"0 0 " + std::to_string(kWidth) +
         " " + std::to_string(kHeight) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  const std::string name = separation.strSeparationName[xml::kEnglish];
  svg += "<title>Separation " + std::to_string(separationPosition) +
         (name.empty() ? "" : " " + escaped(name)) + ": output tables</title>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  // Axes with their ticks and labels.
  svg += "<g stroke=\"black\" fill=\"none\">\n";
  svg += "<path d=\"M" + fixed(kLeft) + " " + fixed(kTop) + " V" + fixed(kBottom) + " H" +
         fixed(kRight) + "\"/>\n";
  svg += "</g>\n<g fill=\"black\">\n";
  for (int tick = 0; tick <= kTicks; ++tick) {
    const int input = kLastInput * tick / kTicks;
    const int output = top * tick / kTicks;
    svg += "<text x=\"" + fixed(x(input)) + "\" y=\"" + fixed(kBottom + 16) +
           "\" text-anchor=\"middle\">" + std::to_string(input) + "</text>\n";
    svg += "<text x=\"" + fixed(kLeft - 6) + "\" y=\"" + fixed(y(output) + 4) +
           "\" text-anchor=\"end\">" + std::to_string(output) + "</text>\n";
  }
  svg += "<text x=\"" + fixed((kLeft + kRight) / 2) + "\" y=\"" + fixed(kBottom + 40) +
         "\" text-anchor=\"middle\">input (0-" + std::to_string(kLastInput) + ")</text>\n";
  svg += "<text transform=\"translate(16 " + fixed((kTop + kBottom) / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">output</text>\n";
  svg += "</g>\n";
  // One line per table, and its legend entry.
  for (int t = 0; t < tables.size(); ++t) {
    const devseries::SeparationTable& table = tables[t];
    const devseries::InkInfo* ink = findInk(record, table.nInkIndex);
    const std::string color =
        ink != nullptr ? hexColor(ink->darkColor)
                       : std::string(kPalette[static_cast<std::size_t>(t) % kPalette.size()]);
    svg += "<polyline fill=\"none\" stroke=\"" + color + "\" stroke-width=\"1\" points=\"";
    for (int input = 0; input <= kLastInput; ++input) {
      if (input > 0) svg += ' ';
      svg += fixed(x(input)) + "," + fixed(y(table.usOutputTable[static_cast<std::size_t>(input)]));
    }
    svg += "\"/>\n";
    std::string label = "table " + std::to_string(t);
    if (ink != nullptr) {
      const std::string inkName = ink->strLongInkName[xml::kEnglish].empty()
                                      ? ink->strShortInkName
                                      : ink->strLongInkName[xml::kEnglish];
      label += ": " + inkName;
    }
    const double row = kTop + 10 + 18 * t;
    svg += "<line x1=\"" + fixed(kRight + 20) + "\" y1=\"" + fixed(row) + "\" x2=\"" +
           fixed(kRight + 44) + "\" y2=\"" + fixed(row) + "\" stroke=\"" + color + "\"/>\n";
    svg += "<text x=\"" + fixed(kRight + 50) + "\" y=\"" + fixed(row + 4) + "\">" + escaped(label) +
           "</text>\n";
  }
  svg += "</svg>\n";
  return svg;
}

bool parsePosition(std::string_view text, int& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= 0;
}

int runPlot(Invocation& call) {
  Options options;
  int status = kExitUsage;
  if (!parseOptions(call, "plot", {{"-o", true}}, 2, 2, options, status)) return status;
  int separation = 0;
  if (!parsePosition(options.operands[1], separation)) {
    return usageError(call.err, "plot", "SEPARATION must be a whole number from 0");
  }
  devseries::DeviceSeries record;
  if (!readDocument(options.operands[0], record, call.err, call.env)) return kExitUnreadable;
  if (separation >= record.aSeparationInfoList.size()) {
    return usageError(
        call.err, "plot",
        "the document has " + std::to_string(record.aSeparationInfoList.size()) + " separations");
  }
  const std::string svg = svgOf(record, separation);
  if (!options.has("-o")) {
    call.out << svg;
    return kExitOk;
  }
  return writeThenRename(call.env.files(), options.value("-o"), svg, call.err);
}

}  // namespace

extern const Command kPlotCommand{
    "plot", "plot FILE SEPARATION [-o OUT.svg]",
    "An SVG picture of the output tables of separation SEPARATION (its position,\n"
    "from 0): each table a line over its 4096 entries, input 0-4095 across,\n"
    "output up; the legend gives each table's position and, where the document\n"
    "names it, its ink (drawn in the ink's colour). The picture goes to OUT.svg,\n"
    "made beside it and renamed over it when complete, else to standard output.\n",
    runPlot};

}  // namespace dsrtool
