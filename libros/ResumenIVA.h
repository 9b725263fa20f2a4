#pragma once

#include <QDate>
#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "ContextoInforme.h"
#include "LibroRegistro.h"
#include "Moneda.h"

namespace orvo {

struct OpcionesResumenIVA {
    long empresa = 0;
    Divisa divisa = Divisa::Euros;
    QDate desde, hasta;  // un trimestre o las fechas que se den
};

// Bases y cuotas de un tipo (porcentaje exacto, "21" o "5,2" de los libros).
struct LineaTipoIVA {
    Moneda tipo, base, cuota;
};

// Lo que explica una diferencia entre las cuentas de IVA y los libros de facturas.
struct DiferenciaIVA {
    enum Clase { ApunteSinFactura, FacturaSinApunte, CuotaDistintaDelTipo };
    Clase clase;
    QString asiento;  // "Numero (IDAsiento)", como en los libros
    QString texto;
    Moneda importe;  // lo que mueve la cuenta, o la cuota menos la calculada
};

// Movimiento de las subcuentas de un grupo (477 o 472) en el periodo, sin las liquidaciones
// (asientos que mueven 4700 o 4750), frente a la cuota de su libro de facturas.
struct CuadreIVA {
    Moneda cuentas, libro;
    std::vector<DiferenciaIVA> diferencias;
    Moneda diferencia() const { return cuentas - libro; }
};

struct ResumenIVA {
    std::vector<LineaTipoIVA> devengado, recargo, deducible;  // por tipo, de mayor a menor
    // Devengado: IVA y recargo de las emitidas; deducible: IVA de las recibidas.
    Moneda totalDevengado, totalDeducible;
    Moneda resultado() const { return totalDevengado - totalDeducible; }
    CuadreIVA repercutido, soportado;
    // Casillas del modelo 303 (en euros), de las mismas líneas que llevan los libros registro.
    std::map<int, Moneda> casillas;
};

// Casillas del modelo 303 de las filas de los libros registro con fecha entre 'desde' y
// 'hasta', como las calcula la Agencia de sus columnas: devengado por tipo (01 a 09, 150 y
// 152), modificaciones (14, 15), recargo por tipo (19 a 26, 156 a 170), deducible (28, 29,
// 40, 41), los totales 27, 45 y 46, y las entregas intracomunitarias exentas (59).
std::map<int, Moneda> casillas303(const std::vector<std::vector<CeldaRegistro>>& expedidas,
                                  const std::vector<std::vector<CeldaRegistro>>& recibidas,
                                  const QDate& desde, const QDate& hasta);

// Las cuotas salen de los dos libros de IVA del periodo (las mismas filas que imprimen).
ResumenIVA calcularResumenIVA(Conexion& contabilidad, const OpcionesResumenIVA& o);

// Una fila de la tabla ResumenIVA; las celdas sin valor van vacías.
struct FilaResumenIVA {
    QString seccion, concepto;
    std::optional<Moneda> tipo, base, cuota;
    bool destacado = false;
    bool operator==(const FilaResumenIVA&) const = default;
};

// Las filas del resumen en su orden: devengado, deducible, resultado, las casillas del modelo
// 303 (que va en euros: en pesetas no salen) y las dos conciliaciones.
std::vector<FilaResumenIVA> filasResumenIVA(const ResumenIVA& r, Divisa divisa);

// Escribe ResumenIVA (secciones de devengado, deducible, resultado y las dos conciliaciones)
// y devuelve las fórmulas. Lanza ErrorOrvo/ErrorBD.
FormulasInforme construirResumenIVA(ContextoInforme& contexto, const OpcionesResumenIVA& o);

}  // namespace orvo
