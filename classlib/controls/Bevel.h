#pragma once
// TBevel: a lowered or raised box, frame or line painted on the parent.
#include "classlib/controls/GraphicControl.h"

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };
extern const TEnumInfo BevelShapeNames;
extern const TEnumInfo BevelStyleNames;

class TBevel : public TGraphicControl {
  QUENDREL_CLASS(TBevel, TGraphicControl)
 public:
  explicit TBevel(TComponent* AOwner);

  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

  void Paint() override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};
