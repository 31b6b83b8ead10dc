#pragma once
// A chained hash table from strings to numbers with a fixed bucket count.
// Equal keys may coexist; the one added last is found first.
#include <cstdint>
#include <vector>

#include "Types.h"

class TZAStringHash {
 public:
  explicit TZAStringHash(uint32_t aSize);
  virtual ~TZAStringHash();
  TZAStringHash(const TZAStringHash&) = delete;
  TZAStringHash& operator=(const TZAStringHash&) = delete;

  // Rotates left by two and xors each code unit.
  virtual uint32_t KeyHash(const String& Key) const;

  void Add(const String& Key, int32_t Value);
  int32_t ValueOf(const String& Key) const;
  void Remove(const String& Key);
  void Clear();
  uint32_t Size() const { return FSize; }

 private:
  // Nodes live in one pool and link by index, and keys in one character
  // arena, so that neither a long chain nor clearing a large table recurses
  // or allocates per node, and a probe touches few cache lines. The stored
  // hash spares comparing keys of other chains' worth.
  struct THashItem {
    int32_t Next;
    uint32_t Hash;
    int32_t Value;
    uint32_t KeyOffset;
    uint32_t KeyLength;
  };
  bool KeyEquals(const THashItem& Item, uint32_t Hash, const String& Key) const;
  static constexpr int32_t kNone = -1;

  // The link that points to the first node whose key equals Key, or the
  // empty link at the end of its chain.
  int32_t* FindSlot(const String& Key, uint32_t Hash);

  std::vector<int32_t> Buckets;
  std::vector<THashItem> FNodes;
  String FKeys;  // removed keys stay until Clear
  int32_t FFreeNodes = kNone;
  uint32_t FSize;
};
