// Device-wide state the host scripts: OS version, interface style, pasteboard.
#pragma once

#include <string>

namespace qv::host {

// The string UIDevice reports as systemVersion (any text, also "abc").
void setSystemVersion(const std::string& version);
const std::string& systemVersion();

// The style arbiter's current style: 1 light, 2 dark.
void setInterfaceStyle(long style);
long interfaceStyle();

// Defines UIUserInterfaceStyleArbiter, which reports the style (hosts that lack it skip this).
void registerStyleArbiter();

// The general pasteboard's string ("" and false when it holds none).
std::string pasteboardText();
bool pasteboardHasText();

}  // namespace qv::host
