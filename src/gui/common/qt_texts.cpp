#include "gui/common/qt_texts.h"

#include <QCoreApplication>
#include <QTranslator>

// The catalogue is compiled into the library: a resource of a static library
// is registered by its name, outside any namespace.
static void RegisterQtGreekTexts() {
    Q_INIT_RESOURCE(qt_greek);
}

namespace taktirio::gui {

bool InstallQtGreekTexts(QCoreApplication& app) {
    RegisterQtGreekTexts();
    // One catalogue for the whole run, owned by the application.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/translations/qt_el.qm"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace taktirio::gui
