#pragma once
// Text editing controls: TCustomEdit edits one line, TCustomMemo many (wrapped to the width unless it scrolls
// sideways), with a caret, a selection made by keys and mouse, one level of undo, the clipboard messages
// (WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, WM_UNDO), the edit messages (EM_*), and a memo's scroll bars.
#include <memory>
#include <optional>
#include <vector>

#include "classlib/controls/CustomControl.h"
#include "classlib/controls/StdMessages.h"
#include "classlib/core/StringList.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
extern const TEnumInfo ScrollStyleNames;
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
extern const TEnumInfo EditCharCaseNames;

class TCustomEdit : public TCustomControl {
  QUENDREL_CLASS(TCustomEdit, TCustomControl)
 public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  // The selection: where it starts and how long it is; the caret sits at its moving end.
  int SelStart() const;
  void SetSelStart(int Value);
  int SelLength() const;
  void SetSelLength(int Value);
  AnsiString SelText() const;
  void SetSelText(const AnsiString& Value); // replaces the selection, as typing would
  void SelectAll();
  void ClearSelection() { Perform(WM_CLEAR, 0, 0); }
  void CopyToClipboard() { Perform(WM_COPY, 0, 0); }
  void CutToClipboard() { Perform(WM_CUT, 0, 0); }
  void PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }
  void Undo() { Perform(WM_UNDO, 0, 0); }
  bool CanUndo() const { return FUndo.has_value(); }
  void ClearUndo() { FUndo.reset(); }
  int CaretPos() const { return static_cast<int>(FCaret); }

  TNotifyEvent OnChange;

  void Paint() override;
  void WMNCPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMKeyDown(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMLButtonDblClk(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMLButtonUp(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  // Messages the base classes do not know, in the class's message table.
  virtual void WMCut(TMessage& Message);
  virtual void WMCopy(TMessage& Message);
  virtual void WMPaste(TMessage& Message);
  virtual void WMClear(TMessage& Message);
  virtual void WMUndo(TMessage& Message);
  virtual void WMSetText(TMessage& Message);
  virtual void WMVScroll(TMessage& Message);
  virtual void WMHScroll(TMessage& Message);
  virtual void EditMessage(TMessage& Message); // EM_*

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // Asked before the user changes the text; false keeps it as it is.
  virtual bool EditCanModify() { return true; }
  virtual void Change();
  // Whether the text runs over several lines and how.
  virtual bool MultiLine() const { return false; }
  virtual bool WordWrapped() const { return false; }
  virtual bool WantReturns() const { return false; }
  virtual bool WantTabs() const { return false; }
  // Copies the text layout into the window's scroll bars; the memo has them.
  virtual void UpdateScrollRange() {}

  // Layout: the visual lines (start offset and length in the text, line breaks left out).
  struct TLine {
    size_t Start = 0;
    size_t Length = 0;
  };
  void Relayout();
  const std::vector<TLine>& VisualLines() const { return FLines; }
  int LineHeight();
  int VisibleLineCount();
  int TextWidthOf(size_t Start, size_t Length);
  int LineOfOffset(size_t Offset) const;
  int TopLine() const { return FTopLine; }
  void SetTopLine(int Value);
  int ScrollX() const { return FScrollX; }
  void SetScrollX(int Value);
  int WidestLine() const { return FWidest; }
  void ScrollCaretIntoView();
  TRect TextRect();

 private:
  struct TUndoState {
    AnsiString Text;
    size_t Anchor = 0;
    size_t Caret = 0;
  };
  void Replace(const AnsiString& With, bool Typing);
  void MoveCaret(size_t To, bool Extend);
  size_t OffsetAt(TPoint Point);
  TPoint PointOf(size_t Offset);
  size_t PrevChar(size_t Offset) const;
  size_t NextChar(size_t Offset) const;
  size_t WordStart(size_t Offset) const;
  size_t WordEnd(size_t Offset) const;
  int LineStartX(int Line);
  void KeyEdit(WORD Key, TShiftState Shift);
  void ResetForNewText();
  AnsiString Cased(const AnsiString& S) const;

  TBorderStyle FBorderStyle = bsSingle;
  int FMaxLength = 0;
  bool FReadOnly = false;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  TEditCharCase FCharCase = ecNormal;
  TAlignment FAlignment = taLeftJustify;
  bool FModified = false;
  size_t FAnchor = 0;
  size_t FCaret = 0;
  int FGoalX = -1; // the column kept while moving up and down
  std::optional<TUndoState> FUndo;
  bool FLastWasTyping = false;
  bool FSelecting = false; // the left button is down in the text
  std::vector<TLine> FLines;
  int FTopLine = 0;
  int FScrollX = 0;
  int FWidest = 0;
  int FLineHeight = 0;
};

// Hands a clipboard or undo message to an edit field (a combo box's, a grid's); nothing without one.
void ForwardToEdit(TCustomEdit* Edit, TMessage& Message);

class TEdit : public TCustomEdit {
  QUENDREL_CLASS(TEdit, TCustomEdit)
 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo;

// A memo's lines as a string list: reading splits the text, writing joins it again.
class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
  int Count() const override;
  AnsiString Get(int Index) const override;
  void Put(int Index, const AnsiString& S) override;
  void Insert(int Index, const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void SetText(const AnsiString& Value) override;

 private:
  std::vector<AnsiString> Split() const;
  void Join(const std::vector<AnsiString>& Lines);
  TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
  QUENDREL_CLASS(TCustomMemo, TCustomEdit)
 public:
  explicit TCustomMemo(TComponent* AOwner);

  TStrings* Lines() const { return FLinesStrings.get(); }
  void SetLines(TStrings* Value) { FLinesStrings->Assign(Value); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool WantReturns() const override { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const override { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }

  void WMVScroll(TMessage& Message) override;
  void WMHScroll(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  bool MultiLine() const override { return true; }
  bool WordWrapped() const override;
  void UpdateScrollRange() override;

 private:
  void Scroll(int Bar, int Code, int Pos);

  std::unique_ptr<TMemoStrings> FLinesStrings;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FUpdatingBars = false;
};

class TMemo : public TCustomMemo {
  QUENDREL_CLASS(TMemo, TCustomMemo)
 public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};
