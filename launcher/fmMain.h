#pragma once
// The launcher's main window. While it is being created it unpacks the tools
// embedded in the program into the working folder; each button starts one.
#include "Types.h"
#include "win32/Forms.h"

class TMainForm : public TForm {
 public:
  explicit TMainForm(TComponent* AOwner);
  const char* ClassName() const override { return "TMainForm"; }

  TImage* Image1;
  TButton* Button1;
  TButton* Button2;

  void FormCreate(TComponent* Sender);
  void ButtonClick(TComponent* Sender);

  // Writes the program's RCDATA resource ResName to FileName; whether the
  // file exists afterwards. Never raises.
  bool SaveResourceToFile(const String& ResName, const String& FileName);
  // Starts FileName through the shell, in its own folder, when it exists.
  bool LaunchFile(const String& FileName);
};

extern TMainForm* MainForm;
// The temporary folder, the caption and a backslash; set by FormCreate.
extern String WorkDir;
