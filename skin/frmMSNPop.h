#pragma once
// The pop-up notice: TskMSNPopForm, a component that slides a small stay-on-top window with a title and a
// message up from the work area's bottom-right corner (or at a given place), keeps it for a while and slides
// it away again; TfrmMSNPopForm, that window, streamed from its form resource.
#include <cstdint>
#include <memory>

#include "classlib/controls/Form.h"

class TBitmap;
class TFont;
class TLabel;
class TTimer;

class TfrmMSNPopForm : public TForm {
  QUENDREL_CLASS(TfrmMSNPopForm, TForm)
 public:
  explicit TfrmMSNPopForm(TComponent* AOwner);
  ~TfrmMSNPopForm() override;

  TLabel* lbl_title = nullptr;
  TLabel* lbl_text = nullptr;
  TTimer* Timer1 = nullptr;

  std::unique_ptr<TBitmap> FBackground;
  uint64_t FShowTick = 0; // GetTickCount64 when the slide-in ended
  bool FNoHideAnimation = false;
  int FAnimateTime = 400;
  int FStayTime = 2000;
  bool FClickHide = false;
  TNotifyEvent FOnClose; // after every hide

  // Starts the stay time again, as if the window had just slid in.
  void RestartStayTime();

  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormClick(TObject* Sender);
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Timer1Timer(TObject* Sender);

  void WMPRINTCLIENT(TMessage& Message);
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  void InvalidateAll();
  void MakeTopmost();
};

class TskMSNPopForm : public TComponent {
  QUENDREL_CLASS(TskMSNPopForm, TComponent)
 public:
  explicit TskMSNPopForm(TComponent* AOwner);
  ~TskMSNPopForm() override;

  // Shows the notice with the current properties. While one shows, it takes the new texts and place and its
  // stay time starts again; there is never a second window.
  void Popup();
  // Ends the notice early, sliding it away.
  void Close();

  int AnimateTime() const { return FAnimateTime; }
  void SetAnimateTime(int Value) { FAnimateTime = Value; }
  int StayTime() const { return FStayTime; }
  void SetStayTime(int Value) { FStayTime = Value; }
  int PositionX() const { return FPositionX; }
  void SetPositionX(int Value) { FPositionX = Value; }
  int PositionY() const { return FPositionY; }
  void SetPositionY(int Value) { FPositionY = Value; }
  bool AutoPosition() const { return FAutoPosition; }
  void SetAutoPosition(bool Value) { FAutoPosition = Value; }
  bool ClickHide() const { return FClickHide; }
  void SetClickHide(bool Value) { FClickHide = Value; }
  AnsiString Title() const { return FTitle; }
  void SetTitle(const AnsiString& Value) { FTitle = Value; }
  AnsiString MessageText() const { return FMessageText; }
  void SetMessageText(const AnsiString& Value) { FMessageText = Value; }
  TFont* TitleFont() const { return FTitleFont.get(); }
  void SetTitleFont(TFont* Value);
  TFont* MessageFont() const { return FMessageFont.get(); }
  void SetMessageFont(TFont* Value);

  TNotifyEvent OnTitleClick;
  TNotifyEvent OnClick;
  TNotifyEvent OnClose;
  TNotifyEvent OnShow;

  TfrmMSNPopForm* Form() const { return FForm; }

  void InternalOnClick(TObject* Sender);
  void InternalOnTitleClick(TObject* Sender);
  void InternalOnClose(TObject* Sender);

 private:
  void ShowNotice();

  TfrmMSNPopForm* FForm = nullptr; // owned (component ownership)
  int FAnimateTime = 400;
  int FStayTime = 2000;
  int FPositionX = 0;
  int FPositionY = 0;
  bool FAutoPosition = true;
  bool FClickHide = false;
  AnsiString FTitle;
  AnsiString FMessageText;
  std::unique_ptr<TFont> FMessageFont;
  std::unique_ptr<TFont> FTitleFont;
};
