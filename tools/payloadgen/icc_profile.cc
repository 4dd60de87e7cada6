#include "tools/payloadgen/icc_profile.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "tools/payloadgen/ink_model.h"
#include "tools/payloadgen/separation.h"

namespace payloadgen {
namespace {

// Offset of the creation date (dateTimeNumber: six big-endian 16-bit values)
// in the 128-byte profile header.
constexpr std::size_t kHeaderDateOffset = 24;

struct ContextDeleter {
  void operator()(cmsContext context) const { cmsDeleteContext(context); }
};
struct ProfileDeleter {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct PipelineDeleter {
  void operator()(cmsPipeline* pipeline) const { cmsPipelineFree(pipeline); }
};
struct MluDeleter {
  void operator()(cmsMLU* mlu) const { cmsMLUfree(mlu); }
};

using ContextPtr = std::unique_ptr<std::remove_pointer_t<cmsContext>, ContextDeleter>;
using ProfilePtr = std::unique_ptr<void, ProfileDeleter>;
using PipelinePtr = std::unique_ptr<cmsPipeline, PipelineDeleter>;
using MluPtr = std::unique_ptr<cmsMLU, MluDeleter>;

// LittleCMS reports errors through a per-context handler; the context's user
// data is the string that collects the first message.
void recordError(cmsContext context, cmsUInt32Number /*code*/, const char* text) {
  auto* message = static_cast<std::string*>(cmsGetContextUserData(context));
  if (message != nullptr && message->empty()) *message = text;
}

[[noreturn]] void fail(const std::string& what, const std::string& message) {
  throw std::runtime_error("LittleCMS: " + what + (message.empty() ? "" : ": " + message));
}

cmsUInt16Number toWord(double amount) {
  return static_cast<cmsUInt16Number>(
      std::lround(std::fmin(std::fmax(amount, 0.0), 1.0) * 65535.0));
}

cmsInt32Number sampleCmykToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
  const auto* model = static_cast<const InkModel*>(cargo);
  const LabColour lab =
      relativeLab(*model, {in[0] / 65535.0, in[1] / 65535.0, in[2] / 65535.0, in[3] / 65535.0});
  const cmsCIELab encoded{lab.L, lab.a, lab.b};
  // Version 2 tables hold Lab in the legacy 16-bit encoding (L* 100 = 0xFF00).
  cmsFloat2LabEncodedV2(out, &encoded);
  return TRUE;
}

// Lab-to-CMYK tables put a shaper before the grid on the L* axis: the legacy
// encoding has L* 100 at 0xFF00, which would fall between the last two grid
// points and leave a trace of ink in paper white. The shaper stretches
// 0..0xFF00 to the whole grid, so L* 100 lies on the last grid point. The
// table has 258 entries so that 0xFF00 is one of them (entry 256).
constexpr int kShaperEntries = 258;

cmsStage* makeLightnessShaper(cmsContext context) {
  cmsUInt16Number lightness[kShaperEntries];
  cmsUInt16Number identity[kShaperEntries];
  for (int i = 0; i < kShaperEntries; ++i) {
    lightness[i] = static_cast<cmsUInt16Number>(std::min(65535L, std::lround(i * 65535.0 / 256.0)));
    identity[i] = static_cast<cmsUInt16Number>(i * 255);
  }
  cmsToneCurve* curves[3] = {
      cmsBuildTabulatedToneCurve16(context, kShaperEntries, lightness),
      cmsBuildTabulatedToneCurve16(context, kShaperEntries, identity),
      cmsBuildTabulatedToneCurve16(context, kShaperEntries, identity),
  };
  cmsStage* stage = nullptr;
  if (curves[0] != nullptr && curves[1] != nullptr && curves[2] != nullptr) {
    stage = cmsStageAllocToneCurves(context, 3, curves);
  }
  for (cmsToneCurve* curve : curves) {
    if (curve != nullptr) cmsFreeToneCurve(curve);
  }
  return stage;
}

cmsInt32Number sampleLabToCmyk(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
  const auto* separator = static_cast<const Separator*>(cargo);
  // Grid coordinates after the shaper: L* 0..100 over the full range, a* and
  // b* in the legacy encoding (0x8000 is 0).
  const LabColour lab{in[0] * 100.0 / 65535.0, in[1] / 256.0 - 128.0, in[2] / 256.0 - 128.0};
  const Cmyk cmyk = separator->separate(lab);
  for (int ink = 0; ink < 4; ++ink) out[ink] = toWord(cmyk[ink]);
  return TRUE;
}

// A pipeline of an optional shaper stage and a grid of gridPoints per input
// axis filled by |sampler|.
PipelinePtr makeTable(cmsContext context, cmsStage* shaper, int gridPoints, int inputs, int outputs,
                      cmsSAMPLER16 sampler, void* cargo) {
  PipelinePtr pipeline(cmsPipelineAlloc(context, inputs, outputs));
  if (!pipeline) {
    if (shaper != nullptr) cmsStageFree(shaper);
    return nullptr;
  }
  if (shaper != nullptr && !cmsPipelineInsertStage(pipeline.get(), cmsAT_END, shaper)) {
    cmsStageFree(shaper);
    return nullptr;
  }
  cmsStage* clut = cmsStageAllocCLut16bit(context, gridPoints, inputs, outputs, nullptr);
  if (clut == nullptr) return nullptr;
  if (!cmsPipelineInsertStage(pipeline.get(), cmsAT_END, clut)) {
    cmsStageFree(clut);
    return nullptr;
  }
  if (!cmsStageSampleCLut16bit(clut, sampler, cargo, 0)) return nullptr;
  return pipeline;
}

bool writeText(cmsContext context, cmsHPROFILE profile, cmsTagSignature tag, const char* text) {
  MluPtr mlu(cmsMLUalloc(context, 1));
  return mlu && cmsMLUsetASCII(mlu.get(), "en", "US", text) && cmsWriteTag(profile, tag, mlu.get());
}

}  // namespace

std::vector<std::uint8_t> buildOutputProfile(const ProfileEntry& entry) {
  std::string message;
  ContextPtr context(cmsCreateContext(nullptr, &message));
  if (!context) fail("cannot create a context", message);
  cmsSetLogErrorHandlerTHR(context.get(), recordError);

  ProfilePtr profile(cmsCreateProfilePlaceholder(context.get()));
  if (!profile) fail("cannot create a profile", message);
  cmsHPROFILE handle = profile.get();
  cmsSetProfileVersion(handle, 2.4);
  cmsSetDeviceClass(handle, cmsSigOutputClass);
  cmsSetColorSpace(handle, cmsSigCmykData);
  cmsSetPCS(handle, cmsSigLabData);
  cmsSetHeaderRenderingIntent(handle, INTENT_PERCEPTUAL);

  if (!writeText(context.get(), handle, cmsSigProfileDescriptionTag, entry.name.c_str()) ||
      !writeText(context.get(), handle, cmsSigCopyrightTag, kProfileCopyright)) {
    fail("cannot write the texts of " + entry.name, message);
  }

  const InkModel model = inkModelFor(entry);
  cmsCIEXYZ white{model.mediaWhite.X, model.mediaWhite.Y, model.mediaWhite.Z};
  if (!cmsWriteTag(handle, cmsSigMediaWhitePointTag, &white)) {
    fail("cannot write the white point of " + entry.name, message);
  }

  InkModel cargoModel = model;
  PipelinePtr aToB =
      makeTable(context.get(), nullptr, kAToBGridPoints, 4, 3, sampleCmykToLab, &cargoModel);
  Separator perceptual(model, Rendering::kPerceptual);
  PipelinePtr bToAPerceptual = makeTable(context.get(), makeLightnessShaper(context.get()),
                                         kBToAGridPoints, 3, 4, sampleLabToCmyk, &perceptual);
  Separator colorimetric(model, Rendering::kColorimetric);
  PipelinePtr bToAColorimetric = makeTable(context.get(), makeLightnessShaper(context.get()),
                                           kBToAGridPoints, 3, 4, sampleLabToCmyk, &colorimetric);
  // The CMYK-to-Lab table is colorimetric and serves every intent; the
  // saturation intent separates as the perceptual one does.
  if (!aToB || !bToAPerceptual || !bToAColorimetric ||
      !cmsWriteTag(handle, cmsSigAToB0Tag, aToB.get()) ||
      !cmsWriteTag(handle, cmsSigBToA0Tag, bToAPerceptual.get()) ||
      !cmsWriteTag(handle, cmsSigBToA1Tag, bToAColorimetric.get()) ||
      !cmsLinkTag(handle, cmsSigAToB1Tag, cmsSigAToB0Tag) ||
      !cmsLinkTag(handle, cmsSigAToB2Tag, cmsSigAToB0Tag) ||
      !cmsLinkTag(handle, cmsSigBToA2Tag, cmsSigBToA0Tag)) {
    fail("cannot write the colour tables of " + entry.name, message);
  }

  cmsUInt32Number size = 0;
  if (!cmsSaveProfileToMem(handle, nullptr, &size) || size < 128) {
    fail("cannot size " + entry.name, message);
  }
  std::vector<std::uint8_t> bytes(size);
  if (!cmsSaveProfileToMem(handle, bytes.data(), &size) || size != bytes.size()) {
    fail("cannot save " + entry.name, message);
  }

  // LittleCMS stamps the current time and has no setter for it; the header
  // layout is fixed by the ICC, and the profile ID is zero (version 2), so
  // overwriting the date keeps the profile valid.
  for (int i = 0; i < 6; ++i) {
    bytes[kHeaderDateOffset + 2 * i] = static_cast<std::uint8_t>(kProfileDate[i] >> 8);
    bytes[kHeaderDateOffset + 2 * i + 1] = static_cast<std::uint8_t>(kProfileDate[i] & 0xFF);
  }
  return bytes;
}

}  // namespace payloadgen
