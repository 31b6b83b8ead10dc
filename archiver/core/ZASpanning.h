#pragma once
// Volume naming and sizes, and the designation of one volume of a
// multi-volume archive.
#include <cstdint>

#include "Component.h"

enum TZAVolumeSize {
  vsAutoDetect, vsCustom, vs1_44MB, vs100MB, vs200MB, vs250MB, vs600MB, vs650MB, vs700MB, vs4700MB
};
enum TZAVolumeNumberKind { vnkFirst, vnkLast, vnkCustom, vnkUnknown };

class TZAVolumeNumberInfo {
 public:
  TZAVolumeNumberInfo() { Init(); }
  void Init();

  bool FirstVolume() const { return FVolumeNumber == 0; }
  void SetFirstVolume(bool Value);
  bool LastVolume() const;
  void SetLastVolume(bool Value);
  int VolumeNumber() const { return FVolumeNumber; }
  void SetVolumeNumber(int Value);
  int LastVolumeNumber() const { return FLastVolumeNumber; }
  void SetLastVolumeNumber(int Value) { FLastVolumeNumber = Value; }
  TZAVolumeNumberKind VolumeKind() const { return FVolumeKind; }
  // Takes Other's number and kind (the current volume after OpenVolume).
  void TakeVolume(const TZAVolumeNumberInfo& Other);
  bool IsEqualTo(const TZAVolumeNumberInfo& VolumeInfo) const;

 private:
  TZAVolumeNumberKind FVolumeKind = vnkUnknown;
  int FVolumeNumber = -1;
  int FLastVolumeNumber = -1;
};

class TZASpanningOptions : public TPersistent {
 public:
  const char* ClassName() const override { return "TZASpanningOptions"; }
  void Assign(const TPersistent& Source) override;

  bool AdvancedNaming() const { return FAdvancedNaming; }
  void SetAdvancedNaming(bool Value) { FAdvancedNaming = Value; }
  int64_t FirstVolumeSize() const { return FFirstVolumeSize; }
  void SetFirstVolumeSize(int64_t Value) { FFirstVolumeSize = Value; }
  TZAVolumeSize VolumeSize() const { return FVolumeSize; }
  void SetVolumeSize(TZAVolumeSize Value) { FVolumeSize = Value; }
  int64_t CustomVolumeSize() const { return FCustomVolumeSize; }
  // Volumes below 64 KiB are raised to 64 KiB.
  void SetCustomVolumeSize(int64_t Value);
  // The byte size of a volume when writing; -1 for no fixed size.
  int64_t GetVolumeSize(const TZAVolumeNumberInfo& VolumeNumberInfo) const;

 private:
  bool FAdvancedNaming = false;
  int64_t FFirstVolumeSize = 0;
  TZAVolumeSize FVolumeSize = vsAutoDetect;
  int64_t FCustomVolumeSize = 0;
  bool FSaveDirToFirstVolume = false;
};
