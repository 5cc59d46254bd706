#pragma once
// TSpeedButton: a windowless button with a glyph. Raised (or, when Flat, bare until the mouse is over it),
// sunken while pressed or down. With a GroupIndex it stays down when clicked, and pressing one button of a
// group lets the others of the same parent and index up; AllowAllUp lets a click raise the down one again.
#include <memory>

#include "classlib/controls/GraphicControl.h"

class TBitmap;

class TSpeedButton : public TGraphicControl {
  QUENDREL_CLASS(TSpeedButton, TGraphicControl)
 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  // Masked by the colour of its pixel (0, 0). Changing the bitmap in place needs an Invalidate.
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  // Always false without a GroupIndex; the down button of a group without AllowAllUp stays down.
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);

  // The mouse is pressed on the button and still over it.
  bool Pressed() const { return FPressed; }
  bool MouseInControl() const { return FMouseInControl; }

  void Paint() override;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;

 private:
  // Lets the other buttons of this button's group up.
  void UpdateExclusive();
  bool Inside(int X, int Y) const;

  std::unique_ptr<TBitmap> FGlyph;
  bool FFlat = false;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FPressed = false;  // left button held, cursor over the button
  bool FTracking = false; // left button held since a press on the button
  bool FMouseInControl = false;
};
