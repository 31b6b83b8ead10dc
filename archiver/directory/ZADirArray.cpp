#include "ZADirArray.h"

#include <algorithm>

#include "ZAExcept.h"
#include "ZAStrFunc.h"

TZADirArray::TZADirArray() = default;

TZADirArray::~TZADirArray() { Clear(); }

void TZADirArray::SetCount(int32_t Value) {
  if (FAllocItemCount < Value) {
    AllocBy = std::min(2 * AllocBy, MaxAllocBy);
    FAllocItemCount = std::max(FAllocItemCount + AllocBy, Value);
    FItems.resize(static_cast<size_t>(FAllocItemCount));
  } else if (Value == 0) {
    FItems.clear();
    FItems.shrink_to_fit();
    FAllocItemCount = 0;
  }
  ItemCount = Value;
}

void TZADirArray::GetItem(int32_t Index, TDirItem& Item) const {
  if (Index < 0 || Index >= ItemCount) throw EZAException(2, nullptr);
  Item = FItems[Index];
}

TDirItem& TZADirArray::ItemPtr(int32_t Index) {
  if (Index < 0 || Index >= ItemCount) throw EZAException(3, nullptr);
  return FItems[Index];
}

const TDirItem& TZADirArray::ItemPtr(int32_t Index) const {
  if (Index < 0 || Index >= ItemCount) throw EZAException(3, nullptr);
  return FItems[Index];
}

void TZADirArray::SetItem(int32_t Index, const TDirItem& Item) {
  if (Index < 0 || Index >= ItemCount) throw EZAException(1, nullptr);
  const int indexed = FItemNamesList.Count();
  if (Index > indexed) throw EZAException(58, nullptr);
  if (Index < indexed)
    FItemNamesList.Update(Index, LowerCaseAscii(Item.Name));
  else
    FItemNamesList.Add(LowerCaseAscii(Item.Name));
  // Extra blocks are values: the copy owns blocks of its own.
  FItems[Index] = Item;
}

void TZADirArray::Clear() {
  for (int32_t i = 0; i < ItemCount; ++i) FItems[i].ExtraFields.clear();
  ItemCount = 0;
  FItemNamesList.Clear();
}

void TZADirArray::Assign(const TZADirArray& da) {
  Clear();
  SetCount(da.Count());
  for (int32_t i = 0; i < da.Count(); ++i) SetItem(i, da.FItems[i]);
}

void TZADirArray::DeleteItem(int32_t Index) {
  if (Index < 0 || Index >= ItemCount) throw EZAException(4, nullptr);
  // Equal names up to case share a key: the entry at Index is the item's own.
  if (Index < FItemNamesList.Count() &&
      FItemNamesList.Get(Index) == LowerCaseAscii(FItems[Index].Name))
    FItemNamesList.Delete(Index);
  else if (const int entry = FItemNamesList.IndexOf(LowerCaseAscii(FItems[Index].Name)); entry >= 0)
    FItemNamesList.Delete(entry);
  FItems.erase(FItems.begin() + Index);
  FItems.emplace_back();  // the allocation keeps its size
  --ItemCount;
}

void TZADirArray::ClearTags() {
  for (int32_t i = 0; i < ItemCount; ++i) FItems[i].Tagged = false;
}

bool TZADirArray::FileExists(const String& FileName, int32_t& ItemNo) const {
  ItemNo = FItemNamesList.IndexOf(LowerCaseAscii(FileName));
  return ItemNo >= 0;
}

void TZADirArray::SetItemName(int32_t Index, const String& Name) {
  const int found = FItemNamesList.IndexOf(LowerCaseAscii(ItemPtr(Index).Name));
  if (found < 0)
    FItemNamesList.Add(LowerCaseAscii(Name));
  else if (found == Index)
    FItemNamesList.Update(Index, LowerCaseAscii(Name));
  else
    throw EZAException(59, nullptr);
  FItems[Index].Name = Name;
}
