#pragma once
// Password acquisition: the engine's own password window, which the
// archiver's DoPassword opens when the host assigned no OnPassword handler.
#include "Types.h"

// Shown modally; on OK Value receives the text typed and the result is true,
// otherwise Value is unchanged.
bool PasswordQuery(const String& Caption, const String& Prompt, String& Value);
