#include "Terminal.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace terminal {

namespace {

HANDLE Handle(TStdStream Stream) {
  switch (Stream) {
    case stdIn: return GetStdHandle(STD_INPUT_HANDLE);
    case stdOut: return GetStdHandle(STD_OUTPUT_HANDLE);
    case stdErr: break;
  }
  return GetStdHandle(STD_ERROR_HANDLE);
}

// A console, not a file, pipe or the NUL device (which _isatty takes for one).
bool IsConsole(HANDLE h) {
  DWORD mode;
  return h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleMode(h, &mode) != 0;
}

std::wstring Widen(std::string_view Text) {
  if (Text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& Text) {
  if (Text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

}  // namespace

bool IsTerminal(TStdStream Stream) { return IsConsole(Handle(Stream)); }

void Write(TStdStream Stream, std::string_view Text) {
  HANDLE h = Handle(Stream);
  if (IsConsole(h)) {
    std::fflush(stdout);
    const std::wstring w = Widen(Text);
    DWORD written;
    WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &written, nullptr);
    return;
  }
  if (Stream == stdErr) std::fflush(stdout);
  std::FILE* f = Stream == stdOut ? stdout : stderr;
  std::fwrite(Text.data(), 1, Text.size(), f);
}

bool ReadLine(std::string& Line) {
  std::fflush(stdout);
  Line.clear();
  HANDLE h = Handle(stdIn);
  if (IsConsole(h)) {
    std::wstring w;
    wchar_t c;
    DWORD got;
    for (;;) {
      if (!ReadConsoleW(h, &c, 1, &got, nullptr) || got == 0) {
        if (w.empty()) return false;
        break;
      }
      if (c == L'\n') break;
      if (c != L'\r') w += c;
    }
    Line = Narrow(w);
    return true;
  }
  int c;
  bool any = false;
  while ((c = std::fgetc(stdin)) != EOF) {
    any = true;
    if (c == '\n') break;
    Line += static_cast<char>(c);
  }
  if (!Line.empty() && Line.back() == '\r') Line.pop_back();
  return any;
}

bool ReadSecret(std::string& Line) {
  HANDLE h = Handle(stdIn);
  DWORD saved;
  const bool masked = IsConsole(h) && GetConsoleMode(h, &saved);
  if (masked) SetConsoleMode(h, saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
  const bool entered = ReadLine(Line);
  if (masked) {
    SetConsoleMode(h, saved);
    Write(stdErr, "\n");
  }
  return entered;
}

int Width() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(Handle(stdErr), &info))
    return info.srWindow.Right - info.srWindow.Left + 1;
  return 80;
}

}  // namespace terminal
