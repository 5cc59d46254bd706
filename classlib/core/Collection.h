#pragma once
// TCollection: an ordered, owned list of items of one class (TCollectionItem descendants). The collection
// creates its items from its item class, frees them with itself, and tells itself of every change through
// Update. Items are streamed as "<item ... end>" lists.
#include <vector>

#include "classlib/core/Exception.h"
#include "classlib/core/Persistent.h"

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  QUENDREL_CLASS(TCollectionItem, TPersistent)
 public:
  // Inserts the new item at the end of Collection (which may be null).
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Moves the item to another collection (null takes it out of any).
  virtual void SetCollection(TCollection* Value);
  int ID() const { return FID; }
  int Index() const; // -1 outside a collection
  virtual void SetIndex(int Value);
  AnsiString DisplayName() const { return GetDisplayName(); }

  TPersistent* GetOwner() override;
  AnsiString GetNamePath() override;

 protected:
  // Tells the collection that this item (false) or every item (true) needs updating.
  void Changed(bool AllItems);
  virtual AnsiString GetDisplayName() const { return ClassName(); }

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
  QUENDREL_CLASS(TCollection, TPersistent)
 public:
  // ItemClass must describe itself with c.CollectionItem() (see TypInfo.h), so that Add can create items.
  explicit TCollection(TClass ItemClass);
  ~TCollection() override;

  virtual TCollectionItem* Add(); // a collection may choose the class of the item
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int Index) const; // raises EListError on a bad index
  TCollectionItem* operator[](int Index) const { return Items(Index); }
  // Copies Value into the item at Index.
  void SetItem(int Index, TCollectionItem* Value);
  TClass ItemClass() const { return FItemClass; }
  TCollectionItem* FindItemID(int ID) const;

  // Update is held back between BeginUpdate and the matching EndUpdate, then sent once for all items.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // Replaces the items with copies of Source's (item by item through the items' Assign).
  void Assign(TPersistent* Source) override;
  AnsiString GetNamePath() override;

  // Told that Item changed, or (Item null) that the whole collection changed.
  virtual void Update(TCollectionItem* Item) { (void)Item; }

 protected:
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) { (void)Item, (void)Action; }
  void Changed();
  // Update for one item unless updates are held back.
  void ItemChanged(TCollectionItem* Item);

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TClass FItemClass;
  std::vector<TCollectionItem*> FItems; // owned
  int FUpdateCount = 0;
  int FNextID = 0;
};

// A collection that names its owner, so that it can be found and named in a component tree.
class TOwnedCollection : public TCollection {
  QUENDREL_CLASS(TOwnedCollection, TCollection)
 public:
  TOwnedCollection(TPersistent* AOwner, TClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}
  TPersistent* GetOwner() override { return FOwner; }

 private:
  TPersistent* FOwner;
};
