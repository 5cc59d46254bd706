#pragma once
// TFormRecords: the best games per board size in a skinned window, built from its form resource
// TFORMRECORDS; its Reset button forgets them all once the player confirms.
#include <functional>

#include "classlib/controls/Form.h"

class TLabel;
class TRecords;
class TskButton;
class TskFileTheme;
class TskForm;
class TskPanel;
class TskThemeManager;

class TFormRecords : public TForm {
  QUENDREL_CLASS(TFormRecords, TForm)
 public:
  explicit TFormRecords(TComponent* Owner);

  TskForm* skForm;
  TskPanel* skPanel;
  TLabel* LabelSizes;
  TLabel* LabelMoves;
  TLabel* LabelTimes;
  TskButton* skButtonReset;
  TskButton* skButtonClose;
  TskFileTheme* skFileTheme;
  TskThemeManager* skThemeManager;

  // Shows Records (which outlive the window) and calls Reset after the button has cleared them.
  void ShowRecords(TRecords* Records, std::function<void()> Reset);
  // The table again, from the records as they are now.
  void Fill();

  void skButtonResetClick(TObject* Sender);
  void skButtonCloseClick(TObject* Sender);

 private:
  TRecords* records = nullptr;
  std::function<void()> reset;
};
