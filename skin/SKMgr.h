#pragma once
// The theme components: TskFileTheme holds one loaded theme file, TskBuiltInFileTheme keeps the theme file's
// bytes inside the form's stored properties, and TskThemeManager pushes one style and one file theme to the
// components of its form that its list names.
#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/core/Component.h"
#include "classlib/core/Event.h"
#include "classlib/core/StringList.h"
#include "skin/SKThemeFile.h"
#include "skin/SKThemeLink.h"
#include "skin/SKThemes.h"

class TBitmap;
class TFiler;
class TStream;

class TskFileTheme : public TComponent {
  QUENDREL_CLASS(TskFileTheme, TComponent)
 public:
  explicit TskFileTheme(TComponent* AOwner);
  ~TskFileTheme() override;

  bool CanUse() const { return FCanUse; }
  bool CheckThemeFile(const AnsiString& FileName) const;

  const AnsiString& ThemeFile() const { return FThemeFile; }
  // Looks for the file as named, then for its file part in the program's folder, the user's data folder and
  // the system data folder. Nothing changes when none exists; raises "Invalid skin file for SkinKit!" when
  // the file found lacks the magic.
  void SetThemeFile(const AnsiString& Value);

  // Piece SpitIndex (from 1) of SpitCount when both are non-zero, else the whole picture. A whole picture the
  // file lacks leaves Bitmap unchanged; a piece of it leaves Bitmap empty.
  void GetBitmap(int Index, TBitmap* Bitmap, int SpitCount, int SpitIndex) const;
  TColor GetColor(int Index) const;
  int GetInt(int Index) const;
  bool GetBool(int Index) const;

 private:
  std::unique_ptr<TskFileThemeMgr> FMgr;
  AnsiString FThemeFile;
  bool FCanUse = false;
};

class TskBuiltInFileTheme : public TskFileTheme {
  QUENDREL_CLASS(TskBuiltInFileTheme, TskFileTheme)
 public:
  using TskFileTheme::TskFileTheme;

  // Its own file name, published as ThemeFile: the file whose bytes are stored as "SkinData".
  const AnsiString& ThemeFile2() const { return FThemeFile2; }
  void SetThemeFile2(const AnsiString& Value) { FThemeFile2 = Value; }

  void DefineProperties(TFiler* Filer) override;
  void ReadSkinData(TStream* Stream);
  void WriteSkinData(TStream* Stream);

 private:
  AnsiString FThemeFile2;
  std::vector<uint8_t> FSkinData; // the bytes last read as "SkinData"
};

// Names of the components a theme manager updates, one a line.
class TskThemeMgrCompList : public TStringList {
  QUENDREL_CLASS(TskThemeMgrCompList, TStringList)
};

// A form, or a frame when the program has frames: the owners whose components a theme manager updates.
bool IsFormOrFrame(const TComponent* C);

class TskThemeManager : public TskThemed<TComponent> {
  QUENDREL_CLASS(TskThemeManager, TskThemed<TComponent>)
 public:
  explicit TskThemeManager(TComponent* AOwner);
  ~TskThemeManager() override;

  // Updates every listed component; OnUIStyleChanged only when the value changed.
  void SetUIStyle(TskUIStyle Value) override;
  TskThemeMgrCompList* CompList() const { return FCompList.get(); }
  void SetList(const TskThemeMgrCompList* Value);

  // Sets "UIStyle", then "FileTheme", on each listed component of the owning form or frame.
  void UpdateAll();
  void UpdateTheme() { UpdateAll(); }

  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnUIStyleChanged;

 protected:
  // Unlike a skinned control, the manager only records the fall-back: nothing is pushed or fired.
  void FileThemeGone() override { FTheme.UIStyle = DeepBlue; }

 private:
  std::unique_ptr<TskThemeMgrCompList> FCompList;
};
