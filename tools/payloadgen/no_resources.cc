// payloadgen carries no resources of its own: the string table of its
// platform::Env::Default() is empty, so the device-series writer names the
// language slots with the library's standard names, and the generator does
// not depend on the payload it makes.
#include "platform/embedded_table.h"

namespace platform {

const EmbeddedTable& embeddedPayload() {
  static const EmbeddedTable kNone{};
  return kNone;
}

}  // namespace platform
