#pragma once
// TComponent: a named object with an owner. The owner destroys what it owns; components that refer to each
// other learn of each other's removal through Notification, so that no reference is left dangling.
#include <functional>
#include <vector>

#include "classlib/core/Persistent.h"
#include "classlib/core/Set.h"

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups
};
using TComponentState = TSet<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

class TBasicAction;

class TComponent : public TPersistent {
  QUENDREL_CLASS(TComponent, TPersistent)
 public:
  // Owner may be null. A component with an owner is inserted into its owner's Components and freed with it.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const; // raises EListError on a bad index
  int ComponentIndex() const;              // position in the owner's list, -1 without owner

  const AnsiString& Name() const { return FName; }
  // Raises EComponentError for a name that is not an identifier ("" is allowed) or that another component of
  // the same owner already has (compared without regard to case).
  virtual void SetName(const AnsiString& NewName);

  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }

  TComponentState ComponentState() const { return FComponentState; }

  // Finds an owned component by name, without regard to case; null when none.
  TComponent* FindComponent(const AnsiString& AName) const;

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  void DestroyComponents();
  // Marks this component and every component it owns as being destroyed.
  void Destroying();

  // Asks AComponent, which may belong to another owner, to tell this component when it is removed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Told of components inserted into and removed from the owner, and of free-notified components being
  // destroyed. The default passes the news on to every owned component.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  // Actions looking for a target ask components whether they take them; the default takes none.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

  // Called once after a form stream has set every property and resolved every reference.
  virtual void Loaded();

  // Streaming by parent: a component that has a parent (a control) is nested in its parent's object in a form
  // stream, and the reader hands it the enclosing component through SetParentComponent.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* Value) { (void)Value; }
  // Calls Proc for each component a writer nests in this one. The default, for the root, lists the owned
  // components that have no parent; parents add their children.
  using TGetChildProc = std::function<void(TComponent* Child)>;
  virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);

  // State bits for readers, writers and designers.
  void SetDesigning(bool Value, bool SetChildren = true);
  void SetLoading(bool Value) { SetState(csLoading, Value); }
  void SetState(TComponentStateItem Item, bool Value);

  TPersistent* GetOwner() override { return FOwner; }
  AnsiString GetNamePath() override { return FName; }

 protected:
  // Lets a descendant refuse a name change; raise to refuse.
  virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName);

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;   // owned, in insertion order
  std::vector<TComponent*> FFreeNotifies; // components to tell when this one goes (both directions)
  AnsiString FName;
  int FTag = 0;
  TComponentState FComponentState;
};

// Whether Ident is a valid identifier: a letter or underscore, then letters, digits and underscores.
bool IsValidIdent(const AnsiString& Ident);
