// System services reached through private classes: app data containers, notification
// settings, offloading and uninstallation.
#include "runtime/class_builder.h"
#include "runtime/system_images.h"
#include "springboard/springboard_internal.h"

namespace qv::host {
namespace {

// ---- LSApplicationProxy ----

struct ProxyObj : objc_object {
  Strong bundleIdentifier;
};

id proxyForIdentifier(id cls, SEL, id bundleID) {
  if (!bundleID || !HomeScreen::shared().app(stdString(bundleID))) return nil;
  id p = runtime::createInstance(reinterpret_cast<Class>(cls));
  fields<ProxyObj>(p)->bundleIdentifier = bundleID;
  return objc_autorelease(p);
}
id proxyDataContainerURL(id self, SEL) {
  AppState* app = HomeScreen::shared().app(stdString(fields<ProxyObj>(self)->bundleIdentifier));
  if (!app || app->containerPath.empty()) return nil;
  return msgSend<id>(objc_getClass("NSURL"), SELECTOR("fileURLWithPath:isDirectory:"),
                     makeString(app->containerPath), YES);
}

// ---- BBServer: saved sections are rebuilt from the store at each read ----

struct SectionSettingsObj : objc_object {
  bool allowsNotifications = true;
  long alertType = 1;
};

struct SectionInfoObj : SectionSettingsObj {
  Strong sectionID;
  Strong readable, writable, managed;
};

void settingsSetAllows(id self, SEL, BOOL allows) {
  fields<SectionSettingsObj>(self)->allowsNotifications = allows;
}
BOOL settingsAllows(id self, SEL) { return fields<SectionSettingsObj>(self)->allowsNotifications; }
void settingsSetAlertType(id self, SEL, NSInteger type) {
  fields<SectionSettingsObj>(self)->alertType = type;
}
NSInteger settingsAlertType(id self, SEL) { return fields<SectionSettingsObj>(self)->alertType; }
id infoReadable(id self, SEL) { return fields<SectionInfoObj>(self)->readable; }
id infoWritable(id self, SEL) { return fields<SectionInfoObj>(self)->writable; }
id infoManaged(id self, SEL) { return fields<SectionInfoObj>(self)->managed; }
id infoSectionID(id self, SEL) { return fields<SectionInfoObj>(self)->sectionID; }

// The section classes, looked up once: sections are built for every app at every read.
Class sectionInfoClass() {
  static Class cls = objc_getClass("BBSectionInfo");
  return cls;
}
Class sectionSettingsClass() {
  static Class cls = objc_getClass("BBSectionInfoSettings");
  return cls;
}

id settingsObject(const SectionSettingsState& state) {
  if (!state.present) return nil;
  id s = msgSend<id>(sectionSettingsClass(), SELECTOR("new"));
  fields<SectionSettingsObj>(s)->allowsNotifications = state.allowsNotifications;
  fields<SectionSettingsObj>(s)->alertType = state.alertType;
  return objc_autorelease(s);
}

void readBack(id settings, SectionSettingsState& state) {
  if (!settings || !state.present) return;
  state.allowsNotifications = fields<SectionSettingsObj>(settings)->allowsNotifications;
  state.alertType = fields<SectionSettingsObj>(settings)->alertType;
}

bool sameSettings(const SectionSettingsState& a, const SectionSettingsState& b) {
  return a.present == b.present && a.allowsNotifications == b.allowsNotifications &&
         a.alertType == b.alertType;
}
bool sameSection(const SectionState& a, const SectionState& b) {
  return sameSettings(a.info, b.info) && sameSettings(a.readable, b.readable) &&
         sameSettings(a.writable, b.writable) && sameSettings(a.managed, b.managed);
}

// Keyed by the app objects' own identifier strings.
id serverSavedSections(id, SEL) {
  std::vector<std::pair<id, id>> entries;
  entries.reserve(HomeScreen::shared().apps().size());
  for (const AppState& app : HomeScreen::shared().apps()) {
    if (!app.section.exists || !app.appObject) continue;
    id identifier = fields<SBApplicationObj>(app.appObject)->bundleIdentifier;
    id info = objc_autorelease(msgSend<id>(sectionInfoClass(), SELECTOR("new")));
    auto* f = fields<SectionInfoObj>(info);
    f->sectionID = identifier;
    f->allowsNotifications = app.section.info.allowsNotifications;
    f->alertType = app.section.info.alertType;
    f->readable = settingsObject(app.section.readable);
    f->writable = settingsObject(app.section.writable);
    f->managed = settingsObject(app.section.managed);
    entries.emplace_back(identifier, info);
  }
  return makeDictionary(entries, true);
}

// Stores the sections back; the system applies what it is given.
void serverWriteSections(id, SEL, id sections) {
  if (!sections || !isDictionary(sections)) return;
  for (const auto& [key, info] : fields<NSDictionaryObj>(sections)->map) {
    if (!isString(key) || !isKind(info, sectionInfoClass())) continue;
    AppState* state = HomeScreen::shared().app(stdString(key));
    if (!state) continue;
    SectionState was = state->section;
    auto* f = fields<SectionInfoObj>(info);
    state->section.info.allowsNotifications = f->allowsNotifications;
    state->section.info.alertType = f->alertType;
    readBack(f->readable, state->section.readable);
    readBack(f->writable, state->section.writable);
    readBack(f->managed, state->section.managed);
    if (!sameSection(was, state->section))
      HomeScreen::shared().journal().appChanged(state->setup.bundleID);
  }
}

// ---- IXAppInstallCoordinator and SBApplicationController ----

BOOL demoteApp(id, SEL, id bundleID, NSUInteger reason, id* error) {
  if (error) *error = nil;
  AppState* app = HomeScreen::shared().app(stdString(bundleID));
  if (!app || app->uninstalled) return NO;
  HomeScreen::shared().markOffloaded(app->setup.bundleID, static_cast<long>(reason));
  return YES;
}

Strong gAppController;

id controllerShared(id cls, SEL) {
  if (!gAppController)
    gAppController = Strong::adopt(msgSend<id>(reinterpret_cast<Class>(cls), SELECTOR("new")));
  return gAppController;
}
void controllerUninstall(id, SEL, id bundleID, id completion) {
  if (HomeScreen::shared().app(stdString(bundleID))) {
    HomeScreen::shared().markUninstalled(stdString(bundleID));
  }
  (void)completion;
}
void controllerUninstallWithOptions(id self, SEL cmd, id bundleID, NSUInteger, id completion) {
  controllerUninstall(self, cmd, bundleID, completion);
}
id controllerAppWithID(id, SEL, id bundleID) { return applicationObject(stdString(bundleID)); }

}  // namespace

void registerSystemServices(Family family) {
  runtime::addSystemImage(runtime::kMobileCoreServices, [] {
    ClassBuilder<ProxyObj>("LSApplicationProxy", "NSObject")
        .classMethod("applicationProxyForIdentifier:", proxyForIdentifier)
        .method("dataContainerURL", proxyDataContainerURL);
  });
  ClassBuilder<SectionSettingsObj>("BBSectionInfoSettings", "NSObject")
      .method("setAllowsNotifications:", settingsSetAllows)
      .method("allowsNotifications", settingsAllows)
      .method("setAlertType:", settingsSetAlertType)
      .method("alertType", settingsAlertType);
  ClassBuilder<SectionInfoObj>("BBSectionInfo", "BBSectionInfoSettings")
      .method("readableSettings", infoReadable)
      .method("writableSettings", infoWritable)
      .method("managedSectionInfoSettings", infoManaged)
      .method("sectionID", infoSectionID);
  ClassBuilder<>("BBServer", "NSObject")
      .classMethod("savedSectionInfo", serverSavedSections)
      .classMethod("writeSectionInfo:", serverWriteSections);
  runtime::addSystemImage(runtime::kInstallCoordination, [] {
    ClassBuilder<>("IXAppInstallCoordinator", "NSObject")
        .classMethod("demoteAppToPlaceholderWithBundleID:forReason:error:", demoteApp);
  });
  // Version 14 takes uninstallation options; earlier versions take none.
  ClassBuilder<> appController("SBApplicationController", "NSObject");
  appController.classMethod("sharedInstance", controllerShared)
      .method("applicationWithBundleIdentifier:", controllerAppWithID);
  if (family == Family::V14) {
    appController.method("requestUninstallApplicationWithBundleIdentifier:options:withCompletion:",
                         controllerUninstallWithOptions);
  } else {
    appController.method("requestUninstallApplicationWithBundleIdentifier:withCompletion:",
                         controllerUninstall);
  }
}

}  // namespace qv::host
