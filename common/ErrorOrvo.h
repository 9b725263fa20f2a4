#pragma once

#include <QString>
#include <stdexcept>

namespace orvo {

// Causa de un error; su valor es el número que ve el usuario junto a la descripción.
enum class Causa : long {
    Externa = 0,                 // una excepción que no es del componente (memoria, biblioteca)
    Servidor = 1,                // el servidor PostgreSQL rechaza la conexión o una orden
    ArgumentoNoValido = 5,       // un dato de entrada que la construcción no admite
    TiposNoCoinciden = 13,       // un texto que debía ser un número, un importe o una fecha
    SinTransaccion = 21,         // confirmar o deshacer sin transacción abierta
    ParametrosNoCoinciden = 25,  // la instrucción espera otro número de valores
    ArchivoNoEncontrado = 53,
    ArchivoYaExiste = 58,
    AccesoAlArchivo = 75,  // no se puede escribir o renombrar
    CarpetaNoEncontrada = 76,
    ObjetoNoDisponible = 91,  // falta el motor o la configuración del anfitrión
    ObjetoNoCreable = 429,    // el registro no sabe crear el objeto pedido
    MetodoNoAdmitido = 438,   // el control no es del tipo que la operación espera
    RegistroNoEncontrado = 3021,
    ExpresionNoValida = 3075,  // un valor tecleado que no cabe en la consulta
    TablaNoEncontrada = 3078,
    ColumnaNoEncontrada = 3265,
    ConjuntoCerrado = 3704,  // una instrucción o un conjunto de registros ya cerrados
};

// Error del componente: causa (su número) y descripción, como los muestra VerError. Los errores
// de la base de datos (ErrorBD) y del motor de informes (FalloMotor) lo son también, con los
// números de su origen.
class ErrorOrvo : public std::runtime_error {
  public:
    ErrorOrvo(Causa causa, const QString& descripcion)
        : ErrorOrvo(static_cast<long>(causa), descripcion) {}
    // El mismo número que 'e' con otra descripción (para decir dónde ocurrió).
    static ErrorOrvo conDescripcion(const std::exception& e, const QString& descripcion);
    long numero() const { return numero_; }
    const QString& descripcion() const { return descripcion_; }
    // Procedimiento en que se produjo, cuando no es el que lo informa (vacío si lo es).
    const QString& procedimiento() const { return procedimiento_; }
    void setProcedimiento(const QString& p) { procedimiento_ = p; }

  protected:
    // Solo para los números que vienen de fuera: el motor de base de datos y el de informes.
    ErrorOrvo(long numero, const QString& descripcion)
        : std::runtime_error(descripcion.toStdString()),
          numero_(numero),
          descripcion_(descripcion) {}

  private:
    long numero_;
    QString descripcion_;
    QString procedimiento_;
};

// Fallo de una instrucción SQL. Su descripción es una línea en español para la persona (qué ha
// fallado y qué hacer), sin SQL; la instrucción y el texto del motor de base de datos van a la
// bitácora (Bitacora.h) al crearse el error. El número es el código de SQLite o una causa propia.
class ErrorBD : public ErrorOrvo {
  public:
    ErrorBD(int numero, const QString& mensaje, const QString& sql,
            const QString& mensajeMotor = {});
    ErrorBD(Causa causa, const QString& mensaje, const QString& sql,
            const QString& mensajeMotor = {})
        : ErrorBD(static_cast<int>(causa), mensaje, sql, mensajeMotor) {}
    const QString& sql() const { return sql_; }
    const QString& mensajeMotor() const { return mensajeMotor_; }

  private:
    QString sql_;
    QString mensajeMotor_;
};

// Número y descripción de cualquier excepción, para VerError y el ejecutor de órdenes.
inline long numeroError(const std::exception& e) {
    if (auto* o = dynamic_cast<const ErrorOrvo*>(&e)) return o->numero();
    return static_cast<long>(Causa::Externa);
}
inline QString descripcionError(const std::exception& e) {
    if (auto* o = dynamic_cast<const ErrorOrvo*>(&e)) return o->descripcion();
    return QString::fromLocal8Bit(e.what());
}
inline ErrorOrvo ErrorOrvo::conDescripcion(const std::exception& e, const QString& descripcion) {
    return ErrorOrvo(numeroError(e), descripcion);
}
inline QString procedimientoError(const std::exception& e, const QString& porOmision) {
    auto* o = dynamic_cast<const ErrorOrvo*>(&e);
    return o && !o->procedimiento().isEmpty() ? o->procedimiento() : porOmision;
}

// Ejecuta un paso de una construcción de modo que un error lleve el nombre de ese paso al
// mensaje de VerError, aunque lo informe quien llamó a la construcción entera.
template <class Paso>
auto enProcedimiento(const QString& procedimiento, Paso&& paso) -> decltype(paso()) {
    try {
        return paso();
    } catch (ErrorOrvo& e) {
        if (e.procedimiento().isEmpty()) e.setProcedimiento(procedimiento);
        throw;
    } catch (const std::exception& e) {
        ErrorOrvo conNombre = ErrorOrvo::conDescripcion(e, descripcionError(e));
        conNombre.setProcedimiento(procedimiento);
        throw conNombre;
    }
}

}  // namespace orvo
