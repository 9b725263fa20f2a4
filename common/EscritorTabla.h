#pragma once

#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

#include "ContextoInforme.h"
#include "Moneda.h"

namespace orvo {

// Porcentaje ya calculado de una fila; se escribe "12,50 %".
struct Porcentaje {
    double valor = 0;
};

// Una celda de una fila de informe antes de escribirla: vacía, texto tal cual, entero,
// importe o porcentaje.
using Celda = std::variant<std::monostate, QString, qint64, Moneda, Porcentaje>;

// El texto de una celda en la moneda elegida: importes "##,##0.00" en euros y "##,##0" en
// pesetas; vacía, el texto vacío. Las fórmulas de los totales usan el mismo.
QString textoCelda(const Celda& celda, Divisa divisa);

// "INSERT INTO tabla (A, B) VALUES (?, ?)": los nombres son del programa, los valores se enlazan.
QString sqlInsertar(const QString& tabla, const QStringList& columnas);

// Pone filas ya calculadas en una tabla de trabajo: el único sitio donde sus cifras pasan a
// texto. Las construcciones calculan sin tabla y lo llaman al final.
class EscritorTabla {
  public:
    EscritorTabla(Conexion& informes, const QString& tabla, const QStringList& columnas,
                  Divisa divisa);
    // Una fila, con una celda por columna en su orden.
    void escribir(const std::vector<Celda>& fila);

    // Todas las filas con la barra de progreso; 'celdas' da las de cada una.
    template <class Fila, class Celdas>
    static void escribirTodas(ContextoInforme& ctx, const QString& tabla,
                              const QStringList& columnas, Divisa divisa,
                              const std::vector<Fila>& filas, Celdas&& celdas) {
        EscritorTabla escritor(ctx.informes, tabla, columnas, divisa);
        if (!filas.empty())
            ctx.progreso.Iniciar(static_cast<qint64>(filas.size()),
                                 QStringLiteral("Procesando ..."), 3);
        qint64 escritas = 0;
        for (const Fila& f : filas) {
            escritor.escribir(celdas(f));
            ctx.progreso.setValor(++escritas);
        }
        ctx.progreso.Terminar();
    }

  private:
    Instruccion insertar_;
    Divisa divisa_;
    Parametros valores_;  // se reutiliza de fila en fila
};

}  // namespace orvo
