#include "app/Resources.h"

#include <QtCore/qresource.h>

// Resources of a static library must be registered by name, outside any namespace.
static void InitSarvantaResources() { Q_INIT_RESOURCE(sarvanta); }

namespace sarvanta {

void InitResources() {
  static const bool done = (InitSarvantaResources(), true);
  (void)done;
}

}  // namespace sarvanta
