#include "Plantilla.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <functional>
#include <map>

namespace orvo {

namespace {

[[noreturn]] void noValida(const QString& nombre, int linea, const QString& motivo) {
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
        c.fecha = QDate::fromString(texto, QStringLiteral("dd/MM/yyyy"));
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
                         QStringLiteral("No se encuentra la plantilla del informe %1").arg(ruta));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw FalloMotor(ErrorMotor::kPlantillaNoEncontrada,
                         QStringLiteral("No se puede leer la plantilla del informe %1: %2")
                             .arg(ruta, f.errorString()));
    return deTexto(QString::fromUtf8(f.readAll()), QFileInfo(ruta).fileName());
}

Plantilla Plantilla::deTexto(const QString& texto, const QString& nombre) {
    Plantilla p;
    p.nombre = nombre;
    enum class Seccion { Ninguna, Informe, Columna, Grupo, Linea } seccion = Seccion::Ninguna;
    const QStringList lineas = texto.split(u'\n');
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
        bool ok = true;
        auto condicion = [&](Condicion& c) {
            try {
                c = Condicion::leer(valor);
            } catch (const FalloMotor& e) {
                noValida(nombre, numero, e.texto());
            }
        };
        auto numeroReal = [&](double& destino) {
            destino = valor.toDouble(&ok);
            if (!ok || destino <= 0) noValida(nombre, numero, QStringLiteral("número no válido"));
        };
        auto siNo = [&](bool& destino) {
            const QString t = valor.toLower();
            if (t != u"si" && t != u"sí" && t != u"no")
                noValida(nombre, numero, QStringLiteral("se esperaba si o no"));
            destino = t != u"no";
        };
        auto desconocida = [&] {
            noValida(nombre, numero, QStringLiteral("clave desconocida «%1»").arg(clave));
        };
        switch (seccion) {
            case Seccion::Ninguna:
                noValida(nombre, numero, QStringLiteral("falta la sección [informe]"));
            case Seccion::Informe:
                if (clave == u"tabla")
                    p.tabla = valor;
                else if (clave == u"orientacion") {
                    if (valor != u"vertical" && valor != u"horizontal")
                        noValida(nombre, numero,
                                 QStringLiteral("orientación vertical u horizontal"));
                    p.horizontal = valor == u"horizontal";
                } else if (clave == u"empresa")
                    p.empresa = valor;
                else if (clave == u"periodo")
                    p.periodo = valor;
                else if (clave == u"moneda")
                    p.moneda = valor;
                else if (clave == u"nivel")
                    p.campoNivel = valor;
                else if (clave == u"nivel_base") {
                    p.nivelBase = valor.toInt(&ok);
                    if (!ok) noValida(nombre, numero, QStringLiteral("número no válido"));
                } else if (clave == u"negrita")
                    condicion(p.negrita);
                else if (clave == u"cursiva")
                    condicion(p.cursiva);
                else if (clave == u"fecha")
                    p.campoFecha = valor;
                else if (clave == u"suma_y_sigue")
                    siNo(p.sumaYSigue);
                else if (clave == u"total")
                    p.tituloTotal = valor;
                else if (clave == u"letra")
                    numeroReal(p.letra);
                else
                    desconocida();
                break;
            case Seccion::Columna: {
                Columna& c = p.columnas.back();
                if (clave == u"campo")
                    c.campo = valor;
                else if (clave == u"titulo")
                    c.titulo = valor;
                else if (clave == u"titulo_superior")
                    c.tituloSuperior = valor;
                else if (clave == u"ancho")
                    numeroReal(c.ancho);
                else if (clave == u"alineacion") {
                    if (valor == u"izquierda")
                        c.alineacion = Alineacion::Izquierda;
                    else if (valor == u"centro")
                        c.alineacion = Alineacion::Centro;
                    else if (valor == u"derecha")
                        c.alineacion = Alineacion::Derecha;
                    else
                        noValida(nombre, numero,
                                 QStringLiteral("alineación izquierda, centro o derecha"));
                } else if (clave == u"tipo") {
                    if (valor == u"texto")
                        c.tipo = TipoColumna::Texto;
                    else if (valor == u"importe")
                        c.tipo = TipoColumna::Importe;
                    else if (valor == u"porcentaje")
                        c.tipo = TipoColumna::Porcentaje;
                    else
                        noValida(nombre, numero,
                                 QStringLiteral("tipo texto, importe o porcentaje"));
                    if (c.tipo != TipoColumna::Texto) c.alineacion = Alineacion::Derecha;
                } else if (clave == u"resumen") {
                    if (valor == u"suma")
                        c.resumen = Resumen::Suma;
                    else if (valor == u"ultimo")
                        c.resumen = Resumen::Ultimo;
                    else if (valor == u"no")
                        c.resumen = Resumen::Ninguno;
                    else
                        noValida(nombre, numero, QStringLiteral("resumen suma, ultimo o no"));
                } else if (clave == u"total")
                    c.total = valor;
                else if (clave == u"ocultar")
                    c.ocultar = valor;
                else if (clave == u"visible")
                    condicion(c.visible);
                else if (clave == u"sangria")
                    siNo(c.sangria);
                else
                    desconocida();
                break;
            }
            case Seccion::Grupo: {
                Grupo& g = p.grupos.back();
                if (clave == u"campo")
                    g.campo = valor;
                else if (clave == u"titulo")
                    g.titulo = valor;
                else if (clave == u"cabecera")
                    g.cabecera = valor;
                else if (clave == u"pie")
                    g.pie = valor;
                else if (clave == u"nueva_pagina")
                    siNo(g.nuevaPagina);
                else if (clave == u"repetir")
                    siNo(g.repetir);
                else
                    desconocida();
                break;
            }
            case Seccion::Linea:
                if (clave != u"celdas") desconocida();
                for (const QString& c : valor.split(u',')) p.lineas.back().celdas << c.trimmed();
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
