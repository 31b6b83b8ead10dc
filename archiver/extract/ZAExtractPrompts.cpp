// The default prompts of extraction: overwrite, item failure and full disk,
// used when the host assigned no handler.
#include "Dialogs.h"
#include "FileSystem.h"
#include "Format.h"
#include "ZAExcept.h"
#include "ZipArchiver.h"

void TZABaseArchiver::DoConfirmOverwrite(const String& SourceFileName, String& DestFileName,
                                         bool& Confirm) {
  if (OnConfirmOverwrite) {
    OnConfirmOverwrite(this, SourceFileName, DestFileName, Confirm);
    return;
  }
  const String text = Format(u"Overwrite file \"%s\" with \"%s\"", {DestFileName, SourceFileName});
  switch (Dialogs().MessageDlg(text, TMsgDlgType::mtConfirmation,
                               mbYes | mbNo | mbNoToAll | mbYesToAll)) {
    case mrYes:
      Confirm = true;
      break;
    case mrYesToAll:
      Confirm = true;
      FOptions->SetOverwriteMode(omAlways);
      break;
    case mrNoToAll:
      Confirm = false;
      FOptions->SetOverwriteMode(omNever);
      break;
    default:
      Confirm = false;
      break;
  }
}

void TZABaseArchiver::DoProcessFileFailure(const String& FileName, TZAProcessOperation Operation,
                                           int NativeError, int ErrorCode,
                                           const String& ErrorMessage, TZAAction& Action) {
  Action = fxaIgnore;
  if (OnProcessFileFailure) {
    OnProcessFileFailure(this, FileName, Operation, NativeError, ErrorCode, ErrorMessage, Action);
    return;
  }
  int answer;
  if (NativeError == 45) {
    // The user already declined the volume request.
    Action = fxaAbort;
    return;
  } else if (NativeError == 61) {
    answer = Dialogs().MessageDlg(ErrorMessage, TMsgDlgType::mtConfirmation, mbAbort | mbIgnore);
  } else {
    answer = Dialogs().MessageDlg(
        Format(u"%s. File processing error, possibly disk is full", {ErrorMessage}),
        TMsgDlgType::mtConfirmation, mbAbort | mbRetry | mbIgnore);
  }
  switch (answer) {
    case mrRetry: Action = fxaRetry; break;
    case mrIgnore: Action = fxaIgnore; break;
    default: Action = fxaAbort; break;
  }
}

void TZABaseArchiver::DoDiskFull(int VolumeNumber, const String& VolumeFileName, bool& Cancel) {
  Cancel = false;
  if (OnDiskFull) {
    OnDiskFull(this, VolumeNumber + 1, VolumeFileName, Cancel);
    return;
  }
  if (FSpanningMode != smSpanning) throw EZAException(65, nullptr);
  TZAVolumeNumberInfo volume;
  volume.SetVolumeNumber(VolumeNumber);
  const String text = Format(
      u"Disk is full. Required free space: %d bytes, but available only: %d bytes. Clean the disk "
      u"or find another blank disk",
      {FSpanningOptions->GetVolumeSize(volume), DiskFreeOf(VolumeFileName)});
  Cancel = Dialogs().MessageDlg(text, TMsgDlgType::mtConfirmation, mbOK | mbCancel) != mrOk;
}
