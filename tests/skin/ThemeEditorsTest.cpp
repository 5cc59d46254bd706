// The theme components' editors: the theme manager's check-list dialog from its form resource, driven by
// queued mouse and key input while it runs modally, and the two file-theme editors with their open dialog.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "classlib/controls/CheckLst.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/core/Exception.h"
#include "classlib/core/SysUtils.h"
#include "skin/SKButton.h"
#include "skin/SKMgr.h"
#include "skin/SKProgressBar.h"
#include "skin/SKThemeEditors.h"
#include "skin/SKTrackBar.h"
#include "skin/frmThemeMgr.h"
#include "tests/support/TestSupport.h"

namespace {

template <class T> T* Make(TForm* Owner, const char* Name) {
  auto* c = new T(Owner); // owned by the form
  c->SetName(Name);
  if constexpr (std::is_base_of_v<TControl, T>) c->SetParent(Owner);
  return c;
}

void QueueClick(TControl* Control) {
  const TPoint p = Control->ClientToScreen({Control->Width() / 2, Control->Height() / 2});
  testsupport::QueueMouse(Control, p, mbLeft, true);
  testsupport::QueueMouse(Control, p, mbLeft, false);
}

class ThemeEditors : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form.SetBounds(40, 40, 400, 300);
    button = Make<TskButton>(&form, "skButton1");
    progress = Make<TskProgressBar>(&form, "skProgress");
    Make<TLabel>(&form, "label");
    track = Make<TskTrackBar>(&form, "skTrack");
    theme = Make<TskFileTheme>(&form, "skFileTheme");
    manager = Make<TskThemeManager>(&form, "skManager");
    manager->CompList()->Add("skTrack");
    manager->SetUIStyle(MacOS);
    form.Show();
    testsupport::Pump();
    Screen->OnActiveFormChange = [this](TObject*) {
      auto* dialog = dynamic_cast<TfrmMgr*>(Screen->ActiveForm());
      if (!dialog || probed) return;
      probed = true;
      for (int i = 0; i < dialog->List->Count(); ++i)
        listed.push_back(dialog->List->Items()->Get(i) + (dialog->List->Checked(i) ? "+" : ""));
      if (WhileShown) WhileShown(dialog);
    };
  }
  void TearDown() override {
    Screen->OnActiveFormChange = nullptr;
    OpenDialogHook = nullptr;
  }

  TForm form{nullptr};
  TskButton* button = nullptr;
  TskProgressBar* progress = nullptr;
  TskTrackBar* track = nullptr;
  TskFileTheme* theme = nullptr;
  TskThemeManager* manager = nullptr;
  std::function<void(TfrmMgr*)> WhileShown;
  bool probed = false;
  std::vector<AnsiString> listed;
};

TEST_F(ThemeEditors, TheDialogIsBuiltFromItsFormResource) {
  TfrmMgr dialog(nullptr);
  EXPECT_EQ(dialog.Caption(), "Theme Manager - SkinKit");
  EXPECT_EQ(dialog.ClientWidth(), 233);
  EXPECT_EQ(dialog.ClientHeight(), 301);
  EXPECT_EQ(dialog.List->BoundsRect(), (TRect{16, 16, 217, 201}));
  EXPECT_EQ(dialog.btn_unsel->BoundsRect(), (TRect{16, 208, 113, 233}));
  EXPECT_EQ(dialog.btn_sel->BoundsRect(), (TRect{120, 208, 217, 233}));
  EXPECT_EQ(dialog.btn_ok->BoundsRect(), (TRect{72, 264, 161, 289}));
  EXPECT_TRUE(dialog.btn_ok->Default());
  EXPECT_EQ(dialog.btn_ok->ModalResult(), mrOk);
  EXPECT_EQ(dialog.Position(), poScreenCenter);

  for (const char* name : {"skForm", "skButton1", "skTrack"}) dialog.List->Items()->Add(name);
  dialog.List->SetChecked(1, true);
  dialog.Show();
  const TSurface s = testsupport::Render(&dialog);
  testsupport::SavePng(s, "theme-manager-dialog.png");
  // The list's window-white field below the items, on the dialog's face (the picture has the frame too).
  const TPoint origin = dialog.ClientOrigin();
  const int dx = origin.X - dialog.Left(), dy = origin.Y - dialog.Top();
  EXPECT_EQ(testsupport::PixelAt(s, dx + 116, dy + 190), ColorToRGB(clWindow));
  EXPECT_EQ(testsupport::PixelAt(s, dx + 8, dy + 8), ColorToRGB(clBtnFace));
}

TEST_F(ThemeEditors, OKMakesTheListTheTickedNamesInListOrderAndUpdates) {
  manager->CompList()->Insert(0, "skProgress");
  progress->SetUIStyle(WinXP);
  WhileShown = [](TfrmMgr* Dialog) {
    QueueClick(Dialog->btn_unsel);
    QueueClick(Dialog->List); // back to the list, whose keys follow
    testsupport::QueueKey(VK_END);
    testsupport::QueueKey(VK_SPACE);
    testsupport::QueueKey(VK_HOME);
    testsupport::QueueKey(VK_SPACE);
    testsupport::QueueKey(VK_RETURN);
  };
  EXPECT_TRUE(EditThemeManager(manager));
  ASSERT_TRUE(probed);
  // Skinned components only, in the owner's order, those of the list ticked; no manager, no file theme.
  EXPECT_EQ(listed, (std::vector<AnsiString>{"skButton1", "skProgress+", "skTrack+"}));
  EXPECT_EQ(manager->CompList()->CommaText(), "skButton1,skTrack");
  EXPECT_EQ(button->UIStyle(), MacOS);
  EXPECT_EQ(track->UIStyle(), MacOS);
  EXPECT_EQ(progress->UIStyle(), WinXP); // no longer listed, so left alone
}

TEST_F(ThemeEditors, ClosingTheDialogKeepsTheListButStillUpdates) {
  track->SetUIStyle(WinXP);
  WhileShown = [](TfrmMgr* Dialog) {
    QueueClick(Dialog->btn_sel);
    PostMessage(Dialog->Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_FALSE(EditThemeManager(manager));
  ASSERT_TRUE(probed);
  EXPECT_EQ(manager->CompList()->CommaText(), "skTrack");
  EXPECT_EQ(track->UIStyle(), MacOS);
  EXPECT_EQ(button->UIStyle(), DeepBlue);
}

TEST_F(ThemeEditors, SelectAllAndUnselectAllTickEveryItem) {
  WhileShown = [](TfrmMgr* Dialog) {
    QueueClick(Dialog->btn_sel);
    QueueClick(Dialog->btn_ok);
  };
  EXPECT_TRUE(EditThemeManager(manager));
  EXPECT_EQ(manager->CompList()->CommaText(), "skButton1,skProgress,skTrack");
  probed = false;
  WhileShown = [](TfrmMgr* Dialog) {
    QueueClick(Dialog->btn_unsel);
    QueueClick(Dialog->btn_ok);
  };
  EXPECT_TRUE(EditThemeManager(manager));
  EXPECT_EQ(manager->CompList()->Count(), 0);
}

// A manager owned by neither a form nor a frame (a data module, say) has no components to offer: no dialog,
// and its list stays as it was.
TEST_F(ThemeEditors, AManagerOfNoFormOrFrameGetsNoDialog) {
  TComponent module(nullptr);
  auto* skinned = new TskProgressBar(&module); // owned by the module
  skinned->SetName("skModuleBar");
  auto* other = new TskThemeManager(&module); // owned by the module
  other->CompList()->Add("skModuleBar");
  WhileShown = [](TfrmMgr* Dialog) { PostMessage(Dialog->Handle(), WM_CLOSE, 0, 0); };
  EXPECT_FALSE(EditThemeManager(other));
  EXPECT_FALSE(probed) << "the dialog was shown";
  EXPECT_EQ(other->CompList()->CommaText(), "skModuleBar");
  EXPECT_EQ(skinned->UIStyle(), DeepBlue);
}

TEST_F(ThemeEditors, TheFileThemeEditorsAskForAThemeFile) {
  const AnsiString themes = GetExeDir() + "../../app/themes/";
  AnsiString answer;
  std::vector<AnsiString> filters;
  OpenDialogHook = [&](TOpenDialog* Dialog) {
    filters.push_back(Dialog->GetFilter());
    Dialog->SetFileName(answer);
    return !answer.empty();
  };
  answer = themes + "Emerald.skn";
  EXPECT_TRUE(EditFileTheme(theme));
  EXPECT_EQ(theme->ThemeFile(), answer);
  EXPECT_TRUE(theme->CanUse());

  // Nothing chosen: nothing changes.
  answer = "";
  EXPECT_FALSE(EditFileTheme(theme));
  EXPECT_EQ(theme->ThemeFile(), themes + "Emerald.skn");

  // A file without the magic: the error reaches the caller, the theme stays.
  const AnsiString bad = testsupport::OutputPath("not-a-theme.skn");
  {
    TStringList lines;
    lines.Add("no theme here");
    lines.SaveToFile(bad);
  }
  answer = bad;
  EXPECT_THROW(EditFileTheme(theme), Exception);
  EXPECT_EQ(theme->ThemeFile(), themes + "Emerald.skn");
  EXPECT_TRUE(theme->CanUse());

  // The built-in theme only takes the name of the file it is to keep.
  TskBuiltInFileTheme builtIn(nullptr);
  answer = themes + "Sunset.skn";
  EXPECT_TRUE(EditBuiltInFileTheme(&builtIn));
  EXPECT_EQ(builtIn.ThemeFile2(), answer);
  EXPECT_TRUE(builtIn.ThemeFile().empty());

  EXPECT_EQ(filters, std::vector<AnsiString>(4, "SkinKit Theme File(*.skn)|*.skn"));
}

} // namespace
