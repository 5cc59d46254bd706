#include "classlib/controls/Dialogs.h"

#include <algorithm>

#include "classlib/backend/Backend.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/StdCtrls.h"

std::function<int(const AnsiString&, const AnsiString&, int)> MessageBoxHook;
std::function<bool(TOpenDialog*)> OpenDialogHook;
bool ShowOffscreenDialogs = false;
std::vector<AnsiString> RecordedMessageBoxes;

QUENDREL_REGISTER_CLASS(TOpenDialog, TComponent) {
  c.Creatable();
  c.Property("DefaultExt", &TOpenDialog::GetDefaultExt, &TOpenDialog::SetDefaultExt);
  c.Property("FileName", &TOpenDialog::GetFileName, &TOpenDialog::SetFileName);
  c.Property("Filter", &TOpenDialog::GetFilter, &TOpenDialog::SetFilter);
  c.Property("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::FilterIndex);
  c.Property("InitialDir", &TOpenDialog::GetInitialDir, &TOpenDialog::SetInitialDir);
  c.Property("Title", &TOpenDialog::GetTitle, &TOpenDialog::SetTitle);
}

QUENDREL_REGISTER_CLASS(TSaveDialog, TOpenDialog) {
  c.Creatable();
}

namespace {

const char* const ButtonCaptions[] = {"&Yes",    "&No",  "OK",         "Cancel",      "&Abort", "&Retry",
                                      "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help"};
const int ButtonResults[] = {mrYes,    mrNo,  mrOk,      mrCancel,   mrAbort, mrRetry,
                             mrIgnore, mrAll, mrNoToAll, mrYesToAll, 0};
const char* const TypeCaptions[] = {"Warning", "Error", "Information", "Confirm", ""};

bool Recording() {
  return !ShowOffscreenDialogs && backend::IsOffscreen();
}

// The answer of the button a dialog would have as default.
int DefaultAnswer(TMsgDlgButtons Buttons) {
  if (Buttons.Contains(mbOK)) return mrOk;
  if (Buttons.Contains(mbYes)) return mrYes;
  for (int b = mbYes; b <= mbHelp; ++b)
    if (Buttons.Contains(static_cast<TMsgDlgBtn>(b))) return ButtonResults[b];
  return mrCancel;
}

} // namespace

std::unique_ptr<TForm> CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType,
                                           TMsgDlgButtons Buttons) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetCaption(DlgType == mtCustom ? (Application ? Application->Title() : AnsiString())
                                       : TypeCaptions[DlgType]);
  form->Font()->SetName("Tahoma");
  auto* label = new TLabel(form.get()); // owned by the form
  label->SetName("Message");
  label->SetParent(form.get());
  label->SetLeft(16);
  label->SetTop(16);
  label->SetCaption(Msg); // sized to its text on one line
  if (label->Width() > 400) {
    // Long messages wrap at 400 pixels.
    label->SetAutoSize(false);
    label->SetWidth(400);
    label->SetWordWrap(true);
    label->SetAutoSize(true);
  }
  std::vector<TMsgDlgBtn> list;
  for (int b = mbYes; b <= mbHelp; ++b)
    if (Buttons.Contains(static_cast<TMsgDlgBtn>(b))) list.push_back(static_cast<TMsgDlgBtn>(b));
  const int bw = 75, bh = 25, gap = 8;
  const int rowWidth = static_cast<int>(list.size()) * (bw + gap) - gap;
  const int clientWidth = std::max(label->Width() + 32, rowWidth + 32);
  const int top = label->Top() + label->Height() + 16;
  int x = (clientWidth - rowWidth) / 2;
  bool haveDefault = false;
  for (TMsgDlgBtn b : list) {
    auto* btn = new TButton(form.get()); // owned by the form
    btn->SetName(Format("Button%d", static_cast<int>(b)));
    btn->SetParent(form.get());
    btn->SetBounds(x, top, bw, bh);
    btn->SetCaption(ButtonCaptions[b]);
    btn->SetModalResult(ButtonResults[b]);
    if (!haveDefault && (b == mbOK || b == mbYes)) {
      btn->SetDefault(true);
      haveDefault = true;
    }
    if (b == mbCancel || (b == mbNo && !Buttons.Contains(mbCancel)) || (list.size() == 1))
      btn->SetCancel(true);
    x += bw + gap;
  }
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(top + bh + 12);
  return form;
}

int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  if (MessageBoxHook) {
    int flags = MB_OK;
    if (Buttons == mbYesNoCancel)
      flags = MB_YESNOCANCEL;
    else if (Buttons == TMsgDlgButtons{mbYes, mbNo})
      flags = MB_YESNO;
    else if (Buttons == mbOKCancel)
      flags = MB_OKCANCEL;
    static const int icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    return MessageBoxHook(Msg, TypeCaptions[DlgType], flags | icons[DlgType]);
  }
  if (Recording()) {
    RecordedMessageBoxes.push_back(AnsiString(DlgType == mtCustom
                                                  ? (Application ? Application->Title() : AnsiString())
                                                  : TypeCaptions[DlgType]) +
                                   ": " + Msg);
    return DefaultAnswer(Buttons);
  }
  auto form = CreateMessageDialog(Msg, DlgType, Buttons);
  return form->ShowModal();
}

void ShowMessage(const AnsiString& Msg) {
  MessageDlg(Msg, mtCustom, {mbOK}, 0);
}

int MessageBox(HWND, const char* Text, const char* Caption, int Flags) {
  const AnsiString text = Text ? Text : "", caption = Caption ? Caption : "";
  if (MessageBoxHook) return MessageBoxHook(text, caption, Flags);
  TMsgDlgButtons buttons{mbOK};
  switch (Flags & 0xF) {
  case MB_OKCANCEL:
    buttons = {mbOK, mbCancel};
    break;
  case MB_ABORTRETRYIGNORE:
    buttons = {mbAbort, mbRetry, mbIgnore};
    break;
  case MB_YESNOCANCEL:
    buttons = {mbYes, mbNo, mbCancel};
    break;
  case MB_YESNO:
    buttons = {mbYes, mbNo};
    break;
  case MB_RETRYCANCEL:
    buttons = {mbRetry, mbCancel};
    break;
  default:
    break;
  }
  if (Recording()) {
    RecordedMessageBoxes.push_back(caption + ": " + text);
    return DefaultAnswer(buttons);
  }
  auto form = CreateMessageDialog(text, mtCustom, buttons);
  form->SetCaption(caption);
  const int r = form->ShowModal();
  return r; // the modal results have the message box's answer numbers
}

bool TSaveDialog::Execute() {
  if (OpenDialogHook) return OpenDialogHook(this);
  std::string name = FileName;
  if (!backend::SaveFileDialog(Title, InitialDir, Filter, DefaultExt, name)) return false;
  FileName = name;
  return true;
}

bool TOpenDialog::Execute() {
  if (OpenDialogHook) return OpenDialogHook(this);
  std::string name;
  if (!backend::OpenFileDialog(Title, InitialDir, Filter, name)) return false;
  FileName = name;
  return true;
}
