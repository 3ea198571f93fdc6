#include "platform/http_download.h"

#include <curl/curl.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/encoding.h"
#include "common/files.h"

namespace net {

namespace {

struct NetworkState {
  bool initialised = false;
};

NetworkState g_net;

struct Sink {
  std::FILE* file = nullptr;
  int64_t bytes = 0;
  int64_t maxBytes = 0;
  bool writeFailed = false;
  bool tooLarge = false;
};

size_t OnData(char* data, size_t size, size_t count, void* user) {
  Sink& sink = *static_cast<Sink*>(user);
  const size_t bytes = size * count;
  if (bytes == 0) return 0;
  sink.bytes += static_cast<int64_t>(bytes);
  if (sink.bytes > sink.maxBytes) {
    sink.tooLarge = true;
    return 0;  // makes curl stop with a write error
  }
  if (std::fwrite(data, 1, bytes, sink.file) != bytes) {
    sink.writeFailed = true;
    return 0;
  }
  return bytes;
}

void RemoveQuietly(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace

bool InitNetwork() {
  if (g_net.initialised) return true;
  g_net.initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return g_net.initialised;
}

void ReleaseNetwork() {
  if (!g_net.initialised) return;
  curl_global_cleanup();
  g_net.initialised = false;
}

bool DownloadToFile(const Text& url, const Text& path, Text& errorText) {
  return DownloadToFile(url, path, errorText, DownloadOptions());
}

bool DownloadToFile(const Text& url, const Text& path, Text& errorText,
                    const DownloadOptions& options) {
  errorText.clear();
  const std::filesystem::path target = ToFsPath(path);
  const Text partPath = path + TXT(".part");
  const std::filesystem::path part = ToFsPath(partPath);
  // A failed transfer leaves no page behind, not even one of an earlier run.
  auto fail = [&](const Text& why) {
    RemoveQuietly(part);
    RemoveQuietly(target);
    errorText = why;
    return false;
  };

  Sink sink;
  sink.maxBytes = options.maxBytes;
  sink.file = std::fopen(part.string().c_str(), "wb");
  if (!sink.file) return fail(TXT("cannot create the file ") + partPath);
  CURL* curl = curl_easy_init();
  if (!curl) {
    std::fclose(sink.file);
    return fail(TXT("cannot start a transfer"));
  }

  const std::string url8 = TextToUtf8(url);
  char message[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, url8.c_str());
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,file");
  // A server must not redirect a request to a local file.
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  const std::string trusted = ToFsPath(options.trustedCertificates).string();
  if (!options.trustedCertificates.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, trusted.c_str());
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, options.stallBytesPerSecond);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, options.stallSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, options.totalTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);

  const CURLcode result = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);
  const bool closed = std::fclose(sink.file) == 0;

  if (sink.tooLarge) {
    return fail(TXT("more than ") + TextFromAscii(std::to_string(options.maxBytes)) +
                TXT(" bytes"));
  }
  if (sink.writeFailed || !closed) return fail(TXT("cannot write the file ") + partPath);
  // Status 0 means no HTTP answer (a file:// transfer, or none at all); any
  // other final status but 2xx, a redirect without a target included, is no page.
  const bool httpFailed = status != 0 && (status < 200 || status > 299);
  if (result == CURLE_HTTP_RETURNED_ERROR || (result == CURLE_OK && httpFailed))
    return fail(TXT("HTTP ") + TextFromAscii(std::to_string(status)));
  if (result != CURLE_OK) return fail(Utf8ToText(message[0] ? message : curl_easy_strerror(result)));

  std::error_code ec;
  std::filesystem::rename(part, target, ec);
  if (ec) return fail(TXT("cannot replace the file ") + path);
  return true;
}

}  // namespace net
