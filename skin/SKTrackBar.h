#pragma once
// TskTrackBar: a themed bar picture with a slider panel that the user drags, pages with the mouse or moves
// with the keys between Min and Max. TskScrollTrackBar is the sliding part of the skinned scroll bar: it
// takes no focus and gets its pictures from its owner.
#include <cstdint>
#include <memory>

#include "classlib/controls/Panel.h"
#include "classlib/controls/Timer.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Picture.h"
#include "skin/SKImagePanel.h"
#include "skin/SKProgressBar.h"
#include "skin/SKThemeLink.h"

class TskFileTheme;

class TskTrackBar : public TskThemed<TCustomPanel> {
  QUENDREL_CLASS(TskTrackBar, TskThemed<TCustomPanel>)
 public:
  explicit TskTrackBar(TComponent* AOwner);
  ~TskTrackBar() override;

  TskProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TskProgressBarOrientation Value);
  void SetUIStyle(TskUIStyle Value) override;
  TPicture* BarImage() const { return FBarImage.get(); }
  void SetBarImage(TPicture* Value);
  TPicture* GetSliderImage() const;
  virtual void SetSliderImage(TPicture* Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  int LineSize() const { return FLineSize; }
  void SetLineSize(int Value);
  bool ShowTick() const { return FShowTick; }
  void SetShowTick(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  int Frequency() const { return FFrequency; }
  void SetFrequency(int Value);
  int LastChange() const { return FLastChange; }

  TskImagePanel* Slider() const { return FSlider; }
  bool Paging() const { return FTimer != nullptr; }

  void UpdateControl();
  void SetSize();
  void UpdateSlider();
  TPoint GetSliderPosFromPosition();
  int GetPositionFromFromSliderPos(int X, int Y);
  void UpdatePositionValue(int X, int Y, bool Notify);
  void OnTimer(TObject* Sender);
  void OnSliderMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void OnSliderMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void PaintTick(TBitmap* Buffer);

  virtual void UpdatePicture();
  virtual bool CustomPicture() { return false; }
  virtual bool SKCanFocus() { return true; }
  virtual bool SliderTransparent() { return FOrientation == skHorizontal; }

  void Paint() override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  void WMCaptureChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;
  void Resize() override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;

  TNotifyEvent OnChange;

 protected:
  void FocusIfAllowed();
  // Stops a paging run and a drag.
  void EndMouseRun();

  std::unique_ptr<TPicture> FBarImage;
  std::unique_ptr<TTimer> FTimer;
  TskImagePanel* FSlider = nullptr; // owned as a component; freed first by the destructor
  int32_t FMin = 0;
  int32_t FMax = 0;
  int32_t FPosition = 0;
  int32_t FLastPosition = 0;
  TskProgressBarOrientation FOrientation = skHorizontal;
  bool FShowTick = true;
  bool FTransparent = false;
  int32_t FLastChange = 0;
  bool FDragging = false;
  int32_t FFrequency = 1;
  int32_t FPageSize = 0;
  int32_t FLineSize = 0;
  std::unique_ptr<TBitmap> FBarBitmap;
};

class TskScrollTrackBar : public TskTrackBar {
  QUENDREL_CLASS(TskScrollTrackBar, TskTrackBar)
 public:
  explicit TskScrollTrackBar(TComponent* AOwner);

  bool CustomPicture() override { return true; }
  bool SKCanFocus() override { return false; }
  bool SliderTransparent() override { return false; }

  bool GetSliderVisible() const;
  void SetSliderVisible(bool Value);
  void UpdateSliderSize();
};
