// The reader of the machine's Windows Installer packages, the property
// formatter and the command line of properties.
#include "winsim/msipackage.h"

#include <gtest/gtest.h>

#include <string>

#include "msi.h"
#include "win32/msgbox.h"
#include "win32/registry.h"

namespace {

using winsim::MsiFileEntry;
using winsim::MsiPlatform;
using winsim::MsiRegistryEntry;
using winsim::parseMsiPackage;

TEST(MsiPackage, ReadsEverySection) {
  auto package = parseMsiPackage(
      "\xEF\xBB\xBF; a comment\r\n"
      "[Package]\r\n"
      "ProductCode = {7db4c454-5cbc-48ff-b070-7fed49dd181e}\r\n"
      "productname = DWG Merrowin\n"
      "ProductVersion=16.0\n"
      "Manufacturer = Halvorn\n"
      "Platform = x64\n"
      "Language = 2052\n"
      "Codepage = 936\n"
      "# another comment\n"
      "[Properties]\n"
      "TARGETDIR = [ProgramFilesFolder]Halvorn\\Merrowin\\\n"
      "[Search]\n"
      "OLDDIR = HKLM\\SOFTWARE\\Halvorn | path\n"
      "[Files]\n"
      "file = [TARGETDIR]korax.exe | source=payload\\korax.exe\n"
      "file = [TARGETDIR]a.txt | text=one\\ntwo\\\\three = 3 | four\n"
      "[Registry]\n"
      "value = HKCR\\Msxml2.DOMDocument.6.0\\CLSID | | REG_SZ | {88D96A05-F192-11D4-A65F-0040963251E5}\n"
      "value = HKEY_CURRENT_USER\\Software\\Halvorn | Count | REG_DWORD | 0x10\n"
      "value = HKLM\\SOFTWARE\\Halvorn | Path | REG_EXPAND_SZ | a|b\n"
      "[Fault]\n"
      "result = 3010\n"
      "message = first\\nsecond\n"
      "kind = warning\n"
      "style = 0x31\n");
  ASSERT_TRUE(package.ok()) << package.error().message;
  EXPECT_EQ(package->productCode, u"{7DB4C454-5CBC-48FF-B070-7FED49DD181E}");
  EXPECT_EQ(package->productName, u"DWG Merrowin");
  EXPECT_EQ(package->productVersion, u"16.0");
  EXPECT_EQ(package->manufacturer, u"Halvorn");
  EXPECT_EQ(package->platform, MsiPlatform::X64);
  EXPECT_EQ(package->language, 2052);
  EXPECT_EQ(package->codepage, 936u);
  ASSERT_EQ(package->properties.size(), 1u);
  EXPECT_EQ(package->properties[0].second, u"[ProgramFilesFolder]Halvorn\\Merrowin\\");
  ASSERT_EQ(package->searches.size(), 1u);
  EXPECT_EQ(package->searches[0].property, u"OLDDIR");
  EXPECT_EQ(package->searches[0].key, u"SOFTWARE\\Halvorn");
  EXPECT_EQ(package->searches[0].name, u"path");
  ASSERT_EQ(package->files.size(), 2u);
  EXPECT_EQ(package->files[0].source, MsiFileEntry::Source::PackageFile);
  EXPECT_EQ(package->files[0].sourceName, u"payload\\korax.exe");
  EXPECT_EQ(package->files[1].source, MsiFileEntry::Source::Text);
  EXPECT_EQ(package->files[1].text, "one\ntwo\\three = 3 | four");
  ASSERT_EQ(package->registry.size(), 3u);
  EXPECT_EQ(package->registry[0].root, MsiRegistryEntry::Root::ClassesRoot);
  EXPECT_EQ(package->registry[0].key, u"Msxml2.DOMDocument.6.0\\CLSID");
  EXPECT_EQ(package->registry[0].name, u"");
  EXPECT_EQ(package->registry[1].root, MsiRegistryEntry::Root::CurrentUser);
  EXPECT_EQ(package->registry[1].type, REG_DWORD);
  EXPECT_EQ(package->registry[2].type, REG_EXPAND_SZ);
  EXPECT_EQ(package->registry[2].data, u"a|b");
  ASSERT_TRUE(package->fault.has_value());
  EXPECT_EQ(package->fault->result, 3010u);
  EXPECT_EQ(package->fault->message, u"first\nsecond");
  EXPECT_EQ(package->fault->messageType, static_cast<UINT>(INSTALLMESSAGE_WARNING | 0x31));
}

TEST(MsiPackage, FaultDefaultsToAnInstallationFailureWithAnErrorBox) {
  auto package = parseMsiPackage("[Package]\nProductCode={00000000-0000-0000-0000-000000000001}\n[Fault]\n");
  ASSERT_TRUE(package.ok());
  ASSERT_TRUE(package->fault.has_value());
  EXPECT_EQ(package->fault->result, ERROR_INSTALL_FAILURE);
  EXPECT_EQ(package->fault->messageType, static_cast<UINT>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR));
  EXPECT_EQ(package->platform, MsiPlatform::X86);
  EXPECT_EQ(package->language, 1033);
}

TEST(MsiPackage, RefusesWhatItCannotInstall) {
  const std::string head = "[Package]\nProductCode={00000000-0000-0000-0000-000000000001}\n";
  struct Case {
    std::string text;
    const char* why;
  } cases[] = {
      {"", "no ProductCode"},
      {"[Package]\nProductName=x\n", "no ProductCode"},
      {"[Package]\nProductCode={0000000-0000-0000-0000-000000000001}\n", "GUID"},
      {"[Package]\nProductCode=00000000-0000-0000-0000-000000000001\n", "GUID"},
      {"[Package]\nProductCode={00000000-0000-0000-0000-00000000000G}\n", "GUID"},
      {"ProductCode={00000000-0000-0000-0000-000000000001}\n", "outside any section"},
      {head + "[Unknown]\n", "unknown section"},
      {head + "[Files\n", "closing"},
      {head + "Colour=red\n", "unknown [Package] key"},
      {head + "Platform=arm\n", "Platform"},
      {head + "Language=70000\n", "Language"},
      {head + "just words\n", "key = value"},
      {head + "= value\n", "key before"},
      {head + "[Properties]\n1ABC=x\n", "property name"},
      {head + "[Files]\nfile = C:\\a.txt\n", "TARGET"},
      {head + "[Files]\nfile = | text=x\n", "TARGET"},
      {head + "[Files]\nfile = C:\\a.txt | copy=x\n", "source=NAME"},
      {head + "[Files]\nfile = C:\\a.txt | source=..\\secret\n", "below the package"},
      {head + "[Files]\nfile = C:\\a.txt | source=C:\\secret\n", "below the package"},
      {head + "[Files]\nfile = C:\\a.txt | source=\\secret\n", "below the package"},
      {head + "[Files]\nfile = C:\\a.txt | source=a\\\\b\n", "below the package"},
      {head + "[Files]\ncopy = C:\\a.txt | text=x\n", "[Files] lines"},
      {head + "[Registry]\nvalue = HKLM\\SOFTWARE\\X | n | REG_SZ\n", "NAME | TYPE | DATA"},
      {head + "[Registry]\nvalue = HKU\\X | n | REG_SZ | d\n", "root"},
      {head + "[Registry]\nvalue = HKLM | n | REG_SZ | d\n", "below its root"},
      {head + "[Registry]\nvalue = HKLM\\X | n | REG_BINARY | 00\n", "registry type"},
      {head + "[Registry]\nvalue = HKLM\\X | n | REG_DWORD | 4294967296\n", "32-bit"},
      {head + "[Registry]\nvalue = HKLM\\X | n | REG_DWORD | -1\n", "32-bit"},
      {head + "[Search]\nP = HKLM\\X\n", "search"},
      {head + "[Fault]\nresult = soon\n", "result"},
      {head + "[Fault]\nkind = panic\n", "kind"},
      {head + "[Fault]\nstyle = 0x1000000\n", "style"},
      {head + "[Fault]\ncolour = red\n", "unknown [Fault] key"},
  };
  for (const auto& c : cases) {
    auto package = parseMsiPackage(c.text);
    ASSERT_FALSE(package.ok()) << c.text;
    EXPECT_EQ(package.error().code, ERROR_INSTALL_PACKAGE_INVALID);
    EXPECT_NE(package.error().message.find(c.why), std::string::npos) << c.text << " -> " << package.error().message;
  }
}

TEST(MsiPackage, RefusesAPackageLargerThanOneMebibyte) {
  std::string text = "[Package]\nProductCode={00000000-0000-0000-0000-000000000001}\n";
  text.resize(winsim::kMaxMsiPackageBytes + 1, ';');
  auto package = parseMsiPackage(text);
  ASSERT_FALSE(package.ok());
  EXPECT_EQ(package.error().code, ERROR_INSTALL_PACKAGE_INVALID);
}

TEST(MsiPackage, RefusesMoreEntriesThanItKeeps) {
  std::string text = "[Package]\nProductCode={00000000-0000-0000-0000-000000000001}\n[Files]\n";
  for (std::size_t i = 0; i <= winsim::kMaxMsiEntries; ++i) text += "file = C:\\f" + std::to_string(i) + " | text=\n";
  EXPECT_FALSE(parseMsiPackage(text).ok());
}

TEST(MsiProperties, FormatsReferences) {
  winsim::MsiProperties properties;
  properties.set(u"TARGETDIR", u"C:\\Program Files\\Halvorn\\");
  properties.set(u"Name", u"[NOT FORMATTED AGAIN]");
  struct Case {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {
      {u"[TARGETDIR]korax.exe", u"C:\\Program Files\\Halvorn\\korax.exe"},
      {u"[targetdir]x", u"x"},  // names match with case; an unknown one is empty
      {u"[Name]", u"[NOT FORMATTED AGAIN]"},
      {u"[\\[]x[\\]]", u"[x]"},
      {u"[not a name]", u"[not a name]"},
      {u"[", u"["},
      {u"a]b[", u"a]b["},
      {u"[[TARGETDIR]]", u"[C:\\Program Files\\Halvorn\\]"},
      {u"", u""},
  };
  for (const auto& c : cases) {
    auto formatted = properties.format(c.in);
    ASSERT_TRUE(formatted.ok());
    EXPECT_EQ(formatted.value(), c.out);
  }
}

TEST(MsiProperties, RefusesAResultLongerThanItsLimit) {
  winsim::MsiProperties properties;
  properties.set(u"A", std::u16string(20000, u'a'));
  EXPECT_TRUE(properties.format(u"[A]").ok());
  auto twice = properties.format(u"[A][A]");
  ASSERT_FALSE(twice.ok());
  EXPECT_EQ(twice.error().code, ERROR_INSTALL_PACKAGE_INVALID);
}

TEST(MsiCommandLine, ReadsPropertyPairs) {
  auto pairs =
      winsim::parseMsiCommandLine(u"  TARGETDIR=\"C:\\My Tools\\\" NUM=3 QUOTE=\"say \"\"hi\"\"\" EMPTY=\"\" B=");
  ASSERT_TRUE(pairs.ok());
  ASSERT_EQ(pairs->size(), 5u);
  EXPECT_EQ((*pairs)[0], std::make_pair(std::u16string(u"TARGETDIR"), std::u16string(u"C:\\My Tools\\")));
  EXPECT_EQ((*pairs)[1].second, u"3");
  EXPECT_EQ((*pairs)[2].second, u"say \"hi\"");
  EXPECT_EQ((*pairs)[3].second, u"");
  EXPECT_EQ((*pairs)[4].second, u"");
}

TEST(MsiCommandLine, RefusesWhatIsNotAProperty) {
  for (const char16_t* line : {u"/qn", u"NAME", u"=x", u"A=\"open", u"A=\"x\"y", u"1A=2", u"A B=1"}) {
    auto pairs = winsim::parseMsiCommandLine(line);
    ASSERT_FALSE(pairs.ok());
    EXPECT_EQ(pairs.error().code, ERROR_INVALID_COMMAND_LINE);
  }
}

}  // namespace
