// orvo-informes: lanza los informes del componente desde la línea de órdenes.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTextStream>
#include <cstdio>

#include "Cierre.h"
#include "Comprobar.h"
#include "ConfiguracionAnfitrion.h"
#include "Ejecutor.h"
#include "Idioma.h"
#include "Importador.h"
#include "Legalizacion.h"
#include "LibrosEjemplo.h"

int main(int argc, char** argv) {
    // Nunca espera a una persona: todo se compone fuera de pantalla.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Sin sesión gráfica Qt avisaría en cada arranque; una carpeta privada basta.
        const QByteArray dir =
            QDir::tempPath().toUtf8() + "/orvo-runtime-" + QByteArray::number(getuid());
        QDir().mkpath(QString::fromUtf8(dir));
        QFile::setPermissions(QString::fromUtf8(dir), QFileDevice::ReadOwner |
                                                          QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
    // Los avisos de Qt sobre la plataforma sin pantalla ("This plugin does not support…") no
    // son para quien lanza la orden: el error estándar lleva solo los mensajes del programa.
    // QT_LOGGING_RULES los vuelve a mostrar si hace falta depurar.
    QLoggingCategory::setFilterRules(
        QStringLiteral("*.debug=false\n*.info=false\n*.warning=false"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvo-informes"));
    QApplication::setApplicationVersion(orvo::versionPrograma());
    orvo::ponerIdiomaEspanol(app);
    QTextStream salida(stdout);
    QTextStream err(stderr);
    if (app.arguments().value(1) == u"--version") {
        salida << orvo::nombreYVersion(QApplication::applicationName()) << "\n";
        return 0;
    }
    orvo::Ejecutor ejecutor;
    ejecutor.registrarSuborden(QStringLiteral("ejemplo"), orvo::LibrosEjemplo::orden);
    // Un archivo de varios ejercicios abre cada uno con el cierre del anterior.
    ejecutor.registrarSuborden(
        QStringLiteral("importar"), [](const QStringList& argumentos, QTextStream& errores) {
            return orvo::Importacion::orden(argumentos, errores, orvo::Cierre::abrirSiguiente);
        });
    ejecutor.registrarSuborden(QStringLiteral("comprobar"), orvo::Comprobacion::orden);
    ejecutor.registrarSuborden(QStringLiteral("cerrar"), orvo::Cierre::orden);
    ejecutor.registrarSuborden(QStringLiteral("legalizar"), [](const QStringList& argumentos,
                                                               QTextStream& errores) {
        return orvo::Legalizacion::orden(argumentos, errores, orvo::carpetaPlantillasInstaladas());
    });
    const int codigo = ejecutor.ejecutar(app.arguments().mid(1), salida, err);
    salida.flush();
    err.flush();
    return codigo;
}
