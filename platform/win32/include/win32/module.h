// Modules and resources: the library loader, export lookup and the resource
// functions over resource libraries.
//
// What a module is on this machine:
// - A PE file (a Windows DLL or EXE, i386 or AMD64) is read as data: its
//   resource section is checked and kept in memory, and its code never runs,
//   because it cannot on this machine. So every PE file, resource-only or not,
//   serves resources only, and GetProcAddress on it fails with
//   ERROR_PROC_NOT_FOUND. Without LOAD_LIBRARY_AS_DATAFILE a PE file of the
//   other bitness than the program is refused with ERROR_BAD_EXE_FORMAT, as
//   Windows refuses it; as a data file it loads either way.
// - An ELF shared object (a .krx module or any library built on this host)
//   is really loaded (dlopen, all symbols bound at once) and GetProcAddress
//   finds the functions it exports itself (not those of libraries it links).
//   When it exports `extern "C" BOOL DllMain(HINSTANCE, DWORD, LPVOID)`, that
//   is called with DLL_PROCESS_ATTACH once it is loaded and with
//   DLL_PROCESS_DETACH before its last FreeLibrary unloads it; an attach that
//   returns FALSE is followed by the detach, and the load fails with
//   ERROR_DLL_INIT_FAILED. DllMain may call the loader again.
// - A built-in module (winsim/builtinmodules.h, e.g. "msi.dll") is a table of
//   the layer's own functions, found by its bare name before any file.
//
// A bare name ("IntallerRes.dll"; ".dll" is added to a name without an
// extension) is first matched against the modules already loaded, then the
// built-in modules, then looked for in the program's folder (the folder of
// WINSIM_IMAGE, else of the host executable), the system folder, the Windows
// folder and the current folder. A name with a folder is taken as a Windows
// path of the machine. Loading a module that is loaded already returns the
// same handle and counts one more reference; each LoadLibraryW needs its
// FreeLibrary. A data-file load shares the module and its count with a plain
// load of the same file.
//
// Resources: FindResourceW takes integer ids (MAKEINTRESOURCEW), "#123" and
// names (without case, as the resource compiler stores them upper-case).
// When a name has several languages, LANG_NEUTRAL is taken first, then
// English (United States), the simulated machine's language, then the first
// in the file. Resource data stays valid while the module is loaded.
#pragma once

#include "win32/types.h"

// An export's address, cast by the caller to the function's real type. It is
// void (*)() rather than Windows's INT_PTR (*)(), because that is the one
// function type the compilers let be cast to any other without a warning.
using FARPROC = void (*)();

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;

inline LPWSTR MAKEINTRESOURCEW(WORD id) { return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(id)); }
/// True for a resource or export named by an ordinal (a value below 0x10000).
template <class Char>
bool IS_INTRESOURCE(const Char* name) {
  return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0;
}

inline LPCWSTR const RT_CURSOR = MAKEINTRESOURCEW(1);
inline LPCWSTR const RT_BITMAP = MAKEINTRESOURCEW(2);
inline LPCWSTR const RT_ICON = MAKEINTRESOURCEW(3);
inline LPCWSTR const RT_MENU = MAKEINTRESOURCEW(4);
inline LPCWSTR const RT_DIALOG = MAKEINTRESOURCEW(5);
inline LPCWSTR const RT_STRING = MAKEINTRESOURCEW(6);
inline LPCWSTR const RT_GROUP_CURSOR = MAKEINTRESOURCEW(12);
inline LPCWSTR const RT_GROUP_ICON = MAKEINTRESOURCEW(14);
inline LPCWSTR const RT_VERSION = MAKEINTRESOURCEW(16);
inline LPCWSTR const RT_HTML = MAKEINTRESOURCEW(23);

constexpr WORD LANG_NEUTRAL = 0x00;
constexpr WORD LANG_ENGLISH = 0x09;
constexpr WORD SUBLANG_NEUTRAL = 0x00;
constexpr WORD SUBLANG_ENGLISH_US = 0x01;
constexpr WORD MAKELANGID(WORD primary, WORD sub) { return static_cast<WORD>((sub << 10) | primary); }

HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
/// hFile must be null; dwFlags 0 or LOAD_LIBRARY_AS_DATAFILE.
HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
BOOL FreeLibrary(HMODULE hLibModule);
/// Null: the program itself. Otherwise a loaded module by bare name or path.
HMODULE GetModuleHandleW(LPCWSTR lpModuleName);
/// Windows buffer rules: a path that does not fit is cut to nSize - 1
/// characters and a NUL; the result is then nSize and the last error
/// ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);
/// Exports by name; ordinals are not supported (ERROR_PROC_NOT_FOUND).
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
/// wLanguage MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL) chooses as
/// FindResourceW does; any other language must be present exactly.
HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
BOOL FreeResource(HGLOBAL hResData);

/// String uID of the module's string table. A buffer of cchBufferMax
/// characters receives at most cchBufferMax - 1 and a NUL; the result is the
/// number copied. With cchBufferMax 0, lpBuffer receives a read-only pointer
/// to the string inside the resource (not NUL-terminated) and the result is
/// its length. A missing or empty string gives 0.
int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);
