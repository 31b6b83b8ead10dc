#include "Vunzip.h"

#include <memory>

#include "CliDialogs.h"
#include "Dialogs.h"
#include "Options.h"
#include "Session.h"
#include "TextCodec.h"

#ifndef VUNZIP_VERSION
#define VUNZIP_VERSION "0"
#endif

namespace {

// Every prompt the component would show on its own (volume requests, a full
// disk) goes to the console for as long as the command runs: a console
// program must not open windows.
class TDialogScope {
 public:
  explicit TDialogScope(TConsole& Console) : FPrevious(SetDialogProvider(CreateCliDialogs(Console))) {}
  ~TDialogScope() { SetDialogProvider(std::move(FPrevious)); }

 private:
  std::unique_ptr<TDialogProvider> FPrevious;
};

}  // namespace

int VunzipMain(const std::vector<String>& Args, TConsole& Console) {
  TVunzipOptions options;
  std::string error;
  if (!ParseArguments(Args, options, error)) {
    Console.Err("vunzip: " + error + "\n(vunzip -h lists the options)\n");
    return exBadOptions;
  }
  if (options.Mode == TVunzipMode::Help) {
    Console.Out(UsageText());
    return exOk;
  }
  if (options.Mode == TVunzipMode::Version) {
    TVunzipArchiver arc(nullptr);
    Console.Out(std::string("vunzip ") + VUNZIP_VERSION + ", ZIP engine " + StringToUtf8(arc.CurrentVersion()) + "\n");
    return exOk;
  }

  TDialogScope dialogs(Console);
  TSession session(options, Console);
  if (const int status = session.Open(); status != exOk) return status;
  session.Select();
  switch (options.Mode) {
    case TVunzipMode::List:
    case TVunzipMode::Verbose: return session.List();
    case TVunzipMode::Names: return session.ListNames();
    case TVunzipMode::Comment: return session.ShowComment();
    case TVunzipMode::Test: return session.Test();
    default: return session.Extract();
  }
}
