// The picture: what fills the screen, the menu over the home screen, then an alert and a
// pending authentication prompt on top; written as a PNG.
#include "render/renderer.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "render/render_internal.h"
#include "uikit/auth_service.h"

namespace qv::host {

namespace {

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// False when the family's views are missing: the home screen is drawn alone.
bool drawMenu(cairo_t* cr, const HomeScreen& home, const render::Layer& homeLayer,
              RenderedLayout* layout) {
  MenuViews views = home.menu()->views();
  if (const auto* list = std::get_if<ListMenuViews>(&views); list && list->list) {
    render::drawMenu14(cr, home, *list, homeLayer, layout);
    return true;
  }
  if (const auto* group = std::get_if<GroupMenuViews>(&views); group && group->actions.group) {
    render::drawMenu13(cr, home, *group, homeLayer, layout);
    return true;
  }
  if (const auto* platter = std::get_if<PlatterViews>(&views);
      platter && platter->platterController) {
    render::drawPlatter12(cr, home, *platter, homeLayer, layout);
    return true;
  }
  return false;
}

// Text leaves cairo's fonts and fontconfig's configuration cached for the life of the process;
// both are released at exit (fontconfig through the copy cairo loaded), so leak checkers see a
// clean end.
void releaseFontCachesAtExit() {
  static const bool registered = [] {
    std::atexit([] {
      cairo_debug_reset_static_data();
      if (auto fini = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "FcFini"))) fini();
    });
    return true;
  }();
  (void)registered;
}

}  // namespace

bool renderScreen(const HomeScreen& home, const std::string& path, std::string* error,
                  RenderedLayout* layout) {
  auto fail = [&](const std::string& message) {
    if (error) *error = message;
    return false;
  };
  if (!home.booted()) return fail("the home screen has not booted");
  releaseFontCachesAtExit();
  AutoreleasePool pool;
  RenderedLayout found;
  render::Layer canvas(kScreenWidth, kScreenHeight);
  cairo_t* cr = canvas.cr();

  render::Layer homeLayer(kScreenWidth, kScreenHeight);
  render::drawHomeScreen(homeLayer.cr(), home, &found);
  switch (home.screen()) {
    case Screen::Switcher:
      render::drawSwitcher(cr, home, homeLayer, &found);
      break;
    case Screen::App:
      if (!home.frontmostApp().empty()) {
        render::drawAppPage(cr, home, &found);
        break;
      }
      [[fallthrough]];
    case Screen::Home:
      if (!render::menuIsOpen(home) || !drawMenu(cr, home, homeLayer, &found)) {
        render::paintLayer(cr, homeLayer, 0, 0);
      }
      break;
  }
  if (home.screen() != Screen::Home) found.icons.clear();  // under the app or the switcher
  if (id alert = home.alertOnScreen()) render::drawAlert(cr, alert, &found);
  std::vector<PendingAuth> prompts = pendingAuthentications();
  if (!prompts.empty()) render::drawAuthPrompt(cr, prompts.front().reason);

  cairo_surface_flush(canvas.surface());
  std::string png;
  cairo_status_t status = cairo_surface_write_to_png_stream(canvas.surface(), appendBytes, &png);
  if (status != CAIRO_STATUS_SUCCESS)
    return fail(std::string("cannot encode the picture: ") + cairo_status_to_string(status));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return fail("cannot write " + path + ": " + std::strerror(errno));
  out.write(png.data(), static_cast<std::streamsize>(png.size()));
  out.close();
  if (!out) return fail("cannot write " + path + ": " + std::strerror(errno));
  if (layout) *layout = std::move(found);
  return true;
}

}  // namespace qv::host
