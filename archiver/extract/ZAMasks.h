#pragma once
// The engine's own wildcard matcher and the attribute filter of searches.
#include <cstdint>

#include "Types.h"

// "*" and "?" are the only special characters; a pattern "*.*" matches any
// name, also after a "*". Case folds for A to Z only.
bool WildcardMatch(const String& Name, const String& Pattern, bool IgnoreCase);
// One name against one mask: "*.*" counts as "*", and a mask ending in "."
// selects names without an extension. An empty mask matches nothing.
bool IsMaskMatch(const String& Name, const String& Mask);
// An item is rejected when it has the hidden, system, volume-label or folder
// bit and the search value lacks it.
bool IsAttrAccepted(uint32_t Attributes, int32_t SearchValue);
