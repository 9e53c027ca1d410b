#pragma once

#include <string>

namespace oskel {

class IWebView;

// Locating the editor page next to the plug-in module. For a module at <dir>/<file> the
// candidates are, in order: <dir>/../Resources/web/index.html (the bundle's Contents/Resources
// folder when the module sits in Contents/<arch>), <dir>/Resources/web/index.html and
// <dir>/web/index.html. A file that is missing or empty is skipped.

// The contents of the first usable candidate for `modulePath`; empty when there is none.
std::string ReadEditorPage(const std::string& modulePath);

// The plug-in's editor initialiser: shows the page found beside this module as text, or, when
// there is none, asks the web view for "index.html" through its virtual host (which then finds
// nothing). User-interface thread, when the web view has become ready.
void FindEditorPage(IWebView& webView);

}  // namespace oskel
