// A stand-in for one of the tools the launcher carries. Its window title is
// its own file name and its current folder, so that whoever started it can
// be seen from outside; the window shows the folder too.
#include <windows.h>

namespace {

wchar_t Title[2 * MAX_PATH + 8];
wchar_t Folder[MAX_PATH + 1];

LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE Instance, HINSTANCE, PWSTR, int Show) {
  wchar_t Path[MAX_PATH + 1];
  const DWORD Length = GetModuleFileNameW(nullptr, Path, MAX_PATH);
  Path[Length] = 0;
  const wchar_t* Name = Path;
  for (const wchar_t* p = Path; *p; ++p)
    if (*p == L'\\' || *p == L'/') Name = p + 1;
  GetCurrentDirectoryW(MAX_PATH, Folder);
  wsprintfW(Title, L"%s - %s", Name, Folder);

  WNDCLASSW Class{};
  Class.lpfnWndProc = WindowProc;
  Class.hInstance = Instance;
  Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  Class.lpszClassName = L"VantrelStandInTool";
  RegisterClassW(&Class);
  const HWND Window = CreateWindowExW(0, Class.lpszClassName, Title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                      CW_USEDEFAULT, 480, 120, nullptr, nullptr, Instance, nullptr);
  CreateWindowExW(0, L"STATIC", Folder, WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 12, 440, 40, Window, nullptr,
                  Instance, nullptr);
  ShowWindow(Window, Show);
  MSG Message;
  while (GetMessageW(&Message, nullptr, 0, 0) > 0) {
    TranslateMessage(&Message);
    DispatchMessageW(&Message);
  }
  return 0;
}
