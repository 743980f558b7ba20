#include "productkey.h"

#include "enginetest.h"
#include "registrytest.h"

namespace {

using enginetest::EngineTest;
using enginetest::expectNumber;
using enginetest::expectString;

constexpr char16_t kProductKey[] = u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup";

class ProductKeyTest : public EngineTest {
 protected:
  ProductKeyTest() {
    CSetupState& state = SetupState();
    state.installDir = u"C:\\Viewer";
    state.lcid = u"2052";
    state.language = u"zh_CN";
    state.languageKey = u"zh_cn";
    state.num = 7;
    state.netTest = 2;
    std::filesystem::create_directories(host(u"C:\\Viewer"));
  }
};

TEST_F(ProductKeyTest, WritesTheSixValuesInOrder) {
  WriteProductKey();
  expectString(kProductKey, u"path", u"C:\\Viewer");
  expectString(kProductKey, u"language", u"2052");
  expectNumber(kProductKey, u"NUM", 7);
  expectString(kProductKey, u"LicLang", u"zh_CN");
  expectNumber(kProductKey, u"NetTest", 2);
  expectString(kProductKey, u"RegLang", u"zh-CN");
  EXPECT_EQ(enginetest::valueNames(kProductKey),
            (std::vector<std::u16string>{u"path", u"language", u"NUM", u"LicLang", u"NetTest", u"RegLang"}));
  // In the 32-bit view on 64-bit Windows: under WOW6432Node.
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\WOW6432Node\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup", 0,
                          KEY_READ | KEY_WOW64_64KEY, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ | KEY_WOW64_64KEY, &key), ERROR_SUCCESS);
  EXPECT_TRUE(messageBoxes().empty());
  // No log record is written for the product key.
  EXPECT_FALSE(std::filesystem::exists(host(u"C:\\Viewer\\install.log")));
}

TEST_F(ProductKeyTest, OverwritesAnExistingKeyValueByValue) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string old = u"C:\\Old";
  RegSetValueExW(key, u"path", 0, REG_SZ, reinterpret_cast<const BYTE*>(old.c_str()), 14);
  RegSetValueExW(key, u"Extra", 0, REG_SZ, reinterpret_cast<const BYTE*>(old.c_str()), 14);
  RegCloseKey(key);
  WriteProductKey();
  expectString(kProductKey, u"path", u"C:\\Viewer");
  expectString(kProductKey, u"Extra", u"C:\\Old");
}

TEST_F(ProductKeyTest, KeyThatCannotBeCreatedShowsText2003) {
  ASSERT_TRUE(machine().setProfileValue(u"registry", u"deny", u"HKLM\\SOFTWARE\\WOW6432Node\\Halvorn").ok());
  WriteProductKey();
  EXPECT_FALSE(enginetest::readValue(kProductKey, u"path"));
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"], "Error\xEF\xBC\x9AUnable to Create the registry information!");
  EXPECT_EQ(boxes[0]["caption"], "Setup");
  EXPECT_EQ(boxes[0]["style"], "0x00000030");
}

}  // namespace
