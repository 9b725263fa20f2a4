#include "Plantilla.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <functional>

namespace orvo {

namespace {

[[noreturn]] void noValida(const QString& nombre, qsizetype linea, const QString& motivo) {
    throw FalloMotor(ErrorMotor::kPlantillaNoValida,
                     QStringLiteral("La plantilla %1 no es válida (línea %2): %3")
                         .arg(nombre, QString::number(linea), motivo));
}

}  // namespace

bool esLiteral(const QString& celda) {
    return celda.size() >= 2 && celda.startsWith(u'"') && celda.endsWith(u'"');
}

QString textoLiteral(const QString& celda) {
    return celda.mid(1, celda.size() - 2);
}

Celda Celda::leer(const QString& texto, Tipo tipo) {
    Celda c{texto, std::nullopt, QDate()};
    if (tipo == Tipo::Numero) {
        QString t = texto.trimmed();
        if (t.endsWith(u'%')) t.chop(1);
        c.numero = Moneda::deTexto(t);
    } else if (tipo == Tipo::Fecha && texto.size() == 10 && texto[2] == u'/' && texto[5] == u'/') {
        // dd/MM/yyyy a mano: QDate::fromString vuelve a leer el formato en cada fila.
        auto cifras = [&texto](qsizetype desde, qsizetype n) {
            int v = 0;
            for (qsizetype i = desde; i < desde + n; ++i) {
                if (!texto[i].isDigit() || texto[i].unicode() > u'9') return -1;
                v = v * 10 + (texto[i].unicode() - u'0');
            }
            return v;
        };
        const int d = cifras(0, 2), m = cifras(3, 2), a = cifras(6, 4);
        if (d >= 0 && m >= 0 && a >= 0) c.fecha = QDate(a, m, d);
    }
    return c;
}

Condicion Condicion::leer(const QString& texto) {
    static const QRegularExpression patron(QStringLiteral("^(.+?)\\s*(<>|<=|>=|=|<|>)\\s*(.*)$"));
    static const QRegularExpression conjuncion(QStringLiteral("\\s+y\\s+"));
    Condicion c;
    for (const QString& parte : texto.split(conjuncion)) {
        const auto m = patron.match(parte.trimmed());
        if (!m.hasMatch() || m.captured(1).trimmed().isEmpty())
            throw FalloMotor(ErrorMotor::kPlantillaNoValida,
                             QStringLiteral("condición no válida: «%1»").arg(texto));
        c.terminos.push_back({m.captured(1).trimmed(), m.captured(2),
                              Celda::leer(m.captured(3).trimmed(), Celda::Tipo::Numero)});
    }
    return c;
}

Plantilla Plantilla::leer(const QString& ruta) {
    QFile f(ruta);
    if (!QFileInfo(ruta).isFile())
        throw FalloMotor(ErrorMotor::kPlantillaNoEncontrada,
                         QStringLiteral("No se encuentra la plantilla del informe %1. Vuelva a "
                                        "instalar el programa, que la copia en la carpeta de "
                                        "la aplicación.")
                             .arg(ruta));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw FalloMotor(ErrorMotor::kPlantillaNoEncontrada,
                         QStringLiteral("No se puede leer la plantilla del informe %1: %2")
                             .arg(ruta, f.errorString()));
    return deTexto(QString::fromUtf8(f.readAll()), QFileInfo(ruta).fileName());
}

Plantilla Plantilla::deTexto(const QString& fuente, const QString& nombre) {
    Plantilla p;
    p.nombre = nombre;
    enum class Seccion { Ninguna, Informe, Columna, Grupo, Linea } seccion = Seccion::Ninguna;
    const QStringList lineas = fuente.split(u'\n');
    for (int n = 0; n < lineas.size(); ++n) {
        const int numero = n + 1;
        const QString linea = lineas[n].trimmed();
        if (linea.isEmpty() || linea.startsWith(u'#')) continue;
        if (linea.startsWith(u'[')) {
            const QString s = linea.toLower();
            if (s == u"[informe]") {
                seccion = Seccion::Informe;
            } else if (s == u"[columna]") {
                seccion = Seccion::Columna;
                p.columnas.emplace_back();
            } else if (s == u"[grupo]") {
                seccion = Seccion::Grupo;
                p.grupos.emplace_back();
            } else if (s == u"[linea]") {
                seccion = Seccion::Linea;
                p.lineas.emplace_back();
            } else {
                noValida(nombre, numero, QStringLiteral("sección desconocida %1").arg(linea));
            }
            continue;
        }
        const qsizetype igual = linea.indexOf(u'=');
        if (igual <= 0) noValida(nombre, numero, QStringLiteral("se esperaba «clave = valor»"));
        const QString clave = linea.left(igual).trimmed().toLower();
        const QString valor = linea.mid(igual + 1).trimmed();
        // Cada clave de una sección y lo que hace con el valor; una que no está es un error.
        using Claves = std::initializer_list<std::pair<QStringView, std::function<void()>>>;
        auto segun = [&](Claves claves) {
            for (const auto& [k, accion] : claves)
                if (clave == k) return accion();
            noValida(nombre, numero, QStringLiteral("clave desconocida «%1»").arg(clave));
        };
        auto texto = [&](QString& destino) { return [&] { destino = valor; }; };
        // Posición del valor entre las palabras dadas, en el orden de su enumeración.
        auto palabra = [&](const QStringList& palabras, const QString& motivo) {
            const qsizetype i = palabras.indexOf(valor);
            if (i < 0) noValida(nombre, numero, motivo);
            return static_cast<int>(i);
        };
        auto condicion = [&](Condicion& c) {
            return [&] {
                try {
                    c = Condicion::leer(valor);
                } catch (const FalloMotor& e) {
                    noValida(nombre, numero, e.texto());
                }
            };
        };
        auto numeroReal = [&](double& destino) {
            return [&] {
                bool ok = false;
                destino = valor.toDouble(&ok);
                if (!ok || destino <= 0)
                    noValida(nombre, numero, QStringLiteral("número no válido"));
            };
        };
        auto siNo = [&](bool& destino) {
            return [&] {
                const QString t = valor.toLower();
                if (t != u"si" && t != u"sí" && t != u"no")
                    noValida(nombre, numero, QStringLiteral("se esperaba si o no"));
                destino = t != u"no";
            };
        };
        switch (seccion) {
            case Seccion::Ninguna:
                noValida(nombre, numero, QStringLiteral("falta la sección [informe]"));
            case Seccion::Informe:
                segun({{u"tabla", texto(p.tabla)},
                       {u"orientacion",
                        [&] {
                            p.horizontal =
                                palabra({"vertical", "horizontal"},
                                        QStringLiteral("orientación vertical u horizontal")) == 1;
                        }},
                       {u"empresa", texto(p.empresa)},
                       {u"periodo", texto(p.periodo)},
                       {u"moneda", texto(p.moneda)},
                       {u"nivel", texto(p.campoNivel)},
                       {u"nivel_base",
                        [&] {
                            bool ok = false;
                            p.nivelBase = valor.toInt(&ok);
                            if (!ok) noValida(nombre, numero, QStringLiteral("número no válido"));
                        }},
                       {u"fecha", texto(p.campoFecha)},
                       {u"negrita", condicion(p.negrita)},
                       {u"cursiva", condicion(p.cursiva)},
                       {u"suma_y_sigue", siNo(p.sumaYSigue)},
                       {u"total", texto(p.tituloTotal)},
                       {u"letra", numeroReal(p.letra)}});
                break;
            case Seccion::Columna: {
                Columna& c = p.columnas.back();
                segun({{u"campo", texto(c.campo)},
                       {u"titulo", texto(c.titulo)},
                       {u"titulo_superior", texto(c.tituloSuperior)},
                       {u"ancho", numeroReal(c.ancho)},
                       {u"alineacion",
                        [&] {
                            c.alineacion = Alineacion(
                                palabra({"izquierda", "centro", "derecha"},
                                        QStringLiteral("alineación izquierda, centro o derecha")));
                        }},
                       {u"tipo",
                        [&] {
                            c.tipo = TipoColumna(
                                palabra({"texto", "importe", "porcentaje"},
                                        QStringLiteral("tipo texto, importe o porcentaje")));
                            if (c.tipo != TipoColumna::Texto) c.alineacion = Alineacion::Derecha;
                        }},
                       {u"resumen",
                        [&] {
                            c.resumen =
                                Resumen(palabra({"no", "suma", "ultimo"},
                                                QStringLiteral("resumen suma, ultimo o no")));
                        }},
                       {u"total", texto(c.total)},
                       {u"ocultar", texto(c.ocultar)},
                       {u"visible", condicion(c.visible)},
                       {u"sangria", siNo(c.sangria)},
                       {u"ajustar", siNo(c.ajustar)}});
                break;
            }
            case Seccion::Grupo: {
                Grupo& g = p.grupos.back();
                segun({{u"campo", texto(g.campo)},
                       {u"titulo", texto(g.titulo)},
                       {u"cabecera", texto(g.cabecera)},
                       {u"pie", texto(g.pie)},
                       {u"nueva_pagina", siNo(g.nuevaPagina)},
                       {u"repetir", siNo(g.repetir)}});
                break;
            }
            case Seccion::Linea:
                segun({{u"celdas", [&] {
                            for (const QString& c : valor.split(u','))
                                p.lineas.back().celdas << c.trimmed();
                        }}});
                break;
        }
    }
    if (p.tabla.isEmpty()) noValida(nombre, lineas.size(), QStringLiteral("falta la tabla"));
    if (p.columnas.empty()) noValida(nombre, lineas.size(), QStringLiteral("no hay columnas"));
    for (const Grupo& g : p.grupos)
        if (g.campo.isEmpty())
            noValida(nombre, lineas.size(), QStringLiteral("un grupo sin campo"));
    for (const LineaDetalle& l : p.lineas)
        if (l.celdas.size() != static_cast<qsizetype>(p.columnas.size()))
            noValida(nombre, lineas.size(),
                     QStringLiteral("una línea tiene %1 celdas y hay %2 columnas")
                         .arg(l.celdas.size())
                         .arg(p.columnas.size()));
    if (p.lineas.empty()) {
        LineaDetalle l;
        for (const Columna& c : p.columnas) l.celdas << c.campo;
        p.lineas.push_back(l);
    }
    return p;
}

bool Plantilla::tieneTotal() const {
    if (!tituloTotal.isEmpty()) return true;
    for (const Columna& c : columnas)
        if (!c.total.isEmpty()) return true;
    return false;
}

bool Plantilla::ajustaTexto() const {
    return std::any_of(columnas.begin(), columnas.end(),
                       [](const Columna& c) { return c.ajustar; });
}

QStringList Plantilla::campos() const {
    QStringList r;
    auto anadir = [&r](const QString& c) {
        if (!c.isEmpty() && !esLiteral(c) && !r.contains(c, Qt::CaseInsensitive)) r << c;
    };
    for (const Grupo& g : grupos) anadir(g.campo);
    for (const LineaDetalle& l : lineas)
        for (const QString& c : l.celdas) anadir(c);
    anadir(campoNivel);
    return r;
}

}  // namespace orvo
