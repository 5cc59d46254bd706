// The game on a real desktop at twice the scale, in every built-in look: the status text must have detail
// that a picture drawn at scale 1 and doubled cannot have; and at a scale of 1.5, where child windows begin
// between device pixels, the screen must show them where the class library draws them. Run by CTest under
// xvfb-run with QT_SCALE_FACTOR=2 and 1.5; anywhere else they have nothing to look at and are skipped.
#include <gtest/gtest.h>

#include <cmath>

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

// The screen takes a child window's first device row and column from where its place rounds to; the
// photograph and the class library's own composition of the window must agree along every child's top and
// left edge, or a line of the parent shows between them.
TEST_F(HighDensityGame, ChildWindowsMeetTheirParentWithoutASeamAtAFractionalScale) {
  StartGame();
  const double scale = mainForm->Handle()->Surface.Scale();
  if (scale == std::floor(scale)) GTEST_SKIP() << "not at a fractional scale";
  const TSurface photo = testsupport::PhotographDesktop("fractional-scale.png");
  if (photo.Width() == 0) GTEST_SKIP() << "no desktop";
  const TSurface drawn = testsupport::Render(mainForm);
  const int ox = DeviceEdge(mainForm->Left(), scale), oy = DeviceEdge(mainForm->Top(), scale);
  const HWND root = mainForm->Handle();
  int compared = 0, differing = 0;
  const auto compare = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= drawn.Width() || y >= drawn.Height()) return;
    if (ox + x >= photo.Width() || oy + y >= photo.Height()) return;
    ++compared;
    if (photo.Pixel(ox + x, oy + y) != drawn.Pixel(x, y)) ++differing;
  };
  for (HWND c : root->Children) {
    if (!IsWindowVisible(c)) continue;
    const int left = DeviceEdge(root->Client.Left + c->Rect.Left, scale);
    const int top = DeviceEdge(root->Client.Top + c->Rect.Top, scale);
    const int right = DeviceEdge(root->Client.Left + c->Rect.Right, scale);
    const int bottom = DeviceEdge(root->Client.Top + c->Rect.Bottom, scale);
    // Away from the corners, which the window's shape may cut.
    for (int x = left + 4; x < right - 4; ++x) compare(x, top);
    for (int y = top + 4; y < bottom - 4; ++y) compare(left, y);
  }
  EXPECT_GT(compared, 500);
  EXPECT_LE(differing, compared / 50) << "of " << compared << " pixels along the children's edges";
  CloseGame();
}

} // namespace
