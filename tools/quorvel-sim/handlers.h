// The command handlers, by area.
#pragma once

#include <functional>

#include "command.h"

namespace qv::sim {

// Runs `act` on the booted home screen; the result tells what it changed ("ok" for nothing).
CommandResult withChanges(Session& session, const std::function<void()>& act);

// Setting up the device (setup_commands.cpp).
CommandResult runDevice(Session& session, const Invocation& invocation);
CommandResult runApp(Session& session, const Invocation& invocation);
CommandResult runFolder(Session& session, const Invocation& invocation);
CommandResult runWidget(Session& session, const Invocation& invocation);
CommandResult runWallpaper(Session& session, const Invocation& invocation);
CommandResult runSetting(Session& session, const Invocation& invocation);
CommandResult runRawSetting(Session& session, const Invocation& invocation);
CommandResult runStaticColor(Session& session, const Invocation& invocation);
CommandResult runFile(Session& session, const Invocation& invocation);
CommandResult runBoot(Session& session, const Invocation& invocation);

// Acting on the booted home screen (action_commands.cpp).
CommandResult runReload(Session& session, const Invocation& invocation);
CommandResult runPress(Session& session, const Invocation& invocation);
CommandResult runPick(Session& session, const Invocation& invocation);
CommandResult runRetryAuth(Session& session, const Invocation& invocation);
CommandResult runAlert(Session& session, const Invocation& invocation);
CommandResult runAuth(Session& session, const Invocation& invocation);
CommandResult runFront(Session& session, const Invocation& invocation);
CommandResult runSwitcher(Session& session, const Invocation& invocation);
CommandResult runSearch(Session& session, const Invocation& invocation);
CommandResult runSearchActivity(Session& session, const Invocation& invocation);
CommandResult runLayout(Session& session, const Invocation& invocation);
CommandResult runPost(Session& session, const Invocation& invocation);
CommandResult runStyle(Session& session, const Invocation& invocation);

// Looking (look_commands.cpp).
CommandResult runDump(Session& session, const Invocation& invocation);
CommandResult runRender(Session& session, const Invocation& invocation);
CommandResult runHelp(Session& session, const Invocation& invocation);
CommandResult runSay(Session& session, const Invocation& invocation);

// The preferences daemon (prefsd_commands.cpp).
CommandResult runPrefsd(Session& session, const Invocation& invocation);

}  // namespace qv::sim
