#pragma once
// TskScrollBar: a skinned scroll bar made of a decrement arrow button, a scroll track carrying the value and
// the slider, and an increment arrow button. The data-aware controls drive it in place of native bars.
#include <cstdint>
#include <memory>

#include "classlib/controls/Panel.h"
#include "classlib/graphics/Bitmap.h"
#include "skin/SKButton.h"
#include "skin/SKProgressBar.h"
#include "skin/SKThemeLink.h"
#include "skin/SKTrackBar.h"

class TskFileTheme;

// A line step of the arrow buttons, 1..32767.
using TScrollBarInc = int16_t;

class TskScrollBar : public TskThemed<TCustomPanel> {
  QUENDREL_CLASS(TskScrollBar, TskThemed<TCustomPanel>)
 public:
  explicit TskScrollBar(TComponent* AOwner);
  ~TskScrollBar() override;

  int LineButton() const { return FLineButton; }
  void SetLineButton(int Value);
  TskProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TskProgressBarOrientation Value);
  void SetUIStyle(TskUIStyle Value) override;
  int Max() const { return FTrack->Max(); }
  void SetMax(int Value) { FTrack->SetMax(Value); }
  int Min() const { return FTrack->Min(); }
  void SetMin(int Value) { FTrack->SetMin(Value); }
  int Position() const { return FTrack->Position(); }
  void SetPosition(int Value);
  TScrollBarInc SmallChange() const { return FSmallChange; }
  // Steps outside 1..32767 are refused.
  void SetSmallChange(int Value);
  TScrollBarInc LargeChange() const { return static_cast<TScrollBarInc>(FTrack->PageSize()); }
  void SetLargeChange(TScrollBarInc Value) { FTrack->SetPageSize(Value); }
  int PageSize() const { return FTrack->PageSize(); }
  void SetPageSize(int Value);
  // The track's change event: its Sender is the track.
  const TNotifyEvent& OnChange() const { return FTrack->OnChange; }
  void SetOnChange(const TNotifyEvent& Value) { FTrack->OnChange = Value; }
  TNotifyEvent& OnChangeEvent() { return FTrack->OnChange; }

  bool SliderVisible() const { return FTrack->GetSliderVisible(); }
  void SetSliderVisible(bool Value) { FTrack->SetSliderVisible(Value); }
  int GetLastChange() const { return FTrack->LastChange(); }

  TskScrollTrackBar* Track() const { return FTrack; }
  TskImageButton* IncButton() const { return FIncButton; }
  TskImageButton* DecButton() const { return FDecButton; }

  void MouseContinuouslyDownInc(TObject* Sender);
  void MouseContinuouslyDownDec(TObject* Sender);
  void UpdatePictures();
  void PlaceTrackBarAndButton();
  void UpdateSliderPic();

  void WMSize(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void Resize() override;

 private:
  TskScrollTrackBar* FTrack = nullptr; // the three children are owned as components
  TskImageButton* FIncButton = nullptr;
  TskImageButton* FDecButton = nullptr;
  std::unique_ptr<TBitmap> FSliderStart;
  std::unique_ptr<TBitmap> FSliderMiddle;
  std::unique_ptr<TBitmap> FSliderEnd;
  TskProgressBarOrientation FOrientation = skHorizontal;
  TScrollBarInc FSmallChange = 1;
  int32_t FLineButton = 0;
  bool FBuilt = false;
};
