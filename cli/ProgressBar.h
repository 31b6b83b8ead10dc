#pragma once
// A one-line progress bar on stderr: overall percentage and the current
// item. It shows only once a batch has run for a while, so short
// extractions print nothing of it, and it is cleared before any other line.
#include <chrono>
#include <string>

#include "Console.h"

class TProgressBar {
 public:
  TProgressBar(TConsole& Console, bool Enabled);
  ~TProgressBar() { Clear(); }

  void Item(const std::string& Name);
  void Overall(double Percent);
  void Clear();
  // After a prompt: time spent answering does not make a batch long.
  void Restart() { FStart = FCon.Now(); }

 private:
  void Draw();

  TConsole& FCon;
  bool FEnabled;
  bool FShown = false;
  std::chrono::steady_clock::time_point FStart;
  std::chrono::steady_clock::time_point FLastDraw;
  std::string FItem;
  double FPercent = 0;
};
