#include "IKyrMeters.h"

namespace kyr {

DEF_CLASS_IID(IKyrMeters)

}  // namespace kyr
