#include "classlib/core/Collection.h"
#include "classlib/core/Filer.h"
#include "classlib/core/Resources.h"
#include "classlib/core/Stream.h"
#include "classlib/core/StringList.h"
#include "classlib/core/SysUtils.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace {

std::vector<AnsiString> LoadedOrder;

class TTestFont : public TPersistent {
  QUENDREL_CLASS(TTestFont, TPersistent)
 public:
  AnsiString Name = "Tahoma";
  int Size = 8;
};

class TTestItem : public TCollectionItem {
  QUENDREL_CLASS(TTestItem, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  AnsiString Caption;
  int Width = 0;
};

enum TButtonKind { bkCustom, bkOK, bkCancel };
enum TButtonOption { boFlat, boDefault, boCancel };
using TButtonOptions = TSet<TButtonOption>;
const TEnumInfo KindNames{{"bkCustom", "bkOK", "bkCancel"}};
const TEnumInfo OptionNames{{"boFlat", "boDefault", "boCancel"}};

bool ColorToIdent(int64_t value, AnsiString& ident) {
  if (value != 0x8000000D) return false;
  ident = "clHighlight";
  return true;
}
bool IdentToColor(const AnsiString& ident, int64_t& value) {
  if (ident != "clHighlight") return false;
  value = 0x8000000D;
  return true;
}
const TIdentMapping ColorIdents{&ColorToIdent, &IdentToColor};

// A component with one property of every kind; it may sit in a panel (its parent) or on the form itself.
class TTestButton : public TComponent {
  QUENDREL_CLASS(TTestButton, TComponent)
 public:
  explicit TTestButton(TComponent* AOwner) : TComponent(AOwner) {
    FItems->OnChange = TNotifyEvent(this, &TTestButton::ItemsChanged);
  }

  AnsiString Caption;
  int Width = 75;
  int Height = 25;
  double Scale = 0;
  TButtonKind Kind = bkCustom;
  TButtonOptions Options;
  bool Enabled = true;
  int64_t Color = 0;
  TTestButton* Buddy = nullptr;
  TComponent* Partner = nullptr;
  std::vector<uint8_t> Data;
  TNotifyEvent OnClick;
  int LoadedCount = 0;
  int ItemChanges = 0;
  bool LoadingWhileRead = false;

  TTestFont* Font() const { return FFont.get(); }
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  TCollection* Buttons() const { return FButtons.get(); }
  void SetCaption(const AnsiString& Value) {
    Caption = Value;
    LoadingWhileRead = ComponentState().Contains(csLoading);
  }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* Value) override;

  void Loaded() override {
    inherited::Loaded();
    ++LoadedCount;
    LoadedOrder.push_back(Name());
  }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == Buddy) Buddy = nullptr;
    if (AComponent == Partner) Partner = nullptr;
  }

  void DefineProperties(TFiler* Filer) override {
    inherited::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Data",
        [this](TStream* s) {
          Data.resize(static_cast<size_t>(s->Size()));
          s->ReadBuffer(Data.data(), s->Size());
        },
        [this](TStream* s) { s->WriteBuffer(Data.data(), static_cast<int64_t>(Data.size())); },
        !Data.empty());
  }

  TComponent* FParent = nullptr;

 private:
  void ItemsChanged(TObject*) { ++ItemChanges; }

  std::unique_ptr<TTestFont> FFont = std::make_unique<TTestFont>();
  std::unique_ptr<TStringList> FItems = std::make_unique<TStringList>();
  std::unique_ptr<TCollection> FButtons = std::make_unique<TCollection>(TTestItem::StaticClass());
};

// A button that holds other buttons.
class TTestPanel : public TTestButton {
  QUENDREL_CLASS(TTestPanel, TTestButton)
 public:
  using TTestButton::TTestButton;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (int i = 0; i < Root->ComponentCount(); ++i)
      if (auto* b = dynamic_cast<TTestButton*>(Root->Components(i)); b && b->FParent == this) Proc(b);
  }
};

void TTestButton::SetParentComponent(TComponent* Value) {
  FParent = Value;
}

class TTestForm : public TComponent {
  QUENDREL_CLASS(TTestForm, TComponent)
 public:
  explicit TTestForm(TComponent* AOwner) : TComponent(AOwner) {}
  AnsiString Caption;
  int Clicks = 0;
  int LoadedCount = 0;
  void ButtonClick(TObject*) { ++Clicks; }
  void Loaded() override {
    inherited::Loaded();
    ++LoadedCount;
    LoadedOrder.push_back(Name());
  }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    for (int i = 0; i < ComponentCount(); ++i) {
      auto* b = dynamic_cast<TTestButton*>(Components(i));
      if (!b || b->FParent == this) Proc(Components(i));
    }
    (void)Root;
  }
};

} // namespace

QUENDREL_REGISTER_CLASS(TTestFont, TPersistent) {
  c.Property("Name", &TTestFont::Name, &TTestFont::Name);
  c.Property("Size", &TTestFont::Size, &TTestFont::Size).Default(8);
}

QUENDREL_REGISTER_CLASS(TTestItem, TCollectionItem) {
  c.CollectionItem();
  c.Property("Caption", &TTestItem::Caption, &TTestItem::Caption);
  c.Property("Width", &TTestItem::Width, &TTestItem::Width).Default(0);
}

QUENDREL_REGISTER_CLASS(TTestButton, TComponent) {
  c.Creatable();
  c.Property("Caption", &TTestButton::Caption, &TTestButton::SetCaption);
  c.Property("Width", &TTestButton::Width, &TTestButton::Width).Default(75);
  c.Property("Height", &TTestButton::Height, &TTestButton::Height).Default(25);
  c.Property("Scale", &TTestButton::Scale, &TTestButton::Scale);
  c.Enum("Kind", &TTestButton::Kind, &TTestButton::Kind, KindNames).Default(bkCustom);
  c.Set("Options", &TTestButton::Options, &TTestButton::Options, OptionNames).Default(0);
  c.Property("Enabled", &TTestButton::Enabled, &TTestButton::Enabled).Default(1);
  c.Property("Color", &TTestButton::Color, &TTestButton::Color).Default(0).Idents(ColorIdents);
  c.Property("Buddy", &TTestButton::Buddy, &TTestButton::Buddy);
  c.Property("Partner", &TTestButton::Partner, &TTestButton::Partner);
  c.Property("Font", &TTestButton::Font);
  c.Property("Items", &TTestButton::Items, &TTestButton::SetItems);
  c.Property("Buttons", &TTestButton::Buttons);
  c.Event("OnClick", &TTestButton::OnClick);
}

QUENDREL_REGISTER_CLASS(TTestPanel, TTestButton) {
  c.Creatable();
}

QUENDREL_REGISTER_CLASS(TTestForm, TComponent) {
  c.Creatable();
  c.Property("Caption", &TTestForm::Caption, &TTestForm::Caption);
  c.Method("ButtonClick", &TTestForm::ButtonClick);
}

namespace {

AnsiString ResourceText(const char* name) {
  const TResourceEntry* entry = FindResourceData(name, RT_RCDATA);
  if (!entry) return {};
  return AnsiString(reinterpret_cast<const char*>(entry->Data.data()), entry->Data.size());
}

// Reads a form from text into a fresh root; answers the exception message, or "" when it loaded.
AnsiString TryRead(const AnsiString& text) {
  try {
    std::unique_ptr<TComponent> root(ReadComponentText(text, nullptr));
    return {};
  } catch (const Exception& e) {
    return e.Message.empty() ? AnsiString("(empty message)") : e.Message;
  }
}

} // namespace

TEST(FormStream, LoadsTheResourceIntoItsRoot) {
  LoadedOrder.clear();
  TTestForm form(nullptr);
  ASSERT_TRUE(InitInheritedComponent(&form, TComponent::StaticClass()));

  EXPECT_EQ(form.Name(), "TestForm");
  EXPECT_EQ(form.Caption, "Main 'form' tail");
  ASSERT_EQ(form.ComponentCount(), 3);
  auto* panel = dynamic_cast<TTestPanel*>(form.FindComponent("Panel1"));
  auto* button1 = dynamic_cast<TTestButton*>(form.FindComponent("button1"));
  auto* button2 = dynamic_cast<TTestButton*>(form.FindComponent("Button2"));
  ASSERT_TRUE(panel && button1 && button2);
  EXPECT_EQ(panel->Width, 200);
  EXPECT_EQ(button1->FParent, panel);
  EXPECT_EQ(button2->FParent, &form);

  // Values of every kind.
  EXPECT_EQ(button1->Caption, "Go");
  EXPECT_EQ(button1->Width, -12);
  EXPECT_EQ(button1->Height, 16);
  EXPECT_DOUBLE_EQ(button1->Scale, 1.5);
  EXPECT_EQ(button1->Kind, bkCancel);
  EXPECT_EQ(button1->Options, (TButtonOptions{boFlat, boDefault}));
  EXPECT_FALSE(button1->Enabled);
  EXPECT_EQ(button1->Font()->Name, "Courier New");
  EXPECT_EQ(button1->Font()->Size, 9);
  EXPECT_EQ(button1->Items()->Text(), "one\ntwo=2\n");
  EXPECT_EQ(button1->Items()->Values("two"), "2");
  EXPECT_EQ(button1->Data, (std::vector<uint8_t>{0x00, 0x01, 0xFF, 0x10}));
  EXPECT_EQ(button2->Caption, "Other\r\nline");
  EXPECT_EQ(button2->Color, 0x8000000D);
  EXPECT_TRUE(button1->LoadingWhileRead);

  // The collection.
  ASSERT_EQ(button1->Buttons()->Count(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(button1->Buttons()->Items(0))->Caption, "first");
  EXPECT_EQ(static_cast<TTestItem*>(button1->Buttons()->Items(0))->Width, 10);
  EXPECT_EQ(static_cast<TTestItem*>(button1->Buttons()->Items(1))->Caption, "second");

  // References, including one to a component later in the stream and one to the root.
  EXPECT_EQ(button1->Buddy, button2);
  EXPECT_EQ(button2->Partner, &form);

  // The event is bound to the form's published method.
  ASSERT_TRUE(button1->OnClick);
  button1->OnClick(button1);
  EXPECT_EQ(form.Clicks, 1);
  EXPECT_EQ(button1->OnClick.MethodName, "ButtonClick");

  // Loaded once each, in creation order, after which nobody is loading.
  EXPECT_EQ(LoadedOrder, (std::vector<AnsiString>{"TestForm", "Panel1", "Button1", "Button2"}));
  EXPECT_EQ(form.LoadedCount, 1);
  EXPECT_EQ(button1->LoadedCount, 1);
  for (int i = 0; i < form.ComponentCount(); ++i) {
    EXPECT_FALSE(form.Components(i)->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form.Components(i)->ComponentState().Contains(csReading));
  }
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
}

TEST(FormStream, WrittenBackReadsToAnEqualTree) {
  TTestForm form(nullptr);
  ReadComponentRes("TTestForm", &form);
  const AnsiString written = WriteComponentText(&form);

  std::unique_ptr<TComponent> copy(ReadComponentText(written, nullptr));
  auto* form2 = dynamic_cast<TTestForm*>(copy.get());
  ASSERT_NE(form2, nullptr);
  EXPECT_EQ(WriteComponentText(form2), written);

  ASSERT_EQ(form2->ComponentCount(), 3);
  auto* b1 = dynamic_cast<TTestButton*>(form2->FindComponent("Button1"));
  auto* b2 = dynamic_cast<TTestButton*>(form2->FindComponent("Button2"));
  ASSERT_TRUE(b1 && b2);
  EXPECT_EQ(b1->FParent, form2->FindComponent("Panel1"));
  EXPECT_EQ(b1->Buddy, b2);
  EXPECT_EQ(b2->Partner, form2);
  EXPECT_EQ(b1->Options, (TButtonOptions{boFlat, boDefault}));
  EXPECT_EQ(b1->Items()->Count(), 2);
  EXPECT_EQ(b1->Buttons()->Count(), 2);
  EXPECT_EQ(b1->Data.size(), 4u);
  EXPECT_EQ(b2->Caption, "Other\r\nline");
  EXPECT_EQ(form2->Caption, "Main 'form' tail");
  b1->OnClick(b1);
  EXPECT_EQ(form2->Clicks, 1);
  // Defaults are left out; identifiers stay identifiers.
  EXPECT_EQ(written.find("Height = 25"), AnsiString::npos);
  EXPECT_NE(written.find("Color = clHighlight"), AnsiString::npos);
}

TEST(FormStream, WriterSplitsLongTextAndEncodesControlCharacters) {
  TTestForm form(nullptr);
  form.SetName("F");
  form.Caption = AnsiString(150, 'x') + "\t'";
  const AnsiString text = WriteComponentText(&form);
  EXPECT_NE(text.find("' +\n"), AnsiString::npos);
  EXPECT_NE(text.find("#9''''"), AnsiString::npos);
  std::unique_ptr<TComponent> copy(ReadComponentText(text, nullptr));
  EXPECT_EQ(static_cast<TTestForm*>(copy.get())->Caption, form.Caption);
}

TEST(FormStream, ReferencesResolveThroughOwnersAndTheGlobalLookup) {
  static TTestForm* shared = nullptr;
  TTestForm other(nullptr);
  other.SetName("OtherForm");
  auto* gadget = new TTestButton(&other); // owned by other
  gadget->SetName("Gadget");
  shared = &other;
  RegisterFindGlobalComponentProc([](const AnsiString& name) -> TComponent* {
    return shared && SameText(name, shared->Name()) ? shared : nullptr;
  });
  std::unique_ptr<TComponent> root(ReadComponentText("object F: TTestForm\n"
                                                     "  object B: TTestButton\n"
                                                     "    Partner = OtherForm.Gadget\n"
                                                     "    Buddy = OtherForm.Gadget\n"
                                                     "  end\n"
                                                     "end\n",
                                                     nullptr));
  auto* b = static_cast<TTestButton*>(root->FindComponent("B"));
  EXPECT_EQ(b->Partner, gadget);
  EXPECT_EQ(b->Buddy, gadget);
  // Written back with the owner's name.
  EXPECT_NE(WriteComponentText(root.get()).find("Partner = OtherForm.Gadget"), AnsiString::npos);
  shared = nullptr;
}

TEST(FormStream, ErrorsNameTheLine) {
  const AnsiString unknownProp =
      TryRead("object F: TTestForm\n  object B: TTestButton\n    Colour = 3\n  end\nend");
  EXPECT_EQ(unknownProp, "Line 3: Error reading B.Colour: Property Colour does not exist");
  EXPECT_EQ(TryRead("object F: TTestForm\n  object B: TNoSuchButton\n  end\nend"),
            "Line 2: Class TNoSuchButton not found");
  EXPECT_EQ(TryRead("object F: TTestForm\n  Caption = 'open\nend"), "Line 2: Unterminated string");
  EXPECT_EQ(TryRead("object F: TTestForm\n  object B: TTestButton\n    Buddy = Nobody\n  end\nend"),
            "Line 3: Unresolved reference to Nobody");
  EXPECT_EQ(TryRead("object F: TTestForm\n  object B: TTestButton\n    Kind = bkHuge\n  end\nend"),
            "Line 3: Error reading B.Kind: Invalid property value bkHuge for Kind");
  EXPECT_EQ(TryRead("object F: TTestForm\n  Caption = 'x'\n"), "Line 3: 'end' expected");
  EXPECT_EQ(TryRead("object F: TTestForm\nend\nend"), "Line 3: End of stream expected");
  EXPECT_EQ(TryRead("object F: TTestForm\n  object B: TTestButton\n    Data = {0A1}\n  end\nend"),
            "Line 3: Odd number of hexadecimal digits in binary data");
  EXPECT_EQ(
      TryRead("object F: TTestForm\n  object A: TTestButton\n  end\n  object a: TTestButton\n  end\nend"),
      "Line 4: A component named a already exists");
}

TEST(FormStream, NumbersBeyondAPropertysRangeAreErrorsOfTheirLine) {
  const auto read = [](const char* value) {
    return TryRead(AnsiString("object F: TTestForm\n  object B: TTestButton\n    Width = ") + value +
                   "\n  end\nend");
  };
  EXPECT_EQ(read("99999999999"),
            "Line 3: Error reading B.Width: Value 99999999999 is out of range for Width");
  EXPECT_EQ(read("-2147483649"),
            "Line 3: Error reading B.Width: Value -2147483649 is out of range for Width");
  EXPECT_EQ(read("$100000000"), "Line 3: Error reading B.Width: Value 4294967296 is out of range for Width");
  EXPECT_EQ(read("-$8000000000000000"), "Line 3: Integer overflow"); // its negation does not exist
  EXPECT_EQ(read("9223372036854775808"), "Line 3: Integer overflow");
  EXPECT_EQ(read("-2147483648"), "");
  EXPECT_EQ(read("2147483647"), "");
  // A 64-bit property takes the whole range, its most negative value included.
  EXPECT_EQ(
      TryRead("object F: TTestForm\n  object B: TTestButton\n    Color = -$7FFFFFFFFFFFFFFF\n  end\nend"),
      "");
}

TEST(FormStream, AFailedReadLeavesNothingBehind) {
  TTestForm form(nullptr);
  EXPECT_THROW(ReadComponentText("object F: TTestForm\n"
                                 "  object A: TTestButton\n  end\n"
                                 "  object B: TTestButton\n    Width = 'wide'\n  end\n"
                                 "end",
                                 &form),
               EParserError);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_THROW(ReadComponentRes("TNOSUCHFORM", &form), EResNotFound);
}

TEST(FormStreamFuzz, TruncatedStreamsFailCleanly) {
  const AnsiString text = ResourceText("TTESTFORM");
  ASSERT_FALSE(text.empty());
  for (size_t n = 0; n < text.size(); ++n) {
    // Copy into a buffer of exactly n bytes, so that any read past the end is caught by the sanitizers.
    std::unique_ptr<char[]> buffer(new char[n == 0 ? 1 : n]);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), buffer.get());
    try {
      TReader reader(buffer.get(), n);
      std::unique_ptr<TComponent> root(reader.ReadRootComponent(nullptr));
      // Only a cut in the trailing blank can still load.
      EXPECT_GE(n, text.find_last_of('d') + 1);
    } catch (const Exception&) {
    }
  }
}

TEST(FormStreamFuzz, MutatedAndRandomStreamsFailCleanly) {
  const AnsiString text = ResourceText("TTESTFORM");
  std::mt19937 random(20240611);
  const char alphabet[] = " \n\t'#$+-=:.,()[]<>{}0123456789abcdefxyzABCDEF_\x01\xff";
  int loaded = 0;
  for (int round = 0; round < 3000; ++round) {
    AnsiString input;
    if (round % 3 == 0) {
      input.resize(random() % 200);
      for (char& c : input) c = alphabet[random() % (sizeof alphabet - 1)];
    } else {
      input = text;
      const int edits = 1 + static_cast<int>(random() % 4);
      for (int e = 0; e < edits; ++e) {
        const size_t at = random() % input.size();
        switch (random() % 3) {
        case 0:
          input[at] = alphabet[random() % (sizeof alphabet - 1)];
          break;
        case 1:
          input.erase(at, 1 + random() % 8);
          break;
        default:
          input.insert(at, 1, alphabet[random() % (sizeof alphabet - 1)]);
          break;
        }
        if (input.empty()) input = "x";
      }
    }
    if (TryRead(input).empty()) ++loaded;
  }
  EXPECT_LT(loaded, 3000);
}

TEST(FormStreamFuzz, DeepNestingIsRefused) {
  AnsiString deep = "object F: TTestForm\n";
  for (int i = 0; i < 5000; ++i) deep += "object B" + std::to_string(i) + ": TTestPanel\n";
  EXPECT_NE(TryRead(deep).find("Nesting too deep"), AnsiString::npos);
}
