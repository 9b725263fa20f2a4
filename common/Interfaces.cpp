#include "Interfaces.h"

#include "ErrorOrvo.h"

namespace orvo {

std::unique_ptr<ICContabilidad> RegistroObjetos::CreateObject(const QString& identificador) const {
    const auto it = fabricas_.find(identificador.toLower());
    std::unique_ptr<ICContabilidad> objeto;
    if (it != fabricas_.end() && it->second) objeto = it->second();
    if (!objeto)
        throw ErrorOrvo(
            Causa::ObjetoNoCreable,
            QStringLiteral("El componente no puede crear el objeto '%1'").arg(identificador));
    return objeto;
}

void valoresNuevos(IMotorInformes& motor) {
    for (int i = 1; i <= IMotorInformes::kMaxFormulas; ++i)
        if (!motor.Formulas(i).isEmpty()) motor.setFormulas(i, QString());
    if (!motor.PrintFileName().isEmpty()) motor.setPrintFileName(QString());
}

}  // namespace orvo
