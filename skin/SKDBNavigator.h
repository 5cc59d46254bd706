#pragma once
// TskDBNavigator: a skinned row of ten buttons (first, prior, next, last, insert, delete, edit, post, cancel,
// refresh) that move through and edit the records of a data set; each is enabled only when its action can
// be done; prior and next repeat while held down.
#include <array>
#include <memory>

#include "classlib/controls/Panel.h"
#include "classlib/controls/Timer.h"
#include "classlib/core/StringList.h"
#include "classlib/data/DataLink.h"
#include "skin/SKButton.h"
#include "skin/SKThemeLink.h"

enum TNavigateBtn {
  nbFirst,
  nbPrior,
  nbNext,
  nbLast,
  nbInsert,
  nbDelete,
  nbEdit,
  nbPost,
  nbCancel,
  nbRefresh
};
using TNavButtonSet = TSet<TNavigateBtn>;
extern const TEnumInfo NavigateBtnNames;
inline const TNavButtonSet AllNavButtons{nbFirst,  nbPrior, nbNext, nbLast,   nbInsert,
                                         nbDelete, nbEdit,  nbPost, nbCancel, nbRefresh};
using ENavClick = TEvent<void(TObject* Sender, TNavigateBtn Button)>;

// The navigator's hints and its delete question.
inline constexpr const char* SFirstRecord = "First record";
inline constexpr const char* SPriorRecord = "Prior record";
inline constexpr const char* SNextRecord = "Next record";
inline constexpr const char* SLastRecord = "Last record";
inline constexpr const char* SInsertRecord = "Insert record";
inline constexpr const char* SDeleteRecord = "Delete record";
inline constexpr const char* SEditRecord = "Edit record";
inline constexpr const char* SPostEdit = "Post edit";
inline constexpr const char* SCancelEdit = "Cancel edit";
inline constexpr const char* SRefreshRecord = "Refresh data";
inline constexpr const char* SDeleteRecordQuestion = "Delete record?";

class TskDBNavigator;

enum TNavButtonStyleItem { nsAllowTimer };
using TNavButtonStyle = TSet<TNavButtonStyleItem>;

class TskNavButton : public TskButton {
  QUENDREL_CLASS(TskNavButton, TskButton)
 public:
  explicit TskNavButton(TComponent* AOwner);
  ~TskNavButton() override;

  TNavigateBtn Index() const { return FIndex; }
  void SetIndex(TNavigateBtn Value) { FIndex = Value; }
  TNavButtonStyle NavStyle() const { return FNavStyle; }
  void SetNavStyle(TNavButtonStyle Value) { FNavStyle = Value; }
  TTimer* RepeatTimer() const { return FRepeatTimer.get(); }

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void TimerExpired(TObject* Sender);

 private:
  TNavigateBtn FIndex = nbFirst;
  TNavButtonStyle FNavStyle;
  std::unique_ptr<TTimer> FRepeatTimer;
};

class TskNavDataLink : public TDataLink {
 public:
  explicit TskNavDataLink(TskDBNavigator* ANav);
  ~TskNavDataLink() override;

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void EditingChanged() override;

 private:
  TskDBNavigator* FNavigator;
};

class TskDBNavigator : public TskThemed<TCustomPanel> {
  QUENDREL_CLASS(TskDBNavigator, TskThemed<TCustomPanel>)
 public:
  explicit TskDBNavigator(TComponent* AOwner);
  ~TskDBNavigator() override;

  void SetUIStyle(TskUIStyle Value) override;
  TDataSource* DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }
  void SetDataSource(TDataSource* Value);
  TNavButtonSet VisibleButtons() const { return FVisibleButtons; }
  using TCustomPanel::SetVisible;
  void SetVisible(TNavButtonSet Value);
  TStrings* Hints() const;
  void SetHints(TStrings* Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  bool ConfirmDelete() const { return FConfirmDelete; }
  void SetConfirmDelete(bool Value) { FConfirmDelete = Value; }
  TskNavButton* Buttons(TNavigateBtn Index) const { return FButtons[Index]; }
  TNavigateBtn FocusedButton() const { return FFocusedButton; }
  int ButtonWidth() const { return FButtonWidth; }
  TskNavDataLink* DataLink() const { return FDataLink.get(); }

  ENavClick OnClick;
  ENavClick BeforeAction;

  virtual void BtnClick(TNavigateBtn Index);
  void ClickHandler(TObject* Sender);
  void BtnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void HintsChanged(TObject* Sender);

  // Told by the data link.
  void ActiveChanged();
  void DataChanged();
  void EditingChanged();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void WMSize(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  virtual void WMWindowPosChanging(TMessage& Message);
  void KeyDown(WORD& Key, TShiftState Shift) override;

 private:
  void InitButtons();
  void InitHints();
  void CalcMinSize(int& W, int& H);
  void SetSize(int& W, int& H);
  bool Active() const;

  TCursor FCursor = crDefault;
  std::unique_ptr<TskNavDataLink> FDataLink;
  TNavButtonSet FVisibleButtons = AllNavButtons;
  std::unique_ptr<TStringList> FHints;
  std::unique_ptr<TStringList> FDefHints;
  int FButtonWidth = 0;
  TPoint FMinBtnSize{20, 18};
  TNavigateBtn FFocusedButton = nbFirst;
  bool FConfirmDelete = true;
  std::array<TskNavButton*, 10> FButtons{}; // owned through the component tree
};
