#include "skin/SKStatusBar.h"

#include "classlib/controls/Form.h"
#include "classlib/graphics/Canvas.h"
#include "skin/SKMgr.h"

QUENDREL_REGISTER_CLASS(TskStatusBar, TCustomStatusBar) {
  c.Creatable();
  c.Property("FileTheme", &TskStatusBar::FileTheme, &TskStatusBar::SetFileTheme);
  c.Enum("UIStyle", &TskStatusBar::UIStyle, &TskStatusBar::SetUIStyle, TskUIStyleNames);
  ColorProperty(c, "PanelColor", &TskStatusBar::PanelColor, &TskStatusBar::SetPanelColor);
  DragProperties(c);
}

TskStatusBar::TskStatusBar(TComponent* AOwner) : inherited(AOwner) {
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskStatusBar::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  SetPanelColor(FTheme.Color(15));
  Repaint();
}

void TskStatusBar::WMPaint(TMessage& Message) {
  inherited::WMPaint(Message);
  const TCustomForm* form = GetParentForm();
  if (!form || form->BorderStyle() != bsSizeable) return;
  const int w = Width(), h = Height();
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(Rect(w - 16, h - 16, w - 1, h - 1));
  if (SizeGrip() && form->WindowState() != wsMaximized) {
    canvas->Pen()->SetColor(clInactiveCaption);
    canvas->Pen()->SetWidth(1);
    for (int d : {15, 11, 7, 3}) {
      canvas->MoveTo(w - d, h - 1);
      canvas->LineTo(w - 1, h - d);
    }
  }
  if (h - 16 > 3) canvas->FillRect(Rect(w - 16, 3, w - 1, h - 16));
}

void TskStatusBar::WMNCHitTest(TMessage& Message) {
  const TCustomForm* form = GetParentForm();
  if (form && form->WindowState() == wsMaximized) {
    Message.Result = HTNOWHERE; // no sizing corner on a maximized form
    return;
  }
  inherited::WMNCHitTest(Message);
}
