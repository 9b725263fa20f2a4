#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <map>

namespace orvo {

// Ejecutor de órdenes: lanza una operación del componente sin que nadie tenga que mirar.
// Rellena los controles del diálogo por su nombre, pulsa ACEPTAR, contesta las opciones de
// impresión y anota mensajes, pitidos, filas y fórmulas. Devuelve 0 si el informe llegó al
// motor sin error, 1 si el diálogo terminó sin imprimir, 2 si las órdenes son incorrectas.
class Ejecutor {
  public:
    // Órdenes que no son operaciones del componente ("ejemplo", "benchmark"…): nombre ->
    // función que recibe el resto de argumentos y devuelve el código de salida.
    using Suborden = std::function<int(const QStringList& argumentos, QTextStream& err)>;
    void registrarSuborden(const QString& nombre, Suborden s) {
        subordenes_[nombre] = std::move(s);
    }

    int ejecutar(const QStringList& argumentos, QTextStream& salida, QTextStream& err);
    static QString uso();

  private:
    std::map<QString, Suborden> subordenes_;
};

}  // namespace orvo
