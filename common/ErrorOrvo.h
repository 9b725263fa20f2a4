#pragma once

#include <QString>
#include <stdexcept>

namespace orvo {

// Error del componente: número y descripción, como los muestra VerError.
class ErrorOrvo : public std::runtime_error {
public:
    ErrorOrvo(long numero, const QString& descripcion)
        : std::runtime_error(descripcion.toStdString()), numero_(numero), descripcion_(descripcion) {}
    long numero() const { return numero_; }
    const QString& descripcion() const { return descripcion_; }

private:
    long numero_;
    QString descripcion_;
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

}  // namespace orvo
