#include "HashDesc.h"

#include "ZAsha1.h"

namespace {

bool IsValidFor(PHashDesc Desc, int32_t AlgNum) {
  return Desc && Desc->HSig == C_HashSig && Desc->HAlgNum == AlgNum;
}

// Built on first use so that the start-up registration does not depend on
// the order in which translation units are initialised.
struct THashRegistry {
  std::array<PHashDesc, MaxHashAlgNum + 1> Slot{};

  THashRegistry() { Store(SHA1_Desc.HAlgNum, &SHA1_Desc); }

  void Store(int32_t AlgNum, PHashDesc Desc) {
    if (AlgNum < 0 || AlgNum > MaxHashAlgNum) return;
    if (!IsValidFor(Desc, AlgNum) || Desc->HDVersion != C_HashVers || Desc->HDSize != C_HashDescSize) return;
    Slot[static_cast<size_t>(AlgNum)] = Desc;
  }
};

THashRegistry& Registry() {
  static THashRegistry registry;
  return registry;
}

char UpCaseAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The name as it is compared: at most 19 characters, a to z upper-cased.
AnsiString ComparableName(const char* Name, size_t Length) {
  AnsiString s(Name, Length < 19 ? Length : 19);
  for (auto& c : s) c = UpCaseAscii(c);
  return s;
}

size_t NameLength(const THashName& Name) {
  size_t n = 0;
  while (n < Name.size() - 1 && Name[n] != '\0') ++n;
  return n;
}

}  // namespace

void RegisterHashDesc(int32_t AlgNum, PHashDesc Desc) { Registry().Store(AlgNum, Desc); }

PHashDesc FindHashByID(int32_t AlgNum) {
  if (AlgNum < 0 || AlgNum > MaxHashAlgNum) return nullptr;
  PHashDesc desc = Registry().Slot[static_cast<size_t>(AlgNum)];
  return IsValidFor(desc, AlgNum) ? desc : nullptr;
}

PHashDesc FindHashByName(const AnsiString& Name) {
  const AnsiString wanted = ComparableName(Name.data(), Name.size());
  const auto& slots = Registry().Slot;
  for (int32_t i = 0; i <= MaxHashAlgNum; ++i) {
    PHashDesc desc = slots[static_cast<size_t>(i)];
    if (IsValidFor(desc, i) && ComparableName(desc->HName.data(), NameLength(desc->HName)) == wanted)
      return desc;
  }
  return nullptr;
}

void HashFull(THashDigest& Digest, PHashDesc Desc, const void* Msg, int32_t Len) {
  if (!Desc || Desc->HSig != C_HashSig) return;
  THashContext context;
  Desc->HInit(context);
  Desc->HUpdateXL(context, Msg, Len);
  Desc->HFinal(context, Digest);
}
