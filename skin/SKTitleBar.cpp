#include "skin/SKTitleBar.h"

#include <algorithm>

#include "classlib/controls/Application.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Form.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/Icon.h"
#include "classlib/win/Windows.h"
#include "skin/SKForm.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"

const TEnumInfo TskTitleBarBtnTypeNames{{"skMax", "skMin", "skClose", "skHelp", "skControlBox", "skCustom"}};
const TEnumInfo TskTitleBarAlignNames{{"skLeft", "skRight", "skClient"}};

QUENDREL_REGISTER_CLASS(TskTitleBarButton, TCollectionItem) {
  c.CollectionItem();
  c.Enum("UIStyle", &TskTitleBarButton::UIStyle, &TskTitleBarButton::SetUIStyle, TskUIStyleNames);
  c.Enum("ButtonType", &TskTitleBarButton::ButtonType, &TskTitleBarButton::SetButtonType,
         TskTitleBarBtnTypeNames);
  c.Property("Transparent", &TskTitleBarButton::Transparent, &TskTitleBarButton::SetTransparent);
  c.Property("Top", &TskTitleBarButton::Top, &TskTitleBarButton::SetTop);
  c.Property("ControlBoxMenu", &TskTitleBarButton::ControlBoxMenu, &TskTitleBarButton::SetControlBoxMenu);
  c.Property("Visible", &TskTitleBarButton::Visible, &TskTitleBarButton::SetVisible);
  c.Property("PicNormal", &TskTitleBarButton::PicNormal, &TskTitleBarButton::SetPicNormal);
  c.Property("PicMouseOn", &TskTitleBarButton::PicMouseOn, &TskTitleBarButton::SetPicMouseOn);
  c.Property("PicMouseDown", &TskTitleBarButton::PicMouseDown, &TskTitleBarButton::SetPicMouseDown);
}

QUENDREL_REGISTER_CLASS(TskTitleBarSection, TCollectionItem) {
  c.CollectionItem();
  c.Property("AutoSize", &TskTitleBarSection::AutoSize, &TskTitleBarSection::SetAutoSize);
  c.Property("Width", &TskTitleBarSection::Width, &TskTitleBarSection::SetWidth);
  c.Enum("Align", &TskTitleBarSection::Align, &TskTitleBarSection::SetAlign, TskTitleBarAlignNames);
  c.Property("Picture", &TskTitleBarSection::Picture, &TskTitleBarSection::SetPicture);
  c.Property("Stretch", &TskTitleBarSection::Stretch, &TskTitleBarSection::SetStretch);
}

QUENDREL_REGISTER_CLASS(TskTitleBarCollection, TCollection) {}
QUENDREL_REGISTER_CLASS(TskTitleBarButtons, TskTitleBarCollection) {}
QUENDREL_REGISTER_CLASS(TskTitleBarSections, TskTitleBarCollection) {}

QUENDREL_REGISTER_CLASS(TskTitleBarPopupMenu, TskPopupMenu) {}

QUENDREL_REGISTER_CLASS(TskTitleBar, TCustomPanel) {
  c.Creatable();
  c.Property("Custom", &TskTitleBar::Custom, &TskTitleBar::SetCustom);
  c.Property("FileTheme", &TskTitleBar::FileTheme, &TskTitleBar::SetFileTheme);
  c.Enum("UIStyle", &TskTitleBar::UIStyle, &TskTitleBar::SetUIStyle, TskUIStyleNames);
  c.Property("AutoSize", &TskTitleBar::AutoSize, &TskTitleBar::SetAutoSize2).Default(0);
  c.Enum("BiDiMode", &TskTitleBar::BiDiMode, &TskTitleBar::SetBiDiMode, BiDiModeNames);
  c.Property("Height", &TskTitleBar::Height, &TskTitleBar::SetHeight);
  c.Property("Sections", &TskTitleBar::Sections, &TskTitleBar::SetSections);
  c.Property("Buttons", &TskTitleBar::Buttons, &TskTitleBar::SetButtons);
  c.Property("ButtonInterval", &TskTitleBar::ButtonInterval, &TskTitleBar::SetButtonInterval);
  c.Property("Caption", &TskTitleBar::Caption, &TskTitleBar::SetCaption);
  c.Property("Font", &TskTitleBar::Font, &TskTitleBar::SetFont);
  c.Property("FormActive", &TskTitleBar::FormActive, &TskTitleBar::SetFormActive);
  c.Property("LeftBtnXOffset", &TskTitleBar::LeftBtnXOffset, &TskTitleBar::SetLeftBtnXOffset);
  c.Property("RightBtnXOffset", &TskTitleBar::RightBtnXOffset, &TskTitleBar::SetRightBtnXOffset);
  c.Property("DrawAppIcon", &TskTitleBar::DrawAppIcon, &TskTitleBar::SetDrawAppIcon);
  c.Property("RoundCorner", &TskTitleBar::RoundCorner, &TskTitleBar::SetRoundCorner);
  c.Property("RoundCornerBottom", &TskTitleBar::RoundCornerBottom, &TskTitleBar::SetRoundCornerBottom);
  c.Event("OnCustomBtnsClick", &TskTitleBar::OnCustomBtnsClick);
  c.Event("OnHelpBtnClick", &TskTitleBar::OnHelpBtnClick);
}

namespace {

void ErrorBox(const char* Text) {
  MessageBox(nullptr, Text, "Error", MB_ICONERROR | MB_OK);
}

bool HasGraphic(const TPicture* Picture) {
  return Picture && Picture->Graphic() && !Picture->Graphic()->Empty();
}

// The first piece (normal; mouse-on and mouse-down follow) of each button type in the caption-button strip.
int FirstPiece(TskTitleBarBtnType Type) {
  switch (Type) {
  case skControlBox:
    return 1;
  case skHelp:
    return 4;
  case skMax:
    return 7;
  case skMin:
    return 13;
  case skClose:
    return 16;
  case skCustom:
    break;
  }
  return 0;
}

constexpr int CaptionButtonPieces = 18;
constexpr int RestorePiece = 10;
// Where the system menu drops down in right-to-left layout, right of the bar's left edge.
constexpr int RightToLeftMenuOffset = 176;

bool IsMDIFrame(const TComponent* C) {
  const TClass mdi = GetClass("TskMDIForm");
  return C && mdi && C->InheritsFrom(mdi);
}

void MinimizeForm(TCustomForm* Form) {
  if (Form == Application->MainForm())
    SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); // the whole application goes
  else
    Form->SetWindowState(wsMinimized);
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TskTitleBarButton

TskTitleBarButton::TskTitleBarButton(TCollection* Collection)
    : TCollectionItem(Collection), FPicNormal(std::make_unique<TPicture>()),
      FPicMouseOn(std::make_unique<TPicture>()), FPicMouseDown(std::make_unique<TPicture>()) {
  SetUIStyle(DeepBlue);
}

TskTitleBarButton::~TskTitleBarButton() = default;

TskTitleBar* TskTitleBarButton::TitleBar() const {
  auto* buttons = dynamic_cast<TskTitleBarCollection*>(Collection());
  return buttons ? buttons->TitleBar() : nullptr;
}

void TskTitleBarButton::Changed() {
  if (TskTitleBar* bar = TitleBar()) bar->Invalidate();
}

void TskTitleBarButton::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TskTitleBarButton*>(Source);
  if (!source) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetVisible(source->Visible());
  SetButtonType(source->ButtonType());
  SetTransparent(source->Transparent());
  SetTop(source->Top());
  SetUIStyle(source->UIStyle());
  FPicNormal->Assign(source->PicNormal());
  FPicMouseOn->Assign(source->PicMouseOn());
  FPicMouseDown->Assign(source->PicMouseDown());
  SetControlBoxMenu(source->ControlBoxMenu());
}

void TskTitleBarButton::SetUIStyle(TskUIStyle Value) {
  FUIStyle = Value;
  UpdateUIStyle();
}

void TskTitleBarButton::SetButtonType(TskTitleBarBtnType Value) {
  if (Value == skControlBox && Collection()) {
    for (int i = 0; i < Collection()->Count(); ++i)
      if (static_cast<TskTitleBarButton*>(Collection()->Items(i))->ButtonType() == skControlBox) {
        ErrorBox("Sorry, only one button's ButtonType property can be \"skControlBox\"");
        return;
      }
  }
  FButtonType = Value;
  UpdateUIStyle();
  Changed();
}

void TskTitleBarButton::SetTransparent(bool Value) {
  FTransparent = Value;
  Changed();
}

void TskTitleBarButton::SetTop(int Value) {
  FTop = Value;
  Changed();
}

void TskTitleBarButton::SetControlBoxMenu(TPopupMenu* Value) {
  FControlBoxMenu = Value;
  // The bar forgets the menu for its buttons when the menu goes.
  if (Value)
    if (TskTitleBar* bar = TitleBar()) Value->FreeNotification(bar);
}

void TskTitleBarButton::SetVisible(bool Value) {
  FVisible = Value;
  Changed();
}

void TskTitleBarButton::SetPicNormal(TPicture* Value) {
  FPicNormal->Assign(Value);
  Changed();
}

void TskTitleBarButton::SetPicMouseOn(TPicture* Value) {
  FPicMouseOn->Assign(Value);
  Changed();
}

void TskTitleBarButton::SetPicMouseDown(TPicture* Value) {
  FPicMouseDown->Assign(Value);
  Changed();
}

void TskTitleBarButton::UpdateUIStyle() {
  TskTitleBar* bar = TitleBar();
  TskUIStyle style;
  if (UsingFileTheme(bar ? bar->FileTheme() : nullptr, FUIStyle, style))
    UpdateFileTheme();
  else
    UpdateInsideTheme(style);
  if (FButtonType == skMax) ProcessMaxBtn();
}

void TskTitleBarButton::UpdateFileTheme() {
  TskTitleBar* bar = TitleBar();
  ApplyTheme(TskThemeLink{FromThemeFile, bar ? bar->FileTheme() : nullptr});
}

void TskTitleBarButton::UpdateInsideTheme(TskUIStyle Style) {
  ApplyTheme(TskThemeLink{Style, nullptr});
}

void TskTitleBarButton::ApplyTheme(const TskThemeLink& Theme) {
  FTransparent = Theme.Bool(6);
  if (FButtonType != skCustom) {
    LoadPictures(Theme, FirstPiece(FButtonType));
    FTop = Theme.Size(9);
  }
  Changed();
}

void TskTitleBarButton::LoadPictures(const TskThemeLink& Theme, int First) {
  Theme.Bitmap(5, FPicNormal->Bitmap(), CaptionButtonPieces, First);
  Theme.Bitmap(5, FPicMouseOn->Bitmap(), CaptionButtonPieces, First + 1);
  Theme.Bitmap(5, FPicMouseDown->Bitmap(), CaptionButtonPieces, First + 2);
}

void TskTitleBarButton::ProcessMaxBtn() {
  if (FButtonType != skMax) return;
  TskTitleBar* bar = TitleBar();
  if (bar && bar->Custom()) return;
  TCustomForm* form = bar ? bar->GetParentForm() : nullptr;
  const bool maximized = form && form->WindowState() == wsMaximized;
  LoadPictures(TskThemeLink{FUIStyle, bar ? bar->FileTheme() : nullptr},
               maximized ? RestorePiece : FirstPiece(skMax));
  Changed();
}

void TskTitleBarButton::DoClick() {
  TskTitleBar* bar = TitleBar();
  TCustomForm* form = bar ? bar->GetParentForm() : nullptr;
  if (!form) return;
  switch (FButtonType) {
  case skMax:
    if (form->WindowState() == wsMaximized) {
      form->SetWindowState(wsNormal);
    } else {
      form->SetWindowState(wsMaximized);
      if (!bar->InForm()) {
        const TRect work = GetWorkAreaRect();
        PlaceControl(form, TRect{work.Left - 2, work.Top - 2, work.Right + 2, work.Bottom - 1});
      }
    }
    ProcessMaxBtn();
    break;
  case skMin:
    MinimizeForm(form);
    break;
  case skClose:
    form->Close();
    break;
  case skControlBox:
    if (FControlBoxMenu) {
      const TPoint p = bar->MenuPoint(bar->RightToLeft() ? RightToLeftMenuOffset : 0);
      FControlBoxMenu->Popup(p.X, p.Y);
    }
    break;
  case skHelp:
  case skCustom:
    break;
  }
}

// ---------------------------------------------------------------------------------------------------------
// TskTitleBarSection

TskTitleBarSection::TskTitleBarSection(TCollection* Collection)
    : TCollectionItem(Collection), FPicture(std::make_unique<TPicture>()) {}

TskTitleBarSection::~TskTitleBarSection() = default;

TskTitleBar* TskTitleBarSection::TitleBar() const {
  auto* sections = dynamic_cast<TskTitleBarCollection*>(Collection());
  return sections ? sections->TitleBar() : nullptr;
}

void TskTitleBarSection::Changed() {
  if (TskTitleBar* bar = TitleBar()) bar->Invalidate();
}

void TskTitleBarSection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TskTitleBarSection*>(Source);
  if (!source) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetWidth(source->Width());
  SetAlign(source->Align());
  SetPicture(source->Picture());
  SetStretch(source->Stretch());
  SetAutoSize(source->AutoSize());
}

void TskTitleBarSection::SetAutoSize(bool Value) {
  FAutoSize = Value;
  if (HasGraphic(FPicture.get())) FWidth = FPicture->Width();
  Changed();
}

void TskTitleBarSection::SetWidth(int Value) {
  FWidth = Value;
  Changed();
}

void TskTitleBarSection::SetAlign(TskTitleBarAlign Value) {
  if (Value == TskTitleBarAlign::skClient) {
    if (Collection())
      for (int i = 0; i < Collection()->Count(); ++i)
        if (static_cast<TskTitleBarSection*>(Collection()->Items(i))->Align() == TskTitleBarAlign::skClient) {
          ErrorBox("Sorry, only one section's Align property can be \"skClient\"");
          return;
        }
    FStretch = true;
  }
  FAlign = Value;
  Changed();
}

void TskTitleBarSection::SetPicture(TPicture* Value) {
  FPicture->Assign(Value);
  if (Value && FAutoSize) FWidth = FPicture->Width();
  Changed();
}

void TskTitleBarSection::SetStretch(bool Value) {
  FStretch = Value || FAlign == TskTitleBarAlign::skClient;
  Changed();
}

// ---------------------------------------------------------------------------------------------------------
// The collections

void TskTitleBarCollection::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  if (FTitleBar) FTitleBar->Invalidate();
}

TPersistent* TskTitleBarCollection::GetOwner() {
  return FTitleBar;
}

// ---------------------------------------------------------------------------------------------------------
// TskTitleBarPopupMenu

TskTitleBarPopupMenu::TskTitleBarPopupMenu(TComponent* AOwner) : TskPopupMenu(AOwner) {
  SetAutoHotkeys(maManual);
  struct Entry {
    const char* Caption;
    void (TskTitleBarPopupMenu::*Click)(TObject*);
  };
  const Entry entries[] = {{_SK_TITLE_MENUITEM_MINIMIZE, &TskTitleBarPopupMenu::OnMin},
                           {_SK_TITLE_MENUITEM_MAXIMIZE, &TskTitleBarPopupMenu::OnMax},
                           {"-", nullptr},
                           {_SK_TITLE_MENUITEM_CLOSE, &TskTitleBarPopupMenu::OnClose}};
  for (const Entry& e : entries) {
    auto* item = new TMenuItem(nullptr); // owned by the menu's item tree
    item->SetCaption(e.Caption);
    if (e.Click) item->OnClick = [this, click = e.Click](TObject* Sender) { (this->*click)(Sender); };
    Items()->Add(item);
  }
  MenuAdded();
}

TskTitleBarPopupMenu::~TskTitleBarPopupMenu() = default;

void TskTitleBarPopupMenu::Popup(int X, int Y) {
  if (FTitleBar) {
    if (FTitleBar->RightToLeft()) X += RightToLeftMenuOffset;
    bool min = false, max = false, close = false;
    TskTitleBarButtons* buttons = FTitleBar->Buttons();
    for (int i = 0; i < buttons->Count(); ++i) {
      const TskTitleBarButton* b = buttons->Items(i);
      if (!b->Visible()) continue;
      min = min || b->ButtonType() == skMin;
      max = max || b->ButtonType() == skMax;
      close = close || b->ButtonType() == skClose;
    }
    Items()->Items(0)->SetEnabled(min);
    Items()->Items(1)->SetEnabled(max);
    Items()->Items(3)->SetEnabled(close);
  }
  TskPopupMenu::Popup(X, Y);
}

void TskTitleBarPopupMenu::OnMin(TObject*) {
  TCustomForm* form = FTitleBar ? FTitleBar->GetParentForm() : nullptr;
  if (!form || !Application) return;
  MinimizeForm(form);
}

void TskTitleBarPopupMenu::OnMax(TObject*) {
  if (!FTitleBar) return;
  TskTitleBarButtons* buttons = FTitleBar->Buttons();
  for (int i = 0; i < buttons->Count(); ++i)
    if (buttons->Items(i)->Visible() && buttons->Items(i)->ButtonType() == skMax)
      buttons->Items(i)->DoClick();
}

void TskTitleBarPopupMenu::OnClose(TObject*) {
  if (TCustomForm* form = FTitleBar ? FTitleBar->GetParentForm() : nullptr) form->Close();
}

// ---------------------------------------------------------------------------------------------------------
// TskTitleBar

TskTitleBar::TskTitleBar(TComponent* AOwner)
    : inherited(AOwner), FSections(std::make_unique<TskTitleBarSections>(this)),
      FButtons(std::make_unique<TskTitleBarButtons>(this)) {
  ControlStyle.Exclude(csAcceptsControls);
  SetParentBiDiMode(true);
  SetAlign(alTop);
  Font()->SetName("Tahoma");
  Font()->SetStyle({fsBold});
  Font()->SetColor(clWhite);
  for (TskTitleBarBtnType type : {skControlBox, skClose, skMax, skMin}) FButtons->Add()->SetButtonType(type);
  FSystemMenu = new TskTitleBarPopupMenu(this); // owned by the bar (component ownership)
  FSystemMenu->SetTitleBar(this);
  SetUIStyle(GetSKFormStyle(AOwner));
}

TskTitleBar::~TskTitleBar() {
  FButtons.reset();
  FSections.reset();
}

void TskTitleBar::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  if (FCustom) return;
  FSections->Clear();
  TskUIStyle style;
  const bool file = FTheme.UseFile(style);
  if (file)
    UpdateFileTheme();
  else
    UpdateInsideTheme(style);
  for (int i = 0; i < FButtons->Count(); ++i) FButtons->Items(i)->SetUIStyle(style);
  FSystemMenu->SetUIStyle(style);
  FSystemMenu->SetFileTheme(FTheme.FileTheme);
  if (!ApplyingFileTheme()) {
    TColor caption = clWhite;
    if (FTheme.UIStyle == MacOS) {
      caption = clBlack;
    } else if (file) {
      caption = FTheme.FileTheme->GetColor(44);
      if (caption == -1)
        caption = SKCaptionFontColor(FTheme.FileTheme->GetColor(27), SK_TITLEBAR_DARK_CAPTIONS);
    }
    Font()->SetColor(caption);
  }
  SetAutoSize2(true);
  Invalidate();
}

void TskTitleBar::UpdateFileTheme() {
  UpdateTheme(TskThemeLink{FromThemeFile, FTheme.FileTheme});
}

void TskTitleBar::UpdateInsideTheme(TskUIStyle Style) {
  UpdateTheme(TskThemeLink{Style, nullptr});
}

void TskTitleBar::UpdateTheme(const TskThemeLink& Theme) {
  TskTitleBarSection* left = FSections->Add();
  Theme.Bitmap(10, left->Picture()->Bitmap());
  left->SetAutoSize(true);
  TskTitleBarSection* right = FSections->Add();
  Theme.Bitmap(12, right->Picture()->Bitmap());
  right->SetAutoSize(true);
  right->SetAlign(TskTitleBarAlign::skRight);
  TskTitleBarSection* middle = FSections->Add();
  Theme.Bitmap(11, middle->Picture()->Bitmap());
  middle->SetAlign(TskTitleBarAlign::skClient);

  FLeftBtnXOffset = Theme.Size(7);
  FRightBtnXOffset = Theme.Int(8); // right of the edge is a legitimate (negative) offset
  TBitmap strip;
  Theme.Bitmap(5, &strip);
  FButtonHeight = strip.Height();
  FButtonTop = Theme.Size(9) - (InForm() ? 3 : 0);
  if (TCustomForm* form = GetParentForm()) form->Constraints()->SetMinWidth(Theme.Size(13));
  FRoundCorner = Theme.Size(14);
  FRoundCornerBottom = Theme.UseFile() ? Theme.Size(47) : 0;
}

void TskTitleBar::SetAutoSize2(bool Value) {
  FAutoSize = Value;
  if (FSections->Count() == 0) {
    FAutoSize = false;
    return;
  }
  SetHeight(std::max(0, FSections->Items(0)->Picture()->Height() - (InForm() ? 3 : 0)));
}

void TskTitleBar::SetSections(TskTitleBarSections* Value) {
  FSections->Assign(Value);
}

void TskTitleBar::SetButtons(TskTitleBarButtons* Value) {
  FButtons->Assign(Value);
}

void TskTitleBar::SetButtonInterval(int Value) {
  FButtonInterval = Value;
  Invalidate();
}

void TskTitleBar::SetCaption(const AnsiString& Value) {
  FCaption = Value;
  Invalidate();
}

void TskTitleBar::SetFormActive(bool Value) {
  FFormActive = Value;
  Invalidate();
}

void TskTitleBar::SetLeftBtnXOffset(int Value) {
  FLeftBtnXOffset = Value;
  Invalidate();
}

void TskTitleBar::SetRightBtnXOffset(int Value) {
  FRightBtnXOffset = Value;
  Invalidate();
}

void TskTitleBar::SetDrawAppIcon(bool Value) {
  FDrawAppIcon = Value;
  Invalidate();
}

bool TskTitleBar::InForm() const {
  return (Parent() && Parent()->InheritsFrom(TskForm::StaticClass())) || IsMDIFrame(Owner());
}

bool TskTitleBar::InMDIForm() const {
  return IsMDIFrame(Owner()) && Parent();
}

bool TskTitleBar::CanPaint() const {
  return FSections && FSections->Count() == 3;
}

void TskTitleBar::GetLeftImage(TBitmap*& Bitmap) const {
  if (FSections->Count() >= 1) Bitmap = FSections->Items(0)->Picture()->Bitmap();
}

void TskTitleBar::GetRightImage(TBitmap*& Bitmap) const {
  if (FSections->Count() >= 2) Bitmap = FSections->Items(1)->Picture()->Bitmap();
}

void TskTitleBar::GetCenterImage(TBitmap*& Bitmap) const {
  if (FSections->Count() >= 3) Bitmap = FSections->Items(2)->Picture()->Bitmap();
}

void TskTitleBar::ProcessMaxBtn() {
  for (int i = 0; i < FButtons->Count(); ++i) FButtons->Items(i)->ProcessMaxBtn();
}

int TskTitleBar::SideBorderWidth() {
  TCustomForm* form = GetParentForm();
  if (!form || !form->HandleAllocated()) return 0;
  return std::max<LRESULT>(0, SendMessage(form->Handle(), SKM_SIDEBORDERWIDTH, 0, 0));
}

bool TskTitleBar::RightToLeft() const {
  return BiDiMode() == bdRightToLeft && SysLocale.MiddleEast;
}

TPoint TskTitleBar::MenuPoint(int X) {
  TPoint p = ClientToScreen(TPoint{X, Height()});
  p.X = std::max(0, p.X);
  return p;
}

std::vector<TRect> TskTitleBar::ButtonRects(int Width) {
  return Layout(Width).Rects;
}

TskTitleBar::TButtonLayout TskTitleBar::Layout(int Width) {
  TButtonLayout layout;
  const int side = SideBorderWidth();
  layout.Rects.assign(FButtons->Count(), TRect{0, 0, -1, -1});
  int xr = Width + FRightBtnXOffset + side;
  for (int i = 0; i < FButtons->Count(); ++i) {
    const TskTitleBarButton* b = FButtons->Items(i);
    if (!b->Visible()) continue;
    const int w = b->PicNormal()->Width(), h = b->PicNormal()->Height();
    if (b->ButtonType() == skControlBox) {
      layout.ControlBox = i;
      continue;
    }
    xr -= w + 1 + FButtonInterval;
    if (Width < xr + w + 1) xr = Width - w - 1; // the button stays inside the bar
    layout.Rects[i] = TRect{xr, FButtonTop, xr + w, FButtonTop + h};
  }
  int xl = std::max(0, FLeftBtnXOffset - side + 1);
  if (layout.ControlBox >= 0) {
    const TskTitleBarButton* b = FButtons->Items(layout.ControlBox);
    const int w = b->PicNormal()->Width(), h = b->PicNormal()->Height();
    layout.Rects[layout.ControlBox] = TRect{xl, FButtonTop, xl + w, FButtonTop + h};
    xl += FDrawAppIcon ? 21 : w + 5;
  }
  layout.CaptionLeft = xl == 0 ? 6 : xl;
  layout.CaptionRight = xr;
  return layout;
}

int TskTitleBar::ButtonAt(int X, int Y) {
  const TButtonLayout layout = Layout(TControl::Width());
  int hot = -1;
  for (int i = 0; i < static_cast<int>(layout.Rects.size()); ++i)
    if (i != layout.ControlBox && InRect(X, Y, layout.Rects[i])) hot = i;
  if (layout.ControlBox >= 0 && InRect(X, Y, layout.Rects[layout.ControlBox])) hot = layout.ControlBox;
  return hot;
}

AnsiString TskTitleBar::FitCaption(TCanvas* Canvas, const AnsiString& Caption, int Room) {
  if (Canvas->TextWidth(Caption) <= Room) return Caption;
  if (Canvas->TextWidth("...") > Room) return AnsiString(); // nothing fits, not even the dots
  AnsiString s = Caption;
  while (!s.empty() && Canvas->TextWidth(s + "...") > Room) s.pop_back();
  return s + "...";
}

void TskTitleBar::Paint() {
  const int w = TControl::Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  TBitmap buffer;
  buffer.SetSize(w, h);
  buffer.Canvas()->Brush()->SetStyle(bsClear);
  buffer.Canvas()->SetFont(Font());
  DrawSectionsTo(&buffer);
  DrawButtons(&buffer);
  BitBlt(Canvas()->Handle(), 0, 0, w, h, buffer.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TskTitleBar::DrawSectionsTo(TBitmap* Bitmap) {
  int dx = 0, dy = 0;
  if (InForm()) {
    const int side = SideBorderWidth();
    dx = side != 0 ? -side : (InMDIForm() ? -4 : -3);
    dy = -3;
  }
  TCanvas* c = Bitmap->Canvas();
  int leftEnd = 0, rightStart = 0;
  if (FSections->Count() >= 1) {
    TBitmap* left = FSections->Items(0)->Picture()->Bitmap();
    c->Draw(dx, dy, left);
    leftEnd = left->Width() + dx;
  }
  if (FSections->Count() >= 2) {
    TBitmap* right = FSections->Items(1)->Picture()->Bitmap();
    rightStart = Bitmap->Width() - right->Width() - dx;
    c->Draw(rightStart, dy, right);
  }
  if (FSections->Count() >= 3) {
    TBitmap* middle = FSections->Items(2)->Picture()->Bitmap();
    c->StretchDraw(TRect{leftEnd, dy, rightStart, middle->Height() + dy}, middle);
  }
}

void TskTitleBar::DrawButtons(TBitmap* Bitmap) {
  TCanvas* c = Bitmap->Canvas();
  const TButtonLayout layout = Layout(Bitmap->Width());
  TPoint cursor;
  GetCursorPos(&cursor);
  const TPoint p = ScreenToClient(cursor);
  FHotButtonIndex = -1;

  // The state picture; one that holds nothing shows the normal picture, never what was drawn before.
  auto drawButton = [&](int i, int x, int y) {
    const TskTitleBarButton* b = FButtons->Items(i);
    const TPicture* pic = b->PicNormal();
    if (InRect(p, layout.Rects[i])) {
      FHotButtonIndex = i;
      pic = FMouseDown && i == FPressedIndex ? b->PicMouseDown() : b->PicMouseOn();
      if (!HasGraphic(pic)) pic = b->PicNormal();
    }
    if (!HasGraphic(pic)) return;
    TBitmap t;
    t.Assign(pic->Graphic());
    t.SetTransparent(b->Transparent());
    c->Draw(x, y, &t);
  };
  for (int i = 0; i < FButtons->Count(); ++i)
    if (i != layout.ControlBox && FButtons->Items(i)->Visible())
      drawButton(i, layout.Rects[i].Left, layout.Rects[i].Top);

  if (layout.ControlBox >= 0) {
    const TRect& r = layout.Rects[layout.ControlBox];
    if (FDrawAppIcon) {
      if (InRect(p, r)) FHotButtonIndex = layout.ControlBox;
      c->Draw(r.Left + 3, FButtonTop, SmallIcon());
    } else {
      drawButton(layout.ControlBox, r.Left, FButtonTop - 1); // a pixel above the right-hand buttons
    }
  }

  if (!FFormActive) c->Font()->SetColor(clInactiveCaption);
  const AnsiString s = FitCaption(c, FCaption, layout.CaptionRight - layout.CaptionLeft);
  if (s.empty()) return;
  const int y = (FButtonHeight - c->TextHeight(s)) / 2 + FButtonTop;
  if (RightToLeft())
    c->TextOut(layout.CaptionRight - c->TextWidth(s) - 10, y, s);
  else
    c->TextOut(layout.CaptionLeft, y, s);
}

TIcon* TskTitleBar::SmallIcon() {
  if (FSmallIcon) return FSmallIcon.get();
  // The icon's own small image when its resource has one.
  TIcon source;
  if (Application && Application->Icon() && !Application->Icon()->Empty())
    source.Assign(Application->Icon());
  else
    source.LoadFromResourceName(0, SK_RES_MAINICON);
  FSmallIcon = CopyIcon(&source, 16, 16);
  return FSmallIcon.get();
}

void TskTitleBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseMove(Shift, X, Y);
  Invalidate();
}

void TskTitleBar::CMMouseLeave(TMessage& Message) {
  TCustomPanel::CMMouseLeave(Message);
  Invalidate();
}

void TskTitleBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FMouseDown = true;
  FPressedIndex = ButtonAt(X, Y);
  Invalidate();
  TCustomForm* form = GetParentForm();
  if (form && FPressedIndex < 0 && form->WindowState() != wsMaximized && !Designing()) {
    ReleaseCapture();
    SendMessage(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0); // the window follows the mouse
    FMouseDown = false;
  }
}

void TskTitleBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomPanel::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  // Only a release on the button that was pressed clicks it.
  const int pressed = FPressedIndex;
  const bool wasDown = FMouseDown;
  FPressedIndex = -1;
  FMouseDown = false;
  Invalidate();
  if (wasDown && pressed >= 0 && ButtonAt(X, Y) == pressed) ButtonClicked(pressed);
}

void TskTitleBar::ButtonClicked(int Index) {
  TskTitleBarButton* b = FButtons->Items(Index);
  if (b->ButtonType() == skControlBox && !b->ControlBoxMenu()) {
    const TPoint p = MenuPoint(0);
    FSystemMenu->Popup(p.X, p.Y);
    return;
  }
  const TskTitleBarBtnType type = b->ButtonType();
  b->DoClick();
  if (OnCustomBtnsClick && type == skCustom)
    OnCustomBtnsClick(this, Index);
  else if (OnHelpBtnClick && type == skHelp)
    OnHelpBtnClick(this, Index);
}

void TskTitleBar::WMLButtonDblClk(TMessage& Message) {
  const TWMMouse m(Message);
  FDblClickPoint = m.Pos();
  TCustomPanel::WMLButtonDblClk(Message);
}

void TskTitleBar::DblClick() {
  TCustomPanel::DblClick();
  if (Designing()) return;
  const int hot = ButtonAt(FDblClickPoint.X, FDblClickPoint.Y);
  if (hot < 0) {
    for (int i = 0; i < FButtons->Count(); ++i)
      if (FButtons->Items(i)->ButtonType() == skMax && FButtons->Items(i)->Visible()) {
        FButtons->Items(i)->DoClick();
        return;
      }
  } else if (FButtons->Items(hot)->ButtonType() == skControlBox) {
    if (TCustomForm* form = GetParentForm()) form->Close();
  }
}

void TskTitleBar::ForwardToForm(TMessage& Message) {
  TCustomForm* form = GetParentForm();
  if (!form) {
    DefaultHandler(Message);
    return;
  }
  Message.Result = SendMessage(form->Handle(), Message.Msg, Message.WParam, Message.LParam);
}

void TskTitleBar::WMNCLButtonDown(TMessage& Message) {
  ForwardToForm(Message);
}

void TskTitleBar::WMNCLButtonUp(TMessage& Message) {
  ForwardToForm(Message);
}

void TskTitleBar::WMNCMouseMove(TMessage& Message) {
  ForwardToForm(Message);
}

void TskTitleBar::CMDesignHitTest(TMessage& Message) {
  const TWMMouse m(Message);
  if (m.Keys == MK_LBUTTON) {
    MouseDown(mbLeft, {}, m.XPos, m.YPos);
    Message.Result = 1;
  }
}

void TskTitleBar::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1; // Paint covers everything
}

void TskTitleBar::CMFontChanged(TMessage& Message) {
  TCustomPanel::CMFontChanged(Message);
  Invalidate();
}

void TskTitleBar::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && FButtons)
    for (int i = 0; i < FButtons->Count(); ++i)
      if (FButtons->Items(i)->ControlBoxMenu() == AComponent) FButtons->Items(i)->FControlBoxMenu = nullptr;
}
