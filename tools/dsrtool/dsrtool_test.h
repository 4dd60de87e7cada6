// The fixture the dsrtool tests share: the tool run in a scratch folder
// that holds copies of the payload documents.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "devseries/device_series_io.h"
#include "testsupport/fault_file_system.h"
#include "testsupport/hosts/app_host.h"
#include "testsupport/payload.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"
#include "tools/dsrtool/dsrtool.h"

namespace dsrtool {

namespace fs = std::filesystem;

// "LINE:COLUMN" (from 1) of the first |needle| in |text|.
inline std::string placeOf(const std::string& text, const std::string& needle) {
  const std::size_t at = text.find(needle);
  const std::size_t lineStart = text.rfind('\n', at) + 1;  // npos + 1 is 0
  const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<long>(at), '\n');
  return std::to_string(line) + ":" + std::to_string(at - lineStart + 1);
}

// The tool run against a fresh temporary folder that holds copies of the
// payload documents; every file call goes through a recording wrapper.
class DsrToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : testsupport::kPayloadNames) {
      fs::copy_file(testsupport::payloadDir() / "blobs" / name, path(name));
    }
    env_ = std::make_unique<testsupport::TestEnv>(scratch_.path());
    // The payload documents as the installer carries them, under their
    // target names.
    testsupport::addPayloadStrings(env_->fakeResources());
    for (int blob = 0; blob < 4; ++blob) {
      env_->fakeResources().addBlob(kFirstDocumentBlob + blob,
                                    testsupport::payloadText(testsupport::kPayloadNames[blob]));
    }
    files_ = std::make_unique<testsupport::FaultFileSystem>(env_->files());
    env_->useFiles(*files_);
  }

  void TearDown() override {
    env_.reset();
    files_.reset();
  }

  std::string path(const std::string& name) const { return scratch_ / name; }

  int run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return dsrtool::run(args, out_, err_, *env_);
  }

  devseries::DeviceSeries read(const std::string& name) {
    devseries::DeviceSeriesIO2 io(path(name), *env_);
    devseries::DeviceSeries record;
    EXPECT_TRUE(io.read(record)) << io.lastError();
    return record;
  }

  // Writes |name|: the payload's ostrand_km.dsr as a user keeps it, with a
  // media of the user's own ("My Vinyl", appended) and the third preset
  // hidden, saved in format 3.3.0.0.
  void writeUserDocument(const std::string& name) {
    devseries::DeviceSeries installed = read("ostrand_km.dsr");
    devseries::MediaInfo own = installed.aMediaInfoList[0];
    own.strMediaName.fill("My Vinyl");
    own.nDryTime = 77;
    installed.aMediaInfoList.add(own);
    installed.aMediaInfoList[2].bVisibleMedia = false;
    devseries::DeviceSeriesIO2 io(path(name), *env_);
    ASSERT_TRUE(io.write(installed)) << io.lastError();
  }

  // Writes |name| with the text of payload document |payloadName| in which
  // |from| (which must occur) is replaced by |to| once; returns the text.
  std::string writeEdited(const std::string& name, const std::string& payloadName,
                          const std::string& from, const std::string& to) {
    std::string text = testsupport::payloadText(payloadName);
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    scratch_.write(name, text);
    return text;
  }

  std::set<std::string> folderContent() const {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch_.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  // The blob of the first payload document; its target name is the string
  // 100 above.
  static constexpr int kFirstDocumentBlob = 130;

  testsupport::ScratchDir scratch_;
  std::unique_ptr<testsupport::TestEnv> env_;
  std::unique_ptr<testsupport::FaultFileSystem> files_;
  std::ostringstream out_;
  std::ostringstream err_;
};

}  // namespace dsrtool
