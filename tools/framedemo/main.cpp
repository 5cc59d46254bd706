// A skinned main form: its frame, title bar and menu bar over a skinned main menu of three menus (a sub-menu,
// a checked item, a disabled item, short-cuts, images), and a skinned pop-up menu on the client area.
//
//   framedemo --pictures <folder>   draws, offscreen, every built-in style and the Emerald sample theme with
//                                   the Game menu dropped down (its Size sub-menu open on a selected item)
//                                   and with the pop-up menu open on a selected item
//   framedemo [style]               opens the form on the desktop (style: MacOS, WinXP, DeepBlue, Protein,
//                                   BlueGlass or Emerald; DeepBlue by default) and runs until it closes
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "classlib/controls/Application.h"
#include "classlib/controls/DesktopDC.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Label.h"
#include "classlib/core/Exception.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/ImageList.h"
#include "skin/SKForm.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPopupMenu.h"
#include "tools/demosupport/DemoSupport.h"
#include "tools/demosupport/SkinLooks.h"

namespace {

using Look = demosupport::SkinLook;
using demosupport::SkinLooks;
const auto Item = demosupport::AddMenuItem;

// The form and everything on it; all of it is owned by the form.
struct DemoForm {
  TForm* Form = nullptr;
  TskForm* Frame = nullptr;
  TskMainMenu* Menu = nullptr;
  TskPopupMenu* Popup = nullptr;

  DemoForm(TForm* form, const Look& look) : Form(form) {
    Form->SetBounds(40, 40, 460, 300);
    Form->SetCaption("Quendrel - skinned frame");
    auto* theme = new TskFileTheme(Form);
    if (look.ThemeFile) theme->SetThemeFile(GetExeDir() + "../../app/themes/" + look.ThemeFile);

    // Two 16 x 16 pictures: a red square and a blue disc.
    auto* images = new TImageList(Form);
    TBitmap pictures;
    pictures.SetSize(32, 16);
    TCanvas* c = pictures.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect({0, 0, 32, 16});
    c->Brush()->SetColor(0x2020D0);
    c->FillRect({2, 2, 14, 14});
    c->Brush()->SetColor(0xC04010);
    c->Pen()->SetColor(0xC04010);
    c->Ellipse(18, 2, 30, 14);
    images->AddMasked(&pictures, clWhite);

    Menu = new TskMainMenu(Form);
    TMenuItem* game = Item(Form, Menu->Items(), "&Game");
    Item(Form, game, "&New Game")->SetShortCut(ShortCut(VK_F2, {}));
    TMenuItem* size = Item(Form, game, "&Size");
    Item(Form, size, "&3 x 3");
    Item(Form, size, "&4 x 4")->SetChecked(true);
    Item(Form, size, "&5 x 5");
    Item(Form, game, "-");
    Item(Form, game, "S&olve")->SetImageIndex(0);
    Item(Form, game, "&Replay")->SetEnabled(false);
    Item(Form, game, "-");
    TMenuItem* exit = Item(Form, game, "E&xit");
    exit->SetShortCut(ShortCut('Q', {ssCtrl}));
    exit->OnClick = [this](TObject*) { Form->Close(); };
    TMenuItem* options = Item(Form, Menu->Items(), "&Options");
    Item(Form, options, "&Numbers")->SetChecked(true);
    TMenuItem* picture = Item(Form, options, "&Picture");
    picture->SetChecked(true);
    picture->SetImageIndex(1);
    Item(Form, options, "&Default")->SetDefault(true);
    TMenuItem* help = Item(Form, Menu->Items(), "&Help");
    Item(Form, help, "&About...");
    Menu->SetImages(images);
    Menu->MenuAdded();

    Popup = new TskPopupMenu(Form);
    Item(Form, Popup->Items(), "&Undo")->SetShortCut(ShortCut('Z', {ssCtrl}));
    Item(Form, Popup->Items(), "-");
    Item(Form, Popup->Items(), "Cu&t")->SetEnabled(false);
    Item(Form, Popup->Items(), "&Copy")->SetChecked(true);
    Item(Form, Popup->Items(), "&Paste");
    Popup->MenuAdded();

    Frame = new TskForm(Form);
    Frame->SetParent(Form);
    Frame->SetPopupMenu(Popup);
    Frame->SetMenu(Menu);
    // The frame passes its style and theme file on to its menu; the pop-up menu takes them itself.
    Frame->SetFileTheme(theme);
    Frame->SetUIStyle(look.Style);
    Popup->SetFileTheme(theme);
    Popup->SetUIStyle(look.Style);

    auto* label = new TLabel(Form);
    label->SetParent(Frame);
    label->SetBounds(24, 80, 300, 20);
    label->SetCaption("Right-click for the pop-up menu.");
    label->SetTransparent(true);
  }
};

void QueueKey(WORD Key) {
  backend::KeyEvent e;
  e.VirtualKey = Key;
  InjectKey(e);
  e.Down = false;
  InjectKey(e);
}

// Opens a menu with Open; once its loop idles, the screen around the form is saved and the menu closed.
void ShootWhileOpen(const std::function<void()>& Open, TForm* Form, const AnsiString& Path) {
  bool shot = false;
  OnMenuLoopIdle = [&] {
    if (shot) return;
    shot = true;
    const TRect r = Form->BoundsRect();
    const TSurface screen = ComposeScreen({r.Left - 10, r.Top - 10, r.Right + 120, r.Bottom + 60});
    demosupport::SavePng(screen, Path);
    CancelMenuTracking();
  };
  Open();
  OnMenuLoopIdle = nullptr;
  if (!shot) std::fprintf(stderr, "no menu opened for %s\n", Path.c_str());
}

int Pictures(const AnsiString& Folder) {
  setenv("QUENDREL_TEST_OUTPUT", Folder.c_str(), 1);
  ForceDirectories(Folder);
  for (const Look& look : SkinLooks) {
    TForm form(nullptr);
    DemoForm demo(&form, look);
    form.Show();
    demosupport::Pump();
    // Down to Size, Right opens it on 3 x 3, Down selects 4 x 4.
    for (WORD k : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN}) QueueKey(k);
    TskMenuBar* bar = demo.Frame->MenuBar();
    ShootWhileOpen([&] { bar->TrackMenu(bar->Buttons(0)); }, &form,
                   AnsiString("frame-menu-") + look.Name + ".png");
    // Undo, then Copy (Cut is disabled).
    for (WORD k : {VK_DOWN, VK_DOWN, VK_DOWN}) QueueKey(k);
    ShootWhileOpen([&] { demo.Popup->Popup(form.Left() + 120, form.Top() + 110); }, &form,
                   AnsiString("frame-popup-") + look.Name + ".png");
    std::printf("%s\n", look.Name);
  }
  return 0;
}

int Desktop(const char* Name) {
  const Look* look = &SkinLooks[2];
  for (const Look& l : SkinLooks)
    if (Name && std::strcmp(l.Name, Name) == 0) look = &l;
  TForm* form = nullptr;
  Application->Initialize();
  Application->CreateForm(form);
  DemoForm demo(form, *look);
  // Each change of the window's state, for whoever drives the demo from outside.
  form->OnResize = [form](TObject*) {
    static const char* const states[] = {"normal", "minimized", "maximized"};
    const TRect r = form->BoundsRect();
    std::printf("%s %d,%d %dx%d\n", states[form->WindowState()], r.Left, r.Top, r.Width(), r.Height());
    std::fflush(stdout);
  };
  Application->Run();
  return 0; // the application frees the form
}

} // namespace

int main(int argc, char** argv) {
  try {
    if (argc >= 3 && std::strcmp(argv[1], "--pictures") == 0) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      return Pictures(argv[2]);
    }
    return Desktop(argc >= 2 ? argv[1] : nullptr);
  } catch (const Exception& e) {
    std::fprintf(stderr, "framedemo: %s\n", e.Message.c_str());
    return 1;
  }
}
