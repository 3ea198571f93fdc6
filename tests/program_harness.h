// Helpers for tests that run the whole program on the headless backend, in a
// fresh temporary working folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "common/encoding.h"
#include "common/text.h"
#include "platform/gui.h"
#include "platform/gui_headless.h"
#include "shell/orbvane_xmlplus.h"

namespace fs = std::filesystem;

// A fresh empty folder that becomes the working folder; the old working folder
// is restored and the folder removed at the end.
class TempWorkFolder {
 public:
  TempWorkFolder() {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("ovn_test_" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(path_);
    previous_ = fs::current_path();
    fs::current_path(path_);
  }
  ~TempWorkFolder() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
  fs::path previous_;
};

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

inline fs::path SourceDir() { return fs::path(OVN_SOURCE_DIR); }

// The flag pictures delivered with the program, copied into ./ovn_work/.
inline void CopyFlagPictures() {
  fs::create_directories("ovn_work");
  for (const auto& entry : fs::directory_iterator(SourceDir() / "data" / "ovn_work"))
    fs::copy_file(entry.path(), fs::path("ovn_work") / entry.path().filename(),
                  fs::copy_options::overwrite_existing);
}

// The real receiver satellites file shared with the project, or empty.
inline fs::path SharedSatellitesFixture() {
  const char* env = std::getenv("OVN_SHARED_DIR");
  const fs::path candidates[] = {env ? fs::path(env) : fs::path(),
                                 SourceDir() / ".." / "shared"};
  for (const fs::path& dir : candidates) {
    if (dir.empty()) continue;
    const fs::path file = dir / "fixtures" / "satellites.xml";
    if (fs::exists(file)) return file;
  }
  return fs::path();
}

#define SKIP_WITHOUT_SHARED_FIXTURE(var)                                                     \
  const fs::path var = SharedSatellitesFixture();                                           \
  if (var.empty())                                                                          \
    GTEST_SKIP() << "../shared/fixtures/satellites.xml is absent (set OVN_SHARED_DIR to the " \
                    "folder holding fixtures/); skipping the test on the real file"

// Runs the program in the working folder. Each step is a user's action (or a
// look at the state) taken when the program waits for an event; after the last
// step the main window is closed. Answers must be queued beforehand (after
// headless::Reset). Returns the program's exit code.
inline int RunProgramSteps(const std::vector<std::function<void()>>& steps) {
  size_t next = 0;
  bool closed = false;
  headless::SetEventPump([&]() {
    while (next < steps.size()) {
      const size_t before = headless::PendingEvents();
      steps[next++]();
      if (headless::PendingEvents() > before) return true;
    }
    if (!closed) {
      closed = true;
      if (const int window = headless::FindWindow("MainWindow")) {
        headless::UserClose(window);
        return true;
      }
    }
    return false;
  });
  try {
    RunProgram();
  } catch (const headless::ProgramExit& exit) {
    EXPECT_EQ(next, steps.size()) << "the program ended before all steps ran";
    return exit.code;
  }
  return -1;
}

// Texts of the message boxes shown since Reset, with their titles.
inline std::vector<std::string> MessageTitles() {
  std::vector<std::string> titles;
  for (const headless::DialogRecord& r : headless::DialogLog())
    if (r.kind == "message") titles.push_back(TextToUtf8(r.title));
  return titles;
}

inline int G(const char* name) {
  const int gadget = headless::FindGadget(name);
  EXPECT_NE(gadget, 0) << "no gadget " << name;
  return gadget;
}

inline std::string RowText(const char* gadget, int row, int column = 0) {
  return TextToUtf8(gui::GetItemText(G(gadget), row, column));
}

inline bool Ticked(const char* gadget, int row) {
  return (gui::GetItemState(G(gadget), row) & gui::kItemTicked) != 0;
}

struct ScenarioResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the scenario driver of this build on a scenario text in the current
// working folder.
inline ScenarioResult RunScenario(const std::string& scenario) {
  WriteBytes("scenario.txt", scenario);
  const std::string command = std::string("\"") + OVN_SCENARIO_BIN +
                              "\" scenario.txt > scenario.out 2> scenario.err";
  const int status = std::system(command.c_str());
  ScenarioResult result;
#ifdef _WIN32
  result.exitCode = status;
#else
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  result.out = ReadBytes("scenario.out");
  result.err = ReadBytes("scenario.err");
  return result;
}
