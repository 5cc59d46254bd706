#pragma once
// Actions: named commands with a caption, enabled and checked state and a short cut, shared by the controls
// and menu items that show them. TActionList holds them and runs the one whose short cut is pressed.
#include <vector>

#include "classlib/controls/Messages.h"
#include "classlib/core/Component.h"
#include "classlib/core/Event.h"
#include "classlib/core/TypInfo.h"

using TShortCut = uint16_t;
class TCustomActionList;
class TImageList;

class TBasicAction : public TComponent {
  QUENDREL_CLASS(TBasicAction, TComponent)
 public:
  explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
  ~TBasicAction() override;

  // Runs OnExecute (or the list's OnExecute); answers whether anything ran.
  virtual bool Execute();
  virtual bool Update();
  // Actions that act on a target (a data source, an edit control) answer whether they take Target, and act
  // on it or update their own state from it.
  virtual bool HandlesTarget(TObject* Target) {
    (void)Target;
    return false;
  }
  virtual void ExecuteTarget(TObject* Target) { (void)Target; }
  virtual void UpdateTarget(TObject* Target) { (void)Target; }
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value) { FActionComponent = Value; }

  void RegisterClient(TComponent* Client);
  void UnregisterClient(TComponent* Client);
  const std::vector<TComponent*>& Clients() const { return FClients; }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

 protected:
  // Tells every client that a property changed.
  void Change();

 private:
  std::vector<TComponent*> FClients;
  TComponent* FActionComponent = nullptr;
};

class TContainedAction : public TBasicAction {
  QUENDREL_CLASS(TContainedAction, TBasicAction)
 public:
  explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  ~TContainedAction() override;

  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* Value);
  const AnsiString& Category() const { return FCategory; }
  void SetCategory(const AnsiString& Value) { FCategory = Value; }
  int Index() const;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  bool Execute() override;

 private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
  AnsiString FCategory;
};

class TCustomAction : public TContainedAction {
  QUENDREL_CLASS(TCustomAction, TContainedAction)
 public:
  explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }

  // An action that neither its handler nor its list takes is offered to the components of the active form
  // (Application->ExecuteAction), and updated the same way.
  bool Execute() override;
  bool Update() override;

 private:
  AnsiString FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  AnsiString FHint;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  bool FVisible = true;
  bool FAutoCheck = false;
  int FGroupIndex = 0;
  int FHelpContext = 0;
};

class TAction : public TCustomAction {
  QUENDREL_CLASS(TAction, TCustomAction)
 public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

enum TActionListState { asNormal, asSuspended, asSuspendedEnabled };
using TActionEvent = TEvent<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public TComponent {
  QUENDREL_CLASS(TCustomActionList, TComponent)
 public:
  explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}
  ~TCustomActionList() override;

  int ActionCount() const { return static_cast<int>(FActions.size()); }
  TContainedAction* Actions(int Index) const;
  void AddAction(TContainedAction* Action);
  void RemoveAction(TContainedAction* Action);
  int IndexOf(const TContainedAction* Action) const;
  // Runs the enabled action whose short cut the key message (WM_KEYDOWN or CN_KEYDOWN) is.
  bool IsShortCut(TMessage& Message);
  TActionListState State() const { return FState; }
  void SetState(TActionListState Value) { FState = Value; }
  bool ExecuteAction(TBasicAction* Action) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  // The pictures that the actions' ImageIndex refers to (not owned).
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TActionEvent OnExecute;
  TActionEvent OnUpdate;

 private:
  std::vector<TContainedAction*> FActions;
  TActionListState FState = asNormal;
  TImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
  QUENDREL_CLASS(TActionList, TCustomActionList)
 public:
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};
