#include "classlib/controls/ToolBar.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

#include "classlib/controls/Menus.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/ImageList.h"

const TEnumInfo ToolButtonStyleNames{{"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"}};
const TEnumInfo EdgeBorderNames{{"ebLeft", "ebTop", "ebRight", "ebBottom"}};
const TEnumInfo EdgeStyleNames{{"esNone", "esRaised", "esLowered"}};

QUENDREL_REGISTER_CLASS(TToolButton, TGraphicControl) {
  c.Creatable();
  c.Property("AutoSize", &TToolButton::AutoSize, &TToolButton::SetAutoSize).Default(0);
  c.Property("Caption", &TToolButton::Caption, &TToolButton::SetCaption);
  c.Property("Down", &TToolButton::Down, &TToolButton::SetDown).Default(0);
  c.Property("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
  c.Property("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(0);
  c.Property("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
  c.Property("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate).Default(0);
  c.Property("Marked", &TToolButton::Marked, &TToolButton::SetMarked).Default(0);
  c.Property("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem);
  c.Enum("Style", &TToolButton::Style, &TToolButton::SetStyle, ToolButtonStyleNames).Default(tbsButton);
  c.Property("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap).Default(0);
}

QUENDREL_REGISTER_CLASS(TToolBar, TCustomControl) {
  c.Creatable();
  c.Property("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize).Default(0);
  c.Property("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
  c.Property("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
  c.Property("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
  c.Set("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders, EdgeBorderNames);
  c.Enum("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner, EdgeStyleNames).Default(esRaised);
  c.Enum("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter, EdgeStyleNames).Default(esLowered);
  c.Property("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(0);
  c.Property("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
  c.Property("Images", &TToolBar::Images, &TToolBar::SetImages);
  c.Property("Indent", &TToolBar::Indent, &TToolBar::SetIndent).Default(0);
  c.Property("List", &TToolBar::List, &TToolBar::SetList).Default(0);
  c.Property("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(0);
  c.Property("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent).Default(0);
  c.Property("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).Default(1);
  c.Event("OnCustomDraw", &TToolBar::OnCustomDraw);
  c.Event("OnCustomDrawButton", &TToolBar::OnCustomDrawButton);
}

namespace {

AnsiString WithoutHotkey(const AnsiString& s) {
  AnsiString r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) ++i;
    r += s[i];
  }
  return r;
}

// A button's menu item's caption with the hot key it has among the items of its level, given
// automatically or not.
AnsiString ShownMenuCaption(const TMenuItem* Item) {
  const TMenuItem* parent = Item->Parent();
  if (!parent) return Item->Caption();
  std::vector<TMenuItem*> level;
  for (int i = 0; i < parent->Count(); ++i)
    if (parent->Items(i)->Visible()) level.push_back(parent->Items(i));
  const auto it = std::find(level.begin(), level.end(), Item);
  if (it == level.end()) return Item->Caption();
  const std::vector<AnsiString> shown = ShownCaptions(level, parent->AutoHotkeysInForce(nullptr, nullptr));
  return shown[static_cast<size_t>(it - level.begin())];
}

char ShownHotkey(const TMenuItem* Item) {
  return GetHotkey(ShownMenuCaption(Item));
}

// The bar's side of a menu being tracked: it notes the button the user moves to.
class TBarTracking : public TMenuTrackBar {
 public:
  TBarTracking(TToolBar* Bar, TToolButton* Current) : FBar(Bar), FCurrent(Current) {}
  bool SwitchAt(TPoint Screen) override;
  bool SwitchBy(int Direction) override;
  bool OnCurrent(TPoint Screen) override;
  TToolButton* Next = nullptr;

 private:
  TToolButton* ButtonAt(TPoint Screen) const;
  TToolBar* FBar;
  TToolButton* FCurrent;
};

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TToolButton

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle.Include(csClickEvents);
  ControlStyle.Include(csCaptureMouse);
  ControlStyle.Include(csSetCaption);
  FWidth = 23;
  FHeight = 22;
}

TToolButton::~TToolButton() {
  SetMenuItem(nullptr);
  if (TToolBar* bar = ToolBar()) bar->RemoveButton(this);
}

TToolBar* TToolButton::ToolBar() const {
  return dynamic_cast<TToolBar*>(FParent);
}

int TToolButton::Index() const {
  const TToolBar* bar = ToolBar();
  if (!bar) return -1;
  const auto it = std::find(bar->FButtons.begin(), bar->FButtons.end(), this);
  return it == bar->FButtons.end() ? -1 : static_cast<int>(it - bar->FButtons.begin());
}

bool TToolButton::HasMenu() const {
  return FDropdownMenu || (FMenuItem && FMenuItem->Count() > 0);
}

AnsiString TToolButton::ShownCaption() const {
  // A caption set apart from the item's keeps its own marks.
  if (!FMenuItem || Caption() != FMenuItem->Caption()) return Caption();
  return ShownMenuCaption(FMenuItem);
}

bool TToolButton::OnArrow(int X) const {
  return FStyle == tbsDropDown && X >= Width() - DropDownArrowWidth;
}

void TToolButton::Changed() {
  if (TToolBar* bar = ToolBar())
    bar->UpdateButtons();
  else
    Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TToolButton::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  Changed();
}

void TToolButton::SetDown(bool Value) {
  if (FDown == Value) return;
  FDown = Value;
  // A grouped check button that goes down lifts the others of its group (the adjacent grouped checks).
  if (Value && FGrouped && FStyle == tbsCheck)
    if (TToolBar* bar = ToolBar()) {
      const int me = Index();
      for (int dir : {-1, 1})
        for (int i = me + dir; i >= 0 && i < bar->ButtonCount(); i += dir) {
          TToolButton* b = bar->Buttons(i);
          if (!b->FGrouped || b->FStyle != tbsCheck) break;
          if (b->FDown) {
            b->FDown = false;
            b->Invalidate();
          }
        }
    }
  Invalidate();
}

void TToolButton::SetMarked(bool Value) {
  FMarked = Value;
  Invalidate();
}

void TToolButton::SetIndeterminate(bool Value) {
  FIndeterminate = Value;
  Invalidate();
}

void TToolButton::SetWrap(bool Value) {
  if (FWrap == Value) return;
  FWrap = Value;
  Changed();
}

void TToolButton::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed();
}

void TToolButton::SetMenuItem(TMenuItem* Value) {
  if (FMenuItem == Value) return;
  if (FMenuItem) FMenuItem->RemoveFreeNotification(this);
  FMenuItem = Value;
  if (Value) {
    Value->FreeNotification(this);
    SetCaption(Value->Caption());
    SetEnabled(Value->Enabled());
    SetImageIndex(Value->ImageIndex());
  }
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value) {
  if (FDropdownMenu == Value) return;
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMenuItem) FMenuItem = nullptr;
  if (AComponent == FDropdownMenu) FDropdownMenu = nullptr;
}

void TToolButton::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (TToolBar* bar = ToolBar()) bar->RemoveButton(this);
  TGraphicControl::SetParent(AParent);
  if (TToolBar* bar = ToolBar()) bar->InsertButton(this);
}

void TToolButton::Click() {
  if (FStyle == tbsCheck) SetDown(FGrouped ? true : !FDown);
  if (FMenuItem && FMenuItem->Count() == 0)
    FMenuItem->Click();
  else
    TGraphicControl::Click();
}

void TToolButton::Paint() {
  // The bar draws its buttons, so that its custom drawing sees them all.
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled() || FStyle == tbsSeparator || FStyle == tbsDivider) return;
  TToolBar* bar = ToolBar();
  // A drop-down button drops its menu from its arrow part only; elsewhere it is pressed and clicked.
  const bool dropping = FStyle == tbsDropDown ? OnArrow(X) : HasMenu();
  if (bar && dropping) {
    // The menu takes the press: no click follows its release.
    ControlState.Exclude(csClicked);
    SetMouseCapture(false);
    if (HasMenu()) bar->TrackMenu(this);
    return;
  }
  FPressed = true;
  Invalidate();
}

void TToolButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (TToolBar* bar = ToolBar();
      bar && bar->FHotButton != this && ClientRect().Contains({X, Y}) && !GetCaptureControl())
    bar->SetHotButton(this);
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FPressed) {
    FPressed = false;
    Invalidate();
  }
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TToolButton::CMMouseEnter(TMessage& Message) {
  TGraphicControl::CMMouseEnter(Message);
  if (TToolBar* bar = ToolBar(); bar && Message.LParam == 0) bar->SetHotButton(this);
}

void TToolButton::CMMouseLeave(TMessage& Message) {
  TGraphicControl::CMMouseLeave(Message);
  if (TToolBar* bar = ToolBar(); bar && Message.LParam == 0 && bar->FHotButton == this)
    bar->SetHotButton(nullptr);
}

void TToolButton::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  Changed();
}

void TToolButton::CMEnabledChanged(TMessage& Message) {
  TGraphicControl::CMEnabledChanged(Message);
  Invalidate();
}

void TToolButton::CMVisibleChanged(TMessage& Message) {
  TGraphicControl::CMVisibleChanged(Message);
  Changed();
}

// ---------------------------------------------------------------------------------------------------------
// TToolBar

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle.Include(csAcceptsControls);
  ControlStyle.Include(csOpaque);
  FColor = clBtnFace;
  FParentColor = false;
  SetAlign(alTop);
  SetBounds(0, 0, 150, 29);
}

TToolBar::~TToolBar() {
  *FAlive = false;
  FButtons.clear();
  FHotButton = FMenuButton = nullptr;
}

TToolButton* TToolBar::Buttons(int Index) const {
  if (Index < 0 || Index >= ButtonCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FButtons[static_cast<size_t>(Index)];
}

void TToolBar::InsertButton(TToolButton* Button) {
  // A button goes before the first one standing at or after its own place, so that buttons made one by one
  // at the origin line up in the reverse order of their making.
  TRect area = ClientRect();
  AdjustClientRect(area);
  const int rowHeight = std::max(1, FButtonHeight);
  const auto place = [&](const TToolButton* b) {
    return std::pair(std::max(0, (b->Top() - area.Top) / rowHeight), b->Left());
  };
  const auto it = std::find_if(FButtons.begin(), FButtons.end(),
                               [&](const TToolButton* b) { return place(b) >= place(Button); });
  FButtons.insert(it, Button);
  UpdateButtons();
}

void TToolBar::RemoveButton(TToolButton* Button) {
  std::erase(FButtons, Button);
  if (FHotButton == Button) FHotButton = nullptr;
  if (FMenuButton == Button) FMenuButton = nullptr;
  if (!ComponentState().Contains(csDestroying)) UpdateButtons();
}

#define QUENDREL_TOOLBAR_SETTER(Name, Field)                                                                 \
  void TToolBar::Set##Name(decltype(Field) Value) {                                                          \
    if (Field == Value) return;                                                                              \
    Field = Value;                                                                                           \
    UpdateButtons();                                                                                         \
  }
QUENDREL_TOOLBAR_SETTER(Flat, FFlat)
QUENDREL_TOOLBAR_SETTER(Transparent, FTransparent)
QUENDREL_TOOLBAR_SETTER(ShowCaptions, FShowCaptions)
QUENDREL_TOOLBAR_SETTER(List, FList)
QUENDREL_TOOLBAR_SETTER(Wrapable, FWrapable)
QUENDREL_TOOLBAR_SETTER(AutoSize, FAutoSize)
QUENDREL_TOOLBAR_SETTER(EdgeBorders, FEdgeBorders)
QUENDREL_TOOLBAR_SETTER(EdgeInner, FEdgeInner)
QUENDREL_TOOLBAR_SETTER(EdgeOuter, FEdgeOuter)
QUENDREL_TOOLBAR_SETTER(ButtonWidth, FButtonWidth)
QUENDREL_TOOLBAR_SETTER(ButtonHeight, FButtonHeight)
QUENDREL_TOOLBAR_SETTER(Indent, FIndent)
#undef QUENDREL_TOOLBAR_SETTER

namespace {
void SetImageLink(TComponent* Self, TImageList*& Field, TImageList* Value) {
  if (Field) Field->RemoveFreeNotification(Self);
  Field = Value;
  if (Value) Value->FreeNotification(Self);
}
} // namespace

void TToolBar::SetImages(TImageList* Value) {
  SetImageLink(this, FImages, Value);
  UpdateButtons();
}

void TToolBar::SetHotImages(TImageList* Value) {
  SetImageLink(this, FHotImages, Value);
  Invalidate();
}

void TToolBar::SetDisabledImages(TImageList* Value) {
  SetImageLink(this, FDisabledImages, Value);
  Invalidate();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) {
    FImages = nullptr;
    UpdateButtons();
  }
  if (AComponent == FHotImages) FHotImages = nullptr;
  if (AComponent == FDisabledImages) FDisabledImages = nullptr;
}

TRect TToolBar::EdgeInsets() const {
  const int e = (FEdgeInner != esNone ? 1 : 0) + (FEdgeOuter != esNone ? 1 : 0);
  return {FEdgeBorders.Contains(ebLeft) ? e : 0, FEdgeBorders.Contains(ebTop) ? e : 0,
          FEdgeBorders.Contains(ebRight) ? e : 0, FEdgeBorders.Contains(ebBottom) ? e : 0};
}

void TToolBar::AdjustClientRect(TRect& Rect) {
  const TRect e = EdgeInsets();
  Rect = {Rect.Left + e.Left, Rect.Top + e.Top, Rect.Right - e.Right, Rect.Bottom - e.Bottom};
}

TSize TToolBar::ButtonSize(TToolButton* Button) {
  if (Button->FStyle == tbsSeparator || Button->FStyle == tbsDivider) return {8, FButtonHeight};
  int w = FButtonWidth;
  const bool image = FImages && Button->FImageIndex >= 0;
  if (FShowCaptions && !Button->Caption().empty()) {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    const int text = c->TextWidth(WithoutHotkey(Button->Caption()));
    const int need =
        FList && image ? FImages->Width() + text + 14 : std::max(text, image ? FImages->Width() : 0) + 14;
    w = Button->FAutoSize ? need : std::max(w, need);
  } else if (Button->FAutoSize && image) {
    w = FImages->Width() + 8;
  }
  if (Button->FStyle == tbsDropDown) w += DropDownArrowWidth;
  return {w, FButtonHeight};
}

void TToolBar::UpdateButtons() {
  if (FUpdating || ComponentState().Contains(csDestroying)) return;
  FUpdating = true;
  TRect area = ClientRect();
  AdjustClientRect(area);
  int x = area.Left + FIndent, y = area.Top, rowHeight = 0;
  for (TToolButton* b : FButtons) {
    if (!b->Visible() && !ComponentState().Contains(csDesigning)) continue;
    const TSize s = ButtonSize(b);
    if (FWrapable && x > area.Left + FIndent && x + s.cx > area.Right) {
      x = area.Left + FIndent;
      y += rowHeight;
      rowHeight = 0;
    }
    b->SetBounds(x, y, s.cx, s.cy);
    x += s.cx;
    rowHeight = std::max(rowHeight, s.cy);
    if (b->FWrap) {
      x = area.Left + FIndent;
      y += rowHeight;
      rowHeight = 0;
    }
  }
  FUpdating = false;
  if (FAutoSize && (FAlign == alTop || FAlign == alBottom || FAlign == alNone)) {
    const TRect e = EdgeInsets();
    const int h = std::max(y + rowHeight - area.Top, FButtons.empty() ? 0 : FButtonHeight) + e.Top + e.Bottom;
    if (h != Height() && h > 0) SetHeight(h);
  }
  Invalidate();
}

void TToolBar::AlignControls(TControl* AControl, TRect& Rect) {
  TCustomControl::AlignControls(AControl, Rect);
  if (!FUpdating) {
    // Buttons are placed by the bar itself, after any aligned children.
    bool any = false;
    for (TToolButton* b : FButtons) any = any || b->Visible();
    if (any) UpdateButtons();
  }
}

void TToolBar::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  UpdateButtons();
}

void TToolBar::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TToolBar::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1; // Paint covers the whole bar
}

TCustomDrawState TToolBar::ButtonState(TToolButton* Button) const {
  TCustomDrawState s;
  if (!Button) return s;
  if (!Button->Enabled()) s.Include(cdsDisabled), s.Include(cdsGrayed);
  if (Button == FHotButton && Button->Enabled()) s.Include(cdsHot);
  if (Button == FMenuButton || (Button->FPressed && Button == FHotButton)) s.Include(cdsSelected);
  if (Button->FDown) s.Include(cdsChecked);
  if (Button->FMarked) s.Include(cdsMarked);
  if (Button->FIndeterminate) s.Include(cdsIndeterminate);
  return s;
}

void TToolBar::SetHotButton(TToolButton* Button) {
  if (FHotButton == Button) return;
  TToolButton* old = FHotButton;
  FHotButton = Button;
  if (old) old->Invalidate();
  if (Button) Button->Invalidate();
}

void TToolBar::Paint() {
  TCanvas* c = Canvas();
  const TRect r = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
  }
  bool defaultDraw = true;
  if (OnCustomDraw) OnCustomDraw(this, r, defaultDraw);
  if (defaultDraw && !FEdgeBorders.Empty()) {
    const TRect e = EdgeInsets();
    c->Pen()->SetStyle(psSolid);
    const auto line = [c](TColor color, int x1, int y1, int x2, int y2) {
      c->Pen()->SetColor(color);
      c->MoveTo(x1, y1);
      c->LineTo(x2, y2);
    };
    if (e.Top > 0) {
      line(FEdgeOuter == esLowered ? clBtnShadow : clBtnHighlight, r.Left, r.Top, r.Right, r.Top);
      if (e.Top > 1)
        line(FEdgeInner == esRaised ? clBtnHighlight : clBtnShadow, r.Left, r.Top + 1, r.Right, r.Top + 1);
    }
    if (e.Bottom > 0) {
      line(FEdgeOuter == esLowered ? clBtnHighlight : clBtnShadow, r.Left, r.Bottom - 1, r.Right,
           r.Bottom - 1);
      if (e.Bottom > 1)
        line(FEdgeInner == esRaised ? clBtnShadow : clBtnHighlight, r.Left, r.Bottom - 2, r.Right,
             r.Bottom - 2);
    }
  }
  for (TToolButton* b : std::vector<TToolButton*>(FButtons)) {
    if (!b->Visible()) continue;
    const TCustomDrawState state = ButtonState(b);
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->Pen()->SetColor(clBlack);
    bool drawDefault = true;
    if (OnCustomDrawButton) OnCustomDrawButton(this, b, state, drawDefault);
    if (drawDefault) DrawButton(b, state);
  }
}

void TToolBar::DrawButton(TToolButton* Button, TCustomDrawState State) {
  TCanvas* c = Canvas();
  TRect r = Button->BoundsRect();
  if (Button->FStyle == tbsSeparator || Button->FStyle == tbsDivider) {
    if (Button->FStyle == tbsDivider) {
      const int x = (r.Left + r.Right) / 2 - 1;
      c->Pen()->SetColor(clBtnShadow);
      c->MoveTo(x, r.Top + 2);
      c->LineTo(x, r.Bottom - 2);
      c->Pen()->SetColor(clBtnHighlight);
      c->MoveTo(x + 1, r.Top + 2);
      c->LineTo(x + 1, r.Bottom - 2);
    }
    return;
  }
  const bool down = State.Contains(cdsSelected) || State.Contains(cdsChecked);
  const bool hot = State.Contains(cdsHot);
  if (!FFlat || down || hot) {
    TRect f = r;
    Frame3D(c, f, down ? clBtnShadow : clBtnHighlight, down ? clBtnHighlight : clBtnShadow, 1);
  }
  const int shift = down ? 1 : 0;
  const bool enabled = !State.Contains(cdsDisabled);
  TImageList* images = FImages;
  if (hot && FHotImages) images = FHotImages;
  if (!enabled && FDisabledImages) images = FDisabledImages;
  const bool image = images && Button->FImageIndex >= 0 && Button->FImageIndex < images->Count();
  int textLeft = r.Left, textTop = r.Top;
  if (image) {
    const int ix = FList ? r.Left + 4 : r.Left + (r.Width() - images->Width()) / 2;
    const int iy = FList || !FShowCaptions ? r.Top + (r.Height() - images->Height()) / 2 : r.Top + 3;
    images->Draw(c, ix + shift, iy + shift, Button->FImageIndex, enabled || images == FDisabledImages);
    if (FList)
      textLeft = ix + images->Width();
    else
      textTop = iy + images->Height();
  }
  if (FShowCaptions && !Button->Caption().empty()) {
    c->Brush()->SetStyle(bsClear);
    HDC dc = c->Handle();
    c->TextExtent(""); // selects the canvas's objects
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(enabled ? Font()->Color() : clGrayText));
    RECT t{textLeft + shift, textTop + shift, r.Right + shift, r.Bottom + shift};
    const unsigned flags = DT_SINGLELINE | DT_CENTER | (image && !FList ? DT_TOP : DT_VCENTER);
    DrawText(dc, Button->ShownCaption().c_str(), -1, &t, flags);
  }
  if (Button->FStyle == tbsDropDown) {
    const int m = r.Top + r.Height() / 2;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(enabled ? clBlack : clGrayText);
    c->Pen()->SetColor(enabled ? clBlack : clGrayText);
    c->Polygon({{r.Right - 10, m - 1}, {r.Right - 6, m - 1}, {r.Right - 8, m + 1}});
  }
}

void TToolBar::CMDialogChar(TMessage& Message) {
  // Alt and the accelerator of a menu button drops its menu down.
  if (Message.LParam & KF_ALTDOWN_LPARAM || GetKeyState(VK_MENU) < 0) {
    const char key = static_cast<char>(std::toupper(static_cast<int>(Message.WParam & 0xFF)));
    for (TToolButton* b : FButtons) {
      if (!b->Visible() || !b->Enabled() || !b->HasMenu() || !b->FMenuItem) continue;
      if (ShownHotkey(b->FMenuItem) != key) continue;
      Message.Result = 1;
      TrackMenu(b);
      return;
    }
  }
  TCustomControl::CMDialogChar(Message);
}

TToolButton* TToolBar::MenuButtonAt(TPoint Screen) const {
  const TPoint p = const_cast<TToolBar*>(this)->ScreenToClient(Screen);
  for (TToolButton* b : FButtons)
    if (b->Visible() && b->BoundsRect().Contains(p)) return b->Enabled() && b->HasMenu() ? b : nullptr;
  return nullptr;
}

TToolButton* TToolBar::NextMenuButton(TToolButton* From, int Direction) const {
  const int n = ButtonCount();
  int i = From ? From->Index() : -1;
  for (int step = 0; step < n; ++step) {
    i = (i + Direction + n) % n;
    TToolButton* b = FButtons[static_cast<size_t>(i)];
    if (b->Visible() && b->Enabled() && b->HasMenu()) return b;
  }
  return nullptr;
}

void TToolBar::TrackMenu(TToolButton* Button) {
  if (FMenuButton) return; // already tracking
  const std::shared_ptr<bool> alive = FAlive;
  TToolButton* b = Button;
  TMenuItem* chosen = nullptr;
  // A drop-down menu's command waits, like the items' menus', until the button is drawn released.
  std::optional<TMenuCommandHold> dropdownCommand;
  while (b && *alive) {
    TBarTracking tracking(this, b);
    FMenuButton = b;
    SetHotButton(b);
    Repaint();
    const TPoint p = ClientToScreen({b->Left(), b->Top() + b->Height()});
    if (b->FDropdownMenu) {
      dropdownCommand.emplace();
      b->FDropdownMenu->Popup(p.X, p.Y);
    } else if (b->FMenuItem) {
      // The drop-down is a pop-up menu of the bar's, so that the bar's owner hears of it.
      // Made whole before the bar takes it, so that the bar (and whoever derives from it) hears of a
      // pop-up menu being inserted.
      auto temp = std::make_unique<TPopupMenu>(nullptr);
      InsertComponent(temp.get());
      TMenu* menu = b->FMenuItem->GetParentMenu();
      if (menu) temp->SetBiDiMode(menu->BiDiMode());
      chosen = temp->PopupItem(b->FMenuItem, p.X, p.Y, &tracking);
    }
    if (!*alive) return;
    b = tracking.Next;
    FMenuButton = nullptr;
  }
  FMenuButton = nullptr;
  TPoint cursor;
  GetCursorPos(&cursor);
  SetHotButton(MenuButtonAt(cursor) ? MenuButtonAt(cursor) : nullptr);
  Repaint();
  // The command runs with the bar back to normal: a dialog it opens must not find the entry still pressed.
  if (chosen) chosen->Click();
  if (dropdownCommand) dropdownCommand->Run();
}

// ---------------------------------------------------------------------------------------------------------

namespace {

TToolButton* TBarTracking::ButtonAt(TPoint Screen) const {
  return FBar->MenuButtonAt(Screen);
}

bool TBarTracking::SwitchAt(TPoint Screen) {
  TToolButton* b = ButtonAt(Screen);
  if (!b || b == FCurrent) return false;
  Next = b;
  return true;
}

bool TBarTracking::SwitchBy(int Direction) {
  TToolButton* b = FBar->NextMenuButton(FCurrent, Direction);
  if (!b || b == FCurrent) return false;
  Next = b;
  return true;
}

bool TBarTracking::OnCurrent(TPoint Screen) {
  const TPoint p = FBar->ScreenToClient(Screen);
  return FCurrent->BoundsRect().Contains(p);
}

} // namespace
