#include "dxf/passed_over.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

void AddPassedOver(CPassedOver& into, const CPassedOver& from) {
  for (const auto& [kind, count] : from) into[kind] += count;
}

std::string FormatPassedOver(const CPassedOver& counts) {
  // The map is in name order already; a stable sort by count keeps it
  // within each count.
  std::vector<std::pair<std::string, int>> sorted(counts.begin(), counts.end());
  std::stable_sort(
      sorted.begin(), sorted.end(),
      [](const auto& a, const auto& b) { return a.second > b.second; });
  std::string text;
  for (const auto& [kind, count] : sorted) {
    if (!text.empty()) text += ", ";
    text += std::to_string(count);
    text += ' ';
    text += kind.empty() ? "(unnamed)" : kind;
  }
  return text;
}

bool HasConvertiblePolylines(const CPassedOver& counts) {
  return counts.contains("LWPOLYLINE") || counts.contains("POLYLINE");
}
