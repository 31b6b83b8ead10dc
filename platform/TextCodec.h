#pragma once
// Conversions between byte strings in the system's code pages and UTF-16.
// Windows uses the system's ANSI and OEM code pages; POSIX uses Windows-1252
// as ANSI and CP437 as OEM (unmappable characters become "?").
#include "Types.h"

String Utf8ToString(const AnsiString& bytes);
AnsiString StringToUtf8(const String& text);

String AnsiToString(const AnsiString& bytes);
AnsiString StringToAnsi(const String& text);

String OemToString(const AnsiString& bytes);
// OEM bytes to ANSI bytes, as the system's OEM-to-ANSI conversion does.
AnsiString OemToAnsi(const AnsiString& bytes);

// Strict UTF-8 check: well-formed, shortest form, no surrogates, at most U+10FFFF.
bool IsValidUtf8(const AnsiString& bytes);
