// The install-folder label: as many characters of the path as the font's
// average width lets fit, without an ellipsis; everything else as CLabelEx.
#include "labelpath.h"

#include <gtest/gtest.h>

#include <utility>

#include "labelex.h"
#include "labeltesting.h"

namespace {

using labeltesting::kSecondLabel;
using labeltesting::LabelTest;

TEST(LabelPathCut, CharactersThatFitFollowThePitch) {
  struct Case {
    int width;
    LONG averageWidth;
    BYTE pitch;  // TMPF_FIXED_PITCH set: variable pitch
    int expected;
  } const kCases[] = {
      {300, 6, TMPF_FIXED_PITCH, 33},  // 300 / (3 x 6 / 2)
      {300, 6, 0, 50},                 // fixed pitch: 300 / (2 x 6 / 2)
      {300, 7, TMPF_FIXED_PITCH, 30},  // 3 x 7 / 2 = 10 in integers
      {8, 6, TMPF_FIXED_PITCH, 0},
      {0, 6, TMPF_FIXED_PITCH, 0},
      {300, 0, TMPF_FIXED_PITCH, 0},  // a font without width shows nothing
      {-5, 6, 0, 0},
  };
  for (const Case& c : kCases) {
    TEXTMETRICW metrics{};
    metrics.tmAveCharWidth = c.averageWidth;
    metrics.tmPitchAndFamily = c.pitch;
    EXPECT_EQ(LabelFields::charactersThatFit(c.width, metrics), c.expected) << c.width << " / " << c.averageWidth;
  }
}

TEST_F(LabelTest, APathLabelShowsOnlyTheCharactersThatFit) {
  const CString path(u"D:\\Program Files\\Halvorn Company\\DWG Merrowin\\Plug-ins\\Korax\\Modules\\Common");
  // Each picture on a page of its own: a transparent label paints over what
  // its window showed before.
  const auto paintOnNewPage = [&](CStatic& label, LabelFields& fields, const CString& text) {
    labeltesting::CPage page;
    EXPECT_TRUE(page.CreateIndirect(m_template.get()));
    page.MoveWindow(0, 0, 420, 160);
    EXPECT_TRUE(label.SubclassDlgItem(kSecondLabel, &page));
    label.MoveWindow(10, 40, 300, 20);
    fields.m_crText = RGB(255, 255, 255);
    label.SetWindowText(text);
    auto picture = shown(label);
    const int fit = LabelFields::charactersThatFit(300, metricsOf(label));
    label.UnsubclassWindow();
    page.DestroyWindow();
    return std::make_pair(picture, fit);
  };

  CLabelPath pathLabel;
  const auto [cut, fit] = paintOnNewPage(pathLabel, pathLabel, path);
  ASSERT_TRUE(cut);
  ASSERT_GT(fit, 10);
  ASSERT_LT(fit, path.GetLength());

  // A plain label showing the first characters itself.
  struct Case {
    int length;
    bool same;
  } const kCases[] = {{fit, true}, {fit + 1, false}, {path.GetLength(), false}};
  for (const Case& c : kCases) {
    CLabelEx plain;
    const auto [whole, unused] = paintOnNewPage(plain, plain, path.Left(c.length));
    ASSERT_TRUE(whole);
    EXPECT_EQ(samePictures(*cut, *whole), c.same) << c.length << " characters";
  }
}

}  // namespace
