// Colours and cursors in form streams: every published colour and cursor property of the class library and
// the skinned controls reads a name (clLime, crHandPoint) and writes one back; the drag properties of the
// status bar and the navigator are kept through a stream.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "classlib/controls/Control.h"
#include "classlib/controls/Form.h"
#include "classlib/core/Filer.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Color.h"
#include "skin/SKDBNavigator.h"
#include "skin/SKStatusBar.h"

namespace {

bool EndsWith(const AnsiString& Text, const char* Tail) {
  const AnsiString t = Tail;
  return Text.size() >= t.size() && Text.compare(Text.size() - t.size(), t.size(), t) == 0;
}

TEST(PublishedIdentifiers, EveryColourAndCursorPropertyNamesItsValues) {
  int colours = 0, cursors = 0;
  for (TClass cls : RegisteredClasses())
    for (const TPropInfo& p : cls->Properties) {
      if (p.Kind != TTypeKind::Integer) continue;
      if (EndsWith(p.Name, "Color")) {
        ++colours;
        EXPECT_EQ(p.Idents, &ColorIdents) << cls->Name << "." << p.Name;
      } else if (EndsWith(p.Name, "Cursor")) {
        ++cursors;
        EXPECT_EQ(p.Idents, &CursorIdents) << cls->Name << "." << p.Name;
      }
    }
  // The skinned library is loaded: its colours are among those checked.
  EXPECT_GT(colours, 40);
  EXPECT_GT(cursors, 3);
}

struct Named {
  const char* Component;
  const char* Property;
  const char* Ident;
};

// One value by name for each colour and cursor property that once took numbers only, and the drag
// properties.
const std::vector<Named> Values = {
    {"Grid", "BorderColor", "clLime"},      {"Grid", "FocusedColor", "clRed"},
    {"Grid", "SelectedColor", "clBlue"},    {"Grid", "FontColor", "clNavy"},
    {"Grid", "TitleFontColor", "clMaroon"}, {"Grid", "FixedBGColor", "clOlive"},
    {"Grid", "BGColor", "clTeal"},          {"Side", "BorderColor", "clLime"},
    {"Side", "CaptionFontColor", "clRed"},  {"Side", "SideBarColor", "clBlue"},
    {"Panel", "BorderColor", "clLime"},     {"Panel", "CaptionFontColor", "clRed"},
    {"Box", "BorderColor", "clLime"},       {"Checks", "FontColor", "clRed"},
    {"Checks", "BorderColor", "clLime"},    {"Checks", "Cursor", "crHandPoint"},
    {"Radios", "BorderColor", "clBlue"},    {"Edit", "BorderColor", "clLime"},
    {"Memo", "BorderColor", "clRed"},       {"Combo", "BorderColor", "clLime"},
    {"Combo", "ArrowColor", "clRed"},       {"Combo", "ButtonColor", "clBlue"},
    {"Lookup", "ArrowColor", "clNavy"},     {"Nav", "Cursor", "crHandPoint"},
    {"Nav", "DragCursor", "crNo"},          {"Nav", "DragKind", "dkDock"},
    {"Nav", "DragMode", "dmAutomatic"},     {"Nav", "ParentCtl3D", "False"},
    {"Status", "DragCursor", "crHelp"},     {"Status", "DragKind", "dkDock"},
    {"Status", "DragMode", "dmAutomatic"},
};

AnsiString FormText() {
  const std::vector<std::pair<const char*, const char*>> objects = {
      {"Grid", "TskDBGrid"},       {"Side", "TskSideChannel"},
      {"Panel", "TskPanel"},       {"Box", "TskGroupBox"},
      {"Checks", "TskCheckGroup"}, {"Radios", "TskRadioGroup"},
      {"Edit", "TskDBEdit"},       {"Memo", "TskDBMemo"},
      {"Combo", "TskDBComboBox"},  {"Lookup", "TskDBLookupComboBox"},
      {"Nav", "TskDBNavigator"},   {"Status", "TskStatusBar"}};
  AnsiString text = "object F: TForm\n";
  for (const auto& [name, cls] : objects) {
    text += AnsiString("  object ") + name + ": " + cls + "\n";
    for (const Named& v : Values)
      if (AnsiString(v.Component) == name) text += AnsiString("    ") + v.Property + " = " + v.Ident + "\n";
    text += "  end\n";
  }
  return text + "end\n";
}

// The value a name stands for, as the property answers it.
AnsiString Shown(TComponent* Root, const Named& v) {
  TComponent* c = Root->FindComponent(v.Component);
  if (!c) return "<missing>";
  const TPropInfo* p = GetPropInfo(c, v.Property);
  if (!p) return "<not published>";
  const int64_t value = GetOrdProp(c, v.Property);
  AnsiString ident;
  if (p->Idents && p->Idents->ToIdent && p->Idents->ToIdent(value, ident)) return ident;
  if (p->Names) return p->Names->NameOf(value);
  return IntToStr(value);
}

TEST(PublishedIdentifiers, NamedColoursCursorsAndDragPropertiesSurviveAStreamRoundTrip) {
  std::unique_ptr<TComponent> form(ReadComponentText(FormText(), nullptr));
  ASSERT_NE(form, nullptr);
  for (const Named& v : Values) EXPECT_EQ(Shown(form.get(), v), v.Ident) << v.Component << "." << v.Property;
  auto* nav = dynamic_cast<TskDBNavigator*>(form->FindComponent("Nav"));
  ASSERT_NE(nav, nullptr);
  EXPECT_EQ(nav->DragKind(), dkDock);
  EXPECT_FALSE(nav->ParentCtl3D());

  const AnsiString written = WriteComponentText(form.get());
  for (const Named& v : Values)
    EXPECT_NE(written.find(AnsiString(v.Property) + " = " + v.Ident), AnsiString::npos)
        << v.Component << "." << v.Property << " in\n"
        << written;
  std::unique_ptr<TComponent> again(ReadComponentText(written, nullptr));
  ASSERT_NE(again, nullptr);
  for (const Named& v : Values) EXPECT_EQ(Shown(again.get(), v), v.Ident) << v.Component << "." << v.Property;

  // Left at their defaults, the drag properties are not written.
  TForm plain(nullptr);
  auto* bar = new TskStatusBar(&plain); // owned by the form
  bar->SetName("Bar");
  bar->SetParent(&plain);
  const AnsiString bare = WriteComponentText(&plain);
  EXPECT_EQ(bare.find("Drag"), AnsiString::npos) << bare;
  EXPECT_EQ(bar->DragCursor(), crDrag);
}

} // namespace
