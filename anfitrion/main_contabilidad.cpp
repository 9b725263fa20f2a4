// orvo-contabilidad: el anfitrión de escritorio de los informes.
#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

#include "ConfiguracionAnfitrion.h"
#include "ErrorOrvo.h"
#include "Idioma.h"
#include "InterfazQt.h"
#include "MotorInformes.h"
#include "VentanaPrincipal.h"

namespace {

const char* const kUso =
    "Uso: orvo-contabilidad [CONTABILIDAD] [--ruta DIR] [--pesetas] [--empresa N]\n"
    "  CONTABILIDAD  base de contabilidad que se abre: un archivo o, en un servidor,\n"
    "                postgresql://usuario@servidor:puerto/base (por omisión, los libros de\n"
    "                ejemplo de la carpeta de la aplicación, que se crean si faltan)\n"
    "  --ruta DIR    carpeta de la aplicación: plantillas e Informes.mdb\n"
    "  --pesetas     trabajar en pesetas en lugar de euros\n"
    "  --empresa N   empresa elegida al abrir\n"
    "  --version     versión del programa\n";

}  // namespace

int main(int argc, char** argv) {
    // La versión se responde sin abrir la pantalla: sirve también sin sesión gráfica.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--version") == 0) {
            QTextStream(stdout) << orvo::nombreYVersion(QStringLiteral("orvo-contabilidad"))
                                << "\n";
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvo-contabilidad"));
    QApplication::setApplicationVersion(orvo::versionPrograma());
    QTextStream err(stderr);
    if (!orvo::ponerIdiomaEspanol(app))
        err << "No están instaladas las traducciones de Qt al español (qt6-translations-l10n): "
               "los cuadros de abrir y guardar saldrán en inglés.\n";

    orvo::ConfiguracionAnfitrion config;
    QString contabilidad;
    long empresa = 0;
    const QStringList a = app.arguments().mid(1);
    for (int i = 0; i < a.size(); ++i) {
        const bool conValor = i + 1 < a.size();
        if (a[i] == u"--ruta" && conValor) {
            config.appPath = a[++i];
        } else if (a[i] == u"--pesetas") {
            config.trabajarConPesetas = true;
        } else if (a[i] == u"--empresa" && conValor) {
            bool ok = false;
            empresa = a[++i].toLong(&ok);
            if (!ok) {
                err << "--empresa necesita un código de empresa\n" << kUso;
                return 2;
            }
        } else if (a[i] == u"--ayuda" || a[i] == u"-h" || a[i] == u"--help") {
            err << kUso;
            return 0;
        } else if (!a[i].startsWith(u'-') && contabilidad.isEmpty()) {
            contabilidad = a[i];
        } else {
            err << "Argumento no válido: " << a[i] << "\n" << kUso;
            return 2;
        }
    }
    if (config.appPath.isEmpty()) config.appPath = orvo::carpetaAplicacionPredeterminada();
    // La ayuda es el manual: copiado junto al programa al compilar, o en la documentación
    // instalada por el paquete.
    for (const QString& ayuda : {QStringLiteral("/manual/index.html"),
                                 QStringLiteral("/../share/doc/orvo-informes/manual/index.html")}) {
        const QString ruta = QCoreApplication::applicationDirPath() + ayuda;
        if (QFileInfo::exists(ruta)) {
            config.helpPath = QFileInfo(ruta).canonicalFilePath();
            break;
        }
    }

    orvo::InterfazQt interfaz;
    orvo::MotorInformes motor(orvo::MotorInformes::Opciones{}, &interfaz);
    try {
        orvo::VentanaPrincipal ventana(interfaz, motor, config);
        const QString predeterminada = config.appPath + QStringLiteral("/LibrosEjemplo.db");
        if (!contabilidad.isEmpty())
            ventana.abrirContabilidad(contabilidad);
        else if (QFileInfo::exists(predeterminada))
            ventana.abrirContabilidad(predeterminada);
        else
            ventana.crearEjemplo(predeterminada);
        if (empresa != 0 && !ventana.seleccionarEmpresa(empresa))
            err << "No hay ninguna empresa con el código " << empresa << "\n";
        ventana.show();
        return app.exec();
    } catch (const std::exception& e) {
        interfaz.Beep();
        interfaz.MsgBox(orvo::descripcionError(e), orvo::Icono::Exclamacion, config.AppTitle());
        err << orvo::descripcionError(e) << "\n";
        return 1;
    }
}
