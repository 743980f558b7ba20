// Command targets and windows: CCmdTarget, the root of the classes that
// handle messages, and CWnd, a C++ object attached to a window of the USER
// layer.
//
// A CWnd is attached to its window in one of three ways:
// - it creates the window (CreateEx, or a dialog's DoModal/Create): the
//   object is attached before the window's first message reaches it;
// - it subclasses an existing window (SubclassWindow, SubclassDlgItem,
//   DDX_Control): the window's procedure becomes the library's, and what
//   the object does not handle goes on to the procedure it had before;
// - Attach only records the pair, without taking the window's messages.
// Each thread keeps its own map of these permanent objects, as windows
// belong to the thread that made them. FromHandle answers a window the
// library did not attach with a temporary object, owned by the thread's map
// and deleted when the thread's message loop goes idle (CWinThread::OnIdle)
// or the thread ends: keep a temporary pointer no longer than the handler
// that got it.
//
// Messages: the library's window procedure dispatches a message through
// WindowProc and OnWndMsg to the object's message map (afxmsgmap.h);
// unhandled ones, and handlers that call Default(), reach DefWindowProc,
// which is the subclassed procedure or DefWindowProcW. WM_COMMAND from a
// control, WM_CTLCOLOR*, WM_DRAWITEM and WM_MEASUREITEM are first offered to
// the permanent object of the control that sent them (reflection,
// OnChildNotify), so a control can handle its own notifications.
#pragma once

#include "afxmsgmap.h"
#include "afxobject.h"
#include "afxstr.h"
#include "atltypes.h"
#include "win32/user.h"

class CDC;
class CFont;
class CMenu;
class CRgn;
struct AFX_CMDHANDLERINFO;

class CCmdTarget : public CObject {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  /// The class's message map (afxmsgmap.h); the base class's is empty.
  virtual const CMessageMap& GetMessageMap() const;
  /// Routes a command (nCode: the notification code) to the map's command
  /// entries. pExtra and pHandlerInfo are accepted for the platform's
  /// signature and not used.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
};

class CWnd : public CCmdTarget {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
  const CMessageMap& GetMessageMap() const override;

  CWnd() = default;
  /// A window the object still has is destroyed with it, as on the platform
  /// (a derived class's OnDestroy no longer runs then).
  ~CWnd() override;

  /// The insert-after values of SetWindowPos.
  static const CWnd wndTop;
  static const CWnd wndBottom;
  static const CWnd wndTopMost;
  static const CWnd wndNoTopMost;

  HWND m_hWnd = nullptr;
  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }

  // Attaching.
  /// The permanent object of a window, else a temporary one; null for null.
  static CWnd* FromHandle(HWND hWnd);
  /// The permanent object of a window on this thread, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);
  /// FALSE when the object has a window already or the window has an object.
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  /// Attaches and takes the window's messages; PreSubclassWindow runs first.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  /// Gives the window its previous procedure back and detaches.
  HWND UnsubclassWindow();

  // Creating and destroying.
  /// Creates a window of a registered class (null: the library's own class,
  /// which paints nothing and has the arrow cursor); the object is attached
  /// before the window's first message.
  virtual BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                        int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();

  // Relations.
  CWnd* GetDlgItem(int nID) const;
  void GetDlgItem(int nID, HWND* phWnd) const;
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int nID);
  CWnd* GetParent() const;
  CWnd* GetOwner() const;
  CWnd* GetTopLevelParent() const;
  CWnd* GetWindow(UINT nCmd) const;
  CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;
  BOOL IsChild(const CWnd* pWnd) const;
  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }

  // Text and font.
  void SetWindowText(LPCWSTR lpszString);
  int GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  void SetDlgItemText(int nID, LPCWSTR lpszString);
  int GetDlgItemText(int nID, CString& rString) const;
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  CFont* GetFont() const;

  // State, style, position.
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsWindowEnabled() const;
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  /// Changes style bits; with nFlags, the frame is recomputed as SetWindowPos
  /// with those flags does. TRUE when the style changed.
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  void GetClientRect(LPRECT lpRect) const;
  void GetWindowRect(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const;
  void ScreenToClient(LPRECT lpRect) const;
  void ClientToScreen(LPPOINT lpPoint) const;
  void ClientToScreen(LPRECT lpRect) const;
  void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
  void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  /// Centres the window over its owner (or pAlternateOwner), else over the
  /// screen, kept on the screen.
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  BOOL BringWindowToTop();
  BOOL SetForegroundWindow();
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  HICON GetIcon(BOOL bBigIcon) const;

  // Painting.
  void Invalidate(BOOL bErase = TRUE);
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
  void ValidateRect(LPCRECT lpRect);
  void UpdateWindow();
  /// The USER layer keeps no regions: a region fails (FALSE).
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  /// The client area's device context (a temporary CDC); give it back with
  /// ReleaseDC.
  CDC* GetDC();
  CDC* GetWindowDC();
  int ReleaseDC(CDC* pDC);

  // Focus, capture, timers.
  CWnd* SetFocus();
  static CWnd* GetFocus();
  CWnd* SetCapture();
  static CWnd* GetCapture();
  static CWnd* GetActiveWindow();
  static CWnd* GetForegroundWindow();
  static CWnd* GetDesktopWindow();
  static CWnd* WindowFromPoint(POINT point);
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
  BOOL KillTimer(UINT_PTR nIDEvent);

  // Messages.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  /// Gives the message being handled to the default processing.
  LRESULT Default();
  /// The message being handled on this thread.
  static const MSG* GetCurrentMessage();

  /// The window procedure of every window the library attaches.
  static LRESULT AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

  // Overridables.
  /// Offers a message before it is translated and dispatched; TRUE eats it.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  /// Runs when a window is subclassed, before its messages come here.
  virtual void PreSubclassWindow();
  /// Runs after the window's last message; the object is detached then (a
  /// class allocated per window may delete itself here).
  virtual void PostNcDestroy();
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  /// The map's handler for a message; TRUE and *pResult when one handled it.
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  /// WM_COMMAND: offered to the control that sent it, then to the command
  /// entries of the map.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  /// A notification the parent reflects to this control; TRUE when handled.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  /// Walks from the message's window up to hWndStop, offering it to each
  /// permanent object's PreTranslateMessage.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

  // Handlers with their default processing (Default()), for derived
  // handlers to call.
  afx_msg int OnCreate(LPCREATESTRUCTW lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg void OnClose();
  afx_msg void OnMove(int x, int y);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSysColorChange();
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
  afx_msg void OnCancelMode();
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  /// Reflects the request to a control's own object, else Default().
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  /// Gives an owner-drawn menu item's request to its menu object, a
  /// control's to the control's object, else Default().
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
  /// Reflects the request to the control's own object (a non-null brush
  /// answers it), else Default().
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg BOOL OnQueryNewPalette();
  afx_msg void OnPaletteChanged(CWnd* pFocusWnd);

 protected:
  /// Offers the message being handled to the permanent object of a child
  /// window (reflection); TRUE when it handled it.
  static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
  /// The reflected-message entries of this object's map.
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  /// The procedure a subclassed window had; messages not handled go there.
  WNDPROC m_pfnSuper = nullptr;

 private:
  friend class CDialog;
  explicit CWnd(HWND marker) : m_hWnd(marker) {}
  /// Attaches the object whose window the thread is making (CreateEx, a
  /// dialog) at the window's first message; null when there is none.
  static CWnd* attachWindowBeingMade(HWND hwnd);
};
