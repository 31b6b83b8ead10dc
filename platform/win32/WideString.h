#pragma once
// Our text is UTF-16 and wchar_t is 16 bits on Windows, so the W APIs take
// it as it stands.
#include <windows.h>

#include "Types.h"

inline const wchar_t* W(const String& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

inline String FromW(const wchar_t* s, size_t length) {
  return String(reinterpret_cast<const char16_t*>(s), length);
}

inline String FromW(const wchar_t* s) { return FromW(s, wcslen(s)); }
