// payloadgen OUTDIR: writes every payload blob file into OUTDIR, under the
// names payload/manifest.tsv refers to (relative to payload/blobs):
//
//   ostrand_km.bmp                 device picture
//   ostrand_km*.rmt                media files, one per model
//   passmask.pmp                   pass-mask table (deployed once per model)
//   profiles/*.icc                 the fifty ICC output profiles
//   ostrand_km*.dsr                device-series documents, one per model
//
// The output is the same bytes on every run. Exit status: 0 on success, 1
// when a file cannot be made or written, 2 on a usage error.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/env.h"
#include "tools/payloadgen/device_picture.h"
#include "tools/payloadgen/device_series_docs.h"
#include "tools/payloadgen/icc_profile.h"
#include "tools/payloadgen/media_file.h"
#include "tools/payloadgen/passmask_table.h"
#include "tools/payloadgen/profile_list.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const void* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void writeFile(const fs::path& path, const std::string& text) {
  writeFile(path, text.data(), text.size());
}

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  writeFile(path, bytes.data(), bytes.size());
}

void generate(const fs::path& outDir) {
  fs::create_directories(outDir / "profiles");

  const std::vector<std::uint8_t> picture =
      payloadgen::encodeBmp24(payloadgen::drawDevicePicture());
  writeFile(outDir / "ostrand_km.bmp", picture);

  for (const payloadgen::PrinterModel& model : payloadgen::printerModels()) {
    writeFile(outDir / (model.fileStem + ".rmt"), payloadgen::buildMediaFile(model));
  }
  writeFile(outDir / "passmask.pmp", payloadgen::buildPassmaskTable());

  for (const payloadgen::ProfileEntry& entry : payloadgen::profileEntries()) {
    writeFile(outDir / "profiles" / entry.fileName, payloadgen::buildOutputProfile(entry));
  }

  writeDeviceSeriesDocuments(fs::absolute(outDir).string(), platform::Env::Default());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '\0') {
    std::fprintf(stderr, "usage: payloadgen OUTDIR\n");
    return 2;
  }
  try {
    generate(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "payloadgen: %s\n", error.what());
    return 1;
  }
  return 0;
}
