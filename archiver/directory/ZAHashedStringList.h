#pragma once
// A string list with hash indexes over its entries and over the name parts
// of name=value entries, so that IndexOf and IndexOfName cost one probe.
#include <memory>

#include "StringList.h"
#include "ZAStringHash.h"

// The index of a name list. Stored names differ mostly in a few digits, which
// the base rotation folds onto few values; this hash spreads every bit.
class TZANameIndexHash : public TZAStringHash {
 public:
  using TZAStringHash::TZAStringHash;
  uint32_t KeyHash(const String& Key) const override;
};

class TZAHashedStringList : public TStringList {
 public:
  TZAHashedStringList();
  ~TZAHashedStringList() override;
  const char* ClassName() const override { return "TZAHashedStringList"; }

  int Add(const String& S) override;
  // Through the base type too, a changed entry keeps the indexes in step.
  void Put(int Index, const String& S) override { Update(Index, S); }
  void Clear() override;
  void Delete(int Index) override;
  int IndexOf(const String& S) const override;
  int IndexOfName(const String& Name) const override;
  void Update(int Index, const String& NewValue);

  // Bucket count of the value index; 0 while there is none.
  uint32_t ValueHashSize() const { return FValueHash ? FValueHash->Size() : 0; }

 private:
  String KeyOf(const String& S) const;
  void RebuildValueHash() const;
  void RebuildNameHash() const;

  // Lookups build the indexes on demand.
  mutable std::unique_ptr<TZANameIndexHash> FValueHash;
  mutable std::unique_ptr<TZANameIndexHash> FNameHash;
  mutable bool FValueHashValid = true;
  mutable bool FNameHashValid = false;
};
