// The Windows provider: real modal dialogs. MessageBoxW has no "Yes to All"
// or "No to All", so confirmations and the password window are built from
// in-memory templates and laid out in pixels from the dialog's font.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "Dialogs.h"
#include "WideString.h"

namespace {

constexpr WORD ButtonClass = 0x0080;
constexpr WORD EditClass = 0x0081;
constexpr WORD StaticClass = 0x0082;

// A dialog and its controls as DialogBoxIndirectParamW reads them. Positions
// stay zero: each dialog lays itself out when it initialises.
class TDialogTemplate {
 public:
  explicit TDialogTemplate(const String& Caption) {
    AppendDword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    AppendDword(0);
    FCountIndex = FWords.size();
    FWords.insert(FWords.end(), {0, 0, 0, 0, 0});  // item count, x, y, cx, cy
    FWords.insert(FWords.end(), {0, 0});           // no menu, the standard class
    AppendString(Caption);
    AppendFont();
  }

  void AddControl(WORD ClassAtom, WORD Id, DWORD Style, const String& Text = String(), DWORD ExStyle = 0) {
    if (FWords.size() % 2 != 0) FWords.push_back(0);
    AppendDword(WS_CHILD | WS_VISIBLE | Style);
    AppendDword(ExStyle);
    FWords.insert(FWords.end(), {0, 0, 0, 0, Id, 0xFFFF, ClassAtom});
    AppendString(Text);
    FWords.push_back(0);  // no creation data
    ++FWords[FCountIndex];
  }

  const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(FWords.data()); }

 private:
  void AppendDword(DWORD Value) {
    FWords.push_back(LOWORD(Value));
    FWords.push_back(HIWORD(Value));
  }
  void AppendString(const String& Text) {
    FWords.insert(FWords.end(), Text.begin(), Text.end());
    FWords.push_back(0);
  }
  // The system's message font, so our boxes read like its own.
  void AppendFont() {
    NONCLIENTMETRICSW Metrics{};
    Metrics.cbSize = sizeof(Metrics);
    WORD Points = 8;
    String Face = u"MS Shell Dlg";
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0)) {
      const HDC Screen = GetDC(nullptr);
      const int Height = std::abs(Metrics.lfMessageFont.lfHeight);
      if (Height > 0) Points = static_cast<WORD>(MulDiv(Height, 72, GetDeviceCaps(Screen, LOGPIXELSY)));
      ReleaseDC(nullptr, Screen);
      Face = FromW(Metrics.lfMessageFont.lfFaceName);
    }
    FWords.push_back(Points);
    AppendString(Face);
  }

  std::vector<WORD> FWords;
  size_t FCountIndex = 0;
};

// The dialog's font selected into a screen DC, and its dialog base units.
class TDialogMetrics {
 public:
  explicit TDialogMetrics(HWND Dialog) : FDC(GetDC(Dialog)), FDialog(Dialog) {
    FOldFont = SelectObject(FDC, reinterpret_cast<HFONT>(SendMessageW(Dialog, WM_GETFONT, 0, 0)));
    TEXTMETRICW Metrics;
    GetTextMetricsW(FDC, &Metrics);
    SIZE Extent;
    GetTextExtentPoint32W(FDC, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &Extent);
    FUnitX = (Extent.cx / 26 + 1) / 2;
    FUnitY = Metrics.tmHeight;
    FAverageX = Extent.cx / 52;
    FAverageY = Extent.cy;
    FFontHeight = Metrics.tmHeight;
  }
  ~TDialogMetrics() {
    SelectObject(FDC, FOldFont);
    ReleaseDC(FDialog, FDC);
  }
  TDialogMetrics(const TDialogMetrics&) = delete;
  TDialogMetrics& operator=(const TDialogMetrics&) = delete;

  int Horz(int DialogUnits) const { return MulDiv(DialogUnits, FUnitX, 4); }
  int Vert(int DialogUnits) const { return MulDiv(DialogUnits, FUnitY, 8); }
  // The password window's own measure: the 52 letters' width divided by 52,
  // remainder dropped, and their height.
  int AverageHorz(int Units) const { return MulDiv(Units, FAverageX, 4); }
  int AverageVert(int Units) const { return MulDiv(Units, FAverageY, 8); }
  int FontHeight() const { return FFontHeight; }

  // The size the text takes, wrapped at MaxWidth.
  SIZE TextSize(const String& Text, int MaxWidth, UINT Flags = DT_WORDBREAK) const {
    RECT Rect{0, 0, MaxWidth, 0};
    DrawTextW(FDC, W(Text), -1, &Rect, DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS | Flags);
    return {Rect.right - Rect.left, Rect.bottom - Rect.top};
  }
  int CaptionWidth(const String& Caption) const {
    RECT Rect{0, 0, 0, 0};
    DrawTextW(FDC, W(Caption), -1, &Rect, DT_CALCRECT | DT_LEFT | DT_SINGLELINE);
    return Rect.right - Rect.left;
  }

 private:
  HDC FDC;
  HWND FDialog;
  HGDIOBJ FOldFont;
  int FUnitX = 8, FUnitY = 16;
  int FAverageX = 8, FAverageY = 16, FFontHeight = 16;
};

// Sizes the dialog to the client area given and centres it on its monitor.
void SizeAndCentre(HWND Dialog, int ClientWidth, int ClientHeight) {
  RECT Frame{0, 0, ClientWidth, ClientHeight};
  AdjustWindowRectEx(&Frame, static_cast<DWORD>(GetWindowLongW(Dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(Dialog, GWL_EXSTYLE)));
  const int Width = Frame.right - Frame.left, Height = Frame.bottom - Frame.top;
  const HWND Owner = GetWindow(Dialog, GW_OWNER);
  MONITORINFO Monitor{};
  Monitor.cbSize = sizeof(Monitor);
  GetMonitorInfoW(MonitorFromWindow(Owner ? Owner : Dialog, MONITOR_DEFAULTTOPRIMARY), &Monitor);
  const RECT& Work = Monitor.rcWork;
  const int Left = Work.left + std::max(0L, (Work.right - Work.left - Width) / 2);
  const int Top = Work.top + std::max(0L, (Work.bottom - Work.top - Height) / 2);
  SetWindowPos(Dialog, nullptr, Left, Top, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Place(HWND Dialog, int Id, int Left, int Top, int Width, int Height) {
  MoveWindow(GetDlgItem(Dialog, Id), Left, Top, Width, Height, FALSE);
}

String ApplicationTitle() {
  wchar_t Path[MAX_PATH + 1];
  const DWORD Length = GetModuleFileNameW(nullptr, Path, MAX_PATH);
  String Name = FromW(Path, Length);
  Name.erase(0, Name.find_last_of(u"\\/") + 1);
  const size_t Dot = Name.find_last_of(u'.');
  return Dot == String::npos ? Name : Name.substr(0, Dot);
}

String CaptionOf(TMsgDlgType Type) {
  switch (Type) {
    case TMsgDlgType::mtWarning: return u"Warning";
    case TMsgDlgType::mtError: return u"Error";
    case TMsgDlgType::mtInformation: return u"Information";
    case TMsgDlgType::mtConfirmation: return u"Confirm";
    default: return ApplicationTitle();
  }
}

HICON IconOf(TMsgDlgType Type) {
  switch (Type) {
    case TMsgDlgType::mtWarning: return LoadIconW(nullptr, IDI_WARNING);
    case TMsgDlgType::mtError: return LoadIconW(nullptr, IDI_ERROR);
    case TMsgDlgType::mtInformation: return LoadIconW(nullptr, IDI_INFORMATION);
    case TMsgDlgType::mtConfirmation: return LoadIconW(nullptr, IDI_QUESTION);
    default: return nullptr;
  }
}

UINT MessageBoxIconOf(TMsgDlgType Type) {
  switch (Type) {
    case TMsgDlgType::mtWarning: return MB_ICONWARNING;
    case TMsgDlgType::mtError: return MB_ICONERROR;
    case TMsgDlgType::mtInformation: return MB_ICONINFORMATION;
    case TMsgDlgType::mtConfirmation: return MB_ICONQUESTION;
    default: return 0;
  }
}

// The standard buttons in the runtime's order; a button's control id is its
// modal result, so a click ends the dialog with it.
struct TButtonInfo {
  TMsgDlgBtn Button;
  TModalResult Result;
  const char16_t* Caption;
};
constexpr TButtonInfo StandardButtons[] = {
    {mbYes, mrYes, u"&Yes"},          {mbNo, mrNo, u"&No"},
    {mbOK, mrOk, u"OK"},              {mbCancel, mrCancel, u"Cancel"},
    {mbAbort, mrAbort, u"&Abort"},    {mbRetry, mrRetry, u"&Retry"},
    {mbIgnore, mrIgnore, u"&Ignore"}, {mbAll, mrAll, u"&All"},
    {mbNoToAll, mrNoToAll, u"N&o to All"}, {mbYesToAll, mrYesToAll, u"Yes to &All"},
};

constexpr int MessageTextId = 100;
constexpr int MessageIconId = 101;

struct TMessageDialog {
  String Text;
  HICON Icon;
  std::vector<const TButtonInfo*> Buttons;
  TModalResult DefaultResult;  // mrNone: focus on the first button
  TModalResult EscapeResult;   // what Esc chooses
};

void LayoutMessageDialog(HWND Dialog, const TMessageDialog& Message) {
  const TDialogMetrics Metrics(Dialog);
  const int HorzMargin = Metrics.Horz(8), VertMargin = Metrics.Vert(8);
  const int HorzSpacing = Metrics.Horz(10), VertSpacing = Metrics.Vert(10);
  const int ButtonHeight = Metrics.Vert(14), ButtonSpacing = Metrics.Horz(4);
  int ButtonWidth = Metrics.Horz(50);
  for (const TButtonInfo* Button : Message.Buttons)
    ButtonWidth = std::max(ButtonWidth, Metrics.CaptionWidth(Button->Caption) + Metrics.Horz(8));

  const SIZE Text = Metrics.TextSize(Message.Text, GetSystemMetrics(SM_CXSCREEN) / 2);
  const int IconSize = Message.Icon ? GetSystemMetrics(SM_CXICON) : 0;
  const int TextLeft = HorzMargin + (Message.Icon ? IconSize + HorzSpacing : 0);
  const int BodyHeight = std::max<int>(IconSize, Text.cy);
  const int Count = static_cast<int>(Message.Buttons.size());
  const int ButtonsWidth = Count * ButtonWidth + (Count - 1) * ButtonSpacing;
  const int ClientWidth = std::max<int>(TextLeft + Text.cx, HorzMargin + ButtonsWidth) + HorzMargin;

  if (Message.Icon) Place(Dialog, MessageIconId, HorzMargin, VertMargin, IconSize, IconSize);
  Place(Dialog, MessageTextId, TextLeft, VertMargin, Text.cx, Text.cy);
  const int ButtonTop = VertMargin + BodyHeight + VertSpacing;
  int Left = (ClientWidth - ButtonsWidth) / 2;
  for (const TButtonInfo* Button : Message.Buttons) {
    Place(Dialog, Button->Result, Left, ButtonTop, ButtonWidth, ButtonHeight);
    Left += ButtonWidth + ButtonSpacing;
  }
  SizeAndCentre(Dialog, ClientWidth, ButtonTop + ButtonHeight + VertMargin);
}

INT_PTR CALLBACK MessageDialogProc(HWND Dialog, UINT Msg, WPARAM WParam, LPARAM LParam) {
  const auto* Message = reinterpret_cast<const TMessageDialog*>(GetWindowLongPtrW(Dialog, DWLP_USER));
  switch (Msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(Dialog, DWLP_USER, LParam);
      Message = reinterpret_cast<const TMessageDialog*>(LParam);
      if (Message->Icon) SendDlgItemMessageW(Dialog, MessageIconId, STM_SETICON, reinterpret_cast<WPARAM>(Message->Icon), 0);
      LayoutMessageDialog(Dialog, *Message);
      if (Message->DefaultResult == mrNone) return TRUE;
      SetFocus(GetDlgItem(Dialog, Message->DefaultResult));
      return FALSE;  // we placed the focus
    }
    case WM_COMMAND: {
      // Esc arrives as IDCANCEL whether or not a Cancel button is there.
      const int Id = LOWORD(WParam);
      if (Id == IDCANCEL) {
        if (Message->EscapeResult != mrNone) EndDialog(Dialog, Message->EscapeResult);
        return TRUE;
      }
      for (const TButtonInfo* Button : Message->Buttons)
        if (Button->Result == Id) {
          EndDialog(Dialog, Id);
          break;
        }
      return TRUE;
    }
    case WM_CLOSE:
      EndDialog(Dialog, mrCancel);
      return TRUE;
  }
  return FALSE;
}

// Shows Dialog modally over the active window; -1 when it could not be shown.
INT_PTR RunDialog(const TDialogTemplate& Template, DLGPROC Proc, void* Data) {
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), Template.Data(), GetActiveWindow(), Proc,
                                 reinterpret_cast<LPARAM>(Data));
}

constexpr int PromptId = 100;
constexpr int PasswordId = 101;
constexpr int MaxPasswordLength = 255;

struct TPasswordDialog {
  String Prompt;
  String Password;
};

// Every size is a fraction of the font's average character width or height,
// as the runtime's password query lays itself out.
void LayoutPasswordDialog(HWND Dialog, const TPasswordDialog& Query) {
  const TDialogMetrics Metrics(Dialog);
  const int Left = Metrics.AverageHorz(8);
  const SIZE Prompt = Metrics.TextSize(Query.Prompt, 0, DT_SINGLELINE);
  Place(Dialog, PromptId, Left, Metrics.AverageVert(8), Prompt.cx, Prompt.cy);
  // An edit box's height follows its font: the text plus a sunken border.
  const int EditHeight = Metrics.FontHeight() + 8 * GetSystemMetrics(SM_CYBORDER);
  Place(Dialog, PasswordId, Left, Metrics.AverageVert(19), Metrics.AverageHorz(164), EditHeight);
  const int ButtonTop = Metrics.AverageVert(41), ButtonWidth = Metrics.AverageHorz(50);
  const int ButtonHeight = Metrics.AverageVert(14);
  Place(Dialog, IDOK, Metrics.AverageHorz(38), ButtonTop, ButtonWidth, ButtonHeight);
  Place(Dialog, IDCANCEL, Metrics.AverageHorz(92), ButtonTop, ButtonWidth, ButtonHeight);
  SizeAndCentre(Dialog, Metrics.AverageHorz(180), Metrics.AverageVert(63));
}

String ControlText(HWND Control) {
  String Text(static_cast<size_t>(GetWindowTextLengthW(Control)), u'\0');
  if (!Text.empty())
    Text.resize(static_cast<size_t>(
        GetWindowTextW(Control, reinterpret_cast<wchar_t*>(Text.data()), static_cast<int>(Text.size()) + 1)));
  return Text;
}

INT_PTR CALLBACK PasswordDialogProc(HWND Dialog, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* Query = reinterpret_cast<TPasswordDialog*>(GetWindowLongPtrW(Dialog, DWLP_USER));
  switch (Msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(Dialog, DWLP_USER, LParam);
      Query = reinterpret_cast<TPasswordDialog*>(LParam);
      const HWND Edit = GetDlgItem(Dialog, PasswordId);
      SendMessageW(Edit, EM_LIMITTEXT, MaxPasswordLength, 0);
      SendMessageW(Edit, EM_SETPASSWORDCHAR, '*', 0);
      SetWindowTextW(Edit, W(Query->Password));
      SendMessageW(Edit, EM_SETSEL, 0, -1);
      LayoutPasswordDialog(Dialog, *Query);
      SetFocus(Edit);
      return FALSE;  // we placed the focus
    }
    case WM_COMMAND:
      if (LOWORD(WParam) == IDOK) {
        Query->Password = ControlText(GetDlgItem(Dialog, PasswordId));
        EndDialog(Dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(WParam) == IDCANCEL) {
        EndDialog(Dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

class TWindowsDialogProvider : public TDialogProvider {
 public:
  void ShowMessage(const String& Text, const String& Caption, TMsgDlgType Type) override {
    const HWND Owner = GetActiveWindow();
    const String Title = Caption.empty() ? CaptionOf(Type) : Caption;
    MessageBoxW(Owner, W(Text), W(Title), MB_OK | MessageBoxIconOf(Type) | (Owner ? 0 : MB_TASKMODAL));
  }

  int MessageDlg(const String& Text, TMsgDlgType Type, TMsgDlgButtons Buttons) override {
    if ((Buttons & 0x3FF) == 0) Buttons = mbOK;
    TMessageDialog Message{Text, IconOf(Type), {}, mrNone, mrNone};
    TDialogTemplate Template(CaptionOf(Type));
    Template.AddControl(StaticClass, MessageTextId, SS_LEFT | SS_NOPREFIX, Text);
    if (Message.Icon) Template.AddControl(StaticClass, MessageIconId, SS_ICON);
    // The runtime's defaults: OK, else Yes, else Retry is the default button;
    // Esc chooses Cancel, else No, else OK.
    const TMsgDlgBtn Default = (Buttons & mbOK) ? mbOK : (Buttons & mbYes) ? mbYes : mbRetry;
    const TMsgDlgBtn Escape = (Buttons & mbCancel) ? mbCancel : (Buttons & mbNo) ? mbNo : mbOK;
    bool First = true;
    for (const TButtonInfo& Button : StandardButtons) {
      if ((Buttons & Button.Button) == 0) continue;
      DWORD Style = WS_TABSTOP | (Button.Button == Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      if (First) Style |= WS_GROUP;
      First = false;
      Template.AddControl(ButtonClass, static_cast<WORD>(Button.Result), Style, Button.Caption);
      Message.Buttons.push_back(&Button);
      if (Button.Button == Default) Message.DefaultResult = Button.Result;
      if (Button.Button == Escape) Message.EscapeResult = Button.Result;
    }
    const INT_PTR Result = RunDialog(Template, MessageDialogProc, &Message);
    return Result > 0 ? static_cast<int>(Result) : mrCancel;
  }

  bool PasswordQuery(const String& Caption, const String& Prompt, String& Password) override {
    TPasswordDialog Query{Prompt, Password};
    TDialogTemplate Template(Caption);
    Template.AddControl(StaticClass, PromptId, SS_LEFT | SS_NOPREFIX, Prompt);
    Template.AddControl(EditClass, PasswordId, WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, String(),
                        WS_EX_CLIENTEDGE);
    Template.AddControl(ButtonClass, IDOK, WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, u"OK");
    Template.AddControl(ButtonClass, IDCANCEL, WS_TABSTOP | BS_PUSHBUTTON, u"Cancel");
    if (RunDialog(Template, PasswordDialogProc, &Query) != IDOK) return false;
    Password = Query.Password;
    return true;
  }
};

}  // namespace

std::unique_ptr<TDialogProvider> CreatePlatformDialogProvider() {
  return std::make_unique<TWindowsDialogProvider>();
}
