#include "ZAStringHash.h"

#include <algorithm>

TZAStringHash::TZAStringHash(uint32_t aSize)
    : Buckets(std::max<uint32_t>(aSize, 1), kNone), FSize(std::max<uint32_t>(aSize, 1)) {}

TZAStringHash::~TZAStringHash() = default;

uint32_t TZAStringHash::KeyHash(const String& Key) const {
  uint32_t h = 0;
  for (char16_t c : Key) h = ((h << 2) | (h >> 30)) ^ c;
  return h;
}

bool TZAStringHash::KeyEquals(const THashItem& Item, uint32_t Hash, const String& Key) const {
  return Item.Hash == Hash && Item.KeyLength == Key.size() &&
         std::equal(Key.begin(), Key.end(), FKeys.begin() + Item.KeyOffset);
}

void TZAStringHash::Add(const String& Key, int32_t Value) {
  const uint32_t hash = KeyHash(Key);
  int32_t& head = Buckets[hash % FSize];
  const THashItem item{head, hash, Value, static_cast<uint32_t>(FKeys.size()),
                       static_cast<uint32_t>(Key.size())};
  FKeys += Key;
  int32_t node;
  if (FFreeNodes != kNone) {
    node = FFreeNodes;
    FFreeNodes = FNodes[node].Next;
    FNodes[node] = item;
  } else {
    node = static_cast<int32_t>(FNodes.size());
    FNodes.push_back(item);
  }
  head = node;
}

int32_t* TZAStringHash::FindSlot(const String& Key, uint32_t Hash) {
  int32_t* link = &Buckets[Hash % FSize];
  while (*link != kNone && !KeyEquals(FNodes[*link], Hash, Key)) link = &FNodes[*link].Next;
  return link;
}

int32_t TZAStringHash::ValueOf(const String& Key) const {
  const uint32_t hash = KeyHash(Key);
  for (int32_t node = Buckets[hash % FSize]; node != kNone; node = FNodes[node].Next)
    if (KeyEquals(FNodes[node], hash, Key)) return FNodes[node].Value;
  return -1;
}

void TZAStringHash::Remove(const String& Key) {
  int32_t* link = FindSlot(Key, KeyHash(Key));
  if (*link == kNone) return;
  const int32_t node = *link;
  *link = FNodes[node].Next;
  FNodes[node].Next = FFreeNodes;
  FFreeNodes = node;
}

void TZAStringHash::Clear() {
  Buckets.assign(FSize, kNone);
  FNodes.clear();
  FKeys.clear();
  FFreeNodes = kNone;
}
