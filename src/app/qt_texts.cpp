#include "app/qt_texts.h"

#include <QCoreApplication>
#include <QTranslator>

namespace tavrelo {

bool installGreekQtTexts()
{
    static QTranslator* translator = nullptr;
    if (translator)
        return true;
    auto* loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QStringLiteral(":/translations/qt_el.qm")) || !QCoreApplication::installTranslator(loaded)) {
        delete loaded;
        return false;
    }
    translator = loaded;
    return true;
}

}  // namespace tavrelo
