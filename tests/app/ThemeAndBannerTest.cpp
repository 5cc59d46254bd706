// Themes chosen through the theme dialog reach all three windows; the About and Preview windows; "Check
// For Updates"; the banner: hidden until its page has arrived, reloaded every two minutes, and kept hidden
// while its page cannot be fetched; a page built to freeze its layout neither holds the game nor keeps it
// from closing.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/about.h"
#include "app/preview.h"
#include "classlib/backend/Backend.h"
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

// Tables nested 5,000 deep, then a word of 100,000 letters (the web-browser control's own tests take the
// full-sized pages).
std::string HostilePage() {
  std::string page;
  for (int i = 0; i < 5000; ++i) page += "<table cellpadding=2147483647><tr><td>";
  return page + std::string(100000, 'w');
}

// Whether a page is shown in time is the web-browser control's test; a sanitizer build on a busy machine is
// slow. The page is handed to its layout only once it has arrived, in the loop.
void WaitLongForTheLayout() {
  mainForm->CppWebBrowserBanner->SetDeadlines(TCppWebBrowser::FetchDeadlineMs, 60000);
}

TEST_F(BannerTest, APageBuiltToFreezeItsLayoutShowsReducedAndPaintsAtOnce) {
  const std::string page = HostilePage();
  testsupport::LocalHttpServer server([&](const std::string&) { return testsupport::HttpAnswer{200, page}; });
  BannerPageURL = server.Url("/quendrel/banner.htm");
  StartGame();
  WaitLongForTheLayout();
  TCppWebBrowser* banner = mainForm->CppWebBrowserBanner;
  ASSERT_TRUE(PumpUntil([&] { return banner->Visible(); }));
  EXPECT_TRUE(banner->DocumentSource() == page); // not printed: a hundred kilobytes
  // Painting the banner only copies the picture laid out elsewhere (the old layout took minutes here).
  const auto start = std::chrono::steady_clock::now();
  testsupport::Render(mainForm->skImagePanelBanner);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
}

// The program's own end, as the player meets it: Alt+F4 with a hostile banner page shown, or still on its
// way.
[[noreturn]] void ShowAHostileBannerAndClose(const std::string& Folder, bool WaitForTheBanner) {
  SetCurrentDir(Folder);
  const std::string page = HostilePage();
  // Left running: the program ends under it.
  auto* server = new testsupport::LocalHttpServer([page](const std::string&) {
    return testsupport::HttpAnswer{200, page};
  });
  BannerPageURL = server->Url("/quendrel/banner.htm");
  Application->Initialize();
  Application->SetTitle("Quendrel v2.0");
  Application->CreateForm(mainForm);
  Application->CreateForm(FormAbout);
  Application->CreateForm(FormPreview);
  WaitLongForTheLayout();
  bool closing = false;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  Application->OnIdle = [&](TObject*, bool&) {
    if (closing) return;
    if (WaitForTheBanner && !mainForm->CppWebBrowserBanner->Visible()) {
      if (std::chrono::steady_clock::now() < giveUp) return;
      std::fputs("the banner never showed\n", stderr);
      std::exit(3);
    }
    closing = true;
    testsupport::PressKey(VK_F4, backend::ModAlt);
  };
  Application->Run();
  std::fputs("the loop returned\n", stderr);
  std::exit(0);
}

TEST(BannerExitDeathTest, AltF4ClosesTheGameWithAHostileBannerShown) {
  TempFolder folder;
  EXPECT_EXIT(ShowAHostileBannerAndClose(folder.Path, true), ::testing::ExitedWithCode(0),
              "the loop returned");
}

TEST(BannerExitDeathTest, AltF4ClosesTheGameWithAHostileBannerOnItsWay) {
  TempFolder folder;
  EXPECT_EXIT(ShowAHostileBannerAndClose(folder.Path, false), ::testing::ExitedWithCode(0),
              "the loop returned");
}

} // namespace
