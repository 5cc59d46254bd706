#include "skin/SKFrameBase.h"

#include "classlib/graphics/Canvas.h"
#include "classlib/win/Windows.h"
#include "skin/SKForm.h"
#include "skin/SKMainMenu.h"

void TskFrameBase::SetMenuBarColor(TColor Value) {
  FMenuBarColor = Value;
  if (FMenuBar) FMenuBar->SetColor(Value);
}

int TskFrameBase::GetTitleBarHeight() const {
  return FTitleBar && FTitleBar->Visible() ? FTitleBar->Height() : 0;
}

void TskFrameBase::SetTitleBarCustom(bool Value) {
  if (FTitleBar) FTitleBar->SetCustom(Value);
}

void TskFrameBase::SetTitleBarDrawAppIcon(bool Value) {
  if (FTitleBar) FTitleBar->SetDrawAppIcon(Value);
}

TskTitleBarButtons* TskFrameBase::TitleBarButtons() const {
  return FTitleBar ? FTitleBar->Buttons() : nullptr;
}

void TskFrameBase::SetTitleBarButtons(TskTitleBarButtons* Value) {
  if (FTitleBar) FTitleBar->SetButtons(Value);
}

TskTitleBarSections* TskFrameBase::TitleBarSections() const {
  return FTitleBar ? FTitleBar->Sections() : nullptr;
}

void TskFrameBase::SetTitleBarSections(TskTitleBarSections* Value) {
  if (FTitleBar) FTitleBar->SetSections(Value);
}

// ---------------------------------------------------------------------------------------------------------
// The form's window

void TskFrameBase::HookForm() {
  FOldWndProc = FForm->WindowProc;
  FForm->WindowProc = [this](TMessage& Message) { NewParentWndProc(Message); };
  FAppEvents = std::make_unique<TApplicationEvents>(nullptr);
  FAppEvents->OnMessage = [this](tagMSG& Msg, bool& Handled) { OnApplicationMessage(Msg, Handled); };
}

bool TskFrameBase::RemoveCaption() {
  HWND wnd = FForm->Handle();
  const LONG style = GetWindowLong(wnd, GWL_STYLE);
  if ((style & WS_CAPTION) == 0) return false;
  SetWindowLong(wnd, GWL_STYLE, style & ~static_cast<LONG>(WS_CAPTION));
  return true;
}

void TskFrameBase::NewParentWndProc(TMessage& Message) {
  if (FDestroying) {
    MessageWhileGoing(Message);
    return;
  }
  if (Message.Msg == WM_NCCALCSIZE && Message.WParam != 0)
    FrameNCCalcSize(Message, SideBorderWidth(), BottomBorderInset());
  if (Message.Msg == SKM_SIDEBORDERWIDTH) {
    Message.Result = SideBorderWidth();
    return;
  }
  if (Message.Msg != WM_NCPAINT) FOldWndProc(Message);
  if (FrameGoing()) return; // the message took the frame or its form away
  switch (Message.Msg) {
  case WM_KEYDOWN:
    ProcessKeyPress(Message);
    break;
  case WM_ACTIVATE:
    if (FTitleBar) FTitleBar->SetFormActive(LOWORD(Message.WParam) != 0);
    break;
  default:
    FrameMessage(Message);
    break;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Keys

void TskFrameBase::OnApplicationMessage(tagMSG& Msg, bool& Handled) {
  if (Msg.message != WM_KEYDOWN) return;
  TMessage m{Msg.message, Msg.wParam, Msg.lParam, 0};
  ProcessKeyPress(m);
  Handled = (m.Result & 0xFF) != 0;
}

void TskFrameBase::ProcessKeyPress(TMessage& Message) {
  Message.Result = 0;
  if (FDestroying || !FForm || !TakesShortCuts()) return;
  TMainMenu* menu = ShownMenu();
  if (menu && menu->IsShortCut(Message)) Message.Result = 1;
}

// ---------------------------------------------------------------------------------------------------------
// Style, theme and the menu bar

void TskFrameBase::ThemeMenu() {
  if (auto* menu = dynamic_cast<TskMainMenu*>(FMenu)) {
    menu->SetUIStyle(FTheme.UIStyle);
    menu->SetFileTheme(FTheme.FileTheme);
  }
}

void TskFrameBase::ThemeTitleBar() {
  FTitleBar->SetFileTheme(FTheme.FileTheme);
  FTitleBar->SetUIStyle(FTheme.UIStyle);
}

void TskFrameBase::LoadBorderPictures() {
  FPictures.Load(FTheme);
  FBottomBorderHeight = FPictures.BottomHeight();
}

void TskFrameBase::SetMenuBarFont() {
  if (auto* menu = dynamic_cast<TskMainMenu*>(FMenu)) {
    if (menu->UseSystemFont())
      Menu_GetSystemFont(FMenuBar->Font());
    else
      FMenuBar->Font()->SetSize(menu->FontSize());
  }
}

void TskFrameBase::SetUpMenuBar(TWinControl* Parent) {
  FMenuBar->SetParent(Parent);
  FMenuBar->SetFlat(true);
  FMenuBar->SetEdgeBorders({});
  FMenuBar->SetShowCaptions(true);
}

void TskFrameBase::HookMenuBarDrawing(bool DrawButtons) {
  if (DrawButtons)
    FMenuBar->OnCustomDrawButton = [this](TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                          bool& DefaultDraw) {
      DrawButton(Sender, Button, State, DefaultDraw);
    };
  FMenuBar->OnCustomDraw = [this](TToolBar* Sender, const TRect& ARect, bool& DefaultDraw) {
    DrawMenuBar(Sender, ARect, DefaultDraw);
  };
}

void TskFrameBase::DrawMenuBar(TToolBar* Sender, const TRect& ARect, bool&) {
  FMenuBarPainter.DrawBar(Sender, ARect, MenuTheme().UIStyle);
}

void TskFrameBase::DrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                              bool& DefaultDraw) {
  DefaultDraw = false;
  FMenuBarPainter.DrawButton(Sender, Button, State, MenuTheme(), dynamic_cast<TskMainMenu*>(ShownMenu()),
                             GreysDisabledButtons());
}

// ---------------------------------------------------------------------------------------------------------
// The border

TskFrameBorderLook TskFrameBase::BorderLook() const {
  TskFrameBorderLook look;
  look.TitleBar = FTitleBar;
  look.BorderWidth = FBorderWidth;
  look.BorderColor = FBorderColor;
  look.BandTop = GetTitleBarHeight();
  look.MenuBarHeight = FMenuBar ? FMenuBar->Height() : 0;
  look.MenuBarColor = FMenuBar ? FMenuBar->Color() : FMenuBarColor;
  look.Pictures = &FPictures;
  look.Designing = Designing();
  return look;
}

void TskFrameBase::PaintBorderLook(const TskFrameBorderLook& Look) {
  HWND wnd = FForm->Handle();
  HDC dc = GetWindowDC(wnd);
  TCanvas canvas;
  canvas.SetHandle(dc);
  PaintFrameBorder(&canvas, FForm->Width(), FForm->Height(), Look);
  canvas.SetHandle(nullptr);
  ReleaseDC(wnd, dc);
}
