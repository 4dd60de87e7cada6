#include "tools/payloadgen/passmask_table.h"

#include <cstdint>
#include <utility>

#include "tools/payloadgen/xml_output.h"

namespace payloadgen {
namespace {

constexpr int kPassCounts[] = {2, 3, 4, 6, 8};

enum class Variant { kUni, kBi, kBiFeather, kBiWeave, kUniWeave };
constexpr Variant kVariants[] = {Variant::kUni, Variant::kBi, Variant::kBiFeather,
                                 Variant::kBiWeave, Variant::kUniWeave};

const char* variantName(Variant variant) {
  switch (variant) {
    case Variant::kUni:
      return "Uni";
    case Variant::kBi:
      return "Bi";
    case Variant::kBiFeather:
      return "Bi Feather";
    case Variant::kBiWeave:
      return "Bi Weave";
    case Variant::kUniWeave:
      return "Uni Weave";
  }
  return "";
}

// A fixed linear congruential generator: the standard library's
// distributions differ between implementations, this does not.
class Lcg {
 public:
  explicit Lcg(std::uint32_t seed) : state_(seed) {}
  std::uint32_t below(std::uint32_t bound) {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_ >> 8) * bound) >> 24);
  }

 private:
  std::uint32_t state_;
};

// Diagonal rows: each row starts one pass (two from three passes on) further
// than the row above, so cells that touch side by side or one above the
// other never share a pass.
std::vector<std::string> diagonalRows(int passCount) {
  const int rowShift = passCount == 2 ? 1 : 2;
  std::vector<std::string> rows;
  for (int y = 0; y < kMaskHeight; ++y) {
    std::string row;
    for (int x = 0; x < kMaskWidth; ++x) {
      row.push_back(static_cast<char>('1' + (x + rowShift * y) % passCount));
    }
    rows.push_back(row);
  }
  return rows;
}

// Weave rows: each diagonal row shuffled, which breaks up the regular
// pattern (less banding) while every pass keeps its share of each row.
std::vector<std::string> weaveRows(int passCount, int index) {
  std::vector<std::string> rows = diagonalRows(passCount);
  Lcg random(0x4F4B4D00u + static_cast<std::uint32_t>(index));
  for (std::string& row : rows) {
    for (int i = kMaskWidth - 1; i > 0; --i) {
      std::swap(row[i], row[random.below(static_cast<std::uint32_t>(i + 1))]);
    }
  }
  return rows;
}

}  // namespace

std::vector<Passmask> passmasks() {
  std::vector<Passmask> masks;
  int index = kFirstPassmaskIndex;
  for (int passCount : kPassCounts) {
    for (Variant variant : kVariants) {
      Passmask mask;
      mask.index = index;
      mask.name = std::to_string(passCount) + " Pass " + variantName(variant);
      mask.passCount = passCount;
      mask.bidirectional = variant != Variant::kUni && variant != Variant::kUniWeave;
      mask.featherWidth = variant == Variant::kBiFeather ? 32 : 0;
      const bool weave = variant == Variant::kBiWeave || variant == Variant::kUniWeave;
      mask.rows = weave ? weaveRows(passCount, index) : diagonalRows(passCount);
      masks.push_back(std::move(mask));
      ++index;
    }
  }
  return masks;
}

std::string buildPassmaskTable() {
  pugi::xml_document document;
  startDocument(document);
  pugi::xml_node root = document.append_child("aPassmaskList");
  for (const Passmask& mask : passmasks()) {
    pugi::xml_node node = root.append_child("Passmask");
    appendInt(node, "nPassmaskIndex", mask.index);
    appendText(node, "strPassmaskName", mask.name);
    appendInt(node, "nPassCount", mask.passCount);
    appendBool(node, "bBidirectional", mask.bidirectional);
    // The paper advances by the nozzles one pass covers.
    appendInt(node, "nFeedNozzles", kHeadNozzles / mask.passCount);
    appendInt(node, "nFeatherWidth", mask.featherWidth);
    appendInt(node, "nMaskWidth", kMaskWidth);
    appendInt(node, "nMaskHeight", kMaskHeight);
    std::string pattern;
    for (const std::string& row : mask.rows) {
      if (!pattern.empty()) pattern.push_back('/');
      pattern += row;
    }
    appendText(node, "strMaskPattern", pattern);
  }
  return saveDocument(document);
}

}  // namespace payloadgen
