#include "classlib/controls/Timer.h"

#include "classlib/controls/Application.h"
#include "classlib/controls/WindowHandle.h"

QUENDREL_REGISTER_CLASS(TTimer, TComponent) {
  c.Creatable();
  c.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(1);
  c.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
  c.Event("OnTimer", &TTimer::OnTimer);
}

namespace {
unsigned NextTimerID = 0x7000;
} // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FID(NextTimerID++) {}

TTimer::~TTimer() {
  if (FRunning) KillTimer(nullptr, FID);
}

void TTimer::UpdateTimer() {
  if (FRunning) KillTimer(nullptr, FID);
  FRunning = false;
  if (ComponentState().Contains(csLoading)) return;
  if (FInterval != 0 && FEnabled) {
    SetTimer(nullptr, FID, FInterval, [this] { Timer(); });
    FRunning = true;
  }
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
  if (FInterval == Value) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::Timer() {
  if (!OnTimer) return;
  try {
    OnTimer(this);
  } catch (Exception& e) {
    Application->HandleException(this, e);
  }
}
