// The pass-mask table (.pmp) of the payload, root element aPassmaskList.
//
// A pass mask says in which pass of a multi-pass print each cell of a small
// tile is printed. The table holds one mask per nPassmaskIndex from 11 to 35:
// five pass counts (2, 3, 4, 6, 8), each in five variants (unidirectional,
// bidirectional, bidirectional with feathered band edges, bidirectional
// weave, unidirectional weave). The pattern is text: one digit (the pass,
// 1-based) per cell, the rows separated by "/". Every pass prints the same
// number of cells in every row, so each pass lays down an equal share of ink.
#pragma once

#include <string>
#include <vector>

namespace payloadgen {

inline constexpr int kFirstPassmaskIndex = 11;
inline constexpr int kLastPassmaskIndex = 35;
inline constexpr int kMaskWidth = 24;  // a multiple of every pass count
inline constexpr int kMaskHeight = 8;
inline constexpr int kHeadNozzles = 1280;

struct Passmask {
  int index = 0;
  std::string name;  // "4 Pass Bi Feather"
  int passCount = 0;
  bool bidirectional = false;
  int featherWidth = 0;           // nozzles faded in and out at each band edge
  std::vector<std::string> rows;  // kMaskHeight rows of kMaskWidth digits
};

// The masks of indices 11 to 35 in index order.
std::vector<Passmask> passmasks();

// The table file in the system's XML byte form. Deterministic.
std::string buildPassmaskTable();

}  // namespace payloadgen
