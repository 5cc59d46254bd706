#include "classlib/controls/Application.h"

#include <algorithm>
#include <unistd.h>

#include "classlib/backend/Backend.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/ControlCanvas.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Hint.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/StatusBar.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Thread.h"
#include "classlib/graphics/Icon.h"

QUENDREL_REGISTER_CLASS(TApplication, TComponent) {}
QUENDREL_REGISTER_CLASS(TApplicationEvents, TComponent) {
  c.Creatable();
  c.Event("OnMessage", &TApplicationEvents::OnMessage);
  c.Event("OnException", &TApplicationEvents::OnException);
  c.Event("OnIdle", &TApplicationEvents::OnIdle);
  c.Event("OnActivate", &TApplicationEvents::OnActivate);
  c.Event("OnDeactivate", &TApplicationEvents::OnDeactivate);
  c.Event("OnMinimize", &TApplicationEvents::OnMinimize);
  c.Event("OnRestore", &TApplicationEvents::OnRestore);
}

// The screen goes after the application: forms that the application frees still leave the screen's list.
namespace {
TScreen TheScreen(nullptr);
TApplication TheApplication(nullptr);
} // namespace

TScreen* Screen = &TheScreen;
TApplication* Application = &TheApplication;

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
  DestroyComponents();
}

void TApplication::Initialize() {
  backend::Initialize();
  SetMainThread();
  WakeMainThread = [] { backend::Wake(); };
  OnApplicationActivate = [this](bool active) { SetActive(active); };
  OnMouseIdle = [] { UpdateMouseControl(); };
  // Forms and windows go while the toolkit and the whole class library still exist. The loop has ended, but
  // a form's destroy handler may still have something to tell: its message box waits for the user's answer.
  backend::AtShutdown([this] {
    FEnding = true;
    FTerminated = false;
    DestroyComponents();
    FMainForm = nullptr;
    DestroyAllWindows();
  });
  if (!FIcon) {
    FIcon = std::make_unique<TIcon>();
    try {
      FIcon->LoadFromResourceName(0, "MAINICON");
    } catch (const Exception&) {
      // no icon resource: the icon stays empty
    }
  }
}

AnsiString TApplication::ExeName() const {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  return n > 0 ? AnsiString(buf, static_cast<size_t>(n)) : AnsiString();
}

TCustomForm* TApplication::CreateForm(TClass FormClass) {
  if (!FormClass || !FormClass->Create) throw EClassNotFound("Class cannot be created");
  TComponent* c = FormClass->Create(this);
  auto* form = dynamic_cast<TCustomForm*>(c);
  if (!form) {
    delete c; // not a form: it was ours to free
    throw EInvalidOperation("Class is not a form");
  }
  if (!FMainForm) FMainForm = form;
  form->AfterConstruction();
  return form;
}

void TApplication::FormDestroying(TCustomForm* Form) {
  if (FMainForm == Form) FMainForm = nullptr;
  std::erase(FReleased, Form);
}

void TApplication::ReleaseForm(TCustomForm* Form) {
  if (std::find(FReleased.begin(), FReleased.end(), Form) == FReleased.end()) FReleased.push_back(Form);
}

void TApplication::FreeReleased() {
  while (!FReleased.empty()) {
    TCustomForm* f = FReleased.back();
    FReleased.pop_back();
    delete f; // Release: the form asked to be freed
  }
}

void TApplication::AddEvents(TApplicationEvents* Events) {
  FEvents.push_back(Events);
}
void TApplication::RemoveEvents(TApplicationEvents* Events) {
  std::erase(FEvents, Events);
}

void TApplication::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  const std::vector<TApplicationEvents*> events = FEvents;
  if (Value) {
    if (OnActivate) OnActivate(this);
    for (auto* e : events)
      if (e->OnActivate) e->OnActivate(this);
  } else {
    if (OnDeactivate) OnDeactivate(this);
    for (auto* e : events)
      if (e->OnDeactivate) e->OnDeactivate(this);
  }
}

// ----- The loop

bool TApplication::IsKeyMsg(tagMSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd) wnd = Msg.hwnd;
  return wnd && SendMessage(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::ProcessMessage(tagMSG& Msg) {
  // Taking a message carries out what the desktop reported (activation, placement), and handlers run then.
  try {
    if (!PeekMessage(Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  } catch (...) {
    HandleException(this);
    Msg = {};
    return true;
  }
  if (Msg.message == WM_QUIT) {
    FTerminated = !FEnding; // the quit that ended the loop asks nothing more of what runs after it
    return true;
  }
  try {
    bool handled = false;
    if (OnMessage) OnMessage(Msg, handled);
    // Every hook sees every message, whatever an earlier one decided.
    const std::vector<TApplicationEvents*> events = FEvents;
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
      if (std::find(FEvents.begin(), FEvents.end(), *it) == FEvents.end()) continue;
      bool h = false;
      if ((*it)->OnMessage) (*it)->OnMessage(Msg, h);
      handled = handled || h;
    }
    // The control under the cursor hears of entering before the move that brought the cursor there.
    if ((Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSELAST) ||
        (Msg.message >= WM_NCMOUSEMOVE && Msg.message <= WM_NCMBUTTONDBLCLK))
      UpdateMouseControl();
    HintMessage(Msg);
    if (!handled && !IsKeyMsg(Msg)) {
      TranslateMessage(Msg);
      DispatchMessage(Msg);
    }
  } catch (Exception& e) {
    HandleException(this, e);
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    HandleException(this, wrapped);
  }
  if (Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSELAST) UpdateMouseControl();
  if (Msg.message == WM_MOUSELEAVE || (Msg.message >= WM_NCMOUSEMOVE && Msg.message <= WM_NCMBUTTONDBLCLK))
    UpdateMouseControl();
  FreeDeviceContexts();
  return true;
}

void TApplication::SetShowHint(bool Value) {
  FShowHint = Value;
  if (!Value) CancelHint();
}

void TApplication::SetHint(const AnsiString& Value) {
  if (FHint == Value) return;
  FHint = Value;
  if (OnHint)
    OnHint(this);
  else
    DispatchHintToStatusBars(Value);
}

void TApplication::CancelHint() {
  hints::Cancel();
}

void TApplication::HintMessage(const tagMSG& Msg) {
  switch (Msg.message) {
  case WM_MOUSEMOVE:
  case WM_NCMOUSEMOVE:
  case WM_MOUSELEAVE:
    hints::MouseMoved();
    break;
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  case WM_NCLBUTTONDOWN:
  case WM_NCRBUTTONDOWN:
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
  case WM_MOUSEWHEEL:
    hints::Cancel();
    break;
  default:
    break;
  }
}

namespace {

// Offers Action to every visible control under Container, depth first; true when one took it.
bool OfferToControls(TWinControl* Container, TBasicAction* Action, bool Update) {
  for (int i = 0; i < Container->ControlCount(); ++i) {
    TControl* c = Container->Controls(i);
    if (!c->Visible()) continue;
    if (Update ? c->UpdateAction(Action) : c->ExecuteAction(Action)) return true;
    if (auto* w = dynamic_cast<TWinControl*>(c); w && OfferToControls(w, Action, Update)) return true;
  }
  return false;
}

bool OfferToForm(TCustomForm* Form, TBasicAction* Action, bool Update) {
  if (!Form || !Action) return false;
  TWinControl* active = Form->ActiveControl();
  if (active && (Update ? active->UpdateAction(Action) : active->ExecuteAction(Action))) return true;
  if (Update ? Form->UpdateAction(Action) : Form->ExecuteAction(Action)) return true;
  return OfferToControls(Form, Action, Update);
}

} // namespace

bool TApplication::ExecuteAction(TBasicAction* Action) {
  return OfferToForm(Screen->ActiveForm() ? Screen->ActiveForm() : FMainForm, Action, false);
}

bool TApplication::UpdateAction(TBasicAction* Action) {
  return OfferToForm(Screen->ActiveForm() ? Screen->ActiveForm() : FMainForm, Action, true);
}

void TApplication::Idle() {
  try {
    CheckSynchronize();
    FreeReleased();
    // Menus and buttons show their actions' state as it is when the loop runs out of work.
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (TCustomForm* form = Screen->Forms(i); form->Visible()) form->UpdateActions();
    bool done = true;
    if (OnIdle) OnIdle(this, done);
    for (auto* e : std::vector<TApplicationEvents*>(FEvents))
      if (e->OnIdle) e->OnIdle(this, done);
    UpdateAllWindows();
  } catch (Exception& e) {
    HandleException(this, e);
  }
  FreeDeviceContexts();
}

void TApplication::ProcessMessages() {
  backend::ProcessEvents(0);
  tagMSG msg;
  // Runs until the queue is empty; the bound keeps a handler that always posts to itself from holding the
  // caller here forever.
  for (int guard = 0; guard < 100000 && ProcessMessage(msg); ++guard) {
    if (guard % 64 == 63) backend::ProcessEvents(0);
  }
  try {
    CheckSynchronize();
  } catch (Exception& e) {
    HandleException(this, e);
  }
  FreeReleased();
  UpdateAllWindows();
}

void TApplication::HandleMessage() {
  tagMSG msg;
  if (ProcessMessage(msg)) return;
  Idle();
  backend::ProcessEvents(0);
  if (ProcessMessage(msg)) return;
  WaitMessage(FTerminated ? 0 : 50);
  backend::ProcessEvents(0);
}

void TApplication::Run() {
  FRunning = true;
  if (FMainForm) {
    if (FMainForm->WindowState() == wsMinimized) Minimize();
    FMainForm->SetVisible(true);
  }
  while (!FTerminated) HandleMessage();
  FRunning = false;
}

void TApplication::Terminate() {
  FTerminated = true;
  PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
  for (auto* e : std::vector<TApplicationEvents*>(FEvents))
    if (e->OnMinimize) e->OnMinimize(this);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->HandleAllocated() && IsIconic(FMainForm->Handle()))
    ShowWindow(FMainForm->Handle(), SW_RESTORE);
  if (OnRestore) OnRestore(this);
  for (auto* e : std::vector<TApplicationEvents*>(FEvents))
    if (e->OnRestore) e->OnRestore(this);
}

void TApplication::BringToFront() {
  if (FMainForm && FMainForm->HandleAllocated()) SetActiveWindow(FMainForm->Handle());
}

// ----- Exceptions

void TApplication::HandleException(TObject* Sender, Exception& E) {
  if (dynamic_cast<EAbort*>(&E)) return;
  if (OnException) {
    OnException(Sender, &E);
    return;
  }
  for (auto* e : std::vector<TApplicationEvents*>(FEvents))
    if (e->OnException) {
      e->OnException(Sender, &E);
      return;
    }
  ShowException(&E);
}

void TApplication::HandleException(TObject* Sender) {
  try {
    throw;
  } catch (Exception& e) {
    HandleException(Sender, e);
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    HandleException(Sender, wrapped);
  }
}

void TApplication::ShowException(Exception* E) {
  AnsiString msg = E ? E->Message : AnsiString();
  // A sentence that already ends ("Invalid file!", "Retry?") takes no full stop after its own mark.
  if (!msg.empty() && msg.back() != '.' && msg.back() != '!' && msg.back() != '?') msg += '.';
  MessageBox(msg.c_str(), FTitle.c_str(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const char* Text, const char* Caption, int Flags) {
  return ::MessageBox(nullptr, Text ? Text : "", Caption ? Caption : "", Flags);
}

// ----- TApplicationEvents

TApplicationEvents::TApplicationEvents(TComponent* AOwner) : TComponent(AOwner) {
  Application->AddEvents(this);
}
TApplicationEvents::~TApplicationEvents() {
  Application->RemoveEvents(this);
}
