#pragma once
// TImage: shows a picture on its parent: at its size, stretched, centred or scaled keeping its proportions.
#include <memory>

#include "classlib/controls/GraphicControl.h"
#include "classlib/graphics/Picture.h"

class TImage : public TGraphicControl {
  QUENDREL_CLASS(TImage, TGraphicControl)
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  // The picture's bitmap canvas (an empty picture becomes a bitmap of the control's size).
  TCanvas* Canvas();
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  // Where the picture is drawn, in client coordinates.
  TRect DestRect();

  void Paint() override;

 private:
  void PictureChanged(TObject* Sender);

  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
  bool FTransparent = false;
  bool FAutoSize = false;
  bool FDrawing = false;
};
