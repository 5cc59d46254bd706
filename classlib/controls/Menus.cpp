#include "classlib/controls/Menus.h"

#include <algorithm>
#include <cctype>
#include <strings.h>
#include <utility>

#include "classlib/controls/Application.h"
#include "classlib/controls/CustomControl.h"
#include "classlib/controls/Hint.h"
#include "classlib/controls/Screen.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/ImageList.h"

const TEnumInfo MenuAutoFlagNames{{"maAutomatic", "maManual", "maParent"}};
const TEnumInfo PopupAlignmentNames{{"paLeft", "paRight", "paCenter"}};

QUENDREL_REGISTER_CLASS(TMenuItem, TComponent) {
  c.Creatable();
  c.Property("Action", &TMenuItem::Action, &TMenuItem::SetAction);
  c.Property("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(0);
  c.Enum("AutoHotkeys", &TMenuItem::AutoHotkeys, &TMenuItem::SetAutoHotkeys, MenuAutoFlagNames)
      .Default(maParent);
  c.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  c.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(0);
  c.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(0);
  c.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(1);
  c.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  c.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  c.Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  c.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(0);
  c.Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
  c.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(1);
  c.Event("OnClick", &TMenuItem::OnClick);
  c.Event("OnDrawItem", &TMenuItem::OnDrawItem);
  c.Event("OnMeasureItem", &TMenuItem::OnMeasureItem);
}

QUENDREL_REGISTER_CLASS(TMenu, TComponent) {
  c.Enum("AutoHotkeys", &TMenu::AutoHotkeys, &TMenu::SetAutoHotkeys, MenuAutoFlagNames).Default(maAutomatic);
  c.Enum("BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode, BiDiModeNames).Default(bdLeftToRight);
  c.Property("Images", &TMenu::Images, &TMenu::SetImages);
  c.Property("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw).Default(0);
}
QUENDREL_REGISTER_CLASS(TMainMenu, TMenu) {
  c.Creatable();
}
QUENDREL_REGISTER_CLASS(TPopupMenu, TMenu) {
  c.Creatable();
  c.Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, PopupAlignmentNames).Default(paLeft);
  c.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(1);
  c.Event("OnPopup", &TPopupMenu::OnPopup);
}

// ---------------------------------------------------------------------------------------------------------
// Short cuts

namespace {

struct TKeyName {
  WORD Key;
  const char* Name;
};
const TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},  {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}};

AnsiString KeyName(WORD key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return AnsiString(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F12) return Format("F%d", key - VK_F1 + 1);
  for (const TKeyName& k : KeyNames)
    if (k.Key == key) return k.Name;
  return "";
}

} // namespace

AnsiString StripHotkey(const AnsiString& s) {
  AnsiString r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') r += s[++i];
      continue;
    }
    r += s[i];
  }
  return r;
}

TShortCut ShortCut(WORD Key, TShiftState Shift) {
  if (Key & 0xFF00) return 0;
  TShortCut r = Key;
  if (Shift.Contains(ssShift)) r |= scShift;
  if (Shift.Contains(ssCtrl)) r |= scCtrl;
  if (Shift.Contains(ssAlt)) r |= scAlt;
  return r;
}

AnsiString ShortCutToText(TShortCut Value) {
  const AnsiString name = KeyName(Value & 0xFF);
  if (name.empty()) return "";
  AnsiString r;
  if (Value & scShift) r += "Shift+";
  if (Value & scCtrl) r += "Ctrl+";
  if (Value & scAlt) r += "Alt+";
  return r + name;
}

TShortCut TextToShortCut(const AnsiString& Text) {
  TShortCut mods = 0;
  AnsiString rest = Text;
  for (;;) {
    if (strncasecmp(rest.c_str(), "Shift+", 6) == 0)
      mods |= scShift, rest.erase(0, 6);
    else if (strncasecmp(rest.c_str(), "Ctrl+", 5) == 0)
      mods |= scCtrl, rest.erase(0, 5);
    else if (strncasecmp(rest.c_str(), "Alt+", 4) == 0)
      mods |= scAlt, rest.erase(0, 4);
    else
      break;
  }
  for (WORD k = 1; k < 256; ++k) {
    const AnsiString n = KeyName(k);
    if (!n.empty() && strcasecmp(n.c_str(), rest.c_str()) == 0) return static_cast<TShortCut>(k | mods);
  }
  return 0;
}

TShortCut ShortCutFromMessage(const TMessage& Message) {
  TShortCut sc = static_cast<TShortCut>(Message.WParam & 0xFF);
  if (sc == 0) return 0;
  if (GetKeyState(VK_SHIFT) < 0) sc |= scShift;
  if (GetKeyState(VK_CONTROL) < 0) sc |= scCtrl;
  if (Message.LParam & KF_ALTDOWN_LPARAM) sc |= scAlt;
  return sc;
}

// ---------------------------------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  if (FParent) FParent->Remove(this);
  // Sub-items go with their item, whoever owns them.
  while (!FItems.empty()) {
    TMenuItem* i = FItems.back();
    Remove(i);
    delete i; // the parent item frees its items
  }
  if (FAction) FAction->UnregisterClient(this);
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::MenuIndex() const {
  return FParent ? FParent->IndexOf(this) : -1;
}

void TMenuItem::SetMenuIndex(int Value) {
  if (!FParent) return;
  TMenuItem* p = FParent;
  p->Remove(this);
  p->Insert(std::clamp(Value, 0, p->Count()), this);
}

void TMenuItem::Add(TMenuItem* Item) {
  Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item || Item == this) return;
  if (Item->FParent) throw EInvalidOperation("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EInvalidOperation("A menu item cannot hold the item that holds it");
  Index = std::clamp(Index, 0, Count());
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
  TMenuItem* i = Items(Index);
  Remove(i);
  delete i; // Delete frees, as the item's parent
}

void TMenuItem::Remove(TMenuItem* Item) {
  const auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Item->FParent = nullptr;
  MenuChanged(true);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  const auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const AnsiString& ACaption) const {
  const AnsiString want = StripHotkey(ACaption);
  for (TMenuItem* i : FItems)
    if (strcasecmp(StripHotkey(i->FCaption).c_str(), want.c_str()) == 0) return i;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->FParent) i = i->FParent;
  return i->FMenu;
}

void TMenuItem::MenuChanged(bool Rebuild) {
  if (TMenu* m = GetParentMenu()) m->MenuChanged(this, this, Rebuild);
}

void TMenuItem::SetCaption(const AnsiString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  // A checked radio item unchecks the others of its group.
  if (Value && FRadioItem && FParent)
    for (TMenuItem* i : FParent->FItems)
      if (i != this && i->FRadioItem && i->FGroupIndex == FGroupIndex) i->FChecked = false;
  MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
  if (FDefault == Value) return;
  if (Value && FParent)
    for (TMenuItem* i : FParent->FItems) i->FDefault = false;
  FDefault = Value;
  MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value) {
  FRadioItem = Value;
  MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  FShortCut = Value;
  MenuChanged(false);
}

void TMenuItem::SetImageIndex(int Value) {
  FImageIndex = Value;
  MenuChanged(false);
}

void TMenuItem::SetAction(TBasicAction* Value) {
  if (FAction == Value) return;
  if (FAction) {
    FAction->UnregisterClient(this);
    FAction->RemoveFreeNotification(this);
  }
  FAction = Value;
  if (Value) {
    Value->RegisterClient(this);
    Value->FreeNotification(this);
    ActionChange(Value, ComponentState().Contains(csLoading));
  }
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || FCaption.empty()) SetCaption(a->Caption());
  if (!CheckDefaults || !FChecked) SetChecked(a->Checked());
  if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
  if (!CheckDefaults || FShortCut == 0) SetShortCut(a->ShortCut());
  if (!CheckDefaults || FVisible) SetVisible(a->Visible());
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAction) FAction = nullptr;
}

char GetHotkey(const AnsiString& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != '&') continue;
    if (Caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(Caption[i + 1])));
  }
  return 0;
}

std::vector<AnsiString> ShownCaptions(const std::vector<TMenuItem*>& Items, bool Automatic) {
  std::vector<AnsiString> shown;
  shown.reserve(Items.size());
  for (const TMenuItem* i : Items) shown.push_back(i->Caption());
  if (!Automatic) return shown;
  std::vector<char> used;
  for (const TMenuItem* i : Items)
    if (const char k = i->Accelerator(); k && !i->IsLine()) used.push_back(k);
  for (size_t n = 0; n < Items.size(); ++n) {
    AnsiString& c = shown[n];
    if (Items[n]->IsLine() || Items[n]->Accelerator()) continue;
    for (size_t p = 0; p < c.size(); ++p) {
      const auto ch = static_cast<unsigned char>(c[p]);
      if (!std::isalnum(ch)) continue;
      const char k = static_cast<char>(std::toupper(ch));
      if (std::find(used.begin(), used.end(), k) != used.end()) continue;
      c.insert(p, 1, '&');
      used.push_back(k);
      break;
    }
  }
  return shown;
}

char TMenuItem::Accelerator() const {
  return GetHotkey(FCaption);
}

bool TMenuItem::AutoHotkeysInForce(const TMenuItem* Root, const TMenu* Menu) const {
  const TMenuItem* i = this;
  while (i->FAutoHotkeys == maParent && i != Root && i->FParent) i = i->FParent;
  if (i->FAutoHotkeys != maParent) return i->FAutoHotkeys == maAutomatic;
  if (!Menu) Menu = i->FMenu;
  return Menu && Menu->AutoHotkeys() == maAutomatic;
}

// While alive, the item's caption reads as the caption it shows (with the hot key its menu gave it), so
// that whoever draws it draws that; the menu hears of no change, and the caption comes back after.
class TShownCaption {
 public:
  TShownCaption(TMenuItem* Item, const AnsiString& Shown) : FItem(Item), FSaved(Shown) {
    std::swap(FItem->FCaption, FSaved);
  }
  ~TShownCaption() { std::swap(FItem->FCaption, FSaved); }
  TShownCaption(const TShownCaption&) = delete;
  TShownCaption& operator=(const TShownCaption&) = delete;

 private:
  TMenuItem* FItem;
  AnsiString FSaved;
};

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck) SetChecked(FRadioItem ? true : !FChecked);
  if (OnClick)
    OnClick(this);
  else if (FAction && !ComponentState().Contains(csDesigning))
    FAction->Execute();
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  const TMenu* menu = GetParentMenu();
  if (OnMeasureItem && menu && menu->IsOwnerDraw())
    OnMeasureItem(this, ACanvas, Width, Height);
  else
    DefaultMeasureItem(ACanvas, Width, Height);
}

void TMenuItem::DefaultMeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  if (IsLine()) {
    Height = 8;
    Width = 40;
    return;
  }
  const AnsiString text = StripHotkey(FCaption);
  Height = std::max(ACanvas->TextHeight("Ag") + 6, 19);
  Width = ACanvas->TextWidth(text) + 44;
  if (FShortCut) Width += ACanvas->TextWidth(ShortCutToText(FShortCut)) + 16;
}

void TMenuItem::DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected) {
  TOwnerDrawState state;
  if (Selected) state.Include(odSelected);
  if (!FEnabled) state.Include(odDisabled), state.Include(odGrayed);
  if (FChecked) state.Include(odChecked);
  if (FDefault) state.Include(odDefault);
  AdvancedDrawItem(ACanvas, ARect, state);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State) {
  const TMenu* menu = GetParentMenu();
  if (menu && menu->IsOwnerDraw()) {
    if (OnAdvancedDrawItem) {
      OnAdvancedDrawItem(this, ACanvas, ARect, State);
      return;
    }
    if (OnDrawItem) {
      OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
      return;
    }
  }
  DefaultDrawItem(ACanvas, ARect, State);
}

void TMenuItem::DefaultDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State) {
  const bool hot = State.Contains(odSelected) && FEnabled && !IsLine();
  ACanvas->Brush()->SetColor(hot ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  if (IsLine()) {
    const int y = (ARect.Top + ARect.Bottom) / 2;
    ACanvas->Pen()->SetColor(clBtnShadow);
    ACanvas->MoveTo(ARect.Left + 2, y - 1);
    ACanvas->LineTo(ARect.Right - 2, y - 1);
    ACanvas->Pen()->SetColor(clBtnHighlight);
    ACanvas->MoveTo(ARect.Left + 2, y);
    ACanvas->LineTo(ARect.Right - 2, y);
    return;
  }
  HDC dc = ACanvas->Handle();
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Font()->SetColor(!FEnabled ? clGrayText : hot ? clHighlightText : clMenuText);
  ACanvas->Font()->SetStyle(FDefault ? TFontStyles{fsBold} : TFontStyles{});
  ACanvas->TextExtent(""); // selects the canvas's objects
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(ACanvas->Font()->Color()));
  RECT r{ARect.Left + 20, ARect.Top, ARect.Right - 4, ARect.Bottom};
  DrawText(dc, FCaption.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (FShortCut) {
    r.Right -= 12;
    const AnsiString sc = ShortCutToText(FShortCut);
    DrawText(dc, sc.c_str(), -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  }
  if (FChecked) {
    const int cy = (ARect.Top + ARect.Bottom) / 2;
    ACanvas->Pen()->SetColor(ACanvas->Font()->Color());
    if (FRadioItem) {
      ACanvas->Brush()->SetStyle(bsSolid);
      ACanvas->Brush()->SetColor(ACanvas->Font()->Color());
      ACanvas->Ellipse(ARect.Left + 7, cy - 3, ARect.Left + 13, cy + 3);
    } else {
      ACanvas->Polyline({{ARect.Left + 6, cy}, {ARect.Left + 8, cy + 2}, {ARect.Left + 13, cy - 3}});
      ACanvas->Polyline({{ARect.Left + 6, cy + 1}, {ARect.Left + 8, cy + 3}, {ARect.Left + 13, cy - 2}});
    }
  }
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  TMenuItem* target = nullptr;
  if (auto* m = dynamic_cast<TMenu*>(Value))
    target = m->Items();
  else
    target = dynamic_cast<TMenuItem*>(Value);
  // Refused before the item leaves its present parent, so that a refusal changes nothing.
  for (const TMenuItem* p = target; p; p = p->FParent)
    if (p == this) throw EInvalidOperation("A menu item cannot hold the item that holds it");
  if (FParent) FParent->Remove(this);
  if (target) target->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TMenuItem* i : FItems)
    if (i->Owner() == Root) Proc(i);
}

// ---------------------------------------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() {
  // Items owned by another component (the form) are only detached; they go with their owner.
  FItems->FMenu = nullptr;
}

void TMenu::SetImages(TImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  MenuChanged(this, nullptr, false);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  if (OnChange) OnChange(Sender, Source, Rebuild);
}

TMenuItem* TMenu::FindItem(TShortCut Value) const {
  std::vector<TMenuItem*> stack{FItems.get()};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    if (i != FItems.get() && i->ShortCut() == Value && Value != 0) return i;
    for (int k = i->Count() - 1; k >= 0; --k) stack.push_back(i->Items(k));
  }
  return nullptr;
}

bool TMenu::IsShortCut(TMessage& Message) {
  const TShortCut sc = ShortCutFromMessage(Message);
  TMenuItem* item = FindItem(sc);
  if (!item) return false;
  for (TMenuItem* p = item; p && p != FItems.get(); p = p->Parent())
    if (!p->Enabled() || !p->Visible()) return false;
  item->Click();
  return true;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  FItems->GetChildren(Proc, Root);
}

// ---------------------------------------------------------------------------------------------------------
// The pop-up display

std::function<void()> OnMenuLoopIdle;

namespace {

constexpr int MenuFrame = 3; // the pop-up window's border, outside its client area

// One dropped-down level: a frameless top-level window whose client area lists the visible sub-items of an
// item, inside a three-pixel border of its own.
class TMenuPopupWindow : public TCustomControl {
 public:
  // Root is the item whose sub-items the first level shows.
  TMenuPopupWindow(TMenuItem* Item, TMenu* Menu, const TMenuItem* Root)
      : TCustomControl(nullptr), FItem(Item), FMenu(Menu) {
    FColor = clMenu;
    ControlStyle.Include(csOpaque);
    for (int i = 0; i < Item->Count(); ++i)
      if (Item->Items(i)->Visible()) Visible_.push_back(Item->Items(i));
    Shown = ShownCaptions(Visible_, Item->AutoHotkeysInForce(Root, Menu));
    Measure();
  }

  void Measure() {
    TBitmap probe;
    probe.SetSize(1, 1);
    TCanvas* c = probe.Canvas();
    int y = 0, w = 80;
    Rects.clear();
    for (TMenuItem* i : Visible_) {
      c->Font()->Assign(Font());
      int iw = 0, ih = 0;
      i->MeasureItem(c, iw, ih);
      ih = std::max(ih, 1);
      Rects.push_back(Rect(0, y, 0, y + ih));
      y += ih;
      w = std::max(w, iw);
    }
    if (Visible_.empty()) y = 8;
    for (TRect& r : Rects) r.Right = w;
    FWidth = w + 2 * MenuFrame;
    FHeight = y + 2 * MenuFrame;
  }

  int ItemAt(TPoint client) const {
    for (size_t i = 0; i < Rects.size(); ++i)
      if (Rects[i].Contains(client)) return static_cast<int>(i);
    return -1;
  }

  void Select(int index) {
    if (index == Selected) return;
    const int old = Selected;
    Selected = index;
    // Only the two items concerned are drawn again, as the platform's menus do.
    for (int i : {old, index})
      if (i >= 0 && i < static_cast<int>(Rects.size())) {
        const TRect r = Rects[static_cast<size_t>(i)];
        InvalidateRect(Handle(), &r, 0);
      }
    Update();
    // The selected item's hint is the application's while the menu is down (a status bar may show it).
    if (Application) Application->SetHint(SelectedItem() ? GetLongHint(SelectedItem()->Hint()) : "");
  }

  TMenuItem* SelectedItem() const {
    return Selected >= 0 && Selected < static_cast<int>(Visible_.size())
               ? Visible_[static_cast<size_t>(Selected)]
               : nullptr;
  }

  void Paint() override {
    TCanvas* c = Canvas();
    const TRect clip = c->ClipRect();
    if (Visible_.empty()) {
      c->Brush()->SetColor(clMenu);
      c->FillRect(ClientRect());
    }
    for (size_t i = 0; i < Visible_.size(); ++i) {
      const TRect& r = Rects[i];
      if (r.Bottom <= clip.Top || r.Top >= clip.Bottom) continue;
      c->Font()->Assign(Font());
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(clMenu);
      c->Pen()->SetColor(clBlack);
      TMenuItem* item = Visible_[i];
      {
        const TShownCaption shown(item, Shown[i]);
        item->DrawItem(c, r, static_cast<int>(i) == Selected);
      }
      if (item->Count() > 0) DrawArrow(c, r, c->Font()->Color());
    }
  }

  static void DrawArrow(TCanvas* c, const TRect& r, TColor color) {
    const int cy = (r.Top + r.Bottom) / 2;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color);
    c->Pen()->SetColor(color);
    c->Polygon({{r.Right - 10, cy - 3}, {r.Right - 7, cy}, {r.Right - 10, cy + 3}});
  }

  void WMNCPaint(TMessage&) override {
    HDC dc = GetWindowDC(Handle());
    TCanvas c;
    c.SetHandle(dc);
    TRect r{0, 0, Width(), Height()};
    Frame3D(&c, r, clBtnHighlight, clBtnShadow, 1);
    Frame3D(&c, r, clMenu, clMenu, MenuFrame - 1);
    c.SetHandle(nullptr);
    ReleaseDC(Handle(), dc);
  }

  void WMEraseBkgnd(TMessage& Message) override { Message.Result = 1; }

  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_DLGFRAME;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  }

  TMenuItem* FItem;
  TMenu* FMenu;
  std::vector<TMenuItem*> Visible_;
  std::vector<AnsiString> Shown; // the captions the items show, with their automatic hot keys
  std::vector<TRect> Rects;
  int Selected = -1;
};

bool g_CancelTracking = false;
TMenuCommandHold* g_CommandHold = nullptr; // the hold the next menu tracked keeps its choice in
std::vector<TMenuPopupWindow*> g_Levels;   // the levels of the menu being tracked, for MenuPopupWindows

struct TTracker {
  std::vector<std::unique_ptr<TMenuPopupWindow>> Levels;
  TMenu* Menu = nullptr;
  const TMenuItem* Root = nullptr;

  ~TTracker() { CloseFrom(0); }

  void Open(TMenuItem* item, int x, int y) {
    // An item hears of its click just before its sub-menu shows, so that it can mark or fill the items.
    item->Click();
    auto w = std::make_unique<TMenuPopupWindow>(item, Menu, Root);
    const TRect work = Screen->WorkAreaRect();
    x = std::max(work.Left, std::min(x, work.Right - w->Width()));
    y = std::max(work.Top, std::min(y, work.Bottom - w->Height()));
    w->SetBounds(x, y, w->Width(), w->Height());
    ShowWindow(w->Handle(), SW_SHOWNA);
    SetWindowPos(w->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    g_Levels.push_back(w.get());
    Levels.push_back(std::move(w));
    SetCapture(Levels.front()->Handle());
    UpdateAllWindows();
  }

  void CloseFrom(size_t level) {
    while (Levels.size() > level) {
      std::erase(g_Levels, Levels.back().get());
      Levels.pop_back();
    }
    if (!Levels.empty()) SetCapture(Levels.front()->Handle());
  }

  // The deepest level under a screen point; -1 for none.
  int LevelAt(TPoint p) const {
    for (int i = static_cast<int>(Levels.size()) - 1; i >= 0; --i) {
      TRect r;
      GetWindowRect(Levels[static_cast<size_t>(i)]->Handle(), &r);
      if (r.Contains(p)) return i;
    }
    return -1;
  }

  // Opens the sub-menu of the selected item of a level; false when it has none.
  bool OpenSub(size_t level, bool selectFirst) {
    TMenuPopupWindow* w = Levels[level].get();
    TMenuItem* item = w->SelectedItem();
    if (!item || item->Count() == 0 || !item->Enabled()) return false;
    if (Levels.size() > level + 1 && Levels[level + 1]->FItem == item) return true;
    CloseFrom(level + 1);
    TRect wr;
    GetWindowRect(w->Handle(), &wr);
    Open(item, wr.Right - MenuFrame, wr.Top + w->Rects[static_cast<size_t>(w->Selected)].Top);
    if (selectFirst) MoveSelection(Levels.back().get(), 1);
    return true;
  }

  static void MoveSelection(TMenuPopupWindow* w, int dir) {
    const int n = static_cast<int>(w->Visible_.size());
    if (n == 0) return;
    int i = w->Selected;
    for (int step = 0; step < n; ++step) {
      i = i < 0 ? (dir > 0 ? 0 : n - 1) : (i + dir + n) % n;
      if (!w->Visible_[static_cast<size_t>(i)]->IsLine()) break;
    }
    w->Select(i);
  }

  // A letter or digit: the items of the deepest level whose accelerator it is. One such item is chosen (or
  // its sub-menu opened); several are stepped through.
  TMenuItem* Mnemonic(WORD key) {
    TMenuPopupWindow* w = Levels.back().get();
    std::vector<int> hits;
    for (size_t i = 0; i < w->Visible_.size(); ++i)
      if (GetHotkey(w->Shown[i]) == static_cast<char>(key)) hits.push_back(static_cast<int>(i));
    if (hits.empty()) return nullptr;
    if (hits.size() > 1) {
      const auto next = std::upper_bound(hits.begin(), hits.end(), w->Selected);
      w->Select(next == hits.end() ? hits.front() : *next);
      return nullptr;
    }
    w->Select(hits.front());
    TMenuItem* item = w->SelectedItem();
    if (OpenSub(Levels.size() - 1, true)) return nullptr;
    return item->Enabled() && !item->IsLine() ? item : nullptr;
  }
};

bool IsMnemonicKey(WPARAM key) {
  return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

} // namespace

void CancelMenuTracking() {
  g_CancelTracking = true;
}

std::vector<TWinControl*> MenuPopupWindows() {
  return {g_Levels.begin(), g_Levels.end()};
}

TMenuItem* TrackMenuItem(TMenuItem* Item, int X, int Y, TMenu* Menu, TMenuTrackBar* Bar) {
  if (!Item || Item->Count() == 0) return nullptr;
  // The hold is this menu's alone: a menu tracked while this one is down runs its own command.
  TMenuCommandHold* hold = Bar ? nullptr : g_CommandHold;
  if (hold) g_CommandHold = hold->FOuter;
  TTracker t;
  t.Menu = Menu;
  t.Root = Item;
  g_CancelTracking = false;
  t.Open(Item, X, Y);
  TMenuItem* chosen = nullptr;
  bool done = false;
  while (!done && !g_CancelTracking && !Application->Terminated()) {
    MSG m;
    if (!PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
      UpdateAllWindows();
      if (OnMenuLoopIdle) {
        OnMenuLoopIdle();
        if (g_CancelTracking || PeekMessage(m, nullptr, 0, 0, PM_NOREMOVE)) continue;
      }
      WaitMessage(50);
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    const bool mouse = (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
                       (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK);
    if (mouse) {
      const bool press = m.message == WM_LBUTTONDOWN || m.message == WM_RBUTTONDOWN ||
                         m.message == WM_NCLBUTTONDOWN || m.message == WM_NCRBUTTONDOWN;
      const int level = t.LevelAt(m.pt);
      if (level < 0) {
        // Outside the menus: onto another entry of the bar moves the menu there; a press closes it.
        if (Bar && m.message == WM_MOUSEMOVE && !Bar->OnCurrent(m.pt) && Bar->SwitchAt(m.pt))
          done = true;
        else if (press)
          done = true;
        continue;
      }
      TMenuPopupWindow* w = t.Levels[static_cast<size_t>(level)].get();
      TPoint p = m.pt;
      ScreenToClient(w->Handle(), &p);
      const int idx = w->ItemAt(p);
      if (m.message == WM_MOUSEMOVE) {
        if (idx >= 0 && idx != w->Selected) {
          w->Select(idx);
          t.CloseFrom(static_cast<size_t>(level) + 1);
          t.OpenSub(static_cast<size_t>(level), false);
        }
      } else if (m.message == WM_LBUTTONUP || m.message == WM_RBUTTONUP) {
        if (idx >= 0) {
          TMenuItem* item = w->Visible_[static_cast<size_t>(idx)];
          if (item->Enabled() && !item->IsLine() && item->Count() == 0) {
            chosen = item;
            done = true;
          }
        }
      }
      continue;
    }
    if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
      TMenuPopupWindow* w = t.Levels.back().get();
      const bool first = t.Levels.size() == 1;
      switch (m.wParam) {
      case VK_UP:
        TTracker::MoveSelection(w, -1);
        break;
      case VK_DOWN:
        TTracker::MoveSelection(w, 1);
        break;
      case VK_HOME:
        w->Select(-1);
        TTracker::MoveSelection(w, 1);
        break;
      case VK_END:
        w->Select(-1);
        TTracker::MoveSelection(w, -1);
        break;
      case VK_RIGHT:
        if (!t.OpenSub(t.Levels.size() - 1, true) && Bar && Bar->SwitchBy(1)) done = true;
        break;
      case VK_LEFT:
        if (!first)
          t.CloseFrom(t.Levels.size() - 1);
        else if (Bar && Bar->SwitchBy(-1))
          done = true;
        break;
      case VK_ESCAPE:
        if (!first)
          t.CloseFrom(t.Levels.size() - 1);
        else
          done = true;
        break;
      case VK_RETURN:
        if (TMenuItem* item = w->SelectedItem()) {
          if (item->Count() > 0)
            t.OpenSub(t.Levels.size() - 1, true);
          else if (item->Enabled() && !item->IsLine()) {
            chosen = item;
            done = true;
          }
        }
        break;
      case VK_MENU:
      case VK_F10:
        done = true;
        break;
      case VK_F4:
        // Alt+F4 with Alt held since before the menu opened (so no Alt press came to close it): the menu
        // closes, and the window hears the close request as though no menu had been open.
        if (m.message == WM_SYSKEYDOWN && (m.lParam & KF_ALTDOWN_LPARAM)) {
          PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
          done = true;
        }
        break;
      default:
        if (IsMnemonicKey(m.wParam))
          if (TMenuItem* item = t.Mnemonic(static_cast<WORD>(m.wParam))) {
            chosen = item;
            done = true;
          }
        break;
      }
      continue;
    }
    if (m.message == WM_CHAR || m.message == WM_SYSCHAR || m.message == WM_KEYUP || m.message == WM_SYSKEYUP)
      continue;
    try {
      TranslateMessage(m);
      DispatchMessage(m);
    } catch (Exception& e) {
      Application->HandleException(nullptr, e);
    }
  }
  t.CloseFrom(0);
  ReleaseCapture();
  if (Application) Application->SetHint("");
  g_CancelTracking = false;
  UpdateAllWindows();
  // A bar runs the command itself once its entry is drawn released, so that a dialog the command opens
  // does not show the entry still pressed.
  if (chosen && hold)
    hold->FChosen = chosen;
  else if (chosen && !Bar)
    chosen->Click();
  return chosen;
}

TMenuCommandHold::TMenuCommandHold() : FOuter(std::exchange(g_CommandHold, this)) {}

TMenuCommandHold::~TMenuCommandHold() {
  if (g_CommandHold == this) g_CommandHold = FOuter;
}

void TMenuCommandHold::Run() {
  if (g_CommandHold == this) g_CommandHold = FOuter;
  if (TMenuItem* item = std::exchange(FChosen, nullptr)) item->Click();
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

TMenuItem* TPopupMenu::PopupItem(TMenuItem* Item, int X, int Y, TMenuTrackBar* Bar) {
  DoPopup(this);
  return TrackMenuItem(Item, X, Y, this, Bar);
}

void TPopupMenu::Popup(int X, int Y) {
  DoPopup(this);
  int x = X;
  if (FAlignment != paLeft) {
    TMenuPopupWindow probe(Items(), this, Items());
    x = FAlignment == paRight ? X - probe.Width() : X - probe.Width() / 2;
  }
  TrackMenuItem(Items(), x, Y, this);
}
