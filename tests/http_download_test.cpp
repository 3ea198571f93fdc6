#include "platform/http_download.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/encoding.h"
#include "common/files.h"
#include "listing_server.h"
#include "shell/main_window.h"

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

// Downloads from the local listing server, with short limits so that the
// misbehaving routes fail quickly. One server serves the whole suite.
class HttpDownloadFromServer : public HttpDownload {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<listing_test::ListingServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override {
    HttpDownload::SetUp();
    if (!server_->Running()) GTEST_SKIP() << server_->SkipReason();
    options_.connectTimeoutMs = 5000;
    options_.stallSeconds = 1;
    options_.totalTimeoutSeconds = 30;
  }
  // The page as the generator writes it.
  std::string Page(const std::string& name) {
    const fs::path file = dir_ / (name + ".expected");
    EXPECT_TRUE(listing_test::WriteListingPage(name, file));
    std::string bytes = Read(name + ".expected");
    fs::remove(file);
    return bytes;
  }
  std::vector<std::string> FilesInFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_))
      names.push_back(entry.path().filename().string());
    return names;
  }
  static std::unique_ptr<listing_test::ListingServer> server_;
  net::DownloadOptions options_;
};

std::unique_ptr<listing_test::ListingServer> HttpDownloadFromServer::server_;

TEST_F(HttpDownloadFromServer, PageReplacesAnOldOneOnlyWhenWhole) {
  struct Case {
    const char* route;
    const char* page;
  };
  const Case cases[] = {
      {"/freqs.php?&amp;pos=13.0E", "hotbird"},
      {"/freqs.php?&amp;pos=19.2E", "astra"},
      {"/redirect", "hotbird"},
      {"/redirect-chain/10", "hotbird"},  // exactly as many redirects as allowed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.route);
    std::ofstream(dir_ / "Hotbird_13B.html", std::ios::binary) << "old page";
    Text error = TXT("stale");
    EXPECT_TRUE(net::DownloadToFile(Utf8ToText(server_->Url(c.route)), PathOf("Hotbird_13B.html"),
                                    error, options_));
    EXPECT_EQ(error, Text());
    EXPECT_EQ(Read("Hotbird_13B.html"), Page(c.page));
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"Hotbird_13B.html"});
  }
}

TEST_F(HttpDownloadFromServer, FailedTransferDeletesThePageAndLeavesNothingBehind) {
  struct Case {
    const char* route;
    const char* error;  // start of the error text
  };
  const Case cases[] = {
      {"/notfound", "HTTP 404"},  // a large error page is no page
      {"/status/500", "HTTP 500"},
      {"/freqs.php?&amp;pos=1.0W", "HTTP 404"},
      {"/redirect?to=/status/503", "HTTP 503"},
      {"/loop", "Maximum (10) redirects"},
      {"/redirect-chain/11", "Maximum (10) redirects"},
      {"/truncated", "transfer closed with 20000 bytes remaining"},
      {"/stall", "Operation too slow"},  // headers, then silence
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.route);
    std::ofstream(dir_ / "page.html", std::ios::binary) << "old page";
    Text error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(
        net::DownloadToFile(Utf8ToText(server_->Url(c.route)), PathOf("page.html"), error, options_));
    // The stall limit acts, not the far longer total time-out.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_EQ(TextToUtf8(error).rfind(c.error, 0), 0u) << TextToUtf8(error);
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{});
  }
}

TEST_F(HttpDownloadFromServer, BodyBeyondTheSizeLimitFails) {
  options_.maxBytes = 1000;
  Text error;
  EXPECT_FALSE(net::DownloadToFile(Utf8ToText(server_->PageUrl("13.0E")), PathOf("page.html"),
                                   error, options_));
  EXPECT_EQ(TextToUtf8(error), "more than 1000 bytes");
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{});
}

TEST_F(HttpDownloadFromServer, RequestNamesTheProgramAndItsVersion) {
  Text error;
  ASSERT_TRUE(net::DownloadToFile(Utf8ToText(server_->PageUrl("5.0W")), PathOf("page.html"), error,
                                  options_));
  const std::vector<std::string> requests = server_->Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back(), "/freqs.php?&amp;pos=5.0W 200 " + std::string(net::kUserAgent));
  // The version in the user agent is the program's version date.
  const std::string agent = net::kUserAgent;
  EXPECT_EQ(agent.rfind("orbvane_xmlplus/", 0), 0u);
  EXPECT_NE(TextToUtf8(kVersionText).find("VersionDate " + agent.substr(agent.find('/') + 1)),
            std::string::npos);
}

// HTTPS against the local server with a certificate made for 127.0.0.1: the
// certificate must be trusted and must name the host asked for.
TEST_F(HttpDownload, HttpsChecksTheCertificateAndTheHostName) {
  const fs::path openssl = listing_test::FindProgram("openssl");
  if (openssl.empty()) GTEST_SKIP() << "openssl is not installed; cannot make a test certificate";
  if (listing_test::FindPython().empty()) GTEST_SKIP() << listing_test::kNoPython;
  const fs::path cert = dir_ / "cert.pem", key = dir_ / "key.pem";
  ASSERT_TRUE(listing_test::RunProgram(
      openssl, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                "-nodes", "-keyout", key.string(), "-out", cert.string(), "-days", "2", "-subj",
                "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"}));
  std::ofstream(dir_ / "server.pem", std::ios::binary) << Read("cert.pem") << Read("key.pem");
  listing_test::ListingServer server({"--tls-cert", (dir_ / "server.pem").string()});
  SKIP_WITHOUT_LISTING_SERVER(server);
  const std::string port = server.BaseUrl().substr(server.BaseUrl().rfind(':'));

  struct Case {
    const char* what;
    std::string host;
    bool trustOwnCertificate;
    const char* error;  // start of the error text; empty when the page arrives
  };
  const Case cases[] = {
      {"certificate trusted, host named in it", "127.0.0.1", true, ""},
      {"certificate not trusted", "127.0.0.1", false, "SSL certificate problem"},
      {"host not named in the certificate", "localhost", true, "SSL: no alternative"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    net::DownloadOptions options;
    options.stallSeconds = 2;
    if (c.trustOwnCertificate) options.trustedCertificates = FromFsPath(cert);
    Text error;
    const Text url = Utf8ToText("https://" + c.host + port + "/freqs.php?&amp;pos=5.0W");
    EXPECT_EQ(net::DownloadToFile(url, PathOf("page.html"), error, options), *c.error == 0);
    EXPECT_EQ(TextToUtf8(error).rfind(c.error, 0), 0u) << TextToUtf8(error);
    EXPECT_EQ(fs::exists(dir_ / "page.html"), *c.error == 0);
  }
}

}  // namespace
