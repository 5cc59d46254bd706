#pragma once
// Panels: TskCustomPanel paints a picture (plain, stretched or tiled) or its colour and a one-line caption
// through an off-screen buffer; TskPanel is a themed caption panel that can collapse to its caption bar.
#include <memory>

#include "classlib/controls/Panel.h"
#include "skin/SKThemeLink.h"

class TBitmap;
class TPicture;
class TskFileTheme;

enum TskDrawStyle { skNormal, skStretch, skTile };
extern const TEnumInfo TskDrawStyleNames;

class TskCustomPanel : public TCustomPanel {
  QUENDREL_CLASS(TskCustomPanel, TCustomPanel)
 public:
  explicit TskCustomPanel(TComponent* AOwner);
  ~TskCustomPanel() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(const bool Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  int CaptionPosX() const { return FCaptionPosX; }
  void SetCaptionPosX(int Value);
  int CaptionPosY() const { return FCaptionPosY; }
  void SetCaptionPosY(int Value);
  TskDrawStyle DrawStyle() const { return FDrawStyle; }
  void SetDrawStyle(TskDrawStyle Value);

  virtual void ClearPanel();
  virtual void RepaintText(const TRect& Rect);
  virtual void PictureChanged(TObject* Sender);

  void Paint() override;
  void CMTextChanged(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void Resize() override;

 protected:
  TRect FCaptionRect;

 private:
  void ApplyAutoSize();
  void ApplyTransparent();

  std::unique_ptr<TPicture> FPicture;
  bool FTransparent = false;
  bool FAutoSize = false;
  int FCaptionPosX = -1;
  int FCaptionPosY = -1;
  TskDrawStyle FDrawStyle = skNormal;
};

class TskImagePanel : public TskCustomPanel {
  QUENDREL_CLASS(TskImagePanel, TskCustomPanel)
 public:
  explicit TskImagePanel(TComponent* AOwner) : TskCustomPanel(AOwner) {}
};

class TskPanel : public TskThemed<TCustomPanel> {
  QUENDREL_CLASS(TskPanel, TskThemed<TCustomPanel>)
 public:
  explicit TskPanel(TComponent* AOwner);
  ~TskPanel() override;

  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  void SetUIStyle(TskUIStyle Value) override;
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool Value);
  TColor CaptionFontColor() const { return FCaptionFontColor; }
  void SetCaptionFontColor(TColor Value);
  // The expanded height; the window's own height is TControl::Height(). While pushed, setting it changes
  // only the height the next Pop slides to.
  int Height() const { return FExpandedHeight; }
  void SetHeight(int Value);
  bool Pushed() const { return !FExpanded; }

  void Push();
  void Pop();

  TNotifyEvent OnPush;
  TNotifyEvent OnPop;

  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Paint() override;
  void WMEraseBkgnd(TMessage& Message) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Resize() override;

 protected:
  void PaintButton();
  bool ThemeCoversChildren() const override { return true; }

 private:
  bool ButtonShows() const;
  int CaptionBarHeight() const;
  void DrawButton(TCanvas* Canvas, const TRect& Bar);
  int RealHeight() const { return TControl::Height(); }
  void SetRealHeight(int Value) { TControl::SetHeight(Value); }

  TColor FBorderColor = 0;
  std::unique_ptr<TBitmap> FCaptionPicture;
  bool FShowButton = true;
  bool FButtonHot = false;
  bool FExpanded = true;
  int FExpandedHeight = 100;
  bool FSliding = false;
  TColor FCaptionFontColor = 0;
};
