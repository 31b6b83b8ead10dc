// vunzip's entry point: the arguments as UTF-16 (wmain on Windows, UTF-8
// argv elsewhere), the process's own console.
#include <vector>

#include "Console.h"
#include "TextCodec.h"
#include "Vunzip.h"

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<String> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
#else
int main(int argc, char** argv) {
  std::vector<String> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToString(argv[i]));
#endif
  TSystemConsole console;
  return VunzipMain(args, console);
}
