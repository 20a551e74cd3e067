#include "demo.h"

#include <algorithm>
#include <string>
#include <vector>

#include "script_runner.h"

namespace qv::sim {

const char* defaultDeviceScript() {
  return R"(device os=14.2
app com.example.mail name="Mail" color=#2f7bf5 badge=3
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

// What the demonstration does once the device is set up, shown as typed at the prompt.
const std::vector<std::string>& demonstrationSteps() {
  static const std::vector<std::string> steps = {
      "boot",
      "press com.example.mail",
  };
  return steps;
}

}  // namespace

int runDemonstration(Session& session, Reporter& reporter) {
  reporter.note("Quorvel on a simulated home screen: OS 14.2, twelve apps, a folder, a widget.");
  const std::string script = defaultDeviceScript();
  TextLineSource device(script);
  if (runCommands(session, reporter, device, InputMode::Script) != 0) return 1;

  // Numbered on from the device's lines, as if they were one script.
  int number = static_cast<int>(std::count(script.begin(), script.end(), '\n'));
  for (const std::string& step : demonstrationSteps()) {
    reporter.note("");
    reporter.note("quorvel> " + step);
    if (!runLine(session, reporter, step, ++number)) return 1;
  }
  return 0;
}

}  // namespace qv::sim
