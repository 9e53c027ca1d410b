#include "ComObject.h"

#include "WideText.h"

namespace oskel::platform::win {

std::string TakeString(LPWSTR text) {
  std::string utf8 = ToUtf8(text);
  if (text) CoTaskMemFree(text);
  return utf8;
}

}  // namespace oskel::platform::win
