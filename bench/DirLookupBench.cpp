// Lookups by name in directories of 1,000 and 200,000 items: with the name
// index each costs one hash probe, so the two rates should be close.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "ZADirArray.h"

namespace {

String ItemName(int i) {
  const std::string s = "Folder" + std::to_string(i % 97) + "/Document-" + std::to_string(i) + ".TXT";
  return String(s.begin(), s.end());
}

double LookupsPerSecond(int items, int lookups) {
  TZADirArray dir;
  dir.SetCount(items);
  for (int i = 0; i < items; ++i) dir.SetItemName(i, ItemName(i));

  // Queries in other case, in random order, prepared before timing.
  std::mt19937 random(12345);
  std::vector<String> queries;
  queries.reserve(lookups);
  for (int q = 0; q < lookups; ++q) {
    String name = ItemName(static_cast<int>(random() % items));
    for (auto& c : name)
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    queries.push_back(std::move(name));
  }

  int32_t no = -1, found = 0;
  dir.FileExists(queries[0], no);  // builds the index
  const auto start = std::chrono::steady_clock::now();
  for (const String& query : queries) found += dir.FileExists(query, no);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (found != lookups) std::fprintf(stderr, "lookups missed: %d of %d\n", lookups - found, lookups);
  return lookups / elapsed.count();
}

}  // namespace

int main() {
  constexpr int kLookups = 1000000;
  const double small = LookupsPerSecond(1000, kLookups);
  const double large = LookupsPerSecond(200000, kLookups);
  std::printf("lookups/s with   1,000 items: %12.0f\n", small);
  std::printf("lookups/s with 200,000 items: %12.0f\n", large);
  std::printf("ratio: %.2f\n", small / large);
  return 0;
}
