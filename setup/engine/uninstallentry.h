// The uninstall entry: the product among the installed programs, with its
// uninstall command, and what a later run of the setup program looks up to
// recognise the installation (ReadInstalledState). Written together with the
// product's shortcuts and the action-log records the uninstaller works from.
#pragma once

/// Writes the entry (InstallLocation, DisplayName, DisplayIcon,
/// UninstallString, Platfrom, Publisher, HelpLink, in that order) under the
/// key GetUninstallKeyName(), appends their log records and the Version
/// record, creates the four shortcuts (desktop, then the Programs menu's
/// product, uninstall and web-site links) and appends the uninstaller's two
/// file records. When the key can be neither opened nor created: text 2003 in
/// the framework's box, and nothing else is written.
void WriteUninstallEntry();
