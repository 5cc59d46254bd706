#include "tools/dbdemo/DemoForm.h"

#include "classlib/core/Stream.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"

AnsiString DemoPicture(int W, int H, TColor Ground, TColor Cross) {
  TBitmap bmp;
  bmp.SetWidth(W);
  bmp.SetHeight(H);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(Ground);
  c->FillRect({0, 0, W, H});
  c->Pen()->SetColor(Cross);
  for (int i = 0; i < 3; ++i) {
    c->MoveTo(i, 0);
    c->LineTo(W - 3 + i, H);
    c->MoveTo(W - 3 + i, 0);
    c->LineTo(i, H);
  }
  TMemoryStream stream;
  bmp.SaveToStream(&stream);
  return AnsiString(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

void CreateDemoDatabase(const AnsiString& FileName) {
  TSQLiteDataSet setup(nullptr);
  setup.SetDatabaseName(FileName);
  setup.ExecSQL("DROP TABLE IF EXISTS games; DROP TABLE IF EXISTS kinds;"
                "CREATE TABLE kinds (id INTEGER PRIMARY KEY, title TEXT);"
                "INSERT INTO kinds VALUES (1, 'Numbers'), (2, 'Picture'), (3, 'Numbers on picture');"
                "CREATE TABLE games (name VARCHAR(24), moves INTEGER, played DATE, notes CLOB, shot GRAPHIC, "
                "level TEXT, solved BOOLEAN, kind INTEGER);");
  TSQLiteDataSet games(nullptr);
  games.SetDatabaseName(FileName);
  games.SetTableName("games");
  games.Open();
  struct Row {
    const char* Name;
    int Moves;
    const char* Played;
    const char* Notes;
    TColor Ground, Cross;
    const char* Level;
    bool Solved;
    int Kind;
  };
  const Row rows[] = {
      {"Ann", 34, "2024-01-05", "Solved on the second try.\r\nThe corner was the hard part.", clYellow, clRed,
       "Easy", true, 1},
      {"Bob", 58, "2024-02-11", "Gave up once,\r\nthen found the cycle.", clAqua, clBlue, "Hard", false, 2},
      {"Cy", 22, "2024-03-20", "Fastest so far.", clLime, clGreen, "Medium", true, 3},
  };
  for (const Row& r : rows) {
    games.Append();
    games.FieldByName("name")->SetAsString(r.Name);
    games.FieldByName("moves")->SetAsInteger(r.Moves);
    games.FieldByName("played")->SetAsString(r.Played);
    games.FieldByName("notes")->SetAsString(r.Notes);
    games.FieldByName("shot")->SetAsString(DemoPicture(64, 48, r.Ground, r.Cross));
    games.FieldByName("level")->SetAsString(r.Level);
    games.FieldByName("solved")->SetAsBoolean(r.Solved);
    games.FieldByName("kind")->SetAsInteger(r.Kind);
    games.Post();
  }
}

template <class T> T* TDataDemoForm::Place(int L, int T_, int W, int H) {
  auto* c = new T(this); // owned by the form
  c->SetParent(this);
  c->SetBounds(L, T_, W, H);
  return c;
}

void TDataDemoForm::Caption(int L, int T_, const char* Text) {
  auto* label = Place<TLabel>(L, T_, 80, 14);
  label->SetCaption(Text);
}

TDataDemoForm::TDataDemoForm(TComponent* AOwner, const AnsiString& DatabaseName) : TForm(AOwner) {
  SetBorderStyle(bsNone);
  SetBounds(40, 40, 640, 520);
  SetCaption("Games");
  Kinds = new TSQLiteDataSet(this); // owned by the form
  Kinds->SetDatabaseName(DatabaseName);
  Kinds->SetTableName("kinds");
  Games = new TSQLiteDataSet(this); // owned by the form
  Games->SetDatabaseName(DatabaseName);
  Games->SetTableName("games");
  Games->AddLookupField({"kind_title", ftString, 24, "kind", Kinds, "id", "title"});
  Kinds->Open();
  Games->Open();
  Games->FieldByName("played")->SetDisplayFormat("dd.mm.yyyy");
  Games->FieldByName("moves")->SetDisplayFormat("#,##0");
  GamesSource = new TDataSource(this); // owned by the form
  GamesSource->SetDataSet(Games);
  KindsSource = new TDataSource(this); // owned by the form
  KindsSource->SetDataSet(Kinds);

  Navigator = Place<TskDBNavigator>(10, 8, 250, 26);
  Navigator->SetDataSource(GamesSource);

  Caption(10, 44, "Name");
  NameEdit = Place<TskDBEdit>(10, 58, 150, 24);
  Caption(170, 44, "Moves");
  MovesEdit = Place<TskDBEdit>(170, 58, 80, 24);
  Caption(260, 44, "Played");
  PlayedEdit = Place<TskDBEdit>(260, 58, 100, 24);
  Caption(10, 88, "Notes");
  NotesMemo = Place<TskDBMemo>(10, 102, 240, 70);
  NotesBar = Place<TskScrollBar>(0, 0, 16, 70);
  Caption(260, 88, "Picture");
  Picture = Place<TskDBImage>(260, 102, 100, 70);
  Picture->SetStretch(true);
  Caption(370, 44, "Level");
  LevelList = Place<TskDBListBox>(370, 58, 110, 60);
  LevelCombo = Place<TskDBComboBox>(370, 124, 110, 21);
  Caption(490, 44, "Kind");
  KindList = Place<TskDBLookupListBox>(490, 58, 140, 60);
  KindCombo = Place<TskDBLookupComboBox>(490, 124, 140, 21);
  Solved = Place<TskDBCheckBox>(370, 152, 110, 20);
  Solved->SetCaption("Solved");
  LevelGroup = Place<TskDBRadioGroup>(490, 152, 140, 80);
  LevelGroup->SetCaption("Level");
  for (const char* level : {"Easy", "Medium", "Hard"}) {
    LevelList->Items()->Add(level);
    LevelCombo->Items()->Add(level);
    LevelGroup->Items()->Add(level);
  }
  LevelCombo->SetStyle(csDropDownList);
  Grid = Place<TskDBGrid>(10, 240, 620, 270);
  GridVBar = Place<TskScrollBar>(0, 0, 16, 100);
  GridHBar = Place<TskScrollBar>(0, 0, 100, 16);

  NameEdit->SetDataField("name");
  MovesEdit->SetDataField("moves");
  PlayedEdit->SetDataField("played");
  NotesMemo->SetDataField("notes");
  Picture->SetDataField("shot");
  LevelList->SetDataField("level");
  LevelCombo->SetDataField("level");
  LevelGroup->SetDataField("level");
  Solved->SetDataField("solved");
  KindList->SetDataField("kind");
  KindList->SetListSource(KindsSource);
  KindList->SetKeyField("id");
  KindList->SetListField("title");
  KindCombo->SetDataField("kind_title"); // a lookup field brings its own list
  for (auto* c :
       std::initializer_list<TWinControl*>{NameEdit, MovesEdit, PlayedEdit, NotesMemo, Picture, LevelList,
                                           LevelCombo, KindList, KindCombo, Solved, LevelGroup, Grid})
    SetObjectProp(c, "DataSource", GamesSource);
  NotesMemo->SetVScrollBar(NotesBar);
  Grid->SetVScrollBar(GridVBar);
  Grid->SetHScrollBar(GridHBar);
}

void TDataDemoForm::SetStyle(TskUIStyle Style) {
  for (int i = 0; i < ComponentCount(); ++i)
    if (TComponent* c = Components(i); IsPublishedProp(c, "UIStyle") && IsPublishedProp(c, "FileTheme"))
      SetEnumProp(c, "UIStyle", TskUIStyleNames.NameOf(Style));
}
