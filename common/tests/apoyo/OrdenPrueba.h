#pragma once

// La orden orvo-informes lanzada como la lanza el anfitrión, con el volcado que deja leído. Solo
// para las pruebas que la esperan (CON_EJECUTOR da su ruta en ORVO_INFORMES_EXE).
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QtTest>

namespace orvo::prueba {

struct Ejecucion {
    int codigo = -1;  // -1: no terminó a tiempo
    QString error;    // lo que escribió en la salida de errores
    QJsonObject volcado;

    // Filas volcadas como "col1|col2|…", de las columnas "col1,col2,…".
    QStringList filas(const QString& columnas) const {
        QStringList r;
        for (const QJsonValue& f : volcado.value(QStringLiteral("filas")).toArray()) {
            QStringList valores;
            for (const QString& c : columnas.split(u','))
                valores << f.toObject().value(c.trimmed()).toString();
            r << valores.join(u'|');
        }
        return r;
    }
    QJsonObject informe() const { return volcado.value(QStringLiteral("informe")).toObject(); }
    QString formula(int i) const {
        return informe()
            .value(QStringLiteral("formulas"))
            .toObject()
            .value(QString::number(i))
            .toString();
    }
    QString plantilla() const {
        return informe().value(QStringLiteral("ReportFileName")).toString();
    }
    QStringList mensajes() const {
        QStringList r;
        for (const QJsonValue& m : volcado.value(QStringLiteral("mensajes")).toArray())
            r << m.toObject().value(QStringLiteral("texto")).toString();
        return r;
    }
};

// Lanza la orden con 'argumentos' y, con 'volcado', le pide el volcado en ese archivo y lo lee.
inline Ejecucion ejecutarOrden(QStringList argumentos, const QString& volcado = {},
                               int espera = 120000) {
    if (!volcado.isEmpty()) {
        QFile::remove(volcado);
        argumentos << QStringLiteral("--volcado") << volcado;
    }
    QProcess p;
    p.start(QStringLiteral(ORVO_INFORMES_EXE), argumentos);
    Ejecucion e;
    if (!p.waitForFinished(espera)) {
        p.kill();
        p.waitForFinished();
        e.error = QStringLiteral("no terminó a tiempo");
        return e;
    }
    e.codigo = p.exitCode();
    e.error = QString::fromUtf8(p.readAllStandardError());
    QFile f(volcado);
    if (!volcado.isEmpty() && f.open(QIODevice::ReadOnly))
        e.volcado = QJsonDocument::fromJson(f.readAll()).object();
    return e;
}

// Un fallo como llega a la persona: salida 1 y una sola línea, que dice 'texto' y no lleva SQL.
inline void fallaEnUnaLinea(int codigo, const QString& error, const QString& texto) {
    static const QRegularExpression sql(
        QStringLiteral("\\b(SELECT|INSERT|UPDATE|FROM|WHERE|LOCK|DECLARE|FETCH)\\b"));
    QCOMPARE(codigo, 1);
    QCOMPARE(error.split(u'\n', Qt::SkipEmptyParts).size(), 1);
    QVERIFY2(error.contains(texto), qPrintable(error));
    QVERIFY2(!sql.match(error).hasMatch(), qPrintable(error));
}

}  // namespace orvo::prueba
