#include "ZASpanning.h"

void TZAVolumeNumberInfo::Init() {
  FVolumeKind = vnkUnknown;
  FVolumeNumber = -1;
  FLastVolumeNumber = -1;
}

void TZAVolumeNumberInfo::SetFirstVolume(bool Value) {
  if (!Value) return;
  FVolumeNumber = 0;
  FVolumeKind = vnkFirst;
}

bool TZAVolumeNumberInfo::LastVolume() const {
  if (FLastVolumeNumber == -1) return FVolumeKind == vnkLast;
  return FVolumeNumber == FLastVolumeNumber;
}

void TZAVolumeNumberInfo::SetLastVolume(bool Value) {
  if (!Value) return;
  FVolumeNumber = FLastVolumeNumber;
  FVolumeKind = vnkLast;
}

void TZAVolumeNumberInfo::SetVolumeNumber(int Value) {
  FVolumeNumber = Value;
  FVolumeKind = vnkCustom;
}

void TZAVolumeNumberInfo::TakeVolume(const TZAVolumeNumberInfo& Other) {
  FVolumeNumber = Other.FVolumeNumber;
  FVolumeKind = Other.FVolumeKind;
}

bool TZAVolumeNumberInfo::IsEqualTo(const TZAVolumeNumberInfo& VolumeInfo) const {
  if (LastVolume()) return VolumeInfo.LastVolume();
  if (FirstVolume()) return VolumeInfo.FirstVolume();
  if (FVolumeNumber < 0) return FVolumeKind == VolumeInfo.FVolumeKind;
  return FVolumeNumber == VolumeInfo.FVolumeNumber;
}

void TZASpanningOptions::Assign(const TPersistent& Source) {
  if (auto* other = dynamic_cast<const TZASpanningOptions*>(&Source)) {
    FAdvancedNaming = other->FAdvancedNaming;
    FFirstVolumeSize = other->FFirstVolumeSize;
    FVolumeSize = other->FVolumeSize;
    FCustomVolumeSize = other->FCustomVolumeSize;
    FSaveDirToFirstVolume = other->FSaveDirToFirstVolume;
    return;
  }
  TPersistent::Assign(Source);
}

void TZASpanningOptions::SetCustomVolumeSize(int64_t Value) {
  FCustomVolumeSize = Value < 65536 ? 65536 : Value;
}

int64_t TZASpanningOptions::GetVolumeSize(const TZAVolumeNumberInfo& VolumeNumberInfo) const {
  if (VolumeNumberInfo.FirstVolume() && FFirstVolumeSize > 0) return FFirstVolumeSize;
  switch (FVolumeSize) {
    case vsCustom: return FCustomVolumeSize;
    case vs1_44MB: return 1457664;
    case vs100MB: return 104857600;
    case vs200MB: return 209715200;
    case vs250MB: return 262144000;
    case vs600MB: return 629145600;
    case vs650MB: return 681574400;
    case vs700MB: return 734003200;
    case vs4700MB: return 4928307200LL;
    case vsAutoDetect: break;
  }
  return -1;
}
