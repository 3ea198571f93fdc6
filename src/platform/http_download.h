// HTTP downloads on libcurl: one synchronous transfer of a URL into a file.
#pragma once

#include "common/text.h"

namespace net {

// Sets up the transfer library once per process; false when it cannot.
bool InitNetwork();
void ReleaseNetwork();

// Downloads url (http, https or file) into the file at path, following up to
// ten redirects. On failure the file is deleted, errorText says why (the
// library's message, or "HTTP <code>" for a status of 400 and above) and the
// result is false.
bool DownloadToFile(const Text& url, const Text& path, Text& errorText);

}  // namespace net
