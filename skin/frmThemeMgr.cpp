#include "skin/frmThemeMgr.h"

#include "classlib/controls/CheckLst.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/core/Exception.h"

QUENDREL_REGISTER_CLASS(TfrmMgr, TForm) {
  c.Method("btn_selClick", &TfrmMgr::btn_selClick);
  c.Method("btn_unselClick", &TfrmMgr::btn_unselClick);
}

TfrmMgr::TfrmMgr(TComponent* AOwner) : TForm(AOwner) {
  ReadFormResource();
  List = dynamic_cast<TCheckListBox*>(FindComponent("List"));
  btn_unsel = dynamic_cast<TButton*>(FindComponent("btn_unsel"));
  btn_sel = dynamic_cast<TButton*>(FindComponent("btn_sel"));
  btn_ok = dynamic_cast<TButton*>(FindComponent("btn_ok"));
  if (!List || !btn_unsel || !btn_sel || !btn_ok)
    throw EComponentError("The form resource of TfrmMgr lacks its list or its buttons");
}

void TfrmMgr::btn_selClick(TObject*) {
  for (int i = 0; i < List->Count(); ++i) List->SetChecked(i, true);
}

void TfrmMgr::btn_unselClick(TObject*) {
  for (int i = 0; i < List->Count(); ++i) List->SetChecked(i, false);
}
