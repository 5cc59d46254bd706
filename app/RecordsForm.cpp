#include "app/RecordsForm.h"

#include "app/FormParts.h"
#include "app/Records.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Label.h"
#include "skin/SKButton.h"
#include "skin/SKForm.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMgr.h"

QUENDREL_REGISTER_CLASS(TFormRecords, TForm) {
  c.Method("skButtonResetClick", &TFormRecords::skButtonResetClick);
  c.Method("skButtonCloseClick", &TFormRecords::skButtonCloseClick);
}

TFormRecords::TFormRecords(TComponent* Owner) : TForm(Owner) {
  ReadFormResource();
  skForm = FormPart<TskForm>(this, "skForm");
  skPanel = FormPart<TskPanel>(this, "skPanel");
  LabelSizes = FormPart<TLabel>(this, "LabelSizes");
  LabelMoves = FormPart<TLabel>(this, "LabelMoves");
  LabelTimes = FormPart<TLabel>(this, "LabelTimes");
  skButtonReset = FormPart<TskButton>(this, "skButtonReset");
  skButtonClose = FormPart<TskButton>(this, "skButtonClose");
  skFileTheme = FormPart<TskFileTheme>(this, "skFileTheme");
  skThemeManager = FormPart<TskThemeManager>(this, "skThemeManager");
}

void TFormRecords::ShowRecords(TRecords* Records, std::function<void()> Reset) {
  records = Records;
  reset = std::move(Reset);
  Fill();
  Show();
}

void TFormRecords::Fill() {
  // One line per size with a record, in three columns that share their line height.
  AnsiString sizes = "Size", moves = "Fewest moves", times = "Shortest time";
  int lines = 1;
  for (int32_t r = TRecords::MinSide; records && r <= TRecords::MaxSide; ++r)
    for (int32_t c = TRecords::MinSide; c <= TRecords::MaxSide; ++c) {
      const TRecord& best = records->Get(r, c);
      if (!best.HasMoves() && !best.HasTime()) continue;
      sizes += "\n" + TRecords::SizeName(r, c);
      moves += "\n" + (best.HasMoves() ? IntToStr(best.Moves) : AnsiString("-"));
      times += "\n" + (best.HasTime() ? TRecords::TimeText(best.Seconds) : AnsiString("-"));
      ++lines;
    }
  if (lines == 1) sizes += "\n\nNo records yet: solve a new game without help.";
  LabelSizes->SetCaption(sizes);
  LabelMoves->SetCaption(moves);
  LabelTimes->SetCaption(times);
  LabelMoves->SetHeight(LabelSizes->Height());
  LabelTimes->SetHeight(LabelSizes->Height());
  skButtonReset->SetEnabled(records && !records->Empty());
}

void TFormRecords::skButtonResetClick(TObject*) {
  if (!records || records->Empty()) return;
  if (MessageDlg("Forget every record?", mtConfirmation, {mbYes, mbNo}, 0) != mrYes) return;
  records->Clear();
  Fill();
  if (reset) reset();
}

void TFormRecords::skButtonCloseClick(TObject*) {
  Close();
}
