#pragma once
// Message boxes and simple dialogs, as small modal forms of ours. Tests and tools may answer them without
// showing anything through MessageBoxHook.
#include <functional>
#include <vector>

#include "classlib/controls/Form.h"
#include "classlib/core/Set.h"

// MessageBox flags and answers.
constexpr int MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
              MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONSTOP = 0x10, MB_ICONERROR = 0x10,
              MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30,
              MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// When set, every message box asks it instead of showing a window: it gets the text, the caption and the
// flags and answers the button pressed (IDOK, ...).
extern std::function<int(const AnsiString& Text, const AnsiString& Caption, int Flags)> MessageBoxHook;

// Offscreen (tests and tools) no message box is shown unless ShowOffscreenDialogs is set: each one is
// recorded in RecordedMessageBoxes as "Caption: Text" and answered with its default button, so that nothing
// waits for a click that cannot come.
extern bool ShowOffscreenDialogs;
extern std::vector<AnsiString> RecordedMessageBoxes;

int MessageBox(HWND Owner, const char* Text, const char* Caption, int Flags);
inline int MessageBoxA(HWND Owner, const char* Text, const char* Caption, int Flags) {
  return MessageBox(Owner, Text, Caption, Flags);
}

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};

// Builds the dialog form (owned by the caller) with a caption after the type, the message and the buttons.
std::unique_ptr<TForm> CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType,
                                           TMsgDlgButtons Buttons);
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
void ShowMessage(const AnsiString& Msg);

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TComponent {
  QUENDREL_CLASS(TOpenDialog, TComponent)
 public:
  explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

  // Asks for a file; true with FileName set when the user chose one.
  virtual bool Execute();

  AnsiString FileName;
  AnsiString Filter; // "Pictures|*.bmp;*.jpg|All files|*.*"
  int FilterIndex = 1;
  AnsiString InitialDir;
  AnsiString Title;
  AnsiString DefaultExt;
  TOpenOptions Options{ofHideReadOnly, ofEnableSizing};

  const AnsiString& GetFileName() const { return FileName; }
  void SetFileName(const AnsiString& Value) { FileName = Value; }
  const AnsiString& GetFilter() const { return Filter; }
  void SetFilter(const AnsiString& Value) { Filter = Value; }
  const AnsiString& GetInitialDir() const { return InitialDir; }
  void SetInitialDir(const AnsiString& Value) { InitialDir = Value; }
  const AnsiString& GetTitle() const { return Title; }
  void SetTitle(const AnsiString& Value) { Title = Value; }
  const AnsiString& GetDefaultExt() const { return DefaultExt; }
  void SetDefaultExt(const AnsiString& Value) { DefaultExt = Value; }
};

// Asks for a file to write: the desktop's save dialog, where the name may be new. FileName, when set, is
// offered; DefaultExt is added to a name typed without an extension.
class TSaveDialog : public TOpenDialog {
  QUENDREL_CLASS(TSaveDialog, TOpenDialog)
 public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  bool Execute() override;
};

// When set, TOpenDialog::Execute (and TSaveDialog's) asks it instead of the desktop: it gets the dialog and
// answers whether a file was chosen (setting FileName).
extern std::function<bool(TOpenDialog* Dialog)> OpenDialogHook;
