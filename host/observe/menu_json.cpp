// The open menu as the dump shows it, read from the views its family builds.
#include <variant>

#include "observe/menu_json_internal.h"
#include "observe/object_json.h"
#include "observe/state_dump.h"
#include "springboard/context_menu_views.h"
#include "springboard/home_items.h"
#include "springboard/platter_objects.h"

namespace qv::host {
namespace {

// The items of a context menu, each with the icon and tint of its image view.
Json contextItemsJson(const std::vector<id>& items, const ContextMenuFrame& frame) {
  Json out = Json::array();
  for (size_t i = 0; i < items.size(); i++) {
    Json entry = itemJson(items[i]);
    id imageView = frame.itemImageViews.at(i);
    entry["icon"] = imageJson(msgSend<id>(imageView, SELECTOR("image")));
    entry["tint"] = colorJson(fields<UIViewObj>(imageView)->tintColor);
    out.push_back(entry);
  }
  return out;
}

// The frame's own views after the family's: the shadow and the preview.
void addFrameViews(Json& views, const ContextMenuFrame& frame) {
  views["shadow"] = viewJson(frame.shadow);
  views["preview"] = viewJson(msgSend<id>(frame.previewController, SELECTOR("view")));
}

Json contextMenuJson(const MenuPresenter& menu, Family family, const ContextMenuFrame& frame,
                     Json views) {
  Json j = Json::object();
  j["family"] = familyName(family);
  j["bundleID"] = menu.bundleID();
  j["items"] = contextItemsJson(menu.items(), frame);
  Json passed = Json::array();
  for (id item : arrayItems(fields<SBIconViewObj>(frame.iconView)->homeScreenItems)) {
    passed.push_back(itemType(item));
  }
  j["hostItemsPassedOn"] = passed;
  j["views"] = std::move(views);
  return j;
}

Json listMenuJson(const MenuPresenter& menu, Family family, const ListMenuViews& v) {
  Json views = Json::object();
  views["background"] = viewJson(v.background);
  addFrameViews(views, v);
  views["list"] = viewJson(v.list);
  return contextMenuJson(menu, family, v, std::move(views));
}

Json groupMenuJson(const MenuPresenter& menu, Family family, const GroupMenuViews& v) {
  Json views = Json::object();
  views["group"] = actionGroupJson(v.actions);
  addFrameViews(views, v);
  return contextMenuJson(menu, family, v, std::move(views));
}

Json backdropJson(id settings) {
  if (!settings) return Json();
  BackdropSettingsObj* b = backdrop(settings);
  Json j = Json::object();
  j["usesColorTintView"] = b->usesColorTintView;
  j["usesColorBurnTintView"] = b->usesColorBurnTintView;
  j["colorBurnTintLevel"] = number(b->colorBurnTintLevel);
  j["colorBurnTintAlpha"] = number(b->colorBurnTintAlpha);
  j["colorTint"] = colorJson(b->colorTint);
  j["colorTintAlpha"] = number(b->colorTintAlpha);
  j["appliesTintAndBlurSettings"] = b->appliesTintAndBlurSettings;
  Json calls = Json::array();
  for (const std::string& c : b->calls) calls.push_back(c);
  j["calls"] = calls;
  return j;
}

Json platterJson(const MenuPresenter& menu, const PlatterViews& v) {
  auto* controller = fields<ForceTouchControllerObj>(v.controller);
  Json j = Json::object();
  j["family"] = familyName(Family::V12);
  j["bundleID"] = menu.bundleID();
  Json items = Json::array();
  std::vector<id> shown = menu.items();
  for (size_t i = 0; i < shown.size(); i++) {
    Json entry = itemJson(shown[i]);
    entry["icon"] = imageJson(v.rows.at(i).image);
    entry["tint"] = Json();
    entry["row"] = viewJson(v.rows[i].view);
    items.push_back(entry);
  }
  j["items"] = items;
  Json views = Json::object();
  views["platter"] = viewJson(msgSend<id>(v.platterController, SELECTOR("view")));
  views["widget"] = v.widget ? "shown" : "none";
  views["hostWidgetRequests"] = controller->widgetRequests;
  Json keylines = Json::array();
  for (id k : v.keylines) keylines.push_back(viewJson(k));
  views["keylines"] = keylines;
  Json effect = viewJson(v.effect);
  effect["effectStrength"] = number(fields<EffectViewObj>(v.effect)->effectStrength);
  effect["backdrop"] = backdropJson(fields<EffectViewObj>(v.effect)->backdropSettings);
  views["effect"] = effect;
  j["views"] = views;
  j["dismissals"] = controller->dismissals;
  return j;
}

}  // namespace

Json actionGroupJson(const ActionGroupViews& group) {
  Json g = viewJson(group.group);
  g["backgroundView"] = viewJson(fields<GroupViewObj>(group.group)->backgroundView);
  Json rows = Json::array();
  for (id row : group.rows) {
    Json r = viewJson(row);
    r["title"] =
        stdString(fields<InterfaceActionObj>(fields<RepresentationViewObj>(row)->action)->title);
    rows.push_back(r);
  }
  g["rows"] = rows;
  Json separators = Json::array();
  for (id s : group.separators) {
    Json j = viewJson(s);
    j["kind"] = isKind(s, objc_getClass("_UIInterfaceActionBlankSeparatorView")) ? "thick" : "thin";
    separators.push_back(j);
  }
  g["separators"] = separators;
  return g;
}

Json menuJson(const HomeScreen& home) {
  const MenuPresenter* menu = home.menu();
  if (!menu) return Json();
  MenuViews views = menu->views();
  if (auto* v = std::get_if<ListMenuViews>(&views)) return listMenuJson(*menu, home.family(), *v);
  if (auto* v = std::get_if<GroupMenuViews>(&views)) return groupMenuJson(*menu, home.family(), *v);
  if (auto* v = std::get_if<PlatterViews>(&views)) return platterJson(*menu, *v);
  return Json();  // closed
}

}  // namespace qv::host
