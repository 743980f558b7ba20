// The shell link object: IShellLinkW to describe a shortcut, IPersistFile to
// write it as a .lnk file.
//
// CoCreateInstance(CLSID_ShellLink, null, CLSCTX_INPROC_SERVER, ...) makes
// one (win32/com.h). IPersistFile::Save writes a real shell link file in the
// documented binary format, so Windows and other readers follow it: a header
// with the target's attributes, times and size (zero when the target does not
// exist yet), a LinkInfo holding the target's full path as the local base path
// (in the machine's ANSI code page and in UTF-16) on a fixed volume, and the
// description, working folder, arguments and icon location as Unicode string
// data. No target item id list is written: the local base path locates the
// target. The file lands at the host path of the link's Windows path; its
// folder must exist.
//
// Limits: paths (target, working folder, icon) hold at most MAX_PATH - 1
// characters and the description and arguments at most INFOTIPSIZE - 1, as
// the system's link object holds them; longer text is refused with
// E_INVALIDARG. Reading links back (IPersistFile::Load) is not offered.
#pragma once

#include "objbase.h"
#include "win32/com.h"
#include "win32/files.h"
#include "win32/types.h"

constexpr int INFOTIPSIZE = 1024;

/// Flags of IShellLinkW::GetPath; the path is the full path in every case.
constexpr DWORD SLGP_SHORTPATH = 0x1;
constexpr DWORD SLGP_UNCPRIORITY = 0x2;
constexpr DWORD SLGP_RAWPATH = 0x4;

inline constexpr CLSID CLSID_ShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IShellLinkW : IUnknown {
  /// The target's full path, cut to cch - 1 characters. S_FALSE (and an empty
  /// text) when no path is set. pfd, when given, receives the target's
  /// attributes, times, size and file name as SetPath found them.
  virtual HRESULT GetPath(LPWSTR pszFile, int cch, WIN32_FIND_DATAW* pfd, DWORD fFlags) = 0;
  virtual HRESULT GetDescription(LPWSTR pszName, int cch) = 0;
  virtual HRESULT SetDescription(LPCWSTR pszName) = 0;
  virtual HRESULT GetWorkingDirectory(LPWSTR pszDir, int cch) = 0;
  virtual HRESULT SetWorkingDirectory(LPCWSTR pszDir) = 0;
  virtual HRESULT GetArguments(LPWSTR pszArgs, int cch) = 0;
  virtual HRESULT SetArguments(LPCWSTR pszArgs) = 0;
  virtual HRESULT GetShowCmd(int* piShowCmd) = 0;
  /// SW_SHOWNORMAL, SW_SHOWMAXIMIZED or SW_SHOWMINNOACTIVE; a link file keeps
  /// no other, so any other value is saved as SW_SHOWNORMAL.
  virtual HRESULT SetShowCmd(int iShowCmd) = 0;
  virtual HRESULT GetIconLocation(LPWSTR pszIconPath, int cch, int* piIcon) = 0;
  virtual HRESULT SetIconLocation(LPCWSTR pszIconPath, int iIcon) = 0;
  /// The target, made a full path against the current folder. It need not
  /// exist; when it does, its attributes, times and size go into the link.
  virtual HRESULT SetPath(LPCWSTR pszFile) = 0;

 protected:
  ~IShellLinkW() = default;
};

struct IPersist : IUnknown {
  virtual HRESULT GetClassID(CLSID* pClassID) = 0;

 protected:
  ~IPersist() = default;
};

struct IPersistFile : IPersist {
  /// S_OK when the object changed since it was last saved, else S_FALSE.
  virtual HRESULT IsDirty() = 0;
  /// E_NOTIMPL: links are only written here.
  virtual HRESULT Load(LPCOLESTR pszFileName, DWORD dwMode) = 0;
  /// Writes the link to pszFileName (null: the remembered file). fRemember
  /// makes that file the object's current file and clears the dirty state.
  /// Failures are the file system's, as HRESULT_FROM_WIN32; a partly written
  /// file is removed again.
  virtual HRESULT Save(LPCOLESTR pszFileName, BOOL fRemember) = 0;
  virtual HRESULT SaveCompleted(LPCOLESTR pszFileName) = 0;
  /// A copy of the current file's path (CoTaskMemAlloc, the caller frees it);
  /// S_FALSE and null when there is none.
  virtual HRESULT GetCurFile(LPOLESTR* ppszFileName) = 0;

 protected:
  ~IPersistFile() = default;
};
