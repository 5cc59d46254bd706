#include "skin/frmMSNPop.h"

#include <algorithm>

#include "classlib/controls/Label.h"
#include "classlib/controls/Timer.h"
#include "classlib/core/Exception.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Font.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/win/Windows.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"

QUENDREL_REGISTER_CLASS(TfrmMSNPopForm, TForm) {
  c.Method("FormCreate", &TfrmMSNPopForm::FormCreate);
  c.Method("FormDestroy", &TfrmMSNPopForm::FormDestroy);
  c.Method("FormShow", &TfrmMSNPopForm::FormShow);
  c.Method("FormHide", &TfrmMSNPopForm::FormHide);
  c.Method("FormClick", &TfrmMSNPopForm::FormClick);
  c.Method("FormMouseDown", &TfrmMSNPopForm::FormMouseDown);
  c.Method("Timer1Timer", &TfrmMSNPopForm::Timer1Timer);
}

QUENDREL_REGISTER_CLASS(TskMSNPopForm, TComponent) {
  c.Creatable();
  c.Property("AnimateTime", &TskMSNPopForm::AnimateTime, &TskMSNPopForm::SetAnimateTime);
  c.Property("StayTime", &TskMSNPopForm::StayTime, &TskMSNPopForm::SetStayTime);
  c.Property("PositionX", &TskMSNPopForm::PositionX, &TskMSNPopForm::SetPositionX);
  c.Property("PositionY", &TskMSNPopForm::PositionY, &TskMSNPopForm::SetPositionY);
  c.Property("AutoPosition", &TskMSNPopForm::AutoPosition, &TskMSNPopForm::SetAutoPosition);
  c.Property("ClickHide", &TskMSNPopForm::ClickHide, &TskMSNPopForm::SetClickHide);
  c.Property("Title", &TskMSNPopForm::Title, &TskMSNPopForm::SetTitle);
  c.Property("MessageText", &TskMSNPopForm::MessageText, &TskMSNPopForm::SetMessageText);
  c.Property("TitleFont", &TskMSNPopForm::TitleFont, &TskMSNPopForm::SetTitleFont);
  c.Property("MessageFont", &TskMSNPopForm::MessageFont, &TskMSNPopForm::SetMessageFont);
  c.Event("OnTitleClick", &TskMSNPopForm::OnTitleClick);
  c.Event("OnClick", &TskMSNPopForm::OnClick);
  c.Event("OnClose", &TskMSNPopForm::OnClose);
  c.Event("OnShow", &TskMSNPopForm::OnShow);
}

namespace {

constexpr TColor Navy = 0x800000;
// The close box drawn into the background picture, inclusive.
constexpr TRect CloseBox{162, 6, 175, 19};
// Posted to the notice window when a Popup arrives while the window is busy showing or hiding.
constexpr UINT CM_POPUPLATER = WM_APP + 0x113;

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TfrmMSNPopForm

TfrmMSNPopForm::TfrmMSNPopForm(TComponent* AOwner) : TForm(AOwner) {
  ReadFormResource();
  lbl_title = dynamic_cast<TLabel*>(FindComponent("lbl_title"));
  lbl_text = dynamic_cast<TLabel*>(FindComponent("lbl_text"));
  Timer1 = dynamic_cast<TTimer*>(FindComponent("Timer1"));
  if (!lbl_title || !lbl_text || !Timer1)
    throw EComponentError("The form resource of TfrmMSNPopForm lacks its labels or its timer");
}

TfrmMSNPopForm::~TfrmMSNPopForm() {
  // The base destructor would run OnDestroy after this object's members are gone; run it while they live.
  if (OnDestroy && !FormState().Contains(fsCreating)) {
    const TNotifyEvent handler = OnDestroy;
    OnDestroy = nullptr;
    handler(this);
  }
}

void TfrmMSNPopForm::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  // Owned by the desktop: here that is any top-level window without an owner form, so WndParent stays empty.
  Params.Style = WS_POPUP;
}

void TfrmMSNPopForm::FormCreate(TObject*) {
  FBackground = std::make_unique<TBitmap>();
  FBackground->LoadFromResourceName(0, SK_RES_MSNPOPFORM);
  FNoHideAnimation = false;
  SetWidth(FBackground->Width());
  SetHeight(FBackground->Height());
  const TRect work = GetWorkAreaRect();
  SetLeft(work.Right - Width() - 18);
  SetTop(work.Bottom - Height());
  lbl_title->SetBounds(10, 5, ClientWidth() - 30, 18);
  lbl_text->SetBounds(10, 40, ClientWidth() - 20, ClientHeight() - 50);
}

void TfrmMSNPopForm::FormDestroy(TObject*) {
  FBackground.reset();
}

void TfrmMSNPopForm::MakeTopmost() {
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void TfrmMSNPopForm::InvalidateAll() {
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
  Invalidate();
}

void TfrmMSNPopForm::FormShow(TObject*) {
  MakeTopmost();
  SKAnimateWindow(Handle(), static_cast<DWORD>(std::max(0, FAnimateTime)), AW_SLIDE | AW_VER_NEGATIVE);
  InvalidateAll();
  RestartStayTime();
}

void TfrmMSNPopForm::RestartStayTime() {
  FShowTick = GetTickCount64();
}

void TfrmMSNPopForm::Timer1Timer(TObject*) {
  // A 64-bit clock never runs backwards, so the elapsed time is never negative.
  const uint64_t elapsed = GetTickCount64() - FShowTick;
  if (static_cast<int64_t>(elapsed) >= FStayTime) {
    Timer1->SetEnabled(false);
    Hide();
  }
}

void TfrmMSNPopForm::FormHide(TObject*) {
  if (!FNoHideAnimation) {
    MakeTopmost();
    SKAnimateWindow(Handle(), static_cast<DWORD>(std::max(0, FAnimateTime)),
                    AW_HIDE | AW_SLIDE | AW_VER_POSITIVE);
    InvalidateAll();
  } else {
    FNoHideAnimation = false;
  }
  if (FOnClose) FOnClose(nullptr);
}

void TfrmMSNPopForm::FormClick(TObject*) {
  if (!FClickHide) return;
  Timer1->SetEnabled(false);
  Hide();
}

void TfrmMSNPopForm::FormMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft || X < CloseBox.Left || X > CloseBox.Right || Y < CloseBox.Top || Y > CloseBox.Bottom)
    return;
  FNoHideAnimation = true;
  Timer1->SetEnabled(false);
  Hide();
}

void TfrmMSNPopForm::Paint() {
  if (!FBackground) return;
  TBitmap buffer;
  buffer.SetSize(ClientWidth(), ClientHeight());
  buffer.Canvas()->Draw(0, 0, FBackground.get());
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), buffer.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TfrmMSNPopForm::WMPRINTCLIENT(TMessage& Message) {
  PaintTo(reinterpret_cast<HDC>(Message.WParam), 0, 0);
}

void TfrmMSNPopForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_PRINTCLIENT:
    WMPRINTCLIENT(Message);
    return;
  case CM_POPUPLATER:
    if (auto* owner = dynamic_cast<TskMSNPopForm*>(Owner())) owner->Popup();
    return;
  default:
    TForm::WndProc(Message);
  }
}

// ---------------------------------------------------------------------------------------------------------
// TskMSNPopForm

TskMSNPopForm::TskMSNPopForm(TComponent* AOwner)
    : TComponent(AOwner), FMessageFont(std::make_unique<TFont>()), FTitleFont(std::make_unique<TFont>()) {
  FMessageFont->SetColor(Navy);
  FTitleFont->SetColor(Navy);

  FForm = new TfrmMSNPopForm(this); // owned by the component
  FForm->AfterConstruction();
  FForm->OnClick = [this](TObject* Sender) { InternalOnClick(Sender); };
  FForm->FOnClose = [this](TObject* Sender) { InternalOnClose(Sender); };
  FForm->lbl_title->OnClick = [this](TObject* Sender) { InternalOnTitleClick(Sender); };
  FForm->lbl_text->OnClick = [this](TObject* Sender) { InternalOnClick(Sender); };

  FForm->FAnimateTime = FAnimateTime;
  FForm->Hide();
}

TskMSNPopForm::~TskMSNPopForm() {
  // The window goes without sliding away and without telling a component that is half gone.
  FForm->FOnClose = {};
  FForm->FNoHideAnimation = true;
  delete FForm;
}

void TskMSNPopForm::SetTitleFont(TFont* Value) {
  FTitleFont->Assign(Value);
}

void TskMSNPopForm::SetMessageFont(TFont* Value) {
  FMessageFont->Assign(Value);
}

void TskMSNPopForm::Popup() {
  if (FForm->FormState().Contains(fsShowing)) {
    // Called from OnShow or OnClose, while the window shows or hides: once that is over.
    PostMessage(FForm->Handle(), CM_POPUPLATER, 0, 0);
    return;
  }
  FForm->FAnimateTime = FAnimateTime;
  FForm->FStayTime = FStayTime;
  FForm->FClickHide = FClickHide;
  FForm->lbl_title->SetCaption(FTitle);
  FForm->lbl_title->Font()->Assign(FTitleFont.get());
  FForm->lbl_text->SetCaption(FMessageText);
  FForm->lbl_text->Font()->Assign(FMessageFont.get());
  if (OnShow) OnShow(this);
  ShowNotice();
}

void TskMSNPopForm::ShowNotice() {
  if (FAutoPosition) {
    const TRect work = GetWorkAreaRect();
    FForm->SetLeft(work.Right - FForm->Width() - 18);
    FForm->SetTop(work.Bottom - FForm->Height());
  } else {
    FForm->SetLeft(FPositionX);
    FForm->SetTop(FPositionY);
  }
  if (FForm->Visible()) {
    FForm->RestartStayTime(); // one window, one timer: the notice already up simply stays longer
  } else {
    FForm->Show();
  }
  FForm->Timer1->SetEnabled(true);
}

void TskMSNPopForm::Close() {
  FForm->Timer1->SetEnabled(false);
  FForm->Hide();
}

void TskMSNPopForm::InternalOnClick(TObject*) {
  if (OnClick) OnClick(this);
}

void TskMSNPopForm::InternalOnTitleClick(TObject*) {
  if (OnTitleClick) OnTitleClick(this);
}

void TskMSNPopForm::InternalOnClose(TObject*) {
  if (OnClose) OnClose(this);
}
