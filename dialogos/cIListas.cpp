#include "cIListas.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "cCMensajes.h"
#include "cGeneral.h"

namespace orvo {

namespace {

struct EmpresaLista {
    QString texto;
    qlonglong id;
};

// Lee las empresas; un fallo de la consulta se avisa con errorListandoEmpresas y deja la lista
// vacía. Cualquier otro error sigue hasta el manejador de quien llama.
QList<EmpresaLista> leerEmpresas(Conexion& con, cGeneral& general) {
    QList<EmpresaLista> empresas;
    try {
        for (const DatosEmpresa& e : DatosEmpresa::todas(con))
            empresas.append({u'<' + e.abreviatura + QStringLiteral(" - ") + e.ejercicio +
                                 QStringLiteral("> ") + e.nombre,
                             e.id});
    } catch (const ErrorBD& e) {
        general.mensaje(cCMensajes().errorListandoEmpresas() + QChar(13) +
                            QStringLiteral("Descripción: ") + descripcionError(e),
                        Icono::Exclamacion);
        empresas.clear();
    }
    return empresas;
}

}  // namespace

void cIListas::fillEmpresas(Conexion& conBaseDatos, QComboBox* objLista, long lngselItem) {
    const auto empresas = leerEmpresas(conBaseDatos, general_);
    {
        // Añadir el primer elemento selecciona solo en Qt; aquí la selección la decide el final.
        const int anterior = objLista->currentIndex();
        const QSignalBlocker bloqueo(objLista);
        objLista->setUpdatesEnabled(false);
        for (const auto& e : empresas) objLista->addItem(e.texto, e.id);
        objLista->setCurrentIndex(anterior);
        objLista->setUpdatesEnabled(true);
    }
    int indice = -1;
    if (lngselItem >= 1 && objLista->count() > 0) {
        indice = objLista->findData(static_cast<qlonglong>(lngselItem));
        if (indice < 0) return;  // la selección no cambia
    }
    objLista->setCurrentIndex(indice);
}

void cIListas::fillEmpresas(Conexion& conBaseDatos, QListWidget* objLista, long lngselItem) {
    const auto empresas = leerEmpresas(conBaseDatos, general_);
    objLista->setUpdatesEnabled(false);
    for (const auto& e : empresas) {
        auto* item = new QListWidgetItem(e.texto, objLista);
        item->setData(Qt::UserRole, e.id);
    }
    objLista->setUpdatesEnabled(true);
    if (lngselItem >= 1 && objLista->count() > 0) {
        for (int i = 0; i < objLista->count(); ++i) {
            if (objLista->item(i)->data(Qt::UserRole).toLongLong() == lngselItem) {
                objLista->setCurrentRow(i);
                return;
            }
        }
        return;
    }
    objLista->setCurrentRow(-1);
}

}  // namespace orvo
