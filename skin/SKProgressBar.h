#pragma once
// TskProgressBar: a progress bar whose done part is a themed picture stretched to length, the rest a plain
// colour, framed in a border colour, with the percentage as its optional caption. Also the orientation type
// that the track bar and the scroll bar share.
#include <cstdint>
#include <memory>

#include "classlib/controls/Panel.h"
#include "classlib/graphics/Picture.h"
#include "skin/SKThemeLink.h"

class TskFileTheme;

enum TskProgressBarOrientation : uint8_t { skHorizontal = 0, skVertical = 1 };
extern const TEnumInfo TskProgressBarOrientationNames;

class TskProgressBar : public TskThemed<TCustomPanel> {
  QUENDREL_CLASS(TskProgressBar, TskThemed<TCustomPanel>)
 public:
  explicit TskProgressBar(TComponent* AOwner);
  ~TskProgressBar() override;

  void SetUIStyle(TskUIStyle Value) override;
  TColor CaptionColor() const { return FCaptionColor; }
  void SetCaptionColor(TColor Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  bool SmartShowCaption() const { return FSmartShowCaption; }
  void SetSmartShowCaption(bool Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  TskProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TskProgressBarOrientation Value);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  // The bar's own remaining-part colour; the control's inherited Color plays no part in painting.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value);

  void StepIt();
  void StepBy(int Delta);
  int GetPercentFromPosition() const;
  int GetWidthFromPosition(int Full) const;
  void UpdateProgress();
  void UpdatePicture();

  void Paint() override;
  void WMEraseBkgnd(TMessage& Message) override;

 private:
  // The percentage the caption shows; unbounded, so that far-out positions read true.
  int64_t Percent() const;

  int32_t FMax = 100;
  int32_t FMin = 0;
  int32_t FPosition = 50;
  TskProgressBarOrientation FOrientation = skHorizontal;
  TColor FBorderColor = 0;
  TColor FColor = clBtnFace;
  std::unique_ptr<TPicture> FPicture;
  bool FShowCaption = true;
  TColor FCaptionColor = 0;
  bool FSmartShowCaption = false;
};
