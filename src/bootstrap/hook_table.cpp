#include "bootstrap/hook_table.h"

#include "appearance/action_platter_12.h"
#include "appearance/average_color.h"
#include "appearance/color_sources.h"
#include "appearance/context_menu_13.h"
#include "appearance/context_menu_14.h"
#include "appearance/context_menu_preview.h"
#include "appearance/item_icons.h"
#include "appearance/share_row.h"
#include "applock/icon_state.h"
#include "applock/search_gate.h"
#include "applock/switcher_blur.h"
#include "applock/unlock_prompt.h"
#include "bootstrap/launch_hook.h"
#include "bootstrap/os_family.h"
#include "common/unavailable.h"
#include "menu/app_observers.h"
#include "menu/catalogue.h"
#include "menu/dispatch.h"
#include "menu/item_filter.h"
#include "platform/libc.h"

namespace quorvel {

namespace {

constexpr HookEntry kFamilyAll[] = {
    replace<hookApplicationDidFinishLaunching>("SpringBoard", "applicationDidFinishLaunching:"),
    replace<hookComputeAverageColor>("SBFStaticWallpaperView", "_computeAverageColor"),
    replace<hookPageInitWithFrame>("SBAppSwitcherPageView", "initWithFrame:"),
    replace<hookPageSetOverlay>("SBAppSwitcherPageView", "setOverlay:animated:"),
    add<pageRetryAuth>("SBAppSwitcherPageView", "retryAuth"),
    add<pageRemoveFilter>("SBAppSwitcherPageView", "removeFilter"),
    replace<hookIconLayoutSubviews>("SBIconView", "layoutSubviews"),
    replace<hookIconIsCrossfading>("SBIconView", "isCrossfadingImageWithView"),
    // SBIconLocation is a string from version 13 on, a long long before.
    replaceByVersion<hookIconSetLocation<id>, hookIconSetLocation<long long>>("SBIconView",
                                                                              "setLocation:"),
    add<iconCheckBadge>("SBIconView", "checkBadge"),
    add<iconDimIcon>("SBIconView", "dimIcon"),
    replaceClassMethod<hookOpenApplication>("SearchUIUtilities",
                                            "openApplicationWithBundleIdentifier:"),
    replaceClassMethod<hookOpenUserActivity>("SearchUIUtilities",
                                             "openUserActivity:applicationBundleIdentifier:"),
    replace<hookAppInitWithInfo>("SBApplication", "initWithApplicationInfo:"),
    add<appClearBadges>("SBApplication", "clearBadges"),
    add<appKillApp>("SBApplication", "killApp"),
};

constexpr HookEntry kFamily14[] = {
    replace<hook14SetVisualEffectView>("_UIElasticContextMenuBackgroundView",
                                       "setVisualEffectView:"),
    replace<hookShadowLayoutSubviews>("_UICutoutShadowView", "layoutSubviews"),
    replace<hookWrapperViewWillAppear>("SBHIconViewContextMenuWrapperViewController",
                                       "viewWillAppear:"),
    add<averageColorOfImage>("SBHIconViewContextMenuWrapperViewController", "averageColorOfImage:"),
    replace<hook14SetDisplayedMenu>("_UIContextMenuActionsListView",
                                    "setDisplayedMenu:withAnimationStyle:alongsideAnimations:"),
    add<averageColorOfImage>("_UIContextMenuActionsListView", "averageColorOfImage:"),
    replace<hookBundleIdentifierForShortcuts>("SBIconView",
                                              "applicationBundleIdentifierForShortcuts"),
    replace<hook14SetLabelHidden>("SBIconView", "setLabelHidden:"),
    replace<hookShortcutItems>("SBIconView", "applicationShortcutItems"),
    replace<hook14SetShortcutItems>("SBIconView", "setApplicationShortcutItems:"),
    replace<hookShouldActivate>("SBHIconManager",
                                "iconView:shouldActivateApplicationShortcutItem:atIndex:"),
    replace<hook14SetTrailingImage>("_UIContextMenuActionView", "setTrailingImage:"),
    replace<hook14CardLayoutSubviews>("SBAppSwitcherReusableSnapshotView", "layoutSubviews"),
};

// Versions 15 and 16, beside the version-14 table: the members that replaced what those
// versions removed. Version 16 adds PaperBoardUI's wallpaper view.
constexpr HookEntry kFamily15[] = {
    replace<hook15PageSetOverlay>("SBAppSwitcherPageView", "setOverlay:"),
    replaceClassMethod<hook15OpenApplication>("SearchUIUtilities",
                                              "openApplicationWithBundleIdentifier:completion:"),
    replaceClassMethod<hook15OpenUserActivity>(
        "SearchUIUtilities", "openUserActivity:applicationBundleIdentifier:completion:"),
    replace<hook15SetDisplayedMenu>("_UIContextMenuListView", "setDisplayedMenu:"),
    add<averageColorOfImage>("_UIContextMenuListView", "averageColorOfImage:"),
    replace<hook15SetTrailingImage>("_UIContextMenuCellContentView", "setTrailingImage:"),
};

constexpr HookEntry kFamily16[] = {
    replace<hook16ComputeAverageColor>("PBUIStaticWallpaperView", "_computeAverageColor"),
};

constexpr HookEntry kFamily13[] = {
    replace<hookRowAction>("UIInterfaceActionRepresentationView", "action"),
    replace<hook13BlankSeparatorLayout>("_UIInterfaceActionBlankSeparatorView", "layoutSubviews"),
    replace<hook13VibrantSeparatorLayout>("_UIInterfaceActionVibrantSeparatorView",
                                          "layoutSubviews"),
    replace<hookShadowLayoutSubviews>("_UICutoutShadowView", "layoutSubviews"),
    replace<hookWrapperViewWillAppear>("SBHIconViewContextMenuWrapperViewController",
                                       "viewWillAppear:"),
    add<averageColorOfImage>("SBHIconViewContextMenuWrapperViewController", "averageColorOfImage:"),
    replace<hook13GroupLayoutSubviews>("UIInterfaceActionGroupView", "layoutSubviews"),
    add<averageColorOfImage>("UIInterfaceActionGroupView", "averageColorOfImage:"),
    replace<hookBundleIdentifierForShortcuts>("SBIconView",
                                              "applicationBundleIdentifierForShortcuts"),
    replace<hookShortcutItems>("SBIconView", "applicationShortcutItems"),
    replace<hook13SetShortcutItems>("SBIconView", "setApplicationShortcutItems:"),
    replace<hookShouldActivate>("SBHIconManager",
                                "iconView:shouldActivateApplicationShortcutItem:atIndex:"),
    replace<hook13ActionViewInit>("_UIContextMenuActionView", "initWithTitle:subtitle:image:"),
    replace<hook13CardLayoutSubviews>("SBAppSwitcherReusableSnapshotView", "layoutSubviews"),
};

constexpr HookEntry kFamily12[] = {
    replace<hook12KeylineLayoutSubviews>("SBUIActionKeylineView", "layoutSubviews"),
    replace<hook12SetEffectStrength>("SBUIIconForceTouchVisualEffectView", "setEffectStrength:"),
    replace<hook12ProviderShortcutItems>("SBUIAppIconForceTouchControllerDataProvider",
                                         "applicationShortcutItems"),
    replace<hook12WidgetViewController>("SBUIAppIconForceTouchController",
                                        "_widgetViewControllerForDataProvider:"),
    replace<hook12ActivateShortcut>(
        "SBUIAppIconForceTouchController",
        "appIconForceTouchShortcutViewController:activateApplicationShortcutItem:"),
    replace<hook12ActionInit>("SBUIAction", "initWithTitle:subtitle:image:badgeView:handler:"),
    replace<hook12PlatterSetImagePosition>("SBUIActionPlatterViewController", "setImagePosition:"),
    add<averageColorOfImage>("SBUIActionPlatterViewController", "averageColorOfImage:"),
    replace<hookRowAction>("SBUIActionView", "action"),
    replace<hook12CardLayoutSubviews>("SBAppSwitcherReusableSnapshotView", "layoutSubviews"),
};

void install(const HookEntry& entry) {
  Class cls = objc_getClass(entry.className);
  if (!cls) {
    recordSkippedHook(entry.className, entry.selector, entry.classMethod);
    return;
  }
  if (entry.classMethod) cls = object_getClass(asId(cls));
  SEL sel = sel_registerName(entry.selector);
  bool before13 = entry.installBefore13 && selectsFamily12();
  (before13 ? entry.installBefore13 : entry.install)(cls, sel);
}

}  // namespace

qv::Span<HookEntry> familyAll() { return kFamilyAll; }
qv::Span<HookEntry> family14() { return kFamily14; }
qv::Span<HookEntry> family15() { return kFamily15; }
qv::Span<HookEntry> family16() { return kFamily16; }
qv::Span<HookEntry> family13() { return kFamily13; }
qv::Span<HookEntry> family12() { return kFamily12; }

void installFamily(qv::Span<HookEntry> family) {
  for (const HookEntry& entry : family) install(entry);
}

}  // namespace quorvel

extern "C" bool quorvelHookTableEntry(const char* family, unsigned index, const char** className,
                                      const char** selector, bool* classMethod) {
  using namespace quorvel;
  struct Named {
    const char* name;
    qv::Span<HookEntry> (*table)();
  };
  static constexpr Named kTables[] = {{"all", familyAll}, {"12", family12}, {"13", family13},
                                      {"14", family14},   {"15", family15}, {"16", family16}};
  if (!family || !className || !selector || !classMethod) return false;
  for (const Named& named : kTables) {
    if (strcmp(named.name, family) != 0) continue;
    qv::Span<HookEntry> table = named.table();
    if (index >= table.size()) return false;
    *className = table[index].className;
    *selector = table[index].selector;
    *classMethod = table[index].classMethod;
    return true;
  }
  return false;
}
