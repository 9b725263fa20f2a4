#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

#include "Moneda.h"

namespace orvo {

class Conexion;
class IProgreso;

// Una línea impresa de un estado: epígrafe, cuenta o subcuenta. Los importes van exactos, el
// total con el signo de su naturaleza; pasan a texto una sola vez, en el escritor de la tabla
// (CeldasBalance.h).
struct LineaBalance {
    // Lo que muestran los importes tras las fórmulas: los números, "ERROR" (una fórmula que no
    // se resuelve) o nada (una fórmula que vale cero y tiene líneas debajo).
    enum class Importes { Numeros, Error, EnBlanco };
    QString naturaleza;
    int nivel = 0;
    QString descripcion;
    QString codigo;  // código del epígrafe; "-" en cuentas, subcuentas y epígrafes sin código
    Moneda total;
    Moneda presupuesto;
    bool conPresupuesto = false;  // se escriben el presupuesto y el porcentaje alcanzado
    Importes importes = Importes::Numeros;
    QString formula;
    // El estado lleva importes con signo (modelos de 2007): la fórmula da su suma con signo (si
    // no, una negativa vale 0) y el presupuesto lleva el signo del total, un gasto en negativo.
    bool sumaConSigno = false;
    QString epigrafePadre;      // descripciones de sus antepasados, para emparejar dos empresas
    qint64 orden = 0;           // número de línea en el orden en que se calculó
};

// Lo que el resultado del periodo (grupos 6 y 7) añade a la cuenta de pérdidas y ganancias en
// el balance de situación. Se suma a lo que se lee, nunca se escribe: un informe no toca los
// libros, y así basta un usuario de solo lectura y nadie espera por un cerrojo.
struct ResultadoPeriodo {
    QString mes;                      // "MM" del último día del periodo; vacío: no hay resultado
    Moneda debe, haber;               // en la moneda del informe
    QSet<qlonglong> cuentas;          // la subcuenta 129 y sus cuentas padre que existen
    QHash<qlonglong, int> epigrafes;  // epígrafe -> veces que lo alimentan esas cuentas
    QString subcuentaQueFalta;        // código de la subcuenta 129 cuando los libros no la tienen
};

// Qué líneas calcular: un estado (documento 1 balance de situación, 2 pérdidas y ganancias)
// de una empresa, sumando las columnas de los meses dados ("01".."12").
struct PeticionLineas {
    long empresa = 0;
    int documento = 1;
    QStringList meses;  // vacía: la empresa no suma ningún mes (importes cero)
    Divisa divisa = Divisa::Euros;
    bool saldoCero = false;      // "Mostrar cuentas con saldo cero"
    bool numerosCuenta = false;  // "Mostrar números de cuentas"
    bool presupuesto = true;     // calcular presupuesto y porcentaje
    bool todasLasSubcuentas = false;  // desglosar cada cuenta, diga lo que diga Desglosar
    ResultadoPeriodo resultado;  // solo en el balance de situación
    QString rotulo = QStringLiteral("Procesando ...");
};

// Las líneas de un estado de una empresa, en el orden del informe: epígrafes por naturaleza y
// código, bajo cada uno sus cuentas y, si se desglosan, sus subcuentas. Aplica la regla de la
// cuenta compartida y quita los epígrafes vacíos; las fórmulas quedan por evaluar.
std::vector<LineaBalance> calcularLineasBalance(Conexion& contabilidad, IProgreso& progreso,
                                                const PeticionLineas& peticion);

// Sumas SQL de las columnas mensuales de los meses dados: "(cCur(Total01) + cCur(Total02)) AS
// Total", o la constante "0 AS Total" cuando no hay ningún mes. Las del epígrafe dan Total y
// Presupuesto; las de la cuenta, Debe, Haber y Presupuesto.
QString ExpresionTotal(const QStringList& meses, Divisa divisa);
QString ExpresionPresupuesto(const QStringList& meses, Divisa divisa);
QString ExpresionEpigrafe(const QStringList& meses, Divisa divisa);
QString ExpresionCuenta(const QStringList& meses, Divisa divisa);

// Importe con el signo de la naturaleza: las naturalezas acreedoras ("Pasivo", "Haber")
// muestran en positivo un saldo acreedor.
Moneda AplicarSigno(Moneda importe, const QString& naturaleza);

}  // namespace orvo
