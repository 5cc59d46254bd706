#pragma once
// Skinned push buttons, check boxes and radio buttons: windowed controls that paint themselves completely,
// double-buffered, from pieces of the theme's strips.
#include <memory>

#include "classlib/controls/CustomControl.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Timer.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Picture.h"
#include "skin/SKThemeLink.h"
#include "skin/SKThemes.h"

class TskFileTheme;

class TskCustomButton : public TskThemed<TCustomControl> {
  QUENDREL_CLASS(TskCustomButton, TskThemed<TCustomControl>)
 public:
  explicit TskCustomButton(TComponent* AOwner);
  ~TskCustomButton() override;

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  AnsiString Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  void SetUIStyle(TskUIStyle Value) override;
  bool PicTransparent() const { return FPicTransparent; }
  void SetPicTransparent(bool Value);
  int MouseContinuouslyDownInterval() const { return FMouseContinuouslyDownInterval; }
  void SetMouseContinuouslyDownInterval(int Value) { FMouseContinuouslyDownInterval = Value; }
  int FocusedRectMargin() const { return FFocusedRectMargin; }
  void SetFocusedRectMargin(int Value);
  void SetEnabled(bool Value) override;

  bool MouseOn() const { return FMouseOn; }
  bool MouseIsDown() const { return FMouseDown; }
  bool Active() const { return FActive; }

  void Paint() override;
  void Click() override;

  TNotifyEvent OnMouseEnter; // the button's own, fired after its state changed
  TNotifyEvent OnMouseExit;
  TNotifyEvent OnMouseContinuouslyDown;

 protected:
  virtual void AutoSizeChanged();
  virtual void CaptionChanged() {}
  virtual void FontChanged();
  virtual void TransparentChanged();
  virtual void EnableChanged() {}
  virtual void UIStyleChanged() {}
  virtual void PaintPic(TCanvas* Canvas, TBitmap* Bitmap);
  virtual void PaintText(TCanvas* Canvas, const AnsiString& Text);
  virtual void PaintFocus(TCanvas* Canvas);
  virtual void PaintButtonNormal(TBitmap* Bitmap);
  virtual void PaintButtonMouseOn(TBitmap* Bitmap);
  virtual void PaintButtonMouseDown(TBitmap* Bitmap);
  virtual void PaintButtonDisabled(TBitmap* Bitmap);
  void PaintButton(int ThemeIndex, int SpitCount, int SpitIndex, TBitmap* Bitmap);

  void CreateWnd() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

  void CMMouseLeave(TMessage& Message) override;
  void CMCancelMode(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void WMKeyDown(TMessage& Message) override;
  void WMKeyUp(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

  const TskThemeLink& Theme() const { return FTheme; }

  bool FBoldCaption = false; // a focus painting asks the caption painting for bold text
  bool FMouseOn = false;
  bool FMouseDown = false;

 private:
  void OnTimer(TObject* Sender);
  void FreeTimer() { FTimer.reset(); }

  bool FAutoSize = false;
  AnsiString FCaption;
  bool FCancel = false;
  bool FDefault = false;
  bool FTransparent = false;
  int FModalResult = 0;
  bool FPicTransparent = false;
  std::unique_ptr<TTimer> FTimer;
  int FMouseContinuouslyDownInterval = 100;
  int FFocusedRectMargin = 2;
  bool FActive = false;
};

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
extern const TEnumInfo ButtonLayoutNames;

class TskButton : public TskCustomButton {
  QUENDREL_CLASS(TskButton, TskCustomButton)
 public:
  explicit TskButton(TComponent* AOwner);

  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  unsigned ResHandle() const { return 0; }
  void SetResHandle(unsigned) {}

 protected:
  void UIStyleChanged() override;
  void PaintPic(TCanvas* Canvas, TBitmap* Bitmap) override;
  void PaintText(TCanvas* Canvas, const AnsiString& Text) override;
  void PaintFocus(TCanvas* Canvas) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

 private:
  std::unique_ptr<TBitmap> FGlyph;
  TButtonLayout FLayout = blGlyphLeft;
  TPoint FTextOrigin{0, 0};
  int FSpacing = 4;
};

class TskImageButton : public TskCustomButton {
  QUENDREL_CLASS(TskImageButton, TskCustomButton)
 public:
  explicit TskImageButton(TComponent* AOwner);

  // The image button draws no theme picture, so it always shows as following the theme file.
  TskUIStyle UIStyle() const override { return FromThemeFile; }
  TPicture* PicNormal() const { return FPicNormal.get(); }
  void SetPicNormal(TPicture* Value) { SetPic(FPicNormal.get(), Value); }
  TPicture* PicMouseOn() const { return FPicMouseOn.get(); }
  void SetPicMouseOn(TPicture* Value) { SetPic(FPicMouseOn.get(), Value); }
  TPicture* PicMouseDown() const { return FPicMouseDown.get(); }
  void SetPicMouseDown(TPicture* Value) { SetPic(FPicMouseDown.get(), Value); }
  TPicture* PicDisabled() const { return FPicDisabled.get(); }
  void SetPicDisabled(TPicture* Value) { SetPic(FPicDisabled.get(), Value); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool DrawFocused() const { return FDrawFocused; }
  void SetDrawFocused(bool Value);

 protected:
  void AutoSizeChanged() override;
  void PaintPic(TCanvas* Canvas, TBitmap* Bitmap) override;
  void PaintFocus(TCanvas* Canvas) override;
  void PaintButtonNormal(TBitmap* Bitmap) override;
  void PaintButtonMouseOn(TBitmap* Bitmap) override;
  void PaintButtonMouseDown(TBitmap* Bitmap) override;
  void PaintButtonDisabled(TBitmap* Bitmap) override;

 private:
  void SetPic(TPicture* Pic, TPicture* Value);
  void CopyPic(TPicture* Preferred, TBitmap* Bitmap);

  std::unique_ptr<TPicture> FPicNormal;
  std::unique_ptr<TPicture> FPicMouseOn;
  std::unique_ptr<TPicture> FPicMouseDown;
  std::unique_ptr<TPicture> FPicDisabled;
  bool FStretch = false;
  bool FDrawFocused = false;
};

class TskControlButton : public TskCustomButton {
  QUENDREL_CLASS(TskControlButton, TskCustomButton)
 public:
  explicit TskControlButton(TComponent* AOwner);

  int PicIndex() const { return FPicIndex; }
  void SetPicIndex(int Value);
  int PicCount() const { return FPicCount; }
  void SetPicCount(int Value);
  int ThemeID() const { return FThemeID; }
  void SetThemeID(int Value);

 protected:
  void PaintPic(TCanvas* Canvas, TBitmap* Bitmap) override;
  void PaintButtonNormal(TBitmap* Bitmap) override;
  void PaintButtonMouseOn(TBitmap* Bitmap) override;
  void PaintButtonMouseDown(TBitmap* Bitmap) override;
  void PaintButtonDisabled(TBitmap* Bitmap) override;
  void WMEraseBkgnd(TMessage&) override {}

 private:
  int FPicIndex = 0;
  int FPicCount = 0;
  int FThemeID = 0;
};

enum TskArrowButtonType { skUp, skDown };
extern const TEnumInfo skArrowButtonTypeNames;

class TskArrowButton : public TskCustomButton {
  QUENDREL_CLASS(TskArrowButton, TskCustomButton)
 public:
  // The base constructor took the style before this class's UIStyleChanged existed.
  explicit TskArrowButton(TComponent* AOwner) : TskCustomButton(AOwner) { SetUIStyle(UIStyle()); }

  TskArrowButtonType Arrow() const { return FArrow; }
  void SetArrow(TskArrowButtonType Value);

 protected:
  void UIStyleChanged() override;
  void PaintPic(TCanvas* Canvas, TBitmap* Bitmap) override;
  void PaintText(TCanvas*, const AnsiString&) override {}

 private:
  TskArrowButtonType FArrow = skUp;
};

// A flat glyph button framed while the mouse is over it.
class TskToolBarSpeedButton : public TCustomPanel {
  QUENDREL_CLASS(TskToolBarSpeedButton, TCustomPanel)
 public:
  explicit TskToolBarSpeedButton(TComponent* AOwner);

  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  bool MouseOn() const { return FMouseOn; }

  void Paint() override;

 protected:
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override { Message.Result = 1; }

 private:
  bool FMouseOn = false;
  std::unique_ptr<TBitmap> FGlyph;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
extern const TEnumInfo CheckBoxStateNames;

class TskCheckBox : public TskThemed<TCustomControl> {
  QUENDREL_CLASS(TskCheckBox, TskThemed<TCustomControl>)
 public:
  explicit TskCheckBox(TComponent* AOwner);

  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  TCheckBoxState State() const { return FChecked ? cbChecked : cbUnchecked; }
  void SetState(TCheckBoxState Value) { SetChecked(Value == cbChecked); }
  void SetUIStyle(TskUIStyle Value) override;
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  void SetEnabled(bool Value) override;

  void Paint() override;
  void Click() override;

 protected:
  virtual bool NeedDrawFocus();
  virtual bool GetPicTransparent() { return false; }
  virtual int GetPicThemeIndex() { return 3; }
  virtual void CheckStateChanged();
  virtual void Toggle() {}
  virtual void DoClick();
  virtual bool WantKeyUp() { return true; }

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMFontChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override { Message.Result = 1; }
  void CMDialogChar(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKeyUp(TMessage& Message) override;

  bool FChecked = false;

 private:
  bool FTransparent = false;
  bool FAutoSize = true;
};

class TskRadioButton : public TskCheckBox {
  QUENDREL_CLASS(TskRadioButton, TskCheckBox)
 public:
  explicit TskRadioButton(TComponent* AOwner);

  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  void UnCheckGroup();

 protected:
  bool GetPicTransparent() override { return true; }
  int GetPicThemeIndex() override { return 4; }
  void CheckStateChanged() override;
  void DoClick() override;
  bool WantKeyUp() override { return false; }
  void WMSetFocus(TMessage& Message) override;

 private:
  int FGroupIndex = 0;
};
