// The launcher program: the main window unpacks the tools while it is
// created, then the message loop runs until it is closed. Nothing is torn
// down on the way out: the unpacked tools stay.
#include "fmMain.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  Application->CreateForm(MainForm);
  Application->Run();
  return 0;
}
