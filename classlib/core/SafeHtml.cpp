#include "classlib/core/SafeHtml.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace SafeHtml {

namespace {

// ----- What is kept

constexpr std::array<std::string_view, 15> AttrNames = {
    "bgcolor", "text",   "color",       "face",        "size",    "align",   "valign", "width",
    "height",  "border", "cellpadding", "cellspacing", "colspan", "rowspan", "href"};
constexpr size_t AttrCount = AttrNames.size();

constexpr size_t Attr(std::string_view Name) {
  for (size_t a = 0; a < AttrCount; ++a)
    if (AttrNames[a] == Name) return a;
  throw "not an attribute we keep";
}
constexpr unsigned Bit(std::string_view Name) {
  return 1u << Attr(Name);
}

enum TFlag : unsigned {
  Block = 1,    // begins a line of its own: no word runs across it
  Void = 2,     // no content, no end tag
  EndsPara = 4, // an open paragraph ends where it begins
  Heading = 8,
};

struct TTagInfo {
  std::string_view Name;
  unsigned Flags;
  unsigned Attrs;
};

constexpr unsigned Cell = Bit("width") | Bit("height") | Bit("bgcolor") | Bit("align") | Bit("valign") |
                          Bit("colspan") | Bit("rowspan");
constexpr unsigned HeadingFlags = Block | EndsPara | Heading;

constexpr std::array<TTagInfo, 34> Tags = {{
    {"body", 0, Bit("bgcolor") | Bit("text")},
    {"p", Block | EndsPara, Bit("align")},
    {"br", Block | Void, 0},
    {"hr", Block | Void | EndsPara, 0},
    {"div", Block | EndsPara, Bit("align")},
    {"center", Block | EndsPara, 0},
    {"h1", HeadingFlags, Bit("align")},
    {"h2", HeadingFlags, Bit("align")},
    {"h3", HeadingFlags, Bit("align")},
    {"h4", HeadingFlags, Bit("align")},
    {"h5", HeadingFlags, Bit("align")},
    {"h6", HeadingFlags, Bit("align")},
    {"blockquote", Block | EndsPara, 0},
    {"ul", Block | EndsPara, 0},
    {"ol", Block | EndsPara, 0},
    {"li", Block | EndsPara, 0},
    {"table", Block | EndsPara,
     Bit("width") | Bit("border") | Bit("cellpadding") | Bit("cellspacing") | Bit("bgcolor") | Bit("align")},
    {"tr", Block, Bit("bgcolor") | Bit("align") | Bit("valign")},
    {"td", Block, Cell},
    {"th", Block, Cell},
    {"b", 0, 0},
    {"strong", 0, 0},
    {"i", 0, 0},
    {"em", 0, 0},
    {"u", 0, 0},
    {"s", 0, 0},
    {"strike", 0, 0},
    {"small", 0, 0},
    {"big", 0, 0},
    {"sub", 0, 0},
    {"sup", 0, 0},
    {"font", 0, Bit("color") | Bit("face") | Bit("size")},
    {"span", 0, 0},
    {"a", 0, Bit("href")},
}};

using TTag = uint8_t; // an index into Tags

constexpr TTag TagOf(std::string_view Name) {
  for (size_t t = 0; t < Tags.size(); ++t)
    if (Tags[t].Name == Name) return static_cast<TTag>(t);
  throw "not a tag we keep";
}
// The tags the rules below name.
constexpr TTag tBody = TagOf("body"), tP = TagOf("p"), tLi = TagOf("li"), tUl = TagOf("ul"),
               tOl = TagOf("ol"), tTable = TagOf("table"), tTr = TagOf("tr"), tTd = TagOf("td"),
               tTh = TagOf("th");

// Elements dropped with everything inside them; their content is not markup, so it is skipped to the end tag.
constexpr std::string_view SkippedWhole[] = {"script", "style",   "title",    "textarea", "xmp",
                                             "iframe", "noembed", "noframes", "noscript", "template"};

constexpr uint32_t Replacement = 0xFFFD;
constexpr uint32_t ZeroWidthSpace = 0x200B;

// ----- Characters

bool IsSpace(char C) {
  return C == ' ' || C == '\t' || C == '\n' || C == '\f' || C == '\r';
}
bool IsAlpha(char C) {
  return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z');
}
bool IsDigit(char C) {
  return C >= '0' && C <= '9';
}
char Lower(char C) {
  return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}
bool SameNoCase(std::string_view A, std::string_view LowerB) {
  if (A.size() != LowerB.size()) return false;
  for (size_t i = 0; i < A.size(); ++i)
    if (Lower(A[i]) != LowerB[i]) return false;
  return true;
}
int HexValue(char C) {
  if (IsDigit(C)) return C - '0';
  const char l = Lower(C);
  return l >= 'a' && l <= 'f' ? l - 'a' + 10 : -1;
}

void AppendUtf8(std::string& Out, uint32_t Cp) {
  if (Cp < 0x80) {
    Out += static_cast<char>(Cp);
  } else if (Cp < 0x800) {
    Out += static_cast<char>(0xC0 | (Cp >> 6));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  } else if (Cp < 0x10000) {
    Out += static_cast<char>(0xE0 | (Cp >> 12));
    Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (Cp >> 18));
    Out += static_cast<char>(0x80 | ((Cp >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  }
}

size_t Utf8Length(uint32_t Cp) {
  return Cp < 0x80 ? 1 : Cp < 0x800 ? 2 : Cp < 0x10000 ? 3 : 4;
}

bool IsScalar(uint32_t Cp) {
  return Cp <= 0x10FFFF && (Cp < 0xD800 || Cp > 0xDFFF);
}

// The code point at At, which moves past it; a malformed sequence gives U+FFFD and moves one byte.
uint32_t NextCodePoint(std::string_view In, size_t& At) {
  const auto lead = static_cast<unsigned char>(In[At]);
  size_t length = 0;
  uint32_t cp = 0;
  if (lead < 0x80) {
    ++At;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07;
  } else {
    ++At;
    return Replacement;
  }
  if (In.size() - At < length) {
    ++At;
    return Replacement;
  }
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(In[At + i]);
    if ((next & 0xC0) != 0x80) {
      ++At;
      return Replacement;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  static constexpr uint32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < Least[length] || !IsScalar(cp)) {
    ++At;
    return Replacement;
  }
  At += length;
  return cp;
}

struct TEntity {
  std::string_view Name;
  uint32_t Cp;
};
constexpr TEntity Entities[] = {
    {"amp", '&'},      {"lt", '<'},       {"gt", '>'},      {"quot", '"'},     {"apos", '\''},
    {"nbsp", 0xA0},    {"copy", 0xA9},    {"reg", 0xAE},    {"trade", 0x2122}, {"hellip", 0x2026},
    {"mdash", 0x2014}, {"ndash", 0x2013}, {"laquo", 0xAB},  {"raquo", 0xBB},   {"middot", 0xB7},
    {"bull", 0x2022},  {"euro", 0x20AC},  {"pound", 0xA3},  {"yen", 0xA5},     {"cent", 0xA2},
    {"deg", 0xB0},     {"times", 0xD7},   {"divide", 0xF7}, {"lsquo", 0x2018}, {"rsquo", 0x2019},
    {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"sect", 0xA7},   {"para", 0xB6},    {"shy", 0xAD},
};

// The character a reference at At ("&...") stands for, At moving past it; anything that is not a reference
// known here is the "&" itself.
uint32_t NextReference(std::string_view In, size_t& At) {
  const size_t start = At + 1;
  if (start < In.size() && In[start] == '#') {
    size_t i = start + 1;
    const bool hex = i < In.size() && (In[i] == 'x' || In[i] == 'X');
    if (hex) ++i;
    uint32_t value = 0;
    size_t digits = 0;
    for (; i < In.size(); ++i, ++digits) {
      const int d = hex ? HexValue(In[i]) : (IsDigit(In[i]) ? In[i] - '0' : -1);
      if (d < 0) break;
      value = std::min<uint32_t>(value * (hex ? 16 : 10) + static_cast<uint32_t>(d), 0x110000);
    }
    if (digits == 0) {
      ++At;
      return '&';
    }
    if (i < In.size() && In[i] == ';') ++i;
    At = i;
    return value == 0 || !IsScalar(value) ? Replacement : value;
  }
  size_t i = start;
  while (i < In.size() && i - start <= 8 && (IsAlpha(In[i]) || IsDigit(In[i]))) ++i;
  if (i < In.size() && In[i] == ';') {
    const std::string_view name = In.substr(start, i - start);
    for (const TEntity& e : Entities)
      if (e.Name == name) {
        At = i + 1;
        return e.Cp;
      }
  }
  ++At;
  return '&';
}

// An attribute's value with its character references replaced.
std::string DecodeValue(std::string_view Raw) {
  std::string out;
  size_t at = 0;
  while (at < Raw.size()) AppendUtf8(out, Raw[at] == '&' ? NextReference(Raw, at) : NextCodePoint(Raw, at));
  return out;
}

void AppendEscaped(std::string& Out, uint32_t Cp, bool InAttribute) {
  switch (Cp) {
  case '&':
    Out += "&amp;";
    break;
  case '<':
    Out += "&lt;";
    break;
  case '>':
    Out += "&gt;";
    break;
  case '"':
    Out += InAttribute ? "&quot;" : "\"";
    break;
  default:
    AppendUtf8(Out, Cp);
  }
}

size_t EscapedLength(uint32_t Cp) {
  return Cp == '&' ? 5 : Cp == '<' || Cp == '>' ? 4 : Utf8Length(Cp);
}

// ----- Attribute values: each kept in one plain form, or dropped

std::string_view Trim(std::string_view V) {
  while (!V.empty() && IsSpace(V.front())) V.remove_prefix(1);
  while (!V.empty() && IsSpace(V.back())) V.remove_suffix(1);
  return V;
}

// Leading decimal digits, saturated at Max; nullopt without any. Rest holds what follows them.
std::optional<int> Digits(std::string_view V, int Max, std::string_view& Rest) {
  size_t i = 0;
  long long value = 0;
  while (i < V.size() && IsDigit(V[i])) {
    value = std::min<long long>(value * 10 + (V[i] - '0'), Max);
    ++i;
  }
  if (i == 0) return std::nullopt;
  Rest = V.substr(i);
  return static_cast<int>(value);
}

std::optional<std::string> Number(std::string_view V, int Min, int Max) {
  std::string_view rest;
  const std::optional<int> n = Digits(Trim(V), Max, rest);
  if (!n || !rest.empty()) return std::nullopt;
  return std::to_string(std::max(*n, Min));
}

std::optional<std::string> Length(std::string_view V, bool Percent) {
  std::string_view rest;
  const std::optional<int> n = Digits(Trim(V), MaxPixels, rest);
  if (!n) return std::nullopt;
  if (rest == "%" && Percent) return std::to_string(std::min(*n, 100)) + "%";
  if (rest.empty() || SameNoCase(rest, "px")) return std::to_string(*n);
  return std::nullopt;
}

std::optional<std::string> FontSize(std::string_view V) {
  V = Trim(V);
  const char sign = V.empty() ? 0 : V.front();
  if (sign == '+' || sign == '-') V.remove_prefix(1);
  std::string_view rest;
  const std::optional<int> n = Digits(V, 7, rest);
  if (!n || !rest.empty()) return std::nullopt;
  if (sign == '+') return "+" + std::to_string(std::min(*n, 4));
  if (sign == '-') return "-" + std::to_string(std::min(*n, 2));
  return std::to_string(std::max(*n, 1));
}

std::optional<std::string> Color(std::string_view V) {
  V = Trim(V);
  std::string out;
  if (!V.empty() && V.front() == '#') {
    if (V.size() != 4 && V.size() != 7) return std::nullopt;
    for (char c : V.substr(1))
      if (HexValue(c) < 0) return std::nullopt;
  } else if (V.empty() || V.size() > 20 || !std::all_of(V.begin(), V.end(), IsAlpha)) {
    return std::nullopt;
  }
  for (char c : V) out += Lower(c);
  return out;
}

std::optional<std::string> OneOf(std::string_view V, std::initializer_list<std::string_view> Words) {
  V = Trim(V);
  for (std::string_view w : Words)
    if (SameNoCase(V, w)) return std::string(w);
  return std::nullopt;
}

std::optional<std::string> Face(std::string_view V) {
  V = Trim(V);
  if (V.empty() || V.size() > 64) return std::nullopt;
  for (char c : V)
    if (!IsAlpha(c) && !IsDigit(c) && c != ' ' && c != ',' && c != '-') return std::nullopt;
  return std::string(V);
}

std::optional<std::string> Href(std::string_view V) {
  V = Trim(V);
  if (!(V.size() > 7 && SameNoCase(V.substr(0, 7), "http://")) &&
      !(V.size() > 8 && SameNoCase(V.substr(0, 8), "https://")))
    return std::nullopt;
  for (char c : V)
    if (c <= ' ' || c > '~' || c == '"' || c == '<' || c == '>' || c == '\\' || c == '`') return std::nullopt;
  return std::string(V);
}

std::optional<std::string> Normalize(size_t A, std::string_view V) {
  switch (A) {
  case Attr("bgcolor"):
  case Attr("text"):
  case Attr("color"):
    return Color(V);
  case Attr("face"):
    return Face(V);
  case Attr("size"):
    return FontSize(V);
  case Attr("align"):
    return OneOf(V, {"left", "right", "center", "justify"});
  case Attr("valign"):
    return OneOf(V, {"top", "middle", "bottom", "baseline"});
  case Attr("width"):
    return Length(V, true);
  case Attr("height"):
    return Length(V, false);
  case Attr("border"):
    return Number(V, 0, MaxBorder);
  case Attr("cellpadding"):
  case Attr("cellspacing"):
    return Number(V, 0, MaxCellSpace);
  case Attr("colspan"):
  case Attr("rowspan"):
    return Number(V, 1, MaxSpan);
  case Attr("href"):
    return Href(V);
  }
  return std::nullopt;
}

using TAttrValues = std::array<std::optional<std::string>, AttrCount>;

std::string AttributeText(const TAttrValues& Values) {
  std::string out;
  for (size_t a = 0; a < AttrCount; ++a) {
    if (!Values[a]) continue;
    out += ' ';
    out += AttrNames[a];
    out += "=\"";
    size_t at = 0;
    const std::string& v = *Values[a];
    while (at < v.size()) AppendEscaped(out, NextCodePoint(v, at), true);
    out += '"';
  }
  return out;
}

// ----- The reduction

class TReducer {
 public:
  explicit TReducer(std::string_view In) : FIn(In) {}
  std::string Run();

 private:
  void Markup();
  void StartTag();
  void EndTag();
  // The tag's name at FAt, lower-cased, FAt moving past it; empty when too long to be one we know.
  std::string Name();
  void SkipPast(char C);
  void SkipWhole(std::string_view Name);

  void Open(TTag Tag, const TAttrValues& Values);
  void Close(TTag Tag);
  void Emit(TTag Tag, const std::string& Attributes);
  void Pop();
  void PopTo(size_t Index);
  // The nearest open Tag, not looking past any of Stops; -1 for none.
  long Find(TTag Tag, std::initializer_list<TTag> Stops) const;
  bool Room(size_t Elements) const {
    return FStack.size() + Elements <= MaxDepth && FElements + static_cast<int>(Elements) <= MaxElements;
  }
  bool InTable() const { return !FStack.empty() && (FStack.back() == tTable || FStack.back() == tTr); }

  void Text(uint32_t Cp);
  // Writes the white space waiting, or drops it, as a tag comes.
  void Space(bool BeforeBlock);

  std::string_view FIn;
  size_t FAt = 0;
  std::string FOut;
  std::string FBody; // the first body tag's attributes
  bool FBodySeen = false;
  std::vector<TTag> FStack;
  int FTables = 0;
  int FTableParts = 0;
  int FElements = 0;
  size_t FText = 0;
  bool FTextFull = false;
  bool FSpace = false; // white space waits to be written before the next character
  int FRun = 0;        // characters since the last break opportunity
};

std::string TReducer::Run() {
  while (FAt < FIn.size()) {
    const char c = FIn[FAt];
    if (c == '<')
      Markup();
    else if (c == '&')
      Text(NextReference(FIn, FAt));
    else
      Text(NextCodePoint(FIn, FAt));
  }
  PopTo(0);
  return "<html><body" + FBody + ">" + FOut + "</body></html>";
}

void TReducer::Markup() {
  const char next = FAt + 1 < FIn.size() ? FIn[FAt + 1] : 0;
  if (next == '!') {
    if (FIn.substr(FAt, 4) == "<!--") {
      const size_t end = FIn.find("-->", FAt + 4);
      FAt = end == std::string_view::npos ? FIn.size() : end + 3;
    } else {
      SkipPast('>');
    }
  } else if (next == '?') {
    SkipPast('>');
  } else if (next == '/') {
    if (FAt + 2 < FIn.size() && IsAlpha(FIn[FAt + 2]))
      EndTag();
    else
      SkipPast('>');
  } else if (IsAlpha(next)) {
    StartTag();
  } else {
    ++FAt;
    Text('<');
  }
}

std::string TReducer::Name() {
  std::string name;
  bool tooLong = false;
  while (FAt < FIn.size() && !IsSpace(FIn[FAt]) && FIn[FAt] != '/' && FIn[FAt] != '>') {
    if (name.size() < 16)
      name += Lower(FIn[FAt]);
    else
      tooLong = true;
    ++FAt;
  }
  return tooLong ? std::string() : name;
}

void TReducer::SkipPast(char C) {
  const size_t end = FIn.find(C, FAt);
  FAt = end == std::string_view::npos ? FIn.size() : end + 1;
}

void TReducer::SkipWhole(std::string_view Name) {
  for (;;) {
    const size_t end = FIn.find("</", FAt);
    if (end == std::string_view::npos) {
      FAt = FIn.size();
      return;
    }
    FAt = end + 2;
    const size_t after = FAt + Name.size();
    if (after <= FIn.size() && SameNoCase(FIn.substr(FAt, Name.size()), Name) &&
        (after == FIn.size() || IsSpace(FIn[after]) || FIn[after] == '/' || FIn[after] == '>')) {
      SkipPast('>');
      return;
    }
  }
}

const TTagInfo* Lookup(std::string_view Name, TTag& Tag) {
  for (size_t t = 0; t < Tags.size(); ++t)
    if (Tags[t].Name == Name) {
      Tag = static_cast<TTag>(t);
      return &Tags[t];
    }
  return nullptr;
}

void TReducer::StartTag() {
  ++FAt;
  const std::string name = Name();
  TTag tag = tBody;
  const TTagInfo* info = Lookup(name, tag);
  TAttrValues values;
  for (;;) {
    while (FAt < FIn.size() && (IsSpace(FIn[FAt]) || FIn[FAt] == '/')) ++FAt;
    if (FAt >= FIn.size()) return; // a tag cut off by the end of the page is dropped
    if (FIn[FAt] == '>') {
      ++FAt;
      break;
    }
    const size_t nameStart = FAt++;
    while (FAt < FIn.size() && !IsSpace(FIn[FAt]) && FIn[FAt] != '/' && FIn[FAt] != '>' && FIn[FAt] != '=')
      ++FAt;
    const std::string_view attrName = FIn.substr(nameStart, FAt - nameStart);
    while (FAt < FIn.size() && IsSpace(FIn[FAt])) ++FAt;
    std::string_view value;
    if (FAt < FIn.size() && FIn[FAt] == '=') {
      ++FAt;
      while (FAt < FIn.size() && IsSpace(FIn[FAt])) ++FAt;
      if (FAt < FIn.size() && (FIn[FAt] == '"' || FIn[FAt] == '\'')) {
        const size_t end = FIn.find(FIn[FAt], FAt + 1);
        if (end == std::string_view::npos) {
          FAt = FIn.size();
          return;
        }
        value = FIn.substr(FAt + 1, end - FAt - 1);
        FAt = end + 1;
      } else {
        const size_t start = FAt;
        while (FAt < FIn.size() && !IsSpace(FIn[FAt]) && FIn[FAt] != '>') ++FAt;
        value = FIn.substr(start, FAt - start);
      }
    }
    if (!info || value.size() > MaxAttribute) continue;
    for (size_t a = 0; a < AttrCount; ++a)
      if ((info->Attrs & (1u << a)) && !values[a] && SameNoCase(attrName, AttrNames[a]))
        values[a] = Normalize(a, DecodeValue(value));
  }
  if (info) {
    Open(tag, values);
  } else if (name == "plaintext") {
    FAt = FIn.size();
  } else {
    for (std::string_view whole : SkippedWhole)
      if (name == whole) SkipWhole(whole);
  }
}

void TReducer::EndTag() {
  FAt += 2;
  const std::string name = Name();
  SkipPast('>');
  TTag tag = tBody;
  if (Lookup(name, tag)) Close(tag);
}

long TReducer::Find(TTag Tag, std::initializer_list<TTag> Stops) const {
  for (size_t i = FStack.size(); i-- > 0;) {
    if (FStack[i] == Tag) return static_cast<long>(i);
    if (std::find(Stops.begin(), Stops.end(), FStack[i]) != Stops.end()) return -1;
  }
  return -1;
}

void TReducer::Open(TTag Tag, const TAttrValues& Values) {
  const TTagInfo& info = Tags[Tag];
  if (Tag == tBody) {
    if (!FBodySeen) FBody = AttributeText(Values);
    FBodySeen = true;
    return;
  }
  const bool tablePart = Tag == tTr || Tag == tTd || Tag == tTh;
  if (InTable() && !tablePart) return; // a table holds rows, a row holds cells, and nothing else
  if (info.Flags & EndsPara)
    if (const long p = Find(tP, {tTable, tTd, tTh}); p >= 0) PopTo(static_cast<size_t>(p));
  if (Tag == tLi)
    if (const long li = Find(tLi, {tUl, tOl, tTable, tTd, tTh}); li >= 0) PopTo(static_cast<size_t>(li));
  if ((info.Flags & Heading) && !FStack.empty() && (Tags[FStack.back()].Flags & Heading)) Pop();
  if (tablePart) {
    // Rows and cells find their table: a cell ends the cell before it, a row the row before it, and a cell
    // straight in a table gets a row of its own. Outside any table they are dropped.
    long at = -1;
    for (size_t i = FStack.size(); i-- > 0 && at < 0;)
      if (FStack[i] == tTable || FStack[i] == tTr || FStack[i] == tTd || FStack[i] == tTh)
        at = static_cast<long>(i);
    if (at < 0 || FTableParts >= MaxTableParts) return;
    const TTag inside = FStack[static_cast<size_t>(at)];
    if (inside == tTd || inside == tTh) PopTo(static_cast<size_t>(at) - (Tag == tTr ? 1 : 0));
    if (inside == tTr && Tag == tTr) PopTo(static_cast<size_t>(at));
    if (Tag != tTr && FStack.back() == tTable) {
      if (!Room(2) || FTableParts + 2 > MaxTableParts) return;
      Emit(tTr, {});
    }
  }
  if (Tag == tTable && FTables >= MaxTableDepth) return;
  if ((info.Flags & Void) ? FElements >= MaxElements : !Room(1)) return;
  Emit(Tag, AttributeText(Values));
}

void TReducer::Emit(TTag Tag, const std::string& Attributes) {
  const TTagInfo& info = Tags[Tag];
  Space(info.Flags & Block);
  FOut += '<';
  FOut += info.Name;
  FOut += Attributes;
  FOut += '>';
  ++FElements;
  if (Tag == tTr || Tag == tTd || Tag == tTh) ++FTableParts;
  if (info.Flags & Block) FRun = 0;
  if (info.Flags & Void) return;
  FStack.push_back(Tag);
  if (Tag == tTable) ++FTables;
}

void TReducer::Close(TTag Tag) {
  if (Tag == tBody || (Tags[Tag].Flags & Void)) return;
  long at;
  if (Tag == tTable)
    at = Find(Tag, {});
  else if (Tag == tTr || Tag == tTd || Tag == tTh)
    at = Find(Tag, {tTable});
  else
    at = Find(Tag, {tTable, tTd, tTh});
  if (at >= 0) PopTo(static_cast<size_t>(at));
}

void TReducer::Pop() {
  const TTag tag = FStack.back();
  Space(Tags[tag].Flags & Block);
  FStack.pop_back();
  FOut += "</";
  FOut += Tags[tag].Name;
  FOut += '>';
  if (Tags[tag].Flags & Block) FRun = 0;
  if (tag == tTable) --FTables;
}

void TReducer::PopTo(size_t Index) {
  while (FStack.size() > Index) Pop();
}

void TReducer::Space(bool BeforeBlock) {
  if (!FSpace || InTable()) return;
  // White space next to a block shows nothing; next to an inline tag it belongs outside the tag.
  if (!BeforeBlock && !FTextFull && FText + 1 <= MaxText) {
    FOut += ' ';
    ++FText;
  }
  FSpace = false;
}

void TReducer::Text(uint32_t Cp) {
  if (Cp == ' ' || Cp == '\t' || Cp == '\n' || Cp == '\f' || Cp == '\r') {
    FSpace = true;
    FRun = 0;
    return;
  }
  if (Cp < 0x20 || (Cp >= 0x7F && Cp <= 0x9F)) return; // control characters
  if (FTextFull || InTable()) return;
  const bool breakFirst = Cp != ZeroWidthSpace && FRun >= MaxWord;
  const size_t need = (FSpace ? 1 : 0) + (breakFirst ? Utf8Length(ZeroWidthSpace) : 0) + EscapedLength(Cp);
  if (FText + need > MaxText) {
    FTextFull = true;
    return;
  }
  FText += need;
  if (FSpace) FOut += ' ';
  FSpace = false;
  if (breakFirst) {
    AppendUtf8(FOut, ZeroWidthSpace);
    FRun = 0;
  }
  AppendEscaped(FOut, Cp, false);
  FRun = Cp == ZeroWidthSpace ? 0 : FRun + 1;
}

} // namespace

std::string Reduce(std::string_view Page) {
  return TReducer(Page).Run();
}

} // namespace SafeHtml
