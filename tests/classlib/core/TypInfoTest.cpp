#include "classlib/core/TypInfo.h"

#include <gtest/gtest.h>

namespace {

class TWidget : public TObject {
  QUENDREL_CLASS(TWidget, TObject)
 public:
  enum TShape { shSquare, shRound };
  int Tag = 0;
  AnsiString Caption;
  TShape Shape = shSquare;
  TWidget* Buddy = nullptr;
  int Clicks = 0;
  TNotifyEvent OnClick;
  TEvent<void(TObject*, int)> OnValue;
  void CountClick(TObject*) { ++Clicks; }
};

class TBigWidget : public TWidget {
  QUENDREL_CLASS(TBigWidget, TWidget)
 public:
  double Scale = 1;
};

const TEnumInfo ShapeNames{{"shSquare", "shRound"}};

} // namespace

QUENDREL_REGISTER_CLASS(TWidget, TObject) {
  c.Property("Tag", &TWidget::Tag, &TWidget::Tag);
  c.Property("Caption", &TWidget::Caption, &TWidget::Caption);
  c.Enum("Shape", &TWidget::Shape, &TWidget::Shape, ShapeNames);
  c.Property("Buddy", &TWidget::Buddy, &TWidget::Buddy);
  c.Event("OnClick", &TWidget::OnClick);
  c.Event("OnValue", &TWidget::OnValue);
  c.Method("CountClick", &TWidget::CountClick);
}

QUENDREL_REGISTER_CLASS(TBigWidget, TWidget) {
  c.Property("Scale", &TBigWidget::Scale, &TBigWidget::Scale);
}

TEST(TypInfo, ClassesAreRegisteredByNameAndKnowTheirAncestors) {
  EXPECT_EQ(GetClass("tbigwidget"), TBigWidget::StaticClass());
  EXPECT_THROW(FindClass("TNoSuchThing"), EClassNotFound);
  TBigWidget big;
  EXPECT_EQ(big.ClassName(), "TBigWidget");
  EXPECT_TRUE(big.InheritsFrom(TWidget::StaticClass()));
  EXPECT_FALSE(TWidget().InheritsFrom(TBigWidget::StaticClass()));
}

TEST(TypInfo, PropertiesAreInheritedAndFoundWithoutRegardToCase) {
  TBigWidget w;
  SetStrProp(&w, "caption", "Hello");
  SetEnumProp(&w, "SHAPE", "shRound");
  SetFloatProp(&w, "Scale", 2.5);
  SetObjectProp(&w, "Buddy", &w);
  EXPECT_EQ(w.Caption, "Hello");
  EXPECT_EQ(w.Shape, TWidget::shRound);
  EXPECT_EQ(GetEnumProp(&w, "Shape"), "shRound");
  EXPECT_DOUBLE_EQ(w.Scale, 2.5);
  EXPECT_EQ(w.Buddy, &w);
  EXPECT_TRUE(IsPublishedProp(&w, "Tag"));
  EXPECT_FALSE(IsPublishedProp(&w, "Width"));
}

TEST(TypInfo, MisuseRaisesThePropertyError) {
  TWidget w;
  EXPECT_THROW(SetOrdProp(&w, "Width", 3), EPropertyError);
  EXPECT_THROW(SetStrProp(&w, "Tag", "x"), EPropertyError);
  EXPECT_THROW(SetEnumProp(&w, "Shape", "shTriangle"), EPropertyError);
  TObject plain;
  EXPECT_THROW(SetObjectProp(&w, "Buddy", &plain), EPropertyError); // not a TWidget
}

TEST(TypInfo, EventsBindToPublishedMethodsOfTheRightShapeOnly) {
  TWidget form, button;
  SetMethodProp(&button, "OnClick", &form, "countclick");
  ASSERT_TRUE(button.OnClick);
  button.OnClick(&button);
  EXPECT_EQ(form.Clicks, 1);
  EXPECT_EQ(GetMethodPropName(&button, "OnClick"), "CountClick");
  EXPECT_THROW(SetMethodProp(&button, "OnValue", &form, "CountClick"), EPropertyError);
  EXPECT_THROW(SetMethodProp(&button, "OnClick", &form, "Missing"), EPropertyError);
  SetMethodProp(&button, "OnClick", &form, "");
  EXPECT_FALSE(button.OnClick);
}
