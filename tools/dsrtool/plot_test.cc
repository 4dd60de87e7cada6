#include <string>
#include <vector>

#include "tools/dsrtool/dsrtool_test.h"
#include "xml/dom.h"

namespace dsrtool {
namespace {

using PlotCommandTest = DsrToolTest;

// The elements named |name| anywhere below |node|.
int countElements(const xml::Node& node, std::string_view name) {
  int count = 0;
  xml::NodeList children = node.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    if (child.nodeType() != xml::NodeType::kElement) continue;
    count += (child.nodeName() == name ? 1 : 0) + countElements(child, name);
  }
  return count;
}

TEST_F(PlotCommandTest, DrawsEveryTableOfTheSeparationTheSameWayEachRun) {
  // A ramp in table 2 of separation 1, so one line is no flat zero.
  devseries::DeviceSeries record = read("ostrand_km.dsr");
  devseries::SeparationTable& ramp = record.aSeparationInfoList[1].aSeparationTableList[2];
  ramp.eType = 1;
  for (int i = 0; i < 4096; ++i)
    ramp.usOutputTable[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
  devseries::DeviceSeriesIO2 writer(path("ramp.dsr"), *env_);
  ASSERT_TRUE(writer.write(record));
  const int tables = record.aSeparationInfoList[1].aSeparationTableList.size();

  ASSERT_EQ(run({"plot", path("ramp.dsr"), "1"}), kExitOk) << err_.str();
  const std::string svg = out_.str();
  ASSERT_EQ(run({"plot", path("ramp.dsr"), "1"}), kExitOk);
  EXPECT_EQ(out_.str(), svg);

  xml::Document document = xml::Document::create();
  ASSERT_TRUE(document.loadXML(svg)) << document.loadError().reason;
  EXPECT_EQ(countElements(document.asNode(), "svg"), 1);
  EXPECT_EQ(countElements(document.asNode(), "polyline"), tables);
  // Axes labelled; a legend entry per table, with its ink's name.
  for (const std::string& label :
       std::vector<std::string>{">input (0-4095)<", ">output<", ">4095<",
                                ">table 0: ", ">table " + std::to_string(tables - 1) + ": "}) {
    EXPECT_NE(svg.find(label), std::string::npos) << label;
  }
  // The ramp runs from the bottom left corner of the plot to its top right.
  EXPECT_NE(svg.find("points=\"70.00,500.00 "), std::string::npos);
  EXPECT_NE(svg.find(" 600.00,30.00\"/>"), std::string::npos);
}

TEST_F(PlotCommandTest, WritesOutThroughATemporaryFileAndChecksItsArguments) {
  scratch_.write("old.svg", "the user's picture");
  ASSERT_EQ(run({"plot", path("ostrand_km.dsr"), "0", "-o", path("old.svg")}), kExitOk)
      << err_.str();
  EXPECT_EQ(out_.str(), "");
  run({"plot", path("ostrand_km.dsr"), "0"});
  EXPECT_EQ(testsupport::ScratchDir::read(path("old.svg")), out_.str());
  EXPECT_FALSE(testsupport::ScratchDir::exists(path("old.svg.tmp")));

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"plot", path("ostrand_km.dsr"), "8"},
           {"plot", path("ostrand_km.dsr"), "x"},
           {"plot", path("ostrand_km.dsr"), "0", "-o"},
       }) {
    EXPECT_EQ(run(args), kExitUsage) << args.back();
  }
}

}  // namespace
}  // namespace dsrtool
