// An alert on screen over everything else: title, message and its buttons in order, the
// destructive ones in red.
#include <cmath>

#include "render/render_internal.h"

namespace qv::host::render {

namespace {

constexpr double kWidth = 270, kButtonHeight = 44, kRadius = 14;
const Rgba kBlue{0, 0.478, 1, 1};
const Rgba kRed{1, 0.231, 0.188, 1};
constexpr long kCancel = 1, kDestructive = 2;

}  // namespace

void drawAlert(cairo_t* cr, id alert, RenderedLayout* layout) {
  auto* a = fields<UIAlertControllerObj>(alert);
  Look look = hostLook();
  fillRounded(cr, {0, 0, kScreenWidth, kScreenHeight}, 0, {0, 0, 0, 0.4});

  TextStyle titleStyle{17, true, look.label, Align::Centre};
  TextStyle messageStyle{13, false, look.label, Align::Centre};
  std::vector<std::string> title = wrapText(cr, textOf(a->title), kWidth - 32, titleStyle, 3);
  std::vector<std::string> message = wrapText(cr, textOf(a->message), kWidth - 32, messageStyle, 6);
  std::vector<std::pair<std::string, long>> buttons = alertButtons(alert);
  bool sideBySide = buttons.size() == 2;
  double textHeight = 20 + 22 * static_cast<double>(title.size()) +
                      (message.empty() ? 0 : 4 + 18 * static_cast<double>(message.size())) + 16;
  double buttonsHeight =
      sideBySide ? kButtonHeight : kButtonHeight * static_cast<double>(buttons.size());
  Box box{(kScreenWidth - kWidth) / 2, 0, kWidth, textHeight + buttonsHeight};
  box.y = std::round((kScreenHeight - box.height) / 2);

  Rgba material = look.material;
  material.alpha = 0.97;
  fillRounded(cr, box, kRadius, material);
  double baseline = box.y + 20 + 17;
  for (const std::string& line : title) {
    drawText(cr, line, box.x + 16, baseline, kWidth - 32, titleStyle);
    baseline += 22;
  }
  if (!message.empty()) baseline += 2;
  for (const std::string& line : message) {
    drawText(cr, line, box.x + 16, baseline, kWidth - 32, messageStyle);
    baseline += 18;
  }

  double y = box.y + textHeight;
  for (size_t i = 0; i < buttons.size(); i++) {
    const auto& [text, style] = buttons[i];
    Box button =
        sideBySide ? Box{box.x + kWidth / 2 * static_cast<double>(i), y, kWidth / 2, kButtonHeight}
                   : Box{box.x, y + kButtonHeight * static_cast<double>(i), kWidth, kButtonHeight};
    hairline(cr, button.x, button.y, button.right(), look.hairline);
    if (sideBySide && i == 1) {
      cairo_rectangle(cr, button.x, button.y, 0.5, button.height);
      cairo_set_source_rgba(cr, look.hairline.red, look.hairline.green, look.hairline.blue,
                            look.hairline.alpha);
      cairo_fill(cr);
    }
    TextStyle s{17, style == kCancel, style == kDestructive ? kRed : kBlue, Align::Centre};
    drawText(cr, text, button.x + 8, button.y + 28, button.width - 16, s);
    if (layout) layout->alertButtons.emplace_back(text, button);
  }
}

}  // namespace qv::host::render
