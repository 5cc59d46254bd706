// The banner's reduction of a page to safe HTML: what a banner needs stays, everything else goes, and what
// stays is well formed and bounded however the page is built.
#include "classlib/core/SafeHtml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string Body(const std::string& Inside, const std::string& BodyAttributes = "") {
  return "<html><body" + BodyAttributes + ">" + Inside + "</body></html>";
}

std::string Repeat(const std::string& Piece, size_t Times) {
  std::string out;
  for (size_t i = 0; i < Times; ++i) out += Piece;
  return out;
}

// How deep the elements of a reduction nest, html and body included.
size_t Depth(const std::string& Html) {
  size_t depth = 0, deepest = 0;
  for (size_t at = Html.find('<'); at != std::string::npos; at = Html.find('<', at + 1)) {
    if (Html[at + 1] == '/')
      --depth;
    else if (Html.compare(at, 4, "<br>") != 0 && Html.compare(at, 4, "<hr>") != 0)
      deepest = std::max(deepest, ++depth);
  }
  return deepest;
}

size_t Count(const std::string& Text, const std::string& Piece) {
  size_t n = 0;
  for (size_t at = Text.find(Piece); at != std::string::npos; at = Text.find(Piece, at + 1)) ++n;
  return n;
}

TEST(SafeHtml, KeepsWhatABannerNeeds) {
  const std::string page =
      "<HTML><Body BGCOLOR=\"#FFFFFF\" text=black><TABLE width=\"100%\" border=1 cellspacing=\"0\" "
      "cellpadding=2 "
      "align=center><tr bgcolor=red valign=top><td bgcolor=\"#ff0000\" height=\"40\" width=50% colspan=2>"
      "<b>More</b> <i>puzzles</i> at <font face=\"Verdana, Arial\" size=\"+1\" color=\"#369\">"
      "<a href=\"http://www.tileforge.example/?a=1&amp;b=2\">TileForge</a></font></td></tr></table>"
      "<p align=right>One<br>two</p><ul><li>three</li></ul><center><h1>Four</h1></center></body></html>";
  EXPECT_EQ(SafeHtml::Reduce(page),
            Body("<table align=\"center\" width=\"100%\" border=\"1\" cellpadding=\"2\" cellspacing=\"0\">"
                 "<tr bgcolor=\"red\" valign=\"top\"><td bgcolor=\"#ff0000\" width=\"50%\" height=\"40\" "
                 "colspan=\"2\"><b>More</b> <i>puzzles</i> at <font color=\"#369\" face=\"Verdana, Arial\" "
                 "size=\"+1\"><a href=\"http://www.tileforge.example/?a=1&amp;b=2\">TileForge</a></font>"
                 "</td></tr></table><p align=\"right\">One<br>two</p><ul><li>three</li></ul><center><h1>Four"
                 "</h1></center>",
                 " bgcolor=\"#ffffff\" text=\"black\""));
}

TEST(SafeHtml, DropsWhatNamesAResourceOrRunsAndEverythingUnknown) {
  EXPECT_EQ(
      SafeHtml::Reduce("<head><title>T</title><link rel=stylesheet href=/etc/passwd>"
                       "<style>b { background: url(/dev/stdin) }</style><script>for(;;);</script></head>"
                       "<body background=/dev/stdin><img src=\"/dev/stdin\"><iframe src=x>inside</iframe>"
                       "<td style=\"background-image:url(/x)\">"
                       "<b onclick=\"x()\" style=\"font-size:999px\" class=c>bold</b>"
                       "<a href=\"file:///etc/passwd\">file</a><a href=\"javascript:x()\">js</a>"
                       "<blink>blink</blink><textarea><b>raw</textarea>"),
      Body("<b>bold</b><a>file</a><a>js</a>blink"));
  // Values outside their form are dropped, not repaired.
  EXPECT_EQ(SafeHtml::Reduce("<font color=\"red;background:url(x)\" face=\"x\\\"><img\" size=big>f</font>"),
            Body("<font>f</font>"));
  // Comments, declarations and the rest after plaintext go; so does a tag the page ends inside.
  EXPECT_EQ(SafeHtml::Reduce("a<!-- <b>c</b> -->b<!DOCTYPE html><?xml?>c<plaintext><b>d"), Body("abc"));
  EXPECT_EQ(SafeHtml::Reduce("a<b title=\"never closed"), Body("a"));
  EXPECT_EQ(SafeHtml::Reduce("a<!-- never closed <b>"), Body("a"));
}

TEST(SafeHtml, EveryNumberIsBounded) {
  EXPECT_EQ(SafeHtml::Reduce("<table cellpadding=2147483647 cellspacing=99999999999999999999 border=-1>"
                             "<tr><td width=2147483648 height=9999 colspan=2147483647 rowspan=0>x"),
            Body("<table cellpadding=\"32\" cellspacing=\"32\"><tr><td width=\"2048\" height=\"2048\" "
                 "colspan=\"4\" rowspan=\"1\">x</td></tr></table>"));
  EXPECT_EQ(SafeHtml::Reduce("<table width=4294967296%><tr><td width=50px>x"),
            Body("<table width=\"100%\"><tr><td width=\"50\">x</td></tr></table>"));
  EXPECT_EQ(SafeHtml::Reduce("<font size=99>a</font><font size=+99>b</font><font size=-99>c</font>"
                             "<font size=0>d</font>"),
            Body("<font size=\"7\">a</font><font size=\"+4\">b</font><font size=\"-2\">c</font>"
                 "<font size=\"1\">d</font>"));
}

TEST(SafeHtml, OpenElementsEndWhereABrowserEndsThem) {
  EXPECT_EQ(SafeHtml::Reduce("<p>one<p>two<div>three</div><h1>four<h2>five</h1>"),
            Body("<p>one</p><p>two</p><div>three</div><h1>four</h1><h2>five</h2>"));
  EXPECT_EQ(SafeHtml::Reduce("<ul><li>a<li>b<ul><li>c</ul></ul>"),
            Body("<ul><li>a</li><li>b<ul><li>c</li></ul></li></ul>"));
  EXPECT_EQ(SafeHtml::Reduce("<table><td>1<td>2<tr><td><b>3</table>after"),
            Body("<table><tr><td>1</td><td>2</td></tr><tr><td><b>3</b></td></tr></table>after"));
  // Rows and cells outside a table, and anything but rows straight in a table, lose their tags.
  EXPECT_EQ(SafeHtml::Reduce("<td>a</td><tr>b<table>c<b>d</b><tr>e<td>f</table>"),
            Body("ab<table><tr><td>f</td></tr></table>"));
  // An end tag never closes what lies outside the cell it is in.
  EXPECT_EQ(SafeHtml::Reduce("<b><table><tr><td>x</b>y</td></tr></table>z</b>"),
            Body("<b><table><tr><td>xy</td></tr></table>z</b>"));
}

TEST(SafeHtml, DeepNestingManyElementsAndTablesAreCut) {
  const std::string deep = SafeHtml::Reduce(Repeat("<div>", 100000) + "x");
  EXPECT_EQ(Count(deep, "<div>"), SafeHtml::MaxDepth);
  EXPECT_NE(deep.find(">x<"), std::string::npos); // the text stays
  for (const char* piece : {"<ul><li>", "<blockquote>", "<b>", "<table><tr><td>", "<span><font>"})
    EXPECT_LE(Depth(SafeHtml::Reduce(Repeat(piece, 100000) + "x")), SafeHtml::MaxDepth + 2) << piece;

  const std::string many = SafeHtml::Reduce(Repeat("<b>a</b>", 5000));
  EXPECT_EQ(Count(many, "<b>"), static_cast<size_t>(SafeHtml::MaxElements));
  EXPECT_EQ(Count(many, "a"), 5000u);

  const std::string tables = SafeHtml::Reduce(Repeat("<table><tr><td>", 1000) + "x");
  EXPECT_EQ(Count(tables, "<table>"), static_cast<size_t>(SafeHtml::MaxTableDepth));
  const std::string cells = SafeHtml::Reduce("<table>" + Repeat("<tr><td>x", 1000));
  EXPECT_EQ(Count(cells, "<tr>") + Count(cells, "<td>"), static_cast<size_t>(SafeHtml::MaxTableParts));
}

TEST(SafeHtml, LongWordsAreBrokenAndTextIsBounded) {
  const std::string zwsp = "\xE2\x80\x8B";
  const std::string word = std::string(SafeHtml::MaxWord, 'w');
  EXPECT_EQ(SafeHtml::Reduce(word + "ww"), Body(word + zwsp + "ww"));
  // A word runs on across inline tags, not across blocks; white space and a zero-width space end it.
  EXPECT_EQ(SafeHtml::Reduce(word + "<b>w</b>"), Body(word + "<b>" + zwsp + "w</b>"));
  EXPECT_EQ(SafeHtml::Reduce(word + "<br>w"), Body(word + "<br>w"));
  EXPECT_EQ(SafeHtml::Reduce(word + " \n\t w"), Body(word + " w"));
  EXPECT_EQ(SafeHtml::Reduce(word + zwsp + "w"), Body(word + zwsp + "w"));
  // Characters, not bytes, are counted, and a break never splits one.
  const std::string accents = Repeat("\xC3\xA9", SafeHtml::MaxWord);
  EXPECT_EQ(SafeHtml::Reduce(accents + "\xC3\xA9"), Body(accents + zwsp + "\xC3\xA9"));

  const std::string huge = SafeHtml::Reduce(std::string(1000000, 'w'));
  EXPECT_LE(huge.size(), SafeHtml::MaxText + Body("").size());
  EXPECT_GT(huge.size(), SafeHtml::MaxText - 8);
}

TEST(SafeHtml, ReferencesAndBadBytesBecomeCharactersThatAreWrittenSafely) {
  EXPECT_EQ(
      SafeHtml::Reduce("&lt;b&gt; &amp; &quot;&#65;&#x42;&#0;&#xD800;&#99999999999;&nbsp;&copy&bogus; &"),
      Body("&lt;b&gt; &amp; \"AB\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xC2\xA0&amp;copy&amp;bogus; &amp;"));
  EXPECT_EQ(SafeHtml::Reduce("a\xC0\xAF"
                             "b\xED\xA0\x80"
                             "c\xF4\x90\x80\x80"
                             "d\xE2\x82"),
            Body("a\xEF\xBF\xBD\xEF\xBF\xBD"
                 "b\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
                 "c\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
                 "d\xEF\xBF\xBD\xEF\xBF\xBD"));
  EXPECT_EQ(SafeHtml::Reduce(std::string("a\0b\x01\x7F", 5) + "\xC2\x85" + "c"), Body("abc"));
  EXPECT_EQ(SafeHtml::Reduce("<a href='http://x.example/\"><script>'>q</a>"), Body("<a>q</a>"));
  EXPECT_EQ(SafeHtml::Reduce("a < b > c"), Body("a &lt; b &gt; c"));
}

TEST(SafeHtml, WhatItGivesReducesToItself) {
  for (const std::string& page :
       {Repeat("<b>", 2000) + "x", Repeat("<table><tr><td>", 500) + "x", "<table>" + Repeat("<td>x", 500),
        Repeat("<p>a<li>b<h1>c", 400), std::string(20000, 'w') + Repeat(" <i>\xC3\xA9", 9000),
        std::string("<body bgcolor=red><p>x<body text=blue>")}) {
    const std::string once = SafeHtml::Reduce(page);
    EXPECT_EQ(SafeHtml::Reduce(once), once) << page.substr(0, 40);
  }
}

} // namespace
