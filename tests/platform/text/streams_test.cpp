#include "platform/text/streams.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::path(::testing::TempDir()) / ("streams_" + name)).string();
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Content(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

void WriteText(TStream& stream, const std::string& text) {
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

}  // namespace

TEST(TMemoryStream, ReadsWritesAndSeeks) {
  TMemoryStream stream;
  WriteText(stream, "hello world");
  EXPECT_EQ(stream.Size(), 11);
  EXPECT_EQ(stream.Position(), 11);
  EXPECT_EQ(stream.Seek(-5, soEnd), 6);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 5);  // only what is left
  EXPECT_EQ(std::string(buffer, 5), "world");
  EXPECT_EQ(stream.Read(buffer, 1), 0);
  stream.Seek(-11, soCurrent);
  stream.ReadBuffer(buffer, 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_THROW(stream.ReadBuffer(buffer, 7), EReadError);
  EXPECT_THROW(stream.Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(stream.SetSize(-1), EStreamError);
}

TEST(TMemoryStream, GrowsWithZerosAndShrinks) {
  TMemoryStream stream;
  stream.SetPosition(3);
  WriteText(stream, "x");
  EXPECT_EQ(Content(stream), std::string("\0\0\0x", 4));
  stream.SetSize(2);
  EXPECT_EQ(stream.Size(), 2);
  EXPECT_EQ(stream.Position(), 4);
  char byte = 0;
  EXPECT_EQ(stream.Read(&byte, 1), 0);
  stream.SetSize(3);
  EXPECT_EQ(Content(stream), std::string(3, '\0'));
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
}

TEST(TMemoryStream, CopiesFilesAndStreams) {
  TMemoryStream source;
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7);
  WriteText(source, bytes);

  TMemoryStream whole;
  EXPECT_EQ(whole.CopyFrom(source, 0), 200000);  // 0: all of it, from the start
  EXPECT_EQ(Content(whole), bytes);

  source.SetPosition(10);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(source, 5), 5);
  EXPECT_EQ(Content(part), bytes.substr(10, 5));
  source.SetPosition(source.Size() - 2);
  EXPECT_THROW(part.CopyFrom(source, 5), EReadError);

  const std::string path = TempPath("memory.bin");
  source.SaveToFile(path);
  EXPECT_EQ(ReadBytes(path), bytes);
  TMemoryStream loaded;
  WriteText(loaded, "old");
  loaded.LoadFromFile(path);
  EXPECT_EQ(Content(loaded), bytes);
  EXPECT_EQ(loaded.Position(), 0);

  TMemoryStream target;
  part.SaveToStream(target);
  target.LoadFromStream(part);
  EXPECT_EQ(Content(target), bytes.substr(10, 5));
  std::filesystem::remove(path);
}

TEST(TFileStream, ModesCreateOpenAndRefuse) {
  const std::string path = TempPath("file.bin");
  {
    TFileStream created(path, fmCreate);
    WriteText(created, "0123456789");
    EXPECT_EQ(created.Size(), 10);
    created.SetPosition(2);
    char two[2];
    created.ReadBuffer(two, 2);
    EXPECT_EQ(std::string(two, 2), "23");
    EXPECT_EQ(created.Position(), 4);
  }
  {
    TFileStream reader(path, fmOpenRead);
    EXPECT_EQ(reader.Size(), 10);
    EXPECT_EQ(reader.Seek(-3, soEnd), 7);
    char three[3];
    reader.ReadBuffer(three, 3);
    EXPECT_EQ(std::string(three, 3), "789");
    EXPECT_THROW(reader.ReadBuffer(three, 1), EReadError);
    EXPECT_THROW(WriteText(reader, "x"), EWriteError);
    EXPECT_THROW(reader.Seek(-1, soBeginning), EStreamError);
  }
  {
    TFileStream writer(path, fmOpenReadWrite);
    writer.Seek(0, soEnd);
    WriteText(writer, "AB");
    writer.SetSize(4);
  }
  EXPECT_EQ(ReadBytes(path), "0123");
  {
    TFileStream truncating(path, fmCreate);
    EXPECT_EQ(truncating.Size(), 0);
  }
  std::filesystem::remove(path);
  try {
    TFileStream missing(path, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& error) {
    EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
  }
  EXPECT_THROW(TFileStream(TempPath("no/such/folder/x"), fmCreate), EFOpenError);
}
