#include "ResourceStream.h"

#include <algorithm>
#include <cstring>

#include "FileStream.h"
#include "Format.h"
#include "WideString.h"

TResourceStream::TResourceStream(void* Instance, const String& ResName, const wchar_t* ResType) {
  const HMODULE Module = Instance ? static_cast<HMODULE>(Instance) : GetModuleHandleW(nullptr);
  const HRSRC Info = FindResourceW(Module, W(ResName), ResType);
  const HGLOBAL Data = Info ? LoadResource(Module, Info) : nullptr;
  if (!Data) throw EResNotFound(Format(u"Resource %s not found", {ResName}));
  // Resources stay mapped for the module's lifetime; nothing to free.
  FMemory = static_cast<const uint8_t*>(LockResource(Data));
  FSize = SizeofResource(Module, Info);
}

int64_t TResourceStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition < 0 || FPosition >= FSize) return 0;
  const int64_t n = std::min(Count, FSize - FPosition);
  std::memcpy(Buffer, FMemory + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TResourceStream::Write(const void*, int64_t) {
  throw EStreamError(u"Can't write to a read-only resource stream");
}

int64_t TResourceStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case TSeekOrigin::soBeginning: FPosition = Offset; break;
    case TSeekOrigin::soCurrent: FPosition += Offset; break;
    case TSeekOrigin::soEnd: FPosition = FSize + Offset; break;
  }
  return FPosition;
}

void TResourceStream::SetSize(int64_t) {
  throw EStreamError(u"Can't write to a read-only resource stream");
}

void TResourceStream::SaveToFile(const String& FileName) {
  TFileStream File(FileName, fmCreate);
  File.WriteBuffer(FMemory, FSize);
}
