#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <memory>

#include "Conexion.h"
#include "DoblesPrueba.h"
#include "MotorInformes.h"

namespace orvo::prueba {

// Inserta una fila con los valores enlazados en las columnas dadas.
inline void insertar(Conexion& con, const QString& tabla, const QStringList& columnas,
                     const QVariantList& valores) {
    QStringList marcas, nombres;
    for (const QString& c : columnas) {
        nombres << identificador(c);
        marcas << QStringLiteral("?");
    }
    con.Execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(identificador(tabla), nombres.join(u','), marcas.join(u',')),
                valores);
}

// Texto de un PDF por páginas (pdftotext separa las páginas con un salto de página).
inline QStringList textoPdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    QStringList paginas = QString::fromUtf8(p.readAllStandardOutput()).split(QChar(0x0c));
    if (!paginas.isEmpty() && paginas.last().trimmed().isEmpty()) paginas.removeLast();
    return paginas;
}

inline bool hayPdftotext() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

inline QString plantilla(const QString& nombre) {
    return QStringLiteral(ORVO_PLANTILLAS_DIR) + u'/' + nombre;
}

}  // namespace orvo::prueba
