#include "demo.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

extern char** environ;

namespace qv::sim {

namespace fs = std::filesystem;

const char* defaultDeviceScript() {
  return R"(app com.example.mail name="Mail" color=#2f7bf5 badge=3
app com.example.messages name="Messages" color=#34c759 badge=12
app com.example.calendar name="Calendar" color=#ff3b30
app com.example.photos name="Photos" color=#ff9500
app com.example.camera name="Camera" color=#8e8e93
app com.example.maps name="Maps" color=#5ac8fa
app com.example.weather name="Weather" color=#1e90ff
app com.example.music name="Music" color=#fc3c44 nowplaying
app com.example.notes name="Notes" color=#ffcc00 badge=1
app com.example.bank name="Bank" color=#0b3d91 shortcuts="Pay,Transfer"
app com.example.podcasts name="Podcasts" color=#9933cc
app com.example.chess name="Chess" color=#6d4c41 badge=5
folder Utilities
widget com.example.weather.widget
wallpaper #1c2a44
)";
}

namespace {

// One part of the story: a device of one OS version, what is done with it, and the words
// printed before it. Each part runs in a process of its own, as a home screen boots once.
struct Chapter {
  std::string title;
  std::string os;
  bool withLibrary;
  std::vector<std::string> steps;  // "render NAME" writes NAME into the pictures folder
};

std::vector<Chapter> chapters() {
  return {
      {"The home screen's own menu, without Quorvel",
       "14.2",
       false,
       {"boot", "press com.example.mail", "render 01-host-menu.png"}},
      {"The same menu with Quorvel: its actions, icons, and the app's icon colour",
       "14.2",
       true,
       {"boot", "press com.example.mail", "render 02-quorvel-menu.png"}},
      {"Each action, for real",
       "14.2",
       true,
       {"boot", "say \"Clear Badge removes Mail's badge of 3.\"", "press com.example.mail",
        "pick \"Clear Badge\"", "render 03-badge-cleared.png",
        "say \"Clear Caches empties tmp, Library/Caches and Library/Application "
        "Support/Dropbox in Mail's data container; documents stay.\"",
        "press com.example.mail", "pick \"Clear Caches\"",
        "say \"Notifications switches Mail's notifications off in the notification server.\"",
        "press com.example.mail", "pick \"Notifications\"",
        "say \"Bundle Identifier shows it, and copies it on request.\"", "press com.example.mail",
        "pick \"Bundle Identifier\"", "render 04-bundle-identifier.png",
        "alert \"Copy Bundle ID\""}},
      {"App Lock: locked, dimmed, refused from search, blurred, unlocked with authentication",
       "14.2",
       true,
       {"boot",
        "say \"Locking Bank asks nothing; its icon dims at once.\"",
        "press com.example.bank",
        "pick \"App Lock\"",
        "render 05-locked-dimmed.png",
        "say \"Search will not open a locked app: nothing happens.\"",
        "search com.example.bank",
        "say \"Brought to the front, Bank is blurred and asks for Face ID.\"",
        "front com.example.maps",
        "front com.example.bank",
        "render 06-locked-app.png",
        "say \"The owner authenticates: the blur lifts.\"",
        "auth success",
        "render 07-unlocked-app.png",
        "say \"In the switcher, Bank's card stays blurred while it is locked.\"",
        "switcher",
        "render 08-switcher.png",
        "say \"Unlocking Bank for good takes authentication too.\"",
        "press com.example.bank",
        "pick \"App Lock\"",
        "auth success",
        "layout",
        "render 09-unlocked-home.png"}},
      {"The version-13 family: the first context menus",
       "13.5",
       true,
       {"boot", "press com.example.mail", "render 10-menu-13.png"}},
      {"The version-12 family: force-touch platters",
       "12.4",
       true,
       {"boot", "press com.example.mail", "render 11-platter-12.png"}},
      {"Colours: the static colour, then the wallpaper's",
       "14.2",
       true,
       {"static-color \"#ff9500:0.85\"", "boot", "setting useStaticColor true",
        "setting adaptiveColor false", "reload prefs", "press com.example.mail",
        "render 12-static-colour.png", "setting adaptiveWallColor true", "reload prefs",
        "press com.example.mail", "render 13-wallpaper-colour.png"}},
  };
}

// Quotes a path for the command language.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string scriptFor(const Chapter& chapter, const fs::path& pictures) {
  std::string script = "device os=" + chapter.os + "\n" + defaultDeviceScript();
  for (const std::string& step : chapter.steps) {
    if (step.rfind("render ", 0) == 0) {
      script += "render " + quoted((pictures / step.substr(7)).string()) + "\n";
    } else {
      script += step + "\n";
    }
  }
  return script;
}

// Runs this program again on a script; its output goes straight to ours.
bool runChapter(const Chapter& chapter, const fs::path& pictures, const fs::path& work, int n,
                const std::string& libraryPath, const std::string& dumpEach,
                const std::string& cpu) {
  fs::path script = work / ("chapter-" + std::to_string(n) + ".txt");
  std::ofstream(script) << scriptFor(chapter, pictures);
  std::string root = (work / ("device-" + std::to_string(n))).string();
  std::vector<std::string> args = {"quorvel-sim", "--script", script.string(), "--root", root};
  if (chapter.withLibrary && !libraryPath.empty()) {
    args.insert(args.end(), {"--library", libraryPath});
  } else {
    args.push_back("--no-library");
  }
  if (!cpu.empty()) args.insert(args.end(), {"--cpu", cpu});
  if (!dumpEach.empty()) {
    char folder[32];
    std::snprintf(folder, sizeof folder, "chapter-%02d", n);
    args.insert(args.end(), {"--dump-each", (fs::path(dumpEach) / folder).string()});
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::cout.flush();
  pid_t pid = 0;
  if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) != 0) {
    std::cerr << "quorvel-sim: cannot start the demonstration's steps\n";
    return false;
  }
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int runDemonstration(const std::string& picturesFolder, const std::string& libraryPath,
                     const std::string& dumpEach, const std::string& cpu) {
  std::error_code ec;
  fs::path pictures = fs::absolute(picturesFolder, ec);
  fs::create_directories(pictures, ec);
  char tmpl[] = "/tmp/quorvel-demo-XXXXXX";
  if (!fs::is_directory(pictures) || !mkdtemp(tmpl)) {
    std::cerr << "quorvel-sim: cannot create " << pictures.string() << "\n";
    return 1;
  }
  fs::path work = tmpl;
  std::cout << "Quorvel on a simulated home screen: twelve apps, a folder, a widget.\n"
            << "Pictures of each step go to " << pictures.string() << "\n";
  int n = 0;
  for (const Chapter& chapter : chapters()) {
    std::cout << "\n== " << chapter.title << " (OS " << chapter.os
              << (chapter.withLibrary ? "" : ", no library") << ")\n";
    if (!runChapter(chapter, pictures, work, ++n, libraryPath, dumpEach, cpu)) return 1;
  }
  fs::remove_all(work, ec);
  std::cout << "\nDone. The pictures are in " << pictures.string() << "\n";
  return 0;
}

}  // namespace qv::sim
