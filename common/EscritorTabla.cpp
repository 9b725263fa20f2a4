#include "EscritorTabla.h"

namespace orvo {

namespace {

template <class... F>
struct Visitante : F... {
    using F::operator()...;
};

}  // namespace

QString sqlInsertar(const QString& tabla, const QStringList& columnas) {
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(tabla, columnas.join(QStringLiteral(", ")),
             QStringList(columnas.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

QString textoCelda(const Celda& celda, Divisa divisa) {
    return std::visit(
        Visitante{[](std::monostate) { return QString(); }, [](const QString& t) { return t; },
                  [](qint64 n) { return QString::number(n); },
                  [&](Moneda m) { return m.formatear(conDecimales(divisa)); },
                  [](Porcentaje p) { return formatearPorcentaje(p.valor); }},
        celda);
}

EscritorTabla::EscritorTabla(Conexion& informes, const QString& tabla, const QStringList& columnas,
                             Divisa divisa)
    : insertar_(informes.preparar(sqlInsertar(tabla, columnas))), divisa_(divisa) {}

void EscritorTabla::escribir(const std::vector<Celda>& fila) {
    valores_.clear();
    for (const Celda& c : fila) valores_ << textoCelda(c, divisa_);
    insertar_.ejecutar(valores_);
}

}  // namespace orvo
