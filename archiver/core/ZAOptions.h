#pragma once
// The component's options and their defaults.
#include "Component.h"
#include "ZATypes.h"

class TZAOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TZAOptions"; }
  void Assign(const TPersistent& Source) override;

  TZAStorePathMode StorePath() const { return FStorePath; }
  void SetStorePath(TZAStorePathMode Value) { FStorePath = Value; }
  bool Recurse() const { return FRecurse; }
  void SetRecurse(bool Value) { FRecurse = Value; }
  TZAFileShareMode ShareMode() const { return FShareMode; }
  void SetShareMode(TZAFileShareMode Value) { FShareMode = Value; }
  TZAOverwriteMode OverwriteMode() const { return FOverwriteMode; }
  void SetOverwriteMode(TZAOverwriteMode Value) { FOverwriteMode = Value; }
  bool CreateDirs() const { return FCreateDirs; }
  void SetCreateDirs(bool Value) { FCreateDirs = Value; }
  bool ReplaceReadOnly() const { return FReplaceReadOnly; }
  void SetReplaceReadOnly(bool Value) { FReplaceReadOnly = Value; }
  bool SetAttributes() const { return FSetAttributes; }
  void SetSetAttributes(bool Value) { FSetAttributes = Value; }
  int SearchAttr() const { return FSearchAttr; }
  void SetSearchAttr(int Value) { FSearchAttr = Value; }
  bool FlushBuffers() const { return FFlushBuffers; }
  void SetFlushBuffers(bool Value) { FFlushBuffers = Value; }
  bool OEMFileNames() const { return FOEMFileNames; }
  void SetOEMFileNames(bool Value) { FOEMFileNames = Value; }

 private:
  TZAStorePathMode FStorePath = spRelativePath;
  bool FRecurse = true;
  TZAFileShareMode FShareMode = smShareDenyNone;
  TZAOverwriteMode FOverwriteMode = omAlways;
  bool FCreateDirs = true;
  bool FReplaceReadOnly = true;
  bool FSetAttributes = true;
  int FSearchAttr = 10431;
  bool FFlushBuffers = true;
  bool FOEMFileNames = true;
};
