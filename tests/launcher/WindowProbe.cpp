// Looks at the windows of running programs from inside Wine, for the
// launcher's end-to-end test. Output is UTF-8, one fact per line.
//
//   WindowProbe wait TITLE...     waits until a visible top-level window has
//                                 one of these exact titles and prints it
//                                 (exit 1 after two minutes)
//   WindowProbe gone TITLE        waits until no visible top-level window has
//                                 this title (exit 1 after two minutes)
//   WindowProbe info TITLE        client size and origin, then each child:
//                                 class, text and bounds in the client area
//   WindowProbe list              every visible top-level window: process,
//                                 title, and its children's texts
//   WindowProbe close TITLE       asks every such window to close
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& Text) {
  if (Text.empty()) return std::string();
  const int Size = WideCharToMultiByte(CP_UTF8, 0, Text.c_str(), static_cast<int>(Text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string Result(static_cast<size_t>(Size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, Text.c_str(), static_cast<int>(Text.size()), Result.data(), Size, nullptr,
                      nullptr);
  return Result;
}

std::wstring TextOf(HWND Window) {
  wchar_t Buffer[1024];
  // WM_GETTEXT answers for windows of other processes too.
  const LRESULT Length = SendMessageW(Window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(Buffer));
  return std::wstring(Buffer, static_cast<size_t>(Length));
}

std::wstring ClassOf(HWND Window) {
  wchar_t Buffer[256];
  const int Length = GetClassNameW(Window, Buffer, 256);
  return std::wstring(Buffer, static_cast<size_t>(Length));
}

// A named CALLBACK: on i686 a lambda does not convert to a stdcall pointer.
BOOL CALLBACK CollectVisible(HWND Window, LPARAM Param) {
  if (IsWindowVisible(Window)) reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> Windows;
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&Windows));
  return Windows;
}

std::vector<HWND> Children(HWND Parent) {
  std::vector<HWND> Windows;
  for (HWND Child = GetWindow(Parent, GW_CHILD); Child; Child = GetWindow(Child, GW_HWNDNEXT))
    Windows.push_back(Child);
  return Windows;
}

std::vector<HWND> WindowsTitled(const std::wstring& Title) {
  std::vector<HWND> Found;
  for (HWND Window : TopLevelWindows())
    if (TextOf(Window) == Title) Found.push_back(Window);
  return Found;
}

void Print(const std::string& Line) {
  std::fwrite(Line.data(), 1, Line.size(), stdout);
  std::fputc('\n', stdout);
}

int Wait(const std::vector<std::wstring>& Titles) {
  for (int Tries = 0; Tries < 1200; ++Tries) {
    for (const std::wstring& Title : Titles)
      if (!WindowsTitled(Title).empty()) {
        Print(Utf8(Title));
        return 0;
      }
    Sleep(100);
  }
  return 1;
}

int Gone(const std::wstring& Title) {
  for (int Tries = 0; Tries < 1200; ++Tries) {
    if (WindowsTitled(Title).empty()) return 0;
    Sleep(100);
  }
  return 1;
}

int Info(const std::wstring& Title) {
  const std::vector<HWND> Found = WindowsTitled(Title);
  if (Found.empty()) return 1;
  const HWND Window = Found.front();
  RECT Client;
  GetClientRect(Window, &Client);
  POINT Origin{0, 0};
  ClientToScreen(Window, &Origin);
  Print("client " + std::to_string(Client.right) + " " + std::to_string(Client.bottom));
  Print("origin " + std::to_string(Origin.x) + " " + std::to_string(Origin.y));
  for (HWND Child : Children(Window)) {
    RECT Bounds;
    GetWindowRect(Child, &Bounds);
    MapWindowPoints(nullptr, Window, reinterpret_cast<POINT*>(&Bounds), 2);
    Print("control " + Utf8(ClassOf(Child)) + "|" + Utf8(TextOf(Child)) + "|" + std::to_string(Bounds.left) + "," +
          std::to_string(Bounds.top) + "," + std::to_string(Bounds.right - Bounds.left) + "," +
          std::to_string(Bounds.bottom - Bounds.top));
  }
  return 0;
}

int List() {
  for (HWND Window : TopLevelWindows()) {
    DWORD Process = 0;
    GetWindowThreadProcessId(Window, &Process);
    std::string Line = "window " + std::to_string(Process) + "|" + Utf8(TextOf(Window)) + "|";
    for (HWND Child : Children(Window)) Line += Utf8(TextOf(Child)) + ";";
    Print(Line);
  }
  return 0;
}

int Close(const std::wstring& Title) {
  for (HWND Window : WindowsTitled(Title)) PostMessageW(Window, WM_CLOSE, 0, 0);
  return 0;
}

}  // namespace

int wmain(int Count, wchar_t** Arguments) {
  const std::wstring Command = Count > 1 ? Arguments[1] : L"";
  const std::wstring Title = Count > 2 ? Arguments[2] : L"";
  if (Command == L"wait") return Wait(std::vector<std::wstring>(Arguments + 2, Arguments + Count));
  if (Command == L"gone") return Gone(Title);
  if (Command == L"info") return Info(Title);
  if (Command == L"list") return List();
  if (Command == L"close") return Close(Title);
  std::fputs("usage: WindowProbe wait TITLE..., gone|info|close TITLE, or list\n", stderr);
  return 2;
}
