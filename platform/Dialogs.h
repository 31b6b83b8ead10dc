#pragma once
// Message boxes and prompts behind a replaceable provider: real dialogs on
// Windows, terminal prompts on POSIX, and a scripted provider for tests.
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "Types.h"

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : uint32_t {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
  mbAll = 1u << 7,
  mbNoToAll = 1u << 8,
  mbYesToAll = 1u << 9,
};
using TMsgDlgButtons = uint32_t;

enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
  mrNoToAll = 9,
  mrYesToAll = 10,
};

class TDialogProvider {
 public:
  virtual ~TDialogProvider();
  // A box with the text and an OK button.
  virtual void ShowMessage(const String& Text, const String& Caption, TMsgDlgType Type) = 0;
  // A modal confirmation box with the given standard buttons; returns the
  // modal result of the button chosen (mrCancel when it was closed).
  virtual int MessageDlg(const String& Text, TMsgDlgType Type, TMsgDlgButtons Buttons) = 0;
  // Asks for a password with a masked entry; false when cancelled.
  virtual bool PasswordQuery(const String& Caption, const String& Prompt, String& Password) = 0;
};

// The provider in use: by default the platform's own.
TDialogProvider& Dialogs();
// Installs Provider (nullptr: the platform's own) and returns the previous one.
std::unique_ptr<TDialogProvider> SetDialogProvider(std::unique_ptr<TDialogProvider> Provider);
// The platform's own provider: Windows dialogs, or terminal prompts.
std::unique_ptr<TDialogProvider> CreatePlatformDialogProvider();

// Answers from a script and records every prompt shown. With the script
// exhausted, message boxes answer mrCancel and password prompts cancel.
class TScriptedDialogProvider : public TDialogProvider {
 public:
  struct TShown {
    enum Kind { Message, Confirmation, Password } kind;
    String Text;      // the text, or the prompt of a password query
    String Caption;   // message and password captions
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
  };

  void ShowMessage(const String& Text, const String& Caption, TMsgDlgType Type) override;
  int MessageDlg(const String& Text, TMsgDlgType Type, TMsgDlgButtons Buttons) override;
  bool PasswordQuery(const String& Caption, const String& Prompt, String& Password) override;

  std::deque<int> Answers;               // modal results for MessageDlg, in order
  std::deque<std::optional<String>> Passwords;  // nullopt cancels the prompt
  std::vector<TShown> Shown;
};
