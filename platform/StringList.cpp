#include "StringList.h"

#include "Format.h"

namespace {

// Simple (one to one) lower-case mapping of the BMP's cased scripts. A range
// maps First..Last by Delta; with Step 2 only every other code point from
// First is a capital, the one after it its small letter.
struct TFoldRange {
  char16_t First, Last;
  int32_t Delta;
  int Step;
};

constexpr TFoldRange FoldRanges[] = {
    {0x00C0, 0x00D6, 32, 1},    {0x00D8, 0x00DE, 32, 1},    {0x0100, 0x012F, 1, 2},
    {0x0130, 0x0130, -199, 1},  {0x0132, 0x0137, 1, 2},     {0x0139, 0x0148, 1, 2},
    {0x014A, 0x0177, 1, 2},     {0x0178, 0x0178, -121, 1},  {0x0179, 0x017E, 1, 2},
    {0x01C4, 0x01C4, 2, 1},     {0x01C7, 0x01C7, 2, 1},     {0x01CA, 0x01CA, 2, 1},
    {0x01CD, 0x01DC, 1, 2},     {0x01DE, 0x01EF, 1, 2},     {0x01F1, 0x01F1, 2, 1},
    {0x01F4, 0x01F5, 1, 2},     {0x01F8, 0x021F, 1, 2},     {0x0222, 0x0233, 1, 2},
    {0x0386, 0x0386, 38, 1},    {0x0388, 0x038A, 37, 1},    {0x038C, 0x038C, 64, 1},
    {0x038E, 0x038F, 63, 1},    {0x0391, 0x03A1, 32, 1},    {0x03A3, 0x03AB, 32, 1},
    {0x03D8, 0x03EF, 1, 2},     {0x0400, 0x040F, 80, 1},    {0x0410, 0x042F, 32, 1},
    {0x0460, 0x0481, 1, 2},     {0x048A, 0x04BF, 1, 2},     {0x04C0, 0x04C0, 15, 1},
    {0x04C1, 0x04CE, 1, 2},     {0x04D0, 0x052F, 1, 2},     {0x0531, 0x0556, 48, 1},
    {0x10A0, 0x10C5, 7264, 1},  {0x1E00, 0x1E95, 1, 2},     {0x1E9E, 0x1E9E, -7615, 1},
    {0x1EA0, 0x1EFF, 1, 2},     {0x1F08, 0x1F0F, -8, 1},    {0x1F18, 0x1F1D, -8, 1},
    {0x1F28, 0x1F2F, -8, 1},    {0x1F38, 0x1F3F, -8, 1},    {0x1F48, 0x1F4D, -8, 1},
    {0x1F59, 0x1F5F, -8, 2},    {0x1F68, 0x1F6F, -8, 1},    {0x1FB8, 0x1FB9, -8, 1},
    {0x1FBA, 0x1FBB, -74, 1},   {0x1FC8, 0x1FCB, -86, 1},   {0x1FD8, 0x1FD9, -8, 1},
    {0x1FDA, 0x1FDB, -100, 1},  {0x1FE8, 0x1FE9, -8, 1},    {0x1FEA, 0x1FEB, -112, 1},
    {0x1FEC, 0x1FEC, -7, 1},    {0x1FF8, 0x1FF9, -128, 1},  {0x1FFA, 0x1FFB, -126, 1},
    {0x2126, 0x2126, -7517, 1}, {0x212A, 0x212A, -8383, 1}, {0x212B, 0x212B, -8262, 1},
    {0x2160, 0x216F, 16, 1},    {0x24B6, 0x24CF, 26, 1},    {0x2C00, 0x2C2F, 48, 1},
    {0x2C80, 0x2CE3, 1, 2},     {0xA640, 0xA66D, 1, 2},     {0xA680, 0xA69B, 1, 2},
    {0xA722, 0xA72F, 1, 2},     {0xA732, 0xA76F, 1, 2},     {0xA779, 0xA77C, 1, 2},
    {0xA77E, 0xA787, 1, 2},     {0xA790, 0xA793, 1, 2},     {0xA796, 0xA7A9, 1, 2},
    {0xFF21, 0xFF3A, 32, 1},
};

char16_t FoldCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  for (const TFoldRange& r : FoldRanges) {
    if (c < r.First) break;
    if (c <= r.Last && (c - r.First) % r.Step == 0) return static_cast<char16_t>(c + r.Delta);
  }
  return c;
}

[[noreturn]] void ListIndexError(int Index) {
  throw EStringListError(Format(u"List index out of bounds (%d)", {int64_t{Index}}));
}

}  // namespace

TStringList::~TStringList() = default;

void TStringList::Assign(const TPersistent& Source) {
  if (const auto* list = dynamic_cast<const TStringList*>(&Source)) {
    if (list == this) return;
    // Through the virtual members, so that a derived list keeps its index.
    Clear();
    for (const String& s : list->FList) Add(s);
    return;
  }
  TPersistent::Assign(Source);
}

const String& TStringList::Get(int Index) const {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  return FList[static_cast<size_t>(Index)];
}

void TStringList::Put(int Index, const String& S) {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  FList[static_cast<size_t>(Index)] = S;
}

int TStringList::Add(const String& S) {
  FList.push_back(S);
  return Count() - 1;
}

void TStringList::Clear() { FList.clear(); }

void TStringList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  FList.erase(FList.begin() + Index);
}

int TStringList::IndexOf(const String& S) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(FList[static_cast<size_t>(i)], S)) return i;
  return -1;
}

int TStringList::IndexOfName(const String& Name) const {
  for (int i = 0; i < Count(); ++i) {
    const String& s = FList[static_cast<size_t>(i)];
    const size_t sep = s.find(NameValueSeparator);
    if (sep != String::npos && SameText(s.substr(0, sep), Name)) return i;
  }
  return -1;
}

bool TStringList::SameText(const String& A, const String& B) const {
  if (FCaseSensitive) return A == B;
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i)
    if (FoldCase(A[i]) != FoldCase(B[i])) return false;
  return true;
}
