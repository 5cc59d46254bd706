#include "skin/SKDBCombos.h"

#include "classlib/controls/ControlCanvas.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/win/Windows.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"

#define QUENDREL_COMBO_PROPERTIES(Class)                                                                     \
  c.Property("FileTheme", &Class::FileTheme, &Class::SetFileTheme);                                          \
  c.Enum("UIStyle", &Class::UIStyle, &Class::SetUIStyle, TskUIStyleNames);                                   \
  ColorProperty(c, "BorderColor", &Class::BorderColor, &Class::SetBorderColor);                              \
  ColorProperty(c, "ArrowColor", &Class::ArrowColor, &Class::SetArrowColor);                                 \
  ColorProperty(c, "ButtonColor", &Class::ButtonColor, &Class::SetButtonColor)

QUENDREL_REGISTER_CLASS(TskDBComboBox, TDBComboBox) {
  c.Creatable();
  QUENDREL_COMBO_PROPERTIES(TskDBComboBox);
  c.Message(WM_ERASEBKGND, &TskDBComboBox::WMEARSEBKGND);
}
QUENDREL_REGISTER_CLASS(TskDBLookupComboBox, TDBLookupComboBox) {
  c.Creatable();
  QUENDREL_COMBO_PROPERTIES(TskDBLookupComboBox);
}
#undef QUENDREL_COMBO_PROPERTIES

template <class Base> void TskDBComboFrame<Base>::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  FArrowColor = clBlack;
  FBorderColor = FTheme.Color(25);
  FButtonColor = FTheme.Color(15);
  // The picture follows the stored style, not the resolved one.
  const char* picture = Value == MacOS   ? SK_RES_MACOS_COMBOBOX_BUTTON
                        : Value == WinXP ? SK_RES_WINXP_COMBOBOX_BUTTON
                                         : nullptr;
  FButtonPicture.reset();
  if (picture) {
    FButtonPicture = std::make_unique<TBitmap>();
    FButtonPicture->LoadFromResourceName(0, picture);
    ++FPictureLoads;
  }
  this->Repaint();
}

template <class Base> bool TskDBComboFrame<Base>::RightToLeftButton() const {
  return this->BiDiMode() == bdRightToLeft && SysLocale.MiddleEast;
}

template <class Base> void TskDBComboFrame<Base>::DrawArrow(TCanvas* ACanvas, int X, int Y) {
  if (this->Enabled()) {
    ACanvas->Brush()->SetColor(FArrowColor);
    ACanvas->Pen()->SetColor(FArrowColor);
    ACanvas->Polygon({TPoint{X, Y}, TPoint{X + 6, Y}, TPoint{X + 3, Y + 3}});
    return;
  }
  ACanvas->Brush()->SetColor(clWhite);
  ACanvas->Pen()->SetColor(clWhite);
  ACanvas->Polygon({TPoint{X + 1, Y + 1}, TPoint{X + 7, Y + 1}, TPoint{X + 4, Y + 4}});
  ACanvas->Brush()->SetColor(0x808080);
  ACanvas->Pen()->SetColor(0x808080);
  ACanvas->Polygon({TPoint{X, Y}, TPoint{X + 6, Y}, TPoint{X + 3, Y + 3}});
}

template <class Base> void TskDBComboFrame<Base>::DrawButtonFace(TCanvas* Canvas, const TRect& R) {
  if (FButtonPicture) {
    Canvas->StretchDraw(R, FButtonPicture.get());
    return;
  }
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(FButtonColor);
  Canvas->FillRect(R);
  Canvas->Pen()->SetColor(FBorderColor);
  const int x = RightToLeftButton() ? R.Right : R.Left;
  Canvas->MoveTo(x, R.Top - 1);
  Canvas->LineTo(x, R.Bottom + 1);
}

template class TskDBComboFrame<TDBComboBox>;
template class TskDBComboFrame<TDBLookupComboBox>;

// ---------------------------------------------------------------------------------------------------------
// TskDBComboBox

TskDBComboBox::TskDBComboBox(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Include(csOpaque);
  SetBorderWidth(0);
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskDBComboBox::DrawButton() {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  COMBOBOXINFO info;
  info.cbSize = sizeof(COMBOBOXINFO);
  if (!SKGetComboBoxInfo(Handle(), info)) return;
  TControlCanvas canvas(this);
  const TRect client = ClientRect();
  canvas.Brush()->SetColor(FBorderColor);
  canvas.FrameRect(client);
  TRect inner = client;
  inner.Inflate(-1, -1);
  canvas.Brush()->SetColor(Color());
  canvas.FrameRect(inner);
  if (Perform(CB_GETDROPPEDSTATE, 0, 0)) {
    // The dropped list is framed in the border colour where it lies on the screen.
    TRect list;
    GetWindowRect(info.hwndList, &list);
    HDC dc = GetWindowDC(nullptr);
    HWND owner = nullptr;
    if (!dc) { // a desktop without a context of its own: the list's window draws its own outline
      owner = info.hwndList;
      dc = GetWindowDC(owner);
      list.Offset(-list.Left, -list.Top);
    }
    if (dc) {
      TCanvas screen;
      screen.SetHandle(dc);
      screen.Brush()->SetColor(FBorderColor);
      screen.FrameRect(list);
      screen.SetHandle(nullptr);
      ReleaseDC(owner, dc);
    }
  }
  const TRect R = info.rcButton;
  DrawButtonFace(&canvas, R);
  if (FTheme.UIStyle != WinXP)
    DrawArrow(&canvas, (R.Right - R.Left) / 2 + R.Left - 3, (R.Bottom - R.Top) / 2);
  canvas.FreeHandle();
}

void TskDBComboBox::WMPaint(TMessage& Message) {
  inherited::WMPaint(Message);
  DrawButton();
}

void TskDBComboBox::WMEARSEBKGND(TMessage& Message) {
  TWinControl::WMEraseBkgnd(Message);
  DrawButton();
}

// ---------------------------------------------------------------------------------------------------------
// TskDBLookupComboBox

TskDBLookupComboBox::TskDBLookupComboBox(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Include(csOpaque);
  SetBorderWidth(0);
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskDBLookupComboBox::Paint() {
  inherited::Paint();
  DrawControlBorder(this, FBorderColor, Color(), true);
  DrawButton();
}

void TskDBLookupComboBox::DrawButton() {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  const TRect R = RightToLeftButton() ? TRect{0, 0, w, ClientHeight()}
                                      : TRect{ClientWidth() - w, 0, ClientWidth(), ClientHeight()};
  TControlCanvas canvas(this);
  DrawButtonFace(&canvas, R);
  if (FTheme.UIStyle != WinXP)
    DrawArrow(&canvas, (R.Right - R.Left) / 2 + R.Left - 3, (R.Bottom - R.Top) / 2 - 2);
  canvas.FreeHandle();
}
