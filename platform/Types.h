#pragma once
// The two string kinds the system works with: text is UTF-16, stored names,
// comments and passwords are byte strings.
#include <cstdint>
#include <string>

using String = std::u16string;
using AnsiString = std::string;

// Path delimiters of the running platform: names handed to events and
// destination paths use these.
#ifdef _WIN32
inline constexpr char16_t PathDelim = u'\\';
inline constexpr char16_t DriveDelim = u':';
#else
inline constexpr char16_t PathDelim = u'/';
inline constexpr char16_t DriveDelim = u'\0';  // no drives
#endif
