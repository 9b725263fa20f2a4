#include "Bitacora.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QMutex>

#include "ErrorOrvo.h"

namespace orvo {

namespace {

// Un proceso anota pocas veces: lo anotado se guarda entero para el volcado.
struct Estado {
    QMutex cerrojo;
    QString carpetaAplicacion;
    QJsonArray anotaciones;
};

Estado& estado() {
    static Estado e;
    return e;
}

QString carpetaDeEstado() {
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/state") : xdg;
    return base + QStringLiteral("/OrvoContabilidad");
}

// Sangra las líneas siguientes a la primera, para que cada anotación se lea como un bloque.
QString sangrado(const QString& texto) {
    QString t = texto.trimmed();
    t.replace(u'\n', QStringLiteral("\n    "));
    return t;
}

}  // namespace

QString Bitacora::ruta() {
    const QString fijada = qEnvironmentVariable("ORVO_BITACORA");
    if (!fijada.isEmpty()) return fijada;
    const QString estadoXdg = carpetaDeEstado();
    if (QDir().mkpath(estadoXdg)) return estadoXdg + QStringLiteral("/orvo.log");
    QMutexLocker l(&estado().cerrojo);
    const QString app = estado().carpetaAplicacion;
    return app.isEmpty() ? QString() : app + QStringLiteral("/orvo.log");
}

void Bitacora::usarCarpetaAplicacion(const QString& carpeta) {
    QMutexLocker l(&estado().cerrojo);
    estado().carpetaAplicacion = carpeta;
}

void Bitacora::anotar(const QString& mensaje, const QString& motor, const QString& sql) {
    const QString hora = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    const QString programa =
        QCoreApplication::instance() ? QCoreApplication::applicationName() : QStringLiteral("orvo");
    const QString archivo = ruta();
    QMutexLocker l(&estado().cerrojo);
    estado().anotaciones.append(
        QJsonObject{{"hora", hora}, {"mensaje", mensaje}, {"motor", motor}, {"instruccion", sql}});
    QFile f(archivo);
    if (archivo.isEmpty() || !f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    QString linea = QStringLiteral("%1 %2[%3] %4\n")
                        .arg(hora, programa)
                        .arg(QCoreApplication::applicationPid())
                        .arg(mensaje);
    if (!motor.isEmpty()) linea += QStringLiteral("  motor: %1\n").arg(sangrado(motor));
    if (!sql.isEmpty()) linea += QStringLiteral("  instrucción: %1\n").arg(sangrado(sql));
    f.write(linea.toUtf8());
}

QJsonArray Bitacora::anotaciones() {
    QMutexLocker l(&estado().cerrojo);
    return estado().anotaciones;
}

// Cada fallo de la base de datos se anota al nacer, con todo lo que la persona no ve.
ErrorBD::ErrorBD(int numero, const QString& mensaje, const QString& sql,
                 const QString& mensajeMotor)
    : ErrorOrvo(numero, mensaje), sql_(sql), mensajeMotor_(mensajeMotor) {
    Bitacora::anotar(mensaje, mensajeMotor, sql);
}

}  // namespace orvo
