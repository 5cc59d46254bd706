// The open dialogs through the desktop's real file dialog, answered by the test's hand: the filters as the
// dialog shows them, the folder it opens in, the file picked, and cancelling.
#include <gtest/gtest.h>

#include <fstream>

#include "classlib/backend/Dialogs.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/OpenPictureDialog.h"
#include "classlib/core/SysUtils.h"
#include "tests/classlib/core/TempFolder.h"

namespace {

class OpenDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { Application->Initialize(); }
  void TearDown() override { backend::FileDialogDriver = nullptr; }
};

TEST(DialogFilters, PipeFiltersBecomeNamedPatternLists) {
  using V = std::vector<std::string>;
  EXPECT_EQ(backend::DialogNameFilters("Theme|*.skn"), V{"Theme (*.skn)"});
  EXPECT_EQ(backend::DialogNameFilters("All (*.jpg;*.bmp)|*.jpg;*.bmp|Bitmaps (*.bmp)|*.bmp"),
            (V{"All (*.jpg *.bmp)", "Bitmaps (*.bmp)"}));
  EXPECT_EQ(backend::DialogNameFilters(""), V{});
  EXPECT_EQ(backend::DialogNameFilters("Dangling"), V{}); // a name without patterns is no filter
}

TEST(DialogFilters, ThePictureFilterOffersEveryKindThePictureLoaderReads) {
  const AnsiString f = GraphicFilter();
  EXPECT_EQ(f.rfind("All (*.jpg;*.jpeg;*.bmp;*.ico;*.png;*.gif)|*.jpg;*.jpeg;*.bmp;*.ico;*.png;*.gif|", 0),
            0u)
      << f;
  EXPECT_NE(f.find("|JPEG Image File (*.jpg)|*.jpg|"), AnsiString::npos);
  EXPECT_NE(f.find("|Portable Network Graphics (*.png)|*.png"), AnsiString::npos);
  TOpenPictureDialog dialog(nullptr);
  EXPECT_EQ(dialog.Filter, f);
}

TEST_F(OpenDialogTest, TheRealDialogShowsTheFilterAndFolderAndReturnsThePick) {
  TempFolder dir;
  const AnsiString theme = dir.Path + "/Emerald.skn";
  std::ofstream(theme) << "x";
  backend::FileDialogView seen;
  backend::FileDialogDriver = [&](const backend::FileDialogView& View) {
    seen = View;
    return theme;
  };
  TOpenDialog dialog(nullptr);
  dialog.Filter = "Theme|*.skn";
  dialog.InitialDir = dir.Path;
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, theme);
  EXPECT_EQ(seen.NameFilters, std::vector<std::string>{"Theme (*.skn)"});
  EXPECT_EQ(seen.SelectedNameFilter, "Theme (*.skn)");
  EXPECT_EQ(seen.Directory, dir.Path);

  // Cancelling answers false and leaves FileName as it was.
  backend::FileDialogDriver = [](const backend::FileDialogView&) { return std::string(); };
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, theme);
}

TEST_F(OpenDialogTest, ThePictureDialogOpensWithAllPictureKindsSelected) {
  TempFolder dir;
  const AnsiString photo = dir.Path + "/photo.png";
  std::ofstream(photo) << "x";
  backend::FileDialogView seen;
  backend::FileDialogDriver = [&](const backend::FileDialogView& View) {
    seen = View;
    return photo;
  };
  TOpenPictureDialog dialog(nullptr);
  dialog.InitialDir = dir.Path + "\\"; // folders may end in either separator
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, photo);
  ASSERT_FALSE(seen.NameFilters.empty());
  EXPECT_EQ(seen.SelectedNameFilter, "All (*.jpg *.jpeg *.bmp *.ico *.png *.gif)");
  EXPECT_EQ(seen.NameFilters.size(), 7u);
}

} // namespace
