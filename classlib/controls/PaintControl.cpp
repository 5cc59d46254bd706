#include "classlib/controls/PaintControl.h"

#include <algorithm>

#include "classlib/controls/StdMessages.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"

namespace {

constexpr int BoxSize = 13;

// The plain check box behind a paint control.
class TPaintCheckBox : public TWinControl {
  QUENDREL_CLASS(TPaintCheckBox, TWinControl)
 public:
  TPaintCheckBox(TWinControl* Owner, bool Ctl3D) : TWinControl(nullptr), FOwner(Owner), FCtl3D(Ctl3D) {}

  void BMSetCheck(TMessage& Message) { FState = Message.WParam; }
  void BMGetCheck(TMessage& Message) { Message.Result = static_cast<LRESULT>(FState); }
  void WMPaint(TMessage& Message) override {
    if (Message.WParam)
      PaintOn(reinterpret_cast<HDC>(Message.WParam));
    else
      TWinControl::WMPaint(Message);
  }

 protected:
  // A window of its own that is never shown: it only paints into contexts it is handed.
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.WndParent = nullptr;
  }

 private:
  void PaintOn(HDC DC) {
    TCanvas c;
    c.SetHandle(DC);
    c.Font()->Assign(FOwner->Font());
    const int h = FOwner->Height();
    const TRect box{0, std::max(0, (h - BoxSize) / 2), BoxSize, std::max(0, (h - BoxSize) / 2) + BoxSize};
    c.Brush()->SetColor(FState == BST_INDETERMINATE ? clBtnFace : clWindow);
    c.FillRect(box);
    RECT edge = box;
    if (FCtl3D) {
      DrawEdge(DC, &edge, EDGE_SUNKEN, BF_RECT);
    } else {
      c.Brush()->SetColor(clWindowText);
      c.FrameRect(box);
    }
    if (FState != BST_UNCHECKED) {
      c.Pen()->SetColor(FState == BST_CHECKED ? clWindowText : clGrayText);
      for (int i = 0; i < 3; ++i) { // a tick of three strokes
        c.MoveTo(box.Left + 3, box.Top + 5 + i);
        c.LineTo(box.Left + 5, box.Top + 7 + i);
        c.LineTo(box.Left + 10, box.Top + 2 + i);
      }
    }
    c.Brush()->SetStyle(bsClear);
    c.Font()->SetColor(FOwner->IsEnabledAll() ? FOwner->Font()->Color() : clGrayText);
    const AnsiString text = FOwner->Caption();
    c.TextOut(BoxSize + 4, std::max(0, (h - c.TextHeight(text.empty() ? "Wg" : text)) / 2), text);
    c.SetHandle(nullptr);
  }

  TWinControl* FOwner;
  bool FCtl3D;
  WPARAM FState = BST_UNCHECKED;
};

QUENDREL_REGISTER_CLASS(TPaintCheckBox, TWinControl) {
  c.Message(BM_SETCHECK, &TPaintCheckBox::BMSetCheck);
  c.Message(BM_GETCHECK, &TPaintCheckBox::BMGetCheck);
}

} // namespace

TPaintControl::TPaintControl(TWinControl* Owner, const AnsiString& ClassName)
    : FOwner(Owner), FClassName(ClassName) {}

TPaintControl::~TPaintControl() {
  DestroyHandle();
}

HWND TPaintControl::Handle() {
  if (!FCtl) {
    FCtl = std::make_unique<TPaintCheckBox>(FOwner, FCtl3DButton);
    FCtl->SetBounds(0, 0, FOwner->Width(), FOwner->Height());
  }
  return FCtl->Handle();
}

bool TPaintControl::HandleAllocated() const {
  return FCtl && FCtl->HandleAllocated();
}

void TPaintControl::DestroyHandle() {
  FCtl.reset();
}
