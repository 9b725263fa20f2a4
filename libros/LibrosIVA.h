#pragma once

#include <QDate>
#include <QString>

#include "FormularioInforme.h"

namespace orvo {

// Lo que piden los dos libros de IVA.
struct OpcionesLibrosIVA {
    long empresa = 0;
    QString textoEmpresa;
    bool emitidas = true;  // facturas emitidas (477) o recibidas (472)
    bool euros = true;
    QDate desde, hasta;  // días, no meses
    bool numeracionAutomatica = false;
    QString primerNumero = QStringLiteral("1");  // de la numeración automática, como se tecleó
};

// Consulta de las líneas de IVA con factura y contrapartida del periodo, por fecha; los
// valores van en 'params'.
QString ObtenerConsultaFacturas(const OpcionesLibrosIVA& o, Parametros& params);

// Escribe en Libros_IVA una fila por línea de IVA (las repetidas, una vez) y devuelve las
// fórmulas. Lanza ErrorOrvo/ErrorBD.
FormulasInforme construirLibrosIVA(ContextoInforme& contexto, const OpcionesLibrosIVA& o);

}  // namespace orvo
