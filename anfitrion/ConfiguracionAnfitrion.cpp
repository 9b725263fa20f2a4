#include "ConfiguracionAnfitrion.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStyle>

namespace orvo {

QIcon ConfiguracionAnfitrion::Icono() const {
    return QApplication::style()
               ? QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)
               : QIcon();
}

QString cContabilidad::ObtenerPasswordInformes(const QVariant&) {
    // La base de informes es un archivo SQLite sin cifrar: la contraseña no se usa al abrirla.
    return QStringLiteral("OrvoInformes");
}

void registrarObjetosAnfitrion(RegistroObjetos& registro) {
    registro.registrar(QStringLiteral("OrvoContabilidad.cContabilidad"),
                       [] { return std::make_unique<cContabilidad>(); });
}

QString carpetaPlantillasInstaladas() {
    // Junto al programa instalado, o en el árbol de fuentes cuando se ejecuta desde la compilación.
    const QString instaladas = QCoreApplication::applicationDirPath() +
                               QStringLiteral("/../share/orvo-informes/plantillas");
    if (QFileInfo::exists(instaladas)) return QDir::cleanPath(instaladas);
    return QStringLiteral(ORVO_PLANTILLAS_DIR);
}

QString carpetaAplicacionPredeterminada() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/OrvoContabilidad");
}

QString prepararCarpetaAplicacion(const QString& carpeta) {
    if (!QDir().mkpath(carpeta))
        return QStringLiteral("No se puede crear la carpeta de la aplicación: ") + carpeta;
    const QDir origen(carpetaPlantillasInstaladas());
    // Una plantilla de la carpeta es de quien la usa, tal como esté: se copian las que faltan.
    for (const QFileInfo& plantilla :
         origen.entryInfoList({QStringLiteral("*.rpt")}, QDir::Files)) {
        const QString destino = carpeta + u'/' + plantilla.fileName();
        if (QFileInfo::exists(destino)) continue;
        if (!QFile::copy(plantilla.filePath(), destino))
            return QStringLiteral("No se puede copiar la plantilla ") + plantilla.fileName();
    }
    return {};
}

}  // namespace orvo
