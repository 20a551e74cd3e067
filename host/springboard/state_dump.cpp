// The whole observable state of the home screen as one JSON object.
#include <cmath>
#include <filesystem>

#include "foundation/device_root.h"
#include "foundation/property_list.h"
#include "foundation/system_log.h"
#include "platform/corefoundation.h"
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
  auto* v = fields<SBIconViewObj>(e.iconView);
  Json j = Json::object();
  j.set("identifier", e.identifier);
  j.set("kind", e.kind == IconEntry::Kind::App      ? "app"
                : e.kind == IconEntry::Kind::Folder ? "folder"
                                                    : "widget");
  j.set("imageAlpha", rounded(v->iconImageAlpha));
  j.set("labelAlpha", rounded(v->iconLabelAlpha));
  j.set("accessoryAlpha", rounded(v->iconAccessoryAlpha));
  j.set("tint", colorJson(v->accessibilityTintColor));
  j.set("labelHidden", v->labelHidden);
  if (v->accessoryView) {
    j.set("badge", fields<UIViewObj>(v->accessoryView)->hidden ? "hidden" : "shown");
  } else {
    j.set("badge", "none");
  }
  j.set("placements", v->placements);
  return j;
}

Json sectionSettingsJson(const SectionSettingsState& s) {
  if (!s.present) return Json();
  Json j = Json::object();
  j.set("allowsNotifications", s.allowsNotifications);
  j.set("alertType", s.alertType);
  return j;
}

// The files in a data container, relative to it and sorted (at most 100; links and folders
// are not followed into).
Json containerFilesJson(const std::string& container) {
  if (container.empty()) return Json();
  std::vector<std::string> files;
  std::error_code ec;
  fs::path root = realPath(container);
  for (fs::recursive_directory_iterator it(root, ec), end; it != end && files.size() < 100;
       it.increment(ec)) {
    if (ec) break;
    if (it->is_regular_file(ec) || it->is_symlink(ec)) {
      files.push_back(fs::relative(it->path(), root, ec).string());
    }
  }
  std::sort(files.begin(), files.end());
  Json out = Json::array();
  for (const std::string& f : files) out.push(f);
  return out;
}

Json appJson(const AppState& a) {
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
  j.set("containerFiles", containerFilesJson(a.containerPath));
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

const char* kSettingKeys[] = {
    "uninstall",        "clearBadges",    "clearCaches",   "copyBundleId",      "appLock",
    "notifications",    "banners",        "demoteApp",     "hideBadges",        "hideWidget",
    "hideLines",        "hideThickLines", "hideShare",     "hideEdit",          "hideDelete",
    "hideWidgetLabels", "useStaticColor", "adaptiveColor", "adaptiveWallColor", "pureColor",
    "menuColorAlpha"};

}  // namespace

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

Json HomeScreen::dump() const {
  AutoreleasePool pool;
  Json d = Json::object();
  d.set("os", version_);
  d.set("family", familyName(family_));
  d.set("library", libraryLoaded_);
  Json hooks = Json::array();
  for (const std::string& h : runtime::installedHooks()) hooks.push(h);
  d.set("hooks", hooks);
  Json missed = Json::array();
  for (const std::string& h : runtime::hooksNotInstalled()) missed.push(h);
  d.set("hooksNotInstalled", missed);
  Json settings = Json::object();
  for (const char* key : kSettingKeys) {
    std::optional<double> v = libraryValue(key);
    if (!v) continue;
    if (std::string(key) == "menuColorAlpha") {
      settings.set(key, rounded(*v));
    } else {
      settings.set(key, *v != 0);
    }
  }
  d.set("settings", settings);
  if (auto v = libraryValue("authInProgress")) d.set("authInProgress", *v != 0);
  d.set("defaults", objectJson(libraryObject("defaults")));
  d.set("settingsFile", objectJson(readPropertyListFile(
                            "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.plist")));
  // What CFPreferences readers get: the preferences daemon's copy of the domain.
  Strong domain = Strong::adopt(
      const_cast<id>(CFPreferencesCopyMultiple(nullptr, makeString("com.vantrelo88.quorvel"),
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
  for (const AppState& a : apps_) apps.set(a.setup.bundleID, appJson(a));
  d.set("apps", apps);
  d.set("frontmost", frontmost_.empty() ? Json() : Json(frontmost_));
  d.set("switcher", switcherJson());
  Json prompts = Json::array();
  for (const PendingAuth& p : pendingAuthentications()) {
    Json pj = Json::object();
    pj.set("policy", p.policy);
    pj.set("reason", p.reason);
    prompts.push(pj);
  }
  d.set("pendingPrompts", prompts);
  Json alert = alertJson(alertOnScreen());
  if (menu_ && !alert.isNull()) alert.set("group", menu_->alertDump());
  d.set("alert", alert);
  d.set("pasteboard", pasteboardHasText() ? Json(pasteboardText()) : Json());
  Json events = Json::array();
  for (const std::string& e : hostEvents_) events.push(e);
  d.set("hostEvents", events);
  Json log = Json::array();
  for (const std::string& line : systemLogLines()) log.push(line);
  d.set("log", log);
  return d;
}

}  // namespace qv::host
