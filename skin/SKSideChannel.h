#pragma once
// TskSideChannel: a panel docked to the left or right edge that shows only a 10-pixel strip with a handle
// until the mouse rests on it (or clicks it), then slides out to its full width with a caption bar, a pin
// button and its children; a second after the cursor has left it slides back, unless pinned.
#include <memory>

#include "classlib/controls/Buttons.h"
#include "classlib/controls/Panel.h"
#include "skin/SKThemeLink.h"

class TBitmap;
class TTimer;
class TskFileTheme;

enum TskSideChannelAlign { skLeft, skRight };
enum TskSideChannelPopupMode { skMouseOn, skMouseClick };
extern const TEnumInfo TskSideChannelAlignNames;
extern const TEnumInfo TskSideChannelPopupModeNames;

class TskSideChannel : public TskThemed<TCustomPanel> {
  QUENDREL_CLASS(TskSideChannel, TskThemed<TCustomPanel>)
 public:
  static constexpr int CollapsedWidth = 10;

  explicit TskSideChannel(TComponent* AOwner);
  ~TskSideChannel() override;

  void SetUIStyle(TskUIStyle Value) override;
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  TColor CaptionFontColor() const { return FCaptionFontColor; }
  void SetCaptionFontColor(TColor Value);
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool Value);
  bool Popped() const { return FPopped; }
  // The width when slid out; the window's own width is TControl::Width(). At run time while pushed, setting
  // it changes only the width the next Pop slides to.
  int Width() const { return FPoppedWidth; }
  void SetWidth(int Value);
  TColor SideBarColor() const { return FSideBarColor; }
  void SetSideColor(TColor Value);
  TskSideChannelAlign Align() const { return FAlign; }
  void SetAlign(TskSideChannelAlign Value);
  bool StayOn() const { return FStayOn; }
  void SetStayOn(bool Value);
  TskSideChannelPopupMode PopupMode() const { return FPopupMode; }
  void SetPopupMode(TskSideChannelPopupMode Value) { FPopupMode = Value; }
  bool QuickMove() const { return FQuickMove; }
  void SetQuickMove(bool Value) { FQuickMove = Value; }
  int SideBarWidth() const { return CollapsedWidth; }
  void SetSideBarWidth(int) {}

  void Pop(bool Quick);
  void Push(bool Quick);
  void SetHandleBitmap(const TBitmap* Value);
  void SetTitleBitmap(const TBitmap* Value);

  TSpeedButton* PinButton() const { return FPin; }
  TTimer* AutoHideTimer() const { return FTimer; }

  TNotifyEvent OnPop;
  TNotifyEvent OnPush;
  TNotifyEvent OnPin;
  TNotifyEvent OnUnPin;

  bool CanResize(int& NewWidth, int& NewHeight) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Paint() override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void Resize() override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 protected:
  bool ThemeCoversChildren() const override { return true; }

 private:
  void OnPinClick(TObject* Sender);
  void OnTimerCheck(TObject* Sender);
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  int TitleHeight() const;
  int RealWidth() const { return TControl::Width(); }
  void SetRealWidth(int Value) { TControl::SetWidth(Value); }

  TSpeedButton* FPin = nullptr;
  TColor FBorderColor = 0;
  std::unique_ptr<TBitmap> FTitleBitmap;
  std::unique_ptr<TBitmap> FHandleBitmap;
  TColor FSideBarColor = 0;
  TColor FCaptionFontColor = 0;
  bool FPopped = false;
  bool FShowButton = true;
  TTimer* FTimer = nullptr;
  int FPoppedWidth = 0;
  bool FMoving = false;
  TskSideChannelAlign FAlign = skLeft;
  bool FStayOn = false;
  TskSideChannelPopupMode FPopupMode = skMouseOn;
  bool FQuickMove = false;
};
