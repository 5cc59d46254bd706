#include "skin/SKSideChannel.h"

#include <algorithm>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Timer.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"

const TEnumInfo TskSideChannelAlignNames = {{"skLeft", "skRight"}};
const TEnumInfo TskSideChannelPopupModeNames = {{"skMouseOn", "skMouseClick"}};

QUENDREL_REGISTER_CLASS(TskSideChannel, TCustomPanel) {
  c.Creatable();
  c.Property("FileTheme", &TskSideChannel::FileTheme, &TskSideChannel::SetFileTheme);
  c.Enum("UIStyle", &TskSideChannel::UIStyle, &TskSideChannel::SetUIStyle, TskUIStyleNames);
  ColorProperty(c, "BorderColor", &TskSideChannel::BorderColor, &TskSideChannel::SetBorderColor);
  ColorProperty(c, "CaptionFontColor", &TskSideChannel::CaptionFontColor,
                &TskSideChannel::SetCaptionFontColor);
  c.Property("ShowButton", &TskSideChannel::ShowButton, &TskSideChannel::SetShowButton);
  c.Property("Popped", &TskSideChannel::Popped);
  c.Property("Width", &TskSideChannel::Width, &TskSideChannel::SetWidth);
  ColorProperty(c, "SideBarColor", &TskSideChannel::SideBarColor, &TskSideChannel::SetSideColor);
  c.Enum("Align", &TskSideChannel::Align, &TskSideChannel::SetAlign, TskSideChannelAlignNames);
  c.Property("StayOn", &TskSideChannel::StayOn, &TskSideChannel::SetStayOn);
  c.Enum("PopupMode", &TskSideChannel::PopupMode, &TskSideChannel::SetPopupMode,
         TskSideChannelPopupModeNames);
  c.Property("QuickMove", &TskSideChannel::QuickMove, &TskSideChannel::SetQuickMove);
  c.Property("SideBarWidth", &TskSideChannel::SideBarWidth, &TskSideChannel::SetSideBarWidth);
  c.Event("OnPush", &TskSideChannel::OnPush);
  c.Event("OnPop", &TskSideChannel::OnPop);
  c.Event("OnPin", &TskSideChannel::OnPin);
  c.Event("OnUnPin", &TskSideChannel::OnUnPin);
}

// ---- TskSideChannel ----

TskSideChannel::TskSideChannel(TComponent* AOwner)
    : inherited(AOwner), FTitleBitmap(std::make_unique<TBitmap>()),
      FHandleBitmap(std::make_unique<TBitmap>()) {
  FPin = new TSpeedButton(this);
  FPin->SetParent(this);
  FPin->SetFlat(true);
  FPin->SetHeight(16);
  FPin->SetWidth(20);
  FPin->SetGroupIndex(1);
  FPin->SetAllowAllUp(true);
  FPin->Glyph()->LoadFromResourceName(0, SK_RES_SIDECHANNEL_BTN);
  FPin->SetTop(1);
  FPin->SetLeft(FPoppedWidth - FPin->Width() - 1);
  FPin->OnClick = [this](TObject* Sender) { OnPinClick(Sender); };
  SetShowButton(true);
  FTimer = new TTimer(this);
  FTimer->SetInterval(1000);
  FTimer->SetEnabled(false);
  FTimer->OnTimer = [this](TObject* Sender) { OnTimerCheck(Sender); };
  FMoving = false;
  SetBevelOuter(bvNone);
  SetAlign(skLeft);
  SetSideColor(clBtnFace);
  FPopupMode = skMouseOn;
  FQuickMove = false;
  Font()->SetName("Tahoma");
  FPopped = false;
  SetUIStyle(GetSKFormStyle(AOwner));
  if (!Designing()) Push(true);
}

TskSideChannel::~TskSideChannel() {
  // Our owned parts go before the base class tears the window down, so no handler sees them half-freed.
  FTimer->OnTimer = nullptr;
  delete FTimer;
  FPin->OnClick = nullptr;
  delete FPin;
}

int TskSideChannel::TitleHeight() const {
  return FTitleBitmap->Empty() ? 0 : FTitleBitmap->Height();
}

void TskSideChannel::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  if (ApplyingFileTheme() && Value != FromThemeFile) return;
  SetColor(clWhite);
  FSideBarColor = FTheme.Color(15);
  FTheme.Bitmap(41, FHandleBitmap.get());
  FTheme.Bitmap(42, FTitleBitmap.get());
  FBorderColor = FTheme.Color(25);
  FCaptionFontColor = SKPanelCaptionColor(FTheme);
  if (FShowButton) {
    FPin->SetTop(std::min((TitleHeight() - FPin->Height()) / 2, 5));
  } else {
    FPin->SetTop(-50);
    SetStayOn(true);
  }
  ContainerApplyUIStyle(this, FTheme.InsideStyle(), FTheme.FileTheme);
  Repaint();
}

void TskSideChannel::SetBorderColor(TColor Value) {
  FBorderColor = Value;
  Repaint();
}

void TskSideChannel::SetCaptionFontColor(TColor Value) {
  FCaptionFontColor = Value;
  Repaint();
}

void TskSideChannel::SetSideColor(TColor Value) {
  FSideBarColor = Value;
  Repaint();
}

void TskSideChannel::SetShowButton(bool Value) {
  FShowButton = Value;
  if (Value) {
    FPin->SetTop(1);
  } else {
    FPin->SetTop(-50); // out of sight
    SetStayOn(true);
  }
}

void TskSideChannel::SetWidth(int Value) {
  FPoppedWidth = Value;
  if (Designing() || FPopped) SetRealWidth(Value);
}

void TskSideChannel::SetAlign(TskSideChannelAlign Value) {
  FAlign = Value;
  TControl::SetAlign(Value == skLeft ? alLeft : alRight);
}

void TskSideChannel::SetStayOn(bool Value) {
  FStayOn = Value;
  if (Value) {
    if (!Designing()) Pop(FQuickMove);
    FPin->SetDown(true);
  } else {
    FPin->SetDown(false);
    if (!Designing()) Push(true);
  }
  Resize();
  if (!Designing()) FPin->Click();
}

void TskSideChannel::SetHandleBitmap(const TBitmap* Value) {
  FHandleBitmap->Assign(const_cast<TBitmap*>(Value));
  Repaint();
}

void TskSideChannel::SetTitleBitmap(const TBitmap* Value) {
  FTitleBitmap->Assign(const_cast<TBitmap*>(Value));
  Repaint();
}

void TskSideChannel::Pop(bool Quick) {
  FMoving = true;
  FPin->SetVisible(true);
  if (!Quick) {
    while (RealWidth() + 15 < FPoppedWidth) {
      SetRealWidth(RealWidth() + 15);
      Refresh();
      Application->ProcessMessages();
    }
  }
  SetRealWidth(FPoppedWidth);
  Refresh();
  FTimer->SetEnabled(true);
  FMoving = false;
  FPopped = true;
  Repaint();
  if (OnPop) OnPop(this);
}

void TskSideChannel::Push(bool Quick) {
  FMoving = true;
  FPopped = false;
  FTimer->SetEnabled(false);
  if (!Quick) {
    while (RealWidth() - 15 > CollapsedWidth) {
      SetRealWidth(RealWidth() - 15);
      Refresh();
      Application->ProcessMessages();
    }
  }
  SetRealWidth(CollapsedWidth);
  Refresh();
  FPin->SetVisible(false);
  FMoving = false;
  Repaint();
  if (OnPush) OnPush(this);
}

void TskSideChannel::Resize() {
  inherited::Resize();
  if (!FMoving && RealWidth() > CollapsedWidth) FPoppedWidth = RealWidth();
  FPin->SetLeft(FPoppedWidth - FPin->Width() - 1);
}

bool TskSideChannel::CanResize(int& NewWidth, int&) {
  return FMoving || !FPin->Visible() || NewWidth >= 50;
}

void TskSideChannel::AlignControls(TControl* AControl, TRect& Rect) {
  Rect = ClientRect();
  Rect.Left += 13;
  Rect.Top += TitleHeight() + 3;
  Rect.Right -= 3;
  Rect.Bottom -= 3;
  inherited::AlignControls(AControl, Rect);
}

void TskSideChannel::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (FMoving || FPopped || FPopupMode != skMouseOn) return;
  TCustomForm* form = GetParentForm();
  if (form && (form->Active() || form->FormStyle() == fsMDIForm) && FormHasFocus(form)) Pop(FQuickMove);
}

void TskSideChannel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (!FPopped && FPopupMode == skMouseClick) Pop(FQuickMove);
}

void TskSideChannel::OnTimerCheck(TObject*) {
  if (FMoving) return;
  if (!Parent()) {
    Push(FQuickMove);
    return;
  }
  const TPoint topLeft = ClientToScreen(Point(0, 0));
  const TPoint bottomRight = ClientToScreen(Point(RealWidth(), Height()));
  TPoint p;
  GetCursorPos(&p);
  const bool inside = topLeft.X < p.X && p.X < bottomRight.X && topLeft.Y < p.Y && p.Y < bottomRight.Y;
  if (!inside) Push(FQuickMove);
}

void TskSideChannel::OnPinClick(TObject*) {
  const bool down = FPin->Down();
  FTimer->SetEnabled(!down);
  FPin->Glyph()->LoadFromResourceName(0, SK_RES_SIDECHANNEL_BTN);
  if (down) RoundPicture3(FPin->Glyph());
  FPin->Invalidate();
  FStayOn = down;
  if (down) {
    if (OnPin) OnPin(this);
  } else if (OnUnPin) {
    OnUnPin(this);
  }
}

void TskSideChannel::Paint() {
  const int w = RealWidth(), h = Height();
  if (w <= 0 || h <= 0) return;
  const int t = TitleHeight();
  TBitmap buffer;
  buffer.SetSize(w, h);
  TCanvas* bc = buffer.Canvas();
  bc->Brush()->SetColor(Color());
  bc->Pen()->SetColor(FBorderColor);
  bc->Rectangle(ClientRect());
  if (!FTitleBitmap->Empty()) bc->StretchDraw(Rect(1, 0, w - 1, t), FTitleBitmap.get());
  if (FPopped || Designing()) {
    const int pin = FPin->Width();
    RECT r = Rect(1 + pin, 0, w - 1 - pin, t);
    bc->SetFont(Font());
    bc->Font()->SetColor(FCaptionFontColor);
    bc->Brush()->SetStyle(bsClear);
    unsigned format = DT_VCENTER | DT_SINGLELINE;
    if (Alignment() == taRightJustify)
      format |= DT_RIGHT;
    else if (Alignment() == taCenter)
      format |= DT_CENTER;
    DrawText(bc->Handle(), Caption().c_str(), -1, &r, format);
  }
  bc->Brush()->SetStyle(bsSolid);
  bc->Brush()->SetColor(FSideBarColor);
  bc->FillRect(Rect(1, t, 9, h - 1));
  bc->Pen()->SetColor(RGB(128, 128, 128));
  bc->MoveTo(9, t);
  bc->LineTo(9, h - 1);
  if (!FHandleBitmap->Empty()) {
    int y = (h - FHandleBitmap->Height()) / 2;
    if (y < t + 1) y = t + 1;
    bc->Draw(1, y, FHandleBitmap.get());
  }
  BitBlt(Canvas()->Handle(), 0, 0, w, h, bc->Handle(), 0, 0, SRCCOPY);
}

void TskSideChannel::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;
}

void TskSideChannel::CMTextChanged(TMessage&) {
  Repaint();
}
