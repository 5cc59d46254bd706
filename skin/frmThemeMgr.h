#pragma once
// TfrmMgr: the check-list dialog of the theme manager's editor, streamed from its form resource: the
// components to update, each with a tick, "Select all", "Unselect all" and OK.
#include "classlib/controls/Form.h"

class TButton;
class TCheckListBox;

class TfrmMgr : public TForm {
  QUENDREL_CLASS(TfrmMgr, TForm)
 public:
  explicit TfrmMgr(TComponent* AOwner);

  TCheckListBox* List = nullptr;
  TButton* btn_unsel = nullptr;
  TButton* btn_sel = nullptr;
  TButton* btn_ok = nullptr;

  void btn_selClick(TObject* Sender);
  void btn_unselClick(TObject* Sender);
};
