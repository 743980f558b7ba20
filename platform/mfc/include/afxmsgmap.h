// Message maps: which messages a class of the library handles, and with
// which of its member functions.
//
// A class that handles messages overrides GetMessageMap and builds its map
// once, naming its base class's map and its entries:
//
//   const CMessageMap& CKoraxCopyFilesDlg::GetMessageMap() const {
//     static const CMessageMap map = CMessageMapOf<CKoraxCopyFilesDlg>(CBitmapDialog::GetMessageMap())
//         .on<WM_TIMER>(&CKoraxCopyFilesDlg::OnTimer)               // void OnTimer(UINT_PTR)
//         .on<WM_CTLCOLOR>(&CKoraxCopyFilesDlg::OnCtlColor)         // every WM_CTLCOLOR* message
//         .onBnClicked(IDC_LINK, &CKoraxCopyFilesDlg::OnLink)       // void OnLink()
//         .onMessage(WM_SETUP_DONE, &CKoraxCopyFilesDlg::OnSetupDone);  // LRESULT (WPARAM, LPARAM)
//     return map;
//   }
//
// on<M> takes the handler with the class library's signature for message M
// (the MessageCracker below lists them) and decodes the message's
// parameters for it; a handler of another signature, or of a class that is
// not the map's class or one of its bases, does not compile. A message is
// looked up in the object's own map first and then in its bases' maps; the
// first entry that takes it handles it. A handler that wants the default
// processing calls its base class's handler or Default().
//
// Entry kinds:
// - on<M>(handler): window message M. WM_CTLCOLOR stands for the seven
//   WM_CTLCOLOR* messages; the handler's nCtlColor says which (CTLCOLOR_*).
// - onMessage(M, handler): any message, LRESULT handler(WPARAM, LPARAM).
// - onCommand(id, handler): WM_COMMAND of a menu item, accelerator or a
//   control's BN_CLICKED / STN_CLICKED; onCommandRange(first, last, handler)
//   with handler(UINT id); onControl(code, id, handler) for any notification
//   code; onBnClicked, onStnClicked name the common ones.
// - onReflect<M>(handler): a message a control's parent reflects back to the
//   control: WM_CTLCOLOR (HBRUSH CtlColor(CDC*, UINT); a null brush leaves it
//   to the parent), WM_DRAWITEM (void DrawItem(LPDRAWITEMSTRUCT)),
//   WM_MEASUREITEM (void MeasureItem(LPMEASUREITEMSTRUCT)).
// - onControlReflect(code, handler): the control's own WM_COMMAND
//   notification reflected to it; a handler returning BOOL answers whether
//   it handled it (FALSE lets the parent handle it as well).
// - onThreadMessage(M, handler): a message posted to a thread (no window),
//   void handler(WPARAM, LPARAM), in a CWinThread's map.
#pragma once

#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "atltypes.h"
#include "win32/user.h"

class CCmdTarget;
class CWnd;
class CDC;
class CMenu;

/// Marks a class's message handlers in its declaration; it expands to nothing.
#define afx_msg

/// The messages of the WM_CTLCOLOR family, as one map key.
constexpr UINT WM_CTLCOLOR = 0x0019;
/// The nCtlColor values of OnCtlColor: which WM_CTLCOLOR* message came.
constexpr UINT CTLCOLOR_MSGBOX = 0;
constexpr UINT CTLCOLOR_EDIT = 1;
constexpr UINT CTLCOLOR_LISTBOX = 2;
constexpr UINT CTLCOLOR_BTN = 3;
constexpr UINT CTLCOLOR_DLG = 4;
constexpr UINT CTLCOLOR_SCROLLBAR = 5;
constexpr UINT CTLCOLOR_STATIC = 6;

namespace winsim::mfc {

/// A message being dispatched to a map entry.
struct MessageCall {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

enum class EntryKind { Window, Command, ReflectedWindow, ReflectedCommand, Thread };

/// Calls the handler; false when the handler says it did not handle the
/// message (a reflected handler's FALSE or null brush).
using EntryInvoker = std::function<bool(CCmdTarget& target, const MessageCall& call, LRESULT& result)>;

// What the decoders need of the window classes, so that this header needs
// only their names.
CWnd* windowFromHandle(HWND hwnd);
CDC* dcFromHandle(HDC hdc);
CMenu* menuFromHandle(HMENU menu);
CPoint pointFromLParam(LPARAM lParam);

inline bool isControlColorMessage(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace winsim::mfc

/// One entry of a message map.
class CMessageEntry {
 public:
  CMessageEntry(winsim::mfc::EntryKind kind, UINT message, WORD code, UINT firstId, UINT lastId,
                winsim::mfc::EntryInvoker invoke)
      : m_kind(kind),
        m_message(message),
        m_code(code),
        m_firstId(firstId),
        m_lastId(lastId),
        m_invoke(std::move(invoke)) {}

  winsim::mfc::EntryKind kind() const { return m_kind; }
  /// Whether the entry takes a window (or reflected window) message.
  bool takesMessage(UINT message) const {
    if (m_message == WM_CTLCOLOR) return winsim::mfc::isControlColorMessage(message);
    return m_message == message;
  }
  /// Whether the entry takes a WM_COMMAND notification.
  bool takesCommand(UINT id, WORD code) const { return m_code == code && id >= m_firstId && id <= m_lastId; }
  /// Whether the entry takes a reflected WM_COMMAND notification.
  bool takesReflectedCommand(WORD code) const { return m_code == code; }
  bool invoke(CCmdTarget& target, const winsim::mfc::MessageCall& call, LRESULT& result) const {
    return m_invoke(target, call, result);
  }

 private:
  winsim::mfc::EntryKind m_kind;
  UINT m_message;
  WORD m_code;
  UINT m_firstId;
  UINT m_lastId;
  winsim::mfc::EntryInvoker m_invoke;
};

/// The message map of one class: its entries, and its base class's map.
class CMessageMap {
 public:
  CMessageMap(const CMessageMap* base, std::vector<CMessageEntry> entries)
      : m_base(base), m_entries(std::move(entries)) {}
  CMessageMap(CMessageMap&&) = default;
  CMessageMap(const CMessageMap&) = delete;
  CMessageMap& operator=(const CMessageMap&) = delete;

  const CMessageMap* base() const { return m_base; }
  /// The first entry of this map or its bases' maps that takes a window
  /// message; null when none does.
  const CMessageEntry* findMessage(winsim::mfc::EntryKind kind, UINT message) const;
  const CMessageEntry* findCommand(UINT id, WORD code) const;
  const CMessageEntry* findReflectedCommand(WORD code) const;

 private:
  const CMessageMap* m_base;
  std::vector<CMessageEntry> m_entries;
};

namespace winsim::mfc {

/// The handler signature of a window message and how its parameters are
/// decoded, as the class library's handlers take them: `args` gives the
/// handler's arguments; a handler without a result answers `kNoResult`.
template <UINT M>
struct MessageCracker;

template <class Signature, LRESULT noResult = 0>
struct Cracker {
  using HandlerSignature = Signature;
  static constexpr LRESULT kNoResult = noResult;
};

inline WORD lowWord(LPARAM value) { return LOWORD(static_cast<DWORD_PTR>(value)); }
inline WORD highWord(LPARAM value) { return HIWORD(static_cast<DWORD_PTR>(value)); }
inline HWND windowOf(UINT_PTR value) { return reinterpret_cast<HWND>(value); }

template <>
struct MessageCracker<WM_CREATE> : Cracker<int(LPCREATESTRUCTW)> {
  static auto args(const MessageCall& m) { return std::tuple(reinterpret_cast<LPCREATESTRUCTW>(m.lParam)); }
};
template <>
struct MessageCracker<WM_DESTROY> : Cracker<void()> {
  static auto args(const MessageCall&) { return std::tuple(); }
};
template <>
struct MessageCracker<WM_CLOSE> : Cracker<void()> {
  static auto args(const MessageCall&) { return std::tuple(); }
};
template <>
struct MessageCracker<WM_MOVE> : Cracker<void(int, int)> {
  static auto args(const MessageCall& m) { return std::tuple(GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)); }
};
template <>
struct MessageCracker<WM_SIZE> : Cracker<void(UINT, int, int)> {
  static auto args(const MessageCall& m) {
    return std::tuple(static_cast<UINT>(m.wParam), int{lowWord(m.lParam)}, int{highWord(m.lParam)});
  }
};
template <>
struct MessageCracker<WM_ACTIVATE> : Cracker<void(UINT, CWnd*, BOOL)> {
  static auto args(const MessageCall& m) {
    return std::tuple(UINT{LOWORD(m.wParam)}, windowFromHandle(reinterpret_cast<HWND>(m.lParam)),
                      BOOL{HIWORD(m.wParam) != 0});
  }
};
template <>
struct MessageCracker<WM_SETFOCUS> : Cracker<void(CWnd*)> {
  static auto args(const MessageCall& m) { return std::tuple(windowFromHandle(windowOf(m.wParam))); }
};
template <>
struct MessageCracker<WM_KILLFOCUS> : Cracker<void(CWnd*)> {
  static auto args(const MessageCall& m) { return std::tuple(windowFromHandle(windowOf(m.wParam))); }
};
template <>
struct MessageCracker<WM_ENABLE> : Cracker<void(BOOL)> {
  static auto args(const MessageCall& m) { return std::tuple(BOOL{m.wParam != 0}); }
};
template <>
struct MessageCracker<WM_PAINT> : Cracker<void()> {
  static auto args(const MessageCall&) { return std::tuple(); }
};
template <>
struct MessageCracker<WM_ERASEBKGND> : Cracker<BOOL(CDC*)> {
  static auto args(const MessageCall& m) { return std::tuple(dcFromHandle(reinterpret_cast<HDC>(m.wParam))); }
};
template <>
struct MessageCracker<WM_SYSCOLORCHANGE> : Cracker<void()> {
  static auto args(const MessageCall&) { return std::tuple(); }
};
template <>
struct MessageCracker<WM_SHOWWINDOW> : Cracker<void(BOOL, UINT)> {
  static auto args(const MessageCall& m) { return std::tuple(BOOL{m.wParam != 0}, static_cast<UINT>(m.lParam)); }
};
template <>
struct MessageCracker<WM_CANCELMODE> : Cracker<void()> {
  static auto args(const MessageCall&) { return std::tuple(); }
};
/// The window under the pointer, the hit-test code and the mouse message
/// that caused the request.
template <>
struct MessageCracker<WM_SETCURSOR> : Cracker<BOOL(CWnd*, UINT, UINT)> {
  static auto args(const MessageCall& m) {
    return std::tuple(windowFromHandle(windowOf(m.wParam)), UINT{lowWord(m.lParam)}, UINT{highWord(m.lParam)});
  }
};
template <>
struct MessageCracker<WM_GETMINMAXINFO> : Cracker<void(MINMAXINFO*)> {
  static auto args(const MessageCall& m) { return std::tuple(reinterpret_cast<MINMAXINFO*>(m.lParam)); }
};
template <>
struct MessageCracker<WM_DRAWITEM> : Cracker<void(int, LPDRAWITEMSTRUCT), TRUE> {
  static auto args(const MessageCall& m) {
    return std::tuple(static_cast<int>(m.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(m.lParam));
  }
};
template <>
struct MessageCracker<WM_MEASUREITEM> : Cracker<void(int, LPMEASUREITEMSTRUCT), TRUE> {
  static auto args(const MessageCall& m) {
    return std::tuple(static_cast<int>(m.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(m.lParam));
  }
};
template <>
struct MessageCracker<WM_NCHITTEST> : Cracker<LRESULT(CPoint)> {
  static auto args(const MessageCall& m) { return std::tuple(pointFromLParam(m.lParam)); }
};
template <>
struct MessageCracker<WM_GETDLGCODE> : Cracker<UINT()> {
  static auto args(const MessageCall&) { return std::tuple(); }
};
/// The key, the repeat count and the flags of the key message's lParam.
template <UINT M>
struct KeyCracker : Cracker<void(UINT, UINT, UINT)> {
  static auto args(const MessageCall& m) {
    return std::tuple(static_cast<UINT>(m.wParam), UINT{lowWord(m.lParam)}, UINT{highWord(m.lParam)});
  }
};
template <>
struct MessageCracker<WM_KEYDOWN> : KeyCracker<WM_KEYDOWN> {};
template <>
struct MessageCracker<WM_KEYUP> : KeyCracker<WM_KEYUP> {};
template <>
struct MessageCracker<WM_CHAR> : KeyCracker<WM_CHAR> {};
template <>
struct MessageCracker<WM_SYSCOMMAND> : Cracker<void(UINT, LPARAM)> {
  static auto args(const MessageCall& m) { return std::tuple(static_cast<UINT>(m.wParam), m.lParam); }
};
template <>
struct MessageCracker<WM_TIMER> : Cracker<void(UINT_PTR)> {
  static auto args(const MessageCall& m) { return std::tuple(static_cast<UINT_PTR>(m.wParam)); }
};
/// The character, the menu flags and the menu that is open.
template <>
struct MessageCracker<WM_MENUCHAR> : Cracker<LRESULT(UINT, UINT, CMenu*)> {
  static auto args(const MessageCall& m) {
    return std::tuple(UINT{LOWORD(m.wParam)}, UINT{HIWORD(m.wParam)},
                      menuFromHandle(reinterpret_cast<HMENU>(m.lParam)));
  }
};
/// The device context, the control (or the dialog itself) and which of the
/// WM_CTLCOLOR* messages came (CTLCOLOR_*).
template <>
struct MessageCracker<WM_CTLCOLOR> : Cracker<HBRUSH(CDC*, CWnd*, UINT)> {
  static auto args(const MessageCall& m) {
    return std::tuple(dcFromHandle(reinterpret_cast<HDC>(m.wParam)), windowFromHandle(reinterpret_cast<HWND>(m.lParam)),
                      m.message - WM_CTLCOLORMSGBOX);
  }
};
/// The key state (MK_*) and the pointer in client coordinates.
template <UINT M>
struct MouseCracker : Cracker<void(UINT, CPoint)> {
  static auto args(const MessageCall& m) { return std::tuple(static_cast<UINT>(m.wParam), pointFromLParam(m.lParam)); }
};
template <>
struct MessageCracker<WM_MOUSEMOVE> : MouseCracker<WM_MOUSEMOVE> {};
template <>
struct MessageCracker<WM_LBUTTONDOWN> : MouseCracker<WM_LBUTTONDOWN> {};
template <>
struct MessageCracker<WM_LBUTTONUP> : MouseCracker<WM_LBUTTONUP> {};
template <>
struct MessageCracker<WM_LBUTTONDBLCLK> : MouseCracker<WM_LBUTTONDBLCLK> {};
template <>
struct MessageCracker<WM_RBUTTONDOWN> : MouseCracker<WM_RBUTTONDOWN> {};
template <>
struct MessageCracker<WM_RBUTTONUP> : MouseCracker<WM_RBUTTONUP> {};
template <>
struct MessageCracker<WM_MOUSELEAVE> : Cracker<void()> {
  static auto args(const MessageCall&) { return std::tuple(); }
};
template <>
struct MessageCracker<WM_QUERYNEWPALETTE> : Cracker<BOOL()> {
  static auto args(const MessageCall&) { return std::tuple(); }
};
/// The window that realised its palette.
template <>
struct MessageCracker<WM_PALETTECHANGED> : Cracker<void(CWnd*)> {
  static auto args(const MessageCall& m) { return std::tuple(windowFromHandle(windowOf(m.wParam))); }
};

/// Calls a handler with the decoded arguments and gives its result as the
/// message's result.
template <UINT M, class T, class F>
LRESULT callCracked(T& object, F T::*handler, const MessageCall& call) {
  using Cracker = MessageCracker<M>;
  auto invoke = [&](auto&&... args) { return (object.*handler)(args...); };
  using Result = decltype(std::apply(invoke, Cracker::args(call)));
  if constexpr (std::is_void_v<Result>) {
    std::apply(invoke, Cracker::args(call));
    return Cracker::kNoResult;
  } else if constexpr (std::is_pointer_v<Result>) {
    return reinterpret_cast<LRESULT>(std::apply(invoke, Cracker::args(call)));
  } else {
    return static_cast<LRESULT>(std::apply(invoke, Cracker::args(call)));
  }
}

}  // namespace winsim::mfc

/// Builds the message map of class Self (see the top of this header).
template <class Self>
class CMessageMapOf {
 public:
  explicit CMessageMapOf(const CMessageMap& base) : m_base(&base) {}

  /// Window message M with its handler of the class library's signature.
  template <UINT M, class T, class F>
  CMessageMapOf& on(F T::*handler) {
    checkClass<T>();
    using Cracker = winsim::mfc::MessageCracker<M>;
    static_assert(std::is_same_v<F, typename Cracker::HandlerSignature>,
                  "this handler does not have the class library's signature for the message");
    add(winsim::mfc::EntryKind::Window, M, 0, 0, 0,
        [handler](CCmdTarget& target, const winsim::mfc::MessageCall& call, LRESULT& result) {
          result = winsim::mfc::callCracked<M>(static_cast<T&>(target), handler, call);
          return true;
        });
    return *this;
  }

  /// Any message, with the raw parameters.
  template <class T>
  CMessageMapOf& onMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    checkClass<T>();
    add(winsim::mfc::EntryKind::Window, message, 0, 0, 0,
        [handler](CCmdTarget& target, const winsim::mfc::MessageCall& call, LRESULT& result) {
          result = (static_cast<T&>(target).*handler)(call.wParam, call.lParam);
          return true;
        });
    return *this;
  }

  /// WM_COMMAND with notification code `code` from control or item `id`.
  template <class T>
  CMessageMapOf& onControl(WORD code, UINT id, void (T::*handler)()) {
    checkClass<T>();
    add(winsim::mfc::EntryKind::Command, WM_COMMAND, code, id, id,
        [handler](CCmdTarget& target, const winsim::mfc::MessageCall&, LRESULT& result) {
          (static_cast<T&>(target).*handler)();
          result = 0;
          return true;
        });
    return *this;
  }
  /// A menu item, an accelerator, or a control's click (code 0).
  template <class T>
  CMessageMapOf& onCommand(UINT id, void (T::*handler)()) {
    return onControl(0, id, handler);
  }
  template <class T>
  CMessageMapOf& onBnClicked(UINT id, void (T::*handler)()) {
    return onControl(BN_CLICKED, id, handler);
  }
  template <class T>
  CMessageMapOf& onStnClicked(UINT id, void (T::*handler)()) {
    return onControl(STN_CLICKED, id, handler);
  }
  /// Commands `first` to `last` (code 0); the handler gets the id.
  template <class T>
  CMessageMapOf& onCommandRange(UINT first, UINT last, void (T::*handler)(UINT)) {
    checkClass<T>();
    add(winsim::mfc::EntryKind::Command, WM_COMMAND, 0, first, last,
        [handler](CCmdTarget& target, const winsim::mfc::MessageCall& call, LRESULT& result) {
          (static_cast<T&>(target).*handler)(LOWORD(call.wParam));
          result = 0;
          return true;
        });
    return *this;
  }

  /// A message the control's parent reflects back to the control.
  template <UINT M, class T, class F>
  CMessageMapOf& onReflect(F T::*handler) {
    checkClass<T>();
    if constexpr (M == WM_CTLCOLOR) {
      static_assert(std::is_same_v<F, HBRUSH(CDC*, UINT)>, "a reflected WM_CTLCOLOR handler is HBRUSH (CDC*, UINT)");
      add(winsim::mfc::EntryKind::ReflectedWindow, WM_CTLCOLOR, 0, 0, 0,
          [handler](CCmdTarget& target, const winsim::mfc::MessageCall& call, LRESULT& result) {
            HBRUSH brush = (static_cast<T&>(target).*handler)(
                winsim::mfc::dcFromHandle(reinterpret_cast<HDC>(call.wParam)), call.message - WM_CTLCOLORMSGBOX);
            result = reinterpret_cast<LRESULT>(brush);
            return brush != nullptr;
          });
    } else if constexpr (M == WM_DRAWITEM) {
      static_assert(std::is_same_v<F, void(LPDRAWITEMSTRUCT)>,
                    "a reflected WM_DRAWITEM handler is void (LPDRAWITEMSTRUCT)");
      add(winsim::mfc::EntryKind::ReflectedWindow, WM_DRAWITEM, 0, 0, 0,
          [handler](CCmdTarget& target, const winsim::mfc::MessageCall& call, LRESULT& result) {
            (static_cast<T&>(target).*handler)(reinterpret_cast<LPDRAWITEMSTRUCT>(call.lParam));
            result = TRUE;
            return true;
          });
    } else {
      static_assert(M == WM_MEASUREITEM, "only WM_CTLCOLOR, WM_DRAWITEM and WM_MEASUREITEM are reflected");
      static_assert(std::is_same_v<F, void(LPMEASUREITEMSTRUCT)>,
                    "a reflected WM_MEASUREITEM handler is void (LPMEASUREITEMSTRUCT)");
      add(winsim::mfc::EntryKind::ReflectedWindow, WM_MEASUREITEM, 0, 0, 0,
          [handler](CCmdTarget& target, const winsim::mfc::MessageCall& call, LRESULT& result) {
            (static_cast<T&>(target).*handler)(reinterpret_cast<LPMEASUREITEMSTRUCT>(call.lParam));
            result = TRUE;
            return true;
          });
    }
    return *this;
  }

  /// The control's own notification `code`, reflected to it.
  template <class T>
  CMessageMapOf& onControlReflect(WORD code, void (T::*handler)()) {
    checkClass<T>();
    add(winsim::mfc::EntryKind::ReflectedCommand, WM_COMMAND, code, 0, 0,
        [handler](CCmdTarget& target, const winsim::mfc::MessageCall&, LRESULT& result) {
          (static_cast<T&>(target).*handler)();
          result = 0;
          return true;
        });
    return *this;
  }
  /// The same with a handler that answers whether it handled the
  /// notification; FALSE lets the parent handle it too.
  template <class T>
  CMessageMapOf& onControlReflect(WORD code, BOOL (T::*handler)()) {
    checkClass<T>();
    add(winsim::mfc::EntryKind::ReflectedCommand, WM_COMMAND, code, 0, 0,
        [handler](CCmdTarget& target, const winsim::mfc::MessageCall&, LRESULT& result) {
          result = 0;
          return (static_cast<T&>(target).*handler)() != FALSE;
        });
    return *this;
  }

  /// A message posted to the thread, in a CWinThread's map.
  template <class T>
  CMessageMapOf& onThreadMessage(UINT message, void (T::*handler)(WPARAM, LPARAM)) {
    checkClass<T>();
    add(winsim::mfc::EntryKind::Thread, message, 0, 0, 0,
        [handler](CCmdTarget& target, const winsim::mfc::MessageCall& call, LRESULT& result) {
          (static_cast<T&>(target).*handler)(call.wParam, call.lParam);
          result = 0;
          return true;
        });
    return *this;
  }

  operator CMessageMap() const { return CMessageMap(m_base, m_entries); }

 private:
  template <class T>
  static constexpr void checkClass() {
    static_assert(std::is_base_of_v<T, Self>, "the handler belongs to a class that is not the map's class or its base");
    static_assert(std::is_base_of_v<CCmdTarget, T>, "handlers are members of CCmdTarget classes");
  }
  void add(winsim::mfc::EntryKind kind, UINT message, WORD code, UINT firstId, UINT lastId,
           winsim::mfc::EntryInvoker invoke) {
    m_entries.emplace_back(kind, message, code, firstId, lastId, std::move(invoke));
  }

  const CMessageMap* m_base;
  std::vector<CMessageEntry> m_entries;
};
