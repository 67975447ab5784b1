#include "runtime/message.h"

namespace picklist::runtime {

Message message;

}  // namespace picklist::runtime
