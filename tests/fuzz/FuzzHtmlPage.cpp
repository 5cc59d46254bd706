// Banner pages: whatever a server sends, its reduction is well formed, stays inside the bounds and reduces to
// itself again, and the page is reduced and laid out at a banner's size well within the banner's deadline.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "classlib/backend/Web.h"
#include "classlib/controls/CppWebBrowser.h"
#include "classlib/core/SafeHtml.h"
#include "classlib/graphics/Surface.h"

namespace {

// Far above what any page takes once reduced, far below the banner's deadline: a page over it means a bound
// is missing. Counted in the thread's own time, so that a busy machine does not make a page slow.
constexpr double PerInputMs = TCppWebBrowser::LayoutDeadlineMs / 2;

double ThreadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

[[noreturn]] void Fail(const char* What) {
  std::fprintf(stderr, "html_page: %s\n", What);
  std::abort();
}

bool IsBlock(const std::string& Name) {
  static const char* const Blocks[] = {"p",  "br", "hr", "div", "center",     "h1",    "h2", "h3", "h4", "h5",
                                       "h6", "ul", "ol", "li",  "blockquote", "table", "tr", "td", "th"};
  for (const char* b : Blocks)
    if (Name == b) return true;
  return false;
}

// Reads the reduction back: tags balance and nest no deeper than allowed, there are no more elements than
// allowed, and no word runs longer than allowed between break opportunities.
void CheckBounds(const std::string& Safe) {
  size_t depth = 0, elements = 0, text = 0;
  int run = 0;
  for (size_t i = 0; i < Safe.size();) {
    if (Safe[i] == '<') {
      const size_t end = Safe.find('>', i);
      if (end == std::string::npos) Fail("a tag is not closed");
      const bool closing = Safe[i + 1] == '/';
      const size_t nameAt = i + (closing ? 2 : 1);
      const std::string name = Safe.substr(nameAt, Safe.find_first_of(" >", nameAt) - nameAt);
      if (IsBlock(name)) run = 0;
      if (closing) {
        if (depth == 0) Fail("an end tag without its start");
        --depth;
      } else if (name != "br" && name != "hr") {
        ++depth;
      }
      if (!closing && name != "html" && name != "body") ++elements;
      if (depth > SafeHtml::MaxDepth + 2) Fail("nested too deep"); // html and body besides
      i = end + 1;
      continue;
    }
    const auto byte = static_cast<unsigned char>(Safe[i]);
    const bool zeroWidthSpace = Safe.compare(i, 3, "\xE2\x80\x8B") == 0;
    if (byte == ' ' || zeroWidthSpace) {
      run = 0;
    } else if ((byte & 0xC0) != 0x80) {
      if (++run > SafeHtml::MaxWord) Fail("a word longer than allowed");
    }
    const size_t length = Safe[i] == '&' ? Safe.find(';', i) + 1 - i : zeroWidthSpace ? 3 : 1;
    text += length;
    i += length;
  }
  if (depth != 0) Fail("elements left open");
  if (elements > static_cast<size_t>(SafeHtml::MaxElements)) Fail("more elements than allowed");
  if (text > SafeHtml::MaxText) Fail("more text than allowed");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size > TCppWebBrowser::MaxPageBytes) return 0; // never laid out: the fetch refuses it
  const std::string page(reinterpret_cast<const char*>(Data), Size);
  const std::string safe = SafeHtml::Reduce(page);
  CheckBounds(safe);
  if (SafeHtml::Reduce(safe) != safe) Fail("the reduction changes what it gave");
  // The banner's own road, timed: decoded, reduced and laid out.
  const double start = ThreadMs();
  TSurface banner(600, 64);
  backend::RenderPage(page, banner.Pixels(), 0xFFFFFF);
  if (const double took = ThreadMs() - start; took > PerInputMs) {
    std::fprintf(stderr, "html_page: %.0f ms for one page\n", took);
    std::abort();
  }
  return 0;
}
