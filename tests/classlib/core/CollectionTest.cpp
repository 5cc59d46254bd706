#include "classlib/core/Collection.h"

#include <gtest/gtest.h>

#include "classlib/core/TypInfo.h"

namespace {

class TColumn : public TCollectionItem {
  QUENDREL_CLASS(TColumn, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  int Width() const { return FWidth; }
  void SetWidth(int Value) {
    FWidth = Value;
    Changed(false);
  }
  void Assign(TPersistent* Source) override {
    if (auto* c = dynamic_cast<TColumn*>(Source)) {
      FWidth = c->FWidth;
      return;
    }
    inherited::Assign(Source);
  }

 private:
  int FWidth = 0;
};

class TPlainItem : public TCollectionItem {
  QUENDREL_CLASS(TPlainItem, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
};

// Records every update it is told of.
class TColumns : public TOwnedCollection {
 public:
  explicit TColumns(TPersistent* owner) : TOwnedCollection(owner, TColumn::StaticClass()) {}
  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
  void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
  std::vector<TCollectionItem*> Updates;
};

} // namespace

QUENDREL_REGISTER_CLASS(TColumn, TCollectionItem) {
  c.CollectionItem();
  c.Property("Width", &TColumn::Width, &TColumn::SetWidth);
}
QUENDREL_REGISTER_CLASS(TPlainItem, TCollectionItem) {}

TEST(Collection, CreatesItemsOfItsClassAndKnowsTheirIndexes) {
  TPersistent owner;
  TColumns columns(&owner);
  TColumn* a = columns.Add();
  TColumn* b = columns.Add();
  TColumn* c = static_cast<TColumn*>(columns.Insert(0));
  EXPECT_EQ(columns.Count(), 3);
  EXPECT_EQ(columns.Items(0), c);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(b->Collection(), &columns);
  EXPECT_EQ(columns.GetOwner(), &owner);
  EXPECT_EQ(a->GetOwner(), &columns);
  EXPECT_EQ(columns.FindItemID(b->ID()), b);
  EXPECT_NE(a->ID(), b->ID());

  b->SetIndex(0);
  EXPECT_EQ(columns.Items(0), b);
  EXPECT_THROW(b->SetIndex(3), EListError);
  EXPECT_THROW(columns.Items(3), EListError);

  columns.Delete(1); // c
  EXPECT_EQ(columns.Count(), 2);
  delete a; // an item freed on its own leaves its collection
  EXPECT_EQ(columns.Count(), 1);
  EXPECT_EQ(columns.Items(0), b);
  columns.Clear();
  EXPECT_EQ(columns.Count(), 0);
}

TEST(Collection, TellsUpdateOfChangesOnceOutsideAnUpdate) {
  TColumns columns(nullptr);
  TColumn* a = columns.Add();
  columns.Updates.clear();
  a->SetWidth(5);
  ASSERT_EQ(columns.Updates.size(), 1u);
  EXPECT_EQ(columns.Updates[0], a);

  columns.Updates.clear();
  columns.BeginUpdate();
  a->SetWidth(6);
  columns.Add();
  columns.EndUpdate();
  ASSERT_EQ(columns.Updates.size(), 1u);
  EXPECT_EQ(columns.Updates[0], nullptr); // the whole collection
}

TEST(Collection, AssignCopiesItemByItem) {
  TColumns source(nullptr), dest(nullptr);
  source.Add()->SetWidth(10);
  source.Add()->SetWidth(20);
  dest.Add();
  dest.Add();
  dest.Add();
  dest.Assign(&source);
  ASSERT_EQ(dest.Count(), 2);
  EXPECT_EQ(static_cast<TColumn*>(dest.Items(1))->Width(), 20);
  dest.SetItem(0, source.Items(1));
  EXPECT_EQ(static_cast<TColumn*>(dest.Items(0))->Width(), 20);
  TPersistent stranger;
  EXPECT_THROW(dest.Assign(&stranger), EConvertError);
}

TEST(Collection, NeedsAnItemClassItCanCreate) {
  TCollection plain(TPlainItem::StaticClass());
  EXPECT_THROW(plain.Add(), EInvalidOperation);
  TPlainItem item(&plain); // created by hand, it still joins
  EXPECT_EQ(plain.Count(), 1);
}
