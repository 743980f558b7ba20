// What the Windows Installer keeps in the registry: where a package's keys are
// stored, the keys and values it writes, and the record of an installed
// product (msi.h describes both keys).
//
// Every key is named by the path it is stored at ("HKLM\SOFTWARE\WOW6432Node\X"
// for a 32-bit package's HKLM\SOFTWARE\X on a 64-bit machine) and reached with
// KEY_WOW64_64KEY, so the installer works alike from a 32-bit and a 64-bit
// program, and a removal finds exactly what the installation wrote.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "win32/registry.h"
#include "winsim/expected.h"
#include "winsim/msipackage.h"

namespace winsim::msi {

struct StoredKey {
  HKEY root = HKEY_LOCAL_MACHINE;  // HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER
  std::u16string path;             // below the root, never empty
};

/// "HKLM\path" / "HKCU\path", and back.
std::u16string storedKeyText(const StoredKey& key);
std::optional<StoredKey> parseStoredKeyText(std::u16string_view text);

/// Where a key of a package of `platform` lies on this machine.
StoredKey storedKeyFor(MsiRegistryEntry::Root root, std::u16string_view key, MsiPlatform platform);
bool machineIs64Bit();

/// Opens or creates the key and any missing parents; the keys it created are
/// appended to `created`, parents first.
LSTATUS createStoredKey(const StoredKey& key, std::vector<StoredKey>* created, HKEY* opened);
LSTATUS openStoredKey(const StoredKey& key, REGSAM access, HKEY* opened);
/// Deletes the key when it holds neither values nor subkeys; false otherwise.
bool deleteStoredKeyIfEmpty(const StoredKey& key);

/// A value as it was: for putting it back.
struct SavedValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};
std::optional<SavedValue> readValue(HKEY key, std::u16string_view name);

/// An installed product, as the installer recorded it.
struct ProductRecord {
  std::u16string productCode;
  std::u16string productName;
  std::u16string productVersion;
  std::u16string manufacturer;
  std::u16string packagePath;  // the package it was installed from
  std::u16string targetDir;
  MsiPlatform platform = MsiPlatform::X86;
  WORD language = 1033;
  std::vector<std::u16string> files;           // Windows paths
  std::vector<std::u16string> folders;         // folders it created, parents first
  std::vector<std::u16string> registryValues;  // storedKeyText + "\t" + value name
  std::vector<std::u16string> registryKeys;    // keys it created (storedKeyText), parents first
};

/// The record, or ERROR_UNKNOWN_PRODUCT.
Expected<ProductRecord> readProductRecord(std::u16string_view productCode);
/// Writes the record and the product's uninstall entry; the keys it creates
/// for them are appended to `created`.
LSTATUS writeProductRecord(const ProductRecord& record, std::vector<StoredKey>* created);
/// Deletes the record and the uninstall entry.
void deleteProductRecord(const ProductRecord& record);

/// Adds the items of `more` that `list` lacks (without case), keeping order.
void mergeNames(std::vector<std::u16string>& list, const std::vector<std::u16string>& more);

}  // namespace winsim::msi
