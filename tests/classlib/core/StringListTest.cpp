#include "classlib/core/StringList.h"

#include <gtest/gtest.h>

#include "classlib/core/Stream.h"

namespace {
AnsiString Lines(const TStrings& s) {
  AnsiString r;
  for (int i = 0; i < s.Count(); ++i) r += (i ? "|" : "") + s[i];
  return r;
}
} // namespace

TEST(StringList, AddsInsertsDeletesAndChecksIndexes) {
  TStringList s;
  EXPECT_EQ(s.Add("b"), 0);
  s.Add("d");
  s.Insert(0, "a");
  s.Insert(2, "c");
  EXPECT_EQ(Lines(s), "a|b|c|d");
  s.Delete(1);
  s.SetStrings(0, "A");
  EXPECT_EQ(Lines(s), "A|c|d");
  s.Exchange(0, 2);
  s.Move(0, 1);
  EXPECT_EQ(Lines(s), "c|d|A");
  try {
    s.Get(5);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (5)");
  }
  EXPECT_THROW(s.Delete(-1), EListError);
  EXPECT_THROW(s.Insert(4, "x"), EListError);
  s.Clear();
  EXPECT_EQ(s.Count(), 0);
}

TEST(StringList, FindsLinesAndNamesWithoutRegardToCase) {
  TStringList s;
  s.SetText("Alpha\nWidth=10\nwidth=20\nPuzzle Size=6\nnoequals\n");
  EXPECT_EQ(s.IndexOf("ALPHA"), 0);
  EXPECT_EQ(s.IndexOf("beta"), -1);
  EXPECT_EQ(s.IndexOfName("WIDTH"), 1); // the first match wins
  EXPECT_EQ(s.Values("width"), "10");
  EXPECT_EQ(s.Values("Puzzle Size"), "6");
  EXPECT_EQ(s.Values("noequals"), "");
  EXPECT_EQ(s.Names(1), "Width");
  EXPECT_EQ(s.Names(4), "");
  EXPECT_EQ(s.ValueFromIndex(2), "20");

  s.SetValues("WIDTH", "11"); // replaces the first
  EXPECT_EQ(s[1], "WIDTH=11");
  s.SetValues("Height", "5"); // adds
  EXPECT_EQ(s[s.Count() - 1], "Height=5");
  s.SetValues("width", ""); // deletes the first
  EXPECT_EQ(s.Values("width"), "20");

  s.SetCaseSensitive(true);
  EXPECT_EQ(s.IndexOf("ALPHA"), -1);
}

TEST(StringList, KeepsObjectsWithoutOwningThem) {
  TStringList s;
  TObject a, b;
  s.AddObject("a", &a);
  s.Add("none");
  s.InsertObject(1, "b", &b);
  EXPECT_EQ(s.Objects(0), &a);
  EXPECT_EQ(s.Objects(1), &b);
  EXPECT_EQ(s.Objects(2), nullptr);
  EXPECT_EQ(s.IndexOfObject(&b), 1);
  s.Exchange(0, 1);
  EXPECT_EQ(s.Objects(0), &b);
  TStringList copy;
  copy.Assign(&s);
  EXPECT_TRUE(copy.Equals(&s));
  EXPECT_EQ(copy.Objects(1), &a);
}

TEST(StringList, TextSplitsEveryKindOfLineBreak) {
  TStringList s;
  s.SetText("one\r\ntwo\nthree\rfour");
  EXPECT_EQ(Lines(s), "one|two|three|four");
  EXPECT_EQ(s.Text(), "one\ntwo\nthree\nfour\n");
  s.SetText("a\n\nb\n");
  EXPECT_EQ(s.Count(), 3);
  s.SetText("");
  EXPECT_EQ(s.Count(), 0);

  s.SetCommaText("a, \"b c\",\"say \"\"hi\"\"\",");
  EXPECT_EQ(Lines(s), "a|b c|say \"hi\"|");
  EXPECT_EQ(s.CommaText(), "a,\"b c\",\"say \"\"hi\"\"\",\"\"");

  TMemoryStream m;
  s.SaveToStream(&m);
  m.SetPosition(0);
  TStringList back;
  back.LoadFromStream(&m);
  EXPECT_TRUE(back.Equals(&s));
}

TEST(StringList, ChangeEventsAreHeldBackDuringAnUpdate) {
  TStringList s;
  int changes = 0, changing = 0;
  s.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &s);
    ++changes;
  };
  s.OnChanging = [&](TObject*) { ++changing; };
  s.Add("a");
  s.SetStrings(0, "b");
  s.Delete(0);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(changing, 3);

  changes = 0;
  s.BeginUpdate();
  s.BeginUpdate();
  s.Add("x");
  s.Add("y");
  s.EndUpdate();
  EXPECT_EQ(changes, 0);
  s.EndUpdate();
  EXPECT_EQ(changes, 1);

  changes = 0;
  TStringList other;
  other.SetText("1\n2\n3\n");
  s.Assign(&other);
  EXPECT_EQ(changes, 1);
  s.Clear();
  s.Clear(); // nothing to clear: no change
  EXPECT_EQ(changes, 2);
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates) {
  TStringList s;
  s.SetText("pear\nApple\nfig\n");
  s.SetSorted(true);
  EXPECT_EQ(Lines(s), "Apple|fig|pear");
  EXPECT_EQ(s.Add("banana"), 1);
  EXPECT_EQ(s.Add("FIG"), 2); // dupIgnore answers the existing line
  EXPECT_EQ(s.Count(), 4);
  int at = -1;
  EXPECT_TRUE(s.Find("PEAR", at));
  EXPECT_EQ(at, 3);
  EXPECT_FALSE(s.Find("cherry", at));
  EXPECT_EQ(at, 2);
  EXPECT_THROW(s.Insert(0, "x"), EListError);
  s.SetDuplicates(dupError);
  EXPECT_THROW(s.Add("apple"), EListError);
  s.SetDuplicates(dupAccept);
  s.Add("apple");
  EXPECT_EQ(s.Count(), 5);
}
