// CFile over the machine's files and CMemFile in memory: round trips, seeks,
// share modes and the failures Open, Read, Write and Seek report.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "afx.h"
#include "afxgdi.h"
#include "testing/tempmachine.h"

using winsim::testing::TempMachine;

namespace {

constexpr const char16_t* kPath = u"C:\\Data\\picture.bin";

std::vector<BYTE> bytes(const char* text) { return std::vector<BYTE>(text, text + std::strlen(text)); }

void writeFile(const char16_t* path, const char* text, UINT flags = CFile::modeCreate | CFile::modeWrite) {
  CFile file;
  ASSERT_TRUE(file.Open(path, flags)) << GetLastError();
  ASSERT_TRUE(file.Write(text, static_cast<UINT>(std::strlen(text))));
}

std::string readFile(const char16_t* path) {
  CFile file;
  if (!file.Open(path, CFile::modeRead)) return "<cannot open>";
  std::string text(static_cast<std::size_t>(file.GetLength()), '\0');
  text.resize(file.Read(text.data(), static_cast<UINT>(text.size())));
  return text;
}

}  // namespace

TEST(File, WritesReadsAndSeeks) {
  TempMachine machine;
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Data", nullptr));
  writeFile(kPath, "0123456789");
  EXPECT_EQ(readFile(kPath), "0123456789");

  CFile file;
  ASSERT_TRUE(file.Open(kPath, CFile::modeReadWrite | CFile::shareExclusive));
  EXPECT_EQ(file.GetFilePath(), CString(kPath));
  EXPECT_EQ(file.GetLength(), 10u);
  EXPECT_EQ(file.Seek(4, CFile::begin), 4u);
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, 3), 3u);
  EXPECT_EQ(std::string(buffer, 3), "456");
  EXPECT_EQ(file.GetPosition(), 7u);
  EXPECT_EQ(file.Seek(-2, CFile::current), 5u);
  EXPECT_EQ(file.Seek(-1, CFile::end), 9u);
  EXPECT_EQ(file.Read(buffer, 16), 1u);  // the end comes early
  EXPECT_EQ(file.Read(buffer, 16), 0u);
  // Before the start: refused, the position stays.
  EXPECT_EQ(file.Seek(-11, CFile::end), CFile::kSeekFailed);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(file.GetPosition(), 10u);
  // Past the end: writing there fills the gap with zeros.
  EXPECT_EQ(file.Seek(12, CFile::begin), 12u);
  ASSERT_TRUE(file.Write("AB", 2));
  EXPECT_EQ(file.GetLength(), 14u);
  file.SeekToBegin();
  EXPECT_EQ(file.GetPosition(), 0u);
  EXPECT_EQ(file.SeekToEnd(), 14u);
  file.Close();
  EXPECT_EQ(readFile(kPath), std::string("0123456789\0\0AB", 14));

  // Created anew unless asked to keep what is there.
  writeFile(kPath, "xy", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
  EXPECT_EQ(readFile(kPath), std::string("xy23456789\0\0AB", 14));
  writeFile(kPath, "new");
  EXPECT_EQ(readFile(kPath), "new");
}

TEST(File, OpenReportsWhyItFailed) {
  TempMachine machine;
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Data", nullptr));
  const struct {
    const char16_t* path;
    UINT flags;
    int cause;
    DWORD error;
  } kCases[] = {
      {u"C:\\Data\\none.bin", CFile::modeRead, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
      {u"C:\\Nowhere\\none.bin", CFile::modeCreate | CFile::modeWrite, CFileException::badPath, ERROR_PATH_NOT_FOUND},
      {u"C:\\Data", CFile::modeRead, CFileException::accessDenied, ERROR_ACCESS_DENIED},
      {u"C:\\Data\\x.bin", CFile::modeCreate | CFile::modeRead, CFileException::genericException,
       ERROR_INVALID_PARAMETER},
      {u"C:\\Data\\x.bin", CFile::modeWrite | CFile::modeReadWrite, CFileException::genericException,
       ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path)));
    CFile file;
    CFileException error;
    SetLastError(0);
    EXPECT_FALSE(file.Open(c.path, c.flags, &error));
    EXPECT_EQ(error.m_cause, c.cause);
    EXPECT_EQ(error.m_lOsError, static_cast<LONG>(c.error));
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(file.Read(nullptr, 0), 0u);
    EXPECT_FALSE(file.Write("a", 1));
  }
}

TEST(File, ShareModesHoldBetweenOpens) {
  TempMachine machine;
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Data", nullptr));
  writeFile(kPath, "abc");
  {
    CFile exclusive;
    ASSERT_TRUE(exclusive.Open(kPath, CFile::modeRead));  // shareCompat: as exclusive
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(kPath, CFile::modeRead | CFile::shareDenyNone, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_FALSE(exclusive.Open(kPath, CFile::modeRead));  // this object holds a file already
  }
  CFile first, second;
  ASSERT_TRUE(first.Open(kPath, CFile::modeRead | CFile::shareDenyWrite));
  ASSERT_TRUE(second.Open(kPath, CFile::modeRead | CFile::shareDenyWrite));
  CFile writer;
  EXPECT_FALSE(writer.Open(kPath, CFile::modeWrite | CFile::shareDenyNone));
  // A file opened for reading refuses writes.
  EXPECT_FALSE(first.Write("z", 1));
  EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
}

TEST(File, AFullDiskRefusesWrites) {
  TempMachine machine({{"disk", "C", "0"}});
  ASSERT_TRUE(CreateDirectoryW(u"C:\\Data", nullptr));
  CFile file;
  ASSERT_TRUE(file.Open(kPath, CFile::modeCreate | CFile::modeWrite));
  EXPECT_FALSE(file.Write("data", 4));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_TRUE(file.Write("", 0));
}

TEST(MemFile, GrowsAsItIsWritten) {
  CMemFile file(100);
  std::vector<BYTE> data(250);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i);
  ASSERT_TRUE(file.Write(data.data(), 250));
  EXPECT_EQ(file.GetLength(), 250u);
  EXPECT_EQ(file.GetPosition(), 250u);
  EXPECT_EQ(file.Seek(300, CFile::begin), 300u);
  ASSERT_TRUE(file.Write("Z", 1));
  EXPECT_EQ(file.GetLength(), 301u);

  file.SeekToBegin();
  std::vector<BYTE> back(400, 0xEE);
  EXPECT_EQ(file.Read(back.data(), 400), 301u);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin()));
  EXPECT_EQ(back[260], 0);  // the gap
  EXPECT_EQ(back[300], 'Z');
  EXPECT_EQ(file.Read(back.data(), 1), 0u);

  EXPECT_EQ(file.Seek(-302, CFile::end), CFile::kSeekFailed);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(file.GetPosition(), 301u);
  EXPECT_FALSE(file.Open(u"C:\\x", CFile::modeRead));
  file.Close();
  EXPECT_EQ(file.GetLength(), 0u);
}

TEST(MemFile, ACallersBufferIsReadAndWrittenButNeverOutgrown) {
  std::vector<BYTE> buffer = bytes("BMxxxxxx");
  CMemFile file(buffer.data(), static_cast<UINT>(buffer.size()));
  EXPECT_EQ(file.GetLength(), 8u);
  char head[2];
  EXPECT_EQ(file.Read(head, 2), 2u);
  EXPECT_EQ(std::string(head, 2), "BM");
  ASSERT_TRUE(file.Write("12", 2));
  EXPECT_EQ(buffer, bytes("BM12xxxx"));
  // A write that does not fit writes nothing.
  EXPECT_FALSE(file.Write("56789", 5));
  EXPECT_EQ(buffer, bytes("BM12xxxx"));
  EXPECT_EQ(file.GetPosition(), 4u);
  ASSERT_TRUE(file.Write("5678", 4));
  EXPECT_EQ(buffer, bytes("BM125678"));
  EXPECT_EQ(file.GetLength(), 8u);
}
