// The data-aware demo: makes an SQLite database, shows it through every skinned data-aware control, a
// navigator and a grid, and drives them with synthetic input: an edit, an insert, a cancelled edit, a delete
// first refused and then confirmed, a post. It renders the window in each built-in style before and after,
// reopens the database file, and fails when the file holds anything but what was posted.
//
//   dbdemo [--out FOLDER] [--keep]
//
// Pictures go to FOLDER (default: ./dbdemo-out), with the database; --keep leaves the database there.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Clipboard.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/core/SysUtils.h"
#include "tools/dbdemo/DemoForm.h"
#include "tools/demosupport/DemoSupport.h"

namespace {

namespace fs = std::filesystem;

const TskUIStyle Styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

int Failures = 0;

void Check(bool Ok, const std::string& What) {
  if (Ok) return;
  ++Failures;
  std::fprintf(stderr, "dbdemo: %s\n", What.c_str());
}

void RenderAll(TDataDemoForm& Form, const fs::path& Out, const std::string& Step) {
  for (TskUIStyle style : Styles) {
    Form.SetStyle(style);
    const TSurface s = demosupport::Render(&Form);
    const fs::path file = Out / ("dbdemo-" + Step + "-" + TskUIStyleNames.NameOf(style) + ".png");
    demosupport::SavePng(s, file.string());
    Check(fs::exists(file), "could not write " + file.string());
  }
  Form.SetStyle(DeepBlue);
}

// Clicks a control near its client centre.
void ClickIn(TControl* Control) {
  demosupport::Click(Control, Control->ClientWidth() / 2, Control->ClientHeight() / 2);
}

void TypeInto(TCustomEdit* Edit, const AnsiString& Text) {
  ClickIn(Edit);
  demosupport::PressKey('A', backend::ModControl, "\x01"); // all of it
  demosupport::Type(Text);
}

void ClickNav(TDataDemoForm& Form, TNavigateBtn Button) {
  ClickIn(Form.Navigator->Buttons(Button));
}

// One row of what the file holds, as text.
std::string Row(TSQLiteDataSet& Ds) {
  std::string r;
  for (const char* f : {"name", "moves", "played", "notes", "level", "solved", "kind"}) {
    r += Ds.FieldByName(f)->AsString();
    r += "|";
  }
  r += std::to_string(Ds.FieldByName("shot")->AsString().size());
  return r;
}

std::vector<std::string> Stored(const AnsiString& File) {
  TSQLiteDataSet ds(nullptr);
  ds.SetDatabaseName(File);
  ds.SetTableName("games");
  ds.Open();
  std::vector<std::string> rows;
  for (ds.First(); !ds.Eof(); ds.Next()) rows.push_back(Row(ds));
  return rows;
}

} // namespace

int main(int argc, char** argv) {
  fs::path out = "dbdemo-out";
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--out" && i + 1 < argc)
      out = argv[++i];
    else if (a == "--keep")
      keep = true;
  }
  fs::create_directories(out);
  const AnsiString db = (out / "games.db").string();
  fs::remove(db);
  Application->Initialize();
  CreateDemoDatabase(db);
  const AnsiString newPicture = DemoPicture(40, 30, clFuchsia, clNavy);

  std::vector<AnsiString> asked;
  int answer = IDCANCEL;
  MessageBoxHook = [&](const AnsiString& Text, const AnsiString&, int) {
    asked.push_back(Text);
    return answer;
  };
  {
    TDataDemoForm form(nullptr, db);
    form.Show();
    demosupport::Pump();
    RenderAll(form, out, "start");

    // Edit the first game: its name and moves by typing, its level in the list, then Post.
    TypeInto(form.NameEdit, "Anna");
    Check(form.Games->State() == dsEdit, "typing did not start editing");
    TypeInto(form.MovesEdit, "36");
    demosupport::Click(form.LevelList, 10, form.LevelList->ItemHeight() + 3); // Medium
    ClickNav(form, nbPost);
    Check(form.Games->State() == dsBrowse, "post left the record in edit mode");

    // Insert a game: every field through its control, the kind from the lookup combo's list, a picture
    // pasted.
    ClickNav(form, nbLast);
    ClickNav(form, nbInsert);
    Check(form.Games->State() == dsInsert, "insert did not start");
    TypeInto(form.NameEdit, "Dee");
    TypeInto(form.MovesEdit, "1,234");
    TypeInto(form.PlayedEdit, "24.12.2024");
    ClickIn(form.NotesMemo);
    demosupport::Type("First line");
    demosupport::PressKey(VK_RETURN, 0, "\r");
    demosupport::Type("second line");
    Clipboard()->SetAsPicture(newPicture);
    ClickIn(form.Picture);
    demosupport::PressKey('V', backend::ModControl, "\x16");
    demosupport::Click(form.KindCombo, form.KindCombo->ClientWidth() - 6, form.KindCombo->ClientHeight() / 2);
    Check(form.KindCombo->ListVisible(), "the lookup combo box did not drop its list");
    demosupport::Click(form.KindCombo->DataList(), 10,
                       form.KindCombo->DataList()->ItemHeight() + 3); // Picture
    demosupport::Click(form.Solved, 8, form.Solved->Height() / 2);
    demosupport::Click(form.LevelList, 10, form.LevelList->ItemHeight() * 2 + 3); // Hard
    RenderAll(form, out, "inserting");
    ClickNav(form, nbPost);
    Check(form.Games->State() == dsBrowse, "the insert was not posted");

    // Edit the second game and cancel: nothing of it is stored.
    ClickNav(form, nbFirst);
    ClickNav(form, nbNext);
    TypeInto(form.NameEdit, "Nobody");
    ClickNav(form, nbCancel);
    Check(form.NameEdit->Text() == "Bob", "cancel did not bring the name back");

    // Delete the last game (the new one went in before it): the question answered Cancel first, then OK.
    const TRect row4 = form.Grid->CellRect(1, 4);
    demosupport::Click(form.Grid, row4.Left + 5, row4.Top + 5);
    Check(form.Games->FieldByName("name")->AsString() == "Cy", "the grid did not move to the last game");
    ClickNav(form, nbDelete);
    Check(form.Games->RecordCount() == 4, "a cancelled delete deleted");
    answer = IDOK;
    ClickNav(form, nbDelete);
    Check(form.Games->RecordCount() == 3, "a confirmed delete did not delete");
    Check(asked == std::vector<AnsiString>{"Delete record?", "Delete record?"},
          "the delete question was not asked twice");
    ClickNav(form, nbFirst);
    RenderAll(form, out, "end");
  }
  MessageBoxHook = nullptr;

  // The file holds exactly what was posted.
  const std::vector<std::string> expected = {
      "Anna|36|2024-01-05|Solved on the second try.\r\nThe corner was the hard part.|Medium|True|1|" +
          std::to_string(DemoPicture(64, 48, clYellow, clRed).size()),
      "Bob|58|2024-02-11|Gave up once,\r\nthen found the cycle.|Hard|False|2|" +
          std::to_string(DemoPicture(64, 48, clAqua, clBlue).size()),
      "Dee|1234|2024-12-24|First line\r\nsecond line|Hard|True|2|" + std::to_string(newPicture.size()),
  };
  const std::vector<std::string> stored = Stored(db);
  Check(stored == expected, "the database file holds something else than was posted");
  for (const std::string& r : stored) std::printf("stored: %s\n", r.c_str());
  if (!keep) fs::remove(db);
  std::printf("dbdemo: %s, pictures in %s\n", Failures ? "FAILED" : "all as expected", out.string().c_str());
  return Failures ? 1 : 0;
}
