#include "ZAHashedStringList.h"

#include <algorithm>

#include "ZAStrFunc.h"

namespace {
constexpr uint32_t kMinValueBuckets = 1000;
constexpr uint32_t kNameBuckets = 256;
// Past this many entries per bucket the value index is dropped and rebuilt larger.
constexpr int kMaxLoad = 5;
}  // namespace

uint32_t TZANameIndexHash::KeyHash(const String& Key) const {
  // FNV-1a over the code units, then a final avalanche.
  uint32_t h = 2166136261u;
  for (char16_t c : Key) h = (h ^ c) * 16777619u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  return h;
}

TZAHashedStringList::TZAHashedStringList() = default;

TZAHashedStringList::~TZAHashedStringList() = default;

String TZAHashedStringList::KeyOf(const String& S) const {
  return CaseSensitive() ? S : LowerCaseAscii(S);
}

int TZAHashedStringList::Add(const String& S) {
  const int index = TStringList::Add(S);
  FNameHashValid = false;
  if (FValueHash && FValueHashValid) {
    FValueHash->Add(KeyOf(S), index);
    if (static_cast<int64_t>(Count()) > static_cast<int64_t>(kMaxLoad) * FValueHash->Size()) {
      FValueHash.reset();
      FValueHashValid = false;
    }
  }
  return index;
}

void TZAHashedStringList::Update(int Index, const String& NewValue) {
  if (FValueHash) FValueHash->Remove(KeyOf(Get(Index)));
  TStringList::Put(Index, NewValue);
  FNameHashValid = false;
  if (FValueHash) FValueHash->Add(KeyOf(NewValue), Index);
}

void TZAHashedStringList::Delete(int Index) {
  TStringList::Delete(Index);
  FValueHashValid = false;
  FNameHashValid = false;
}

void TZAHashedStringList::Clear() {
  TStringList::Clear();
  if (FValueHash) FValueHash->Clear();
  FNameHashValid = false;
}

int TZAHashedStringList::IndexOf(const String& S) const {
  RebuildValueHash();
  return FValueHash->ValueOf(KeyOf(S));
}

int TZAHashedStringList::IndexOfName(const String& Name) const {
  RebuildNameHash();
  return FNameHash->ValueOf(KeyOf(Name));
}

void TZAHashedStringList::RebuildValueHash() const {
  if (!FValueHash)
    FValueHash = std::make_unique<TZANameIndexHash>(
        std::max<uint32_t>(static_cast<uint32_t>(Count()), kMinValueBuckets));
  else if (!FValueHashValid)
    FValueHash->Clear();
  else
    return;
  for (int i = 0; i < Count(); ++i) FValueHash->Add(KeyOf(Get(i)), i);
  FValueHashValid = true;
}

void TZAHashedStringList::RebuildNameHash() const {
  if (FNameHash && FNameHashValid) return;
  if (FNameHash)
    FNameHash->Clear();
  else
    FNameHash = std::make_unique<TZANameIndexHash>(kNameBuckets);
  for (int i = 0; i < Count(); ++i) {
    const String& entry = Get(i);
    const size_t eq = entry.find(NameValueSeparator);
    if (eq != String::npos) FNameHash->Add(KeyOf(entry.substr(0, eq)), i);
  }
  FNameHashValid = true;
}
