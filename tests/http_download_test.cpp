#include "platform/http_download.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "common/encoding.h"
#include "common/files.h"

namespace fs = std::filesystem;

namespace {

// Downloads from file:// URLs into a folder of its own under the temp folder.
class HttpDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(net::InitNetwork());
    std::random_device rd;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = fs::temp_directory_path() /
           ("ovn_http_" + std::to_string(stamp) + "_" + std::to_string(rd()));
    ASSERT_TRUE(fs::create_directories(dir_));
  }
  void TearDown() override {
    net::ReleaseNetwork();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  Text UrlOf(const std::string& name) const {
    return Utf8ToText("file://" + (dir_ / name).generic_string());
  }
  Text PathOf(const std::string& name) const { return FromFsPath(dir_ / name); }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

TEST_F(HttpDownload, LocalFileIsCopiedByteForByte) {
  std::string bytes;
  for (uint32_t i = 0; i < 300000; ++i) bytes += static_cast<char>((i * 7919u) >> 3);
  std::ofstream(dir_ / "source.bin", std::ios::binary) << bytes;
  Text error = TXT("stale");
  ASSERT_TRUE(net::DownloadToFile(UrlOf("source.bin"), PathOf("copy.bin"), error));
  EXPECT_EQ(error, Text());
  EXPECT_EQ(Read("copy.bin"), bytes);
}

TEST_F(HttpDownload, FailedTransferLeavesNoFileAndSaysWhy) {
  // A stale file of an earlier run goes as well.
  std::ofstream(dir_ / "target.html", std::ios::binary) << "old";
  struct Case {
    const char* what;
    Text url;
  };
  const Case cases[] = {
      {"missing source", UrlOf("missing.html")},
      {"unsupported scheme", TXT("gopher://localhost/x")},
      {"malformed url", TXT("http://[::1")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Text error;
    EXPECT_FALSE(net::DownloadToFile(c.url, PathOf("target.html"), error));
    EXPECT_NE(error, Text());
    EXPECT_FALSE(fs::exists(dir_ / "target.html"));
  }
}

TEST_F(HttpDownload, UnwritableTargetFails) {
  std::ofstream(dir_ / "source.bin", std::ios::binary) << "x";
  Text error;
  EXPECT_FALSE(net::DownloadToFile(UrlOf("source.bin"), PathOf("no_folder/copy.bin"), error));
  EXPECT_NE(error, Text());
}

}  // namespace
