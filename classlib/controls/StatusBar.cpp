#include "classlib/controls/StatusBar.h"

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Screen.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"

const TEnumInfo StatusPanelStyleNames{{"psText", "psOwnerDraw"}};
const TEnumInfo StatusPanelBevelNames{{"pbNone", "pbLowered", "pbRaised"}};

QUENDREL_REGISTER_CLASS(TStatusPanel, TCollectionItem) {
  c.CollectionItem();
  c.Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, AlignmentNames)
      .Default(taLeftJustify);
  c.Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel, StatusPanelBevelNames).Default(pbLowered);
  c.Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle, StatusPanelStyleNames).Default(psText);
  c.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  c.Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}

QUENDREL_REGISTER_CLASS(TStatusPanels, TCollection) {}

QUENDREL_REGISTER_CLASS(THintAction, TCustomAction) {}

QUENDREL_REGISTER_CLASS(TCustomStatusBar, TCustomControl) {
  c.Enum("Align", &TCustomStatusBar::Align, &TCustomStatusBar::SetAlign, AlignNames).Default(alBottom);
  c.Property("AutoHint", &TCustomStatusBar::AutoHint, &TCustomStatusBar::SetAutoHint).Default(0);
  c.Property("Panels", &TCustomStatusBar::Panels, &TCustomStatusBar::SetPanels);
  c.Property("SimplePanel", &TCustomStatusBar::SimplePanel, &TCustomStatusBar::SetSimplePanel).Default(0);
  c.Property("SimpleText", &TCustomStatusBar::SimpleText, &TCustomStatusBar::SetSimpleText);
  c.Property("SizeGrip", &TCustomStatusBar::SizeGrip, &TCustomStatusBar::SetSizeGrip).Default(1);
  c.Property("UseSystemFont", &TCustomStatusBar::UseSystemFont, &TCustomStatusBar::SetUseSystemFont)
      .Default(1);
  c.Event("OnDrawPanel", &TCustomStatusBar::OnDrawPanel);
  c.Event("OnHint", &TCustomStatusBar::OnHint);
  c.Event("OnCreatePanelClass", &TCustomStatusBar::OnCreatePanelClass);
}

QUENDREL_REGISTER_CLASS(TStatusBar, TCustomStatusBar) {
  c.Creatable();
}

// ---- TStatusPanel ----

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const AnsiString& Value) {
  if (Value == FText) return;
  FText = Value;
  Changed(false);
}

void TStatusPanel::SetWidth(int Value) {
  if (Value == FWidth) return;
  FWidth = Value;
  Changed(true); // the panels after it move
}

void TStatusPanel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
  if (Value == FBevel) return;
  FBevel = Value;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed(false);
}

void TStatusPanel::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TStatusPanel*>(Source)) {
    FText = p->FText;
    FWidth = p->FWidth;
    FAlignment = p->FAlignment;
    FBevel = p->FBevel;
    FStyle = p->FStyle;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(Source);
}

AnsiString TStatusPanel::GetDisplayName() const {
  return FText.empty() ? TCollectionItem::GetDisplayName() : FText;
}

// ---- TStatusPanels ----

TStatusPanels::TStatusPanels(TCustomStatusBar* StatusBar)
    : TCollection(TStatusPanel::StaticClass()), FStatusBar(StatusBar) {}

TStatusPanel* TStatusPanels::Add() {
  return FStatusBar->CreatePanel();
}

TPersistent* TStatusPanels::GetOwner() {
  return FStatusBar;
}

void TStatusPanels::Update(TCollectionItem*) {
  FStatusBar->Invalidate();
}

// ---- TCustomStatusBar ----

TCustomStatusBar::TCustomStatusBar(TComponent* AOwner)
    : TCustomControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)) {
  ControlStyle = {csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 150, 19);
  SetAlign(alBottom);
  ApplySystemFont();
}

TCustomStatusBar::~TCustomStatusBar() = default;

void TCustomStatusBar::SetPanels(TStatusPanels* Value) {
  FPanels->Assign(Value);
}

void TCustomStatusBar::SetSimplePanel(bool Value) {
  if (Value == FSimplePanel) return;
  FSimplePanel = Value;
  Invalidate();
}

void TCustomStatusBar::SetSimpleText(const AnsiString& Value) {
  if (Value == FSimpleText) return;
  FSimpleText = Value;
  Invalidate();
}

void TCustomStatusBar::SetSizeGrip(bool Value) {
  if (Value == FSizeGrip) return;
  FSizeGrip = Value;
  Invalidate();
}

void TCustomStatusBar::SetUseSystemFont(bool Value) {
  FUseSystemFont = Value;
  if (Value) ApplySystemFont();
}

void TCustomStatusBar::ApplySystemFont() {
  FUseSystemFont = true;
  FApplyingSystemFont = true;
  SetParentFont(false);
  // The system's status font, as its non-client metrics report it.
  Font()->SetName("Tahoma");
  Font()->SetHeight(-11);
  FApplyingSystemFont = false;
}

void TCustomStatusBar::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  if (!FApplyingSystemFont) FUseSystemFont = false;
}

bool TCustomStatusBar::GripShown() const {
  if (!FSizeGrip) return false;
  const TCustomForm* form = GetParentForm();
  return form && form->BorderStyle() == bsSizeable && form->WindowState() != wsMaximized;
}

TRect TCustomStatusBar::PanelRect(int Index) {
  const int w = ClientWidth(), h = ClientHeight();
  const int right = GripShown() ? w - GripSize : w;
  if (Index < 0) return Rect(1, 3, right - 1, h - 1);
  int left = 0;
  for (int i = 0; i < Index; ++i) left += FPanels->Items(i)->Width() + 2;
  const int last = FPanels->Count() - 1;
  const int panelRight = Index == last ? right : left + FPanels->Items(Index)->Width();
  return Rect(left + 1, 3, panelRight - 1, h - 1);
}

void TCustomStatusBar::DrawPanelFrame(TCanvas* Canvas, TRect Rect, TStatusPanelBevel Bevel) const {
  if (Bevel == pbNone) return;
  const bool lowered = Bevel == pbLowered;
  Frame3D(Canvas, Rect, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, 1);
}

void TCustomStatusBar::DrawGrip(TCanvas* Canvas) {
  // Three ridges across the corner, each a highlight line above two shadow lines.
  const int w = ClientWidth(), h = ClientHeight();
  for (int ridge = 0; ridge < 3; ++ridge) {
    const int d = 4 * ridge + 2;
    for (int line = 0; line < 3; ++line) {
      Canvas->Pen()->SetColor(line == 0 ? clBtnHighlight : clBtnShadow);
      const int k = d + line;
      Canvas->MoveTo(w - 1, h - 1 - k);
      Canvas->LineTo(w - 1 - k, h - 1);
    }
  }
}

void TCustomStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (OnDrawPanel) OnDrawPanel(this, Panel, Rect);
}

void TCustomStatusBar::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  canvas->SetFont(Font());
  auto text = [&](const AnsiString& Text, TRect R, TAlignment Alignment) {
    R.Left += 2;
    R.Right -= 2;
    unsigned format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (Alignment == taRightJustify) format |= DT_RIGHT;
    if (Alignment == taCenter) format |= DT_CENTER;
    canvas->Brush()->SetStyle(bsClear);
    RECT r = R;
    DrawText(canvas->Handle(), Text.c_str(), -1, &r, format);
    canvas->Brush()->SetStyle(bsSolid);
  };
  if (FSimplePanel || FPanels->Count() == 0) {
    const TRect r = PanelRect(-1);
    DrawPanelFrame(canvas, Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1), pbLowered);
    text(FSimpleText, r, taLeftJustify);
  } else {
    for (int i = 0; i < FPanels->Count(); ++i) {
      TStatusPanel* panel = FPanels->Items(i);
      const TRect r = PanelRect(i);
      if (r.Right <= r.Left) continue;
      DrawPanelFrame(canvas, Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1), panel->Bevel());
      if (panel->Style() == psOwnerDraw) {
        canvas->Brush()->SetColor(Color());
        canvas->Font()->SetColor(Font()->Color());
        DrawPanel(panel, r);
        canvas->SetFont(Font());
      } else {
        text(panel->Text(), r, panel->Alignment());
      }
    }
  }
  if (GripShown()) DrawGrip(canvas);
}

void TCustomStatusBar::WMNCHitTest(TMessage& Message) {
  inherited::WMNCHitTest(Message);
  if (Message.Result != HTCLIENT || !GripShown()) return;
  const TPoint p = ScreenToClient(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
  // The corner sizes the form, as the form's own bottom-right corner would.
  if (p.X >= ClientWidth() - GripSize && p.Y >= ClientHeight() - GripSize) Message.Result = HTBOTTOMRIGHT;
}

TStatusPanel* TCustomStatusBar::CreatePanel() {
  TClass panelClass = TStatusPanel::StaticClass();
  if (OnCreatePanelClass) OnCreatePanelClass(this, panelClass);
  // A class that cannot make status panels leaves the choice at the plain panel.
  if (!panelClass || !panelClass->CreateItem || !panelClass->InheritsFrom(TStatusPanel::StaticClass()))
    panelClass = TStatusPanel::StaticClass();
  return static_cast<TStatusPanel*>(panelClass->CreateItem(FPanels.get()));
}

bool TCustomStatusBar::DoHint() {
  if (!OnHint) return false;
  OnHint(this);
  return true;
}

bool TCustomStatusBar::ExecuteAction(TBasicAction* Action) {
  auto* hint = dynamic_cast<THintAction*>(Action);
  if (!FAutoHint || !hint || DoHint()) return false;
  if (FSimplePanel || FPanels->Count() == 0)
    SetSimpleText(hint->Hint());
  else
    FPanels->Items(0)->SetText(hint->Hint());
  return true;
}

namespace {

bool HintToStatusBars(TWinControl* Container, THintAction* Action) {
  for (int i = 0; i < Container->ControlCount(); ++i) {
    TControl* c = Container->Controls(i);
    if (!c->Visible()) continue;
    if (auto* bar = dynamic_cast<TCustomStatusBar*>(c); bar && bar->ExecuteAction(Action)) return true;
    if (auto* inner = dynamic_cast<TWinControl*>(c); inner && HintToStatusBars(inner, Action)) return true;
  }
  return false;
}

} // namespace

bool DispatchHintToStatusBars(const AnsiString& Hint) {
  TCustomForm* form = Screen ? Screen->ActiveForm() : nullptr;
  if (!form && Application) form = Application->MainForm();
  if (!form) return false;
  THintAction action(nullptr);
  action.SetHint(Hint);
  return HintToStatusBars(form, &action);
}
