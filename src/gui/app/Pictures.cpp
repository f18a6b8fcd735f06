#include "gui/app/Pictures.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitialisePictureResources() {
    Q_INIT_RESOURCE(resources);
}

namespace quellstone::gui {

void LoadPictures() {
    InitialisePictureResources();
}

}  // namespace quellstone::gui
