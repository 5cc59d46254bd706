// Themes chosen through the theme dialog reach all three windows; the About and Preview windows; "Check
// For Updates"; the banner: hidden until its page has arrived, reloaded every two minutes, and kept hidden
// while its page cannot be fetched.
#include "classlib/controls/CppWebBrowser.h"
#include "classlib/core/Filer.h"
#include "classlib/core/Resources.h"
#include "skin/SKTitleBar.h"
#include "tests/app/GameFixture.h"
#include "tests/support/HttpServer.h"

namespace {

using ThemeTest = GameTest;
using BannerTest = GameTest;

std::string SampleTheme(const char* Name) {
  return std::string(QUENDREL_PROGRAM_DIR) + "/themes/" + Name + ".skn";
}

TEST_F(ThemeTest, AChosenThemeRestylesAllThreeWindowsEvenHiddenOnes) {
  StartGame();
  const TColor builtInBorder = mainForm->skPanelBoard->BorderColor();
  Picks = {SampleTheme("Sunset")};
  ASSERT_TRUE(Run(mainForm->ActionChangeTheme));
  ASSERT_EQ(Dialogs.size(), 1u);
  EXPECT_EQ(Dialogs[0], ExtractFilePath(Application->ExeName()) + "themes|Theme|*.skn");
  EXPECT_EQ(mainForm->ThemeFile(), SampleTheme("Sunset"));
  for (TskFileTheme* theme : {mainForm->skFileTheme, FormAbout->skFileTheme, FormPreview->skFileTheme}) {
    EXPECT_EQ(theme->ThemeFile(), SampleTheme("Sunset"));
    EXPECT_TRUE(theme->CanUse());
  }
  EXPECT_FALSE(FormAbout->Visible());
  // The listed components read their look from the file now.
  EXPECT_EQ(mainForm->skPanelBoard->BorderColor(), mainForm->skFileTheme->GetColor(25));
  EXPECT_NE(mainForm->skPanelBoard->BorderColor(), builtInBorder);
  EXPECT_EQ(FormAbout->skPanel->BorderColor(), FormAbout->skFileTheme->GetColor(25));
  EXPECT_EQ(mainForm->skButtonNext->FileTheme(), mainForm->skFileTheme);
  testsupport::RenderToPng(mainForm, "game-theme-sunset.png");

  // Cancelling the dialog changes nothing.
  Picks = {""};
  Run(mainForm->ActionChangeTheme);
  EXPECT_EQ(mainForm->ThemeFile(), SampleTheme("Sunset"));

  // A file that is no theme is refused with the library's message; the theme in use stays.
  std::ofstream(Dir.File("fake.skn")) << "no theme";
  Picks = {Dir.File("fake.skn")};
  try {
    Run(mainForm->ActionChangeTheme);
    ADD_FAILURE() << "no error for a file that is no theme";
  } catch (Exception& e) {
    EXPECT_EQ(e.Message, "Invalid skin file for SkinKit!");
  }
  EXPECT_EQ(mainForm->ThemeFile(), SampleTheme("Sunset"));
  CloseGame();
  EXPECT_EQ(Setting("Theme"), SampleTheme("Sunset"));

  // The saved theme applies to all three windows when the game shows again.
  StartGame();
  EXPECT_EQ(FormPreview->skFileTheme->ThemeFile(), SampleTheme("Sunset"));
  EXPECT_EQ(mainForm->skPanelBoard->BorderColor(), mainForm->skFileTheme->GetColor(25));
}

// The title-bar sections that a window's form resource stores for its frame, read by the form reader into a
// title bar of their own that keeps them.
std::unique_ptr<TskTitleBar> StoredTitleBarSections(const char* Resource) {
  TResourceStream stream(Resource, RT_RCDATA);
  const std::string text(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
  const size_t frame = text.find("object skForm: TskForm");
  const size_t sections = text.find("TitleBarSections = <", frame);
  if (frame == std::string::npos || sections == std::string::npos) return nullptr;
  const size_t begin = text.find('<', sections), end = text.find('>', begin);
  auto bar = std::make_unique<TskTitleBar>(nullptr);
  bar->SetCustom(true);
  TReader reader(text.c_str() + begin, end + 1 - begin);
  reader.ReadCollection(bar->Sections());
  return bar;
}

TEST_F(ThemeTest, EachWindowsFrameStoresItsLeftRightAndClientTitleBarSections) {
  for (const char* resource : {"TMAINFORM", "TFORMABOUT", "TFORMPREVIEW"}) {
    const auto bar = StoredTitleBarSections(resource);
    ASSERT_NE(bar, nullptr) << resource;
    TskTitleBarSections* sections = bar->Sections();
    ASSERT_EQ(sections->Count(), 3) << resource;
    const TskTitleBarSection *left = sections->Items(0), *right = sections->Items(1),
                             *client = sections->Items(2);
    EXPECT_EQ(left->Align(), TskTitleBarAlign::skLeft) << resource;
    EXPECT_TRUE(left->AutoSize()) << resource;
    EXPECT_EQ(left->Width(), 57) << resource;
    EXPECT_EQ(right->Align(), TskTitleBarAlign::skRight) << resource;
    EXPECT_TRUE(right->AutoSize()) << resource;
    EXPECT_EQ(right->Width(), 156) << resource;
    EXPECT_EQ(client->Align(), TskTitleBarAlign::skClient) << resource;
    EXPECT_TRUE(client->Stretch()) << resource;
  }
}

TEST_F(ThemeTest, AboutShowsModallyAndItsLinkOpensTheMakersSite) {
  StartGame();
  // The About window closes itself once it is up.
  bool sawAbout = false;
  Application->OnIdle = [&](TObject*, bool&) {
    if (FormAbout->Visible() && FormAbout->FormState().Contains(fsModal)) {
      sawAbout = true;
      testsupport::RenderToPng(FormAbout, "game-about.png");
      FormAbout->SetModalResult(mrOk);
    }
  };
  ASSERT_TRUE(Run(mainForm->ActionAbout));
  Application->OnIdle = nullptr;
  EXPECT_TRUE(sawAbout);
  EXPECT_FALSE(FormAbout->Visible());
  EXPECT_EQ(FormAbout->skPanel->Caption(), "Quendrel v2.0");
  // The maker's logo comes with the window's form resource.
  auto* logo = dynamic_cast<TImage*>(FormAbout->FindComponent("ImageLogo"));
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->Picture()->Width(), 75);
  EXPECT_EQ(logo->Picture()->Height(), 67);

  FormAbout->Show();
  testsupport::Click(FormAbout->Label6, 5, 5);
  EXPECT_EQ(Opened, std::vector<std::string>{FormAbout->Label6->Caption()});
  EXPECT_EQ(FormAbout->Label6->Caption().rfind("http://", 0), 0u);
  FormAbout->Hide();

  // "Check For Updates", as a command and as the link above the banner, opens the maker's home page.
  Opened.clear();
  Run(mainForm->ActionCheckForUpdates);
  TLabel* link = mainForm->LabelCheckForUpdate;
  testsupport::Click(link, link->Width() - 5, link->Height() - 4);
  EXPECT_EQ(Opened, (std::vector<std::string>{MakerHomeURL, MakerHomeURL}));
}

const char BannerPage[] = "<html><body bgcolor=\"#ffffff\"><table width=\"100%\" cellspacing=\"0\">"
                          "<tr><td bgcolor=\"#ff0000\" height=\"40\"><b>More puzzles at TileForge</b></td>"
                          "</tr></table></body></html>";

TEST_F(BannerTest, TheBannerShowsOnceItsPageHasArrivedAndHidesWhileItReloads) {
  testsupport::LocalHttpServer server([](const std::string&) {
    return testsupport::HttpAnswer{200, BannerPage};
  });
  BannerPageURL = server.Url("/quendrel/banner.htm");
  testsupport::ManualClock clock;
  StartGame();
  TCppWebBrowser* banner = mainForm->CppWebBrowserBanner;
  EXPECT_EQ(mainForm->skImagePanelBanner->Height(), 64);
  ASSERT_TRUE(PumpUntil([&] { return banner->Visible(); }));
  EXPECT_EQ(server.Requests(), std::vector<std::string>{"/quendrel/banner.htm"});
  const TSurface shot = testsupport::Render(mainForm->skImagePanelBanner);
  testsupport::SavePng(shot, "game-banner.png");
  EXPECT_EQ(testsupport::PixelAt(shot, shot.Width() - 12, 6), clRed);

  // Each reload hides the banner until the page is back.
  mainForm->TimerBannerTimer(nullptr);
  EXPECT_FALSE(banner->Visible());
  ASSERT_TRUE(PumpUntil([&] { return banner->Visible(); }));
  EXPECT_EQ(server.Requests().size(), 2u);
  // The timer does that every two minutes.
  clock.Advance(119000);
  EXPECT_EQ(server.Requests().size(), 2u);
  clock.Advance(1000);
  ASSERT_TRUE(PumpUntil([&] { return server.Requests().size() == 3 && banner->Visible(); }));
}

TEST_F(BannerTest, AnUnreachablePageKeepsTheBannerHiddenAndTheNextReloadTriesAgain) {
  int asked = 0;
  testsupport::LocalHttpServer server([&](const std::string&) {
    return ++asked == 1 ? testsupport::HttpAnswer{500, "<html><body>Server error</body></html>"}
                        : testsupport::HttpAnswer{200, BannerPage};
  });
  BannerPageURL = server.Url("/quendrel/banner.htm");
  testsupport::ManualClock clock;
  StartGame();
  TCppWebBrowser* banner = mainForm->CppWebBrowserBanner;
  ASSERT_TRUE(PumpUntil([&] { return asked == 1 && !banner->Busy(); }));
  testsupport::Pump();
  EXPECT_FALSE(banner->Visible());
  EXPECT_TRUE(banner->DocumentSource().empty()); // no error page in the game window
  EXPECT_TRUE(Boxes.empty());

  clock.Advance(120000);
  ASSERT_TRUE(PumpUntil([&] { return banner->Visible(); }));
  EXPECT_EQ(asked, 2);
}

} // namespace
