#include "app/resource_icon.h"

static void InitKelvanorResources() { Q_INIT_RESOURCE(kelvanor); }

namespace kelvanor {

QIcon ResourceIcon(const char* name) {
  InitKelvanorResources();
  return QIcon(QString(":/kelvanor/%1.xpm").arg(name));
}

}  // namespace kelvanor
