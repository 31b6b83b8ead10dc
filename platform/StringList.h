#pragma once
// An ordered list of strings with virtual Add, Clear, Delete, IndexOf and
// IndexOfName, so that a derived list can keep an index of its own.
#include <vector>

#include "Component.h"
#include "Exceptions.h"

class TStringList : public TPersistent {
 public:
  TStringList() = default;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;
  ~TStringList() override;

  const char* ClassName() const override { return "TStringList"; }
  void Assign(const TPersistent& Source) override;

  int Count() const { return static_cast<int>(FList.size()); }
  // Raise EStringListError ("List index out of bounds (%d)") outside 0..Count-1.
  const String& Get(int Index) const;
  virtual void Put(int Index, const String& S);
  const String& operator[](int Index) const { return Get(Index); }

  virtual int Add(const String& S);
  virtual void Clear();
  virtual void Delete(int Index);
  // Compare case-insensitively unless CaseSensitive.
  virtual int IndexOf(const String& S) const;
  // Index of the first entry whose part before NameValueSeparator is Name.
  virtual int IndexOfName(const String& Name) const;

  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
  static constexpr char16_t NameValueSeparator = u'=';

 protected:
  bool SameText(const String& A, const String& B) const;

 private:
  std::vector<String> FList;
  bool FCaseSensitive = false;
};

class EStringListError : public Exception {
  using Exception::Exception;
};
