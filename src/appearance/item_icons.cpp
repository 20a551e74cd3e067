#include "appearance/item_icons.h"

#include "platform/substrate.h"
#include "platform/uikit.h"

namespace quorvel {

namespace {

struct IconRow {
  const char* title;
  const char* file;
  // For the toggles: the subtitle of the locked or off state and its file.
  const char* offSubtitle;
  const char* offFile;
};

const IconRow kContextMenuIcons[] = {
    {"Bundle Identifier", "copy.png", nullptr, nullptr},
    {"Clear Caches", "clearcache13.png", nullptr, nullptr},
    {"Clear Badge", "badge13.png", nullptr, nullptr},
    {"Offload App", "cloud.png", nullptr, nullptr},
    {"App Lock", "unlock13.png", "App is locked", "lock13.png"},
    {"Notifications", "notification13.png", "Notifications Off", "notificationoff13.png"},
    {"Banners", "banner13.png", "Banners Off", "banneroff13.png"},
};

const IconRow kPlatterIcons[] = {
    {"Bundle Identifier", "copy.png", nullptr, nullptr},
    {"Uninstall App", "trash.png", nullptr, nullptr},
    {"Clear Caches", "clearcache.png", nullptr, nullptr},
    {"Clear Badge", "badge.png", nullptr, nullptr},
    {"App Lock", "unlock.png", "App is locked", "lock.png"},
    {"Notifications", "notification.png", "Notifications Disabled", "notificationoff.png"},
    {"Banners", "banner.png", "Banners Disabled", "banneroff.png"},
};

// The file for a title and subtitle, or null when the title has no row. Every row is tested;
// titles are distinct, so at most one matches.
template <size_t N>
const char* iconFile(const IconRow (&rows)[N], const NS::String& title,
                     const NS::String& subtitle) {
  const char* file = nullptr;
  for (const IconRow& row : rows) {
    if (!title.isEqualToString(NS::String::from(row.title))) continue;
    bool off = row.offSubtitle && subtitle.isEqualToString(NS::String::from(row.offSubtitle));
    file = off ? row.offFile : row.file;
  }
  return file;
}

UI::Image loadIcon(const char* file) {
  NS::String folder = NSSTR("/var/LIY/Application Support/Quorvel.bundle/");
  return UI::Image::imageWithContentsOfFile(folder.stringByAppendingString(NS::String::from(file)));
}

// Black in the light style, white otherwise (also without a style arbiter).
UI::Color styleTint() {
  Class arbiterClass = NSClassFromString(NSSTR("UIUserInterfaceStyleArbiter"));
  id arbiter = msgSend<id>(arbiterClass, SELECTOR("sharedInstance"));
  NSInteger style = msgSend<NSInteger>(arbiter, SELECTOR("currentStyle"));
  return style == 1 ? UI::Color::blackColor() : UI::Color::whiteColor();
}

// The context-menu icon for a title, as a template image; false when the title has no row.
bool contextMenuIcon(const NS::String& title, const NS::String& subtitle, UI::Image* icon) {
  const char* file = iconFile(kContextMenuIcons, title, subtitle);
  if (!file) return false;
  *icon = loadIcon(file).imageWithRenderingMode(UI::ImageRenderingModeAlwaysTemplate);
  return true;
}

NS::String labelText(id view, SEL label) {
  return NS::String(msgSend<id>(msgSend<id>(view, label), SELECTOR("text")));
}

}  // namespace

namespace {

// The item's icon in place of `image` when its labels name one of the library's items.
id trailingImage(id view, id image) {
  NS::String title = labelText(view, SELECTOR("titleLabel"));
  NS::String subtitle = labelText(view, SELECTOR("subtitleLabel"));
  UI::Image icon;
  if (!contextMenuIcon(title, subtitle, &icon)) return image;
  UI::View(msgSend<id>(view, SELECTOR("trailingImageView"))).setTintColor(styleTint());
  return icon;
}

}  // namespace

void hook14SetTrailingImage(id self, SEL cmd, id image) {
  qv::Hook<hook14SetTrailingImage>::previous(self, cmd, trailingImage(self, image));
}

void hook15SetTrailingImage(id self, SEL cmd, id image) {
  qv::Hook<hook15SetTrailingImage>::previous(self, cmd, trailingImage(self, image));
}

// The tint goes on the image view once the initializer has built it.
id hook13ActionViewInit(id self, SEL cmd, id title, id subtitle, id image) {
  UI::Image icon;
  bool matched = contextMenuIcon(NS::String(title), NS::String(subtitle), &icon);
  if (matched) image = icon;
  id view = qv::Hook<hook13ActionViewInit>::previous(self, cmd, title, subtitle, image);
  if (matched) UI::View(msgSend<id>(view, SELECTOR("imageView"))).setTintColor(styleTint());
  return view;
}

id hook12ActionInit(id self, SEL cmd, id title, id subtitle, id image, id badgeView, id handler) {
  if (const char* file = iconFile(kPlatterIcons, NS::String(title), NS::String(subtitle))) {
    image = loadIcon(file);
  }
  return qv::Hook<hook12ActionInit>::previous(self, cmd, title, subtitle, image, badgeView,
                                              handler);
}

}  // namespace quorvel
