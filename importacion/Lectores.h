#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "ErrorOrvo.h"
#include "Moneda.h"

namespace orvo::Importacion {

// Un apunte tal como viene en el archivo, con los importes en euros.
struct ApunteLeido {
    int linea = 0;
    QString subcuenta;  // solo cifras; un punto se rellena con ceros al validarlo
    QString nombreCuenta;
    QString nif;
    QString concepto;
    Moneda debe, haber;
    QString factura, contrapartida;
    std::optional<Moneda> base;
    QString iva, recargo;
};

// Un asiento del archivo: sus líneas seguidas, con el número si el archivo lo da.
struct AsientoLeido {
    QString archivo;
    int linea = 0;
    std::optional<qint64> numero;
    QDate fecha;
    std::vector<ApunteLeido> apuntes;
};

using Receptor = std::function<void(AsientoLeido&& asiento)>;

// Error de la entrada: nombra el archivo y la línea (0 si es del archivo entero).
class ErrorEntrada : public ErrorOrvo {
  public:
    ErrorEntrada(const QString& archivo, int linea, const QString& razon)
        : ErrorOrvo(Causa::TiposNoCoinciden,
                    linea > 0
                        ? QStringLiteral("%1, línea %2: %3").arg(archivo).arg(linea).arg(razon)
                        : QStringLiteral("%1: %2").arg(archivo, razon)) {}
};

// CSV separado por ';' con cabecera (Fecha;Asiento;Cuenta;Concepto;Debe;Haber y, si se quiere,
// Descripcion;NIF;Factura;Contrapartida;Base;IVA;Recargo). Entrega cada tanda de líneas seguidas
// con el mismo Asiento. 'avance' recibe los bytes leídos.
void leerCsv(const QString& ruta, const Receptor& receptor,
             const std::function<void(qint64)>& avance = {});

// Diario de texto (.journal, .ledger, .hledger). Sigue los include; los asientos periódicos y
// automáticos no se importan y se anotan en 'avisos'.
void leerDiario(const QString& ruta, const Receptor& receptor, QStringList& avisos,
                const std::function<void(qint64)>& avance = {});

// Importe en euros de un texto con el formato decidido para el archivo: español ("1.234,56")
// o simple ("1234.56"). Como mucho dos decimales.
std::optional<Moneda> importeEuros(QStringView texto, bool espanol);

// Fecha "dd/mm/aaaa", "aaaa-mm-dd" o "aaaa/mm/dd"; inválida si no existe.
QDate fechaDeTexto(QStringView texto);

}  // namespace orvo::Importacion
