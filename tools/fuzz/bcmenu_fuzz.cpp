// The owner-drawn menu's template reader (BCMenu::LoadMenuIndirect) on
// outside input: what loads is measured and drawn item by item, then
// destroyed.
//
// Seeds (corpus/bcmenu/): menu templates as windres writes them, flat and
// with pop-ups within pop-ups.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "afxwin.h"
#include "bcmenu.h"

namespace {

void visit(BCMenu& top, BCMenu& menu, CDC& dc, int depth) {
  for (const auto& data : menu.GetItems()) {
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, static_cast<UINT>(data->nID), 0, 0, reinterpret_cast<ULONG_PTR>(data.get())};
    top.MeasureItem(&mis);
    DRAWITEMSTRUCT dis{ODT_MENU,
                       0,
                       static_cast<UINT>(data->nID),
                       ODA_DRAWENTIRE,
                       ODS_SELECTED | ODS_CHECKED,
                       nullptr,
                       dc.GetSafeHdc(),
                       RECT{0, 0, 60, 20},
                       reinterpret_cast<ULONG_PTR>(data.get())};
    top.DrawItem(&dis);
  }
  for (UINT i = 0; i < menu.GetMenuItemCount() && depth < 40; ++i)
    if (auto* sub = dynamic_cast<BCMenu*>(menu.GetSubMenu(static_cast<int>(i)))) visit(top, *sub, dc, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<BYTE> input(data, data + size);
  BCMenu menu;
  if (!menu.LoadMenuIndirect(input.data(), static_cast<DWORD>(input.size()))) return 0;
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap target;
  target.CreateBitmap(60, 20, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&target);
  visit(menu, menu, dc, 0);
  BCMenu::FindKeyboardShortcut('a', MF_POPUP, menu.GetSubMenu(0));
  dc.SelectObject(old);
  menu.DestroyMenu();
  CDC::DeleteTempMap();
  CGdiObject::DeleteTempMap();
  return 0;
}
