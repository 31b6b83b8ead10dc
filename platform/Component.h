#pragma once
// TPersistent and TComponent: objects with Assign, and components with an
// owner that destroys what it owns, and a name.
#include <vector>

#include "Types.h"

class TPersistent {
 public:
  virtual ~TPersistent();
  // Copies Source's settings; a class that does not know Source raises
  // EConvertError.
  virtual void Assign(const TPersistent& Source);
  virtual const char* ClassName() const { return "TPersistent"; }

 protected:
  virtual void AssignTo(TPersistent& Dest) const;
};

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const char* ClassName() const override { return "TComponent"; }
  TComponent* Owner() const { return FOwner; }
  const String& Name() const { return FName; }
  void SetName(const String& Name) { FName = Name; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const { return FComponents.at(Index); }

 private:
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  String FName;
  std::vector<TComponent*> FComponents;
};
