#include "ZAExcept.h"

#include <array>

#include "Component.h"

namespace {

const std::array<String, 41> kMessages = {
    u"Unknown error",
    u"Index out of bounds",
    u"Invalid compression mode. Mode must be in [0-9] range",
    u"Unexpected nil pointer",
    u"Invalid size or check sum of file or unsupported compression format",
    u"File name is blank. Specify appropriate file name",
    u"File \"%s\" not found",
    u"Archive is not open",
    u"SFXStub property is not specified",
    u"Cannot create file \"%s\"",
    u"Cannot create directory \"%s\"",
    u"Internal error. Update is not started",
    u"Cannot open file \"%s\"",
    u"Cannot proceed when update is not ended. Preceding EndUpdate call is required.",
    u"Cannot delete file \"%s\"",
    u"In-memory archive can be created only",
    u"File is open in read-only mode",
    u"Invalid compressed size, rfs.size = %d, count = %d",
    u"Invalid archive file.",
    u"Cannot create output file. Probably file is locked by another process. FileName = '%s'.",
    u"Archive is open. You should close it beore performing this operation.",
    u"Unable to create directory",
    u"Cannot find 64-bit directory end record",
    u"Cannot compress file '%s'. Zip64 mode is not enabled",
    u"Cannot open archive file. Opening aborted or invalid file",
    u"Write to stream error",
    u"Cannot place SFX stub on volume. Volume size limit is too small",
    u"Archive is damaged. Open failed",
    u"MakeSFX is not allowed for splitted or spanned archives. Set SFXStub before archive creation "
    u"instead of MakeSFX",
    u"Archive already has SFX stub",
    u"Multi-volume archive is not allowed for custom stream",
    u"Multi-spanned archive is not allowed for modification. Use BeginUpdate/EndUpdate methods to "
    u"add files several times",
    u"Deflate64 compression method is not supported",
    u"MakeSFX error",
    u"Hashed list of file names is invalid",
    u"Cannot delete folder \"%s\"",
    u"File name is too long: \r\n\"%s\"",
    u"Multiple transactions are not supported for multi-volume archives",
    u"Invalid InitVector index = %d. Index should be >= 0 and < %d",
    u"Disk is full. There is not enough free space on disk.",
    u"Invalid password. Cannot decompress encrypted file.",
};

// Error code of each native code 0..67, in native-code order.
constexpr std::array<int, 68> kNativeToError = {
    0,  1,  1,  1,  1,  2,  3,  1,  4,  5,   // 0-9
    5,  6,  6,  7,  7,  6,  1,  8,  6,  9,   // 10-19
    10, 1,  11, 9,  1,  11, 13, 14, 15, 5,   // 20-29
    6,  6,  16, 12, 17, 18, 19, 20, 6,  21,  // 30-39
    22, 23, 6,  23, 24, 24, 25, 26, 27, 28,  // 40-49
    29, 30, 31, 6,  6,  32, 33, 27, 34, 34,  // 50-59
    35, 36, 37, 38, 38, 39, 39, 40,          // 60-67
};

}  // namespace

const String& ZAErrorMessage(int ErrorCode) {
  if (ErrorCode < 0 || ErrorCode >= static_cast<int>(kMessages.size())) return kMessages[0];
  return kMessages[ErrorCode];
}

int ZAErrorCodeOf(int NativeErr) {
  if (NativeErr < 0 || NativeErr >= static_cast<int>(kNativeToError.size())) return 0;
  return kNativeToError[NativeErr];
}

String EZAException::BuildMessage(int NativeErr, String Text, const TComponent* Component) {
  if (Component && !Component->Name().empty()) Text = Format(u"%s: %s", {Component->Name(), Text});
  String native = Format(u"%5d", {static_cast<int64_t>(NativeErr)});
  for (auto& c : native)
    if (c == u' ') c = u'0';
  return Text + u" - Native error: " + native;
}

EZAException::EZAException(int NativeErr, const TComponent* Component)
    : Exception(BuildMessage(NativeErr, ZAErrorMessage(ZAErrorCodeOf(NativeErr)), Component)),
      ErrorCode(ZAErrorCodeOf(NativeErr)),
      NativeError(NativeErr) {}

EZAException::EZAException(int NativeErr, std::initializer_list<FormatArg> Args,
                           const TComponent* Component)
    : Exception(BuildMessage(NativeErr, Format(ZAErrorMessage(ZAErrorCodeOf(NativeErr)), Args),
                             Component)),
      ErrorCode(ZAErrorCodeOf(NativeErr)),
      NativeError(NativeErr) {}
