// The registry of the simulated machine.
//
// The registry lives in MACHINE/registry.reg, in the text format of registry
// export files ("Windows Registry Editor Version 5.00", UTF-16LE with a BOM),
// so a person can read it and regedit could import it. Every call takes a lock
// on MACHINE/state/registry.lock (shared to read, exclusive to change), reads
// the file again when another process has replaced it, and a change is written
// to a temporary file, flushed and renamed over the old one: two processes of
// one machine never lose each other's writes, and a process killed while
// writing leaves the previous registry intact.
//
// Roots: HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER are stored; HKEY_CLASSES_ROOT
// is a view of HKEY_LOCAL_MACHINE\SOFTWARE\Classes. HKEY_LOCAL_MACHINE itself
// holds only the fixed keys SOFTWARE and SYSTEM: it takes no values and no new
// keys (ERROR_ACCESS_DENIED), as on Windows. The fixed keys (HKLM\SOFTWARE,
// HKLM\SOFTWARE\Classes, HKLM\SYSTEM, HKCU\Software and, on a 64-bit machine,
// HKLM\SOFTWARE\WOW6432Node with its Classes) always exist and cannot be
// deleted.
//
// Views: on a 64-bit machine (profile system.processor x64 or ia64) the 32-bit
// view of HKLM\SOFTWARE\X is HKLM\SOFTWARE\WOW6432Node\X, Classes included
// (so HKEY_CLASSES_ROOT of a 32-bit program is WOW6432Node\Classes). Nothing
// else is redirected: no key under SOFTWARE is shared between the views, and
// HKEY_CURRENT_USER and HKLM\SYSTEM are the same in both. A call uses the view
// named by KEY_WOW64_32KEY / KEY_WOW64_64KEY in its access mask, else the
// program's own (winsim::programBitness()); as on Windows, a handle does not
// remember the view it was opened in, and RegDeleteKeyW always uses the
// program's view. On an x86 machine there is one view and the flags do nothing.
//
// Handles name a key by its path, not by a node in memory: a key deleted by
// another process gives ERROR_KEY_DELETED on use (a key created again under
// the same path is the same key to its old handles).
//
// Names: case-insensitive and case-preserving. Sub-key paths use "\" between
// names; a leading "\" or an empty name between two "\" is ERROR_BAD_PATHNAME,
// one trailing "\" is ignored. Key names are at most 255 characters and value
// names at most 16383; names with control characters (below U+0020) are refused
// with ERROR_INVALID_PARAMETER, since the file keeps one entry a line. Value
// data is stored byte for byte as written (a REG_SZ written with its NUL has
// (length + 1) x 2 bytes and reads back so); at most 1 MiB a value. Classes of
// keys and security descriptors are not kept; RegQueryInfoKeyW reports the time
// the registry file was last written as every key's last write time.
//
// Fault injection: the profile entry
//   [registry]
//   deny=HKLM\SOFTWARE\Foo;HKCU\Software\Bar
// lists keys (by their stored path: write HKLM\SOFTWARE\WOW6432Node\Foo for the
// 32-bit view; HKLM, HKCU, HKCR and the long root names are understood) that
// refuse write access, with everything below them: RegOpenKeyExW and
// RegCreateKeyExW asking for any write right, RegCreateKeyExW creating a key
// there and RegDeleteKeyW fail with ERROR_ACCESS_DENIED; reading still works.
//
// The functions return Win32 error codes and, as on Windows, leave the thread's
// last-error value alone. A damaged registry file makes every call fail with
// ERROR_REGISTRY_CORRUPT and is never overwritten; `winsim reg` names the line.
#pragma once

#include "win32/types.h"

// Predefined keys, with Windows' values (sign-extended on a 64-bit host).
inline HKEY const HKEY_CLASSES_ROOT =
    reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000000u))));
inline HKEY const HKEY_CURRENT_USER =
    reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000001u))));
inline HKEY const HKEY_LOCAL_MACHINE =
    reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(0x80000002u))));

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_LITTLE_ENDIAN = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;
constexpr DWORD REG_QWORD_LITTLE_ENDIAN = 11;

// Access rights of a key.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM KEY_WOW64_RES = 0x0300;
constexpr REGSAM KEY_READ = 0x00020019;
constexpr REGSAM KEY_WRITE = 0x00020006;
constexpr REGSAM KEY_EXECUTE = 0x00020019;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// RegCreateKeyExW options (only non-volatile keys are kept) and dispositions.
constexpr DWORD REG_OPTION_NON_VOLATILE = 0x00000000;
constexpr DWORD REG_OPTION_VOLATILE = 0x00000001;
constexpr DWORD REG_CREATED_NEW_KEY = 0x00000001;
constexpr DWORD REG_OPENED_EXISTING_KEY = 0x00000002;

LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
/// dwOptions must be REG_OPTION_NON_VOLATILE: volatile keys, links and backup
/// semantics are not kept (ERROR_INVALID_PARAMETER). Creating a key needs
/// KEY_CREATE_SUB_KEY on hKey; opening an existing one does not.
LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                        const LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition);
LSTATUS RegCloseKey(HKEY hKey);

/// lpData null: the size is reported in *lpcbData. A buffer too small gives
/// ERROR_MORE_DATA with the needed size in *lpcbData.
LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData);
LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);

/// Only a key without subkeys can be deleted (else ERROR_ACCESS_DENIED).
LSTATUS RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);

/// Subkeys come in the order of their names without case, values in the order
/// they were first written. Counts are characters without the NUL; a name
/// buffer too small gives ERROR_MORE_DATA and leaves the count as it was.
LSTATUS RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPWSTR lpClass,
                      LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
LSTATUS RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                      LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LSTATUS RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
                         LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                         LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                         PFILETIME lpftLastWriteTime);
