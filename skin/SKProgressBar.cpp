#include "skin/SKProgressBar.h"

#include <algorithm>
#include <cstdint>

#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

const TEnumInfo TskProgressBarOrientationNames{{"skHorizontal", "skVertical"}};

QUENDREL_REGISTER_CLASS(TskProgressBar, TCustomPanel) {
  c.Creatable();
  c.Property("FileTheme", &TskProgressBar::FileTheme, &TskProgressBar::SetFileTheme);
  c.Enum("UIStyle", &TskProgressBar::UIStyle, &TskProgressBar::SetUIStyle, TskUIStyleNames);
  ColorProperty(c, "CaptionColor", &TskProgressBar::CaptionColor, &TskProgressBar::SetCaptionColor);
  c.Property("ShowCaption", &TskProgressBar::ShowCaption, &TskProgressBar::SetShowCaption);
  c.Property("SmartShowCaption", &TskProgressBar::SmartShowCaption, &TskProgressBar::SetSmartShowCaption);
  c.Property("Max", &TskProgressBar::Max, &TskProgressBar::SetMax);
  c.Property("Min", &TskProgressBar::Min, &TskProgressBar::SetMin);
  c.Property("Position", &TskProgressBar::Position, &TskProgressBar::SetPosition);
  c.Enum("Orientation", &TskProgressBar::Orientation, &TskProgressBar::SetOrientation,
         TskProgressBarOrientationNames);
  ColorProperty(c, "BorderColor", &TskProgressBar::BorderColor, &TskProgressBar::SetBorderColor);
  ColorProperty(c, "Color", &TskProgressBar::Color, &TskProgressBar::SetColor);
  c.Property("Picture", &TskProgressBar::Picture, &TskProgressBar::SetPicture);
}

TskProgressBar::TskProgressBar(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Exclude(csAcceptsControls);
  FPicture = std::make_unique<TPicture>();
  SetHeight(12);
  SetWidth(150);
  SetCaption("50%");
  SetColor(clBtnFace);
  SetUIStyle(GetSKFormStyle(AOwner));
  UpdateProgress();
}

TskProgressBar::~TskProgressBar() = default;

void TskProgressBar::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  UpdatePicture();
}

void TskProgressBar::SetCaptionColor(TColor Value) {
  FCaptionColor = Value;
  Repaint();
}

void TskProgressBar::SetShowCaption(bool Value) {
  FShowCaption = Value;
  Repaint();
}

void TskProgressBar::SetSmartShowCaption(bool Value) {
  FSmartShowCaption = Value;
  Repaint();
}

void TskProgressBar::SetMax(int Value) {
  FMax = Value;
  UpdateProgress();
}

void TskProgressBar::SetMin(int Value) {
  FMin = Value;
  UpdateProgress();
}

void TskProgressBar::SetPosition(int Value) {
  FPosition = Value;
  UpdateProgress();
}

void TskProgressBar::SetOrientation(TskProgressBarOrientation Value) {
  FOrientation = Value;
  UpdatePicture();
}

void TskProgressBar::SetBorderColor(TColor Value) {
  FBorderColor = Value;
  Repaint();
}

void TskProgressBar::SetColor(TColor Value) {
  FColor = Value;
  Repaint();
}

void TskProgressBar::SetPicture(TPicture* Value) {
  FPicture->Assign(Value);
  Repaint();
}

void TskProgressBar::StepIt() {
  SetPosition(FPosition + 1);
}

void TskProgressBar::StepBy(int Delta) {
  SetPosition(FPosition + Delta);
}

int64_t TskProgressBar::Percent() const {
  if (FMin == FMax) return 0;
  // In 64 bits: a range wider than a few million wraps a 32-bit product.
  return (int64_t{FPosition} - FMin) * 100 / (int64_t{FMax} - FMin);
}

int TskProgressBar::GetPercentFromPosition() const {
  return static_cast<int>(std::clamp<int64_t>(Percent(), INT32_MIN, INT32_MAX));
}

int TskProgressBar::GetWidthFromPosition(int Full) const {
  if (FMin >= FMax || FMin >= FPosition) return 0;
  if (FPosition > FMax) return Full;
  // In 64 bits: a range wider than half the 32-bit span must not wrap.
  const int64_t span = int64_t{FMax} - FMin;
  return static_cast<int>((int64_t{FPosition} - FMin) * Full / span);
}

void TskProgressBar::UpdateProgress() {
  SetCaption(IntToStr(Percent()) + "%");
  Repaint();
}

void TskProgressBar::UpdatePicture() {
  TBitmap* bitmap = FPicture->Bitmap();
  FTheme.Bitmap(24, bitmap);
  SetColor(FTheme.Color(26));
  SetBorderColor(FTheme.Color(25));
  if (FOrientation == skVertical) {
    TBitmap turned;
    turned.Assign(FPicture->Bitmap());
    RoundPicture(&turned);
    FPicture->Assign(&turned);
  }
  Repaint();
}

void TskProgressBar::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;
}

void TskProgressBar::Paint() {
  const TRect client = ClientRect();
  const int w = client.Width();
  const int h = client.Height();
  TBitmap buffer;
  buffer.SetSize(w, h);
  TCanvas* canvas = buffer.Canvas();
  const bool hasGraphic = FPicture->Graphic() && !FPicture->Graphic()->Empty();
  if (FOrientation == skHorizontal) {
    int done = GetWidthFromPosition(w - 1);
    if (done == 0) done = 1;
    if (hasGraphic) canvas->StretchDraw(Rect(1, 1, done, h - 1), FPicture->Graphic());
    canvas->Brush()->SetColor(FColor);
    canvas->FillRect(Rect(done, 1, w - 1, h - 1));
  } else {
    int top = (h - 1) - GetWidthFromPosition(h - 1);
    if (top == 0) top = 1;
    if (hasGraphic) canvas->StretchDraw(Rect(1, top, w - 1, h - 1), FPicture->Graphic());
    canvas->Brush()->SetColor(FColor);
    canvas->FillRect(Rect(1, 1, w - 1, top));
    FShowCaption = false;
  }
  if (FShowCaption) {
    canvas->Font()->SetColor(FCaptionColor);
    canvas->Brush()->SetStyle(bsClear);
    if (!(FSmartShowCaption && FPosition == FMin)) {
      const AnsiString text = Caption();
      canvas->TextOut((w - canvas->TextWidth(text)) / 2, (h - canvas->TextHeight(text)) / 2, text);
    }
  }
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(FBorderColor);
  canvas->FrameRect(client);
  BitBlt(Canvas()->Handle(), 0, 0, w, h, canvas->Handle(), 0, 0, SRCCOPY);
}
