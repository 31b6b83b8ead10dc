#pragma once
// The command as a function: arguments (without the program name) in, exit
// status out, everything it says through Console.
#include <vector>

#include "Console.h"
#include "Types.h"

int VunzipMain(const std::vector<String>& Args, TConsole& Console);
