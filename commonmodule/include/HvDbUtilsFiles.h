// Files and folders: testing drawing files and paths, copying, making and
// deleting folder trees, building a full file path, and the module's own
// folders. Paths are Windows paths of the machine; folders are given and
// returned without a trailing backslash unless a function says otherwise.
#pragma once

#include "MWCommonModuleApi.h"
#include "afxstr.h"

namespace HvDbUtils {

/// 1 when the file exists and reads as a drawing (the current document is
/// locked, LockDoc/UnlockDoc, while it is read into a scratch database); 0
/// otherwise, a missing file without locking anything.
MWCOMMONMODULE_API int IsCanOpenDwgFile(const CString& path);
/// 1 when the path names an existing file or folder.
MWCOMMONMODULE_API int HasTheFile(const CString& path);
/// Copies the folder tree `source` into `destination` (made when missing),
/// replacing files of the same names. Single failures are not reported.
/// Always 1.
MWCOMMONMODULE_API int CopyFold(const CString& source, const CString& destination);
/// Makes every missing folder of `path` (a drive root is never made). 1 when
/// they all exist afterwards, 0 at the first that could not be made.
MWCOMMONMODULE_API int MkdirEx(const CString& path);

/// The room of the paths DeleteDirectory builds: 199 characters and the NUL.
inline constexpr int kDeletePathSize = 200;
/// Deletes the folder tree `path`. 1 when the folder was removed; otherwise
/// 0 after the box "Failed to delete directory!" (message 30205). A folder
/// that cannot be removed leaves its parent non-empty, so each level reports.
/// A path whose search pattern ("PATH\*.*") or an entry whose path does not
/// fit in kDeletePathSize characters is left alone (never cut short), so the
/// folder holding it stays and reports.
MWCOMMONMODULE_API int DeleteDirectory(const CString& path);

/// The longest folder part GetFileFullPath takes, and the longest full path
/// it gives.
inline constexpr int kMaxFullPathFolder = 255;
inline constexpr int kMaxFullPath = 259;
/// The full path of a file in `folder`, making the folder first: "/" become
/// "\", trailing "\" are dropped and one is put back, and the extension gets a
/// leading "." when it has none. 1 with the path in `fullPath`; 0 with
/// `fullPath` empty when the folder has no "\", "/" or ":", when the folder
/// part or the full path would be longer than the limits above (nothing is
/// made then), or, after the box "Failed to create directory!" (message
/// 30206), when the folder cannot be made.
MWCOMMONMODULE_API int GetFileFullPath(const CString& folder, const CString& fileName, const CString& extension,
                                       CString& fullPath);

/// The folder that holds MWCommonModule (as it was loaded); empty when its
/// file name cannot be had.
MWCOMMONMODULE_API CString GetModulePath();
/// The folder above GetModulePath, the product's installation folder; empty
/// when there is none.
MWCOMMONMODULE_API CString GetSetupPath();

}  // namespace HvDbUtils
