#pragma once
// A dialog provider that writes the component's own boxes to the console and
// gives the most cautious answer offered; password windows are cancelled
// (the command answers OnPassword itself).
#include <memory>

#include "Console.h"
#include "Dialogs.h"

std::unique_ptr<TDialogProvider> CreateCliDialogs(TConsole& Console);
