// What the board costs: a move repaints its two cells and nothing else, and a theme switch, a window resize
// or a board preset lays the tiles out once, whatever the number of resizes they cause on the way.
#include <map>

#include "classlib/controls/WindowHandle.h"
#include "skin/SKImagePanel.h"
#include "tests/app/GameFixture.h"

namespace {

using BoardPaintTest = GameTest;

// Counts the paint messages of every window of the game window while it lives.
class PaintCounter {
 public:
  explicit PaintCounter(TWinControl* Root) { Watch(Root); }
  ~PaintCounter() {
    for (auto& [control, previous] : hooked) control->WindowProc = previous;
  }
  PaintCounter(const PaintCounter&) = delete;
  PaintCounter& operator=(const PaintCounter&) = delete;

  // The windows that painted, and how often.
  std::map<TControl*, int> painted;

 private:
  void Watch(TWinControl* Control) {
    const TWndMethod previous = Control->WindowProc;
    hooked.emplace_back(Control, previous);
    Control->WindowProc = [this, Control, previous](TMessage& Message) {
      if (Message.Msg == WM_PAINT) ++painted[Control];
      previous(Message);
    };
    for (int i = 0; i < Control->ControlCount(); ++i)
      if (auto* child = dynamic_cast<TWinControl*>(Control->Controls(i))) Watch(child);
  }
  std::vector<std::pair<TWinControl*, TWndMethod>> hooked;
};

TEST_F(BoardPaintTest, AClickOrAKeyRepaintsOnlyTheTwoCellsOfItsMove) {
  for (const char* style : {"0", "2"}) {
    WriteSettings(std::string("[DEFAULT]\nPuzzle Size=12\nStyle=") + style +
                  "\nImage=" + QUENDREL_PROGRAM_DIR + "/default.jpg\n");
    StartGame();
    // Slides move on only when the test says: their frames are not counted as the move's painting.
    testsupport::ManualClock clock;
    Run(mainForm->ActionReset);
    UpdateAllWindows();
    {
      PaintCounter counter(mainForm);
      ClickTile(14); // into the blank at 15
      UpdateAllWindows();
      // The tile that arrived paints itself; the cell it left shows the board behind it.
      EXPECT_EQ(counter.painted,
                (std::map<TControl*, int>{{mainForm->TilePanel(15), 1}, {mainForm->skImagePanel, 1}}))
          << "style " << style;
    }
    {
      PaintCounter counter(mainForm);
      Press(VK_LEFT); // the tile right of the blank moves back
      UpdateAllWindows();
      EXPECT_EQ(counter.painted,
                (std::map<TControl*, int>{{mainForm->TilePanel(14), 1}, {mainForm->skImagePanel, 1}}))
          << "style " << style;
    }
    // The last move's tile has slid home.
    mainForm->FinishSlide();
    UpdateAllWindows();
    {
      // Reset on the board it leaves as it was: no cell changes, none paints.
      PaintCounter counter(mainForm);
      Run(mainForm->ActionReset);
      UpdateAllWindows();
      for (int i = 0; i < 16; ++i) EXPECT_EQ(counter.painted.count(mainForm->TilePanel(i)), 0u) << i;
      EXPECT_EQ(counter.painted.count(mainForm->skImagePanel), 0u);
    }
    CloseGame();
  }
}

TEST_F(BoardPaintTest, ThemeSwitchesPresetsAndWindowResizesLayTheBoardOutOnce) {
  WriteSettings(std::string("[DEFAULT]\nPuzzle Size=12\nStyle=1\nImage=") + QUENDREL_PROGRAM_DIR +
                "/default.jpg\n");
  StartGame();
  TPanel* last = mainForm->TilePanel(15);
  const auto tileAtTheCorner = [&] {
    // The grid is centred with one pixel between tiles: the last tile ends one pixel or so from the edge.
    const int right = mainForm->skImagePanel->ClientWidth() - last->BoundsRect().Right;
    const int bottom = mainForm->skImagePanel->ClientHeight() - last->BoundsRect().Bottom;
    return right >= 1 && right <= 4 && bottom >= 1 && bottom <= 4;
  };
  // A theme switch resizes the board panel many times on the way; the tiles follow once, before it returns.
  for (const char* theme : {"Sunset", "Emerald"}) {
    Picks = {std::string(QUENDREL_PROGRAM_DIR) + "/themes/" + theme + ".skn"};
    const int layouts = mainForm->BoardLayouts();
    ASSERT_TRUE(Run(mainForm->ActionChangeTheme));
    EXPECT_EQ(mainForm->BoardLayouts() - layouts, 1) << theme;
    EXPECT_TRUE(tileAtTheCorner()) << theme;
    testsupport::Pump();
    EXPECT_EQ(mainForm->BoardLayouts() - layouts, 1) << theme;
  }
  // A preset sets the width and the height: one layout, done when the command returns.
  int layouts = mainForm->BoardLayouts();
  ASSERT_TRUE(Run(mainForm->ActionNormalSize));
  EXPECT_EQ(mainForm->BoardLayouts() - layouts, 1);
  EXPECT_TRUE(tileAtTheCorner());
  EXPECT_EQ(FormPreview->ClientWidth(), mainForm->skImagePanel->Width());
  // The window sized in two steps, as a drag does: one layout after the message that sized it.
  layouts = mainForm->BoardLayouts();
  mainForm->SetClientWidth(mainForm->ClientWidth() - 57);
  mainForm->SetClientHeight(mainForm->ClientHeight() - 31);
  EXPECT_EQ(mainForm->BoardLayouts(), layouts);
  testsupport::Pump();
  EXPECT_EQ(mainForm->BoardLayouts() - layouts, 1);
  EXPECT_TRUE(tileAtTheCorner());
  EXPECT_EQ(FormPreview->ClientHeight(),
            FormPreview->skForm->GetTitleBarHeight() + mainForm->skImagePanel->Height());
  // Every piece was drawn again at the new size.
  const TSurface tile = testsupport::Render(mainForm->TileImage(Blank() == 0 ? 1 : 0));
  EXPECT_EQ(tile.Width(), mainForm->TilePanel(Blank() == 0 ? 1 : 0)->Width());
}

} // namespace
