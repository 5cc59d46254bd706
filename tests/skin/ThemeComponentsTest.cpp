// The theme components: choosing a style, loading theme files with the folder search, pushing styles to
// components, and what happens when the components they refer to go away.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "classlib/controls/CustomControl.h"
#include "classlib/controls/Form.h"
#include "classlib/core/Filer.h"
#include "classlib/core/SysUtils.h"
#include "skin/SKForm.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKThemeFile.h"
#include "skin/SKThemes.h"
#include "tests/skin/SkinTestUtil.h"

using skintest::ReadBytes;
using skintest::ScopedEnv;
using skintest::TempDir;
using skintest::WriteBytes;

// A skinned component as the library's controls are built: it records the order of its two property writes.
class TskProbe : public TCustomControl {
  QUENDREL_CLASS(TskProbe, TCustomControl)
 public:
  explicit TskProbe(TComponent* AOwner) : TCustomControl(AOwner) {
    SetUIStyle(GetSKFormStyle(AOwner));
    Log.clear();
  }
  TskUIStyle UIStyle() const { return FUIStyle; }
  void SetUIStyle(TskUIStyle Value) {
    FUIStyle = Value;
    Log.push_back("UIStyle=" + TskUIStyleNames.NameOf(Value));
  }
  TskFileTheme* FileTheme() const { return FFileTheme; }
  void SetFileTheme(TskFileTheme* Value) {
    FFileTheme = Value;
    Log.push_back("FileTheme");
    SetUIStyle(FUIStyle);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFileTheme) {
      FFileTheme = nullptr;
      SetUIStyle(DeepBlue);
    }
  }

  std::vector<AnsiString> Log;

 private:
  TskUIStyle FUIStyle = DeepBlue;
  TskFileTheme* FFileTheme = nullptr;
};

QUENDREL_REGISTER_CLASS(TskProbe, TCustomControl) {
  c.Creatable();
  c.Property("FileTheme", &TskProbe::FileTheme, &TskProbe::SetFileTheme);
  c.Enum("UIStyle", &TskProbe::UIStyle, &TskProbe::SetUIStyle, TskUIStyleNames);
}

namespace {

// A theme file with a background colour of its own.
AnsiString WriteTheme(const AnsiString& file, TColor background) {
  TskThemeFileWriter w(file);
  w.AddInteger("FormBackgroundColor", background);
  w.Save();
  return file;
}

class ScopedCurrentDir {
 public:
  explicit ScopedCurrentDir(const AnsiString& dir) : FOld(GetCurrentDir()) { SetCurrentDir(dir); }
  ~ScopedCurrentDir() { SetCurrentDir(FOld); }

 private:
  AnsiString FOld;
};

} // namespace

TEST(UsingFileTheme, ChoosesTheFileOnlyForFromThemeFileWithAUsableTheme) {
  TempDir dir;
  TskFileTheme theme(nullptr);
  TskUIStyle style = MacOS;
  EXPECT_FALSE(UsingFileTheme(nullptr, FromThemeFile, style));
  EXPECT_EQ(style, DeepBlue);
  EXPECT_FALSE(UsingFileTheme(&theme, FromThemeFile, style)); // nothing loaded yet
  EXPECT_EQ(style, DeepBlue);

  theme.SetThemeFile(WriteTheme(dir.File("a.skn"), 0x123456));
  ASSERT_TRUE(theme.CanUse());
  EXPECT_TRUE(UsingFileTheme(&theme, FromThemeFile, style));
  EXPECT_FALSE(UsingFileTheme(&theme, WinXP, style));
  EXPECT_EQ(style, WinXP);
  EXPECT_FALSE(UsingFileTheme(nullptr, Protein, style));
  EXPECT_EQ(style, Protein);
}

TEST(SKFormStyle, ComponentsStartInTheirFormFramesStyle) {
  TForm form(nullptr);
  EXPECT_EQ(GetSKFormStyle(&form), DeepBlue); // no frame
  EXPECT_EQ(GetSKFormStyle(nullptr), DeepBlue);
  TComponent module(nullptr);
  EXPECT_EQ(GetSKFormStyle(&module), DeepBlue);

  auto* frame = new TskForm(&form);
  frame->SetParent(&form);
  EXPECT_EQ(frame->UIStyle(), DeepBlue);
  frame->SetUIStyle(Protein);
  auto* probe = new TskProbe(&form);
  EXPECT_EQ(probe->UIStyle(), Protein);
}

TEST(SKFormStyle, FreeingTheThemeFileFallsBackToDeepBlue) {
  TempDir dir;
  TForm form(nullptr);
  auto* theme = new TskFileTheme(&form);
  auto* probe = new TskProbe(&form);
  auto* frame = new TskForm(&form);
  probe->SetFileTheme(theme);
  probe->SetUIStyle(FromThemeFile);
  frame->SetFileTheme(theme);
  frame->SetUIStyle(FromThemeFile);
  delete theme;
  EXPECT_EQ(probe->FileTheme(), nullptr);
  EXPECT_EQ(probe->UIStyle(), DeepBlue);
  EXPECT_EQ(frame->FileTheme(), nullptr);
  EXPECT_EQ(frame->UIStyle(), DeepBlue);
}

TEST(ContainerApplyUIStyle, TouchesOnlyDirectSkinnedChildrenFileThemeFirst) {
  TForm form(nullptr);
  TskFileTheme theme(nullptr);
  auto* panel = new TCustomControl(&form);
  panel->SetParent(&form);
  auto* skinned = new TskProbe(&form);
  skinned->SetParent(panel);
  auto* plain = new TCustomControl(&form);
  plain->SetParent(panel);
  auto* inner = new TCustomControl(&form);
  inner->SetParent(panel);
  auto* grandchild = new TskProbe(&form);
  grandchild->SetParent(inner);

  ContainerApplyUIStyle(panel, WinXP, &theme);
  EXPECT_EQ(skinned->UIStyle(), WinXP);
  EXPECT_EQ(skinned->FileTheme(), &theme);
  EXPECT_EQ(skinned->Log, (std::vector<AnsiString>{"FileTheme", "UIStyle=DeepBlue", "UIStyle=WinXP"}));
  EXPECT_TRUE(grandchild->Log.empty());
  EXPECT_EQ(grandchild->FileTheme(), nullptr);
  EXPECT_TRUE(IsHasProperty(skinned, "uistyle"));
  EXPECT_FALSE(IsHasProperty(plain, "UIStyle"));
}

TEST(SetThemeFile, LoadsAndIgnoresTheSameNameTwice) {
  TempDir dir;
  TskFileTheme theme(nullptr);
  EXPECT_EQ(theme.GetColor(15), 0); // before any load
  const AnsiString file = WriteTheme(dir.File("a.skn"), 0x111111);
  theme.SetThemeFile(file);
  EXPECT_TRUE(theme.CanUse());
  EXPECT_EQ(theme.ThemeFile(), file);
  EXPECT_EQ(theme.GetColor(15), 0x111111);
  EXPECT_EQ(theme.GetInt(17), -1); // absent from this file

  WriteTheme(file, 0x222222);
  theme.SetThemeFile(file); // the same name: not read again
  EXPECT_EQ(theme.GetColor(15), 0x111111);

  theme.SetThemeFile(""); // no such file anywhere: nothing changes
  theme.SetThemeFile(dir.File("missing.skn"));
  EXPECT_EQ(theme.ThemeFile(), file);
  EXPECT_TRUE(theme.CanUse());
}

TEST(SetThemeFile, AForeignOrTruncatedFileRaisesAndChangesNothing) {
  TempDir dir;
  TskFileTheme theme(nullptr);
  const AnsiString good = WriteTheme(dir.File("good.skn"), 0x333333);
  theme.SetThemeFile(good);
  WriteBytes(dir.File("bad.skn"), {'n', 'o', 't', ' ', 'a', ' ', 't', 'h', 'e', 'm', 'e', 0, 0, 0, 0, 0, 0});
  const auto whole = ReadBytes(WriteTheme(dir.File("whole.skn"), 0x555555));
  WriteBytes(dir.File("cut.skn"), {whole.begin(), whole.begin() + static_cast<ptrdiff_t>(whole.size() / 2)});
  for (const char* name : {"bad.skn", "cut.skn"}) {
    SCOPED_TRACE(name);
    try {
      theme.SetThemeFile(dir.File(name));
      FAIL() << "no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message, "Invalid skin file for SkinKit!");
    }
    EXPECT_EQ(theme.ThemeFile(), good);
    EXPECT_TRUE(theme.CanUse());
    EXPECT_EQ(theme.GetColor(15), 0x333333);
  }
}

TEST(SetThemeFile, SearchesTheProgramFolderThenTheDataFolders) {
  TempDir dir;
  const AnsiString part = "h6-search-" + IntToStr(getpid()) + ".skn";

  // A bare name missing from the working folder, present in the program's folder.
  const AnsiString inProgram = GetExeDir() + part;
  WriteTheme(inProgram, 0x444444);
  {
    ScopedCurrentDir cwd(dir.Path.string());
    TskFileTheme theme(nullptr);
    theme.SetThemeFile(part);
    EXPECT_EQ(theme.ThemeFile(), inProgram);
    EXPECT_EQ(theme.GetColor(15), 0x444444);
  }
  DeleteFile(inProgram);

  // A name whose folder does not exist, missing from the program's folder, found in the user's data folder.
  ScopedEnv data("XDG_DATA_HOME", dir.Path.string());
  ForceDirectories(dir.File("quendrel"));
  const AnsiString inData = dir.File("quendrel/" + part);
  WriteTheme(inData, 0x555555);
  TskFileTheme theme(nullptr);
  theme.SetThemeFile("C:\\no\\such\\folder\\" + part);
  EXPECT_EQ(theme.ThemeFile(), inData);
  EXPECT_EQ(theme.GetColor(15), 0x555555);
}

TEST(SetThemeFile, ComponentsOfTheOwningFormReReadTheTheme) {
  TempDir dir;
  TForm form(nullptr);
  auto* theme = new TskFileTheme(&form);
  auto* user = new TskProbe(&form);
  auto* other = new TskProbe(&form);
  user->SetFileTheme(theme);
  user->Log.clear();
  theme->SetThemeFile(WriteTheme(dir.File("a.skn"), 0x666666));
  EXPECT_EQ(user->Log, (std::vector<AnsiString>{"FileTheme", "UIStyle=DeepBlue"}));
  EXPECT_TRUE(other->Log.empty());
}

TEST(ThemeManager, PushesStyleThenFileThemeToListedComponents) {
  TForm form(nullptr);
  auto* theme = new TskFileTheme(&form);
  auto* a = new TskProbe(&form);
  a->SetName("A");
  auto* b = new TskProbe(&form);
  b->SetName("B");
  auto* mgr = new TskThemeManager(&form);
  EXPECT_EQ(mgr->UIStyle(), DeepBlue);
  int events = 0;
  mgr->OnUIStyleChanged = [&](TObject* Sender) {
    EXPECT_EQ(Sender, mgr);
    ++events;
  };
  mgr->CompList()->Add("A");
  mgr->CompList()->Add("Nobody");
  a->Log.clear();
  b->Log.clear();

  mgr->SetUIStyle(MacOS);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(a->Log, (std::vector<AnsiString>{"UIStyle=MacOS", "FileTheme", "UIStyle=MacOS"}));
  EXPECT_TRUE(b->Log.empty());
  mgr->SetUIStyle(MacOS); // same value: updates, no event
  EXPECT_EQ(events, 1);
  EXPECT_EQ(a->Log.size(), 6u);

  mgr->SetFileTheme(theme);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(a->FileTheme(), theme);

  // A listed component that cannot take a style ends the update with the property error.
  auto* plain = new TCustomControl(&form);
  plain->SetName("Plain");
  mgr->CompList()->Insert(0, "Plain");
  EXPECT_THROW(mgr->UpdateTheme(), EPropertyError);
}

TEST(ThemeManager, ForgetsRemovedComponentsAndItsFileTheme) {
  TForm form(nullptr);
  auto* theme = new TskFileTheme(&form);
  auto* a = new TskProbe(&form);
  a->SetName("A");
  auto* mgr = new TskThemeManager(&form);
  TskThemeMgrCompList list;
  list.Add("a");
  list.Add("Other");
  mgr->SetList(&list);
  mgr->SetFileTheme(theme);
  mgr->SetUIStyle(Protein);
  int events = 0;
  mgr->OnUIStyleChanged = [&](TObject*) { ++events; };

  delete a;
  EXPECT_EQ(mgr->CompList()->Text(), "Other\n");

  auto* b = new TskProbe(&form);
  b->SetName("Other");
  b->SetFileTheme(theme);
  b->Log.clear();
  delete theme;
  EXPECT_EQ(mgr->FileTheme(), nullptr);
  EXPECT_EQ(mgr->UIStyle(), DeepBlue);
  EXPECT_EQ(events, 0);
  // The component learnt of the removal itself; the manager pushed nothing.
  EXPECT_EQ(b->Log, (std::vector<AnsiString>{"UIStyle=DeepBlue"}));
}

TEST(ThemeManager, DoesNothingOutsideAFormOrFrame) {
  TComponent module(nullptr);
  auto* a = new TskProbe(&module);
  a->SetName("A");
  auto* mgr = new TskThemeManager(&module);
  mgr->CompList()->Add("A");
  a->Log.clear();
  mgr->SetUIStyle(WinXP);
  mgr->UpdateTheme();
  EXPECT_TRUE(a->Log.empty());
}

TEST(BuiltInFileTheme, RestoresItsThemeFromTheFormStream) {
  TempDir dir;
  ScopedEnv tmp("TMPDIR", dir.Path.string());
  const AnsiString source = WriteTheme(dir.File("source.skn"), 0x777777);

  AnsiString text;
  {
    TComponent root(nullptr);
    root.SetName("Root");
    auto* theme = new TskBuiltInFileTheme(&root);
    theme->SetName("Theme");
    SetStrProp(theme, "ThemeFile", source);
    EXPECT_EQ(theme->ThemeFile2(), source);
    EXPECT_FALSE(theme->CanUse()); // its own name only stores the name
    text = WriteComponentText(&root);
  }
  EXPECT_NE(text.find("SkinData"), AnsiString::npos);
  DeleteFile(source);
  WriteBytes(dir.File("SKINKIT.skn"), {1});
  WriteBytes(dir.File("SKINKIT1.skn"), {1});

  TComponent root(nullptr);
  ReadComponentText(text, &root);
  auto* theme = dynamic_cast<TskBuiltInFileTheme*>(root.FindComponent("Theme"));
  ASSERT_NE(theme, nullptr);
  EXPECT_TRUE(theme->CanUse());
  EXPECT_EQ(theme->GetColor(15), 0x777777);
  EXPECT_EQ(theme->ThemeFile(), GetTempDir() + "SKINKIT2.skn");
  EXPECT_FALSE(FileExists(GetTempDir() + "SKINKIT2.skn"));
  EXPECT_TRUE(FileExists(GetTempDir() + "SKINKIT1.skn"));
  // Its source file gone, it writes the bytes it was read from again: writing the form loses nothing.
  EXPECT_EQ(WriteComponentText(&root), text);

  // A symbolic link planted under the next name is skipped, never followed: nothing appears where it points.
  const std::string victim = dir.File("victim");
  std::filesystem::create_symlink(victim, std::string(dir.File("SKINKIT2.skn")));
  TComponent again(nullptr);
  ReadComponentText(text, &again);
  auto* restored = dynamic_cast<TskBuiltInFileTheme*>(again.FindComponent("Theme"));
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->GetColor(15), 0x777777);
  EXPECT_EQ(restored->ThemeFile(), GetTempDir() + "SKINKIT3.skn");
  EXPECT_FALSE(std::filesystem::exists(victim));
  EXPECT_TRUE(std::filesystem::is_symlink(std::string(dir.File("SKINKIT2.skn"))));
}

// A skinned form written out reads back to the same components, its theme components included, and
// writing it again gives the same text.
TEST(ThemeComponents, AWrittenSkinnedFormReadsBackAndWritesTheSameText) {
  const AnsiString source = R"(object Form1: TForm
  Width = 400
  Height = 300
  object skFileTheme1: TskFileTheme
  end
  object skThemeManager1: TskThemeManager
    UIStyle = MacOS
    FileTheme = skFileTheme1
    CompList.Strings = (
      'skPanel1')
  end
  object skPanel1: TskPanel
    Left = 10
    Top = 10
    Width = 150
    Height = 80
  end
end
)";
  TForm first(nullptr);
  ReadComponentText(source, &first);
  const AnsiString text = WriteComponentText(&first);
  for (const char* part : {"object skFileTheme1: TskFileTheme", "object skThemeManager1: TskThemeManager",
                           "'skPanel1'", "FileTheme = skFileTheme1"})
    EXPECT_NE(text.find(part), AnsiString::npos) << part << "\n" << text;
  TForm second(nullptr);
  ReadComponentText(text, &second);
  EXPECT_EQ(second.ComponentCount(), first.ComponentCount());
  auto* manager = dynamic_cast<TskThemeManager*>(second.FindComponent("skThemeManager1"));
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->FileTheme(), second.FindComponent("skFileTheme1"));
  EXPECT_EQ(manager->UIStyle(), MacOS);
  EXPECT_EQ(WriteComponentText(&second), text);
  {}
}
