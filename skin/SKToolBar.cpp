#include "skin/SKToolBar.h"

#include "classlib/controls/Menus.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/ImageList.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

QUENDREL_REGISTER_CLASS(TskToolBar, TToolBar) {
  c.Creatable();
  c.Property("FileTheme", &TskToolBar::FileTheme, &TskToolBar::SetFileTheme);
  c.Enum("UIStyle", &TskToolBar::UIStyle, &TskToolBar::SetUIStyle, TskUIStyleNames);
  ColorProperty(c, "ButtonColor", &TskToolBar::ButtonColor, &TskToolBar::SetButtonColor);
  ColorProperty(c, "ButtonBorderColor", &TskToolBar::ButtonBorderColor, &TskToolBar::SetButtonBorderColor);
  ColorProperty(c, "ButtonDownColor", &TskToolBar::ButtonDownColor, &TskToolBar::SetButtonDownColor);
}

TskToolBar::TskToolBar(TComponent* AOwner) : inherited(AOwner) {
  if (!ComponentState().Contains(csDesigning))
    OnCustomDrawButton = TToolBarCustomDrawButtonEvent(
        [this](TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw) {
          DrawButton(Sender, Button, State, DefaultDraw);
        });
  OnCustomDraw = TToolBarCustomDrawEvent([this](TToolBar* Sender, const TRect& ARect, bool& DefaultDraw) {
    DrawBar(Sender, ARect, DefaultDraw);
  });
  SetFlat(true);
  SetTransparent(false);
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskToolBar::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  FButtonBorderColor = FTheme.Color(35);
  FButtonColor = FTheme.Color(36);
  FButtonDownColor = FTheme.Color(37);
  SetTransparent(FTheme.UIStyle == MacOS || FTheme.UIStyle == Protein);
  SetEdgeInner(esNone);
  SetEdgeOuter(esNone);
  Repaint();
}

void TskToolBar::SetButtonColor(TColor Value) {
  FButtonColor = Value;
  Repaint();
}

void TskToolBar::SetButtonBorderColor(TColor Value) {
  FButtonBorderColor = Value;
  Repaint();
}

void TskToolBar::SetButtonDownColor(TColor Value) {
  FButtonDownColor = Value;
  Repaint();
}

void TskToolBar::DrawBar(TToolBar* Sender, const TRect&, bool&) {
  if (Transparent()) DoTrans(Sender->Canvas(), this);
}

void TskToolBar::DrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                            bool& DefaultDraw) {
  // Separators and dividers are no buttons to light up.
  if (Button->Style() == tbsSeparator || Button->Style() == tbsDivider) return;
  const TRect r = Button->BoundsRect();
  const bool dropDown = Button->Style() == tbsDropDown;
  TCustomImageList* images = HotImages() ? HotImages() : Images();
  TCanvas* canvas = Sender->Canvas();
  if (State.Contains(cdsHot)) {
    if (State.Contains(cdsSelected))
      DrawDownButton(canvas, r, images, Button->ImageIndex(), Button->Caption(), dropDown);
    else
      DrawHotButton(canvas, r, images, Button->ImageIndex(), Button->Caption(), dropDown);
    if (dropDown) {
      const int m = r.Top + (r.Bottom - r.Top) / 2;
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(clBlack);
      canvas->Pen()->SetColor(clBlack);
      canvas->Polygon({Point(r.Right - 9, m), Point(r.Right - 5, m), Point(r.Right - 7, m + 2)});
      canvas->MoveTo(r.Right - 14, r.Top);
      canvas->LineTo(r.Right - 14, r.Bottom);
    }
    DefaultDraw = false;
  } else if (State.Contains(cdsSelected) || State.Contains(cdsChecked)) {
    DrawHotButton(canvas, r, images, Button->ImageIndex(), Button->Caption(), dropDown);
    DefaultDraw = false;
  }
}

void TskToolBar::DrawDownButton(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images,
                                int ImageIndex, const AnsiString& Caption, bool DropDown) {
  DrawThemedButton(ACanvas, ARect, Images, ImageIndex, Caption, DropDown, FButtonDownColor, 5);
}

void TskToolBar::DrawHotButton(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images, int ImageIndex,
                               const AnsiString& Caption, bool DropDown) {
  DrawThemedButton(ACanvas, ARect, Images, ImageIndex, Caption, DropDown, FButtonColor, 4);
}

void TskToolBar::DrawThemedButton(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images,
                                  int ImageIndex, const AnsiString& Caption, bool DropDown, TColor Fill,
                                  int CaptionOffset) {
  const int a = ARect.Right - ARect.Left - (DropDown ? 14 : 0);
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(Fill);
  ACanvas->Pen()->SetColor(FButtonBorderColor);
  ACanvas->Rectangle(ARect);
  ACanvas->Brush()->SetStyle(bsClear);
  auto caption = [&](TRect R) {
    RECT rect = R;
    DrawText(ACanvas->Handle(), Caption.c_str(), -1, &rect, 0);
  };
  const int textWidth = ACanvas->TextWidth(StripHotkey(Caption));
  if (!Images) {
    if (!ShowCaptions()) return;
    if (List())
      caption(Rect(ARect.Left + 8, ARect.Top + 3, ARect.Right, ARect.Bottom));
    else
      caption(Rect(ARect.Left + (a - textWidth) / 2, ARect.Top + CaptionOffset, ARect.Right, ARect.Bottom));
    return;
  }
  const int iw = Images->Width(), ih = Images->Height();
  if (List())
    Images->Draw(ACanvas, ARect.Left + 5, ARect.Top + 3, ImageIndex, true);
  else
    Images->Draw(ACanvas, ARect.Left + (a - iw) / 2, ARect.Top + 3, ImageIndex, true);
  if (!ShowCaptions()) return;
  if (List())
    caption(Rect(ARect.Left + iw + 7, ARect.Top + 4 + (ih - 16) / 2, ARect.Right, ARect.Bottom));
  else
    caption(Rect(ARect.Left + (a - textWidth) / 2, ARect.Top + ih + 4, ARect.Right, ARect.Bottom));
}
