#pragma once

#include <QString>

namespace orvo {

class Conexion;
class IProgreso;

// Columnas de una tabla de trabajo sobre las que se evalúan las fórmulas de los epígrafes:
// las de Balances, o las de un lado (A o B) de BalancesComparativo.
struct ColumnasFormulas {
    QString tabla;
    QString clave;
    QString codigo;
    QString total;
    QString presupuesto;
    QString media;
    QString formula;
    // Solo en el comparativo: las columnas del otro lado, que deciden si una línea a cero se
    // borra (existe solo en este lado) o se deja en blanco solo este lado.
    QString totalOtro;
    QString presupuestoOtro;
    QString mediaOtro;
    QString rotulo = QStringLiteral("Calculando fórmulas ...");

    static ColumnasFormulas balance();
    static ColumnasFormulas comparativo(bool ladoA);
};

// Sustituye cada fórmula por su valor (pasadas hasta que ninguna se resuelve; las que se
// quedan sin resolver, referencias circulares, valen "ERROR"), da 0 a las sumas negativas y
// borra o deja en blanco las líneas de fórmula que valen cero. Carga la tabla una vez y
// resuelve los códigos por tabla hash: no crece con el cuadrado de las filas.
void CalcularFormulas(Conexion& informes, IProgreso& progreso, bool euros,
                      const ColumnasFormulas& columnas);

}  // namespace orvo
