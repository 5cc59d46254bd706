#pragma once
// The data-aware demo window: a games table of an SQLite database (text, number, date, memo and picture
// columns, a level, a solved flag and a kind looked up in a second table) shown through every skinned
// data-aware control, a navigator and a grid with linked scroll bars.
#include "classlib/controls/Form.h"
#include "classlib/controls/Label.h"
#include "classlib/data/DataSource.h"
#include "classlib/data/SQLiteDataSet.h"
#include "skin/SKDBCombos.h"
#include "skin/SKDBCtrls.h"
#include "skin/SKDBEdits.h"
#include "skin/SKDBGrid.h"
#include "skin/SKDBNavigator.h"
#include "skin/SKScrollBar.h"

// Writes the demo database: both tables and three games, each with a small picture.
void CreateDemoDatabase(const AnsiString& FileName);
// A picture file's bytes: a BMP of W x H in one colour with a cross in another.
AnsiString DemoPicture(int W, int H, TColor Ground, TColor Cross);

class TDataDemoForm : public TForm {
 public:
  TDataDemoForm(TComponent* AOwner, const AnsiString& DatabaseName);

  void SetStyle(TskUIStyle Style);

  TSQLiteDataSet* Games = nullptr;
  TSQLiteDataSet* Kinds = nullptr;
  TDataSource* GamesSource = nullptr;
  TDataSource* KindsSource = nullptr;
  TskDBEdit* NameEdit = nullptr;
  TskDBEdit* MovesEdit = nullptr;
  TskDBEdit* PlayedEdit = nullptr;
  TskDBMemo* NotesMemo = nullptr;
  TskScrollBar* NotesBar = nullptr;
  TskDBImage* Picture = nullptr;
  TskDBListBox* LevelList = nullptr;
  TskDBComboBox* LevelCombo = nullptr;
  TskDBLookupListBox* KindList = nullptr;
  TskDBLookupComboBox* KindCombo = nullptr;
  TskDBCheckBox* Solved = nullptr;
  TskDBRadioGroup* LevelGroup = nullptr;
  TskDBNavigator* Navigator = nullptr;
  TskDBGrid* Grid = nullptr;
  TskScrollBar* GridVBar = nullptr;
  TskScrollBar* GridHBar = nullptr;

 private:
  template <class T> T* Place(int L, int T_, int W, int H);
  void Caption(int L, int T_, const char* Text);
};
