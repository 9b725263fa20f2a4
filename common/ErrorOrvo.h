#pragma once

#include <QString>
#include <stdexcept>

namespace orvo {

// Error del componente: número y descripción, como los muestra VerError.
class ErrorOrvo : public std::runtime_error {
  public:
    ErrorOrvo(long numero, const QString& descripcion)
        : std::runtime_error(descripcion.toStdString()),
          numero_(numero),
          descripcion_(descripcion) {}
    long numero() const { return numero_; }
    const QString& descripcion() const { return descripcion_; }
    // Procedimiento en que se produjo, cuando no es el que lo informa (vacío si lo es).
    const QString& procedimiento() const { return procedimiento_; }
    void setProcedimiento(const QString& p) { procedimiento_ = p; }

  private:
    long numero_;
    QString descripcion_;
    QString procedimiento_;
};

// Fallo de una instrucción SQL: lleva el texto de la instrucción y el mensaje del motor.
class ErrorBD : public ErrorOrvo {
  public:
    ErrorBD(int codigo, const QString& mensajeMotor, const QString& sql)
        : ErrorOrvo(codigo,
                    QStringLiteral("%1 (instrucción: %2)").arg(mensajeMotor, sql.simplified())),
          sql_(sql),
          mensajeMotor_(mensajeMotor) {}
    const QString& sql() const { return sql_; }
    const QString& mensajeMotor() const { return mensajeMotor_; }

  private:
    QString sql_;
    QString mensajeMotor_;
};

// Número y descripción de cualquier excepción, para VerError y el ejecutor de órdenes.
inline long numeroError(const std::exception& e) {
    if (auto* o = dynamic_cast<const ErrorOrvo*>(&e)) return o->numero();
    return 0;
}
inline QString descripcionError(const std::exception& e) {
    if (auto* o = dynamic_cast<const ErrorOrvo*>(&e)) return o->descripcion();
    return QString::fromLocal8Bit(e.what());
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
        ErrorOrvo conNombre(numeroError(e), descripcionError(e));
        conNombre.setProcedimiento(procedimiento);
        throw conNombre;
    }
}

}  // namespace orvo
