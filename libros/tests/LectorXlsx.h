#pragma once

// Libro XLSX leído con unzip y el lector XML de Qt, no con la biblioteca que lo escribe: las
// hojas por nombre, los textos compartidos y si el formato de cada celda numérica es de fecha.
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QXmlStreamReader>

namespace orvo::prueba {

struct CeldaXlsx {
    enum Clase { Texto, Numero, Fecha } clase = Texto;
    QString valor;  // el texto, o el número tal como va en el archivo
};

// Celdas de una hoja por fila y columna (desde 0); las celdas sin valor no están.
struct HojaLeida {
    QHash<int, QHash<int, CeldaXlsx>> filas;
    CeldaXlsx celda(int fila, int columna) const { return filas.value(fila).value(columna); }
    QString texto(int fila, int columna) const { return celda(fila, columna).valor; }
};

inline QByteArray entradaDelZip(const QString& zip, const QString& entrada) {
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, entrada});
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

// "AB12" → fila 11, columna 27.
inline std::pair<int, int> posicion(const QString& ref) {
    int columna = 0, i = 0;
    for (; i < ref.size() && ref.at(i).isLetter(); ++i)
        columna = columna * 26 + (ref.at(i).unicode() - 'A' + 1);
    return {ref.mid(i).toInt() - 1, columna - 1};
}

inline QHash<QString, HojaLeida> leerLibroXlsx(const QString& archivo) {
    QStringList compartidos;
    {
        QXmlStreamReader x(entradaDelZip(archivo, QStringLiteral("xl/sharedStrings.xml")));
        QString actual;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"si") actual.clear();
            if (x.isStartElement() && x.name() == u"t") actual += x.readElementText();
            if (x.isEndElement() && x.name() == u"si") compartidos << actual;
        }
    }
    // Estilos de celda cuyo formato de número es de fecha (los 14 a 22 integrados, o con d y y).
    QList<bool> esFecha;
    {
        QHash<QString, QString> codigos;
        QXmlStreamReader x(entradaDelZip(archivo, QStringLiteral("xl/styles.xml")));
        bool enCeldas = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"numFmt")
                codigos[x.attributes().value("numFmtId").toString()] =
                    x.attributes().value("formatCode").toString();
            if (x.name() == u"cellXfs") enCeldas = x.isStartElement();
            if (enCeldas && x.isStartElement() && x.name() == u"xf") {
                const QString id = x.attributes().value("numFmtId").toString();
                const QString codigo = codigos.value(id);
                esFecha << ((id.toInt() >= 14 && id.toInt() <= 22) ||
                            (codigo.contains(u'd') && codigo.contains(u'y')));
            }
        }
    }
    QHash<QString, QString> destinos;  // rId → archivo de la hoja
    {
        QXmlStreamReader x(entradaDelZip(archivo, QStringLiteral("xl/_rels/workbook.xml.rels")));
        while (!x.atEnd())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"Relationship") {
                QString t = x.attributes().value("Target").toString();
                if (t.startsWith(u'/')) t = t.mid(1);
                if (!t.startsWith(QStringLiteral("xl/"))) t = QStringLiteral("xl/") + t;
                destinos[x.attributes().value("Id").toString()] = t;
            }
    }
    QHash<QString, HojaLeida> hojas;
    QXmlStreamReader w(entradaDelZip(archivo, QStringLiteral("xl/workbook.xml")));
    while (!w.atEnd()) {
        if (w.readNext() != QXmlStreamReader::StartElement || w.name() != u"sheet") continue;
        HojaLeida& h = hojas[w.attributes().value("name").toString()];
        QXmlStreamReader x(
            entradaDelZip(archivo, destinos.value(w.attributes().value("r:id").toString())));
        QString ref, tipo;
        int estilo = 0;
        while (!x.atEnd()) {
            x.readNext();
            if (!x.isStartElement()) continue;
            if (x.name() == u"c") {
                ref = x.attributes().value("r").toString();
                tipo = x.attributes().value("t").toString();
                estilo = x.attributes().value("s").toInt();
            } else if (x.name() == u"v" || (x.name() == u"t" && tipo == u"inlineStr")) {
                const QString v = x.readElementText();
                const auto [fila, columna] = posicion(ref);
                CeldaXlsx c;
                if (tipo == u"s") {
                    c.valor = compartidos.value(v.toInt());
                } else if (tipo.isEmpty() || tipo == u"n") {
                    c.clase = esFecha.value(estilo) ? CeldaXlsx::Fecha : CeldaXlsx::Numero;
                    c.valor = v;
                } else {
                    c.valor = v;
                }
                h.filas[fila][columna] = c;
            }
        }
    }
    return hojas;
}

}  // namespace orvo::prueba
