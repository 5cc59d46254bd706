#pragma once
// Hints: THintWindow, the small pop-up window that shows a control's hint, and the application's hint
// logic: after the mouse rests HintPause milliseconds on a control whose ShowHint is in force and whose hint
// (or an ancestor's) is not empty, the short part of the hint (before "|") shows below the cursor, until the
// mouse leaves the control, a button or key goes down, or HintHidePause milliseconds pass. Moving on to
// another control while a hint shows brings its hint after the short HintShortPause.
#include "classlib/controls/CustomControl.h"

class THintWindow : public TCustomControl {
  QUENDREL_CLASS(THintWindow, TCustomControl)
 public:
  explicit THintWindow(TComponent* AOwner);

  // The size the hint needs, as a rectangle at (0, 0), its text wrapped at MaxWidth.
  virtual TRect CalcHintRect(int MaxWidth, const AnsiString& Hint);
  // Shows Hint in Rect (screen coordinates), kept on the work area, without taking the activation.
  virtual void ActivateHint(TRect Rect, const AnsiString& Hint);
  void ReleaseHandle(); // hides the window
  bool Showing() const;

  void Paint() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
};

// The part of a hint before "|", and the part after it (the whole hint when there is no "|").
AnsiString GetShortHint(const AnsiString& Hint);
AnsiString GetLongHint(const AnsiString& Hint);
// Whether hints show for Control: its ShowHint, or while ParentShowHint its parent's, up to the form.
bool ShowHintInForce(const TControl* Control);

// The application's hint machinery, driven from its message loop.
namespace hints {
// After every mouse message: the control under the cursor may have changed.
void MouseMoved();
// A button or key went down: the hint goes and waits for the next rest.
void Cancel();
// The window showing the current hint; null while none shows.
THintWindow* Active();
// The control whose hint shows or waits to show; null when none.
TControl* Control();
} // namespace hints
