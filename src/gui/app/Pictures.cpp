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

QIcon ResultStatePicture(windows::ResultState state) {
    switch (state) {
        case windows::ResultState::Removed: return QIcon(QStringLiteral(":/pictures/removed.svg"));
        case windows::ResultState::NotRemoved: return QIcon(QStringLiteral(":/pictures/notremoved.svg"));
        case windows::ResultState::Detected: break;
    }
    return QIcon(QStringLiteral(":/pictures/detected.svg"));
}

}  // namespace quellstone::gui
