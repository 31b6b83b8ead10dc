#include "ZAExtractPaths.h"

#include <cstdint>
#include <random>

#include "Format.h"
#include "ZAStrFunc.h"

namespace {

bool IsNameSeparator(char16_t c) {
#ifdef _WIN32
  return c == u'\\' || c == u'/';
#else
  return c == u'/';
#endif
}

// "..", and on Windows any run of dots and spaces with two dots or more,
// which the system may resolve as "..".
bool IsParentComponent(const String& Part) {
  if (Part == u"..") return true;
#ifdef _WIN32
  int dots = 0;
  for (char16_t c : Part) {
    if (c == u'.')
      ++dots;
    else if (c != u' ')
      return false;
  }
  return dots >= 2;
#else
  return false;
#endif
}

}  // namespace

bool NameEscapesBase(const String& Name) {
  if (Name.empty()) return false;
  if (IsNameSeparator(Name[0])) return true;
#ifdef _WIN32
  if (Name.find(u':') != String::npos) return true;
#endif
  size_t start = 0;
  for (size_t i = 0; i <= Name.size(); ++i) {
    if (i < Name.size() && !IsNameSeparator(Name[i])) continue;
    if (IsParentComponent(Name.substr(start, i - start))) return true;
    start = i + 1;
  }
  return false;
}

bool IsCompletePath(const String& Name) {
#ifdef _WIN32
  return Name.find(u':') != String::npos || Name.find(u"\\\\") != String::npos;
#else
  return !Name.empty() && Name[0] == u'/';
#endif
}

String TemporaryNameBeside(const String& Dest) {
  // Random start: another process extracting into the same folder picks
  // other names. Short, so that a long destination name still fits.
  static uint32_t counter = std::random_device()();
  const String folder = FolderPart(Dest);
  for (;;) {
    const String name = folder + u"~za" + Format(u"%d", {static_cast<int64_t>(counter++ % 100000000)}) + u".tmp";
    if (!FileIsPresent(name) && !FolderIsPresent(name)) return name;
  }
}
