#include "skin/SKMgr.h"

#include <cstdlib>
#include <memory>

#include "classlib/controls/Form.h"
#include "classlib/core/Exception.h"
#include "classlib/core/Filer.h"
#include "classlib/core/Stream.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/win/Windows.h"
#include "skin/SKForm.h"
#include "skin/SKPublic.h"

QUENDREL_REGISTER_CLASS(TskFileTheme, TComponent) {
  c.Creatable();
  c.Property("ThemeFile", &TskFileTheme::ThemeFile, &TskFileTheme::SetThemeFile);
}

QUENDREL_REGISTER_CLASS(TskBuiltInFileTheme, TskFileTheme) {
  c.Creatable();
  c.Property("ThemeFile", &TskBuiltInFileTheme::ThemeFile2, &TskBuiltInFileTheme::SetThemeFile2);
}

QUENDREL_REGISTER_CLASS(TskThemeMgrCompList, TStringList) {}

QUENDREL_REGISTER_CLASS(TskThemeManager, TComponent) {
  c.Creatable();
  c.Enum("UIStyle", &TskThemeManager::UIStyle, &TskThemeManager::SetUIStyle, TskUIStyleNames);
  c.Property("FileTheme", &TskThemeManager::FileTheme, &TskThemeManager::SetFileTheme);
  c.Property("CompList", &TskThemeManager::CompList, &TskThemeManager::SetList);
  c.Event("OnUIStyleChanged", &TskThemeManager::OnUIStyleChanged);
}

namespace {

// The frames: TskForm here, the MDI frame when the program has one.
bool IsSkinFrame(const TComponent* C) {
  if (C->InheritsFrom(TskForm::StaticClass())) return true;
  const TClass mdi = GetClass("TskMDIForm");
  return mdi && C->InheritsFrom(mdi);
}

// The user's data folder: $XDG_DATA_HOME/quendrel/, by default ~/.local/share/quendrel/.
AnsiString UserDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data) return IncludeTrailingPathDelimiter(data) + "quendrel/";
  const char* home = std::getenv("HOME");
  return IncludeTrailingPathDelimiter(home ? home : "") + ".local/share/quendrel/";
}

const char* const SystemDataFolder = "/usr/share/quendrel/";

} // namespace

bool IsFormOrFrame(const TComponent* C) {
  if (!C) return false;
  if (C->InheritsFrom(TForm::StaticClass())) return true;
  const TClass frame = GetClass("TCustomFrame");
  return frame && C->InheritsFrom(frame);
}

// ---------------------------------------------------------------------------------------------------------
// TskFileTheme

TskFileTheme::TskFileTheme(TComponent* AOwner)
    : TComponent(AOwner), FMgr(std::make_unique<TskFileThemeMgr>()) {}

TskFileTheme::~TskFileTheme() = default;

bool TskFileTheme::CheckThemeFile(const AnsiString& FileName) const {
  return IsSKThemeFile(FileName);
}

void TskFileTheme::SetThemeFile(const AnsiString& Value) {
  const bool hadTheme = !FThemeFile.empty();
  if (Value == FThemeFile) return;

  AnsiString candidate = Value;
  if (!FileExists(candidate)) {
    const AnsiString part = ExtractFileName(Value);
    const AnsiString folders[] = {GetExeDir(), UserDataFolder(), SystemDataFolder};
    candidate.clear();
    for (const AnsiString& folder : folders)
      if (FileExists(folder + part)) {
        candidate = folder + part;
        break;
      }
    if (candidate.empty()) return;
  }
  if (!CheckThemeFile(candidate)) throw Exception("Invalid skin file for SkinKit!");

  // Loaded before the name changes, so that a file that cannot be read leaves the old theme in place; a
  // truncated or damaged file is as invalid as one without the magic.
  bool loaded = false;
  try {
    loaded = FMgr->LoadFromFile(candidate);
  } catch (const EReadError&) {
    throw Exception("Invalid skin file for SkinKit!");
  }
  FThemeFile = candidate;
  FCanUse = loaded;

  auto* form = dynamic_cast<TForm*>(Owner());
  if (!FCanUse || !form) return;
  bool frameUses = false;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    if (IsSkinFrame(c) && GetObjectProp(c, "FileTheme") == this) frameUses = true;
    if (c->ClassName().compare(0, 3, "Tsk") == 0 && IsPublishedProp(c, "FileTheme") &&
        GetObjectProp(c, "FileTheme") == this)
      SetObjectProp(c, "FileTheme", this);
  }
  // The frame's non-client size may differ in the new theme: have it measured and painted again.
  if (frameUses && hadTheme && form->HandleAllocated())
    SetWindowPos(form->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TskFileTheme::GetBitmap(int Index, TBitmap* Bitmap, int SpitCount, int SpitIndex) const {
  if (!Bitmap) return;
  if (SpitCount != 0 && SpitIndex != 0) {
    TBitmap whole;
    FMgr->GetBitmap(Index, &whole);
    SpitBitmap(&whole, Bitmap, SpitCount, SpitIndex);
  } else {
    FMgr->GetBitmap(Index, Bitmap);
  }
}

TColor TskFileTheme::GetColor(int Index) const {
  return FMgr->GetColor(Index);
}

int TskFileTheme::GetInt(int Index) const {
  return FMgr->GetInt(Index);
}

bool TskFileTheme::GetBool(int Index) const {
  return FMgr->GetBool(Index);
}

// ---------------------------------------------------------------------------------------------------------
// TskBuiltInFileTheme

void TskBuiltInFileTheme::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "SkinData", [this](TStream* S) { ReadSkinData(S); }, [this](TStream* S) { WriteSkinData(S); },
      FileExists(FThemeFile2) || !FSkinData.empty());
}

void TskBuiltInFileTheme::WriteSkinData(TStream* Stream) {
  // The file named is the source; without it, the bytes this theme was read from are written again, so that
  // a form read from a stream and written out keeps its theme.
  if (!FileExists(FThemeFile2)) {
    Stream->WriteBuffer(FSkinData.data(), static_cast<int64_t>(FSkinData.size()));
    return;
  }
  TMemoryStream bytes;
  bytes.LoadFromFile(FThemeFile2);
  Stream->WriteBuffer(bytes.Memory(), bytes.Size());
}

void TskBuiltInFileTheme::ReadSkinData(TStream* Stream) {
  TMemoryStream bytes;
  bytes.LoadFromStream(Stream);

  // The file is created exclusively and private: a name that exists, a symbolic link planted there included,
  // is passed over and never followed.
  const AnsiString folder = IncludeTrailingPathDelimiter(GetTempDir());
  AnsiString name;
  std::unique_ptr<TFileStream> out;
  for (int k = 0; !out; ++k) {
    name = folder + "SKINKIT" + (k > 0 ? IntToStr(k) : AnsiString()) + ".skn";
    out = TFileStream::CreateNew(name, 0600);
    if (!out && k >= 10000) throw EFCreateError(Format("Cannot create file \"%s\"", name.c_str()));
  }
  // The file is only needed while it is read: remove it whatever the load does.
  struct Remove {
    AnsiString Name;
    ~Remove() { DeleteFile(Name); }
  } remove{name};
  out->WriteBuffer(bytes.Memory(), bytes.Size());
  out.reset();
  inherited::SetThemeFile(name);
  const auto* data = static_cast<const uint8_t*>(bytes.Memory());
  FSkinData.assign(data, data + bytes.Size());
}

// ---------------------------------------------------------------------------------------------------------
// TskThemeManager

TskThemeManager::TskThemeManager(TComponent* AOwner)
    : inherited(AOwner), FCompList(std::make_unique<TskThemeMgrCompList>()) {
  SetUIStyle(DeepBlue);
}

TskThemeManager::~TskThemeManager() = default;

void TskThemeManager::SetUIStyle(TskUIStyle Value) {
  const bool changed = Value != FTheme.UIStyle;
  FTheme.UIStyle = Value;
  UpdateAll();
  if (changed && OnUIStyleChanged) OnUIStyleChanged(this);
}

void TskThemeManager::SetList(const TskThemeMgrCompList* Value) {
  FCompList->Assign(const_cast<TskThemeMgrCompList*>(Value));
}

void TskThemeManager::UpdateAll() {
  TComponent* owner = Owner();
  if (!IsFormOrFrame(owner)) return;
  for (int i = 0; i < FCompList->Count(); ++i) {
    TComponent* c = owner->FindComponent(FCompList->Strings(i));
    if (!c) continue;
    SetOrdProp(c, "UIStyle", FTheme.UIStyle);
    SetObjectProp(c, "FileTheme", FTheme.FileTheme);
  }
}

void TskThemeManager::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (!AComponent || Operation != opRemove) return;
  if (AComponent != this) {
    const int i = FCompList->IndexOf(AComponent->Name());
    if (i >= 0) FCompList->Delete(i);
  }
}
