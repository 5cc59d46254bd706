#include "classlib/core/Component.h"

#include <gtest/gtest.h>
#include <vector>

#include "classlib/core/TypInfo.h"

namespace {

std::vector<AnsiString> Destroyed;

// Logs what it is told and keeps one reference to another component, which it drops on removal.
class TWatcher : public TComponent {
  QUENDREL_CLASS(TWatcher, TComponent)
 public:
  explicit TWatcher(TComponent* AOwner, const char* name = "") : TComponent(AOwner) { SetName(name); }
  ~TWatcher() override { Destroyed.push_back(Name()); }

  TComponent* Link() const { return FLink; }
  void SetLink(TComponent* Value) {
    FLink = Value;
    if (Value) Value->FreeNotification(this);
  }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    Log.push_back((Operation == opInsert ? "+" : "-") + AComponent->Name());
    if (Operation == opRemove && AComponent == FLink) FLink = nullptr;
  }

  std::vector<AnsiString> Log;

 private:
  TComponent* FLink = nullptr;
};

} // namespace

QUENDREL_REGISTER_CLASS(TWatcher, TComponent) {
  c.Creatable();
  c.Property("Link", &TWatcher::Link, &TWatcher::SetLink);
}

TEST(Component, OwnerFreesWhatItOwnsNewestFirst) {
  Destroyed.clear();
  {
    TWatcher owner(nullptr, "Owner");
    auto* a = new TWatcher(&owner, "A");
    new TWatcher(a, "AChild");
    new TWatcher(&owner, "B");
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.Components(1)->Name(), "B");
    EXPECT_EQ(a->Owner(), &owner);
    EXPECT_EQ(a->ComponentIndex(), 0);
    EXPECT_THROW(owner.Components(2), EListError);
  }
  EXPECT_EQ(Destroyed, (std::vector<AnsiString>{"Owner", "B", "A", "AChild"}));
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwner) {
  TComponent owner(nullptr);
  auto* a = new TWatcher(&owner, "Button1");
  EXPECT_EQ(owner.FindComponent("BUTTON1"), a);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  auto* b = new TWatcher(&owner);
  EXPECT_THROW(b->SetName("button1"), EComponentError);
  EXPECT_THROW(b->SetName("1st"), EComponentError);
  EXPECT_THROW(b->SetName("with space"), EComponentError);
  b->SetName("Button2");
  a->SetName("BUTTON1"); // its own name in another case is fine
  EXPECT_EQ(a->Name(), "BUTTON1");

  // Moving to another owner checks the name there.
  TComponent other(nullptr);
  auto* clash = new TWatcher(&other, "Button2");
  EXPECT_THROW(owner.InsertComponent(clash), EComponentError);
  EXPECT_EQ(clash->Owner(), &other);
  other.RemoveComponent(clash);
  delete clash; // no owner any more
}

TEST(Component, SiblingsHearOfInsertionAndRemoval) {
  TComponent owner(nullptr);
  auto* watcher = new TWatcher(&owner, "Watcher");
  auto* other = new TWatcher(&owner, "Other");
  watcher->Log.clear();
  auto* late = new TWatcher(&owner, "");
  late->SetName("Late"); // named after insertion: the log shows the name at that time
  delete other;
  EXPECT_EQ(watcher->Log, (std::vector<AnsiString>{"+", "-Other"}));
  (void)late;
}

TEST(Component, AReferenceAcrossOwnersIsClearedWhenItsTargetGoes) {
  TComponent form1(nullptr), form2(nullptr);
  auto* user = new TWatcher(&form1, "User");
  auto* target = new TWatcher(&form2, "Target");
  SetObjectProp(user, "Link", target); // as the theme manager sets references: by name
  EXPECT_EQ(GetObjectProp(user, "Link"), target);
  delete target;
  EXPECT_EQ(user->Link(), nullptr);

  // And the other way round: the target going first after the user is gone must not touch the user.
  auto* target2 = new TWatcher(&form2, "Target2");
  user->SetLink(target2);
  delete user;
  delete target2; // would touch freed memory if the user were still listed
}

TEST(Component, StateShowsDestroyingAndDesigning) {
  TComponent owner(nullptr);
  auto* child = new TWatcher(&owner, "Child");
  owner.SetDesigning(true);
  EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
  auto* late = new TWatcher(&owner, "Late");
  EXPECT_TRUE(late->ComponentState().Contains(csDesigning)); // inherits the owner's designing state
  owner.SetLoading(true);
  EXPECT_TRUE(owner.ComponentState().Contains(csLoading));
  owner.Loaded();
  EXPECT_FALSE(owner.ComponentState().Contains(csLoading));

  TWatcher probe(nullptr, "Probe");
  probe.Destroying();
  EXPECT_TRUE(probe.ComponentState().Contains(csDestroying));
}

TEST(Component, AnOwnedComponentSeesDestroyingWhileItsOwnerGoes) {
  std::vector<bool> flags;
  class TProbe : public TComponent {
   public:
    TProbe(TComponent* owner, std::vector<bool>& flags) : TComponent(owner), Flags(flags) {}
    ~TProbe() override { Flags.push_back(ComponentState().Contains(csDestroying)); }
    std::vector<bool>& Flags;
  };
  {
    TComponent owner(nullptr);
    new TProbe(&owner, flags);
  }
  EXPECT_EQ(flags, (std::vector<bool>{true}));
}

TEST(TypInfo, StoredFlagsAndClassCreation) {
  const TPropInfo* link = TWatcher::StaticClass()->FindProperty("link");
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->IsStored(nullptr));
  TClass cls = FindClass("TWatcher");
  ASSERT_TRUE(cls->Create);
  TComponent owner(nullptr);
  TComponent* made = cls->Create(&owner);
  EXPECT_EQ(made->ClassName(), "TWatcher");
  EXPECT_EQ(made->Owner(), &owner);
}
