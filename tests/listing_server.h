// The local listing site for tests: tools/listing_test_server.py run as a
// child process, and the page generator tools/listing_pages.py. Both need
// python3; tests skip with a clear message without it.
//
//   ListingServer server;                    // starts it and waits until it listens
//   SKIP_WITHOUT_LISTING_SERVER(server);
//   server.PageUrl("13.0E");                 // .../freqs.php?&amp;pos=13.0E
//   server.Url("/stall");                    // any route of the server
//   server.Requests();                       // "<path> <status> <user agent>" lines
//   // the destructor stops the server
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace listing_test {

namespace fs = std::filesystem;

inline fs::path ToolsDir() { return fs::path(OVN_SOURCE_DIR) / "tools"; }

// Full path of a program found in PATH, or empty.
inline fs::path FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (dir.empty()) continue;
    const fs::path candidate = fs::path(dir) / name;
    std::error_code ec;
#ifdef _WIN32
    if (fs::is_regular_file(candidate, ec)) return candidate;
#else
    if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
#endif
  }
  return fs::path();
}

inline fs::path FindPython() { return FindProgram("python3"); }

inline const char* kNoPython =
    "python3 is not installed, so the local listing server and the test pages are not "
    "available (apt-get install python3); skipping";

#ifndef _WIN32
// Starts a program with arguments; standard output and error go to the files
// given (or /dev/null). Returns the child's id, or -1.
inline pid_t Spawn(const fs::path& program, const std::vector<std::string>& args,
                   const fs::path& out = {}, const fs::path& err = {}) {
  std::vector<std::string> words = {program.string()};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.empty() ? "/dev/null" : out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.empty() ? "/dev/null" : err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Runs a program to its end; true when it exits with 0.
inline bool RunProgram(const fs::path& program, const std::vector<std::string>& args) {
  const pid_t pid = Spawn(program, args);
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}
#endif

// Writes page `name` of tools/listing_pages.py to `file`, with further
// arguments such as "--latin1" or "--size", "19456". False (with a failure
// recorded) when the generator fails; check FindPython() first to skip.
inline bool WriteListingPage(const std::string& name, const fs::path& file,
                             const std::vector<std::string>& more = {}) {
#ifdef _WIN32
  ADD_FAILURE() << "the page generator is run on POSIX systems only";
  return false;
#else
  const fs::path python = FindPython();
  if (python.empty()) {
    ADD_FAILURE() << kNoPython;
    return false;
  }
  std::vector<std::string> args = {(ToolsDir() / "listing_pages.py").string(), name, "-o",
                                   file.string()};
  args.insert(args.end(), more.begin(), more.end());
  const bool ok = RunProgram(python, args);
  if (!ok) ADD_FAILURE() << "listing_pages.py " << name << " failed";
  return ok;
#endif
}

class ListingServer {
 public:
  // extraArgs go to the server as they are, e.g. {"--map", "1.0W=small:19456",
  // "--fail-first", "13.0E=2"}.
  explicit ListingServer(const std::vector<std::string>& extraArgs = {},
                         double idleSeconds = 30, double lifetimeSeconds = 120) {
#ifdef _WIN32
    skipReason_ = "the local listing server runs on POSIX systems only; skipping";
#else
    const fs::path python = FindPython();
    if (python.empty()) {
      skipReason_ = kNoPython;
      return;
    }
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("ovn_listing_" + std::to_string(rd()) +
                                        std::to_string(rd()));
    fs::create_directories(dir_);
    std::vector<std::string> args = {(ToolsDir() / "listing_test_server.py").string(),
                                     "--port-file", (dir_ / "port").string(),
                                     "--log", (dir_ / "requests.log").string(),
                                     "--idle", std::to_string(idleSeconds),
                                     "--lifetime", std::to_string(lifetimeSeconds)};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    pid_ = Spawn(python, args, dir_ / "stdout", dir_ / "stderr");
    if (pid_ <= 0) {
      skipReason_ = "cannot start python3";
      ADD_FAILURE() << skipReason_;
      return;
    }
    // Python starts slowly on a loaded machine; the port file appears once
    // the server listens.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      std::ifstream in(dir_ / "port");
      int port = 0;
      if (in >> port && port > 0) {
        const bool tls = std::find(extraArgs.begin(), extraArgs.end(), "--tls-cert") !=
                         extraArgs.end();
        baseUrl_ = (tls ? "https" : "http") + std::string("://127.0.0.1:") + std::to_string(port);
        return;
      }
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::ifstream err(dir_ / "stderr");
    std::stringstream text;
    text << err.rdbuf();
    skipReason_ = "the local listing server did not start: " + text.str();
    ADD_FAILURE() << skipReason_;
#endif
  }

  ~ListingServer() {
#ifndef _WIN32
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
      while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
          kill(pid_, SIGKILL);
          waitpid(pid_, &status, 0);
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    if (!dir_.empty()) {
      std::error_code ec;
      fs::remove_all(dir_, ec);
    }
#endif
  }

  ListingServer(const ListingServer&) = delete;
  ListingServer& operator=(const ListingServer&) = delete;

  bool Running() const { return !baseUrl_.empty(); }
  const std::string& SkipReason() const { return skipReason_; }

  // "http://127.0.0.1:PORT" ("https://" with --tls-cert), without a trailing slash.
  const std::string& BaseUrl() const { return baseUrl_; }
  // The base URL followed by a path (and query) starting with "/".
  std::string Url(const std::string& pathAndQuery) const { return baseUrl_ + pathAndQuery; }
  // The address the program asks for a satellite's page.
  std::string PageUrl(const std::string& position) const {
    return Url("/freqs.php?&amp;pos=" + position);
  }
  // A value for the settings file's url attribute (it is cut after "pos=").
  std::string SettingsUrl() const { return PageUrl("0.0"); }

  // One line per request answered so far: "<path> <status> <user agent>".
  std::vector<std::string> Requests() const {
    std::vector<std::string> lines;
    std::ifstream in(dir_ / "requests.log");
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The number of requests answered so far whose path begins with prefix.
  int CountRequests(const std::string& prefix) const {
    int n = 0;
    for (const std::string& line : Requests()) n += line.rfind(prefix, 0) == 0;
    return n;
  }

 private:
  fs::path dir_;
  std::string baseUrl_;
  std::string skipReason_;
#ifndef _WIN32
  pid_t pid_ = -1;
#endif
};

}  // namespace listing_test

#define SKIP_WITHOUT_LISTING_SERVER(server) \
  if (!(server).Running()) GTEST_SKIP() << (server).SkipReason()
