#include "observe/state_dump.h"

#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "foundation/device_files.h"
#include "foundation/path_resolution.h"
#include "foundation/plist_guard.h"
#include "foundation/property_list.h"
#include "foundation/system_log.h"
#include "observe/container_listing.h"
#include "observe/menu_json_internal.h"
#include "observe/object_json.h"
#include "platform/corefoundation.h"
#include "runtime/system_images.h"
#include "schema/settings_schema.h"
#include "springboard/home_items.h"
#include "springboard/library_view.h"
#include "springboard/menu_presenter.h"
#include "springboard/springboard_objects.h"
#include "uikit/device_state.h"

namespace qv::host {

namespace {

Json filtersJson(id view) {
  Json out = Json::array();
  CALayerObj* layer = layerOf(view);
  if (!layer) return out;
  for (id f : arrayItems(layer->filters)) {
    Json j = Json::object();
    j["name"] = fields<CAFilterObj>(f)->name;
    id radius = msgSend<id>(fields<CAFilterObj>(f)->values.get(), SELECTOR("objectForKey:"),
                            makeString("inputRadius"));
    if (radius) {
      j["inputRadius"] = number(fields<NSNumberObj>(radius)->real);
      j["radiusType"] = msgSend<const char*>(radius, SELECTOR("objCType"));
    }
    out.push_back(j);
  }
  return out;
}

// Each data container as last listed: kept for as long as the process watches the home screen.
ContainerListings& containerListings() {
  static auto* listings = new ContainerListings;
  return *listings;
}

Json sectionSettingsJson(const SectionSettingsState& s) {
  if (!s.present) return Json();
  Json j = Json::object();
  j["allowsNotifications"] = s.allowsNotifications;
  j["alertType"] = s.alertType;
  return j;
}

// The files (and links) in a data container, every one of them; folders that cannot be read
// go to `unreadable`.
Json containerFilesJson(const ContainerListing& listing, Json* unreadable) {
  Json out = Json::array();
  for (const std::string& f : listing.files) out.push_back(f);
  for (const std::string& f : listing.unreadable) unreadable->push_back(f);
  return out;
}

// The container's files as last listed, or afresh.
Json appJson(const AppState& a, bool fresh) {
  Json j = Json::object();
  j["name"] = a.setup.name;
  id badge = a.appObject ? fields<SBApplicationObj>(a.appObject)->badgeValue.get() : nil;
  j["badge"] = objectJson(badge);
  j["offloaded"] = a.offloaded;
  j["uninstalled"] = a.uninstalled;
  j["running"] = a.running;
  j["nowPlaying"] = a.setup.nowPlaying;
  if (a.section.exists) {
    Json s = sectionSettingsJson(a.section.info);
    s["readable"] = sectionSettingsJson(a.section.readable);
    s["writable"] = sectionSettingsJson(a.section.writable);
    s["managed"] = sectionSettingsJson(a.section.managed);
    j["notifications"] = s;
  } else {
    j["notifications"] = Json();
  }
  j["container"] = a.containerPath.empty() ? Json() : Json(a.containerPath);
  Json unreadable = Json::array();
  if (a.containerPath.empty()) {
    j["containerFiles"] = Json();
  } else {
    unsigned long changes = a.containerChanges->load();  // before listing: a later one lists again
    ContainerListings& listings = containerListings();
    j["containerFiles"] = containerFilesJson(fresh ? listings.fresh(a.containerPath, changes)
                                                   : listings.current(a.containerPath, changes),
                                             &unreadable);
  }
  if (unreadable.size() > 0) j["containerUnreadable"] = unreadable;
  return j;
}

Json switcherJson() {
  Json j = Json::object();
  id switcher = mainSwitcher();
  j["exists"] = switcher != nil;
  Json layouts = Json::array();
  Json quit = Json::array();
  if (switcher) {
    for (const Strong& l : fields<MainSwitcherObj>(switcher)->appLayouts) {
      id map = fields<AppLayoutObj>(l)->rolesToLayoutItemsMap;
      id primary = msgSend<id>(map, SELECTOR("objectForKey:"), makeInteger(1));
      layouts.push_back(stdString(fields<DisplayItemObj>(primary)->bundleIdentifier));
    }
    for (const std::string& q : fields<MainSwitcherObj>(switcher)->quitReasons) quit.push_back(q);
  }
  j["appLayouts"] = layouts;
  j["quit"] = quit;
  Json pages = Json::array();
  for (const Strong& p : switcherPages()) {
    auto* page = fields<SwitcherPageObj>(p);
    Json pj = Json::object();
    pj["app"] = stdString(page->bundleIdentifier);
    pj["filters"] = filtersJson(p);
    pj["masksToBounds"] = layerOf(p)->masksToBounds;
    pj["blocksTouches"] = page->blocksTouches;
    pj["overlayChanges"] = page->overlayChanges;
    pages.push_back(pj);
  }
  j["pages"] = pages;
  Json cards = Json::array();
  for (const Strong& c : switcherCards()) {
    id layout = fields<SnapshotViewObj>(c)->appLayout;
    id primary = msgSend<id>(fields<AppLayoutObj>(layout)->rolesToLayoutItemsMap.get(),
                             SELECTOR("objectForKey:"), makeInteger(1));
    Json cj = Json::object();
    cj["app"] = stdString(fields<DisplayItemObj>(primary)->bundleIdentifier);
    cj["filters"] = filtersJson(c);
    cj["masksToBounds"] = layerOf(c)->masksToBounds;
    cards.push_back(cj);
  }
  j["cards"] = cards;
  return j;
}

Json alertJson(id alert) {
  if (!alert) return Json();
  auto* a = fields<UIAlertControllerObj>(alert);
  Json j = Json::object();
  j["title"] = objectJson(a->title);
  j["message"] = objectJson(a->message);
  j["style"] = a->preferredStyle;
  Json buttons = Json::array();
  for (const auto& [title, style] : alertButtons(alert)) {
    Json b = Json::object();
    b["title"] = title;
    b["style"] = style == 1 ? "cancel" : style == 2 ? "destructive" : "default";
    buttons.push_back(b);
  }
  j["buttons"] = buttons;
  return j;
}

}  // namespace

// The library's notes as objects with the two members named.
static Json notesJson(const std::vector<LibraryNote>& notes, const char* subject,
                      const char* detail) {
  Json out = Json::array();
  for (const LibraryNote& note : notes) {
    Json entry = Json::object();
    entry[subject] = note.subject;
    entry[detail] = note.detail;
    out.push_back(entry);
  }
  return out;
}

namespace {

// The settings as the library holds them, in the schema's order, each of the type the library
// reports it as.
Json settingsJson() {
  std::unordered_map<std::string, LibraryStateValue> held;
  for (LibraryStateValue& v : libraryState()) held.emplace(v.name, v);
  Json settings = Json::object();
  for (const prefs::SettingKey& key : prefs::settingKeys()) {
    auto v = held.find(key.name);
    if (v == held.end()) continue;
    if (v->second.kind == 'n') {
      settings[key.name] = number(rounded(v->second.value));
    } else {
      settings[key.name] = v->second.value != 0;
    }
  }
  return settings;
}

Json promptsJson() {
  Json prompts = Json::array();
  for (const PendingAuth& p : pendingAuthentications()) {
    Json pj = Json::object();
    pj["policy"] = p.policy;
    pj["reason"] = p.reason;
    prompts.push_back(pj);
  }
  return prompts;
}

// The settings file as the library would read it at launch, and why it reads as nothing when
// it does: "read", "missing", "a folder", "unreadable: REASON", "not a property list" or "not a
// dictionary" (the library then keeps its defaults).
void settingsFileJson(Json& d) {
  const std::string path = prefs::kSettingsPath;
  bool folder = false;
  id contents = nil;
  std::string status;
  if (!deviceItemExists(path, &folder)) {
    status = "missing";
  } else if (folder) {
    status = "a folder";
  } else {
    errno = 0;
    std::optional<std::string> bytes = readDeviceFile(path, kMaxPropertyListBytes);
    if (!bytes) {
      status = std::string("unreadable: ") +
               (errno ? std::strerror(errno) : "not a regular file, or too large");
    } else if (!(contents = propertyListFromBytes(*bytes))) {
      status = "not a property list";
    } else {
      status = isDictionary(contents) ? "read" : "not a dictionary";
    }
  }
  d["settingsFile"] = objectJson(contents);
  d["settingsFileStatus"] = status;
}

// The alert on screen, with the action group the version-13 host laid out for it.
Json alertOnScreenJson(const HomeScreen& home) {
  Json alert = alertJson(home.alertOnScreen());
  if (home.menu() && !alert.is_null()) {
    std::optional<ActionGroupViews> group = home.menu()->alertViews();
    alert["group"] = group ? actionGroupJson(*group) : Json();
  }
  return alert;
}

// What is on the screen, in the dump and in sharedState alike: the frontmost app, the switcher,
// pending prompts, the alert and the pasteboard.
void addScreenJson(Json& d, const HomeScreen& home) {
  std::string frontmost = home.frontmostApp();
  d["frontmost"] = frontmost.empty() ? Json() : Json(frontmost);
  d["switcher"] = switcherJson();
  d["pendingPrompts"] = promptsJson();
  d["alert"] = alertOnScreenJson(home);
  d["pasteboard"] = pasteboardHasText() ? Json(pasteboardText()) : Json();
}

}  // namespace

Json appState(const AppState& app) {
  AutoreleasePool pool;
  return appJson(app, false);
}

IconLook iconLook(const IconEntry& icon) {
  auto* v = fields<SBIconViewObj>(icon.iconView);
  IconLook look;
  look.imageAlpha = rounded(v->iconImageAlpha);
  look.labelAlpha = rounded(v->iconLabelAlpha);
  look.accessoryAlpha = rounded(v->iconAccessoryAlpha);
  if (id tint = v->accessibilityTintColor) {
    Rgba c = colorComponents(tint);
    look.tinted = true;
    look.tint[0] = rounded(c.red);
    look.tint[1] = rounded(c.green);
    look.tint[2] = rounded(c.blue);
    look.tint[3] = rounded(c.alpha);
  }
  look.labelHidden = v->labelHidden;
  if (v->accessoryView) {
    look.badge = fields<UIViewObj>(v->accessoryView)->hidden ? IconLook::Badge::Hidden
                                                             : IconLook::Badge::Shown;
  }
  look.placements = v->placements;
  return look;
}

Json iconJson(const std::string& identifier, IconEntry::Kind kind, const IconLook& look) {
  Json j = Json::object();
  j["identifier"] = identifier;
  j["kind"] = kind == IconEntry::Kind::App      ? "app"
              : kind == IconEntry::Kind::Folder ? "folder"
                                                : "widget";
  j["imageAlpha"] = number(look.imageAlpha);
  j["labelAlpha"] = number(look.labelAlpha);
  j["accessoryAlpha"] = number(look.accessoryAlpha);
  Json tint;
  if (look.tinted) {
    tint = Json::object();
    const char* parts[] = {"red", "green", "blue", "alpha"};
    for (int i = 0; i < 4; i++) tint[parts[i]] = number(look.tint[i]);
  }
  j["tint"] = tint;
  j["labelHidden"] = look.labelHidden;
  j["badge"] = look.badge == IconLook::Badge::None     ? "none"
               : look.badge == IconLook::Badge::Hidden ? "hidden"
                                                       : "shown";
  j["placements"] = look.placements;
  return j;
}

Json sharedState(const HomeScreen& home) {
  AutoreleasePool pool;
  Json d = Json::object();
  d["settings"] = settingsJson();
  d["staticColor"] = colorJson(libraryObject("staticColor"));
  // Of the menu, whether one is open and for which app.
  Json menu;
  if (home.menu() && home.menu()->isOpen()) menu["bundleID"] = home.menu()->bundleID();
  d["menu"] = menu;
  addScreenJson(d, home);
  return d;
}

Json dumpState(const HomeScreen& home) {
  AutoreleasePool pool;
  Json d = Json::object();
  d["os"] = home.osVersion();
  d["family"] = familyName(home.family());
  d["hostClasses"] = std::to_string(home.hostClasses());
  d["cpu"] = home.cpu();
  d["library"] = home.libraryLoaded();
  d["libraryRefused"] = home.libraryRefusal().empty() ? Json() : Json(home.libraryRefusal());
  Json hooks = Json::array();
  for (const std::string& h : runtime::installedHooks()) hooks.push_back(h);
  d["hooks"] = hooks;
  Json missed = Json::array();
  for (const std::string& h : runtime::hooksNotInstalled()) missed.push_back(h);
  for (const std::string& h : librarySkippedHooks()) missed.push_back(h);
  d["hooksNotInstalled"] = missed;
  Json images = Json::array();
  for (const std::string& image : runtime::loadedSystemImages()) images.push_back(image);
  d["systemImages"] = images;
  d["missingClasses"] = notesJson(libraryMissingClasses(), "class", "unavailable");
  d["appLockUnguarded"] = notesJson(libraryUnguarded(), "what", "why");
  d["settings"] = settingsJson();
  for (const LibraryStateValue& v : libraryState()) {
    if (v.kind == 'f') d[v.name] = v.value != 0;
  }
  d["defaults"] = objectJson(libraryObject("defaults"));
  settingsFileJson(d);
  // What CFPreferences readers get: the preferences daemon's copy of the domain.
  Strong domain = Strong::adopt(
      const_cast<id>(CFPreferencesCopyMultiple(nullptr, makeString(prefs::kSettingsDomain),
                                               kCFPreferencesCurrentUser, kCFPreferencesAnyHost)));
  d["settingsDomain"] = objectJson(domain.get());
  d["bundleID"] = objectJson(libraryObject("bundleID"));
  d["staticColor"] = colorJson(libraryObject("staticColor"));
  d["menu"] = menuJson(home);
  Json icons = Json::array();
  // Folders and widgets added before boot have no view until the icons are placed.
  for (const IconEntry& e : home.icons()) {
    if (e.iconView) icons.push_back(iconJson(e.identifier, e.kind, iconLook(e)));
  }
  d["icons"] = icons;
  Json apps = Json::object();
  for (const AppState& a : home.apps()) apps[a.setup.bundleID] = appJson(a, true);
  d["apps"] = apps;
  addScreenJson(d, home);
  Json events = Json::array();
  for (const std::string& e : home.hostEvents()) events.push_back(e);
  d["hostEvents"] = events;
  Json log = Json::array();
  SystemLogTail tail = systemLogSince(0);
  for (const std::string& line : tail.lines) log.push_back(line);
  d["log"] = log;
  d["logLinesDropped"] = tail.dropped;
  return d;
}

}  // namespace qv::host
