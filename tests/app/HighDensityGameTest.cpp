// The game on a real desktop at twice the scale, in every built-in look: the status text must have detail
// that a picture drawn at scale 1 and doubled cannot have. Run by CTest under xvfb-run with
// QT_SCALE_FACTOR=2; anywhere else it has nothing to look at and is skipped.
#include <gtest/gtest.h>

#include "app/Looks.h"
#include "classlib/controls/WindowHandle.h"
#include "tests/app/GameFixture.h"

namespace {

using HighDensityGame = GameTest;

// 2x2 blocks of device pixels that are not one colour, inside a logical rectangle.
int FineBlocks(const TSurface& Photo, const TRect& Logical) {
  int fine = 0;
  for (int y = Logical.Top; y < Logical.Bottom; ++y)
    for (int x = Logical.Left; x < Logical.Right; ++x) {
      const int dx = 2 * x, dy = 2 * y;
      if (dx + 1 >= Photo.Width() || dy + 1 >= Photo.Height()) continue;
      const uint32_t p = Photo.Pixel(dx, dy);
      if (Photo.Pixel(dx + 1, dy) != p || Photo.Pixel(dx, dy + 1) != p || Photo.Pixel(dx + 1, dy + 1) != p)
        ++fine;
    }
  return fine;
}

TEST_F(HighDensityGame, EveryLookIsDrawnAtTheScreensResolution) {
  StartGame();
  if (mainForm->Handle()->Surface.Scale() != 2.0) GTEST_SKIP() << "not at scale 2";
  if (testsupport::PhotographDesktop("scale2-probe.png").Width() == 0) GTEST_SKIP() << "no desktop";
  int looks = 0;
  for (int i = 0; i < mainForm->mLook->Count(); ++i) {
    TMenuItem* item = mainForm->mLook->Items(i);
    if (item->Caption() == "-" || item->Caption().find("...") != std::string::npos) continue;
    mainForm->mLookItemClick(item);
    testsupport::Pump();
    const TSurface photo = testsupport::PhotographDesktop("scale2-look-" + item->Caption() + ".png");
    ASSERT_GE(photo.Width(), 2 * (mainForm->Left() + mainForm->Width())) << "device pixels, twice as many";
    const TPoint at = mainForm->LabelStatus->ClientToScreen({0, 0});
    const TRect label = Bounds(at.X, at.Y, mainForm->LabelStatus->Width(), mainForm->LabelStatus->Height());
    EXPECT_GT(FineBlocks(photo, label), 20) << item->Caption() << ": the status text is pixel-doubled";
    ++looks;
  }
  EXPECT_EQ(looks, 5);
  CloseGame();
}

} // namespace
