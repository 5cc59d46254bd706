// The board in picture styles: pieces cut from the board picture where their tiles belong, white numbers
// merged into the pieces, pictures of every kind the class library reads, a missing or broken picture,
// fitting the board to the picture and the preview window.
#include "classlib/backend/ImageFile.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/JPEGImage.h"
#include "tests/app/GameFixture.h"

namespace {

using BoardViewTest = GameTest;

// The colour of piece K of a picture cut in 4 x 4 pieces: every piece is a flat colour of its own.
TColor PieceColor(int K) {
  return RGB(40 + (K % 4) * 60, 40 + (K / 4) * 60, K % 2 ? 200 : 30);
}

// A 300 x 300 picture of 16 flat pieces of 75 x 75.
std::unique_ptr<TBitmap> PiecesPicture() {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(300, 300);
  for (int k = 0; k < 16; ++k) {
    b->Canvas()->Brush()->SetColor(PieceColor(k));
    b->Canvas()->FillRect(TRect((k % 4) * 75, (k / 4) * 75, (k % 4 + 1) * 75, (k / 4 + 1) * 75));
  }
  return b;
}

void SavePng(TBitmap& Bitmap, const std::string& Name) {
  std::vector<uint8_t> png;
  ASSERT_TRUE(backend::EncodePng(Bitmap.Surface().Bits(), Bitmap.Width(), Bitmap.Height(),
                                 Bitmap.Surface().Stride(), png));
  std::ofstream(Name, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
}

// The centre colour of each shown tile must be the piece that tile covers in the solved order.
void ExpectPiecesInPlace(const char* What) {
  const TBoard* b = mainForm->Board();
  for (int i = 0; i < b->count; ++i) {
    const int v = b->cells[i];
    if (v == -1) continue;
    TImage* image = mainForm->TileImage(i);
    ASSERT_NE(image, nullptr) << What;
    const TSurface tile = testsupport::Render(image);
    EXPECT_EQ(testsupport::PixelAt(tile, 3, 3), PieceColor(v - 1)) << What << ": tile " << v;
  }
}

TEST_F(BoardViewTest, PictureTilesShowThePieceTheyCoverWhenSolved) {
  const auto picture = PiecesPicture();
  picture->SaveToFile(Dir.File("pieces.bmp"));
  WriteSettings("[DEFAULT]\nPuzzle Size=12\nStyle=1\nImage=pieces.bmp\n");
  StartGame();
  ASSERT_EQ(mainForm->Cols(), 4);
  ASSERT_EQ(mainForm->Style(), 1);
  ExpectPiecesInPlace("bmp");
  testsupport::RenderToPng(mainForm->skImagePanel, "game-pieces.png");
  // After a move only its two cells change, and the one that became blank hides.
  const int blank = Blank();
  const int from = blank % 4 > 0 ? blank - 1 : blank + 1;
  ClickTile(from);
  EXPECT_FALSE(mainForm->TilePanel(from)->Visible());
  EXPECT_TRUE(mainForm->TilePanel(blank)->Visible());
  ExpectPiecesInPlace("after a move");
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(BoardViewTest, BothStyleMergesTheNumbersInWhite) {
  const auto picture = PiecesPicture();
  picture->SaveToFile(Dir.File("pieces.bmp"));
  WriteSettings("[DEFAULT]\nPuzzle Size=12\nStyle=2\nImage=pieces.bmp\n");
  StartGame();
  const int cell = Blank() == 0 ? 1 : 0;
  const int v = Cells()[static_cast<size_t>(cell)];
  const TSurface tile = testsupport::Render(mainForm->TileImage(cell));
  testsupport::SavePng(tile, "game-both-tile.png");
  // The corners keep the piece; somewhere in the middle the digits come out white.
  EXPECT_EQ(testsupport::PixelAt(tile, 2, 2), PieceColor(v - 1));
  EXPECT_EQ(testsupport::PixelAt(tile, tile.Width() - 3, tile.Height() - 3), PieceColor(v - 1));
  int white = 0;
  for (int y = tile.Height() / 4; y < tile.Height() * 3 / 4; ++y)
    for (int x = tile.Width() / 4; x < tile.Width() * 3 / 4; ++x)
      white += testsupport::PixelAt(tile, x, y) == clWhite;
  EXPECT_GT(white, 10);
  // Switching styles relays the tiles; back in numbers the captions show.
  Run(mainForm->ActionChangeStyleToNumbered);
  EXPECT_EQ(CellsOnScreen(), Cells());
}

TEST_F(BoardViewTest, PicturesOfEveryReadableKindGivePieces) {
  const auto picture = PiecesPicture();
  SavePng(*picture, Dir.File("pieces.png"));
  TJPEGImage jpeg;
  jpeg.SetCompressionQuality(100);
  jpeg.Assign(picture.get());
  jpeg.SaveToFile(Dir.File("PIECES.JPEG"));
  for (const char* name : {"pieces.png", "PIECES.JPEG"}) {
    WriteSettings(std::string("[DEFAULT]\nPuzzle Size=12\nStyle=1\nImage=") + name + "\n");
    StartGame();
    ASSERT_EQ(mainForm->Style(), 1) << name;
    ASSERT_EQ(mainForm->BoardPicture()->Picture()->Bitmap()->Width(), 300) << name;
    if (std::string(name) == "pieces.png") {
      ExpectPiecesInPlace(name);
    } else { // lossy: near the piece's colour is enough
      const TSurface tile = testsupport::Render(mainForm->TileImage(Blank() == 0 ? 1 : 0));
      const TColor c = testsupport::PixelAt(tile, 10, 10);
      const TColor want = PieceColor(Cells()[Blank() == 0 ? 1 : 0] - 1);
      EXPECT_NEAR(GetRValue(c), GetRValue(want), 8) << name;
      EXPECT_NEAR(GetBValue(c), GetBValue(want), 8) << name;
    }
    CloseGame();
  }
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(BoardViewTest, AMissingOrBrokenPictureIsReportedOnceAndTheGameGoesOnInNumbers) {
  WriteSettings("[DEFAULT]\nStyle=1\n"); // no default.jpg in this folder
  StartGame();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "Error: Board image file 'default.jpg' is not found !");
  EXPECT_EQ(CellsOnScreen(), Cells());
  CloseGame();

  Boxes.clear();
  std::ofstream(Dir.File("broken.jpg")) << "this is not a picture";
  WriteSettings("[DEFAULT]\nPuzzle Size=12\nStyle=2\nImage=broken.jpg\n");
  StartGame();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("broken.jpg"), std::string::npos) << Boxes[0];
  EXPECT_EQ(CellsOnScreen(), Cells());

  // The picture style stays chosen, so a good picture can be picked; its pieces replace the numbers.
  EXPECT_EQ(mainForm->Style(), 2);
  const auto picture = PiecesPicture();
  picture->SaveToFile(Dir.File("pieces.bmp"));
  Run(mainForm->ActionChangeStyleToGraphic);
  EXPECT_EQ(Boxes.size(), 2u); // broken.jpg is read again, and reported again
  Boxes.clear();
  Picks = {Dir.File("pieces.bmp")};
  ASSERT_TRUE(Run(mainForm->ActionChangeBoardImage));
  EXPECT_EQ(mainForm->ImageFile(), Dir.File("pieces.bmp"));
  EXPECT_TRUE(Boxes.empty());
  ExpectPiecesInPlace("picked");

  // A broken pick keeps the picture in use and its name.
  Picks = {Dir.File("broken.jpg")};
  Run(mainForm->ActionChangeBoardImage);
  EXPECT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(mainForm->ImageFile(), Dir.File("pieces.bmp"));
  ExpectPiecesInPlace("after a broken pick");
  // The dialog opened in the folder of the picture in use, with every picture kind offered.
  ASSERT_EQ(Dialogs.size(), 2u);
  EXPECT_EQ(Dialogs[1].rfind(Dir.Path + "/|All (", 0), 0u) << Dialogs[1];
}

TEST_F(BoardViewTest, SizeToFitImageAndThePreviewFollowTheBoardArea) {
  TBitmap picture;
  picture.SetSize(640, 480);
  picture.SaveToFile(Dir.File("wide.bmp"));
  WriteSettings("[DEFAULT]\nStyle=1\nImage=wide.bmp\n");
  StartGame();
  const int chrome = mainForm->GetChromeHeight();
  ASSERT_TRUE(Run(mainForm->ActionSizeToFitImage));
  EXPECT_EQ(mainForm->ClientWidth(), 3 + 640 + 3);
  EXPECT_EQ(mainForm->ClientHeight(), chrome + 480);
  ASSERT_TRUE(Run(mainForm->ActionNormalSize));
  EXPECT_EQ(mainForm->ClientWidth(), 406);
  EXPECT_EQ(mainForm->ClientHeight(), chrome + 400);
  testsupport::Pump();

  ASSERT_TRUE(Run(mainForm->ActionPreview));
  EXPECT_TRUE(FormPreview->Visible());
  EXPECT_EQ(FormPreview->ClientWidth(), mainForm->skImagePanel->Width());
  EXPECT_EQ(FormPreview->ClientHeight(),
            FormPreview->skForm->GetTitleBarHeight() + mainForm->skImagePanel->Height());
  EXPECT_EQ(FormPreview->Image->Picture()->Width(), 640);
  Run(mainForm->ActionSmallSize);
  testsupport::Pump();
  EXPECT_EQ(FormPreview->ClientWidth(), mainForm->skImagePanel->Width());
  EXPECT_EQ(FormPreview->ClientHeight(),
            FormPreview->skForm->GetTitleBarHeight() + mainForm->skImagePanel->Height());

  // A new picture while the preview shows reloads it; numbers hide it.
  const auto other = PiecesPicture();
  other->SaveToFile(Dir.File("pieces.bmp"));
  Picks = {Dir.File("pieces.bmp")};
  Run(mainForm->ActionChangeBoardImage);
  EXPECT_EQ(FormPreview->Image->Picture()->Width(), 300);
  Run(mainForm->ActionChangeStyleToNumbered);
  EXPECT_FALSE(FormPreview->Visible());

  // Switching to a picture style reads the file again: a picture deleted meanwhile is reported.
  std::remove(Dir.File("pieces.bmp").c_str());
  Boxes.clear();
  Run(mainForm->ActionChangeStyleToBoth);
  EXPECT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(mainForm->Style(), 2); // the picture read before still gives pieces
}

} // namespace
