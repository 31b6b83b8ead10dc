#pragma once
// Enumerations and event signatures shared by the engine and its hosts.
#include <cstdint>
#include <functional>

#include "Types.h"

class TZABaseArchiver;

enum TZAProcessOperation {
  poAdd, poMove, poDelete, poUpdate, poExtract, poTest, poRename, poChangeAttr, poChangeComment,
  poMakeSFX, poMerge
};
enum TZAProgressPhase { ppStart, ppProcess, ppEnd };
enum TZAAction { fxaRetry, fxaIgnore, fxaAbort };
enum TZAOverwriteMode { omPrompt, omAlways, omNever, omIfNewer, omIfOlder };
enum TZAStorePathMode { spNoPath, spRelativePath, spFullPath, spFullPathWithDrive };
enum TZASpanningMode { smNone, smSpanning, smSplitting };
enum TZACryptoAlgorithm { caPkzipClassic, caAES_128, caAES_192, caAES_256 };
enum TZAFileShareMode {
  smShareCompat, smShareExclusive, smShareDenyWrite, smShareDenyRead, smShareDenyNone
};
enum TZACompressionLevel { clNone, clFastest, clNormal, clMax };
enum TZip64Mode { zmDisabled, zmAuto, zmAlways };

using TNotifyEvent = std::function<void(TZABaseArchiver* Sender)>;
using TZAFileProgressEvent =
    std::function<void(TZABaseArchiver* Sender, const String& FileName, double Progress,
                       TZAProcessOperation Operation, TZAProgressPhase ProgressPhase, bool& Cancel)>;
using TZAProgressEvent =
    std::function<void(TZABaseArchiver* Sender, double Progress, TZAProcessOperation Operation,
                       TZAProgressPhase ProgressPhase, bool& Cancel)>;
using TZACopyTempFileProgressEvent = std::function<void(
    TZABaseArchiver* Sender, double Progress, TZAProgressPhase ProgressPhase, bool& Cancel)>;
using TZAConfirmOverwriteEvent =
    std::function<void(TZABaseArchiver* Sender, const String& SourceFileName,
                       String& DestFileName, bool& Confirm)>;
using TZAConfirmProcessFileEvent =
    std::function<void(TZABaseArchiver* Sender, const String& FileName,
                       TZAProcessOperation Operation, bool& Confirm)>;
using TZAOnPasswordEvent =
    std::function<void(TZABaseArchiver* Sender, const String& FileName, AnsiString& NewPassword,
                       bool& SkipFile)>;
using TZAProcessFileFailureEvent = std::function<void(
    TZABaseArchiver* Sender, const String& FileName, TZAProcessOperation Operation,
    int NativeError, int ErrorCode, const String& ErrorMessage, TZAAction& Action)>;
using TZAOnRequestFirstVolumeEvent =
    std::function<void(TZABaseArchiver* Sender, String& VolumeFileName, bool& Cancel)>;
using TZAOnRequestLastVolumeEvent =
    std::function<void(TZABaseArchiver* Sender, String& VolumeFileName, bool& Cancel)>;
using TZAOnRequestMiddleVolumeEvent = std::function<void(
    TZABaseArchiver* Sender, int VolumeNumber, String& VolumeFileName, bool& Cancel)>;
using TZAOnRequestBlankVolumeEvent = std::function<void(
    TZABaseArchiver* Sender, int VolumeNumber, String& VolumeFileName, bool& Cancel)>;
using TZAOnDiskFullEvent = std::function<void(TZABaseArchiver* Sender, int VolumeNumber,
                                              const String& VolumeFileName, bool& Cancel)>;
using TZAOnProcessVolumeFailureEvent = std::function<void(
    TZABaseArchiver* Sender, TZAProcessOperation Operation, int VolumeNumber,
    const String& VolumeFileName, bool& Cancel)>;
using TZAOnStoreFileEvent =
    std::function<void(TZABaseArchiver* Sender, String& FileName, int& FileAttr,
                       AnsiString& Comment, const String& OriginalFileName)>;
using TZAOnExtractFileEvent = std::function<void(TZABaseArchiver* Sender, String& FileName,
                                                 uint32_t& FileAttr, const AnsiString& Comment)>;
