#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Component.h"
#include "Exceptions.h"
#include "StringList.h"

using ::testing::UnorderedElementsAre;

namespace {

// Notes its destruction, so that who destroyed what, and how often, shows.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* AOwner, const String& Name, std::vector<String>& Log)
      : TComponent(AOwner), FLog(Log) {
    SetName(Name);
  }
  ~TProbe() override { FLog.push_back(Name()); }

 private:
  std::vector<String>& FLog;
};

TEST(Component, OwnerDestroysEverythingBelowIt) {
  std::vector<String> log;
  auto* root = new TProbe(nullptr, u"root", log);
  auto* a = new TProbe(root, u"a", log);
  new TProbe(root, u"b", log);
  new TProbe(a, u"a1", log);
  ASSERT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(root->Components(0), a);
  EXPECT_EQ(a->Owner(), root);

  delete root;
  EXPECT_THAT(log, UnorderedElementsAre(u"root", u"a", u"b", u"a1"));
}

TEST(Component, ExplicitlyDestroyedComponentLeavesItsOwner) {
  std::vector<String> log;
  {
    TComponent owner(nullptr);
    auto* a = new TProbe(&owner, u"a", log);
    auto* b = new TProbe(&owner, u"b", log);
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
  }
  // Destroyed once each: the owner no longer knew about a.
  EXPECT_EQ(log, (std::vector<String>{u"a", u"b"}));
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaisesConvertError) {
  TComponent component(nullptr);
  TStringList list;
  const struct {
    TPersistent& Dest;
    const TPersistent& Source;
    const char16_t* Message;
  } cases[] = {
      {component, list, u"Cannot assign a TStringList to a TComponent"},
      {list, component, u"Cannot assign a TComponent to a TStringList"},
  };
  for (const auto& c : cases) {
    try {
      c.Dest.Assign(c.Source);
      ADD_FAILURE() << "no EConvertError for: " << testing::PrintToString(String(c.Message));
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
}

}  // namespace
