#pragma once
// A page from the network reduced to the small part of HTML a banner needs, before anything lays it out.
// What comes out is well formed (every element closed, in the order opened), holds only the tags and
// attributes that SafeHtml.cpp lists, names no resource to load (no pictures, style sheets, scripts or
// frames), and stays inside the bounds below whatever the page holds, so that laying it out costs what the
// bounds allow and never what the page asks for. Text is UTF-8 in and out; a malformed sequence becomes
// U+FFFD. Reducing what Reduce gave answers the same page again.
#include <cstddef>
#include <string>
#include <string_view>

namespace SafeHtml {

constexpr size_t MaxDepth = 24;      // elements open at once
constexpr int MaxTableDepth = 2;     // tables within tables
constexpr int MaxTableParts = 96;    // rows and cells, of all tables together
constexpr int MaxElements = 1000;    // elements kept; the rest lose their tags but keep their text
constexpr size_t MaxText = 16384;    // bytes of text kept
constexpr int MaxWord = 64;          // characters without a break opportunity; a longer word is broken
constexpr int MaxPixels = 2048;      // widths and heights
constexpr int MaxCellSpace = 32;     // cell padding and spacing
constexpr int MaxBorder = 8;         // table borders
constexpr int MaxSpan = 4;           // column and row spans
constexpr size_t MaxAttribute = 512; // bytes of one attribute's value; a longer one is dropped

std::string Reduce(std::string_view Page);

} // namespace SafeHtml
