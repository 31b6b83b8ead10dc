#include "Terminal.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace terminal {

namespace {

int Descriptor(TStdStream Stream) {
  switch (Stream) {
    case stdIn: return STDIN_FILENO;
    case stdOut: return STDOUT_FILENO;
    case stdErr: break;
  }
  return STDERR_FILENO;
}

}  // namespace

bool IsTerminal(TStdStream Stream) { return isatty(Descriptor(Stream)) == 1; }

void Write(TStdStream Stream, std::string_view Text) {
  // stdout is flushed before anything goes to stderr, so that both keep
  // their order on a shared terminal or file.
  if (Stream == stdErr) std::fflush(stdout);
  std::FILE* f = Stream == stdOut ? stdout : stderr;
  std::fwrite(Text.data(), 1, Text.size(), f);
}

bool ReadLine(std::string& Line) {
  std::fflush(stdout);
  Line.clear();
  if (!std::getline(std::cin, Line)) return false;
  if (!Line.empty() && Line.back() == '\r') Line.pop_back();
  return true;
}

bool ReadSecret(std::string& Line) {
  termios saved{};
  const bool masked = isatty(STDIN_FILENO) == 1 && tcgetattr(STDIN_FILENO, &saved) == 0;
  if (masked) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  const bool entered = ReadLine(Line);
  if (masked) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    Write(stdErr, "\n");  // the Enter the terminal did not echo
  }
  return entered;
}

int Width() {
  winsize ws{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  return 80;
}

}  // namespace terminal
