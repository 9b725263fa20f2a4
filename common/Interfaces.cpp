#include "Interfaces.h"

#include "ErrorOrvo.h"

namespace orvo {

std::unique_ptr<ICContabilidad> RegistroObjetos::CreateObject(const QString& identificador) const {
    const auto it = fabricas_.find(identificador.toLower());
    if (it == fabricas_.end() || !it->second)
        throw ErrorOrvo(
            429, QStringLiteral("El componente no puede crear el objeto '%1'").arg(identificador));
    auto objeto = it->second();
    if (!objeto)
        throw ErrorOrvo(
            429, QStringLiteral("El componente no puede crear el objeto '%1'").arg(identificador));
    return objeto;
}

}  // namespace orvo
