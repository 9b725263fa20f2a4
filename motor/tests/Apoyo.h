#pragma once

#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
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

// Una hoja XLSX leída con unzip y el lector XML de Qt, no con la biblioteca que la escribe.
struct HojaXlsx {
    struct Celda {
        bool numero = false;
        QString valor;    // el número tal como va en el archivo, o el texto
        QString formato;  // código de formato del número
    };
    QHash<QString, Celda> celdas;  // por referencia: "A1"
    bool cabeceraFija = false;
    QList<double> anchos;  // de cada columna, en caracteres
};

inline QByteArray entradaZip(const QString& zip, const QString& entrada) {
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, entrada});
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

inline HojaXlsx leerXlsx(const QString& archivo) {
    QHash<QString, QString> codigos{{"0", ""}, {"3", "#,##0"}, {"4", "#,##0.00"}};
    QStringList formatos;  // numFmtId de cada estilo de celda
    QXmlStreamReader e(entradaZip(archivo, QStringLiteral("xl/styles.xml")));
    bool enCeldas = false;
    while (!e.atEnd()) {
        e.readNext();
        if (e.isStartElement() && e.name() == u"numFmt")
            codigos[e.attributes().value("numFmtId").toString()] =
                e.attributes().value("formatCode").toString();
        if (e.name() == u"cellXfs") enCeldas = e.isStartElement();
        if (enCeldas && e.isStartElement() && e.name() == u"xf")
            formatos << e.attributes().value("numFmtId").toString();
    }
    HojaXlsx h;
    QXmlStreamReader x(entradaZip(archivo, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        const auto a = x.attributes();
        if (x.name() == u"pane")
            h.cabeceraFija = a.value("state") == u"frozen" && a.value("ySplit") == u"1";
        else if (x.name() == u"col")
            h.anchos << a.value("width").toDouble();
        else if (x.name() == u"c") {
            ref = a.value("r").toString();
            auto& c = h.celdas[ref];
            c.numero = a.value("t").isEmpty() || a.value("t") == u"n";
            c.formato = codigos.value(formatos.value(a.value("s").toInt()));
        } else if (x.name() == u"v" || x.name() == u"t")
            h.celdas[ref].valor = x.readElementText();
    }
    return h;
}

inline QString plantilla(const QString& nombre) {
    return QStringLiteral(ORVO_PLANTILLAS_DIR) + u'/' + nombre;
}

}  // namespace orvo::prueba
