#include "Idioma.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>

namespace orvo {

bool ponerIdiomaEspanol(QCoreApplication& app) {
    const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(espanol);
    // qt_es reúne qtbase_es y los demás módulos que el programa usa.
    auto* traductor = new QTranslator(&app);
    if (!traductor->load(espanol, QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traductor;
        return false;
    }
    return QCoreApplication::installTranslator(traductor);
}

QString versionPrograma() {
    return QStringLiteral(ORVO_VERSION);
}

QString nombreYVersion(const QString& programa) {
    return programa + u' ' + versionPrograma();
}

}  // namespace orvo
