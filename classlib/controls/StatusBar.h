#pragma once
// The status bar: a row of panels along the bottom of a form (or one simple text), each with its text, width,
// alignment and bevel, or drawn by OnDrawPanel; a size grip in the bottom-right corner that sizes the form;
// and, with AutoHint, the application's hint shown in the first panel.
#include <memory>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/CustomControl.h"
#include "classlib/core/Collection.h"

class TCustomStatusBar;

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
extern const TEnumInfo StatusPanelStyleNames;
extern const TEnumInfo StatusPanelBevelNames;

class TStatusPanel : public TCollectionItem {
  QUENDREL_CLASS(TStatusPanel, TCollectionItem)
 public:
  explicit TStatusPanel(TCollection* Collection);

  const AnsiString& Text() const { return FText; }
  void SetText(const AnsiString& Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStatusPanelBevel Bevel() const { return FBevel; }
  void SetBevel(TStatusPanelBevel Value);
  TStatusPanelStyle Style() const { return FStyle; }
  void SetStyle(TStatusPanelStyle Value);

  void Assign(TPersistent* Source) override;

 protected:
  AnsiString GetDisplayName() const override;

 private:
  AnsiString FText;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
  TStatusPanelBevel FBevel = pbLowered;
  TStatusPanelStyle FStyle = psText;
};

class TStatusPanels : public TCollection {
  QUENDREL_CLASS(TStatusPanels, TCollection)
 public:
  explicit TStatusPanels(TCustomStatusBar* StatusBar);

  // A panel of the class the bar's OnCreatePanelClass picks.
  TStatusPanel* Add() override;
  TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
  TStatusPanel* operator[](int Index) const { return Items(Index); }

  TPersistent* GetOwner() override;
  void Update(TCollectionItem* Item) override;

 private:
  TCustomStatusBar* FStatusBar;
};

// The hint that an auto-hint status bar takes in ExecuteAction.
class THintAction : public TCustomAction {
  QUENDREL_CLASS(THintAction, TCustomAction)
 public:
  explicit THintAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

using TDrawPanelEvent = TEvent<void(TCustomStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;
using TSBCreatePanelClassEvent = TEvent<void(TCustomStatusBar* Sender, TClass& PanelClass)>;

class TCustomStatusBar : public TCustomControl {
  QUENDREL_CLASS(TCustomStatusBar, TCustomControl)
 public:
  static constexpr int GripSize = 16; // the corner square the size grip sits in

  explicit TCustomStatusBar(TComponent* AOwner);
  ~TCustomStatusBar() override;

  TStatusPanels* Panels() const { return FPanels.get(); }
  void SetPanels(TStatusPanels* Value);
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool Value);
  const AnsiString& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const AnsiString& Value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  bool AutoHint() const { return FAutoHint; }
  void SetAutoHint(bool Value) { FAutoHint = Value; }
  // The system's status font; choosing a font of one's own turns it off.
  bool UseSystemFont() const { return FUseSystemFont; }
  void SetUseSystemFont(bool Value);

  // The grip shows: SizeGrip is on and the form holding the bar can be sized and is not maximized.
  bool GripShown() const;
  // Panel Index's rectangle inside its bevel; the simple text's rectangle for -1.
  TRect PanelRect(int Index);

  // With AutoHint a THintAction's hint goes to OnHint when that is assigned, else to SimpleText (simple bar
  // or no panels) or to the first panel. Answers whether the bar took the action.
  virtual bool ExecuteAction(TBasicAction* Action);
  // Fires OnHint; answers whether it was assigned.
  virtual bool DoHint();
  // Creates a panel in Panels, of TStatusPanel or of a descendant chosen by OnCreatePanelClass.
  virtual TStatusPanel* CreatePanel();

  void Paint() override;
  void WMNCHitTest(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

  TDrawPanelEvent OnDrawPanel;
  TNotifyEvent OnHint;
  TSBCreatePanelClassEvent OnCreatePanelClass;

 protected:
  // Draws an owner-drawn panel: OnDrawPanel with the panel's inner rectangle.
  virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

 private:
  void DrawPanelFrame(TCanvas* Canvas, TRect Rect, TStatusPanelBevel Bevel) const;
  void DrawGrip(TCanvas* Canvas);
  void ApplySystemFont();

  std::unique_ptr<TStatusPanels> FPanels;
  bool FSimplePanel = false;
  AnsiString FSimpleText;
  bool FSizeGrip = true;
  bool FAutoHint = false;
  bool FUseSystemFont = true;
  bool FApplyingSystemFont = false;
};

// The application's hint, when it has no OnHint of its own: given as a THintAction to the auto-hint status
// bars of the active form (else the main form). Answers whether a bar took it.
bool DispatchHintToStatusBars(const AnsiString& Hint);

class TStatusBar : public TCustomStatusBar {
  QUENDREL_CLASS(TStatusBar, TCustomStatusBar)
 public:
  explicit TStatusBar(TComponent* AOwner) : TCustomStatusBar(AOwner) {}
};
