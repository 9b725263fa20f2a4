#include "ArchivoEntero.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace orvo {

namespace {

QString textoErrno() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

qint64 ArchivoEntero::Temporal::writeData(const char* datos, qint64 largo) {
    const qint64 escritos = QFile::writeData(datos, largo);
    if (escritos != largo) anotarFallo();
    return escritos;
}

void ArchivoEntero::Temporal::anotarFallo() {
    if (fallo) return;
    fallo = true;
    motivo = errno ? textoErrno() : QStringLiteral("no se ha podido escribir todo");
}

ArchivoEntero::ArchivoEntero(const QString& destino) {
    // Un enlace simbólico se queda como está: se sustituye el archivo al que apunta.
    const QFileInfo info(destino);
    destino_ = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
}

ArchivoEntero::~ArchivoEntero() {
    if (rutaTemporal_.isEmpty() || confirmado_) return;
    temporal_.close();
    ::unlink(QFile::encodeName(rutaTemporal_).constData());
}

bool ArchivoEntero::abrir() {
    const QByteArray destino = QFile::encodeName(destino_);
    struct stat actual {};
    const bool existe = ::stat(destino.constData(), &actual) == 0;
    if (existe && !S_ISREG(actual.st_mode)) {
        error_ = QStringLiteral("no es un archivo normal");
        return false;
    }
    const mode_t modo = existe ? actual.st_mode & 07777 : 0666;
    const QFileInfo info(destino_);
    // Oculto y con el nombre del destino: si un apagón deja alguno, se sabe de dónde viene.
    for (int intento = 0; intento < 100; ++intento) {
        const QString ruta = info.dir().filePath(
            QStringLiteral(".%1.%2")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        const int fd = ::open(QFile::encodeName(ruta).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, modo);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            error_ = textoErrno();
            return false;
        }
        rutaTemporal_ = ruta;
        // open recorta el modo con la umask: el de un archivo que ya existía se copia entero.
        if (existe && ::fchmod(fd, modo) != 0) {
            error_ = textoErrno();
            ::close(fd);
            return false;
        }
        if (!temporal_.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            error_ = temporal_.errorString();
            ::close(fd);
            return false;
        }
        return true;
    }
    error_ = QStringLiteral("no se puede crear un archivo temporal en %1").arg(info.path());
    return false;
}

bool ArchivoEntero::confirmar() {
    if (!temporal_.isOpen()) {
        error_ = QStringLiteral("el archivo no está abierto");
        return false;
    }
    if (!temporal_.flush()) temporal_.anotarFallo();
    if (temporal_.fallo) {
        error_ = temporal_.motivo;
        return false;
    }
    // En el disco antes del cambio de nombre: tras un apagón queda el viejo o el nuevo entero.
    if (::fsync(temporal_.handle()) != 0) {
        error_ = textoErrno();
        return false;
    }
    temporal_.close();
    if (::rename(QFile::encodeName(rutaTemporal_).constData(),
                 QFile::encodeName(destino_).constData()) != 0) {
        error_ = textoErrno();
        return false;
    }
    confirmado_ = true;
    return true;
}

}  // namespace orvo
