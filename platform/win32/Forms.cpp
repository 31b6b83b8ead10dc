#include "Forms.h"

#include <algorithm>

#include "Dialogs.h"
#include "Exceptions.h"
#include "FileSystem.h"
#include "TextCodec.h"
#include "WideString.h"

#include <commctrl.h>

namespace {

TApplication ApplicationInstance;

COLORREF ColorToRGB(TColor Color) {
  return (Color & 0xFF000000) ? GetSysColor(static_cast<int>(Color & 0xFF)) : Color;
}

String ExceptionMessage(const std::exception& E) {
  if (const auto* Ours = dynamic_cast<const Exception*>(&E)) return Ours->Message();
  return Utf8ToString(E.what());
}

}  // namespace

TApplication* Application = &ApplicationInstance;

String ExceptionReportText(const String& Message) {
  if (!Message.empty() && Message.back() > u'.') return Message + u'.';
  return Message;
}

// ---- TControl

TControl::~TControl() { SetParent(nullptr); }

void TControl::SetParent(TWinControl* Value) {
  if (FParent == Value) return;
  if (FParent) {
    auto& Siblings = FParent->FControls;
    Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), this), Siblings.end());
  }
  FParent = Value;
  if (FParent) FParent->FControls.push_back(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  BoundsChanged();
}

// ---- TImage

void TImage::Paint(HDC DC) {
  if (FPicture.Empty()) return;
  const int SavedDC = SaveDC(DC);
  IntersectClipRect(DC, Left(), Top(), Left() + Width(), Top() + Height());
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
  Info.bmiHeader.biWidth = FPicture.Width();
  Info.bmiHeader.biHeight = -FPicture.Height();  // top-down rows
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(DC, Left(), Top(), FPicture.Width(), FPicture.Height(), 0, 0, 0,
                    FPicture.Height(), FPicture.Pixels().data(), &Info, DIB_RGB_COLORS);
  RestoreDC(DC, SavedDC);
}

// ---- TWinControl

TWinControl::~TWinControl() {
  // A parent's window takes its children's windows with it.
  if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
  while (!FControls.empty()) FControls.back()->SetParent(nullptr);
}

HWND TWinControl::Handle() {
  if (FHandle) return FHandle;
  // A parent makes its children's windows along with its own.
  if (Parent() && !Parent()->HandleAllocated()) Parent()->Handle();
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TWinControl::BoundsChanged() {
  if (FHandle) MoveWindow(FHandle, Left(), Top(), Width(), Height(), TRUE);
}

// ---- TButton

void TButton::SetCaption(const String& Value) {
  FCaption = Value;
  if (FHandle) SetWindowTextW(FHandle, W(FCaption));
}

void TButton::Click() {
  if (OnClick) OnClick(this);
}

void TButton::CreateHandle() {
  FHandle = CreateWindowExW(0, L"BUTTON", W(FCaption), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            Left(), Top(), Width(), Height(), Parent()->Handle(), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Parent()->FontHandle()), FALSE);
}

// ---- TForm

struct TFormWindow {
  static LRESULT CALLBACK Proc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
    if (Message == WM_NCCREATE) {
      auto* Form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(LParam)->lpCreateParams);
      Form->FHandle = Window;
      SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Form));
    }
    auto* Form = reinterpret_cast<TForm*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (!Form) return DefWindowProcW(Window, Message, WParam, LParam);
    // Handlers run inside the system's callback: nothing may unwind through it.
    try {
      return Form->Dispatch(Message, WParam, LParam);
    } catch (const std::exception& E) {
      Application->HandleException(E);
    } catch (...) {
      Application->HandleException(Exception(u"Unknown exception"));
    }
    return 0;
  }
};

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {}

TForm::~TForm() {
  if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
  FHandle = nullptr;
  if (FFontHandle) DeleteObject(FFontHandle);
}

void TForm::AfterConstruction() {
  try {
    if (OnCreate) OnCreate(this);
  } catch (const std::exception& E) {
    Application->HandleException(E);
  } catch (...) {
    Application->HandleException(Exception(u"Unknown exception"));
  }
}

void TForm::SetCaption(const String& Value) {
  FCaption = Value;
  if (FHandle) SetWindowTextW(FHandle, W(FCaption));
}

void TForm::SetClientSize(int AWidth, int AHeight) {
  FClientWidth = AWidth;
  FClientHeight = AHeight;
  if (!FHandle) return;
  RECT Frame{0, 0, AWidth, AHeight};
  AdjustWindowRectEx(&Frame, static_cast<DWORD>(GetWindowLongW(FHandle, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(FHandle, GWL_EXSTYLE)));
  SetWindowPos(FHandle, nullptr, 0, 0, Frame.right - Frame.left, Frame.bottom - Frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CreateHandle() {
  const HINSTANCE Instance = GetModuleHandleW(nullptr);
  // One window class per form class, as the runtime registers them.
  const String ClassName = Utf8ToString(this->ClassName());
  WNDCLASSEXW Class{};
  if (!GetClassInfoExW(Instance, W(ClassName), &Class)) {
    Class.cbSize = sizeof(Class);
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = TFormWindow::Proc;
    Class.hInstance = Instance;
    Class.hIcon = LoadIconW(Instance, L"MAINICON");
    if (!Class.hIcon) Class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Class.lpszClassName = W(ClassName);
    RegisterClassExW(&Class);
  }

  const DWORD Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  const bool OnTaskBar = Application->MainForm() == this && Application->MainFormOnTaskBar();
  const DWORD ExStyle = OnTaskBar ? WS_EX_APPWINDOW : 0;
  RECT Frame{0, 0, FClientWidth, FClientHeight};
  AdjustWindowRectEx(&Frame, Style, FALSE, ExStyle);
  CreateWindowExW(ExStyle, W(ClassName), W(FCaption), Style, Left(), Top(), Frame.right - Frame.left,
                  Frame.bottom - Frame.top, nullptr, nullptr, Instance, this);
  if (!FHandle) {
    const int Error = static_cast<int>(GetLastError());
    throw EInOutError(SysErrorMessage(Error), Error);
  }

  if (!FFontHandle)
    FFontHandle = CreateFontW(FFont.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, FFont.Charset,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, W(FFont.Name));
  // Window order is tab order for keyboard navigation, so children are made
  // in tab order.
  std::vector<TWinControl*> Windowed;
  for (TControl* Control : Controls())
    if (auto* Child = dynamic_cast<TWinControl*>(Control)) Windowed.push_back(Child);
  std::stable_sort(Windowed.begin(), Windowed.end(),
                   [](TWinControl* A, TWinControl* B) { return A->TabOrder() < B->TabOrder(); });
  for (TWinControl* Child : Windowed) Child->Handle();
}

void TForm::Show() {
  const HWND Window = Handle();
  if (FPosition == TPosition::poScreenCenter) {
    RECT Frame;
    GetWindowRect(Window, &Frame);
    const int Width = Frame.right - Frame.left, Height = Frame.bottom - Frame.top;
    SetWindowPos(Window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - Width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - Height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(Window, SW_SHOWNORMAL);
  UpdateWindow(Window);
  FocusFirstControl();
}

void TForm::Close() {
  if (FHandle) PostMessageW(FHandle, WM_CLOSE, 0, 0);
}

void TForm::FocusFirstControl() {
  const TWinControl* First = nullptr;
  for (TControl* Control : Controls()) {
    auto* Child = dynamic_cast<TWinControl*>(Control);
    if (Child && Child->HandleAllocated() && (!First || Child->TabOrder() < First->TabOrder())) First = Child;
  }
  if (First) SetFocus(const_cast<TWinControl*>(First)->Handle());
}

void TForm::PaintControls(HDC DC) {
  for (TControl* Control : Controls())
    if (auto* Graphic = dynamic_cast<TGraphicControl*>(Control)) Graphic->Paint(DC);
}

intptr_t TForm::Dispatch(unsigned Message, uintptr_t WParam, intptr_t LParam) {
  switch (Message) {
    case WM_ERASEBKGND: {
      RECT Client;
      GetClientRect(FHandle, &Client);
      const HBRUSH Brush = CreateSolidBrush(ColorToRGB(FColor));
      FillRect(reinterpret_cast<HDC>(WParam), &Client, Brush);
      DeleteObject(Brush);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT Paint;
      const HDC DC = BeginPaint(FHandle, &Paint);
      PaintControls(DC);
      EndPaint(FHandle, &Paint);
      return 0;
    }
    case WM_CTLCOLORBTN:
      SetBkColor(reinterpret_cast<HDC>(WParam), ColorToRGB(FColor));
      return reinterpret_cast<intptr_t>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_COMMAND:
      if (HIWORD(WParam) == BN_CLICKED && LParam) {
        for (TControl* Control : Controls()) {
          auto* Button = dynamic_cast<TButton*>(Control);
          if (Button && Button->HandleAllocated() && Button->Handle() == reinterpret_cast<HWND>(LParam)) {
            Button->Click();
            return 0;
          }
        }
      }
      break;
    case WM_DESTROY:
      if (Application->MainForm() == this) PostQuitMessage(0);
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
      FHandle = nullptr;
      return 0;
  }
  return DefWindowProcW(FHandle, Message, WParam, LParam);
}

// ---- TApplication

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX Controls{sizeof(Controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&Controls);
}

String TApplication::Title() const {
  if (!FTitle.empty()) return FTitle;
  wchar_t Path[MAX_PATH + 1];
  const DWORD Length = GetModuleFileNameW(nullptr, Path, MAX_PATH);
  String Name = FromW(Path, Length);
  Name.erase(0, Name.find_last_of(u"\\/") + 1);
  const size_t Dot = Name.find_last_of(u'.');
  return Dot == String::npos ? Name : Name.substr(0, Dot);
}

void TApplication::Run() {
  if (!FMainForm) return;
  FMainForm->Show();
  MSG Message;
  while (GetMessageW(&Message, nullptr, 0, 0) > 0) {
    // Tab and arrow keys move between the main form's controls.
    if (FMainForm->HandleAllocated() && IsDialogMessageW(FMainForm->Handle(), &Message)) continue;
    TranslateMessage(&Message);
    DispatchMessageW(&Message);
  }
}

void TApplication::HandleException(const std::exception& E) {
  Dialogs().ShowMessage(ExceptionReportText(ExceptionMessage(E)), Title(), TMsgDlgType::mtError);
}
