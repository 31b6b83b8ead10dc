// A host that extracts an archive with no password and no OnPassword
// handler, so that the engine opens its own password window. Each query is
// reported on stdout as it ends ("query CAPTION -> ok|cancel"), then each
// failed item ("failure NAME CODE"), then "done".
//
//   PasswordPromptHost ARCHIVE OUTPUT-FOLDER
#include <cstdio>

#include "Dialogs.h"
#include "TextCodec.h"
#include "ZipArchiver.h"

namespace {

class TReportingDialogs : public TDialogProvider {
 public:
  explicit TReportingDialogs(std::unique_ptr<TDialogProvider> Real) : FReal(std::move(Real)) {}
  void ShowMessage(const String& Text, const String& Caption, TMsgDlgType Type) override {
    FReal->ShowMessage(Text, Caption, Type);
  }
  int MessageDlg(const String& Text, TMsgDlgType Type, TMsgDlgButtons Buttons) override {
    return FReal->MessageDlg(Text, Type, Buttons);
  }
  bool PasswordQuery(const String& Caption, const String& Prompt, String& Password) override {
    const bool Accepted = FReal->PasswordQuery(Caption, Prompt, Password);
    std::printf("query %s -> %s\n", StringToUtf8(Caption).c_str(), Accepted ? "ok" : "cancel");
    std::fflush(stdout);
    return Accepted;
  }

 private:
  std::unique_ptr<TDialogProvider> FReal;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: PasswordPromptHost ARCHIVE OUTPUT-FOLDER\n");
    return 2;
  }
  SetDialogProvider(std::make_unique<TReportingDialogs>(CreatePlatformDialogProvider()));
  try {
    TZipArchiver Arc(nullptr);
    Arc.SetFileName(String(reinterpret_cast<const char16_t*>(argv[1])));
    Arc.OpenArchive(64);
    Arc.SetBaseDir(String(reinterpret_cast<const char16_t*>(argv[2])));
    Arc.OnProcessFileFailure = [](TZABaseArchiver*, const String& Name, TZAProcessOperation, int Native, int,
                                  const String&, TZAAction& Action) {
      std::printf("failure %s %d\n", StringToUtf8(Name).c_str(), Native);
      Action = fxaIgnore;
    };
    Arc.ExtractFiles(u"*.*", 10431, u"");
    Arc.CloseArchive();
  } catch (const Exception& E) {
    std::printf("exception %s\n", StringToUtf8(E.Message()).c_str());
    return 1;
  }
  std::printf("done\n");
  return 0;
}
