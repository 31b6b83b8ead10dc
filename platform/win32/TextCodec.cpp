// The system's ANSI and OEM code pages through the Win32 conversions.
#include "TextCodec.h"

#include "WideString.h"

// winuser.h still maps the old name OemToAnsi onto OemToCharA.
#undef OemToAnsi

namespace {

String DecodeCodePage(UINT CodePage, const AnsiString& bytes) {
  if (bytes.empty()) return String();
  const int Size = static_cast<int>(bytes.size());
  const int Length = MultiByteToWideChar(CodePage, 0, bytes.data(), Size, nullptr, 0);
  String Text(static_cast<size_t>(Length), u'\0');
  MultiByteToWideChar(CodePage, 0, bytes.data(), Size, reinterpret_cast<wchar_t*>(Text.data()), Length);
  return Text;
}

AnsiString EncodeCodePage(UINT CodePage, const String& text) {
  if (text.empty()) return AnsiString();
  const auto* Wide = reinterpret_cast<const wchar_t*>(text.data());
  const int Size = static_cast<int>(text.size());
  // No best fit: a look-alike would change a password's bytes from those the
  // POSIX build derives, or turn a full-width solidus into a real delimiter.
  // UTF-8 as the ANSI page takes no flags, and maps everything anyway.
  DWORD Flags = WC_NO_BEST_FIT_CHARS;
  int Length = WideCharToMultiByte(CodePage, Flags, Wide, Size, nullptr, 0, nullptr, nullptr);
  if (Length == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    Flags = 0;
    Length = WideCharToMultiByte(CodePage, Flags, Wide, Size, nullptr, 0, nullptr, nullptr);
  }
  AnsiString Bytes(static_cast<size_t>(Length), '\0');
  WideCharToMultiByte(CodePage, Flags, Wide, Size, Bytes.data(), Length, nullptr, nullptr);
  return Bytes;
}

}  // namespace

String AnsiToString(const AnsiString& bytes) { return DecodeCodePage(CP_ACP, bytes); }

AnsiString StringToAnsi(const String& text) { return EncodeCodePage(CP_ACP, text); }

String OemToString(const AnsiString& bytes) { return DecodeCodePage(CP_OEMCP, bytes); }

// One byte in, one byte out: the system's own conversion, best-fit included.
AnsiString OemToAnsi(const AnsiString& bytes) {
  AnsiString Result(bytes.size(), '\0');
  if (!bytes.empty()) OemToCharBuffA(bytes.data(), Result.data(), static_cast<DWORD>(bytes.size()));
  return Result;
}
