#include "observe/object_json.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>
#include <vector>

#include "foundation/foundation.h"
#include "foundation/value_objects.h"
#include "springboard/springboard_objects.h"
#include "uikit/image_info.h"
#include "uikit/uikit.h"

namespace qv::host {

namespace fs = std::filesystem;

double rounded(double v) { return std::round(v * 10000) / 10000; }

Json objectJson(id obj) {
  if (!obj) return Json();
  if (isString(obj)) return Json(stdString(obj));
  if (isNumber(obj)) {
    auto* n = fields<NSNumberObj>(obj);
    if (n->kind == NSNumberObj::Kind::Bool) return Json(n->integer != 0);
    if (n->kind == NSNumberObj::Kind::Integer) return number(static_cast<double>(n->integer));
    return number(n->real);
  }
  if (isArray(obj)) {
    Json a = Json::array();
    for (id item : arrayItems(obj)) a.push_back(objectJson(item));
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
    for (auto& [k, v] : entries) o[k] = v;
    return o;
  }
  if (isData(obj))
    return Json("<" + std::to_string(fields<NSDataObj>(obj)->bytes.size()) + " bytes>");
  if (isKind(obj, colorClass())) return colorJson(obj);
  return Json(class_getName(object_getClass(obj)));
}

Json colorJson(id color) {
  if (!color) return Json();
  Rgba c = colorComponents(color);
  Json j = Json::object();
  j["red"] = number(rounded(c.red));
  j["green"] = number(rounded(c.green));
  j["blue"] = number(rounded(c.blue));
  j["alpha"] = number(rounded(c.alpha));
  return j;
}

Json viewJson(id view) {
  if (!view) return Json();
  auto* v = fields<UIViewObj>(view);
  Json j = Json::object();
  j["class"] = class_getName(object_getClass(view));
  j["backgroundColor"] = colorJson(v->backgroundColor);
  j["alpha"] = number(rounded(v->alpha));
  j["hidden"] = v->hidden;
  j["backgroundSets"] = v->backgroundSets;
  if (CALayerObj* layer = layerOf(view)) j["cornerRadius"] = number(layer->cornerRadius);
  return j;
}

Json itemJson(id item) {
  auto* f = fields<ShortcutItemObj>(item);
  Json j = Json::object();
  j["title"] = objectJson(f->localizedTitle);
  j["subtitle"] = objectJson(f->localizedSubtitle);
  j["type"] = objectJson(f->type);
  j["bundleIdentifierToLaunch"] = objectJson(f->bundleIdentifierToLaunch);
  j["targetContentIdentifier"] = objectJson(f->targetContentIdentifier);
  return j;
}

Json imageJson(id image) {
  if (!image) return Json();
  Json j = Json::object();
  std::string path = imageSourcePath(image);
  j["file"] = path.empty() ? Json() : Json(fs::path(path).filename().string());
  j["renderingMode"] = imageRenderingMode(image);
  return j;
}

}  // namespace qv::host
