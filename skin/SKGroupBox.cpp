#include "skin/SKGroupBox.h"

#include <cstdlib>

#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

QUENDREL_REGISTER_CLASS(TskCustomGroupBox, TskCustomPanel) {
  c.Property("FileTheme", &TskCustomGroupBox::FileTheme, &TskCustomGroupBox::SetFileTheme);
  c.Enum("UIStyle", &TskCustomGroupBox::UIStyle, &TskCustomGroupBox::SetUIStyle, TskUIStyleNames);
  c.Property("Caption", &TskCustomGroupBox::Caption, &TskCustomGroupBox::SetCaption);
  c.Property("Transparent", &TskCustomGroupBox::Transparent, &TskCustomGroupBox::SetTransparent).Default(0);
}

QUENDREL_REGISTER_CLASS(TskGroupBox, TskCustomGroupBox) {
  c.Creatable();
  ColorProperty(c, "BorderColor", &TskGroupBox::BorderColor, &TskGroupBox::SetBorderColor);
}

TskCustomGroupBox::TskCustomGroupBox(TComponent* AOwner) : inherited(AOwner) {
  SetText(" ");
  SetBounds(Left(), Top(), 185, 105);
  SetParentColor(true);
  SetTransparent(false);
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskCustomGroupBox::SetBorderColor(TColor Value) {
  FBorderColor = Value;
  Repaint();
}

void TskCustomGroupBox::SetCaption(const AnsiString& Value) {
  FCaption = Value;
  Repaint();
}

void TskCustomGroupBox::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  UpdateUIStyle(FTheme.UIStyle, FTheme.FileTheme);
}

void TskCustomGroupBox::UpdateUIStyle(TskUIStyle Style, TskFileTheme* FileTheme) {
  ContainerApplyUIStyle(this, Style, FileTheme);
  SetBorderColor(FTheme.Color(25));
  Font()->SetColor(FTheme.Color(27));
}

int TskCustomGroupBox::FontHeight() const {
  return std::abs(Font()->Height());
}

TRect TskCustomGroupBox::GetClient() {
  const TRect c = ClientRect();
  return Rect(c.Left + 3, c.Top + FontHeight(), c.Right - 2, c.Bottom - 2);
}

void TskCustomGroupBox::AlignControls(TControl* AControl, TRect& Rect) {
  Rect.Left += 3;
  Rect.Right -= 3;
  Rect.Bottom -= 3;
  Rect.Top += FontHeight() + 5;
  inherited::AlignControls(AControl, Rect);
}

void TskCustomGroupBox::Paint() {
  const int h = FontHeight();
  TCanvas* canvas = Canvas();
  if (!Transparent()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
  } else {
    inherited::Paint();
  }
  canvas->SetFont(Font());
  TRect r = ClientRect();
  r.Top += h / 2 + 1;
  canvas->Pen()->SetColor(FBorderColor);
  const int captionWidth = canvas->TextWidth(FCaption);
  const bool rightToLeft = UseRightToLeftLayout(this);
  if (rightToLeft) {
    canvas->MoveTo(r.Right - 3, r.Top);
    canvas->LineTo(r.Right - 1, r.Top);
    canvas->LineTo(r.Right - 1, r.Bottom - 1);
    canvas->LineTo(r.Left + 1, r.Bottom - 1);
    canvas->LineTo(r.Left + 1, r.Top);
    canvas->LineTo(FCaption.empty() ? r.Right - 1 : r.Right - 7 - captionWidth, r.Top);
  } else {
    canvas->MoveTo(r.Left + 2, r.Top);
    canvas->LineTo(r.Left, r.Top);
    canvas->LineTo(r.Left, r.Bottom - 1);
    canvas->LineTo(r.Right - 1, r.Bottom - 1);
    canvas->LineTo(r.Right - 1, r.Top);
    canvas->LineTo(FCaption.empty() ? r.Left : r.Left + 6 + captionWidth, r.Top);
  }
  canvas->SetFont(Font());
  if (!Enabled()) canvas->Font()->SetColor(0x808080);
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut(rightToLeft ? Width() - 6 - captionWidth : 5, 0, FCaption);
}

void TskCustomGroupBox::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  Repaint();
}

void TskCustomGroupBox::CMTextChanged(TMessage&) {
  Repaint();
}
