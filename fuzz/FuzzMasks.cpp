// Masks against names: the engine's own wildcard matcher and mask rules.
// The input is split at its first zero code unit into a name and a mask.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ZAMasks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  String text(Size / 2, u'\0');
  if (!text.empty()) std::memcpy(text.data(), Data, text.size() * 2);
  const size_t split = text.find(u'\0');
  const String name = text.substr(0, split);
  const String mask = split == String::npos ? String() : text.substr(split + 1);
  const bool exact = WildcardMatch(name, mask, false);
  const bool folded = WildcardMatch(name, mask, true);
  // Folding case can only widen what matches.
  if (exact && !folded) __builtin_trap();
  IsMaskMatch(name, mask);
  return 0;
}
