#include "ZAOptions.h"

void TZAOptions::Assign(const TPersistent& Source) {
  if (auto* other = dynamic_cast<const TZAOptions*>(&Source)) {
    FStorePath = other->FStorePath;
    FRecurse = other->FRecurse;
    FShareMode = other->FShareMode;
    FOverwriteMode = other->FOverwriteMode;
    FCreateDirs = other->FCreateDirs;
    FReplaceReadOnly = other->FReplaceReadOnly;
    FSetAttributes = other->FSetAttributes;
    FSearchAttr = other->FSearchAttr;
    FFlushBuffers = other->FFlushBuffers;
    FOEMFileNames = other->FOEMFileNames;
    return;
  }
  TPersistent::Assign(Source);
}
