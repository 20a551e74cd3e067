// The settings cache: one value per switch, filled by loadPrefs and read by every hook.
#pragma once

#include "platform/freestanding.h"

namespace quorvel {

struct SettingsCache {
  bool uninstall;
  bool clearBadges;
  bool clearCaches;
  bool copyBundleId;
  bool appLock;
  bool notifications;
  bool banners;
  bool demoteApp;
  bool hideBadges;
  bool hideWidget;
  bool hideLines;
  bool hideThickLines;
  bool hideShare;
  bool hideEdit;
  bool hideDelete;
  bool hideWidgetLabels;
  bool useStaticColor;
  bool adaptiveColor;
  bool adaptiveWallColor;
  bool pureColor;
  float menuColorAlpha;
};

extern SettingsCache settings;

// A switch: its key, its place in the cache and its value when the key is absent.
struct SwitchKey {
  const char* name;
  bool SettingsCache::*field;
  bool fallback;
};

// Every switch, in the order the keys are read.
qv::Span<SwitchKey> switchKeys();

// Refreshes the cache from the settings domain (or the settings property list outside the
// home-screen user's process), then asks icon views to re-apply badge hiding.
void loadPrefs();

}  // namespace quorvel
