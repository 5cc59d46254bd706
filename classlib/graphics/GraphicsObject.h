#pragma once
// TGraphicsObject: the base of TFont, TPen and TBrush. Each keeps a drawing-object handle made from its
// properties on demand, and tells its owner (a canvas, a control) of every change through OnChange.
#include "classlib/core/Event.h"
#include "classlib/core/Persistent.h"

class TGraphicsObject : public TPersistent {
  QUENDREL_CLASS(TGraphicsObject, TPersistent)
 public:
  TNotifyEvent OnChange;
  TPersistent* GetOwner() override { return FOwner; }
  void SetOwner(TPersistent* Owner) { FOwner = Owner; }

 protected:
  virtual void Changed() {
    if (OnChange) OnChange(this);
  }

 private:
  TPersistent* FOwner = nullptr;
};
