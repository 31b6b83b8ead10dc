#include "Dialogs.h"

void TScriptedDialogProvider::ShowMessage(const String& Text, const String& Caption,
                                          TMsgDlgType Type) {
  Shown.push_back({TShown::Message, Text, Caption, Type, mbOK});
}

int TScriptedDialogProvider::MessageDlg(const String& Text, TMsgDlgType Type,
                                        TMsgDlgButtons Buttons) {
  Shown.push_back({TShown::Confirmation, Text, String(), Type, Buttons});
  if (Answers.empty()) return mrCancel;
  const int answer = Answers.front();
  Answers.pop_front();
  return answer;
}

bool TScriptedDialogProvider::PasswordQuery(const String& Caption, const String& Prompt,
                                            String& Password) {
  Shown.push_back({TShown::Password, Prompt, Caption, TMsgDlgType::mtCustom, mbOK | mbCancel});
  if (Passwords.empty()) return false;
  const std::optional<String> answer = Passwords.front();
  Passwords.pop_front();
  if (!answer) return false;
  Password = *answer;
  return true;
}
