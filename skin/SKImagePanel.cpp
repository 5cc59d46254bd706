#include "skin/SKImagePanel.h"

#include "classlib/controls/Application.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Exception.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/Picture.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"

const TEnumInfo TskDrawStyleNames = {{"skNormal", "skStretch", "skTile"}};

QUENDREL_REGISTER_CLASS(TskCustomPanel, TCustomPanel) {}

QUENDREL_REGISTER_CLASS(TskImagePanel, TskCustomPanel) {
  c.Creatable();
  c.Property("Picture", &TskImagePanel::Picture, &TskImagePanel::SetPicture);
  c.Property("Transparent", &TskImagePanel::Transparent, &TskImagePanel::SetTransparent).Default(0);
  c.Property("AutoSize", &TskImagePanel::AutoSize, &TskImagePanel::SetAutoSize).Default(0);
  c.Enum("DrawStyle", &TskImagePanel::DrawStyle, &TskImagePanel::SetDrawStyle, TskDrawStyleNames)
      .Default(skNormal);
}

QUENDREL_REGISTER_CLASS(TskPanel, TCustomPanel) {
  c.Creatable();
  c.Property("FileTheme", &TskPanel::FileTheme, &TskPanel::SetFileTheme);
  c.Enum("UIStyle", &TskPanel::UIStyle, &TskPanel::SetUIStyle, TskUIStyleNames);
  ColorProperty(c, "BorderColor", &TskPanel::BorderColor, &TskPanel::SetBorderColor);
  c.Property("ShowButton", &TskPanel::ShowButton, &TskPanel::SetShowButton).Default(1);
  c.Property("Height", &TskPanel::Height, &TskPanel::SetHeight);
  ColorProperty(c, "CaptionFontColor", &TskPanel::CaptionFontColor, &TskPanel::SetCaptionFontColor);
  c.Event("OnPush", &TskPanel::OnPush);
  c.Event("OnPop", &TskPanel::OnPop);
}

namespace {

// The caption without the blanks and control characters around it.
AnsiString TrimCaption(const AnsiString& S) {
  size_t first = 0, last = S.size();
  while (first < last && static_cast<unsigned char>(S[first]) < 33) ++first;
  while (last > first && static_cast<unsigned char>(S[last - 1]) < 33) --last;
  return S.substr(first, last - first);
}

bool HasGraphic(const TPicture* Picture) {
  return Picture->Graphic() && !Picture->Graphic()->Empty();
}

} // namespace

// ---- TskCustomPanel ----

TskCustomPanel::TskCustomPanel(TComponent* AOwner)
    : TCustomPanel(AOwner), FPicture(std::make_unique<TPicture>()) {
  FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
  Repaint();
}

TskCustomPanel::~TskCustomPanel() {
  FPicture->OnChange = nullptr;
}

void TskCustomPanel::SetPicture(TPicture* Value) {
  FPicture->Assign(Value);
  ClearPanel();
  Repaint();
}

void TskCustomPanel::SetTransparent(const bool Value) {
  FTransparent = Value;
  if (HasGraphic(FPicture.get())) ApplyTransparent();
  Repaint();
}

void TskCustomPanel::SetAutoSize(bool Value) {
  FAutoSize = Value;
  if (HasGraphic(FPicture.get())) ApplyAutoSize();
}

void TskCustomPanel::SetCaptionPosX(int Value) {
  FCaptionPosX = Value;
  Repaint();
}

void TskCustomPanel::SetCaptionPosY(int Value) {
  FCaptionPosY = Value;
  Repaint();
}

void TskCustomPanel::SetDrawStyle(TskDrawStyle Value) {
  FDrawStyle = Value;
  ClearPanel();
  Repaint();
}

void TskCustomPanel::ApplyAutoSize() {
  if (!FAutoSize) return;
  const TAlign a = Align();
  if (a != alTop && a != alBottom && a != alClient) SetWidth(FPicture->Width());
  if (a != alLeft && a != alRight && a != alClient) TControl::SetHeight(FPicture->Height());
}

void TskCustomPanel::ApplyTransparent() {
  TGraphic* g = FPicture->Graphic();
  if (g->Transparent() != FTransparent) g->SetTransparent(FTransparent);
}

void TskCustomPanel::ClearPanel() {
  Canvas()->Brush()->SetColor(Color());
  if (HandleAllocated()) Canvas()->FillRect(ClientRect());
}

void TskCustomPanel::RepaintText(const TRect&) {}

void TskCustomPanel::PictureChanged(TObject*) {
  if (HasGraphic(FPicture.get())) {
    if (FAutoSize) ApplyAutoSize();
    ApplyTransparent();
  }
  ClearPanel();
  Repaint();
}

void TskCustomPanel::Paint() {
  const int w = Width(), h = TControl::Height();
  if (w <= 0 || h <= 0) return;
  TBitmap buffer;
  buffer.SetSize(w, h);
  TCanvas* bc = buffer.Canvas();
  const TRect client = ClientRect();
  if (FTransparent) DoTrans(bc, this);
  if (HasGraphic(FPicture.get())) {
    if (FDrawStyle == skStretch)
      bc->StretchDraw(client, FPicture->Graphic());
    else if (FDrawStyle == skTile)
      TileDraw(bc, FPicture.get(), client);
    else
      bc->Draw(0, 0, FPicture->Graphic());
  } else if (!FTransparent) {
    bc->Brush()->SetColor(Color());
    bc->FillRect(client);
  }
  bc->Brush()->SetStyle(bsClear);
  const AnsiString caption = Caption();
  if (!TrimCaption(caption).empty()) {
    bc->SetFont(Font());
    if (FCaptionPosX == -1 || FCaptionPosY == -1) {
      unsigned format = DT_SINGLELINE | DT_VCENTER;
      switch (Alignment()) {
      case taLeftJustify:
        format |= DT_LEFT;
        break;
      case taRightJustify:
        format |= DT_RIGHT;
        break;
      default:
        format |= DT_CENTER;
        break;
      }
      RECT r = client;
      DrawText(bc->Handle(), caption.c_str(), -1, &r, format);
      FCaptionRect = client;
    } else {
      bc->TextOut(FCaptionPosX, FCaptionPosY, caption);
      FCaptionRect = Bounds(FCaptionPosX, FCaptionPosY, bc->TextWidth(caption), bc->TextHeight(caption));
    }
  }
  BitBlt(Canvas()->Handle(), 0, 0, w, h, bc->Handle(), 0, 0, SRCCOPY);
}

void TskCustomPanel::CMTextChanged(TMessage&) {
  RepaintText(FCaptionRect);
  Repaint();
}

void TskCustomPanel::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;
}

void TskCustomPanel::Resize() {
  inherited::Resize();
  Repaint();
}

// ---- TskPanel ----

TskPanel::TskPanel(TComponent* AOwner) : inherited(AOwner), FCaptionPicture(std::make_unique<TBitmap>()) {
  SetWidth(100);
  SetHeight(100);
  SetUIStyle(GetSKFormStyle(AOwner));
}

TskPanel::~TskPanel() = default;

void TskPanel::SetBorderColor(TColor Value) {
  FBorderColor = Value;
  Repaint();
}

void TskPanel::SetCaptionFontColor(TColor Value) {
  FCaptionFontColor = Value;
  Repaint();
}

void TskPanel::SetShowButton(bool Value) {
  FShowButton = Value;
  Repaint();
}

void TskPanel::SetHeight(int Value) {
  FExpandedHeight = Value;
  if (ComponentState().Contains(csDesigning) || FExpanded) SetRealHeight(Value);
}

void TskPanel::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  // A file theme given to a panel in a built-in style changes nothing.
  if (ApplyingFileTheme() && Value != FromThemeFile) return;
  SetColor(0xFFFFFF);
  FTheme.Bitmap(42, FCaptionPicture.get());
  FBorderColor = FTheme.Color(25);
  FCaptionFontColor = SKPanelCaptionColor(FTheme);
  // Nudging the height makes the panel lay its children out against the new caption bar.
  const int expanded = FExpandedHeight;
  SetHeight(expanded - 1);
  SetHeight(expanded);
  Repaint();
}

int TskPanel::CaptionBarHeight() const {
  return FCaptionPicture->Empty() ? 0 : FCaptionPicture->Height();
}

bool TskPanel::ButtonShows() const {
  const TAlign a = Align();
  return FShowButton && a != alClient && a != alLeft && a != alRight;
}

void TskPanel::AlignControls(TControl* AControl, TRect& Rect) {
  Rect.Left += 3;
  Rect.Right -= 3;
  Rect.Bottom -= 3;
  Rect.Top = CaptionBarHeight() + 3;
  inherited::AlignControls(AControl, Rect);
}

void TskPanel::DrawButton(TCanvas* Target, const TRect& Bar) {
  if (!ButtonShows()) return;
  TBitmap strip;
  strip.LoadFromResourceName(0, SK_RES_PANEL_BUTTON);
  const int w4 = strip.Width() / 4, h = strip.Height();
  const int left = Bar.Right - w4 - 4, top = (Bar.Bottom - h) / 2;
  const TRect hot = Rect(left, top, left + w4, top + h);
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  FButtonHot = PtInRect(hot, p);
  const int piece = (FExpanded ? 1 : 3) + (FButtonHot ? 1 : 0);
  TBitmap bmp;
  SpitBitmap(&strip, &bmp, 4, piece);
  Target->Draw(Width() - bmp.Width() - 4, (hot.Bottom - bmp.Height()) / 2 + 2, &bmp);
}

void TskPanel::Paint() {
  const int w = Width();
  if (w <= 0 || FExpandedHeight <= 0) return;
  TBitmap buffer;
  buffer.SetSize(w, FExpandedHeight);
  TCanvas* bc = buffer.Canvas();
  bc->Brush()->SetColor(Color());
  bc->Pen()->SetColor(FBorderColor);
  bc->Rectangle(ClientRect());
  TRect bar = Rect(1, 0, w - 1, CaptionBarHeight());
  if (!FCaptionPicture->Empty()) bc->StretchDraw(bar, FCaptionPicture.get());
  bc->Brush()->SetStyle(bsClear);
  bc->SetFont(Font());
  bc->Font()->SetColor(FCaptionFontColor);
  if (UseRightToLeftLayout(this)) {
    bar.Right -= ButtonShows() ? 20 : 10;
    RECT r = bar;
    DrawText(bc->Handle(), Caption().c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    bar.Right = w - 1;
  } else {
    bar.Left = 10;
    RECT r = bar;
    DrawText(bc->Handle(), Caption().c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER);
  }
  DrawButton(bc, bar);
  BitBlt(Canvas()->Handle(), 0, 0, w, FExpandedHeight, bc->Handle(), 0, 0, SRCCOPY);
}

void TskPanel::PaintButton() {
  DrawButton(Canvas(), Rect(1, 0, Width() - 1, CaptionBarHeight()));
}

void TskPanel::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;
}

void TskPanel::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (FShowButton && Y <= CaptionBarHeight()) PaintButton();
}

void TskPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FButtonHot) {
    if (FExpanded)
      Push();
    else
      Pop();
  }
  Repaint();
}

void TskPanel::Resize() {
  inherited::Resize();
  if (!FSliding && FExpanded) FExpandedHeight = RealHeight();
}

void TskPanel::Push() {
  const TAlign a = Align();
  if (a == alClient || a == alLeft || a == alRight)
    throw Exception("Can't push when Align is alClient, alLeft or alRight.");
  int target = CaptionBarHeight();
  if (target == 0) target = 20;
  FSliding = true;
  while (RealHeight() - 15 > target) {
    SetRealHeight(RealHeight() - 15);
    Refresh();
    Application->ProcessMessages();
  }
  SetRealHeight(target);
  Refresh();
  FSliding = false;
  FExpanded = false;
  Repaint();
  if (OnPush) OnPush(this);
}

void TskPanel::Pop() {
  FSliding = true;
  while (RealHeight() + 15 < FExpandedHeight) {
    SetRealHeight(RealHeight() + 15);
    Refresh();
    Application->ProcessMessages();
  }
  SetRealHeight(FExpandedHeight);
  Refresh();
  FSliding = false;
  FExpanded = true;
  Repaint();
  if (OnPop) OnPop(this);
}
