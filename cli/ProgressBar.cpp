#include "ProgressBar.h"

#include <algorithm>
#include <vector>

namespace {

constexpr auto ShowAfter = std::chrono::milliseconds(500);
constexpr auto Redraw = std::chrono::milliseconds(100);
constexpr int BarCells = 30;

// The last Width characters of a UTF-8 name: its end tells most.
std::string Tail(const std::string& Text, size_t Width) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < Text.size(); ++i)
    if ((static_cast<unsigned char>(Text[i]) & 0xC0) != 0x80) starts.push_back(i);
  if (starts.size() <= Width) return Text;
  if (Width < 4) return {};
  return "..." + Text.substr(starts[starts.size() - (Width - 3)]);
}

std::string PadTo(const std::string& Text, int Width) {
  size_t chars = 0;
  for (unsigned char c : Text) chars += (c & 0xC0) != 0x80;
  return static_cast<int>(chars) >= Width ? Text : Text + std::string(static_cast<size_t>(Width) - chars, ' ');
}

}  // namespace

TProgressBar::TProgressBar(TConsole& Console, bool Enabled)
    : FCon(Console), FEnabled(Enabled), FStart(Console.Now()) {}

void TProgressBar::Item(const std::string& Name) {
  FItem = Name;
  Draw();
}

void TProgressBar::Overall(double Percent) {
  FPercent = std::clamp(Percent, 0.0, 100.0);
  Draw();
}

void TProgressBar::Draw() {
  if (!FEnabled) return;
  const auto now = FCon.Now();
  if (now - FStart < ShowAfter || (FShown && now - FLastDraw < Redraw)) return;
  FLastDraw = now;
  const int filled = static_cast<int>(FPercent / 100 * BarCells);
  std::string pct = std::to_string(static_cast<int>(FPercent));
  std::string line = "[" + std::string(static_cast<size_t>(filled), '#') +
                     std::string(static_cast<size_t>(BarCells - filled), '.') + "] " +
                     std::string(3 - std::min<size_t>(3, pct.size()), ' ') + pct + "%  ";
  // One column short of the width, so the terminal never wraps the line.
  const int room = FCon.Width() - 1 - static_cast<int>(line.size());
  if (room > 0) line += Tail(FItem, static_cast<size_t>(room));
  // Spaces rather than an erase sequence, which not every console knows.
  FCon.Err("\r" + PadTo(line, FCon.Width() - 1));
  FShown = true;
}

void TProgressBar::Clear() {
  if (!FShown) return;
  FCon.Err("\r" + std::string(static_cast<size_t>(std::max(FCon.Width() - 1, 0)), ' ') + "\r");
  FShown = false;
}
