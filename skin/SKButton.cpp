#include "skin/SKButton.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Form.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/ImageList.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

namespace {

constexpr int EmptyPicWidth = 74;
constexpr int EmptyPicHeight = 21;

bool IsBlank(const AnsiString& Text) {
  const std::string s = Text;
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 33; });
}

// These parents show through transparent buttons themselves; the others are copied under the button.
bool ParentPaintsUnder(TWinControl* Parent) {
  if (!Parent) return false;
  return IsA(Parent, "TTabSheet") || IsA(Parent, "TskDBNavigator") || IsA(Parent, "TskToolBar");
}

// Measures Text in R with word breaks, then draws it centred in R.
void DrawCentred(TCanvas* Canvas, const AnsiString& Text, const TRect& R) {
  RECT measured = R;
  DrawText(Canvas->Handle(), Text.c_str(), -1, &measured, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  const int w = measured.Width();
  const int h = measured.Height();
  OffsetRect(measured, (R.Width() - w) / 2, (R.Height() - h) / 2);
  DrawText(Canvas->Handle(), Text.c_str(), -1, &measured, DT_CENTER);
}

} // namespace

const TEnumInfo ButtonLayoutNames{{"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
const TEnumInfo skArrowButtonTypeNames{{"skUp", "skDown"}};

// ----- TskCustomButton

QUENDREL_REGISTER_CLASS(TskCustomButton, TCustomControl) {
  c.Property("Caption", &TskCustomButton::Caption, &TskCustomButton::SetCaption);
  c.Property("AutoSize", &TskCustomButton::AutoSize, &TskCustomButton::SetAutoSize);
  // Stored defaults as the button's constructor leaves them, so that false is written and read back.
  c.Property("TabStop", &TskCustomButton::TabStop, &TskCustomButton::SetTabStop).Default(1);
  c.Property("ParentColor", &TskCustomButton::ParentColor, &TskCustomButton::SetParentColor).Default(1);
  // A colour taken from the parent is not the button's own: storing it would turn ParentColor off at load.
  ColorProperty(c, "Color", &TskCustomButton::Color, &TskCustomButton::SetColor)
      .Stored([](const TskCustomButton* b) { return !b->ParentColor(); });
  c.Event("OnMouseEnter", &TskCustomButton::OnMouseEnter);
  c.Event("OnMouseExit", &TskCustomButton::OnMouseExit);
  c.Event("OnMouseContinuouslyDown", &TskCustomButton::OnMouseContinuouslyDown);
}

TskCustomButton::TskCustomButton(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Exclude(csDoubleClicks).Exclude(csAcceptsControls);
  SetTabStop(true);
  SetUIStyle(GetSKFormStyle(AOwner));
}

TskCustomButton::~TskCustomButton() = default;

void TskCustomButton::SetAutoSize(bool Value) {
  FAutoSize = Value;
  AutoSizeChanged();
  Repaint();
}

void TskCustomButton::SetCaption(const AnsiString& Value) {
  FCaption = Value;
  SetText(Value);
  CaptionChanged();
  Repaint();
}

void TskCustomButton::SetDefault(bool Value) {
  FDefault = Value;
  TCustomForm* form = GetParentForm();
  if (HandleAllocated() && form) {
    TMessage m{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()), 0};
    form->Perform(m.Msg, m.WParam, m.LParam);
  }
}

void TskCustomButton::SetTransparent(bool Value) {
  FTransparent = Value;
  TransparentChanged();
  Repaint();
}

void TskCustomButton::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  UIStyleChanged();
  Repaint();
}

void TskCustomButton::SetPicTransparent(bool Value) {
  FPicTransparent = Value;
  Repaint();
}

void TskCustomButton::SetFocusedRectMargin(int Value) {
  FFocusedRectMargin = Value;
  Repaint();
}

void TskCustomButton::SetEnabled(bool Value) {
  inherited::SetEnabled(Value);
  EnableChanged();
  Repaint();
}

void TskCustomButton::AutoSizeChanged() {
  if (!FAutoSize) return;
  TBitmap pic;
  GetInsideThemeBitmap(FTheme.UIStyle, 1, &pic, 0, 0);
  int h = pic.Height(), w = pic.Width();
  if (pic.Empty()) {
    h = EmptyPicHeight;
    w = EmptyPicWidth;
  }
  SetHeight(h);
  SetWidth(w / 3);
}

void TskCustomButton::FontChanged() {
  Canvas()->SetFont(Font());
  Repaint();
}

void TskCustomButton::TransparentChanged() {
  SetPicTransparent(FTransparent);
}

void TskCustomButton::PaintButton(int ThemeIndex, int SpitCount, int SpitIndex, TBitmap* Bitmap) {
  FTheme.Bitmap(ThemeIndex, Bitmap, SpitCount, SpitIndex);
}

void TskCustomButton::PaintButtonNormal(TBitmap* Bitmap) {
  PaintButton(1, 3, 1, Bitmap);
}
void TskCustomButton::PaintButtonMouseOn(TBitmap* Bitmap) {
  PaintButton(1, 3, 2, Bitmap);
}
void TskCustomButton::PaintButtonMouseDown(TBitmap* Bitmap) {
  PaintButton(1, 3, 3, Bitmap);
}
void TskCustomButton::PaintButtonDisabled(TBitmap* Bitmap) {
  PaintButton(1, 3, 1, Bitmap);
}

void TskCustomButton::Paint() {
  TBitmap buffer;
  TBitmap pic;
  try {
    if (Enabled()) {
      if (FMouseDown)
        PaintButtonMouseDown(&pic);
      else if (FMouseOn)
        PaintButtonMouseOn(&pic);
      else
        PaintButtonNormal(&pic);
    } else {
      PaintButtonDisabled(&pic);
    }
  } catch (...) {
    // A missing picture must not stop the button from painting its background and caption.
    pic.SetSize(EmptyPicWidth, EmptyPicHeight);
  }
  pic.SetTransparent(FPicTransparent);
  buffer.SetPixelFormat(pfDevice);
  buffer.SetWidth(Width());
  buffer.SetHeight(Height());
  const TRect client = ClientRect();
  if (FTransparent) {
    DoTrans(buffer.Canvas(), ParentPaintsUnder(Parent()) ? Parent() : this);
  } else {
    buffer.Canvas()->Brush()->SetColor(Color());
    buffer.Canvas()->FillRect(client);
  }
  PaintPic(buffer.Canvas(), &pic);
  if (Focused() && TabStop()) PaintFocus(buffer.Canvas());
  buffer.Canvas()->SetFont(Font());
  Canvas()->SetFont(Font());
  if (!IsBlank(FCaption)) PaintText(buffer.Canvas(), FCaption);
  Canvas()->CopyRect(client, buffer.Canvas(), client);
}

void TskCustomButton::PaintPic(TCanvas* Canvas, TBitmap* Bitmap) {
  if (Bitmap->Width() == 0 || Bitmap->Height() == 0) return;
  TImageList list(Bitmap->Width(), Bitmap->Height());
  if (FPicTransparent)
    list.AddMasked(Bitmap, Bitmap->Canvas()->Pixels(0, 0));
  else
    list.Add(Bitmap, nullptr);
  list.Draw(Canvas, 0, 0, 0, Enabled());
}

void TskCustomButton::PaintText(TCanvas* Canvas, const AnsiString& Text) {
  Canvas->Brush()->SetStyle(bsClear);
  TRect r = ClientRect();
  Canvas->SetFont(Font());
  if (FBoldCaption) Canvas->Font()->SetStyle(Canvas->Font()->Style().Include(fsBold));
  if (!Enabled()) {
    TRect shadow = r;
    OffsetRect(shadow, 1, 1);
    Canvas->Font()->SetColor(static_cast<TColor>(0xFFFFFF));
    DrawCentred(Canvas, Text, shadow);
    r = ClientRect();
    Canvas->Font()->SetColor(static_cast<TColor>(0x808080));
  } else if (FMouseDown) {
    OffsetRect(r, 1, 1);
  }
  DrawCentred(Canvas, Text, r);
  FBoldCaption = false;
}

void TskCustomButton::PaintFocus(TCanvas* Canvas) {
  Canvas->Brush()->SetStyle(bsSolid);
  const int m = FFocusedRectMargin;
  Canvas->DrawFocusRect(Rect(m, m, ClientWidth() - m, ClientHeight() - m));
}

void TskCustomButton::CreateWnd() {
  inherited::CreateWnd();
  FActive = FDefault;
}

void TskCustomButton::CMMouseEnter(TMessage& Message) {
  inherited::CMMouseEnter(Message);
  if (ComponentState().Contains(csDesigning)) return;
  FMouseOn = true;
  Repaint();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TskCustomButton::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
  FMouseOn = false;
  FMouseDown = false;
  FreeTimer();
  Repaint();
  if (OnMouseExit) OnMouseExit(this);
}

void TskCustomButton::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (X < 0 || Y < 0 || X > Width() || Y > Height()) {
    FMouseOn = false;
    FMouseDown = false;
    Repaint();
  }
}

void TskCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    FMouseDown = true;
    if (!FTimer) {
      FTimer = std::make_unique<TTimer>(nullptr);
      FTimer->OnTimer = [this](TObject* Sender) { OnTimer(Sender); };
      FTimer->SetInterval(static_cast<unsigned>(std::max(FMouseContinuouslyDownInterval, 0)));
      FTimer->SetEnabled(true);
    }
    if (TabStop() && CanFocus() && Enabled() && Visible()) {
      try {
        SetFocus();
      } catch (...) {
      }
    }
    Repaint();
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TskCustomButton::OnTimer(TObject*) {
  if (OnMouseContinuouslyDown) OnMouseContinuouslyDown(this);
}

void TskCustomButton::Click() {
  if (FMouseDown) {
    FreeTimer();
    FMouseDown = false;
    Repaint();
  }
  TCustomForm* form = GetParentForm();
  if (Parent() && form) form->SetModalResult(FModalResult);
  inherited::Click();
}

void TskCustomButton::CMCancelMode(TMessage& Message) {
  inherited::CMCancelMode(Message);
  FMouseOn = false;
  FMouseDown = false;
  FreeTimer();
  Repaint();
}

void TskCustomButton::WMKeyDown(TMessage& Message) {
  inherited::WMKeyDown(Message);
  const WORD key = TWMKey(Message).CharCode;
  if ((key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled()) {
    FMouseDown = true;
    Repaint();
  }
}

void TskCustomButton::WMKeyUp(TMessage& Message) {
  inherited::WMKeyUp(Message);
  const WORD key = TWMKey(Message).CharCode;
  if ((key == VK_SPACE || key == VK_RETURN) && Focused() && FMouseDown && Enabled()) {
    FMouseDown = false;
    Repaint();
    Click();
  }
}

void TskCustomButton::CMDialogKey(TMessage& Message) {
  const TWMKey key(Message);
  if (((key.CharCode == VK_RETURN && FActive) || (key.CharCode == VK_ESCAPE && FCancel)) &&
      KeyDataToShiftState(key.KeyData).Empty() && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogKey(Message);
}

void TskCustomButton::CMDialogChar(TMessage& Message) {
  inherited::CMDialogChar(Message);
  if (IsAccel(TWMKey(Message).CharCode, FCaption) && Parent() && Parent()->Enabled() && Enabled()) {
    Click();
    Message.Result = 1;
  } else {
    Message.Result = 0;
  }
}

void TskCustomButton::CMFocusChanged(TMessage& Message) {
  inherited::CMFocusChanged(Message);
  auto* focused = dynamic_cast<TskButton*>(reinterpret_cast<TWinControl*>(Message.LParam));
  FActive = focused ? focused == this : FDefault;
  Repaint();
}

void TskCustomButton::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;
}

void TskCustomButton::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
  Repaint();
}

void TskCustomButton::WMKillFocus(TMessage& Message) {
  inherited::WMKillFocus(Message);
  Repaint();
}

void TskCustomButton::CMFontChanged(TMessage&) {
  FontChanged();
}

void TskCustomButton::CMTextChanged(TMessage&) {
  SetCaption(GetText());
}

void TskCustomButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  inherited::ActionChange(Sender, CheckDefaults);
  SetCaption(GetText());
}

// ----- TskButton

QUENDREL_REGISTER_CLASS(TskButton, TskCustomButton) {
  c.Creatable();
  c.Property("FileTheme", &TskButton::FileTheme, &TskButton::SetFileTheme);
  c.Enum("UIStyle", &TskButton::UIStyle, &TskButton::SetUIStyle, TskUIStyleNames);
  c.Property("Cancel", &TskButton::Cancel, &TskButton::SetCancel).Default(0);
  c.Property("Default", &TskButton::Default, &TskButton::SetDefault).Default(0);
  c.Property("Transparent", &TskButton::Transparent, &TskButton::SetTransparent);
  c.Property("ModalResult", &TskButton::ModalResult, &TskButton::SetModalResult);
  c.Property("FocusedRectMargin", &TskButton::FocusedRectMargin, &TskButton::SetFocusedRectMargin);
  c.Property("Glyph", &TskButton::Glyph, &TskButton::SetGlyph);
  c.Enum("Layout", &TskButton::Layout, &TskButton::SetLayout, ButtonLayoutNames);
  c.Property("Spacing", &TskButton::Spacing, &TskButton::SetSpacing);
  c.Property("MouseContinuouslyDownInterval", &TskButton::MouseContinuouslyDownInterval,
             &TskButton::SetMouseContinuouslyDownInterval);
  c.Property("ResHandle", &TskButton::ResHandle, &TskButton::SetResHandle);
}

TskButton::TskButton(TComponent* AOwner) : TskCustomButton(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  SetBounds(Left(), Top(), 80, 27);
  // The base constructor ran before this class's UIStyleChanged existed.
  SetUIStyle(UIStyle());
}

void TskButton::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Repaint();
}

void TskButton::SetLayout(TButtonLayout Value) {
  FLayout = Value;
  Repaint();
}

void TskButton::SetSpacing(int Value) {
  FSpacing = Value;
  Repaint();
}

void TskButton::UIStyleChanged() {
  SetTransparent(Theme().Bool(2));
}

void TskButton::PaintFocus(TCanvas* Canvas) {
  if (UIStyle() == MacOS || UIStyle() == BlueGlass)
    FBoldCaption = true;
  else
    inherited::PaintFocus(Canvas);
}

void TskButton::PaintPic(TCanvas* Canvas, TBitmap* Bitmap) {
  Canvas->SetFont(Font());
  SpitDraw(Bitmap, Canvas, ClientRect(), PicTransparent());
  if (FGlyph->Empty()) return;
  const AnsiString caption = Caption();
  const int tw = Canvas->TextWidth(caption), th = Canvas->TextHeight(caption);
  int gw = FGlyph->Width();
  const int gh = FGlyph->Height();
  const bool twoPictures = gw == 2 * gh;
  if (twoPictures) gw = gh;
  const int w = Width(), h = Height();
  int x = 0, y = 0;
  switch (FLayout) {
  case blGlyphLeft:
    x = (w - (tw + gw + FSpacing)) / 2;
    y = (h - gh) / 2;
    FTextOrigin = Point(x + gw + FSpacing, (h - th) / 2);
    break;
  case blGlyphRight:
    x = (w + tw + FSpacing - gw) / 2;
    y = (h - gh) / 2;
    FTextOrigin = Point(x - tw - FSpacing, (h - th) / 2);
    break;
  case blGlyphTop:
    x = (w - gw) / 2;
    y = (h - (th + gh + FSpacing)) / 2;
    FTextOrigin = Point((w - tw) / 2, y + gh + FSpacing);
    break;
  case blGlyphBottom:
    x = (w - gw) / 2;
    y = (h + th + FSpacing - gh) / 2;
    FTextOrigin = Point((w - tw) / 2, y - th - FSpacing);
    break;
  }
  if (FMouseDown) {
    ++x;
    ++y;
  }
  TImageList list(gw, gh);
  list.AddMasked(FGlyph.get(), FGlyph->Canvas()->Pixels(0, 0));
  if (twoPictures)
    list.Draw(Canvas, x, y, Enabled() ? 0 : 1, true);
  else
    list.Draw(Canvas, x, y, 0, Enabled());
}

void TskButton::PaintText(TCanvas* Canvas, const AnsiString& Text) {
  if (FGlyph->Empty()) {
    inherited::PaintText(Canvas, Text);
    return;
  }
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->SetFont(Font());
  int tx = FTextOrigin.X, ty = FTextOrigin.Y;
  if (!Enabled()) {
    Canvas->Font()->SetColor(static_cast<TColor>(0xFFFFFF));
    TRect shadow = Rect(tx + 1, ty + 1, Width(), Height());
    DrawText(Canvas->Handle(), Text.c_str(), -1, &shadow, DT_SINGLELINE);
    Canvas->Font()->SetColor(static_cast<TColor>(0x808080));
  } else if (FMouseDown) {
    ++tx;
    ++ty;
  }
  TRect r = Rect(tx, ty, Width(), Height());
  DrawText(Canvas->Handle(), Text.c_str(), -1, &r, DT_SINGLELINE);
}

void TskButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  inherited::ActionChange(Sender, CheckDefaults);
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action || !FGlyph->Empty() || !action->ActionList()) return;
  TImageList* images = action->ActionList()->Images();
  const int index = action->ImageIndex();
  if (images && index >= 0 && index < images->Count()) {
    images->GetBitmap(index, FGlyph.get());
    Repaint();
  }
}

// ----- TskImageButton

QUENDREL_REGISTER_CLASS(TskImageButton, TskCustomButton) {
  c.Creatable();
  c.Enum("UIStyle", &TskImageButton::UIStyle, &TskImageButton::SetUIStyle, TskUIStyleNames);
  c.Property("DrawFocused", &TskImageButton::DrawFocused, &TskImageButton::SetDrawFocused);
  c.Property("FocusedRectMargin", &TskImageButton::FocusedRectMargin, &TskImageButton::SetFocusedRectMargin);
  c.Property("PicNormal", &TskImageButton::PicNormal, &TskImageButton::SetPicNormal);
  c.Property("PicMouseOn", &TskImageButton::PicMouseOn, &TskImageButton::SetPicMouseOn);
  c.Property("PicMouseDown", &TskImageButton::PicMouseDown, &TskImageButton::SetPicMouseDown);
  c.Property("PicDisabled", &TskImageButton::PicDisabled, &TskImageButton::SetPicDisabled);
  c.Property("Stretch", &TskImageButton::Stretch, &TskImageButton::SetStretch);
  c.Property("Cancel", &TskImageButton::Cancel, &TskImageButton::SetCancel).Default(0);
  c.Property("Default", &TskImageButton::Default, &TskImageButton::SetDefault).Default(0);
  c.Property("MouseContinuouslyDownInterval", &TskImageButton::MouseContinuouslyDownInterval,
             &TskImageButton::SetMouseContinuouslyDownInterval);
  c.Property("Transparent", &TskImageButton::Transparent, &TskImageButton::SetTransparent);
  c.Property("ModalResult", &TskImageButton::ModalResult, &TskImageButton::SetModalResult);
}

TskImageButton::TskImageButton(TComponent* AOwner)
    : TskCustomButton(AOwner), FPicNormal(std::make_unique<TPicture>()),
      FPicMouseOn(std::make_unique<TPicture>()), FPicMouseDown(std::make_unique<TPicture>()),
      FPicDisabled(std::make_unique<TPicture>()) {}

void TskImageButton::SetPic(TPicture* Pic, TPicture* Value) {
  Pic->Assign(Value);
  AutoSizeChanged();
  Repaint();
}

void TskImageButton::SetStretch(bool Value) {
  FStretch = Value;
  Repaint();
}

void TskImageButton::SetDrawFocused(bool Value) {
  FDrawFocused = Value;
  Repaint();
}

void TskImageButton::CopyPic(TPicture* Preferred, TBitmap* Bitmap) {
  TPicture* pic = Preferred && Preferred->Graphic() ? Preferred : FPicNormal.get();
  if (pic->Graphic()) Bitmap->Assign(pic->Graphic());
}

void TskImageButton::PaintButtonNormal(TBitmap* Bitmap) {
  CopyPic(nullptr, Bitmap);
}
void TskImageButton::PaintButtonMouseOn(TBitmap* Bitmap) {
  CopyPic(FPicMouseOn.get(), Bitmap);
}
void TskImageButton::PaintButtonMouseDown(TBitmap* Bitmap) {
  CopyPic(FPicMouseDown.get(), Bitmap);
}
void TskImageButton::PaintButtonDisabled(TBitmap* Bitmap) {
  CopyPic(FPicDisabled.get(), Bitmap);
}

void TskImageButton::PaintPic(TCanvas* Canvas, TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->Width() == 0 || Bitmap->Height() == 0) return;
  Bitmap->SetTransparentColor(Bitmap->Canvas()->Pixels(0, 0));
  if (FStretch)
    Canvas->StretchDraw(Rect(0, 0, Width(), Height()), Bitmap);
  else
    Canvas->Draw(0, 0, Bitmap);
}

void TskImageButton::PaintFocus(TCanvas* Canvas) {
  if (FDrawFocused) inherited::PaintFocus(Canvas);
}

void TskImageButton::AutoSizeChanged() {
  if (Parent() && AutoSize() && FPicNormal->Graphic()) {
    SetHeight(FPicNormal->Graphic()->Height());
    SetWidth(FPicNormal->Graphic()->Width());
  }
}

// ----- TskControlButton

QUENDREL_REGISTER_CLASS(TskControlButton, TskCustomButton) {
  c.Creatable();
  c.Enum("UIStyle", &TskControlButton::UIStyle, &TskControlButton::SetUIStyle, TskUIStyleNames);
  c.Property("FileTheme", &TskControlButton::FileTheme, &TskControlButton::SetFileTheme);
  c.Property("ThemeID", &TskControlButton::ThemeID, &TskControlButton::SetThemeID);
  c.Property("PicIndex", &TskControlButton::PicIndex, &TskControlButton::SetPicIndex);
  c.Property("PicCount", &TskControlButton::PicCount, &TskControlButton::SetPicCount);
  c.Property("PicTransparent", &TskControlButton::PicTransparent, &TskControlButton::SetPicTransparent);
  c.Property("MouseContinuouslyDownInterval", &TskControlButton::MouseContinuouslyDownInterval,
             &TskControlButton::SetMouseContinuouslyDownInterval);
  c.Property("Transparent", &TskControlButton::Transparent, &TskControlButton::SetTransparent);
  c.Property("ModalResult", &TskControlButton::ModalResult, &TskControlButton::SetModalResult);
}

TskControlButton::TskControlButton(TComponent* AOwner) : TskCustomButton(AOwner) {
  SetTabStop(false);
  SetFileTheme(nullptr);
  SetUIStyle(DeepBlue);
}

void TskControlButton::SetPicIndex(int Value) {
  FPicIndex = Value;
  Repaint();
}

void TskControlButton::SetPicCount(int Value) {
  FPicCount = Value;
  Repaint();
}

void TskControlButton::SetThemeID(int Value) {
  FThemeID = Value;
  Repaint();
}

void TskControlButton::PaintButtonNormal(TBitmap* Bitmap) {
  PaintButton(FThemeID, FPicCount, FPicIndex, Bitmap);
  // An item without a picture keeps the size: at 0 x 0 the button would never paint, nor grow again.
  if (Bitmap->Width() == 0 || Bitmap->Height() == 0) return;
  SetHeight(Bitmap->Height());
  SetWidth(Bitmap->Width());
}
void TskControlButton::PaintButtonMouseOn(TBitmap* Bitmap) {
  PaintButton(FThemeID, FPicCount, FPicIndex + 1, Bitmap);
}
void TskControlButton::PaintButtonMouseDown(TBitmap* Bitmap) {
  PaintButton(FThemeID, FPicCount, FPicIndex, Bitmap);
}
void TskControlButton::PaintButtonDisabled(TBitmap* Bitmap) {
  PaintButton(FThemeID, FPicCount, FPicIndex, Bitmap);
}

void TskControlButton::PaintPic(TCanvas* Canvas, TBitmap* Bitmap) {
  if (Bitmap->Width() == 0 || Bitmap->Height() == 0) return;
  Bitmap->SetTransparentColor(Bitmap->Canvas()->Pixels(0, 0));
  Bitmap->SetTransparent(PicTransparent());
  Canvas->Draw(0, 0, Bitmap);
  SetWidth(Bitmap->Width());
  SetHeight(Bitmap->Height());
}

// ----- TskArrowButton

QUENDREL_REGISTER_CLASS(TskArrowButton, TskCustomButton) {
  c.Creatable();
  c.Enum("Arrow", &TskArrowButton::Arrow, &TskArrowButton::SetArrow, skArrowButtonTypeNames);
  c.Property("FileTheme", &TskArrowButton::FileTheme, &TskArrowButton::SetFileTheme);
  c.Enum("UIStyle", &TskArrowButton::UIStyle, &TskArrowButton::SetUIStyle, TskUIStyleNames);
  c.Property("MouseContinuouslyDownInterval", &TskArrowButton::MouseContinuouslyDownInterval,
             &TskArrowButton::SetMouseContinuouslyDownInterval);
}

void TskArrowButton::SetArrow(TskArrowButtonType Value) {
  FArrow = Value;
  Repaint();
}

void TskArrowButton::UIStyleChanged() {
  SetTransparent(Theme().Bool(2));
}

void TskArrowButton::PaintPic(TCanvas* Canvas, TBitmap* Bitmap) {
  SpitDraw(Bitmap, Canvas, ClientRect(), PicTransparent());
  Canvas->Brush()->SetColor(static_cast<TColor>(0));
  Canvas->Pen()->SetColor(static_cast<TColor>(0));
  const int x0 = (Width() - 6) / 2, y0 = (Height() - 3) / 2;
  if (FArrow == skUp)
    Canvas->Polygon({Point(x0, y0 + 3), Point(x0 + 3, y0), Point(x0 + 6, y0 + 3)});
  else
    Canvas->Polygon({Point(x0, y0), Point(x0 + 3, y0 + 3), Point(x0 + 6, y0)});
}

// ----- TskToolBarSpeedButton

QUENDREL_REGISTER_CLASS(TskToolBarSpeedButton, TCustomPanel) {
  c.Creatable();
  c.Property("Glyph", &TskToolBarSpeedButton::Glyph, &TskToolBarSpeedButton::SetGlyph);
  ColorProperty(c, "Color", &TskToolBarSpeedButton::Color, &TskToolBarSpeedButton::SetColor)
      .Default(clBtnFace);
}

TskToolBarSpeedButton::TskToolBarSpeedButton(TComponent* AOwner)
    : TCustomPanel(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  SetBounds(Left(), Top(), 18, 18);
}

void TskToolBarSpeedButton::Paint() {
  FGlyph->SetTransparent(true);
  TBitmap buffer;
  buffer.SetSize(Width(), Height());
  buffer.Canvas()->Brush()->SetColor(Color());
  buffer.Canvas()->FillRect(Rect(0, 0, Width(), Height()));
  if (!FGlyph->Empty()) {
    if (FMouseOn) {
      buffer.Canvas()->Brush()->SetColor(static_cast<TColor>(0));
      buffer.Canvas()->FrameRect(ClientRect());
    }
    buffer.Canvas()->Draw(1, 1, FGlyph.get());
  }
  Canvas()->Draw(0, 0, &buffer);
}

void TskToolBarSpeedButton::CMMouseEnter(TMessage& Message) {
  inherited::CMMouseEnter(Message);
  FMouseOn = true;
  Repaint();
}

void TskToolBarSpeedButton::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
  FMouseOn = false;
  Repaint();
}

// ----- TskCheckBox

const TEnumInfo CheckBoxStateNames{{"cbUnchecked", "cbChecked", "cbGrayed"}};

QUENDREL_REGISTER_CLASS(TskCheckBox, TCustomControl) {
  c.Creatable();
  c.Enum("UIStyle", &TskCheckBox::UIStyle, &TskCheckBox::SetUIStyle, TskUIStyleNames);
  c.Property("FileTheme", &TskCheckBox::FileTheme, &TskCheckBox::SetFileTheme);
  c.Property("AutoSize", &TskCheckBox::AutoSize, &TskCheckBox::SetAutoSize);
  c.Property("Checked", &TskCheckBox::Checked, &TskCheckBox::SetChecked);
  c.Property("Caption", &TskCheckBox::Caption, &TskCheckBox::SetCaption);
  ColorProperty(c, "Color", &TskCheckBox::Color, &TskCheckBox::SetColor).Default(clWindow);
  c.Property("TabStop", &TskCheckBox::TabStop, &TskCheckBox::SetTabStop).Default(0);
  c.Enum("State", &TskCheckBox::State, &TskCheckBox::SetState, CheckBoxStateNames);
  c.Property("Transparent", &TskCheckBox::Transparent, &TskCheckBox::SetTransparent);
}

TskCheckBox::TskCheckBox(TComponent* AOwner) : inherited(AOwner) {
  SetBounds(Left(), Top(), 93, 17);
  ControlStyle.Exclude(csDoubleClicks);
  SetTabStop(true);
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskCheckBox::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  Repaint();
  CheckStateChanged();
}

void TskCheckBox::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  Repaint();
}

void TskCheckBox::SetTransparent(bool Value) {
  FTransparent = Value;
  Repaint();
}

void TskCheckBox::SetAutoSize(bool Value) {
  FAutoSize = Value;
  Repaint();
}

void TskCheckBox::SetEnabled(bool Value) {
  inherited::SetEnabled(Value);
  Repaint();
}

bool TskCheckBox::NeedDrawFocus() {
  return TabStop() && Focused();
}

void TskCheckBox::CheckStateChanged() {
  if (OnClick && !ComponentState().Contains(csLoading)) OnClick(this);
}

void TskCheckBox::DoClick() {
  Toggle();
  SetChecked(!FChecked);
}

void TskCheckBox::Paint() {
  TBitmap buffer;
  TBitmap box;
  box.SetTransparent(GetPicTransparent());
  const int piece = Enabled() ? (FChecked ? 1 : 2) : (FChecked ? 3 : 4);
  TCanvas* canvas = buffer.Canvas();
  canvas->SetFont(Font());
  FTheme.Bitmap(GetPicThemeIndex(), &box, 4, piece);
  const AnsiString caption = Caption();
  const int textHeight = canvas->TextHeight("W");
  if (FAutoSize) {
    const int h = std::max(textHeight + 2, box.Height()) + 4;
    const int w = box.Width() + 8 + canvas->TextWidth(caption);
    SetBounds(Left(), Top(), w, h);
  }
  buffer.SetSize(Width(), Height());
  canvas->SetFont(Font());
  if (FTransparent) {
    DoTrans(canvas, Parent() && IsA(Parent(), "TTabSheet") ? Parent() : this);
  } else {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
  }
  canvas->Brush()->SetStyle(bsClear);
  const int ty = (ClientHeight() - textHeight) / 2;
  const int py = (ClientHeight() - box.Height()) / 2;
  const int tx = box.Width() + 4;
  const bool rightToLeft = UseRightToLeftLayout(this);
  TRect textRect = rightToLeft ? Rect(0, ty, Width() - tx, Height()) : Rect(tx, ty, Width(), Height());
  if (!box.Empty()) canvas->Draw(rightToLeft ? Width() - box.Width() - 1 : 1, py, &box);
  DrawText(canvas->Handle(), caption.c_str(), -1, &textRect,
           rightToLeft ? DT_SINGLELINE | DT_RIGHT : DT_SINGLELINE);
  if (NeedDrawFocus()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->DrawFocusRect(rightToLeft ? Rect(0, ty, Width() - tx + 2, ty + textHeight + 2)
                                      : Rect(tx - 1, ty, Width(), ty + textHeight + 2));
  }
  Canvas()->Draw(0, 0, &buffer);
}

void TskCheckBox::Click() {
  DoClick();
  // The published OnClick belongs to the check state; here only the action runs.
  if (Action() && !ComponentState().Contains(csDesigning)) Action()->Execute();
}

void TskCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && CanFocus() && Enabled() && Visible()) {
    try {
      SetFocus();
    } catch (...) {
    }
  }
}

void TskCheckBox::WMKeyUp(TMessage& Message) {
  inherited::WMKeyUp(Message);
  const WORD key = TWMKey(Message).CharCode;
  if (WantKeyUp() && (key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled()) {
    Repaint();
    Click();
  }
}

void TskCheckBox::CMDialogChar(TMessage& Message) {
  inherited::CMDialogChar(Message);
  if (IsAccel(TWMKey(Message).CharCode, Caption()) && Enabled()) {
    if (CanFocus() && Enabled() && Visible()) {
      try {
        SetFocus();
      } catch (...) {
      }
    }
    Click();
    Message.Result = 1;
  } else {
    Message.Result = 0;
  }
}

void TskCheckBox::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  Repaint();
}

void TskCheckBox::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Repaint();
}

void TskCheckBox::CMFocusChanged(TMessage& Message) {
  inherited::CMFocusChanged(Message);
  Repaint();
}

void TskCheckBox::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
  Repaint();
}

void TskCheckBox::WMKillFocus(TMessage& Message) {
  inherited::WMKillFocus(Message);
  Repaint();
}

// ----- TskRadioButton

QUENDREL_REGISTER_CLASS(TskRadioButton, TskCheckBox) {
  c.Creatable();
  c.Property("GroupIndex", &TskRadioButton::GroupIndex, &TskRadioButton::SetGroupIndex);
}

TskRadioButton::TskRadioButton(TComponent* AOwner) : TskCheckBox(AOwner) {
  ControlStyle.Include(csDoubleClicks);
}

void TskRadioButton::UnCheckGroup() {
  TWinControl* parent = Parent();
  if (!parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* radio = dynamic_cast<TskRadioButton*>(parent->Controls(i));
    if (radio && radio != this && radio->GroupIndex() == FGroupIndex) radio->SetChecked(false);
  }
}

void TskRadioButton::CheckStateChanged() {
  if (!FChecked) return;
  UnCheckGroup();
  inherited::CheckStateChanged();
}

void TskRadioButton::DoClick() {
  if (!FChecked) SetChecked(true);
}

void TskRadioButton::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
  // Arrow keys move the focus between a radio group's buttons; the newly focused one is selected.
  const HWND previous = reinterpret_cast<HWND>(Message.WParam);
  TControl* from = previous ? FindControl(previous) : nullptr;
  if (from && from != this && from->ClassName() == "TskRadioGroupButton") Click();
}
