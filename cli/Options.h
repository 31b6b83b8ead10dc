#pragma once
// The command line: unzip's conventions. Options may be bundled (-qo), may
// come before or after the archive, and -d and -P take the rest of their
// bundle or the next argument. After -x, operands are exclusion masks until
// the next option.
#include <optional>
#include <string>
#include <vector>

#include "Types.h"

enum class TVunzipMode { Extract, List, Verbose, Names, Comment, Test, Help, Version };
enum class TOverwritePolicy { Ask, Always, Never, IfNewer };

struct TVunzipOptions {
  TVunzipMode Mode = TVunzipMode::Extract;
  String Archive;
  std::vector<String> Masks;
  std::vector<String> Exclusions;
  String Dir;  // empty: the current folder
  TOverwritePolicy Overwrite = TOverwritePolicy::Ask;
  bool NoPaths = false;
  std::optional<String> Password;
  bool Quiet = false;
};

// Parses Args (without the program name). On a bad command line returns
// false with Error set to a one-line reason.
bool ParseArguments(const std::vector<String>& Args, TVunzipOptions& Options, std::string& Error);

// The text of -h.
std::string UsageText();
