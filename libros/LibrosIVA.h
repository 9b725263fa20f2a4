#pragma once

#include <QDate>
#include <QString>
#include <functional>

#include "ContextoInforme.h"
#include "FechaLibros.h"
#include "Moneda.h"

namespace orvo {

// Lo que piden los dos libros de IVA.
struct OpcionesLibrosIVA {
    long empresa = 0;
    bool emitidas = true;  // facturas emitidas (477) o recibidas (472)
    Divisa divisa = Divisa::Euros;
    QDate desde, hasta;  // días, no meses
    bool numeracionAutomatica = false;
    QString primerNumero = QStringLiteral("1");  // de la numeración automática, como se tecleó
};

// Consulta de las líneas de IVA con factura y contrapartida del periodo, por fecha; los
// valores van en 'params'.
QString ObtenerConsultaFacturas(const OpcionesLibrosIVA& o, Parametros& params);

// Una fila del libro, con los importes como se imprimen (el recargo ya redondeado, como lo
// suma el total).
struct FilaIVA {
    QString numero;   // el que muestra el libro: el de la factura o el automático
    QString factura;  // el de la factura, como se anotó
    FechaLibros fecha;
    QString contrapartida, nombre, nif;  // "No existe" si la contrapartida no es de la empresa
    QString asiento, idAsiento, concepto;
    QString tipoIva, tipoRecargo;  // como se leen de los libros
    Moneda base, cuotaIva, cuotaRecargo, total;
    bool primeraLinea = true;  // la primera de su factura (asiento, factura y contrapartida)
    // "Numero (IDAsiento)", como lo muestran los libros.
    QString textoAsiento() const { return asiento + QStringLiteral(" (") + idAsiento + u')'; }
};

// Recorre las filas del libro en su orden; 'progreso' puede ser nulo.
void recorrerLibroIVA(Conexion& contabilidad, const OpcionesLibrosIVA& o, IProgreso* progreso,
                      const std::function<void(const FilaIVA&)>& porFila);

// Escribe en Libros_IVA una fila por línea de IVA (también las repetidas) y devuelve las
// fórmulas. Lanza ErrorOrvo/ErrorBD.
FormulasInforme construirLibrosIVA(ContextoInforme& contexto, const OpcionesLibrosIVA& o);

}  // namespace orvo
