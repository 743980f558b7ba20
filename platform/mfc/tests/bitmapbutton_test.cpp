// The bitmap button: its pictures come from the resource module, and it
// draws the one of its state, copied 1:1.
#include <gtest/gtest.h>

#include <filesystem>

#include "../../../resources/IntallerRes.h"
#include "afxext.h"
#include "testing/tempmachine.h"

namespace {

namespace fs = std::filesystem;

/// A one-colour bitmap of 8 x 8 pixels.
bool makePicture(CBitmap& bitmap, COLORREF colour) {
  CDC screen;
  screen.Attach(GetDC(nullptr));
  const bool made = bitmap.CreateCompatibleBitmap(&screen, 8, 8);
  CDC memory;
  memory.CreateCompatibleDC(&screen);
  CBitmap* old = memory.SelectObject(&bitmap);
  memory.FillSolidRect(0, 0, 8, 8, colour);
  memory.SelectObject(old);
  ReleaseDC(nullptr, screen.Detach());
  return made;
}

/// What the button draws for an item state, read back from a memory DC.
COLORREF drawnFor(CBitmapButton& button, UINT itemState) {
  CDC target;
  target.CreateCompatibleDC(nullptr);
  CBitmap surface;
  CDC screen;
  screen.Attach(GetDC(nullptr));
  surface.CreateCompatibleBitmap(&screen, 8, 8);
  ReleaseDC(nullptr, screen.Detach());
  CBitmap* old = target.SelectObject(&surface);
  target.FillSolidRect(0, 0, 8, 8, RGB(1, 1, 1));
  DRAWITEMSTRUCT item{ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, itemState, nullptr, target.GetSafeHdc(), RECT{0, 0, 8, 8}, 0};
  button.DrawItem(&item);
  const COLORREF colour = target.GetPixel(4, 4);
  target.SelectObject(old);
  return colour;
}

TEST(BitmapButton, TheStateChoosesThePicture) {
  winsim::testing::TempMachine machine;
  CBitmapButton button;
  ASSERT_TRUE(makePicture(button.m_bitmap, RGB(10, 10, 10)));
  ASSERT_TRUE(makePicture(button.m_bitmapSel, RGB(20, 20, 20)));
  ASSERT_TRUE(makePicture(button.m_bitmapFocus, RGB(30, 30, 30)));
  struct Case {
    UINT state;
    COLORREF expected;
  } cases[] = {
      {0, RGB(10, 10, 10)},         {ODS_SELECTED, RGB(20, 20, 20)}, {ODS_SELECTED | ODS_FOCUS, RGB(20, 20, 20)},
      {ODS_FOCUS, RGB(30, 30, 30)}, {ODS_DISABLED, RGB(10, 10, 10)},  // no disabled picture: the normal one
  };
  for (const Case& c : cases) EXPECT_EQ(drawnFor(button, c.state), c.expected) << c.state;
}

TEST(BitmapButton, PicturesComeFromTheResourceModule) {
  winsim::testing::TempMachine machine;
  const fs::path built = winsim::testing::testProgramFolder() / "IntallerRes.dll";
  ASSERT_TRUE(fs::exists(built)) << "build the IntallerRes_dll target first";
  const fs::path target = machine.host(u"C:\\Setup\\IntallerRes.dll");
  fs::create_directories(target.parent_path());
  fs::copy_file(built, target, fs::copy_options::overwrite_existing);
  HMODULE resources = LoadLibraryExW(u"C:\\Setup\\IntallerRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(resources, nullptr);
  AfxSetResourceHandle(resources);

  CBitmapButton button;
  EXPECT_TRUE(button.LoadBitmaps(IDB_SAMPLE_PICTURE, IDB_SAMPLE_PICTURE));
  BITMAP info{};
  ASSERT_TRUE(button.m_bitmap.GetBitmap(&info));
  EXPECT_GT(info.bmWidth, 0);
  EXPECT_NE(button.m_bitmapSel.GetSafeHandle(), nullptr);
  // A missing picture is reported; the ones that exist are still there.
  EXPECT_FALSE(button.LoadBitmaps(IDB_SAMPLE_PICTURE, 0, 999));
  EXPECT_NE(button.m_bitmap.GetSafeHandle(), nullptr);
  EXPECT_EQ(button.m_bitmapFocus.GetSafeHandle(), nullptr);
  // Without its normal picture nothing is loaded.
  EXPECT_FALSE(button.LoadBitmaps(999, IDB_SAMPLE_PICTURE));
  EXPECT_EQ(button.m_bitmapSel.GetSafeHandle(), nullptr);

  AfxSetResourceHandle(nullptr);
  FreeLibrary(resources);
}

}  // namespace
