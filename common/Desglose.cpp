#include "Desglose.h"

#include <algorithm>

namespace orvo {

Desglose Desglose::mayor(const QString& codigo, int cifras) {
    Desglose d;
    d.libro = Libro::Mayor;
    const int largo = std::max<int>(cifras, int(codigo.size()));
    d.subcuentaDesde = codigo.leftJustified(largo, u'0');
    d.subcuentaHasta = codigo.leftJustified(largo, u'9');
    return d;
}

Desglose Desglose::diario(const QString& numero) {
    Desglose d;
    d.libro = Libro::Diario;
    d.asiento = numero.section(u' ', 0, 0);
    return d;
}

}  // namespace orvo
