#pragma once
// Skinned data-aware edit, memo, image, list box and lookup list box: the class library's data-aware
// controls with a themed two-pixel frame (border colour outside, the control's colour inside), a theme style,
// and for those that scroll, linked skinned scroll bars that follow the control's own bars both ways.
#include "classlib/data/DBCtrls.h"
#include "skin/SKDBScrollLink.h"
#include "skin/SKScrollBar.h"
#include "skin/SKThemeLink.h"

// The theme and the frame every control of this unit shares.
template <class Base> class TskDBFramed : public TskThemed<Base> {
 public:
  explicit TskDBFramed(TComponent* AOwner) : TskThemed<Base>(AOwner) {}

  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) {
    FBorderColor = Value;
    this->Repaint();
  }
  // BorderColor takes theme item 25 (ControlBorderColor) again; linked bars take the resolved style.
  void SetUIStyle(TskUIStyle Value) override {
    FTheme.UIStyle = Value;
    FBorderColor = FTheme.Color(25);
    ThemeLinkedBars(FTheme.UseFile() ? FromThemeFile : FTheme.InsideStyle(), FTheme.FileTheme);
    this->Repaint();
  }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TskThemed<Base>::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent) ForgetLinkedBar(AComponent);
  }
  void WMPaint(TMessage& Message) override {
    Base::WMPaint(Message);
    DrawBorder();
  }
  // The frame lies in the non-client band: repainting that band draws it again.
  void WMNCPaint(TMessage& Message) override {
    Base::WMNCPaint(Message);
    DrawBorder();
  }
  // Each concrete class lists it for WM_ERASEBKGND in its message table.
  virtual void WMEARSEBKGND(TMessage& Message) {
    TWinControl::WMEraseBkgnd(Message);
    DrawBorder();
  }

 protected:
  void DrawBorder() {
    if (this->HandleAllocated() && !this->ComponentState().Contains(csDestroying))
      DrawControlBorder(this, FBorderColor, this->Color(), true);
  }
  // Descendants with linked bars pass the style and theme file on, and forget a bar that is removed.
  virtual void ThemeLinkedBars(TskUIStyle Style, TskFileTheme* File) {
    (void)Style;
    (void)File;
  }
  virtual void FileThemeLinkedBars(TskFileTheme* File) { (void)File; }
  void FileThemeAttached(TskFileTheme* Value) override { FileThemeLinkedBars(Value); }
  virtual void ForgetLinkedBar(TComponent* AComponent) { (void)AComponent; }

  TColor FBorderColor = clBlack;
  using TskThemed<Base>::FTheme;
};

class TskDBEdit : public TskDBFramed<TDBEdit> {
  QUENDREL_CLASS(TskDBEdit, TskDBFramed<TDBEdit>)
 public:
  explicit TskDBEdit(TComponent* AOwner);
};

class TskDBImage : public TskDBFramed<TDBImage> {
  QUENDREL_CLASS(TskDBImage, TskDBFramed<TDBImage>)
 public:
  explicit TskDBImage(TComponent* AOwner);
};

using TskDBMemoBase = TskDBTextScrollLink<TskDBFramed<TDBMemo>>;
class TskDBMemo : public TskDBMemoBase {
  QUENDREL_CLASS(TskDBMemo, TskDBMemoBase)
 public:
  explicit TskDBMemo(TComponent* AOwner);

  void SetVScrollBar(TskScrollBar* Value);
  void SetHScrollBar(TskScrollBar* Value);

  void UpdateScrollBars() override;
  void UpdateScrollBarsPos() override;
  void UpdateInnerScrollBars();
  void OnVScrollBarChange(TObject* Sender);
  void OnHScrollBarChange(TObject* Sender);

  void CMVisibleChanged(TMessage& Message) override;

 protected:
  void ThemeLinkedBars(TskUIStyle Style, TskFileTheme* File) override;
  void FileThemeLinkedBars(TskFileTheme* File) override;
  void ForgetLinkedBar(TComponent* AComponent) override;

 private:
  TskBarHiddenWithControl FVHidden;
  TskBarHiddenWithControl FHHidden;
};

// The list boxes share their bar handling; Rule says how the bar follows the control's own.
template <class Base, TskBarRule Rule> class TskDBListBar : public TskDBScrollLink<TskDBFramed<Base>> {
  using Link = TskDBScrollLink<TskDBFramed<Base>>;

 protected:
  using Link::FUpdating;
  using Link::FVScrollBar;

 public:
  explicit TskDBListBar(TComponent* AOwner) : Link(AOwner) {}

  void SetVScrollBar(TskScrollBar* Value) {
    if (SKLinkScrollBar(this, FVScrollBar, Value, skVertical,
                        [this](TObject* s) { OnVScrollBarChange(s); }) &&
        FVScrollBar)
      UpdateScrollBarsPos();
  }
  void UpdateScrollBars() override {
    if (this->ComponentState().Contains(csDestroying)) return;
    const TskFlagScope updating(FUpdating);
    SKSyncScrollBar(this, FVScrollBar, true, Rule);
  }
  void UpdateScrollBarsPos() override {
    if (FVScrollBar && !this->ComponentState().Contains(csDestroying)) {
      const int vw = FVScrollBar->Width();
      SKPlaceScrollBar(FVScrollBar,
                       SKLeftToRightPlacement(this) ? this->Left() + this->Width() - vw - 2
                                                    : this->Left() + 2,
                       this->Top() + 1, vw, this->Height() - 2);
    }
    UpdateScrollBars();
  }
  // The list re-reads the bar at once, so that a position it cannot take puts the bar back.
  void OnVScrollBarChange(TObject*) {
    if (FUpdating) return;
    SKScrollControlToBar(this, FVScrollBar, true);
    this->Invalidate();
  }

  // In the message table of each list box: the class library has no handler of its own for it.
  virtual void WMHScroll(TMessage& Message) {
    InheritedMessage(Message);
    UpdateScrollBars();
  }

 protected:
  // What the class library does with Message: its handler, or the default handling where it has none.
  void InheritedMessage(TMessage& Message) {
    if (const TMessageHandlerInfo* handler = Base::StaticClass()->FindMessageHandler(Message.Msg))
      handler->Call(this, Message);
    else
      this->DefaultHandler(Message);
  }
  void ThemeLinkedBars(TskUIStyle Style, TskFileTheme*) override {
    if (FVScrollBar) FVScrollBar->SetUIStyle(Style);
  }
  void FileThemeLinkedBars(TskFileTheme* File) override {
    if (FVScrollBar) FVScrollBar->SetFileTheme(File);
  }
  void ForgetLinkedBar(TComponent* AComponent) override {
    if (AComponent == FVScrollBar) FVScrollBar = nullptr;
  }
};

using TskDBListBoxBase = TskDBListBar<TDBListBox, TskBarRule::ListBox>;
class TskDBListBox : public TskDBListBoxBase {
  QUENDREL_CLASS(TskDBListBox, TskDBListBoxBase)
 public:
  explicit TskDBListBox(TComponent* AOwner);

  void CMVisibleChanged(TMessage& Message) override;
  void ListMessage(TMessage& Message) override;
  void CNCommand(TMessage& Message) override;
  void WMDeleteItem(TMessage& Message) override;
  void WMSetRedraw(TMessage& Message) override;
};

using TskDBLookupListBoxBase = TskDBListBar<TDBLookupListBox, TskBarRule::LookupListBox>;
class TskDBLookupListBox : public TskDBLookupListBoxBase {
  QUENDREL_CLASS(TskDBLookupListBox, TskDBLookupListBoxBase)
 public:
  explicit TskDBLookupListBox(TComponent* AOwner);

  // Items added or removed: the bar follows.
  virtual void WMListChanged(TMessage& Message);
  void WMSetFocus(TMessage& Message) override;
  void ListLinkDataChanged() override;
  void Click() override;
};
