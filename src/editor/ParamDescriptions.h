#pragma once

#include <string>

namespace oskel {

class IEditorDelegate;

// The parameter description message that the page builds its controls from: a compact JSON
// document {"id":"params","params":[...]} with one object per parameter in index order
// (default, display_type, id, max, min, name, rate, type), every real rounded to six decimals.
// Sent as an arbitrary message with tag -1 after each page load. User-interface thread.
std::string BuildParamDescriptions(const IEditorDelegate& delegate);

}  // namespace oskel
