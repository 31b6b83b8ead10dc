#include "CliDialogs.h"

#include "TextCodec.h"

namespace {

class TCliDialogs : public TDialogProvider {
 public:
  explicit TCliDialogs(TConsole& Console) : FCon(Console) {}

  void ShowMessage(const String& Text, const String&, TMsgDlgType) override {
    FCon.Err("vunzip: " + StringToUtf8(Text) + "\n");
  }

  int MessageDlg(const String& Text, TMsgDlgType, TMsgDlgButtons Buttons) override {
    FCon.Err("vunzip: " + StringToUtf8(Text) + "\n");
    if (Buttons & mbCancel) return mrCancel;
    if (Buttons & mbNo) return mrNo;
    if (Buttons & mbAbort) return mrAbort;
    return mrOk;
  }

  bool PasswordQuery(const String&, const String&, String&) override { return false; }

 private:
  TConsole& FCon;
};

}  // namespace

std::unique_ptr<TDialogProvider> CreateCliDialogs(TConsole& Console) {
  return std::make_unique<TCliDialogs>(Console);
}
