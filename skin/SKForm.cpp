#include "skin/SKForm.h"

#include <algorithm>

#include "classlib/controls/ControlCanvas.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/win/Windows.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMDIForm.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"

QUENDREL_REGISTER_CLASS(TskForm, TCustomPanel) {
  c.Creatable();
  c.Property("TitleBarCustom", &TskForm::TitleBarCustom, &TskForm::SetTitleBarCustom);
  c.Property("FileTheme", &TskForm::FileTheme, &TskForm::SetFileTheme);
  c.Enum("UIStyle", &TskForm::UIStyle, &TskForm::SetUIStyle, TskUIStyleNames);
  c.Property("UIStyleAutoUpdateSub", &TskForm::UIStyleAutoUpdateSub, &TskForm::SetUIStyleAutoUpdateSub);
  ColorProperty(c, "BorderColor", &TskForm::BorderColor, &TskForm::SetBorderColor);
  c.Property("BorderWidth", &TskForm::BorderWidth, &TskForm::SetBorderWidth);
  c.Property("TitleBarVisible", &TskForm::TitleBarVisible, &TskForm::SetTitleBarVisible).Default(1);
  c.Enum("BiDiMode", &TskForm::BiDiMode, &TskForm::SetBiDiMode, BiDiModeNames)
      .Default(bdLeftToRight)
      .Stored(&TskForm::IsBiDiModeStored);
  ColorProperty(c, "Color", &TskForm::Color, &TskForm::SetColor);
  c.Property("Caption", &TskForm::Caption, &TskForm::SetCaption);
  c.Property("FormPanel", &TskForm::FormPanel, &TskForm::SetPanel);
  c.Property("TitleBarButtons", &TskForm::TitleBarButtons, &TskForm::SetTitleBarButtons);
  c.Property("TitleBarSections", &TskForm::TitleBarSections, &TskForm::SetTitleBarSections);
  c.Property("TitleBarDrawAppIcon", &TskForm::TitleBarDrawAppIcon, &TskForm::SetTitleBarDrawAppIcon);
  c.Property("Font", &TskForm::TitleFont, &TskForm::SetTitleFont);
  c.Property("Menu", &TskForm::Menu, &TskForm::SetMenu);
  ColorProperty(c, "MenuBarColor", &TskForm::MenuBarColor, &TskForm::SetMenuBarColor);
  c.Property("MenuBarHeight", &TskForm::MenuBarHeight, &TskForm::SetMenuBarHeight);
  c.Property("RoundCorner", &TskForm::RoundCorner, &TskForm::SetRoundCorner);
  c.Property("RoundCornerBottom", &TskForm::RoundCornerBottom, &TskForm::SetRoundCornerBottom);
  c.Property("Version", &TskForm::Version, &TskForm::SetVersion);
  c.Event("OnTitleBarCustomBtnsClick", &TskForm::OnTitleBarCustomBtnsClick);
  c.Event("OnTitleBarHelpBtnClick", &TskForm::OnTitleBarHelpBtnClick);
}

QUENDREL_REGISTER_CLASS(TskMenuBar, TToolBar) {}

int MaxShowCount = 0;
bool ChildMaximized = false;
bool g_SkinKitConverting = false;

namespace {

// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED: measure and paint the frame
// again.
constexpr UINT FrameChangedFlags = 0x37;
// A class-library message after which the caption bits may be back, besides CM_RECREATEWND and CM_FLOAT.
constexpr UINT CM_CAPTIONMAYRETURN = 0xBE10;

void Fill(TCanvas* Canvas, TColor Color, const TRect& R) {
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(R);
}

} // namespace

TskForm::TskForm(TComponent* AOwner) : inherited(AOwner) {
  auto* form = dynamic_cast<TForm*>(AOwner);
  if (!form) return;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (form->Controls(i)->InheritsFrom(TskForm::StaticClass())) return; // a form has one frame
  // Nor may a second frame take the form over from one placed elsewhere: two frames chaining the form's
  // window procedure would each put back the other's when they go.
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* other = dynamic_cast<TskForm*>(form->Components(i));
        other && other != this && other->FForm == form)
      return;
  FForm = form;
  // A frame that is not among its form's children outlives the form's window part: it must know.
  FForm->FreeNotification(this);
  FDestroying = false;
  FForm->Constraints()->SetMinHeight(50);
  FForm->Constraints()->SetMinWidth(125);
  Constraints()->SetMinHeight(50);
  Constraints()->SetMinWidth(125);
  FForm->SetBorderWidth(0);
  FSavedBounds = FForm->BoundsRect();
  FStartMaximized = FForm->WindowState() == wsMaximized;

  FTitleBar = new TskTitleBar(this); // owned by the frame (component ownership)
  FTitleBar->SetParent(this);
  FTitleBar->OnCustomBtnsClick = [this](TObject* Sender, int Index) {
    if (OnTitleBarCustomBtnsClick) OnTitleBarCustomBtnsClick(Sender, Index);
  };
  FTitleBar->OnHelpBtnClick = [this](TObject* Sender, int Index) {
    if (OnTitleBarHelpBtnClick) OnTitleBarHelpBtnClick(Sender, Index);
  };
  FMenuBarColor = Color();
  FMenuBarHeight = 22;

  SetUIStyle(DeepBlue);
  FUIStyleAutoUpdateSub = false;

  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  SetBorderStyle(bsNone);
  SetAlign(alClient);

  SetCaption(FForm->Caption());
  SetTitleBarVisible(true);
  FTitleBarWanted = true;
  FTitleBarSwitching = false;
  TControl::SetText(" ");

  FForm->SetScaled(false);
  FOldBorderStyle = FForm->BorderStyle();
  if (FOldBorderStyle == bsNone || FOldBorderStyle == bsSingle || FOldBorderStyle == bsToolWindow)
    FForm->SetBorderStyle(bsDialog);
  RemoveCaption();
  FForm->SetAutoScroll(false);

  HookForm();
  FrameChanged();
}

TskForm::~TskForm() {
  FDestroying = true;
  FAppEvents.reset();
  if (auto* menu = dynamic_cast<TskMainMenu*>(FMenu)) menu->SetFrame(nullptr);
  delete FMenuBar; // owned by the frame as its component; its buttons go with it
  FMenuBar = nullptr;
  FPictures.Clear();
  Release();
}

// ---------------------------------------------------------------------------------------------------------
// The form's window

void TskForm::FrameChanged() {
  // Never makes the window anew: an MDI child whose frame form went has none, and cannot get one.
  if (FForm->HandleAllocated()) SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0, FrameChangedFlags);
}

void TskForm::ReAssign() {
  if (FForm && RemoveCaption()) FrameChanged();
}

void TskForm::Release() {
  if (!FForm || !FOldWndProc || FFormGone) return;
  FDestroying = true;
  TWndMethod old = std::move(FOldWndProc);
  FOldWndProc = nullptr;
  if (!FForm->HandleAllocated()) {
    FForm->WindowProc = std::move(old);
    return;
  }
  HWND wnd = FForm->Handle();
  SetWindowLong(wnd, GWL_STYLE, GetWindowLong(wnd, GWL_STYLE) | static_cast<LONG>(WS_CAPTION));
  FForm->WindowProc = std::move(old);
  if (!FForm->ComponentState().Contains(csDestroying)) FrameChanged();
}

void TskForm::FrameMessage(TMessage& Message) {
  switch (Message.Msg) {
  case WM_MDIACTIVATE:
    if (reinterpret_cast<HWND>(Message.LParam) == FForm->Handle()) {
      if (TCustomForm* main = Application->MainForm())
        SendMessage(main->ClientHandle(), WM_MDIREFRESHMENU, reinterpret_cast<WPARAM>(FForm->Handle()), 0);
      FTitleBar->SetFormActive(true);
    } else {
      FTitleBar->SetFormActive(false);
    }
    break;
  case WM_SHOWWINDOW:
    FForm->SetMenu(nullptr); // the menu bar stands in for the native menu
    break;
  case WM_DESTROY:
    if (IsMDIChild()) {
      if (TCustomForm* main = Application->MainForm()) {
        if (main->MDIChildCount() == 1)
          SendMessage(main->ClientHandle(), WM_MDIREFRESHMENU, reinterpret_cast<WPARAM>(FForm->Handle()), 0);
        if (Maximized())
          SendMessage(main->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(FForm->Handle()), 0);
      }
    }
    // The form is going: give it back now, while it is still a form (a frame that is not its child goes
    // only after it).
    if (!FDestroying && FForm->ComponentState().Contains(csDestroying)) Release();
    break;
  case WM_NCPAINT:
    if (FForm->WindowState() == wsMinimized)
      FOldWndProc(Message);
    else
      PaintFormBorder();
    break;
  case CM_RECREATEWND:
  case CM_FLOAT:
  case CM_CAPTIONMAYRETURN:
    ReAssign();
    break;
  case WM_SIZE:
    WMSizeFrame();
    break;
  case WM_NCHITTEST:
    if (IsMDIChild() && FOldBorderStyle == bsSingle && Message.Result >= HTLEFT &&
        Message.Result <= HTBOTTOMRIGHT)
      Message.Result = HTBORDER; // such a child cannot be resized
    break;
  default:
    break;
  }
}

int TskForm::BottomBorderInset() const {
  return FBottomBorderHeight != 0 ? FBottomBorderHeight - 2 : FBorderWidth == 3 ? 0 : FBorderWidth - 2;
}

void TskForm::WMSizeFrame() {
  if (Maximized() && Designing()) return;
  if (FStartMaximized) {
    if (!Maximized()) {
      PlaceControl(FForm, FSavedBounds);
      FStartMaximized = false;
    } else if (MaxShowCount == 2) {
      FForm->SetWindowState(wsMaximized);
    } else {
      ++MaxShowCount;
    }
    ChildMaximized = true;
  }
  if (Maximized() && !IsMDIChild()) {
    // The left, top and right border rows lie outside the work area.
    const TRect work = GetWorkAreaRect();
    PlaceControl(FForm, TRect{work.Left - 2, work.Top - 2, work.Right + 2, work.Bottom - 1});
  }
  PaintFormBorder();
  FTitleBar->ProcessMaxBtn();
  if (IsMDIChild()) {
    TCustomForm* main = Application->MainForm();
    HWND client = main ? main->ClientHandle() : nullptr;
    if (Maximized()) {
      FTitleBarSwitching = true;
      SetTitleBarVisible(false);
      FTitleBarSwitching = false;
      if (!ChildMaximized) {
        ScrollBy(0, 3 - FTitleBar->Height());
        ChildMaximized = true;
        SendMessage(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(FForm->Handle()), 0);
      }
    } else {
      if (FTitleBarWanted) {
        FTitleBarSwitching = true;
        SetTitleBarVisible(true);
        FTitleBarSwitching = false;
      }
      if (ChildMaximized) {
        ScrollBy(0, FTitleBar->Height() - 3);
        ChildMaximized = false;
        FTitleBar->ProcessMaxBtn();
        SendMessage(client, WM_MDIRESTORE, 0, 0);
      }
    }
  }
  RegionWindow();
}

void TskForm::RegionWindow() {
  if (!Active() || Designing() || !FForm->HandleAllocated()) return;
  SetFrameRegion(FForm->Handle(), FForm->Width(), FForm->Height(), RoundCorner(), RoundCornerBottom());
}

// ---------------------------------------------------------------------------------------------------------
// Style and theme

void TskForm::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  if (!Active()) {
    Invalidate();
    return;
  }
  const TRect bounds = FForm->BoundsRect();
  TskUIStyle style;
  if (FTheme.UseFile(style)) {
    FBorderColor = FTheme.Color(16);
    FBorderWidth = FTheme.Size(17);
    SetColor(FTheme.Color(15));
    if (FMenuBar) {
      TColor c = FTheme.Color(48);
      if (c == -1) c = SKMenuBarColorByFontColor(FTheme.Color(27), Color());
      SetMenuBarColor(c);
    }
    SetRoundCorner(FTheme.Size(14));
    SetRoundCornerBottom(FTheme.Size(47));
    LoadBorderPictures();
  } else {
    FPictures.Clear();
    SetRoundCornerBottom(0);
    FBottomBorderHeight = 0;
    FBorderColor = FTheme.Color(16);
    FBorderWidth = FTheme.Size(17);
    SetColor(FTheme.Color(15));
    SetMenuBarColor(Color());
    SetRoundCorner(FTheme.Size(14));
  }
  FBackgroundTile.reset();
  if (FTheme.UIStyle == MacOS || FTheme.UIStyle == Protein) {
    FBackgroundTile = std::make_unique<TBitmap>();
    FBackgroundTile->LoadFromResourceName(0, FTheme.UIStyle == MacOS ? SK_RES_MACOS_FORM_BACKGROUND
                                                                     : SK_RES_PROTEIN_FORM_BACKGROUND);
  }

  ThemeTitleBar();
  ThemeMenu();
  if (FUIStyleAutoUpdateSub) ContainerApplyUIStyle(this, FTheme.UIStyle, FTheme.FileTheme);
  if (IsMDIChild()) FForm->SetBoundsRect(bounds);
  FrameChanged();
  if (Parent()) Repaint();
  PaintFormBorder();
}

void TskForm::SetBorderColor(TColor Value) {
  FBorderColor = Value;
  PaintFormBorder();
}

void TskForm::SetBorderWidth(int Value) {
  FBorderWidth = Value;
  PaintFormBorder();
}

void TskForm::SetTitleBarVisible(bool Value) {
  if (!FTitleBar || Value == FTitleBar->Visible()) return;
  if (!FTitleBarSwitching) FTitleBarWanted = Value;
  FTitleBar->SetVisible(Value);
  FTitleBar->SetTop(0);
  PaintFormBorder();
}

AnsiString TskForm::Caption() const {
  return FTitleBar ? FTitleBar->Caption() : TControl::Caption();
}

void TskForm::SetCaption(const AnsiString& Value) {
  if (!FTitleBar) return;
  FTitleBar->SetCaption(Value);
  FForm->SetCaption(Value);
}

void TskForm::SetPanel(TCustomPanel* Value) {
  if (Value == this) {
    MessageBox(nullptr, "Sorry, you can't select the Form assign to FormPanel property", "Error",
               MB_ICONERROR | MB_OK);
    return;
  }
  FFormPanel = Value;
  if (!Value) return;
  Value->FreeNotification(this);
  Value->SetAlign(alClient);
  if (Value->InheritsFrom(TPanel::StaticClass())) {
    Value->SetBevelOuter(bvNone);
    Value->SetBevelInner(bvNone);
    Value->SetBorderStyle(bsNone);
    Value->SetCaption("");
  } else if (auto* image = dynamic_cast<TskImagePanel*>(Value)) {
    image->SetCaption("");
  }
}

void TskForm::SetTitleFont(TFont* Value) {
  TitleFont()->Assign(Value);
}

void TskForm::SetMenu(TMainMenu* Value) {
  if (!Active()) {
    FMenu = Value;
    return;
  }
  if (auto* old = dynamic_cast<TskMainMenu*>(FMenu)) old->SetFrame(nullptr);
  FMenu = Value;
  if (Value) Value->FreeNotification(this);
  if (auto* menu = dynamic_cast<TskMainMenu*>(Value)) menu->SetFrame(this);
  if (FMenu) {
    if (!FMenuBar) CreateMenuBar();
    UpdateMenu();
    FTitleBar->SetTop(0); // the caption stays above the bar
  } else {
    DestroyMenuBar();
  }
}

void TskForm::CreateMenuBar() {
  if (FMenuBar || IsMDIChild() || !Active()) return;
  FMenuBar = new TskMenuBar(this); // owned by the frame (component ownership)
  FMenuBar->SetForm(this);
  SetUpMenuBar(this);
  FMenuBar->SetHeight(FMenuBarHeight);
  FMenuBar->SetColor(FMenuBarColor);
  HookMenuBarDrawing(!Designing());
  FMenuBar->SetWrapable(true);
  FMenuBar->SetAutoSize(true);
  FTitleBar->SetTop(0);
}

void TskForm::DestroyMenuBar() {
  if (!IsMDIChild()) {
    delete FMenuBar; // owned by the frame as its component
    FMenuBar = nullptr;
  }
  FMenu = nullptr;
}

void TskForm::UpdateMenu() {
  if (!FMenuBar) return;
  if (!FMenu) {
    DestroyMenuBar();
    return;
  }
  FMenuBar->SetAutoSize(false);
  SetMenuBarFont();
  while (FMenuBar->ButtonCount() > 0) delete FMenuBar->Buttons(FMenuBar->ButtonCount() - 1);
  // Each new button goes before the ones already there, so the last item is made first.
  TMenuItem* items = FMenu->Items();
  for (int i = items->Count() - 1; i >= 0; --i) {
    auto* button = new TToolButton(this); // owned by the frame (component ownership)
    button->SetParent(FMenuBar);
    button->SetGrouped(true);
    button->SetMenuItem(items->Items(i));
    button->SetAutoSize(true);
  }
  FMenuBar->SetAutoSize(true);
}

void TskForm::UpdateTopMenu() {
  if (!FMenuBar) return;
  for (int i = 0; i < FMenuBar->ButtonCount(); ++i) {
    TToolButton* button = FMenuBar->Buttons(i);
    if (TMenuItem* item = button->MenuItem()) {
      button->SetCaption(item->Caption());
      button->SetEnabled(item->Enabled());
    }
  }
}

void TskForm::RepaintMenuBar() {
  if (!FMenuBar || !FMenu) return;
  ApplyMenuFont(FMenuBar->Font());
  FMenuBar->Repaint();
}

bool TskForm::ApplyMenuFont(TFont* Font) const {
  return ApplySkinMenuFont(dynamic_cast<TskMainMenu*>(FMenu), Font);
}

bool TskForm::MenuBarShowing() const {
  return FMenuBar && FMenuBar->Visible();
}

void TskForm::SetMenuBarHeight(int Value) {
  FMenuBarHeight = Value;
  if (!FMenuBar) return;
  FMenuBar->SetHeight(Value);
  FMenuBar->SetButtonHeight(Value); // the bar lays its buttons out at its button height
  for (int i = 0; i < FMenuBar->ButtonCount(); ++i) FMenuBar->Buttons(i)->SetHeight(Value);
}

int TskForm::RoundCorner() const {
  return FTitleBar && FTitleBar->Visible() ? FTitleBar->RoundCorner() : 0;
}

void TskForm::SetRoundCorner(int Value) {
  if (!FTitleBar) return;
  FTitleBar->SetRoundCorner(Value);
  RegionWindow();
}

int TskForm::RoundCornerBottom() const {
  return FTitleBar && FTitleBar->Visible() ? FTitleBar->RoundCornerBottom() : 0;
}

void TskForm::SetRoundCornerBottom(int Value) {
  if (!FTitleBar) return;
  FTitleBar->SetRoundCornerBottom(Value);
  RegionWindow();
}

// ---------------------------------------------------------------------------------------------------------
// Keys

bool TskForm::TakesShortCuts() const {
  return FormHasFocus(FForm) && FForm->Active();
}

void TskForm::OnApplicationMessage(tagMSG& Msg, bool& Handled) {
  if (!Active()) return;
  if (Msg.message == WM_SYSCHAR && LOWORD(Msg.wParam) == ' ') {
    // At the main form's corner, whichever window the key was for.
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    TControl* at = main ? static_cast<TControl*>(main) : FForm;
    Handled = true;
    FTitleBar->SystemMenu()->Popup(at->Left(), at->Top() + FTitleBar->Height());
    return;
  }
  TskFrameBase::OnApplicationMessage(Msg, Handled);
}

// ---------------------------------------------------------------------------------------------------------
// Component

void TskForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (!AComponent) return;
  const bool designing = Designing() && !ComponentState().Contains(csLoading);
  if (Operation == opInsert) {
    if (!designing || g_SkinKitConverting || !Active()) return;
    auto* menu = dynamic_cast<TMainMenu*>(AComponent);
    if (!menu) return;
    if (menu->ClassName() != "TskMainMenu") {
      const AnsiString text =
          AnsiString("Strongly recommend you to use \"TskMainMenu\" instead of \"TMainMenu\".\r\n\r\nIf you "
                     "still want to use TMainForm, \r\n\r\nset ") +
          FForm->Name() + "'s MENU property to NIL please." + "\r\n\r\n" + "And set " + Name() +
          "'s MENU property to this Menu when you finished designing the menu.";
      MessageBox(nullptr, text.c_str(), "Information", MB_ICONINFORMATION | MB_OK);
    } else if (menu->Owner() == FForm && !FMenu) {
      SetMenu(menu);
    }
    return;
  }
  if (Operation != opRemove) return;
  if (AComponent == FForm && FForm->ComponentState().Contains(csDestroying)) {
    // Only the form's component part is left: nothing of its window may be touched any more.
    FFormGone = true;
    FDestroying = true;
    FOldWndProc = nullptr;
    return;
  }
  if (AComponent == FFormPanel) FFormPanel = nullptr;
  if (AComponent == FMenu) DestroyMenuBar();
  if (AComponent == FMenuBar) FMenuBar = nullptr;
  if (AComponent == this) Release();
}

void TskForm::Resize() {
  TCustomPanel::Resize();
  if (!Active()) return;
  FTitleBar->SetAlign(alTop);
  ReAssign();
}

void TskForm::SetParent(TWinControl* AParent) {
  TCustomPanel::SetParent(AParent);
  // The title bar gives its form the theme's minimum width only once it has a form above it: placed on its
  // form, the frame lets it, so that a frame made in code and one read from a stream leave the same form.
  if (Active() && AParent == FForm && !ComponentState().Contains(csDestroying))
    FTitleBar->SetUIStyle(FTitleBar->UIStyle());
}

void TskForm::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1; // Paint covers the background
}

// ---------------------------------------------------------------------------------------------------------
// Painting

void TskForm::Paint() {
  if (FDestroying) return;
  const TRect client = ClientRect();
  if (FBackgroundTile && FForm) {
    TBitmap buffer;
    buffer.SetSize(TControl::Width(), Height());
    buffer.Canvas()->Brush()->SetBitmap(FBackgroundTile.get());
    buffer.Canvas()->FillRect(client);
    BitBlt(Canvas()->Handle(), 0, 0, buffer.Width(), buffer.Height(), buffer.Canvas()->Handle(), 0, 0,
           SRCCOPY);
    buffer.Canvas()->Brush()->SetBitmap(nullptr);
  } else {
    Fill(Canvas(), Color(), client);
  }
  PaintFormBorder();
}

void TskForm::PaintFormBorder() {
  if (!Active() || !FForm->HandleAllocated()) return;
  if (FForm->WindowState() == wsMinimized && !Designing()) return;
  TskFrameBorderLook look = BorderLook();
  look.BandColor = look.LineColor = Color();
  look.TopColor = FMenuBar ? FMenuBar->Color() : FForm->Color();
  look.MenuBarShown = MenuBarShowing();
  look.RoundCorner = RoundCorner();
  PaintBorderLook(look);
}

// ---------------------------------------------------------------------------------------------------------
// The menu bar's drawing

TskThemeLink TskForm::MenuTheme() const {
  if (auto* menu = dynamic_cast<TskMainMenu*>(FMenu)) return TskThemeLink{menu->UIStyle(), menu->FileTheme()};
  return FTheme;
}

// ---------------------------------------------------------------------------------------------------------
// TskMenuBar

void TskMenuBar::Notification(TComponent* AComponent, TOperation Operation) {
  TToolBar::Notification(AComponent, Operation);
  if (Operation != opInsert || !AComponent || AComponent->Owner() != this) return;
  if (auto* popup = dynamic_cast<TPopupMenu*>(AComponent))
    popup->OnPopup = [this](TObject* Sender) { OnMenuPopup(Sender); };
}

void TskMenuBar::OnMenuPopup(TObject* Sender) {
  auto* popup = dynamic_cast<TPopupMenu*>(Sender);
  if (!popup) return;
  if (FForm && FForm->Menu()) popup->SetAutoHotkeys(FForm->Menu()->AutoHotkeys());
  if (FMDIForm && FMDIForm->ShownMenu()) popup->SetAutoHotkeys(FMDIForm->ShownMenu()->AutoHotkeys());
}
