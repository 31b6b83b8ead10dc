#include "Component.h"

#include <algorithm>

#include "Exceptions.h"
#include "Format.h"
#include "TextCodec.h"

namespace {
String ClassNameOf(const TPersistent& object) { return Utf8ToString(object.ClassName()); }
}  // namespace

TPersistent::~TPersistent() = default;

void TPersistent::Assign(const TPersistent& Source) { Source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& Dest) const {
  throw EConvertError(
      Format(u"Cannot assign a %s to a %s", {ClassNameOf(*this), ClassNameOf(Dest)}));
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Last first; each one's destructor takes it off our list.
  while (!FComponents.empty()) delete FComponents.back();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it != FComponents.end()) FComponents.erase(it);
  AComponent->FOwner = nullptr;
}
