// The whole observable state of the home screen as one JSON object.
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <unordered_map>

#include "foundation/device_files.h"
#include "foundation/device_root.h"
#include "foundation/path_resolution.h"
#include "foundation/plist_guard.h"
#include "foundation/property_list.h"
#include "foundation/system_log.h"
#include "platform/corefoundation.h"
#include "runtime/system_images.h"
#include "schema/settings_schema.h"
#include "springboard/container_listing.h"
#include "springboard/library_view.h"
#include "springboard/menu_presenter.h"
#include "springboard/springboard_internal.h"
#include "uikit/device_state.h"
#include "uikit/image_info.h"

namespace qv::host {

namespace fs = std::filesystem;

namespace {

// Property-list objects (and colours) as JSON.
Json objectJson(id obj) {
  if (!obj) return Json();
  if (isString(obj)) return Json(stdString(obj));
  if (isNumber(obj)) {
    auto* n = fields<NSNumberObj>(obj);
    if (n->kind == NSNumberObj::Kind::Bool) return Json(n->integer != 0);
    if (n->kind == NSNumberObj::Kind::Integer) return Json(static_cast<double>(n->integer));
    return Json(n->real);
  }
  if (isArray(obj)) {
    Json a = Json::array();
    for (id item : arrayItems(obj)) a.push(objectJson(item));
    return a;
  }
  if (isDictionary(obj)) {
    std::vector<std::pair<std::string, Json>> entries;
    for (auto& [k, v] : fields<NSDictionaryObj>(obj)->map) {
      entries.emplace_back(
          isString(k) ? stdString(k) : stdString(msgSend<id>(k.get(), SELECTOR("description"))),
          objectJson(v));
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    Json o = Json::object();
    for (auto& [k, v] : entries) o.set(k, v);
    return o;
  }
  if (isData(obj))
    return Json("<" + std::to_string(fields<NSDataObj>(obj)->bytes.size()) + " bytes>");
  if (isKind(obj, colorClass())) return colorJson(obj);
  return Json(class_getName(object_getClass(obj)));
}

double rounded(double v) { return std::round(v * 10000) / 10000; }

Json filtersJson(id view) {
  Json out = Json::array();
  CALayerObj* layer = layerOf(view);
  if (!layer) return out;
  for (id f : arrayItems(layer->filters)) {
    Json j = Json::object();
    j.set("name", fields<CAFilterObj>(f)->name);
    id radius = msgSend<id>(fields<CAFilterObj>(f)->values.get(), SELECTOR("objectForKey:"),
                            makeString("inputRadius"));
    if (radius) {
      j.set("inputRadius", fields<NSNumberObj>(radius)->real);
      j.set("radiusType", msgSend<const char*>(radius, SELECTOR("objCType")));
    }
    out.push(j);
  }
  return out;
}

Json iconViewJson(const IconEntry& e) {
  return HomeScreen::iconJson(e.identifier, e.kind, HomeScreen::shared().iconLook(e));
}

Json sectionSettingsJson(const SectionSettingsState& s) {
  if (!s.present) return Json();
  Json j = Json::object();
  j.set("allowsNotifications", s.allowsNotifications);
  j.set("alertType", s.alertType);
  return j;
}

// The files (and links) in a data container, every one of them; folders that cannot be read
// go to `unreadable`.
Json containerFilesJson(const ContainerListing& listing, Json* unreadable) {
  Json out = Json::array();
  for (const std::string& f : listing.files) out.push(f);
  for (const std::string& f : listing.unreadable) unreadable->push(f);
  return out;
}

// `listings` gives the container's files: as last listed, or afresh.
Json appJson(const AppState& a, ContainerListings& listings, bool fresh) {
  Json j = Json::object();
  j.set("name", a.setup.name);
  id badge = a.appObject ? fields<SBApplicationObj>(a.appObject)->badgeValue.get() : nil;
  j.set("badge", objectJson(badge));
  j.set("offloaded", a.offloaded);
  j.set("uninstalled", a.uninstalled);
  j.set("running", a.running);
  j.set("nowPlaying", a.setup.nowPlaying);
  if (a.section.exists) {
    Json s = sectionSettingsJson(a.section.info);
    s.set("readable", sectionSettingsJson(a.section.readable));
    s.set("writable", sectionSettingsJson(a.section.writable));
    s.set("managed", sectionSettingsJson(a.section.managed));
    j.set("notifications", s);
  } else {
    j.set("notifications", Json());
  }
  j.set("container", a.containerPath.empty() ? Json() : Json(a.containerPath));
  Json unreadable = Json::array();
  if (a.containerPath.empty()) {
    j.set("containerFiles", Json());
  } else {
    j.set("containerFiles", containerFilesJson(fresh ? listings.fresh(a.containerPath)
                                                     : listings.current(a.containerPath),
                                               &unreadable));
  }
  if (unreadable.size() > 0) j.set("containerUnreadable", unreadable);
  return j;
}

Json switcherJson() {
  Json j = Json::object();
  id switcher = mainSwitcher();
  j.set("exists", switcher != nil);
  Json layouts = Json::array();
  Json quit = Json::array();
  if (switcher) {
    for (const Strong& l : fields<MainSwitcherObj>(switcher)->appLayouts) {
      id map = fields<AppLayoutObj>(l)->rolesToLayoutItemsMap;
      id primary = msgSend<id>(map, SELECTOR("objectForKey:"), makeInteger(1));
      layouts.push(stdString(fields<DisplayItemObj>(primary)->bundleIdentifier));
    }
    for (const std::string& q : fields<MainSwitcherObj>(switcher)->quitReasons) quit.push(q);
  }
  j.set("appLayouts", layouts);
  j.set("quit", quit);
  Json pages = Json::array();
  for (const Strong& p : switcherPages()) {
    auto* page = fields<SwitcherPageObj>(p);
    Json pj = Json::object();
    pj.set("app", stdString(page->bundleIdentifier));
    pj.set("filters", filtersJson(p));
    pj.set("masksToBounds", layerOf(p)->masksToBounds);
    pj.set("blocksTouches", page->blocksTouches);
    pj.set("overlayChanges", page->overlayChanges);
    pages.push(pj);
  }
  j.set("pages", pages);
  Json cards = Json::array();
  for (const Strong& c : switcherCards()) {
    id layout = fields<SnapshotViewObj>(c)->appLayout;
    id primary = msgSend<id>(fields<AppLayoutObj>(layout)->rolesToLayoutItemsMap.get(),
                             SELECTOR("objectForKey:"), makeInteger(1));
    Json cj = Json::object();
    cj.set("app", stdString(fields<DisplayItemObj>(primary)->bundleIdentifier));
    cj.set("filters", filtersJson(c));
    cj.set("masksToBounds", layerOf(c)->masksToBounds);
    cards.push(cj);
  }
  j.set("cards", cards);
  return j;
}

Json alertJson(id alert) {
  if (!alert) return Json();
  auto* a = fields<UIAlertControllerObj>(alert);
  Json j = Json::object();
  j.set("title", objectJson(a->title));
  j.set("message", objectJson(a->message));
  j.set("style", a->preferredStyle);
  Json buttons = Json::array();
  for (const auto& [title, style] : alertButtons(alert)) {
    Json b = Json::object();
    b.set("title", title);
    b.set("style", style == 1 ? "cancel" : style == 2 ? "destructive" : "default");
    buttons.push(b);
  }
  j.set("buttons", buttons);
  return j;
}

}  // namespace

// The library's notes as objects with the two members named.
static Json notesJson(const std::vector<LibraryNote>& notes, const char* subject,
                      const char* detail) {
  Json out = Json::array();
  for (const LibraryNote& note : notes) {
    Json entry = Json::object();
    entry.set(subject, note.subject);
    entry.set(detail, note.detail);
    out.push(entry);
  }
  return out;
}

Json colorJson(id color) {
  if (!color) return Json();
  Rgba c = colorComponents(color);
  Json j = Json::object();
  j.set("red", rounded(c.red));
  j.set("green", rounded(c.green));
  j.set("blue", rounded(c.blue));
  j.set("alpha", rounded(c.alpha));
  return j;
}

Json viewJson(id view) {
  if (!view) return Json();
  auto* v = fields<UIViewObj>(view);
  Json j = Json::object();
  j.set("class", class_getName(object_getClass(view)));
  j.set("backgroundColor", colorJson(v->backgroundColor));
  j.set("alpha", rounded(v->alpha));
  j.set("hidden", v->hidden);
  j.set("backgroundSets", v->backgroundSets);
  if (CALayerObj* layer = layerOf(view)) j.set("cornerRadius", layer->cornerRadius);
  return j;
}

Json itemJson(id item) {
  auto* f = fields<ShortcutItemObj>(item);
  Json j = Json::object();
  j.set("title", objectJson(f->localizedTitle));
  j.set("subtitle", objectJson(f->localizedSubtitle));
  j.set("type", objectJson(f->type));
  j.set("bundleIdentifierToLaunch", objectJson(f->bundleIdentifierToLaunch));
  j.set("targetContentIdentifier", objectJson(f->targetContentIdentifier));
  return j;
}

Json imageJson(id image) {
  if (!image) return Json();
  Json j = Json::object();
  std::string path = imageSourcePath(image);
  j.set("file", path.empty() ? Json() : Json(fs::path(path).filename().string()));
  j.set("renderingMode", imageRenderingMode(image));
  return j;
}

namespace {

// The settings cache as the library holds it.
// The settings as the library holds them, in the schema's order, each of the type the library
// reports it as.
Json settingsJson() {
  std::unordered_map<std::string, LibraryStateValue> held;
  for (LibraryStateValue& v : libraryState()) held.emplace(v.name, v);
  Json settings = Json::object();
  for (const prefs::SettingKey& key : prefs::settingKeys()) {
    auto v = held.find(key.name);
    if (v == held.end()) continue;
    settings.set(key.name, v->second.kind == 'n' ? Json(rounded(v->second.value))
                                                 : Json(v->second.value != 0));
  }
  return settings;
}

Json promptsJson() {
  Json prompts = Json::array();
  for (const PendingAuth& p : pendingAuthentications()) {
    Json pj = Json::object();
    pj.set("policy", p.policy);
    pj.set("reason", p.reason);
    prompts.push(pj);
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
  d.set("settingsFile", objectJson(contents));
  d.set("settingsFileStatus", status);
}

}  // namespace

Json HomeScreen::appState(const AppState& app) const {
  AutoreleasePool pool;
  return appJson(app, containerListings_, false);
}

IconLook HomeScreen::iconLook(const IconEntry& icon) const {
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

Json HomeScreen::iconJson(const std::string& identifier, IconEntry::Kind kind,
                          const IconLook& look) {
  Json j = Json::object();
  j.set("identifier", identifier);
  j.set("kind", kind == IconEntry::Kind::App      ? "app"
                : kind == IconEntry::Kind::Folder ? "folder"
                                                  : "widget");
  j.set("imageAlpha", look.imageAlpha);
  j.set("labelAlpha", look.labelAlpha);
  j.set("accessoryAlpha", look.accessoryAlpha);
  Json tint;
  if (look.tinted) {
    tint = Json::object();
    const char* parts[] = {"red", "green", "blue", "alpha"};
    for (int i = 0; i < 4; i++) tint.set(parts[i], look.tint[i]);
  }
  j.set("tint", tint);
  j.set("labelHidden", look.labelHidden);
  j.set("badge", look.badge == IconLook::Badge::None     ? "none"
                 : look.badge == IconLook::Badge::Hidden ? "hidden"
                                                         : "shown");
  j.set("placements", look.placements);
  return j;
}

Json HomeScreen::sharedState() const {
  AutoreleasePool pool;
  Json d = Json::object();
  d.set("settings", settingsJson());
  d.set("staticColor", colorJson(libraryObject("staticColor")));
  // Of the menu, whether one is open and for which app.
  Json menu;
  if (menu_ && menu_->isOpen()) menu.set("bundleID", menu_->bundleID());
  d.set("menu", menu);
  d.set("frontmost", frontmost_.empty() ? Json() : Json(frontmost_));
  d.set("switcher", switcherJson());
  d.set("pendingPrompts", promptsJson());
  d.set("alert", alertOnScreenJson());
  d.set("pasteboard", pasteboardHasText() ? Json(pasteboardText()) : Json());
  return d;
}

Json HomeScreen::dump() const {
  AutoreleasePool pool;
  Json d = Json::object();
  d.set("os", version_);
  d.set("family", familyName(family_));
  d.set("hostClasses", std::to_string(hostClasses_));
  d.set("cpu", cpu_);
  d.set("library", libraryLoaded_);
  d.set("libraryRefused", libraryRefusal_.empty() ? Json() : Json(libraryRefusal_));
  Json hooks = Json::array();
  for (const std::string& h : runtime::installedHooks()) hooks.push(h);
  d.set("hooks", hooks);
  Json missed = Json::array();
  for (const std::string& h : runtime::hooksNotInstalled()) missed.push(h);
  for (const std::string& h : librarySkippedHooks()) missed.push(h);
  d.set("hooksNotInstalled", missed);
  Json images = Json::array();
  for (const std::string& image : runtime::loadedSystemImages()) images.push(image);
  d.set("systemImages", images);
  d.set("missingClasses", notesJson(libraryMissingClasses(), "class", "unavailable"));
  d.set("appLockUnguarded", notesJson(libraryUnguarded(), "what", "why"));
  d.set("settings", settingsJson());
  for (const LibraryStateValue& v : libraryState()) {
    if (v.kind == 'f') d.set(v.name, v.value != 0);
  }
  d.set("defaults", objectJson(libraryObject("defaults")));
  settingsFileJson(d);
  // What CFPreferences readers get: the preferences daemon's copy of the domain.
  Strong domain = Strong::adopt(
      const_cast<id>(CFPreferencesCopyMultiple(nullptr, makeString(prefs::kSettingsDomain),
                                               kCFPreferencesCurrentUser, kCFPreferencesAnyHost)));
  d.set("settingsDomain", objectJson(domain.get()));
  d.set("bundleID", objectJson(libraryObject("bundleID")));
  d.set("staticColor", colorJson(libraryObject("staticColor")));
  d.set("menu", menu_ ? menu_->dump() : Json());
  Json icons = Json::array();
  // Folders and widgets added before boot have no view until the icons are placed.
  for (const IconEntry& e : icons_) {
    if (e.iconView) icons.push(iconViewJson(e));
  }
  d.set("icons", icons);
  Json apps = Json::object();
  for (const AppState& a : apps_) apps.set(a.setup.bundleID, appJson(a, containerListings_, true));
  d.set("apps", apps);
  d.set("frontmost", frontmost_.empty() ? Json() : Json(frontmost_));
  d.set("switcher", switcherJson());
  d.set("pendingPrompts", promptsJson());
  d.set("alert", alertOnScreenJson());
  d.set("pasteboard", pasteboardHasText() ? Json(pasteboardText()) : Json());
  Json events = Json::array();
  for (const std::string& e : hostEvents_) events.push(e);
  d.set("hostEvents", events);
  Json log = Json::array();
  SystemLogTail tail = systemLogSince(0);
  for (const std::string& line : tail.lines) log.push(line);
  d.set("log", log);
  d.set("logLinesDropped", tail.dropped);
  return d;
}

Json HomeScreen::alertOnScreenJson() const {
  Json alert = alertJson(alertOnScreen());
  if (menu_ && !alert.isNull()) alert.set("group", menu_->alertDump());
  return alert;
}

}  // namespace qv::host
