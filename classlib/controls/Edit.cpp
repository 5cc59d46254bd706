#include "classlib/controls/Edit.h"

#include <algorithm>
#include <cctype>

#include "classlib/controls/Clipboard.h"
#include "classlib/controls/ScrollBars.h"
#include "classlib/graphics/Gdi.h"

const TEnumInfo ScrollStyleNames{{"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
const TEnumInfo EditCharCaseNames{{"ecNormal", "ecUpperCase", "ecLowerCase"}};

QUENDREL_REGISTER_CLASS(TCustomEdit, TCustomControl) {
  c.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, BorderStyleNames)
      .Default(bsSingle);
  c.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  c.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(0);
  c.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(1);
  c.Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(1);
  c.Enum("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase, EditCharCaseNames).Default(ecNormal);
  c.Event("OnChange", &TCustomEdit::OnChange);
  c.Message(WM_CUT, &TCustomEdit::WMCut);
  c.Message(WM_COPY, &TCustomEdit::WMCopy);
  c.Message(WM_PASTE, &TCustomEdit::WMPaste);
  c.Message(WM_CLEAR, &TCustomEdit::WMClear);
  c.Message(WM_UNDO, &TCustomEdit::WMUndo);
  c.Message(WM_SETTEXT, &TCustomEdit::WMSetText);
  c.Message(WM_VSCROLL, &TCustomEdit::WMVScroll);
  c.Message(WM_HSCROLL, &TCustomEdit::WMHScroll);
  for (UINT m = EM_GETSEL; m <= EM_SETREADONLY; ++m) c.Message(m, &TCustomEdit::EditMessage);
}
QUENDREL_REGISTER_CLASS(TEdit, TCustomEdit) {
  c.Creatable();
  c.Property("Text", &TEdit::GetText, &TEdit::SetText);
}
QUENDREL_REGISTER_CLASS(TCustomMemo, TCustomEdit) {
  c.Property("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
  c.Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, ScrollStyleNames)
      .Default(ssNone);
  c.Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(1);
  c.Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(1);
  c.Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(0);
}
QUENDREL_REGISTER_CLASS(TMemo, TCustomMemo) {
  c.Creatable();
}

namespace {

constexpr int Margin = 2; // between the client edge and the text

bool IsWordChar(char C) {
  return std::isalnum(static_cast<unsigned char>(C)) || C == '_' || static_cast<unsigned char>(C) >= 128;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle = {csClickEvents, csSetCaption, csDoubleClicks, csOpaque};
  FColor = clWindow;
  FParentColor = false;
  Brush()->SetColor(FColor);
  FTabStop = true;
  SetBounds(FLeft, FTop, 121, 21);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  TCustomControl::CreateWnd();
  Relayout();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetMaxLength(int Value) {
  FMaxLength = std::max(0, Value);
}

void TCustomEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
}

void TCustomEdit::SetHideSelection(bool Value) {
  FHideSelection = Value;
  Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  if (Value != ecNormal) SetText(Cased(GetText()));
}

void TCustomEdit::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

AnsiString TCustomEdit::Cased(const AnsiString& S) const {
  if (FCharCase == ecNormal) return S;
  AnsiString r = S;
  for (char& c : r)
    c = static_cast<char>(FCharCase == ecUpperCase ? std::toupper(static_cast<unsigned char>(c))
                                                   : std::tolower(static_cast<unsigned char>(c)));
  return r;
}

int TCustomEdit::SelStart() const {
  return static_cast<int>(std::min(FAnchor, FCaret));
}

int TCustomEdit::SelLength() const {
  return static_cast<int>(FAnchor > FCaret ? FAnchor - FCaret : FCaret - FAnchor);
}

void TCustomEdit::SetSelStart(int Value) {
  const size_t v = std::min<size_t>(static_cast<size_t>(std::max(0, Value)), FText.size());
  FAnchor = FCaret = v;
  ScrollCaretIntoView();
  Invalidate();
}

void TCustomEdit::SetSelLength(int Value) {
  const size_t start = std::min(FAnchor, FCaret);
  FAnchor = start;
  FCaret = std::min<size_t>(start + static_cast<size_t>(std::max(0, Value)), FText.size());
  ScrollCaretIntoView();
  Invalidate();
}

AnsiString TCustomEdit::SelText() const {
  return FText.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const AnsiString& Value) {
  Replace(Value, false);
}

void TCustomEdit::SelectAll() {
  FAnchor = 0;
  FCaret = FText.size();
  Invalidate();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

// The one road every change by the user takes: the selection is replaced by With.
void TCustomEdit::Replace(const AnsiString& With, bool Typing) {
  AnsiString insert = Cased(With);
  if (!MultiLine()) {
    const size_t eol = insert.find_first_of("\r\n");
    if (eol != AnsiString::npos) insert.resize(eol);
  }
  const size_t start = std::min(FAnchor, FCaret), end = std::max(FAnchor, FCaret);
  if (FMaxLength > 0) {
    const size_t room =
        static_cast<size_t>(FMaxLength) - std::min<size_t>(FMaxLength, FText.size() - (end - start));
    if (insert.size() > room) insert.resize(room);
  }
  if (insert.empty() && start == end) return;
  if (!Typing || !FLastWasTyping || !FUndo) FUndo = TUndoState{FText, FAnchor, FCaret};
  FLastWasTyping = Typing;
  FText.replace(start, end - start, insert);
  FAnchor = FCaret = start + insert.size();
  FModified = true;
  FGoalX = -1;
  Relayout();
  ScrollCaretIntoView();
  Invalidate();
  Change();
}

void TCustomEdit::ResetForNewText() {
  FAnchor = FCaret = 0;
  FUndo.reset();
  FLastWasTyping = false;
  FTopLine = 0;
  FScrollX = 0;
  FGoalX = -1;
  Relayout();
  Invalidate();
}

void TCustomEdit::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  if (!HandleAllocated()) ResetForNewText();
  FModified = false;
  Change();
}

void TCustomEdit::WMSetText(TMessage& Message) {
  DefaultHandler(Message);
  ResetForNewText();
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  FLineHeight = 0;
  Relayout();
  Invalidate();
}

void TCustomEdit::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

// ----- Layout

int TCustomEdit::LineHeight() {
  if (!HandleAllocated()) return std::max(1, Font()->Height() < 0 ? -Font()->Height() : 13);
  if (FLineHeight <= 0) {
    Canvas()->Font()->Assign(Font());
    FLineHeight = std::max(1, Canvas()->TextHeight("Wg"));
  }
  return FLineHeight;
}

TRect TCustomEdit::TextRect() {
  TRect r = ClientRect();
  r.Inflate(-Margin, 0);
  return r;
}

int TCustomEdit::VisibleLineCount() {
  return std::max(1, ClientRect().Height() / LineHeight());
}

int TCustomEdit::TextWidthOf(size_t Start, size_t Length) {
  // Text is measured on the window's context: before there is a window, nothing is laid out by width.
  if (Length == 0 || !HandleAllocated()) return 0;
  Canvas()->Font()->Assign(Font());
  return Canvas()->TextWidth(FText.substr(Start, Length));
}

void TCustomEdit::Relayout() {
  FLines.clear();
  const bool wrap = MultiLine() && WordWrapped();
  const int width = std::max(1, TextRect().Width());
  size_t pos = 0;
  FWidest = 0;
  for (;;) {
    size_t eol = MultiLine() ? FText.find_first_of("\r\n", pos) : AnsiString::npos;
    if (eol == AnsiString::npos) eol = FText.size();
    size_t start = pos;
    // Wrap the paragraph at blanks (or anywhere, for a word wider than the line).
    while (wrap && start < eol && TextWidthOf(start, eol - start) > width) {
      size_t fit = start + 1;
      size_t lo = start + 1, hi = eol;
      while (lo <= hi) { // the longest prefix that fits
        const size_t mid = (lo + hi) / 2;
        if (TextWidthOf(start, mid - start) <= width) {
          fit = mid;
          lo = mid + 1;
        } else {
          hi = mid - 1;
        }
      }
      size_t brk = fit;
      for (size_t k = fit; k > start; --k)
        if (FText[k - 1] == ' ') {
          brk = k;
          break;
        }
      FLines.push_back({start, brk - start});
      start = brk;
    }
    FLines.push_back({start, eol - start});
    if (!wrap) FWidest = std::max(FWidest, TextWidthOf(start, eol - start));
    if (eol >= FText.size()) break;
    pos = eol + ((FText[eol] == '\r' && eol + 1 < FText.size() && FText[eol + 1] == '\n') ? 2 : 1);
  }
  FTopLine = std::clamp(FTopLine, 0, std::max(0, static_cast<int>(FLines.size()) - 1));
  UpdateScrollRange();
}

int TCustomEdit::LineOfOffset(size_t Offset) const {
  int line = 0;
  for (size_t i = 0; i < FLines.size(); ++i) {
    if (FLines[i].Start > Offset) break;
    line = static_cast<int>(i);
  }
  return line;
}

int TCustomEdit::LineStartX(int Line) {
  const TRect r = TextRect();
  if (MultiLine() || FAlignment == taLeftJustify) return r.Left - FScrollX;
  const int w = TextWidthOf(FLines[Line].Start, FLines[Line].Length);
  if (w >= r.Width()) return r.Left - FScrollX;
  return FAlignment == taRightJustify ? r.Right - w : r.Left + (r.Width() - w) / 2;
}

TPoint TCustomEdit::PointOf(size_t Offset) {
  const int line = LineOfOffset(Offset);
  const TLine& l = FLines[line];
  const size_t in = std::min(Offset - l.Start, l.Length);
  const int y = MultiLine() ? (line - FTopLine) * LineHeight()
                            : std::max(0, (ClientRect().Height() - LineHeight()) / 2);
  return {LineStartX(line) + TextWidthOf(l.Start, in), y};
}

size_t TCustomEdit::OffsetAt(TPoint Point) {
  int line = MultiLine()
                 ? FTopLine + (Point.Y < 0 ? -1 - (-Point.Y - 1) / LineHeight() : Point.Y / LineHeight())
                 : 0;
  line = std::clamp(line, 0, static_cast<int>(FLines.size()) - 1);
  const TLine& l = FLines[line];
  const int x = Point.X - LineStartX(line);
  size_t best = 0;
  int prev = 0;
  for (size_t i = 1; i <= l.Length; ++i) {
    const int w = TextWidthOf(l.Start, i);
    if (x < (prev + w) / 2) break;
    best = i;
    prev = w;
  }
  return l.Start + best;
}

void TCustomEdit::SetTopLine(int Value) {
  const int maxTop = std::max(0, static_cast<int>(FLines.size()) - VisibleLineCount());
  Value = std::clamp(Value, 0, maxTop);
  if (Value == FTopLine) return;
  FTopLine = Value;
  UpdateScrollRange();
  Invalidate();
}

void TCustomEdit::SetScrollX(int Value) {
  const int maxX = std::max(0, FWidest + 2 * Margin - ClientRect().Width());
  Value = std::clamp(Value, 0, MultiLine() ? maxX : std::max(0, Value));
  if (Value == FScrollX) return;
  FScrollX = Value;
  UpdateScrollRange();
  Invalidate();
}

void TCustomEdit::ScrollCaretIntoView() {
  if (FLines.empty()) return;
  const int line = LineOfOffset(FCaret);
  if (MultiLine()) {
    if (line < FTopLine) SetTopLine(line);
    if (line >= FTopLine + VisibleLineCount()) SetTopLine(line - VisibleLineCount() + 1);
  }
  if (MultiLine() && WordWrapped()) return;
  const TRect r = TextRect();
  const TLine& l = FLines[line];
  const int x = TextWidthOf(l.Start, FCaret - l.Start);
  if (!MultiLine() && TextWidthOf(l.Start, l.Length) <= r.Width()) {
    FScrollX = 0;
    return;
  }
  if (x - FScrollX < 0)
    SetScrollX(std::max(0, x - r.Width() / 4));
  else if (x - FScrollX > r.Width() - 1)
    SetScrollX(x - r.Width() + r.Width() / 4);
}

// ----- Painting

void TCustomEdit::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  const TRect client = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FColor);
  c->FillRect(client);
  if (FLines.empty()) Relayout();
  const bool focused = Focused();
  const bool showSel = (focused || !FHideSelection) && FAnchor != FCaret;
  const size_t s0 = std::min(FAnchor, FCaret), s1 = std::max(FAnchor, FCaret);
  const TColor text = IsEnabledAll() ? Font()->Color() : clGrayText;
  const int first = MultiLine() ? FTopLine : 0;
  const int last =
      MultiLine() ? std::min<int>(static_cast<int>(FLines.size()), first + VisibleLineCount() + 1) : 1;
  c->Brush()->SetStyle(bsClear);
  for (int i = first; i < last; ++i) {
    const TLine& l = FLines[i];
    const TPoint at = PointOf(l.Start);
    c->Font()->SetColor(text);
    c->TextOut(at.X, at.Y, FText.substr(l.Start, l.Length));
    if (!showSel) continue;
    const size_t a = std::max(s0, l.Start), b = std::min(s1, l.Start + l.Length);
    if (a >= b) continue;
    const int x0 = at.X + TextWidthOf(l.Start, a - l.Start), x1 = at.X + TextWidthOf(l.Start, b - l.Start);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clHighlight);
    c->Font()->SetColor(clHighlightText);
    c->TextRect(TRect{x0, at.Y, x1, at.Y + LineHeight()}, x0, at.Y, FText.substr(a, b - a));
    c->Brush()->SetStyle(bsClear);
  }
  if (focused) {
    const TPoint p = PointOf(FCaret);
    c->Pen()->SetColor(Font()->Color());
    c->MoveTo(p.X, p.Y);
    c->LineTo(p.X, p.Y + LineHeight());
  }
  c->Brush()->SetStyle(bsSolid);
}

void TCustomEdit::WMNCPaint(TMessage& Message) {
  TCustomControl::WMNCPaint(Message);
  if (!HandleAllocated() || !(GetWindowLong(Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) return;
  HDC dc = GetWindowDC(Handle());
  RECT r = Handle()->WindowRectInWindow();
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  ReleaseDC(Handle(), dc);
}

void TCustomEdit::WMSize(TMessage& Message) {
  TCustomControl::WMSize(Message);
  Relayout();
  ScrollCaretIntoView();
}

// ----- Focus

void TCustomEdit::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  Invalidate();
}

void TCustomEdit::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  FSelecting = false;
  Invalidate();
}

void TCustomEdit::CMEnter(TMessage& Message) {
  TCustomControl::CMEnter(Message);
  if (FAutoSelect && !MultiLine() && !ControlState.Contains(csLButtonDown)) SelectAll();
}

void TCustomEdit::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (WantReturns()) Message.Result |= DLGC_WANTALLKEYS;
  if (WantTabs()) Message.Result |= DLGC_WANTTAB;
}

// ----- Keys

size_t TCustomEdit::PrevChar(size_t Offset) const {
  if (Offset == 0) return 0;
  if (Offset >= 2 && FText[Offset - 1] == '\n' && FText[Offset - 2] == '\r') return Offset - 2;
  return Offset - 1;
}

size_t TCustomEdit::NextChar(size_t Offset) const {
  if (Offset >= FText.size()) return FText.size();
  if (FText[Offset] == '\r' && Offset + 1 < FText.size() && FText[Offset + 1] == '\n') return Offset + 2;
  return Offset + 1;
}

size_t TCustomEdit::WordStart(size_t Offset) const {
  size_t i = Offset;
  while (i > 0 && !IsWordChar(FText[i - 1])) --i;
  while (i > 0 && IsWordChar(FText[i - 1])) --i;
  return i;
}

size_t TCustomEdit::WordEnd(size_t Offset) const {
  size_t i = Offset;
  while (i < FText.size() && IsWordChar(FText[i])) ++i;
  while (i < FText.size() && !IsWordChar(FText[i]) && FText[i] != '\r' && FText[i] != '\n') ++i;
  return i;
}

void TCustomEdit::MoveCaret(size_t To, bool Extend) {
  FCaret = std::min(To, FText.size());
  if (!Extend) FAnchor = FCaret;
  FLastWasTyping = false;
  ScrollCaretIntoView();
  Invalidate();
}

void TCustomEdit::WMKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return;
  KeyEdit(static_cast<WORD>(Message.WParam), KeyDataToShiftState(static_cast<LONG>(Message.LParam)));
}

void TCustomEdit::KeyEdit(WORD Key, TShiftState Shift) {
  const bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
  const int line = LineOfOffset(FCaret);
  auto vertical = [&](int Lines) {
    if (!MultiLine()) return;
    const TPoint p = PointOf(FCaret);
    if (FGoalX < 0) FGoalX = p.X;
    const int target = std::clamp(line + Lines, 0, static_cast<int>(FLines.size()) - 1);
    if (MultiLine() && (Lines > 1 || Lines < -1)) SetTopLine(FTopLine + Lines);
    const int goal = FGoalX;
    MoveCaret(OffsetAt({goal, (target - FTopLine) * LineHeight()}), shift);
    FGoalX = goal;
  };
  switch (Key) {
  case VK_LEFT:
    FGoalX = -1;
    if (!shift && FAnchor != FCaret)
      MoveCaret(std::min(FAnchor, FCaret), false);
    else
      MoveCaret(ctrl ? WordStart(FCaret) : PrevChar(FCaret), shift);
    break;
  case VK_RIGHT:
    FGoalX = -1;
    if (!shift && FAnchor != FCaret)
      MoveCaret(std::max(FAnchor, FCaret), false);
    else
      MoveCaret(ctrl ? WordEnd(FCaret) : NextChar(FCaret), shift);
    break;
  case VK_HOME:
    FGoalX = -1;
    MoveCaret(ctrl ? 0 : FLines[line].Start, shift);
    break;
  case VK_END:
    FGoalX = -1;
    MoveCaret(ctrl ? FText.size() : FLines[line].Start + FLines[line].Length, shift);
    break;
  case VK_UP:
    vertical(-1);
    break;
  case VK_DOWN:
    vertical(1);
    break;
  case VK_PRIOR:
    vertical(-VisibleLineCount());
    break;
  case VK_NEXT:
    vertical(VisibleLineCount());
    break;
  case VK_DELETE:
    if (shift) {
      Perform(WM_CUT, 0, 0);
    } else if (!FReadOnly && EditCanModify()) {
      if (FAnchor == FCaret) FCaret = ctrl ? WordEnd(FCaret) : NextChar(FCaret);
      Replace("", false);
    }
    break;
  case VK_INSERT:
    if (shift)
      Perform(WM_PASTE, 0, 0);
    else if (ctrl)
      Perform(WM_COPY, 0, 0);
    break;
  default:
    break;
  }
}

void TCustomEdit::WMChar(TMessage& Message) {
  if (DoKeyPress(Message)) return;
  const auto key = static_cast<unsigned char>(Message.WParam);
  switch (key) {
  case 1: // Ctrl+A
    SelectAll();
    return;
  case 3:
    Perform(WM_COPY, 0, 0);
    return;
  case 22:
    Perform(WM_PASTE, 0, 0);
    return;
  case 24:
    Perform(WM_CUT, 0, 0);
    return;
  case 26:
    Perform(WM_UNDO, 0, 0);
    return;
  default:
    break;
  }
  if (FReadOnly || !EditCanModify()) return;
  if (key == 8) {
    if (FAnchor == FCaret) FAnchor = PrevChar(FCaret);
    Replace("", false);
  } else if (key == '\r') {
    if (MultiLine() && WantReturns()) Replace("\r\n", false);
  } else if (key == '\t') {
    if (MultiLine() && WantTabs()) Replace("\t", true);
  } else if (key >= 32) {
    Replace(AnsiString(1, static_cast<char>(key)), true);
  }
}

// ----- Clipboard and undo

void TCustomEdit::WMCopy(TMessage&) {
  if (FAnchor != FCaret) Clipboard()->SetAsText(SelText());
}

void TCustomEdit::WMCut(TMessage&) {
  if (FAnchor == FCaret || FReadOnly) return;
  Clipboard()->SetAsText(SelText());
  if (EditCanModify()) Replace("", false);
}

void TCustomEdit::WMPaste(TMessage&) {
  if (FReadOnly || !Clipboard()->HasText() || !EditCanModify()) return;
  Replace(Clipboard()->AsText(), false);
}

void TCustomEdit::WMClear(TMessage&) {
  if (FReadOnly || FAnchor == FCaret || !EditCanModify()) return;
  Replace("", false);
}

void TCustomEdit::WMUndo(TMessage& Message) {
  Message.Result = 0;
  if (FReadOnly || !FUndo || !EditCanModify()) return;
  TUndoState now{FText, FAnchor, FCaret};
  FText = FUndo->Text;
  FAnchor = FUndo->Anchor;
  FCaret = FUndo->Caret;
  FUndo = now; // undoing again redoes
  FLastWasTyping = false;
  FModified = true;
  Relayout();
  ScrollCaretIntoView();
  Invalidate();
  Change();
  Message.Result = 1;
}

void TCustomEdit::EditMessage(TMessage& Message) {
  switch (Message.Msg) {
  case EM_GETSEL:
    if (Message.WParam) *reinterpret_cast<DWORD*>(Message.WParam) = static_cast<DWORD>(SelStart());
    if (Message.LParam)
      *reinterpret_cast<DWORD*>(Message.LParam) = static_cast<DWORD>(SelStart() + SelLength());
    Message.Result = MAKELPARAM(SelStart(), SelStart() + SelLength());
    break;
  case EM_SETSEL: {
    const auto from = static_cast<int>(static_cast<intptr_t>(Message.WParam));
    const auto to = static_cast<int>(Message.LParam);
    if (from < 0) {
      FAnchor = FCaret;
    } else {
      FAnchor = std::min<size_t>(static_cast<size_t>(from), FText.size());
      FCaret = to < 0 ? FText.size() : std::min<size_t>(static_cast<size_t>(to), FText.size());
    }
    ScrollCaretIntoView();
    Invalidate();
    break;
  }
  case EM_REPLACESEL:
    if (Message.LParam) Replace(reinterpret_cast<const char*>(Message.LParam), false);
    break;
  case EM_CANUNDO:
    Message.Result = FUndo ? 1 : 0;
    break;
  case EM_UNDO:
    Message.Result = Perform(WM_UNDO, 0, 0);
    break;
  case EM_EMPTYUNDOBUFFER:
    FUndo.reset();
    break;
  case EM_GETMODIFY:
    Message.Result = FModified ? 1 : 0;
    break;
  case EM_SETMODIFY:
    FModified = Message.WParam != 0;
    break;
  case EM_SETREADONLY:
    SetReadOnly(Message.WParam != 0);
    Message.Result = 1;
    break;
  case EM_LIMITTEXT:
    SetMaxLength(static_cast<int>(Message.WParam));
    break;
  case EM_GETLINECOUNT:
    Message.Result = static_cast<LRESULT>(FLines.size());
    break;
  case EM_GETFIRSTVISIBLELINE:
    Message.Result = FTopLine;
    break;
  case EM_LINEFROMCHAR: {
    const auto at = static_cast<intptr_t>(Message.WParam);
    Message.Result = LineOfOffset(at < 0 ? FCaret : static_cast<size_t>(at));
    break;
  }
  case EM_LINEINDEX: {
    const auto line = static_cast<intptr_t>(Message.WParam);
    const int l = line < 0 ? LineOfOffset(FCaret) : static_cast<int>(line);
    Message.Result = l < static_cast<int>(FLines.size()) ? static_cast<LRESULT>(FLines[l].Start) : -1;
    break;
  }
  case EM_LINELENGTH:
    Message.Result = static_cast<LRESULT>(FLines[LineOfOffset(static_cast<size_t>(Message.WParam))].Length);
    break;
  case EM_SCROLLCARET:
    ScrollCaretIntoView();
    break;
  default:
    DefaultHandler(Message);
    break;
  }
}

// ----- Mouse

void TCustomEdit::WMLButtonDown(TMessage& Message) {
  TCustomControl::WMLButtonDown(Message);
  if (CanFocus() && !Focused()) SetFocus();
  const TWMMouse m(Message);
  MoveCaret(OffsetAt(m.Pos()), (m.Keys & MK_SHIFT) != 0);
  FGoalX = -1;
  FSelecting = true;
  SetMouseCapture(true);
}

void TCustomEdit::WMLButtonDblClk(TMessage& Message) {
  TCustomControl::WMLButtonDblClk(Message);
  const size_t at = OffsetAt(TWMMouse(Message).Pos());
  FAnchor = at > 0 && IsWordChar(FText[at - 1]) ? WordStart(at) : at;
  size_t end = at;
  while (end < FText.size() && IsWordChar(FText[end])) ++end;
  FCaret = end;
  Invalidate();
}

void TCustomEdit::WMMouseMove(TMessage& Message) {
  TCustomControl::WMMouseMove(Message);
  if (!FSelecting) return;
  MoveCaret(OffsetAt(TWMMouse(Message).Pos()), true);
}

void TCustomEdit::WMLButtonUp(TMessage& Message) {
  FSelecting = false;
  TCustomControl::WMLButtonUp(Message);
  SetMouseCapture(false);
}

void TCustomEdit::WMVScroll(TMessage& Message) {
  DefaultHandler(Message);
}

void TCustomEdit::WMHScroll(TMessage& Message) {
  DefaultHandler(Message);
}

void ForwardToEdit(TCustomEdit* Edit, TMessage& Message) {
  if (Edit) Message.Result = Edit->Perform(Message.Msg, Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------------------------------------------------
// TMemoStrings

std::vector<AnsiString> TMemoStrings::Split() const {
  std::vector<AnsiString> out;
  const AnsiString text = FMemo->GetText();
  if (text.empty()) return out;
  size_t pos = 0;
  for (;;) {
    const size_t eol = text.find_first_of("\r\n", pos);
    if (eol == AnsiString::npos) {
      out.push_back(text.substr(pos));
      break;
    }
    out.push_back(text.substr(pos, eol - pos));
    pos = eol + ((text[eol] == '\r' && eol + 1 < text.size() && text[eol + 1] == '\n') ? 2 : 1);
    if (pos >= text.size()) break; // a break at the very end closes the last line, it opens none
  }
  return out;
}

void TMemoStrings::Join(const std::vector<AnsiString>& Lines) {
  AnsiString text;
  for (size_t i = 0; i < Lines.size(); ++i) text += (i ? "\r\n" : "") + Lines[i];
  FMemo->SetText(text);
}

int TMemoStrings::Count() const {
  return static_cast<int>(Split().size());
}

AnsiString TMemoStrings::Get(int Index) const {
  const std::vector<AnsiString> lines = Split();
  if (Index < 0 || Index >= static_cast<int>(lines.size())) Error(Index);
  return lines[static_cast<size_t>(Index)];
}

void TMemoStrings::Put(int Index, const AnsiString& S) {
  std::vector<AnsiString> lines = Split();
  if (Index < 0 || Index >= static_cast<int>(lines.size())) Error(Index);
  lines[static_cast<size_t>(Index)] = S;
  Join(lines);
}

void TMemoStrings::Insert(int Index, const AnsiString& S) {
  std::vector<AnsiString> lines = Split();
  if (Index < 0 || Index > static_cast<int>(lines.size())) Error(Index);
  lines.insert(lines.begin() + Index, S);
  Join(lines);
}

void TMemoStrings::Delete(int Index) {
  std::vector<AnsiString> lines = Split();
  if (Index < 0 || Index >= static_cast<int>(lines.size())) Error(Index);
  lines.erase(lines.begin() + Index);
  Join(lines);
}

void TMemoStrings::Clear() {
  FMemo->SetText("");
}

void TMemoStrings::SetText(const AnsiString& Value) {
  FMemo->SetText(Value);
}

// ---------------------------------------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FLinesStrings(std::make_unique<TMemoStrings>(this)) {
  SetBounds(FLeft, FTop, 185, 89);
  SetAutoSelect(false);
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
}

bool TCustomMemo::WordWrapped() const {
  return FWordWrap && FScrollBars != ssHorizontal && FScrollBars != ssBoth;
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  if (HandleAllocated()) {
    ShowScrollBar(Handle(), SB_VERT, Value == ssVertical || Value == ssBoth);
    ShowScrollBar(Handle(), SB_HORZ, Value == ssHorizontal || Value == ssBoth);
  }
  FScrollBars = Value;
  Relayout();
  Invalidate();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  SetScrollX(0);
  Relayout();
  Invalidate();
}

void TCustomMemo::UpdateScrollRange() {
  if (!HandleAllocated() || FUpdatingBars) return;
  FUpdatingBars = true;
  try {
    // The memo's bars stay while it has them: disabled when everything shows.
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) {
      SCROLLINFO si;
      si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
      si.nMin = 0;
      si.nMax = std::max(0, static_cast<int>(VisualLines().size()) - 1);
      si.nPage = static_cast<UINT>(VisibleLineCount());
      si.nPos = TopLine();
      si.nTrackPos = TopLine();
      SetScrollInfo(Handle(), SB_VERT, &si, true);
    }
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
      SCROLLINFO si;
      si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
      si.nMin = 0;
      si.nMax = std::max(0, WidestLine() + 4);
      si.nPage = static_cast<UINT>(std::max(0, ClientRect().Width()));
      si.nPos = ScrollX();
      si.nTrackPos = ScrollX();
      SetScrollInfo(Handle(), SB_HORZ, &si, true);
    }
  } catch (...) {
    FUpdatingBars = false;
    throw;
  }
  FUpdatingBars = false;
}

void TCustomMemo::Scroll(int Bar, int Code, int Pos) {
  const bool v = Bar == SB_VERT;
  const int line = v ? 1 : std::max(1, Canvas()->TextWidth("0") * 3);
  const int page = v ? std::max(1, VisibleLineCount() - 1) : std::max(1, ClientRect().Width() - line);
  const int now = v ? TopLine() : ScrollX();
  const auto to = ScrollTarget(Code, Pos, now,
                               {.LineBack = line,
                                .LineForward = line,
                                .Page = page,
                                .Bottom = v ? static_cast<int>(VisualLines().size()) : WidestLine()});
  if (!to) return;
  if (v)
    SetTopLine(*to);
  else
    SetScrollX(*to);
}

void TCustomMemo::WMVScroll(TMessage& Message) {
  Scroll(SB_VERT, Message.WParamLo(), ScrollMessagePos(Handle(), SB_VERT, Message));
  Message.Result = 0;
}

void TCustomMemo::WMHScroll(TMessage& Message) {
  Scroll(SB_HORZ, Message.WParamLo(), ScrollMessagePos(Handle(), SB_HORZ, Message));
  Message.Result = 0;
}

void TCustomMemo::WMMouseWheel(TMessage& Message) {
  if (DoMouseWheel(Message)) return;
  const auto delta = static_cast<int16_t>(Message.WParamHi());
  SetTopLine(TopLine() - 3 * delta / 120);
  Message.Result = 1;
}
