#pragma once
// TApplication: the application object and its message loop; TApplicationEvents: a component that hooks the
// application's events (every frame of a window may have one; each sees every message the loop dispatches).
// Exceptions that escape an event handler are shown through ShowException and the loop goes on.
#include <functional>
#include <memory>
#include <vector>

#include "classlib/controls/Form.h"
#include "classlib/controls/Messages.h"
#include "classlib/core/Component.h"
#include "classlib/core/Exception.h"

class TIcon;

using TMessageEvent = TEvent<void(tagMSG& Msg, bool& Handled)>;
using TExceptionEvent = TEvent<void(TObject* Sender, Exception* E)>;
using TIdleEvent = TEvent<void(TObject* Sender, bool& Done)>;

class TApplicationEvents;

class TApplication : public TComponent {
  QUENDREL_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize();
  const AnsiString& Title() const { return FTitle; }
  void SetTitle(const AnsiString& Value) { FTitle = Value; }
  TCustomForm* MainForm() const { return FMainForm; }
  TIcon* Icon() const { return FIcon.get(); }
  AnsiString ExeName() const;

  // Creates a form of class T owned by the application; the first one becomes the main form.
  template <class T> void CreateForm(T*& Reference) {
    T* form = new T(this); // owned by the application (component ownership)
    Reference = form;
    if (!FMainForm) FMainForm = form;
    form->AfterConstruction();
  }
  // The same for a class known by its registered name.
  TCustomForm* CreateForm(TClass FormClass);

  // Shows the main form and runs messages until Terminate or the main form closes.
  void Run();
  // Handles every waiting message, then returns. May be called from a handler (it nests).
  void ProcessMessages();
  // Handles one message, waiting for one when none is there (and running idle work first).
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  void Minimize();
  void Restore();
  bool Active() const { return FActive; }
  void BringToFront();

  // An exception escaped an event handler: OnException when set, else ShowException.
  void HandleException(TObject* Sender, Exception& E);
  void HandleException(TObject* Sender);
  // Shows the exception's message in a message box.
  void ShowException(Exception* E);
  int MessageBox(const char* Text, const char* Caption, int Flags);

  // Hints (Hint.h): whether they show at all, their timing, the window colour, and the long hint of the
  // control under the mouse (OnHint hears of each change).
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  int HintPause() const { return FHintPause; }
  void SetHintPause(int Value) { FHintPause = Value; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int Value) { FHintShortPause = Value; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int Value) { FHintHidePause = Value; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  void CancelHint();

  int ModalLevel() const { return FModalLevel; }
  void IncModalLevel() { ++FModalLevel; }
  void DecModalLevel() { --FModalLevel; }

  // Dispatches one queued message through the hooks, key and dialog handling; false when the queue was empty.
  bool ProcessMessage(tagMSG& Msg);

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnHint;

  // Used by forms and the application-event components.
  void FormDestroying(TCustomForm* Form);
  // Offers an action to the active form (the main form when none is active): its focused control first, then
  // the form, then each visible control; the first that takes it ends the search.
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void ReleaseForm(TCustomForm* Form);
  void AddEvents(TApplicationEvents* Events);
  void RemoveEvents(TApplicationEvents* Events);
  void SetActive(bool Value);

 private:
  bool IsKeyMsg(tagMSG& Msg);
  void HintMessage(const tagMSG& Msg);
  void Idle();
  void FreeReleased();

  AnsiString FTitle;
  TCustomForm* FMainForm = nullptr;
  std::unique_ptr<TIcon> FIcon;
  bool FTerminated = false;
  bool FEnding = false; // the program ends: the forms are being destroyed
  bool FActive = false;
  bool FRunning = false;
  int FModalLevel = 0;
  bool FShowHint = true;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  TColor FHintColor = clInfoBk;
  AnsiString FHint;
  std::vector<TApplicationEvents*> FEvents;
  std::vector<TCustomForm*> FReleased;
};

class TApplicationEvents : public TComponent {
  QUENDREL_CLASS(TApplicationEvents, TComponent)
 public:
  explicit TApplicationEvents(TComponent* AOwner);
  ~TApplicationEvents() override;

  TMessageEvent OnMessage;
  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
};

extern TApplication* Application;
