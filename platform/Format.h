#pragma once
// Formatting with the subset of the runtime's format rules the system uses:
// %s (string), %d (integer), an optional width (%5d), and %%.
#include <cstdint>
#include <initializer_list>
#include <variant>

#include "Types.h"

using FormatArg = std::variant<int64_t, String>;

String Format(const String& format, std::initializer_list<FormatArg> args);

String IntToStr(int64_t value);
