// UIKit's colours, views, alerts and the shared application, made and read from C++.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/objc.h"
#include "uikit/colour_text.h"

namespace qv::host {

Class colorClass();
Class viewClass();

// Autoreleased colour.
id makeColor(double r, double g, double b, double a);
// Components of a colour (all zero for nil or a non-colour).
Rgba colorComponents(id color);

// Adds `child` to `parent`'s subviews.
void addSubview(id parent, id child);
// Sends layoutSubviews, as the host's layout pass does.
void layoutView(id view);

// The shared application (SpringBoard) and its key window.
id sharedApplication();
void setSharedApplication(id application);

// Taps the alert's button with that title: the alert is dismissed, then the button's
// handler runs on this (the main) thread. False when there is no such button.
bool tapAlertAction(id alertController, const std::string& title);
// The alert's buttons in order, with their styles.
std::vector<std::pair<std::string, long>> alertButtons(id alertController);

}  // namespace qv::host
