#include "menu/app_actions.h"

#include <initializer_list>

#include "common/unavailable.h"
#include "platform/uikit.h"
#include "settings/app_lists.h"

namespace quorvel {

namespace {

// The folders emptied by Clear Caches, below the data container.
const char* const kCacheFolders[][3] = {
    {"tmp", nullptr, nullptr},
    {"Library", "Caches", nullptr},
    {"Library", "Application Support", "Dropbox"},
};

// Removes every entry directly inside `folder`; a subfolder goes whole. Entries are removed
// as they are, never through a link.
void emptyFolder(const NS::URL& folder) {
  NS::FileManager files = NS::FileManager::defaultManager();
  NS::DirectoryEnumerator entries =
      files.enumeratorAtURL(folder, nil, NS::DirectoryEnumerationSkipsSubdirectoryDescendants, nil);
  while (NS::Object entry = entries.nextObject()) {
    files.removeItemAtURL(NS::URL(entry.get()), nullptr);
  }
}

// Flips the app's membership in the list and stores it; returns whether it is now in it.
bool flipMembership(const char* key, id app) {
  NS::MutableArray list = mutableListNamed(key);
  if (listContains(key, app)) {
    list.removeObject(app);
  } else {
    list.addObject(app);
  }
  storeList(key, list);
  return listContains(key, app);
}

// Applies `apply` to the app's readable, writable and managed settings (each that exists)
// and to its section itself, then stores every saved section back.
template <class Apply>
void applyToSection(id app, Apply apply) {
  Class server = NSClassFromString(NSSTR("BBServer"));
  NS::Dictionary sections(msgSend<id>(server, SELECTOR("savedSectionInfo")));
  if (!sections) return;
  NS::Object section = sections.objectForKey(app);
  if (!section) return;
  for (const char* getter :
       {"readableSettings", "writableSettings", "managedSectionInfoSettings"}) {
    id settingsObject = section.send<id>(sel_registerName(getter));
    if (settingsObject) apply(settingsObject);
  }
  apply(section.get());
  msgSend<void>(server, SELECTOR("writeSectionInfo:"), sections.get());
}

}  // namespace

void clearCaches(id app) {
  if (!app) return;
  Class proxies = classNamed("LSApplicationProxy", "Clear Caches");
  if (!proxies) return;
  id proxy = msgSend<id>(proxies, SELECTOR("applicationProxyForIdentifier:"), app);
  NS::URL container(msgSend<id>(proxy, SELECTOR("dataContainerURL")));
  if (!container) return;
  NS::String containerPath = container.URLByResolvingSymlinksInPath().path();
  if (!containerPath) return;
  for (const auto& components : kCacheFolders) {
    NS::URL folder = container;
    NS::String expected = containerPath;
    for (const char* component : components) {
      if (!component) break;
      folder = folder.URLByAppendingPathComponent(NS::String::from(component), true);
      expected = expected.stringByAppendingPathComponent(NS::String::from(component));
    }
    // A folder that is a link, or lies behind one, may lead outside the container: skip it.
    if (!folder.URLByResolvingSymlinksInPath().path().isEqualToString(expected)) continue;
    emptyFolder(folder);
  }
}

void toggleNotifications(id app) {
  if (!app) return;
  bool off = flipMembership("disableNotifications", app);
  applyToSection(app, [off](id target) {
    msgSend<void>(target, SELECTOR("setAllowsNotifications:"), static_cast<BOOL>(!off));
  });
}

void toggleBanners(id app) {
  if (!app) return;
  bool off = flipMembership("disableBanners", app);
  applyToSection(app, [off](id target) {
    msgSend<void>(target, SELECTOR("setAlertType:"), static_cast<NSInteger>(off ? 0 : 1));
  });
}

void offloadApp(id app) {
  if (!app) return;
  Class coordinator = classNamed("IXAppInstallCoordinator", "Offload App");
  if (!coordinator) return;
  msgSend<BOOL>(coordinator, SELECTOR("demoteAppToPlaceholderWithBundleID:forReason:error:"), app,
                static_cast<NSUInteger>(1), static_cast<id*>(nullptr));
}

void copyBundleIdentifier(id app) {
  if (!app) return;
  UI::Pasteboard::generalPasteboard().setString(NS::String(app));
}

void uninstallApp(id app) {
  if (!app) return;
  Class controllers = classNamed("SBApplicationController", "uninstalling an app");
  if (!controllers) return;
  id controller = msgSend<id>(controllers, SELECTOR("sharedInstance"));
  msgSend<void>(controller,
                SELECTOR("requestUninstallApplicationWithBundleIdentifier:withCompletion:"), app,
                static_cast<id>(nil));
}

}  // namespace quorvel
