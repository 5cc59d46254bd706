#pragma once
// TTimer: runs OnTimer every Interval milliseconds on the user-interface thread, from the message loop. The
// clock is GetTickCount's, which tests may drive by hand (SetTickCountSource).
#include "classlib/core/Component.h"
#include "classlib/core/TypInfo.h"

class TTimer : public TComponent {
  QUENDREL_CLASS(TTimer, TComponent)
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned Value);

  TNotifyEvent OnTimer;
  void Loaded() override;

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();

  bool FEnabled = true;
  unsigned FInterval = 1000;
  unsigned FID;
  bool FRunning = false;
};
