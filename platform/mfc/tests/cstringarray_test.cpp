#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afx.h"

namespace {

std::vector<std::u16string> items(const CStringArray& array) {
  std::vector<std::u16string> out;
  for (INT_PTR i = 0; i < array.GetSize(); ++i) out.emplace_back(array.GetAt(i).GetString());
  return out;
}

using Items = std::vector<std::u16string>;

TEST(CStringArray, AddAndRead) {
  CStringArray array;
  EXPECT_TRUE(array.IsEmpty());
  EXPECT_EQ(array.Add(u"zero"), 0);
  EXPECT_EQ(array.Add(CString(u"one")), 1);
  EXPECT_EQ(array.GetSize(), 2);
  EXPECT_EQ(array.GetCount(), 2);
  EXPECT_EQ(array.GetUpperBound(), 1);
  EXPECT_EQ(array[1], u"one");
  array[1] += u"!";
  array.ElementAt(0).MakeUpper();
  array.SetAt(1, array[1] + u"?");
  EXPECT_EQ(items(array), (Items{u"ZERO", u"one!?"}));
  const CStringArray& view = array;
  EXPECT_EQ(view[0], u"ZERO");
  array.RemoveAll();
  EXPECT_TRUE(array.IsEmpty());
}

TEST(CStringArray, InsertAndRemove) {
  CStringArray array;
  array.Add(u"a");
  array.Add(u"d");
  array.InsertAt(1, u"b");
  array.InsertAt(2, u"c", 2);
  EXPECT_EQ(items(array), (Items{u"a", u"b", u"c", u"c", u"d"}));
  array.RemoveAt(2);
  array.RemoveAt(0, 2);
  EXPECT_EQ(items(array), (Items{u"c", u"d"}));
  array.InsertAt(4, u"far");  // past the end: grows first
  EXPECT_EQ(items(array), (Items{u"c", u"d", u"", u"", u"far"}));
  array.InsertAt(0, array[4]);  // an element of the array itself
  EXPECT_EQ(array[0], u"far");
  array.RemoveAt(1, 5);
  EXPECT_EQ(items(array), (Items{u"far"}));
  array.RemoveAt(1, 0);
  EXPECT_EQ(array.GetSize(), 1);
}

TEST(CStringArray, CopyAppendSetSize) {
  CStringArray a;
  a.Add(u"1");
  a.Add(u"2");
  CStringArray b;
  b.Add(u"x");
  EXPECT_EQ(b.Append(a), 1);
  EXPECT_EQ(items(b), (Items{u"x", u"1", u"2"}));
  EXPECT_EQ(b.Append(b), 3);  // appending itself doubles it
  EXPECT_EQ(b.GetSize(), 6);
  b.Copy(a);
  EXPECT_EQ(items(b), (Items{u"1", u"2"}));
  b.Copy(b);
  EXPECT_EQ(b.GetSize(), 2);
  b.InsertAt(1, &a);
  EXPECT_EQ(items(b), (Items{u"1", u"1", u"2", u"2"}));
  b.InsertAt(0, &b);
  EXPECT_EQ(b.GetSize(), 8);
  b.SetSize(3);
  EXPECT_EQ(items(b), (Items{u"1", u"1", u"2"}));
  b.SetSize(5, 10);
  EXPECT_EQ(b[4], u"");
  a[0] = u"changed";
  EXPECT_EQ(b[0], u"1");  // copies own their strings
}

TEST(CStringArrayDeathTest, OutOfRangeAborts) {
  CStringArray array;
  array.Add(u"only");
  EXPECT_DEATH(array.GetAt(1), "GetAt\\(1\\) on an array of 1");
  EXPECT_DEATH(array[-1], "ElementAt\\(-1\\)");
  EXPECT_DEATH(array.SetAt(5, u"x"), "SetAt\\(5\\)");
  EXPECT_DEATH(array.RemoveAt(0, 2), "RemoveAt\\(0, 2\\) on an array of 1");
  EXPECT_DEATH(array.InsertAt(-1, u"x"), "InsertAt");
  EXPECT_DEATH(array.SetSize(-1), "SetSize");
}

}  // namespace
