#include "fmMain.h"

#include <memory>

#include "Dialogs.h"
#include "FileSystem.h"
#include "ZipArchiver.h"
#include "win32/ResourceStream.h"

#include <windows.h>
#include <shellapi.h>

TMainForm* MainForm = nullptr;
String WorkDir;

namespace {

const wchar_t* const RCData = MAKEINTRESOURCEW(10);

String FolderOf(const String& FileName) {
  return FileName.substr(0, FileName.find_last_of(u"\\:") + 1);
}

// A directory junction or link in the temporary archive's place is removed
// as a folder; any other failure is left in the thread's last error.
void DeleteTempArchive(const String& FileName) {
  const wchar_t* Name = reinterpret_cast<const wchar_t*>(FileName.c_str());
  if (DeleteFileW(Name)) return;
  const DWORD Error = GetLastError();
  const DWORD Attributes = GetFileAttributesW(Name);
  const DWORD Link = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;
  if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & Link) == Link)
    RemoveDirectoryW(Name);
  else
    SetLastError(Error);
}

}  // namespace

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"MainForm");
  SetCaption(u"Vantrel 1.0 www.vantrel.example");
  SetClientSize(349, 115);
  SetPosition(TPosition::poScreenCenter);
  SetColor(clBtnFace);
  Font().Name = u"宋体";
  Font().Charset = GB2312_CHARSET;
  Font().Height = -12;
  Font().Color = clWindowText;
  OnCreate = [this](TComponent* Sender) { FormCreate(Sender); };

  Image1 = new TImage(this);  // owned by the form, as every control below
  Image1->SetName(u"Image1");
  Image1->SetParent(this);
  Image1->SetBounds(144, 24, 185, 65);
  TResourceStream Banner(nullptr, u"BANNER", RCData);
  Image1->Picture().LoadFromStream(Banner);

  Button1 = new TButton(this);
  Button1->SetName(u"Button1");
  Button1->SetParent(this);
  Button1->SetBounds(32, 24, 75, 25);
  Button1->SetCaption(u"IE设置工具");
  Button1->SetHint(u"IEsetup.exe");
  Button1->SetTabOrder(0);
  Button1->OnClick = [this](TComponent* Sender) { ButtonClick(Sender); };

  Button2 = new TButton(this);
  Button2->SetName(u"Button2");
  Button2->SetParent(this);
  Button2->SetBounds(32, 64, 75, 25);
  Button2->SetCaption(u"IE修复工具");
  Button2->SetHint(u"ie_tool.exe");
  Button2->SetHelpType(THelpType::htKeyword);
  Button2->SetTabOrder(1);
  Button2->OnClick = [this](TComponent* Sender) { ButtonClick(Sender); };
}

void TMainForm::FormCreate(TComponent* Sender) {
  const String TempFile = CreateUniqueTempFile(TempFolder(), u"tmp");
  if (TempFile.empty()) {
    const int Error = LastOSError();
    throw EInOutError(SysErrorMessage(Error), Error);
  }
  String Dir = LongPathName(TempFolder()) + Caption();
  if (Dir.back() != u'\\') Dir += u'\\';
  WorkDir = Dir;

  // Nothing to unpack, and nothing to say: the empty temporary file stays.
  if (!SaveResourceToFile(u"ieTools", TempFile)) return;

  auto Archiver = std::make_unique<TZipArchiver>(this);
  try {
    Archiver->SetFileName(TempFile);
    Archiver->OpenArchive();
    Archiver->SetBaseDir(WorkDir);
    Archiver->ExtractFiles(u"*.*", 10431, u"");
    Archiver->CloseArchive();
    DeleteTempArchive(TempFile);
  } catch (...) {
    // The temporary archive is kept: it shows what could not be unpacked.
    Dialogs().ShowMessage(u"初始化错误", String(), TMsgDlgType::mtCustom);
  }
  Archiver.reset();
}

bool TMainForm::SaveResourceToFile(const String& ResName, const String& FileName) {
  try {
    TResourceStream Resource(nullptr, ResName, RCData);
    Resource.SaveToFile(FileName);
    return FileExists(FileName);
  } catch (...) {
    return false;
  }
}

void TMainForm::ButtonClick(TComponent* Sender) {
  LaunchFile(WorkDir + static_cast<TButton*>(Sender)->Hint());
}

bool TMainForm::LaunchFile(const String& FileName) {
  if (!FileExists(FileName)) return false;
  const String Directory = FolderOf(FileName);
  // No SEE_MASK_FLAG_NO_UI: when the file cannot be started, the shell says so.
  SHELLEXECUTEINFOW Info{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SEE_MASK_NOCLOSEPROCESS;
  Info.lpFile = reinterpret_cast<const wchar_t*>(FileName.c_str());
  Info.lpDirectory = reinterpret_cast<const wchar_t*>(Directory.c_str());
  Info.nShow = SW_SHOWNORMAL;
  const bool Started = ShellExecuteExW(&Info);
  // The tool runs on its own; nothing waits for it.
  if (Info.hProcess) CloseHandle(Info.hProcess);
  return Started;
}
