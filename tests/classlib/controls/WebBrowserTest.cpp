// The web-browser control against a small HTTP server of the test's own: a page arrives, is laid out in the
// control and announced; failures show nothing and announce nothing; Refresh tries again; pages over the
// size limit are refused. Hostile pages (deep nesting, huge words and numbers, local pictures, a server that
// drips) neither hold the user-interface thread nor make the program open a local file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "classlib/backend/Web.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/CppWebBrowser.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Timer.h"
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
  // Once the dropped fetch's reply is gone and the loop has run, nothing of it can arrive any more.
  ASSERT_TRUE(PumpUntil([] { return backend::OpenHttpReplies() == 0; }));
  Application->ProcessMessages();
  EXPECT_EQ(completed, std::vector<AnsiString>{server.Url("/fast")});
  EXPECT_EQ(browser->DocumentSource(), RedPage);

  // A control freed while its page is on the way is never called back.
  browser->Navigate(server.Url("/slow"));
  delete browser;
  ASSERT_TRUE(PumpUntil([] { return backend::OpenHttpReplies() == 0; }));
  Application->ProcessMessages();
  EXPECT_EQ(completed.size(), 1u);
}

// ----- Hostile pages

// The user-interface thread's longest silence: a timer that beats every millisecond or two notes the longest
// time between two beats while the loop runs.
class THeartbeat {
 public:
  THeartbeat() : FTimer(nullptr) {
    FTimer.SetInterval(1);
    FTimer.OnTimer = [this](TObject*) { Beat(); };
    Restart();
  }
  void Restart() {
    FLast = std::chrono::steady_clock::now();
    FLongest = {};
  }
  void Beat() {
    const auto now = std::chrono::steady_clock::now();
    FLongest = std::max(FLongest, now - FLast);
    FLast = now;
  }
  long long LongestMs() {
    Beat(); // the silence up to now counts too
    return std::chrono::duration_cast<std::chrono::milliseconds>(FLongest).count();
  }

 private:
  TTimer FTimer;
  std::chrono::steady_clock::time_point FLast;
  std::chrono::steady_clock::duration FLongest{};
};

// The old layout held the thread for seconds to minutes on these pages; the loop itself, under the
// sanitizers on a busy machine, stays far below this.
constexpr long long StallBoundMs = 250;

// Files a page names, watched: a picture file and a FIFO that would hold whoever opened it for reading.
class TCanaries {
 public:
  TCanaries() {
    char folder[] = "/tmp/quendrel-canaryXXXXXX";
    FFolder = mkdtemp(folder);
    std::ofstream(Picture(), std::ios::binary) << "\x89PNG\r\n\x1a\n";
    mkfifo(Fifo().c_str(), 0600);
    FWatch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    inotify_add_watch(FWatch, FFolder.c_str(), IN_OPEN | IN_ACCESS);
  }
  ~TCanaries() {
    close(FWatch);
    std::filesystem::remove_all(FFolder);
  }
  std::string Picture() const { return FFolder + "/canary.png"; }
  std::string Fifo() const { return FFolder + "/canary.fifo"; }
  // What opened or read the canaries since they were made; an opener blocked on the FIFO is set free.
  std::vector<std::string> Touched() const {
    std::vector<std::string> touched;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = read(FWatch, buffer, sizeof buffer)) > 0;)
      for (char* at = buffer; at < buffer + n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(at);
        touched.push_back(e->len ? e->name : FFolder);
        at += sizeof(inotify_event) + e->len;
      }
    // Opening the FIFO for writing without waiting succeeds only while someone waits to read it.
    const int writer = open(Fifo().c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) {
      touched.push_back("a reader of canary.fifo");
      close(writer);
    } else {
      EXPECT_EQ(errno, ENXIO);
    }
    return touched;
  }

 private:
  std::string FFolder;
  int FWatch = -1;
};

std::string Repeat(const std::string& Piece, size_t Times, const std::string& Tail = "x") {
  std::string page;
  page.reserve(Piece.size() * Times + Tail.size());
  for (size_t i = 0; i < Times; ++i) page += Piece;
  return page + Tail;
}

std::string LocalPicturesPage(const std::string& Name) {
  return "<html><head><link rel=\"stylesheet\" href=\"" + Name + "\"></head><body background=\"" + Name +
         "\"><img src=\"" + Name + "\"><img src=\"file://" + Name + "\"><table background=\"" + Name +
         "\"><tr><td style=\"background-image: url(" + Name + ")\">x</td></tr></table></body></html>";
}

TEST_F(WebBrowserTest, HostilePagesNeitherHoldTheUserInterfaceThreadNorOpenLocalFiles) {
  const TCanaries canaries;
  const std::pair<const char*, std::string> pages[] = {
      {"nested b", Repeat("<b>", 100000)},
      {"nested div", Repeat("<div>", 100000)},
      {"nested table", Repeat("<table><tr><td>", 60000)},
      {"nested ul li", Repeat("<ul><li>", 100000)},
      {"nested blockquote", Repeat("<blockquote>", 80000)},
      {"nested span", Repeat("<span>", 100000)},
      {"unclosed table tr td", "<table>" + Repeat("<tr><td>x", 100000, "")},
      {"1 MB word", Repeat("w", 1000000, "")},
      {"cellpadding", "<table cellpadding=2147483647><tr><td>x</td></tr></table>"},
      {"cellspacing", "<table cellspacing=2147483647><tr><td>x</td></tr></table>"},
      {"local picture", LocalPicturesPage(canaries.Picture())},
      {"FIFO picture", LocalPicturesPage(canaries.Fifo())},
  };
  std::string page;
  LocalHttpServer server([&](const std::string&) { return HttpAnswer{200, page}; });
  THeartbeat heartbeat;
  // Whether a page is shown in time is another test's; a sanitizer build on a busy machine is slow.
  browser->SetDeadlines(TCppWebBrowser::FetchDeadlineMs, 60000);
  for (const auto& [name, body] : pages) {
    ASSERT_LE(body.size(), TCppWebBrowser::MaxPageBytes) << name;
    page = body;
    completed.clear();
    heartbeat.Restart();
    browser->Navigate(server.Url("/banner.htm"));
    ASSERT_TRUE(PumpUntil([&] { return !browser->Busy(); })) << name;
    EXPECT_EQ(completed.size(), 1u) << name << ": the reduced page is laid out in time";
    // Shown too: the picture is drawn in the loop like any paint.
    testsupport::Pump();
    const long long stall = heartbeat.LongestMs();
    std::printf("[ stall    ] %-22s %lld ms\n", name, stall);
    EXPECT_LT(stall, StallBoundMs) << name;
    EXPECT_TRUE(browser->DocumentSource() == body) << name; // not printed: a megabyte
  }
  EXPECT_EQ(canaries.Touched(), std::vector<std::string>{});
}

TEST_F(WebBrowserTest, NothingTheHtmlNamesIsLoadedEvenBeforeItIsReduced) {
  const TCanaries canaries;
  TSurface surface(200, 60);
  backend::RenderHtml(LocalPicturesPage(canaries.Picture()), surface.Pixels(), 0xFFFFFF);
  EXPECT_EQ(canaries.Touched(), std::vector<std::string>{});
}

TEST_F(WebBrowserTest, AFetchEndsAtItsDeadlineAndARefreshClosesTheOneBefore) {
  std::atomic<bool> drip{true};
  LocalHttpServer server([&](const std::string&) {
    if (!drip) return HttpAnswer{200, RedPage};
    HttpAnswer a{200, "<html><body>never done"};
    a.SendLength = false;
    a.DripMs = 20;
    return a;
  });
  THeartbeat heartbeat;

  // A byte every 20 ms keeps the silence limit from ever firing; the deadline ends the fetch.
  browser->SetDeadlines(1000, TCppWebBrowser::LayoutDeadlineMs);
  browser->Navigate(server.Url("/banner.htm"));
  ASSERT_TRUE(PumpUntil([&] { return !browser->Busy(); }));
  ASSERT_TRUE(PumpUntil([&] { return server.HungUp() == 1; }));
  EXPECT_TRUE(completed.empty());

  // Each refresh closes the fetch before it. The server answers one connection at a time, so the last
  // refresh's page comes only once every drip before it has been hung up on: the deadline, now far beyond
  // the wait, plays no part.
  browser->SetDeadlines(10 * 60 * 1000, TCppWebBrowser::LayoutDeadlineMs);
  browser->Refresh();
  ASSERT_TRUE(PumpUntil([&] { return server.Requests().size() == 2; }));
  for (int i = 0; i < 6; ++i) {
    browser->Refresh();
    ASSERT_TRUE(PumpUntil([] { return backend::OpenHttpReplies() == 1; })) << "connections pile up";
  }
  drip = false;
  browser->Refresh();
  ASSERT_TRUE(PumpUntil([&] { return !completed.empty(); }));
  EXPECT_EQ(browser->DocumentSource(), RedPage);
  ASSERT_TRUE(PumpUntil([] { return backend::OpenHttpReplies() == 0; }));
  const long long stall = heartbeat.LongestMs();
  std::printf("[ stall    ] %-22s %lld ms\n", "drip", stall);
  EXPECT_LT(stall, StallBoundMs);
}

TEST_F(WebBrowserTest, APageNotLaidOutWithinItsDeadlineIsNotShown) {
  LocalHttpServer server([](const std::string&) { return HttpAnswer{200, RedPage}; });
  browser->SetDeadlines(TCppWebBrowser::FetchDeadlineMs, 0);
  browser->Navigate(server.Url("/banner.htm"));
  ASSERT_TRUE(PumpUntil([&] { return !browser->Busy(); }));
  testsupport::Pump();
  EXPECT_TRUE(completed.empty());
  EXPECT_TRUE(browser->DocumentSource().empty());
  EXPECT_EQ(testsupport::PixelAt(testsupport::Render(browser), 100, 8), clWhite);

  browser->SetDeadlines(TCppWebBrowser::FetchDeadlineMs, TCppWebBrowser::LayoutDeadlineMs);
  browser->Refresh();
  ASSERT_TRUE(PumpUntil([&] { return !completed.empty(); }));
  EXPECT_EQ(testsupport::PixelAt(testsupport::Render(browser), 100, 8), clRed);

  // At a new size the old picture stands in until the page is laid out again, off the thread.
  form->SetBounds(0, 0, 400, 80);
  browser->SetBounds(0, 0, 300, 60);
  EXPECT_EQ(testsupport::PixelAt(testsupport::Render(browser), 250, 8), clWhite);
  ASSERT_TRUE(PumpUntil([&] { return testsupport::PixelAt(testsupport::Render(browser), 250, 8) == clRed; }));
  EXPECT_EQ(completed.size(), 1u); // the same page, not announced again
}

} // namespace
