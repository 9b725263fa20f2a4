#include "OrdenLibros.h"

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"

namespace orvo {

bool OrdenLibros::leer(const QStringList& a, QTextStream& err) {
    for (int i = 0; i < a.size(); ++i) {
        const auto marca = marcas.find(a[i]);
        const auto valor = valores.find(a[i]);
        if (marca != marcas.end()) {
            *marca->second = true;
        } else if (a[i] == u"--contabilidad" && i + 1 < a.size()) {
            ruta = a[++i];
        } else if (a[i] == u"--empresa" && i + 1 < a.size()) {
            bool ok = false;
            empresa = a[++i].toLong(&ok);
            if (!ok) empresa = 0;
        } else if (valor != valores.end() && i + 1 < a.size()) {
            valor->second(a[++i]);
        } else {
            err << "Opción desconocida o sin valor: " << a[i] << "\n" << uso;
            return false;
        }
    }
    if (ruta.isEmpty() || empresa <= 0) {
        err << uso;
        return false;
    }
    return true;
}

int OrdenLibros::ejecutar(QTextStream& err, const std::function<int(Conexion&)>& trabajo) const {
    try {
        // Un archivo o una base de un servidor; sin tablas o sin permiso, el mensaje lo dice.
        auto con = Esquemas::abrirContabilidad(ruta);
        return trabajo(*con);
    } catch (const std::exception& e) {
        err << descripcionError(e) << "\n";
        return 1;
    }
}

}  // namespace orvo
