// A skinned MDI frame with three skinned children, and the pop-up notice, for looking at.
//
//   mdidemo --pictures <folder>   draws, offscreen, in every built-in style and the Emerald sample theme: the
//                                 children cascaded, tiled, and one maximized (its buttons on the menu bar);
//                                 and the notice sliding in, frame by frame; fails when a picture's decisive
//                                 pixels (borders, child-window buttons) are wrong
//   mdidemo [style] [--tour] [--shots <folder>]
//                                 opens the frame on the desktop (style: MacOS, WinXP, DeepBlue, Protein,
//                                 BlueGlass or Emerald; DeepBlue by default) and runs until it closes; with
//                                 --tour it cascades, tiles, maximizes a child and pops the notice up by
//                                 itself, printing each step, and closes after the last; with --shots it
//                                 photographs the desktop after each step and while the notice slides in,
//                                 and fails when a photograph's decisive pixels are wrong
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "classlib/backend/Backend.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/DesktopDC.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/Timer.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Exception.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/win/Windows.h"
#include "skin/SKButton.h"
#include "skin/SKForm.h"
#include "skin/SKMDIForm.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/frmMSNPop.h"
#include "tools/demosupport/DemoSupport.h"
#include "tools/demosupport/SkinLooks.h"

namespace {

using Look = demosupport::SkinLook;
using demosupport::SkinLooks;
const auto Item = demosupport::AddMenuItem;

// The frame form, its children and the notice. The children are owned by the application, everything else
// by the frame form.
struct Demo {
  TForm* Frame = nullptr;
  TskMDIForm* Skin = nullptr;
  TskFileTheme* Theme = nullptr;
  std::vector<TForm*> Children;
  TskMSNPopForm* Notice = nullptr;

  Demo(TForm* frame, const Look& look) : Frame(frame) {
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetBounds(40, 40, 640, 460);
    Frame->SetCaption("Quendrel - MDI frame");
    Theme = new TskFileTheme(Frame);
    if (look.ThemeFile) Theme->SetThemeFile(GetExeDir() + "../../app/themes/" + look.ThemeFile);

    auto* menu = new TskMainMenu(Frame);
    TMenuItem* file = Item(Frame, menu->Items(), "&File");
    Item(Frame, file, "&New Board");
    Item(Frame, file, "-");
    Item(Frame, file, "E&xit")->OnClick = [this](TObject*) { Frame->Close(); };
    TMenuItem* window = Item(Frame, menu->Items(), "&Window");
    Item(Frame, window, "&Cascade")->OnClick = [this](TObject*) { Frame->Cascade(); };
    Item(Frame, window, "&Tile")->OnClick = [this](TObject*) { Frame->Tile(); };
    TMenuItem* help = Item(Frame, menu->Items(), "&Help");
    Item(Frame, help, "&Notice")->OnClick = [this](TObject*) { Notice->Popup(); };
    menu->MenuAdded();
    Frame->SetWindowMenu(window);

    Skin = new TskMDIForm(Frame);
    Skin->SetMenu(menu);
    Skin->SetFileTheme(Theme);
    Skin->SetUIStyle(look.Style);

    Notice = new TskMSNPopForm(Frame);
    Notice->SetTitle("Quendrel");
    Notice->SetMessageText("A shorter solution was found: 38 moves.");
    Notice->SetAnimateTime(300);
    Notice->SetStayTime(3000);
  }

  void AddChildren(const Look& look) {
    for (int i = 0; i < 3; ++i) {
      auto* child = new TForm(Application); // owned by the application
      const std::string caption = "Board " + std::to_string(i + 1);
      child->SetFormStyle(fsMDIChild);
      child->SetCaption(caption.c_str());
      child->SetBounds(20 + 40 * i, 20 + 30 * i, 260, 180);
      auto* frame = new TskForm(child); // owned by the child
      frame->SetParent(child);
      if (i == 2) {
        // The last child brings its own menu, which the frame's bar shows while the child is active.
        auto* menu = new TskMainMenu(child);
        Item(child, Item(child, menu->Items(), "&Board"), "&Shuffle");
        Item(child, Item(child, menu->Items(), "&Moves"), "&Undo");
        Item(child, Item(child, menu->Items(), "&Window"), "&Cascade");
        menu->MenuAdded();
        frame->SetMenu(menu);
      }
      frame->SetFileTheme(Theme);
      frame->SetUIStyle(look.Style);
      auto* label = new TLabel(child);
      label->SetParent(frame);
      label->SetBounds(16, 50, 220, 20);
      label->SetCaption(("A " + std::to_string(3 + i) + " x " + std::to_string(3 + i) + " board").c_str());
      label->SetTransparent(true);
      child->Show();
      Children.push_back(child);
    }
  }
};

// What each picture must show, checked at a few pixels; Origin is the screen point of the picture's (0, 0).
// Prints what is wrong and answers whether all was right.
class ShotChecker {
 public:
  ShotChecker(const TSurface& Shot, TPoint Origin, const AnsiString& Name)
      : FShot(Shot), FOrigin(Origin), FName(Name) {}

  bool Ok() const { return FOk; }

  // A skinned window's left border, halfway down: the border in its colour and, when it is narrower than 3
  // pixels, the band inside it in the band colour; with a theme's side picture (item 45), its middle column.
  void LeftBorder(TWinControl* Window, TColor Border, int Width, TColor Band, TskFileTheme* Theme) {
    TRect r;
    GetWindowRect(Window->Handle(), &r);
    const int y = r.Top + r.Height() / 2;
    const auto side = static_cast<int>(SendMessage(Window->Handle(), SKM_SIDEBORDERWIDTH, 0, 0));
    if (side != 0) {
      TBitmap picture;
      Theme->GetBitmap(45, &picture, 0, 0);
      const TColor shown = At(r.Left + side / 2, y);
      bool found = false;
      for (int py = 0; py < picture.Height(); ++py)
        found = found || picture.Canvas()->Pixels(side / 2, py) == shown;
      Expect(found, Window->Caption() + ": its side picture");
      return;
    }
    Expect(At(r.Left, y) == Border, Window->Caption() + ": its left border");
    if (Width < 3) Expect(At(r.Left + Width, y) == Band, Window->Caption() + ": the band inside its border");
  }
  // The child-window button's glyph stands on the menu bar: pixels of another colour than the bar's.
  void Glyph(TControl* Button, TColor Bar) {
    const TPoint p = Button->ClientToScreen({0, 0});
    int ink = 0;
    for (int y = 0; y < Button->Height(); ++y)
      for (int x = 0; x < Button->Width(); ++x) ink += At(p.X + x, p.Y + y) != Bar;
    Expect(Button->Visible() && ink > 6, "the glyph of a child-window button");
  }

 private:
  TColor At(int ScreenX, int ScreenY) const {
    return demosupport::PixelAt(FShot, ScreenX - FOrigin.X, ScreenY - FOrigin.Y);
  }
  void Expect(bool Condition, const AnsiString& What) {
    if (Condition) return;
    std::fprintf(stderr, "mdidemo: %s: wrong pixels at %s\n", FName.c_str(), What.c_str());
    FOk = false;
  }

  const TSurface& FShot;
  TPoint FOrigin;
  AnsiString FName;
  bool FOk = true;
};

// The decisive pixels of the demo after each step: the frame's border always; the front child's after a
// cascade; every child's after a tile; the child-window buttons' glyphs while a child is maximized.
bool CheckShot(const TSurface& Shot, TPoint Origin, const AnsiString& Name, Demo& D, const char* Step) {
  if (Shot.Empty()) {
    std::fprintf(stderr, "mdidemo: %s: no picture\n", Name.c_str());
    return false;
  }
  ShotChecker check(Shot, Origin, Name);
  check.LeftBorder(D.Frame, D.Skin->BorderColor(), D.Skin->BorderWidth(), D.Skin->MenuBarColor(), D.Theme);
  auto child = [&](TForm* Child) {
    const TskForm* frame = static_cast<TskForm*>(Child->Controls(0));
    check.LeftBorder(Child, frame->BorderColor(), frame->BorderWidth(), frame->Color(), D.Theme);
  };
  if (std::strcmp(Step, "cascade") == 0) {
    TForm* front = D.Children.front(); // placed last, so on top
    for (TForm* c : D.Children)
      if (c->Left() > front->Left()) front = c;
    child(front);
  } else if (std::strcmp(Step, "tile") == 0) {
    for (TForm* c : D.Children) child(c);
  } else if (std::strcmp(Step, "maximize") == 0) {
    for (int n = 1; n <= 3; ++n) check.Glyph(D.Skin->ControlButton(n), D.Skin->MenuBarColor());
  }
  return check.Ok();
}

bool Shoot(Demo& D, const AnsiString& Name, const char* Step) {
  demosupport::Pump();
  UpdateAllWindows();
  const TSurface screen = ComposeScreen(D.Frame->BoundsRect());
  demosupport::SavePng(screen, Name);
  return CheckShot(screen, D.Frame->BoundsRect().TopLeft(), Name, D, Step);
}

int Pictures(const AnsiString& Folder) {
  setenv("QUENDREL_TEST_OUTPUT", Folder.c_str(), 1);
  ForceDirectories(Folder);
  Application->Initialize();
  bool ok = true;
  for (const Look& look : SkinLooks) {
    TForm* frame = nullptr;
    Application->CreateForm(frame);
    {
      Demo demo(frame, look);
      frame->Show();
      demo.AddChildren(look);
      demosupport::Pump();
      frame->Cascade();
      ok = Shoot(demo, AnsiString("mdi-cascade-") + look.Name + ".png", "cascade") && ok;
      frame->Tile();
      ok = Shoot(demo, AnsiString("mdi-tile-") + look.Name + ".png", "tile") && ok;
      demo.Children[1]->BringToFront();
      demo.Children[1]->SetWindowState(wsMaximized);
      ok = Shoot(demo, AnsiString("mdi-maximized-") + look.Name + ".png", "maximize") && ok;
      if (std::strcmp(look.Name, "DeepBlue") == 0) {
        // The notice sliding in over the work area's corner, three of its frames.
        std::vector<TSurface> frames;
        OnAnimateWindowFrame = [&](HWND Window, HWND) {
          if (Window != demo.Notice->Form()->Handle()) return;
          const TRect work = GetWorkAreaRect();
          frames.push_back(ComposeScreen({work.Right - 260, work.Bottom - 170, work.Right, work.Bottom}));
        };
        demo.Notice->Popup();
        OnAnimateWindowFrame = {};
        for (size_t i : {frames.size() / 4, frames.size() / 2, frames.size() - 1})
          if (i < frames.size())
            demosupport::SavePng(frames[i], "notice-slide-" + std::to_string(i) + ".png");
      }
      for (TForm* child : demo.Children) delete child; // before the frame form, whose theme they use
    }
    delete frame;
    std::printf("%s\n", look.Name);
  }
  return ok ? 0 : 1;
}

// Lets the desktop draw what changed, then photographs the whole screen into Folder.
TSurface Photograph(const AnsiString& Folder, const AnsiString& Name) {
  for (int i = 0; i < 10; ++i) {
    Application->ProcessMessages();
    backend::ProcessEvents(20);
  }
  setenv("QUENDREL_TEST_OUTPUT", Folder.c_str(), 1);
  return demosupport::PhotographDesktop(Name);
}

int Desktop(const char* Name, bool Tour, const AnsiString& Shots) {
  const Look* look = &SkinLooks[2];
  for (const Look& l : SkinLooks)
    if (Name && std::strcmp(l.Name, Name) == 0) look = &l;
  TForm* frame = nullptr;
  Application->Initialize();
  Application->CreateForm(frame);
  Demo demo(frame, *look);
  frame->Show();
  demo.AddChildren(*look);
  std::unique_ptr<TTimer> timer;
  int step = 0;
  int slideFrames = 0; // of the notice, while it slides in
  bool ok = true;
  if (!Shots.empty()) ForceDirectories(Shots);
  const AnsiString prefix = AnsiString("desktop-") + look->Name + "-";
  if (Tour) {
    timer = std::make_unique<TTimer>(nullptr);
    timer->SetInterval(1500);
    timer->OnTimer = [&](TObject*) {
      static const char* const steps[] = {"cascade", "tile", "maximize", "notice", "close"};
      std::printf("%s\n", steps[step]);
      std::fflush(stdout);
      // What the step before left on the screen, checked on the desktop's own picture.
      if (!Shots.empty() && step > 0) {
        const AnsiString name = prefix + std::to_string(step) + "-" + steps[step - 1] + ".png";
        ok = CheckShot(Photograph(Shots, name), {0, 0}, name, demo, steps[step - 1]) && ok;
      }
      switch (step++) {
      case 0:
        frame->Cascade();
        break;
      case 1:
        frame->Tile();
        break;
      case 2:
        demo.Children[1]->BringToFront();
        demo.Children[1]->SetWindowState(wsMaximized);
        break;
      case 3:
        demo.Notice->SetAnimateTime(900); // slow enough to be photographed on its way
        if (!Shots.empty()) {
          slideFrames = 0;
          OnAnimateWindowFrame = [&](HWND Window, HWND) {
            if (Window == demo.Notice->Form()->Handle() && ++slideFrames == 8)
              Photograph(Shots, prefix + "notice-sliding.png");
          };
        }
        demo.Notice->Popup();
        OnAnimateWindowFrame = {};
        break;
      default:
        timer->SetEnabled(false);
        frame->Close();
        break;
      }
    };
  }
  Application->Run();
  timer.reset();
  // While the desktop connection is still up; the children first, as they use the frame form's theme.
  for (TForm* child : demo.Children)
    if (Screen->IndexOfForm(child) >= 0) delete child;
  delete frame;
  return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
  try {
    if (argc >= 3 && std::strcmp(argv[1], "--pictures") == 0) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      return Pictures(argv[2]);
    }
    const char* style = nullptr;
    bool tour = false;
    AnsiString shots;
    for (int i = 1; i < argc; ++i) {
      if (std::strcmp(argv[i], "--tour") == 0)
        tour = true;
      else if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc)
        shots = argv[++i];
      else
        style = argv[i];
    }
    return Desktop(style, tour, shots);
  } catch (const Exception& e) {
    std::fprintf(stderr, "mdidemo: %s\n", e.Message.c_str());
    return 1;
  }
}
