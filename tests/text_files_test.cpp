#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "common/encoding.h"
#include "common/files.h"
#include "common/text.h"

namespace fs = std::filesystem;

namespace {

const Text kEAcute(1, static_cast<Char>(0xE9));

std::string Bytes(std::initializer_list<unsigned> codes) {
  std::string out;
  for (unsigned code : codes) out.push_back(static_cast<char>(code));
  return out;
}

// A fresh, empty folder per test, removed afterwards.
class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string name = "ovn_text_files_" + std::to_string(stamp) + "_" +
                             std::to_string(counter++);
    std::error_code ec;
    folder_ = fs::temp_directory_path(ec) / name;
    ASSERT_FALSE(ec);
    ASSERT_TRUE(fs::create_directory(folder_, ec)) << folder_;
    folder_text_ = WithTrailingSeparator(FromFsPath(folder_));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  // Path text of a file in the test folder.
  Text At(const Text& name) const { return folder_text_ + name; }

  static std::string Raw(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void PutRaw(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
  }

  fs::path folder_;
  Text folder_text_;
};

TEST(TextFileLines, SplitLinesAtEveryKindOfLineEnd) {
  struct Case {
    Text text;
    std::vector<Text> lines;
  };
  const Case cases[] = {
      {TXT(""), {}},
      {TXT("one"), {TXT("one")}},
      {TXT("one\r\ntwo\r\n"), {TXT("one"), TXT("two")}},
      {TXT("one\ntwo\n"), {TXT("one"), TXT("two")}},
      {TXT("one\rtwo\r"), {TXT("one"), TXT("two")}},
      {TXT("one\r\ntwo"), {TXT("one"), TXT("two")}},  // no final line end
      {TXT("a\r\nb\nc\rd"), {TXT("a"), TXT("b"), TXT("c"), TXT("d")}},
      {TXT("a\n\r b"), {TXT("a"), TXT(""), TXT(" b")}},  // LF CR is two line ends
      {TXT("\r\n"), {TXT("")}},
      {TXT("\n\n"), {TXT(""), TXT("")}},
      {TXT("\r\r\n"), {TXT(""), TXT("")}},
      {TXT("a\r\n\r\nb\r\n"), {TXT("a"), TXT(""), TXT("b")}},
      {TXT("x\ty \r\n"), {TXT("x\ty ")}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitLines(c.text), c.lines) << ::testing::PrintToString(c.text);
  }
}

TEST(TextFileFolders, TrailingSeparator) {
  EXPECT_EQ(WithTrailingSeparator(TXT("abc")), TXT("abc") + kFolderSeparator);
  EXPECT_EQ(WithTrailingSeparator(TXT("abc") + kFolderSeparator), TXT("abc") + kFolderSeparator);
  EXPECT_EQ(WithTrailingSeparator(TXT("/")), TXT("/"));
  EXPECT_EQ(WithTrailingSeparator(TXT("")), TXT(""));  // stays relative
  const Text working = WorkingFolder();
  ASSERT_FALSE(working.empty());
  EXPECT_TRUE(working == TXT("/") || Right(working, 1) != kFolderSeparator);
  EXPECT_TRUE(FolderExists(working));
  EXPECT_EQ(ToFsPath(working), fs::current_path());
}

TEST_F(TextFileTest, ReadsLinesOfEveryLineEnd) {
  struct Case {
    std::string bytes;
    std::vector<Text> lines;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", {TXT("a"), TXT("b")}},
      {"a\nb\n", {TXT("a"), TXT("b")}},
      {"a\rb\r", {TXT("a"), TXT("b")}},
      {"a\r\nb\nc\rd", {TXT("a"), TXT("b"), TXT("c"), TXT("d")}},
      {"last line without end", {TXT("last line without end")}},
      {"", {}},
  };
  for (const Case& c : cases) {
    PutRaw(folder_ / "lines.txt", c.bytes);
    std::vector<Text> lines = {TXT("old")};
    ASSERT_TRUE(ReadTextLines(At(TXT("lines.txt")), lines));
    EXPECT_EQ(lines, c.lines) << ::testing::PrintToString(c.bytes);
  }
}

TEST_F(TextFileTest, ReadsNonAsciiInTheBuildsEncoding) {
  PutRaw(folder_ / "utf8.txt", Bytes({0x63, 0x61, 0x66, 0xC3, 0xA9, 0x0D, 0x0A}));
  PutRaw(folder_ / "latin1.txt", Bytes({0x63, 0x61, 0x66, 0xE9}));
  std::vector<Text> utf8_lines;
  std::vector<Text> latin1_lines;
  ASSERT_TRUE(ReadTextLines(At(TXT("utf8.txt")), utf8_lines));
  ASSERT_TRUE(ReadTextLines(At(TXT("latin1.txt")), latin1_lines));
  ASSERT_EQ(utf8_lines.size(), 1u);
  ASSERT_EQ(latin1_lines.size(), 1u);
  EXPECT_EQ(latin1_lines[0], TXT("caf") + kEAcute);  // both builds
#ifdef OVN_UNICODE
  EXPECT_EQ(utf8_lines[0], TXT("caf") + kEAcute);
#else
  EXPECT_EQ(utf8_lines[0], TXT("caf") + Text(Bytes({0xC3, 0xA9})));  // byte for byte
#endif
}

TEST_F(TextFileTest, WritesTheBuildsBytesWithoutByteOrderMark) {
  OutTextFile file;
  ASSERT_TRUE(OpenOutTextFile(file, At(TXT("out.txt"))));
  WriteLine(file, TXT("caf") + kEAcute);
  WriteText(file, TXT("entry\n"));
  WriteLine(file, TXT(""));
  ASSERT_TRUE(CloseOutTextFile(file));
#ifdef OVN_UNICODE
  const std::string expected = Bytes({0x63, 0x61, 0x66, 0xC3, 0xA9}) + "\r\nentry\n\r\n";
#else
  const std::string expected = Bytes({0x63, 0x61, 0x66, 0xE9}) + "\r\nentry\n\r\n";
#endif
  EXPECT_EQ(Raw(folder_ / "out.txt"), expected);

  // A file starting with non-ASCII text gets no byte-order mark either.
  ASSERT_TRUE(OpenOutTextFile(file, At(TXT("bom.txt"))));
  WriteText(file, kEAcute);
  ASSERT_TRUE(CloseOutTextFile(file));
  const std::string raw = Raw(folder_ / "bom.txt");
  EXPECT_EQ(raw, TextToFileBytes(kEAcute));
  EXPECT_NE(raw.rfind(Bytes({0xEF, 0xBB, 0xBF}), 0), 0u);

  Text back;
  ASSERT_TRUE(ReadTextFile(At(TXT("out.txt")), back));
  EXPECT_EQ(back, TXT("caf") + kEAcute + TXT("\r\nentry\n\r\n"));
}

TEST_F(TextFileTest, OutTextFileReportsFailures) {
  OutTextFile file;
  EXPECT_FALSE(OpenOutTextFile(file, At(TXT("missing/sub/out.txt"))));
  WriteLine(file, TXT("lost"));
  EXPECT_FALSE(CloseOutTextFile(file));

  ASSERT_TRUE(CreateFolder(At(TXT("dir"))));
  OutTextFile on_folder;
  EXPECT_FALSE(OpenOutTextFile(on_folder, At(TXT("dir"))));
  EXPECT_FALSE(CloseOutTextFile(on_folder));

  OutTextFile never_opened;
  EXPECT_FALSE(CloseOutTextFile(never_opened));

  // Reused after a failure, the record starts clean.
  EXPECT_TRUE(OpenOutTextFile(file, At(TXT("ok.txt"))));
  WriteLine(file, TXT("kept"));
  EXPECT_TRUE(CloseOutTextFile(file));
  EXPECT_EQ(Raw(folder_ / "ok.txt"), "kept\r\n");
}

TEST_F(TextFileTest, NonAsciiFileNameRoundTripsThroughFsPath) {
  const Text name = TXT("caf") + kEAcute + TXT(".txt");
  const Text path = At(name);
  EXPECT_EQ(FromFsPath(ToFsPath(path)), path);
  // The name on disk is UTF-8 in both builds.
  const std::u8string on_disk = ToFsPath(name).u8string();
  EXPECT_EQ(std::string(on_disk.begin(), on_disk.end()), "caf\xC3\xA9.txt");

  ASSERT_TRUE(WriteFileAtomically(path, "content"));
  EXPECT_TRUE(fs::exists(folder_ / fs::path(u8"caf\u00e9.txt")));
  EXPECT_TRUE(FileExists(path));
  EXPECT_TRUE(CanOpenForReading(path));
  EXPECT_EQ(FileSize(path), 7);

  std::vector<Text> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder_)) {
    names.push_back(FromFsPath(entry.path().filename()));
  }
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], name);
}

TEST_F(TextFileTest, FileQueriesCreateAndDelete) {
  const Text file = At(TXT("f.bin"));
  const Text folder = At(TXT("sub"));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(CanOpenForReading(file));
  EXPECT_EQ(FileSize(file), -1);
  EXPECT_FALSE(DeleteFileAt(file));
  std::string bytes = "stale";
  EXPECT_FALSE(ReadFileBytes(file, bytes));
  EXPECT_TRUE(bytes.empty());

  PutRaw(folder_ / "f.bin", std::string("a\0b\r\n\xFF", 6));
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_TRUE(CanOpenForReading(file));
  EXPECT_EQ(FileSize(file), 6);
  ASSERT_TRUE(ReadFileBytes(file, bytes));
  EXPECT_EQ(bytes, std::string("a\0b\r\n\xFF", 6));

  EXPECT_TRUE(CreateFolder(folder));
  EXPECT_FALSE(CreateFolder(folder));  // exists already
  EXPECT_FALSE(CreateFolder(At(TXT("no/such/parent"))));
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_TRUE(FolderExists(WithTrailingSeparator(folder)));
  EXPECT_FALSE(FileExists(folder));
  EXPECT_FALSE(CanOpenForReading(folder));
  EXPECT_EQ(FileSize(folder), -1);
  EXPECT_FALSE(ReadFileBytes(folder, bytes));
  EXPECT_FALSE(DeleteFileAt(folder));  // folders are not deleted as files
  EXPECT_TRUE(FolderExists(folder));

  PutRaw(folder_ / "empty.txt", "");
  EXPECT_EQ(FileSize(At(TXT("empty.txt"))), 0);
  Text text = TXT("stale");
  ASSERT_TRUE(ReadTextFile(At(TXT("empty.txt")), text));
  EXPECT_TRUE(text.empty());

  EXPECT_TRUE(DeleteFileAt(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFileAt(file));
}

TEST_F(TextFileTest, WriteFileAtomicallyReplacesContent) {
  const Text path = At(TXT("data.xml"));
  ASSERT_TRUE(WriteFileAtomically(path, "first version, rather long\r\n"));
  EXPECT_EQ(Raw(folder_ / "data.xml"), "first version, rather long\r\n");
  ASSERT_TRUE(WriteFileAtomically(path, "second"));
  EXPECT_EQ(Raw(folder_ / "data.xml"), "second");
  ASSERT_TRUE(WriteFileAtomically(path, ""));
  EXPECT_EQ(Raw(folder_ / "data.xml"), "");
  EXPECT_FALSE(fs::exists(folder_ / "data.xml.new"));

  const std::string binary("\0\xEF\xBB\xBF\x80", 5);
  ASSERT_TRUE(WriteFileAtomically(path, binary));
  EXPECT_EQ(Raw(folder_ / "data.xml"), binary);
}

TEST_F(TextFileTest, WriteFileAtomicallyFailureLeavesTheOldFileWhole) {
  const Text path = At(TXT("keep.txt"));
  ASSERT_TRUE(WriteFileAtomically(path, "old content\r\n"));

  // The temporary file cannot be created where a folder of its name stands.
  std::error_code ec;
  ASSERT_TRUE(fs::create_directory(folder_ / "keep.txt.new", ec));
  EXPECT_FALSE(WriteFileAtomically(path, "new content that must not appear"));
  EXPECT_EQ(Raw(folder_ / "keep.txt"), "old content\r\n");
  EXPECT_TRUE(fs::is_directory(folder_ / "keep.txt.new"));  // not ours to remove

  // Nor when the target is a folder: the temporary file is cleaned up.
  ASSERT_TRUE(fs::create_directory(folder_ / "target", ec));
  PutRaw(folder_ / "target" / "inside", "x");
  EXPECT_FALSE(WriteFileAtomically(At(TXT("target")), "data"));
  EXPECT_TRUE(fs::is_directory(folder_ / "target"));
  EXPECT_FALSE(fs::exists(folder_ / "target.new"));

  // Nor in a folder that does not exist.
  EXPECT_FALSE(WriteFileAtomically(At(TXT("none/file.txt")), "data"));
  EXPECT_FALSE(fs::exists(folder_ / "none"));
}

}  // namespace
