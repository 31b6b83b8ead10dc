#pragma once
// Where an extracted item may go: names from an archive that would leave the
// destination folder, and names that are complete paths of their own.
#include "Types.h"

// Absolute or rooted names, drive letters and other colons (Windows), and
// ".." components: such a stored name would land outside the base folder.
bool NameEscapesBase(const String& Name);
// A name taken as a complete path, ignoring the base folder: with a colon or
// a double backslash on Windows, starting at the root on POSIX.
bool IsCompletePath(const String& Name);
// A name for a new file in the folder of Dest that no file or folder has yet.
String TemporaryNameBeside(const String& Dest);
