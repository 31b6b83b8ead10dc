// The Windows dialogs, opened for real and answered from a second thread the
// way a person would: a click on a button, text typed into the edit, Esc.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "Dialogs.h"

namespace {

std::u16string TextOf(HWND Window) {
  wchar_t Buffer[1024];
  const int Length = GetWindowTextW(Window, Buffer, 1024);
  return std::u16string(reinterpret_cast<const char16_t*>(Buffer), Length);
}

struct TChildSearch {
  const wchar_t* ClassName;
  const std::u16string& Text;
  HWND Found;
};

// A named CALLBACK: on i686 a lambda does not convert to a stdcall pointer.
BOOL CALLBACK MatchChild(HWND Child, LPARAM Data) {
  auto& Search = *reinterpret_cast<TChildSearch*>(Data);
  wchar_t Class[64];
  GetClassNameW(Child, Class, 64);
  if (lstrcmpiW(Class, Search.ClassName) != 0 || (!Search.Text.empty() && TextOf(Child) != Search.Text))
    return TRUE;
  Search.Found = Child;
  return FALSE;
}

// The child of Dialog with that class and, unless empty, that text.
HWND FindChild(HWND Dialog, const wchar_t* ClassName, const std::u16string& Text = {}) {
  TChildSearch Search{ClassName, Text, nullptr};
  EnumChildWindows(Dialog, MatchChild, reinterpret_cast<LPARAM>(&Search));
  return Search.Found;
}

// Esc as the keyboard sends it, to the control that has the focus.
void PressEscape(HWND Dialog) {
  GUITHREADINFO Info{};
  Info.cbSize = sizeof(Info);
  HWND Target = Dialog;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(Dialog, nullptr), &Info) && Info.hwndFocus) Target = Info.hwndFocus;
  PostMessageW(Target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageW(Target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

void Click(HWND Button) { SendMessageW(Button, BM_CLICK, 0, 0); }

// Waits on a second thread for the dialog with Caption to show, then hands it
// to Answer. Answer returns false when it could not act; the dialog is then
// closed so that the test fails instead of hanging.
class TAnswerer {
 public:
  TAnswerer(std::u16string Caption, std::function<bool(HWND)> Answer)
      : FThread([this, Caption = std::move(Caption), Answer = std::move(Answer)] {
          const HWND Dialog = WaitForDialog(Caption);
          Shown = Dialog != nullptr;
          if (Dialog && !Answer(Dialog)) PostMessageW(Dialog, WM_CLOSE, 0, 0);
        }) {}
  ~TAnswerer() { Join(); }
  void Join() {
    if (FThread.joinable()) FThread.join();
  }
  bool Shown = false;

 private:
  // Bounded, so that a dialog that never opens fails the test.
  static HWND WaitForDialog(const std::u16string& Caption) {
    for (int Try = 0; Try < 3000; ++Try) {
      const HWND Dialog = FindWindowW(L"#32770", reinterpret_cast<const wchar_t*>(Caption.c_str()));
      if (Dialog && IsWindowVisible(Dialog)) return Dialog;
      Sleep(10);
    }
    return nullptr;
  }
  std::thread FThread;
};

class WindowsDialogsTest : public testing::Test {
 protected:
  std::unique_ptr<TDialogProvider> Provider = CreatePlatformDialogProvider();
};

TEST_F(WindowsDialogsTest, ShowMessageShowsTextUnderCaptionUntilOk) {
  bool TextShown = false;
  TAnswerer Answerer(u"Vantrel notice", [&](HWND Dialog) {
    TextShown = FindChild(Dialog, L"Static", u"Disk 2 is full.") != nullptr;
    const HWND Ok = GetDlgItem(Dialog, IDOK);
    if (Ok) Click(Ok);
    return Ok != nullptr;
  });
  Provider->ShowMessage(u"Disk 2 is full.", u"Vantrel notice", TMsgDlgType::mtWarning);
  Answerer.Join();
  EXPECT_TRUE(Answerer.Shown);
  EXPECT_TRUE(TextShown);
}

TEST_F(WindowsDialogsTest, MessageDlgReturnsTheButtonClicked) {
  const struct {
    std::u16string Caption;
    int Result;
  } Cases[] = {
      {u"&Yes", mrYes},
      {u"&No", mrNo},
      {u"N&o to All", mrNoToAll},
      {u"Yes to &All", mrYesToAll},
  };
  const std::u16string Text = u"Overwrite \"a & b.txt\"?";
  for (const auto& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Caption.begin(), Case.Caption.end()));
    bool TextShown = false;
    TAnswerer Answerer(u"Confirm", [&](HWND Dialog) {
      TextShown = FindChild(Dialog, L"Static", Text) != nullptr;
      const HWND Button = FindChild(Dialog, L"Button", Case.Caption);
      if (Button) Click(Button);
      return Button != nullptr;
    });
    const int Result =
        Provider->MessageDlg(Text, TMsgDlgType::mtConfirmation, mbYes | mbNo | mbNoToAll | mbYesToAll);
    Answerer.Join();
    EXPECT_TRUE(Answerer.Shown);
    EXPECT_TRUE(TextShown);
    EXPECT_EQ(Result, Case.Result);
  }
}

// Esc chooses Cancel when it is offered, else No, as the runtime's dialogs do.
TEST_F(WindowsDialogsTest, MessageDlgEscapeChoosesTheCancelButton) {
  const struct {
    TMsgDlgButtons Buttons;
    int Result;
  } Cases[] = {
      {mbYes | mbNo | mbCancel, mrCancel},
      {mbAbort | mbRetry | mbIgnore | mbCancel, mrCancel},
      {mbYes | mbNo, mrNo},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Buttons);
    TAnswerer Answerer(u"Error", [](HWND Dialog) {
      PressEscape(Dialog);
      return true;
    });
    const int Result = Provider->MessageDlg(u"Cannot read the disk.", TMsgDlgType::mtError, Case.Buttons);
    Answerer.Join();
    EXPECT_TRUE(Answerer.Shown);
    EXPECT_EQ(Result, Case.Result);
  }
}

// Where a control stands in its dialog's client area.
RECT ClientBounds(HWND Dialog, HWND Control) {
  RECT Bounds{};
  GetWindowRect(Control, &Bounds);
  MapWindowPoints(nullptr, Dialog, reinterpret_cast<POINT*>(&Bounds), 2);
  return Bounds;
}

// The password window's layout table: sizes in fourths of the font's average
// character width X and eighths of its height Y.
TEST_F(WindowsDialogsTest, PasswordWindowFollowsItsFontsAverageCharacter) {
  struct TBox {
    int Left, Top, Width, Height;
  };
  TBox Client{}, Edit{}, Ok{}, Cancel{}, Prompt{};
  int X = 0, Y = 0;
  LRESULT PasswordChar = 0;
  TAnswerer Answerer(u"Layout", [&](HWND Dialog) {
    const HDC DC = GetDC(Dialog);
    const HGDIOBJ Old = SelectObject(DC, reinterpret_cast<HFONT>(SendMessageW(Dialog, WM_GETFONT, 0, 0)));
    SIZE Extent{};
    GetTextExtentPoint32W(DC, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &Extent);
    SelectObject(DC, Old);
    ReleaseDC(Dialog, DC);
    X = Extent.cx / 52;
    Y = Extent.cy;
    RECT Area{};
    GetClientRect(Dialog, &Area);
    Client = {0, 0, Area.right, Area.bottom};
    const auto Box = [&](HWND Control) {
      const RECT R = ClientBounds(Dialog, Control);
      return TBox{R.left, R.top, R.right - R.left, R.bottom - R.top};
    };
    const HWND EditControl = FindChild(Dialog, L"Edit");
    const HWND OkButton = FindChild(Dialog, L"Button", u"OK");
    const HWND CancelButton = FindChild(Dialog, L"Button", u"Cancel");
    const HWND Label = FindChild(Dialog, L"Static", u"Enter password: ");
    if (!EditControl || !OkButton || !CancelButton || !Label) return false;
    Edit = Box(EditControl);
    Ok = Box(OkButton);
    Cancel = Box(CancelButton);
    Prompt = Box(Label);
    PasswordChar = SendMessageW(EditControl, EM_GETPASSWORDCHAR, 0, 0);
    Click(CancelButton);
    return true;
  });
  String Password;
  Provider->PasswordQuery(u"Layout", u"Enter password: ", Password);
  Answerer.Join();
  ASSERT_TRUE(Answerer.Shown);
  ASSERT_GT(X, 0);
  const auto H = [X](int Units) { return MulDiv(Units, X, 4); };
  const auto V = [Y](int Units) { return MulDiv(Units, Y, 8); };
  EXPECT_EQ(Client.Width, H(180));
  EXPECT_EQ(Client.Height, V(63));
  EXPECT_EQ(Prompt.Left, H(8));
  EXPECT_EQ(Prompt.Top, V(8));
  EXPECT_EQ(Edit.Left, H(8));
  EXPECT_EQ(Edit.Top, V(19));
  EXPECT_EQ(Edit.Width, H(164));
  for (const TBox& Button : {Ok, Cancel}) {
    EXPECT_EQ(Button.Top, V(41));
    EXPECT_EQ(Button.Width, H(50));
    EXPECT_EQ(Button.Height, V(14));
  }
  EXPECT_EQ(Ok.Left, H(38));
  EXPECT_EQ(Cancel.Left, H(92));
  EXPECT_EQ(PasswordChar, '*');
}

TEST_F(WindowsDialogsTest, PasswordQueryReturnsTheTextOnlyOnOk) {
  enum TAction { ClickOk, ClickCancel, Escape };
  const struct {
    TAction Action;
    bool Accepted;
    std::u16string Password;
  } Cases[] = {
      {ClickOk, true, u"s\u00e9cret 42"},
      {ClickCancel, false, u"previous"},
      {Escape, false, u"previous"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Action);
    bool PromptShown = false, Masked = false;
    LRESULT Limit = 0;
    TAnswerer Answerer(u"Archive password", [&](HWND Dialog) {
      PromptShown = FindChild(Dialog, L"Static", u"Password for data.zip:") != nullptr;
      const HWND Edit = FindChild(Dialog, L"Edit");
      if (!Edit) return false;
      Masked = (GetWindowLongW(Edit, GWL_STYLE) & ES_PASSWORD) != 0;
      Limit = SendMessageW(Edit, EM_GETLIMITTEXT, 0, 0);
      SendMessageW(Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"s\u00e9cret 42"));
      if (Case.Action == Escape) {
        PressEscape(Dialog);
        return true;
      }
      const HWND Button = FindChild(Dialog, L"Button", Case.Action == ClickOk ? u"OK" : u"Cancel");
      if (Button) Click(Button);
      return Button != nullptr;
    });
    String Password = u"previous";
    const bool Accepted = Provider->PasswordQuery(u"Archive password", u"Password for data.zip:", Password);
    Answerer.Join();
    EXPECT_TRUE(Answerer.Shown);
    EXPECT_TRUE(PromptShown);
    EXPECT_TRUE(Masked);
    EXPECT_EQ(Limit, 255);
    EXPECT_EQ(Accepted, Case.Accepted);
    EXPECT_TRUE(Password == Case.Password);
  }
}

}  // namespace
#endif
