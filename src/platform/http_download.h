// HTTP downloads on libcurl: one synchronous transfer of a URL into a file.
#pragma once

#include <cstdint>

#include "common/text.h"

namespace net {

// Sent with every request; the version is the program's version date.
inline constexpr char kUserAgent[] = "orbvane_xmlplus/2018-05-14";

// Limits of one transfer. The transfer runs on the GUI thread, so the defaults
// keep a dead, silent or endless server from holding the window for long.
struct DownloadOptions {
  long connectTimeoutMs = 15000;
  // A transfer that receives fewer than stallBytesPerSecond bytes a second for
  // stallSeconds seconds (waiting for the answer included) is given up.
  long stallSeconds = 20;
  long stallBytesPerSecond = 1;
  long totalTimeoutSeconds = 120;
  long maxRedirects = 10;
  int64_t maxBytes = int64_t{128} * 1024 * 1024;
  // A PEM file of certificates trusted instead of the system's; empty for the
  // system's (tests trust their own local server this way).
  Text trustedCertificates;
};

// Sets up the transfer library once per process; false when it cannot.
bool InitNetwork();
void ReleaseNetwork();

// Downloads url (http, https or file) into the file at path. HTTPS
// certificates are checked; redirects are followed up to the bound. The body
// goes to path + ".part" first and replaces path only when the whole transfer
// succeeded with a 2xx status. On any failure path and path + ".part" are
// deleted, errorText says why (the library's message, or "HTTP <code>" for a
// status outside 200 to 299) and the result is false.
bool DownloadToFile(const Text& url, const Text& path, Text& errorText);
bool DownloadToFile(const Text& url, const Text& path, Text& errorText,
                    const DownloadOptions& options);

}  // namespace net
