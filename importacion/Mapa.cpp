#include "Mapa.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Escritores.h"

namespace orvo::Importacion {

Mapa leerMapa(const QString& ruta, Problemas& problemas) {
    const Codificacion codificacion = sondear(ruta).codificacion;
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorEntrada(ruta, 0, QStringLiteral("no se puede leer el mapa de cuentas"));
    Mapa mapa;
    QHash<QString, int> lineaDe;
    qsizetype cCuenta = -1, cSubcuenta = -1, cDescripcion = -1;
    for (int linea = 1; !f.atEnd(); ++linea) {
        QByteArray bruta = f.readLine().trimmed();
        if (linea == 1 && bruta.startsWith("\xEF\xBB\xBF")) bruta.remove(0, 3);
        const auto texto = decodificar(bruta, codificacion);
        if (!texto) {
            problemas.anadir(ruta, linea, QStringLiteral("byte que no es un carácter"));
            continue;
        }
        const QStringList campos = camposDeLinea(*texto);
        if (linea == 1) {
            for (qsizetype i = 0; i < campos.size(); ++i) {
                const QString n = campos[i].toLower();
                if (n == u"cuenta") cCuenta = i;
                else if (n == u"subcuenta") cSubcuenta = i;
                else if (n == u"descripción" || n == u"descripcion") cDescripcion = i;
            }
            if (cCuenta < 0 || cSubcuenta < 0)
                throw ErrorEntrada(ruta, 1, QStringLiteral("el mapa necesita la cabecera "
                                                           "Cuenta;Subcuenta[;Descripción]"));
            continue;
        }
        if (texto->trimmed().isEmpty()) continue;
        if (campos.size() <= std::max(cCuenta, cSubcuenta)) {
            problemas.anadir(ruta, linea, QStringLiteral("faltan columnas"));
            continue;
        }
        const QString cuenta = campos[cCuenta], subcuenta = campos[cSubcuenta];
        if (subcuenta.isEmpty()) continue;
        bool cifras = true;
        for (QChar c : subcuenta) cifras = cifras && (c.isDigit() || c == u'.');
        if (!cifras || cuenta.isEmpty()) {
            problemas.anadir(ruta, linea,
                             QStringLiteral("la subcuenta de %1 no es un código: %2")
                                 .arg(cuenta, subcuenta));
            continue;
        }
        if (lineaDe.contains(cuenta)) {
            problemas.anadir(ruta, linea, QStringLiteral("la cuenta %1 ya está en la línea %2")
                                              .arg(cuenta)
                                              .arg(lineaDe.value(cuenta)));
            continue;
        }
        lineaDe.insert(cuenta, linea);
        mapa.insert(cuenta, {subcuenta, cDescripcion >= 0 && cDescripcion < campos.size()
                                            ? campos[cDescripcion]
                                            : QString()});
    }
    return mapa;
}

QString rutaMapaPendiente(const QString& entrada) {
    const QFileInfo i(entrada);
    return i.dir().filePath(i.completeBaseName() + QStringLiteral(".mapa.csv"));
}

bool escribirMapaPendiente(const QString& ruta, const QString& mapaEnUso,
                           const QList<std::pair<QString, QString>>& cuentas) {
    QList<QStringList> filas;
    if (QFileInfo::exists(ruta)) {
        if (mapaEnUso.isEmpty() ||
            QFileInfo(ruta).canonicalFilePath() != QFileInfo(mapaEnUso).canonicalFilePath())
            return false;
        // Las filas del mapa en uso siguen como estaban; todo el archivo queda en UTF-8.
        const Codificacion codificacion = sondear(ruta).codificacion;
        QFile previo(ruta);
        if (!previo.open(QIODevice::ReadOnly))
            throw FalloEscritura(ruta, previo.errorString());
        for (bool primera = true; !previo.atEnd(); primera = false) {
            QByteArray bruta = previo.readLine().trimmed();
            if (primera && bruta.startsWith("\xEF\xBB\xBF")) bruta.remove(0, 3);
            if (!bruta.isEmpty()) filas << camposDeLinea(decodificar(bruta, codificacion).value_or(QString()));
        }
    }
    if (filas.isEmpty())
        filas << QStringList{QStringLiteral("Cuenta"), QStringLiteral("Subcuenta"),
                             QStringLiteral("Descripción")};
    for (const auto& [cuenta, nombre] : cuentas) filas << QStringList{cuenta, QString(), nombre};
    // Con la marca de orden: las hojas de cálculo lo abren así en UTF-8.
    ArchivoCsv csv(ruta, true);
    for (const QStringList& fila : std::as_const(filas)) csv.fila(fila);
    csv.confirmar();
    return true;
}

}  // namespace orvo::Importacion
