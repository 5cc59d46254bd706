// The web-browser control against a small HTTP server of the test's own: a page arrives, is laid out in the
// control and announced; failures show nothing and announce nothing; Refresh tries again; pages over the
// size limit are refused.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "classlib/controls/Application.h"
#include "classlib/controls/CppWebBrowser.h"
#include "classlib/controls/Form.h"
#include "tests/support/HttpServer.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::HttpAnswer;
using testsupport::LocalHttpServer;

// Runs the loop until Done holds or a generous deadline passes.
bool PumpUntil(const std::function<bool()>& Done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!Done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

const char RedPage[] = "<html><body><table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\">"
                       "<tr><td bgcolor=\"#ff0000\" height=\"30\">Play more puzzles</td></tr></table>"
                       "</body></html>";

class WebBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 80);
    browser = new TCppWebBrowser(form.get()); // owned by the form
    browser->SetParent(form.get());
    browser->SetBounds(0, 0, 200, 60);
    browser->OnDocumentComplete = [this](TObject*, TObject*, const AnsiString& Url) {
      completed.push_back(Url);
    };
    form->Show();
  }
  void TearDown() override { form.reset(); }

  std::unique_ptr<TForm> form;
  TCppWebBrowser* browser = nullptr;
  std::vector<AnsiString> completed;
};

TEST_F(WebBrowserTest, APageArrivesIsDrawnAndAnnouncedOnce) {
  LocalHttpServer server([](const std::string&) { return HttpAnswer{200, RedPage}; });
  const AnsiString url = server.Url("/quendrel/banner.htm");
  browser->Navigate(url);
  EXPECT_TRUE(completed.empty()); // never from inside Navigate
  ASSERT_TRUE(PumpUntil([&] { return !completed.empty(); }));
  EXPECT_EQ(completed, std::vector<AnsiString>{url});
  EXPECT_EQ(browser->DocumentSource(), RedPage);
  EXPECT_FALSE(browser->Busy());

  const TSurface shot = testsupport::Render(browser);
  EXPECT_EQ(testsupport::PixelAt(shot, 100, 8), clRed);
  EXPECT_EQ(testsupport::PixelAt(shot, 100, 55), clWhite); // below the table: the page's background
  testsupport::SavePng(shot, "webbrowser-page.png");

  // Refresh fetches the same address again and announces it again.
  browser->Refresh();
  ASSERT_TRUE(PumpUntil([&] { return completed.size() == 2; }));
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(WebBrowserTest, FailuresShowNothingAnnounceNothingAndRefreshTriesAgain) {
  int asked = 0;
  LocalHttpServer server([&](const std::string& path) {
    if (path == "/missing") return HttpAnswer{404, "<html><body>Not here</body></html>"};
    // The banner page is down the first time and up the second.
    return ++asked == 1 ? HttpAnswer{503, "<html><body>Down</body></html>"} : HttpAnswer{200, RedPage};
  });

  browser->Navigate(server.Url("/missing"));
  ASSERT_TRUE(PumpUntil([&] { return !browser->Busy(); }));
  Application->ProcessMessages();
  EXPECT_TRUE(completed.empty());
  EXPECT_TRUE(browser->DocumentSource().empty());
  EXPECT_EQ(testsupport::PixelAt(testsupport::Render(browser), 100, 15), clWhite); // no error page

  browser->Navigate(server.Url("/banner.htm"));
  ASSERT_TRUE(PumpUntil([&] { return !browser->Busy(); }));
  Application->ProcessMessages();
  EXPECT_TRUE(completed.empty());
  browser->Refresh();
  ASSERT_TRUE(PumpUntil([&] { return !completed.empty(); }));
  EXPECT_EQ(testsupport::PixelAt(testsupport::Render(browser), 100, 8), clRed);

  // A port nobody listens on fails the same quiet way; so does an address that is not a web address.
  int closedPort = 0;
  {
    LocalHttpServer gone([](const std::string&) { return HttpAnswer{}; });
    closedPort = gone.Port();
  }
  completed.clear();
  browser->Navigate("http://127.0.0.1:" + std::to_string(closedPort) + "/banner.htm");
  ASSERT_TRUE(PumpUntil([&] { return !browser->Busy(); }));
  browser->Navigate("file:///etc/passwd");
  ASSERT_TRUE(PumpUntil([&] { return !browser->Busy(); }));
  Application->ProcessMessages();
  EXPECT_TRUE(completed.empty());
  EXPECT_TRUE(browser->DocumentSource().empty());
}

TEST_F(WebBrowserTest, PagesOverTheLimitAreRefusedWithOrWithoutALength) {
  const std::string huge(TCppWebBrowser::MaxPageBytes + 10, 'x');
  LocalHttpServer server([&](const std::string& path) {
    HttpAnswer a{200, "<html><body>" + huge + "</body></html>"};
    a.SendLength = path == "/with-length";
    return a;
  });
  for (const char* path : {"/with-length", "/without-length"}) {
    browser->Navigate(server.Url(path));
    ASSERT_TRUE(PumpUntil([&] { return !browser->Busy(); })) << path;
    Application->ProcessMessages();
    EXPECT_TRUE(completed.empty()) << path;
    EXPECT_TRUE(browser->DocumentSource().empty()) << path;
  }
}

TEST_F(WebBrowserTest, ANewNavigationDropsTheOneInProgressAndFreeingTheControlCancels) {
  LocalHttpServer server([](const std::string& path) {
    if (path == "/slow") std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return HttpAnswer{200, path == "/slow" ? "<html><body>slow</body></html>" : RedPage};
  });
  browser->Navigate(server.Url("/slow"));
  browser->Navigate(server.Url("/fast"));
  ASSERT_TRUE(PumpUntil([&] { return !completed.empty(); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  Application->ProcessMessages();
  EXPECT_EQ(completed, std::vector<AnsiString>{server.Url("/fast")});
  EXPECT_EQ(browser->DocumentSource(), RedPage);

  // A control freed while its page is on the way is never called back.
  browser->Navigate(server.Url("/slow"));
  delete browser;
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  Application->ProcessMessages();
  EXPECT_EQ(completed.size(), 1u);
}

} // namespace
