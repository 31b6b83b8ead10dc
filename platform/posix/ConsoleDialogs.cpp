// Dialogs on the terminal. Without one, nothing is asked: message boxes take
// the most cautious button offered and password prompts cancel.
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "TextCodec.h"

namespace {

struct TButton {
  TMsgDlgBtn Button;
  int Result;
  const char* Label;
};

// In the order a message box shows them.
constexpr TButton Buttons[] = {
    {mbYes, mrYes, "Yes"},          {mbNo, mrNo, "No"},
    {mbOK, mrOk, "OK"},             {mbCancel, mrCancel, "Cancel"},
    {mbAbort, mrAbort, "Abort"},    {mbRetry, mrRetry, "Retry"},
    {mbIgnore, mrIgnore, "Ignore"}, {mbAll, mrAll, "All"},
    {mbNoToAll, mrNoToAll, "No to All"}, {mbYesToAll, mrYesToAll, "Yes to All"},
};

const char* TypeCaption(TMsgDlgType Type) {
  switch (Type) {
    case TMsgDlgType::mtWarning: return "Warning";
    case TMsgDlgType::mtError: return "Error";
    case TMsgDlgType::mtInformation: return "Information";
    case TMsgDlgType::mtConfirmation: return "Confirm";
    case TMsgDlgType::mtCustom: break;
  }
  return "";
}

int DefaultResult(TMsgDlgButtons Offered) {
  if (Offered & mbCancel) return mrCancel;
  if (Offered & mbNo) return mrNo;
  if (Offered & mbAbort) return mrAbort;
  return mrOk;
}

bool SameLabel(const std::string& a, const char* b) {
  std::string folded;
  for (char c : a) folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  std::string label;
  for (const char* p = b; *p; ++p) label += static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p + 32 : *p);
  return folded == label;
}

bool ReadLine(std::string& line) {
  line.clear();
  return static_cast<bool>(std::getline(std::cin, line));
}

class TConsoleDialogProvider : public TDialogProvider {
 public:
  void ShowMessage(const String& Text, const String& Caption, TMsgDlgType Type) override {
    const AnsiString caption = Caption.empty() ? TypeCaption(Type) : StringToUtf8(Caption);
    std::fprintf(stderr, "%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ",
                 StringToUtf8(Text).c_str());
  }

  int MessageDlg(const String& Text, TMsgDlgType Type, TMsgDlgButtons Offered) override {
    if (!Interactive()) return DefaultResult(Offered);
    std::vector<const TButton*> choices;
    for (const TButton& b : Buttons)
      if (Offered & b.Button) choices.push_back(&b);
    if (choices.empty()) choices.push_back(&Buttons[2]);  // a box always has OK

    const char* caption = TypeCaption(Type);
    std::fprintf(stderr, "%s%s%s\n", caption, *caption ? ": " : "", StringToUtf8(Text).c_str());
    for (;;) {
      for (size_t i = 0; i < choices.size(); ++i)
        std::fprintf(stderr, "%s%zu) %s", i ? "  " : "", i + 1, choices[i]->Label);
      std::fputs("\n> ", stderr);
      std::fflush(stderr);
      std::string line;
      if (!ReadLine(line)) return DefaultResult(Offered);
      for (size_t i = 0; i < choices.size(); ++i)
        if (line == std::to_string(i + 1) || SameLabel(line, choices[i]->Label))
          return choices[i]->Result;
    }
  }

  bool PasswordQuery(const String& Caption, const String& Prompt, String& Password) override {
    if (!Interactive()) return false;
    if (!Caption.empty()) std::fprintf(stderr, "%s\n", StringToUtf8(Caption).c_str());
    std::fprintf(stderr, "%s ", StringToUtf8(Prompt).c_str());
    std::fflush(stderr);

    termios saved{};
    const bool masked = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (masked) {
      termios quiet = saved;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool entered = ReadLine(line);
    if (masked) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputc('\n', stderr);
    if (!entered) return false;
    Password = Utf8ToString(line);
    return true;
  }

 private:
  static bool Interactive() { return isatty(STDIN_FILENO) == 1; }
};

}  // namespace

std::unique_ptr<TDialogProvider> CreatePlatformDialogProvider() {
  return std::make_unique<TConsoleDialogProvider>();
}
