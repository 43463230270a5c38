#include "common/qt_texts.h"

#include <QCoreApplication>
#include <QTranslator>

namespace taktirio::gui {

bool InstallQtGreekTexts(QCoreApplication& app) {
    // One catalogue for the whole run, owned by the application.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/translations/qt_el.qm"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace taktirio::gui
