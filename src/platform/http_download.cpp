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
  bool writeFailed = false;
};

size_t OnData(char* data, size_t size, size_t count, void* user) {
  Sink& sink = *static_cast<Sink*>(user);
  const size_t bytes = size * count;
  if (bytes == 0) return 0;
  if (std::fwrite(data, 1, bytes, sink.file) != bytes) {
    sink.writeFailed = true;
    return 0;  // makes curl stop with a write error
  }
  return bytes;
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
  errorText.clear();
  const std::filesystem::path fsPath = ToFsPath(path);
  Sink sink;
  sink.file = std::fopen(fsPath.string().c_str(), "wb");
  if (!sink.file) {
    errorText = TXT("cannot create the file ") + path;
    return false;
  }
  CURL* curl = curl_easy_init();
  if (!curl) {
    std::fclose(sink.file);
    std::error_code ec;
    std::filesystem::remove(fsPath, ec);
    errorText = TXT("cannot start a transfer");
    return false;
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
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
  // A stalled server: less than one byte a second for a minute aborts.
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "orbvane_xmlplus");
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);

  const CURLcode result = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);

  const bool closed = std::fclose(sink.file) == 0;
  bool ok = result == CURLE_OK && closed && !sink.writeFailed;
  if (result == CURLE_OK && status >= 400) ok = false;
  if (ok) return true;

  if (status >= 400) {
    errorText = TXT("HTTP ") + TextFromAscii(std::to_string(status));
  } else if (sink.writeFailed || !closed) {
    errorText = TXT("cannot write the file ") + path;
  } else {
    errorText = Utf8ToText(message[0] ? message : curl_easy_strerror(result));
  }
  std::error_code ec;
  std::filesystem::remove(fsPath, ec);
  return false;
}

}  // namespace net
