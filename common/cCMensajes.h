#pragma once

#include <QString>

namespace orvo {

// Todos los textos de mensaje y los títulos de informe que no son rótulos de control.
// Las claves 36 a 130 están reservadas y valen el texto vacío.
class cCMensajes {
  public:
    QString Mensaje01() const {
        return QStringLiteral("¡Ocurrió un error mientras se listaban las empresas!");
    }
    QString Mensaje02() const {
        return QStringLiteral("¡Debe seleccionar una empresa de la lista!");
    }
    QString Mensaje03() const {
        return QStringLiteral("¡Debe introducir desgloses de subcuentas!");
    }
    QString Mensaje04() const {
        return QStringLiteral("¡Debe introducir subcuenta inicial y subcuenta final!");
    }
    QString Mensaje05() const {
        return QStringLiteral("¡No puede ser mayor la fecha inicial que la fecha final!");
    }
    QString Mensaje06() const { return QStringLiteral("¡Debe seleccionar algún elemento!"); }
    QString Mensaje07() const { return QStringLiteral("¡Se ha producido el error "); }
    QString Mensaje08() const { return QStringLiteral(": "); }
    QString Mensaje09() const { return QStringLiteral("!"); }
    QString Mensaje10() const { return QStringLiteral("Procedimiento: "); }
    QString Mensaje11() const { return QStringLiteral("Módulo: "); }
    QString Mensaje12() const { return QStringLiteral("Complemento: "); }
    QString Mensaje13() const {
        return QStringLiteral("¡No puede ser mayor la fecha inicial que la fecha final!");
    }
    QString Mensaje14() const {
        return QStringLiteral("¡No existe ninguna empresa dada de alta en la base de datos!");
    }
    QString Mensaje15() const { return QStringLiteral("¡No se ha encontrado ningún registro!"); }
    QString Mensaje16() const {
        return QStringLiteral(
            "Debe seleccionar una empresa para imprimir los informes de contabilidad.");
    }
    QString Mensaje17() const { return QStringLiteral("Informe de balance de Situación"); }
    QString Mensaje18() const {
        return QStringLiteral("Informe de balance de Pérdidas y Ganancias");
    }
    QString Mensaje19() const {
        return QStringLiteral("¡Debe introducir número inicial y final de asiento!");
    }
    QString Mensaje20() const { return QStringLiteral("Informe de presupuestos"); }
    QString Mensaje21() const { return QStringLiteral("Informe de presupuesto anual"); }
    QString Mensaje22() const { return QStringLiteral("¡No existe ninguna empresa seleccionada!"); }
    QString Mensaje23() const {
        return QStringLiteral("Informe de balance de Situación comparativo");
    }
    QString Mensaje24() const {
        return QStringLiteral("Informe de balance de Pérdidas y Ganancias comparativo");
    }
    QString Mensaje25() const {
        return QStringLiteral("¡Debe seleccionar una empresa de origen de la lista!");
    }
    QString Mensaje26() const {
        return QStringLiteral("¡Debe seleccionar una empresa de destino de la lista!");
    }
    QString Mensaje27() const {
        return QStringLiteral(
            "¡La cuenta de pérdidas y ganancias no existe o bien no está asignada a ningún "
            "epígrafe del balance de situación de la empresa '");
    }
    QString Mensaje28() const {
        return QStringLiteral(
            "¡Debe marcar un tipo de documento para imprimir el listado de epígrafes!");
    }
    QString Mensaje29() const { return QStringLiteral("Libro de IVA (facturas emitidas)"); }
    QString Mensaje30() const { return QStringLiteral("Libro de IVA (facturas recibidas)"); }
    QString Mensaje31() const {
        return QStringLiteral(
            "¡El objeto pasado como primer argumento de la función debe ser un control 'Label'!");
    }
    QString Mensaje32() const {
        return QStringLiteral(
            "¡El objeto pasado como segundo argumento de la función debe ser una pestaña de un "
            "control 'TabStrip'!");
    }
    QString Mensaje33() const { return QStringLiteral("¡Debe introducir datos en el campo '"); }
    QString Mensaje34() const { return QStringLiteral("' de la pestaña '"); }
    QString Mensaje35() const { return QStringLiteral("'!"); }
    QString Mensaje36() const { return {}; }
    QString Mensaje37() const { return {}; }
    QString Mensaje38() const { return {}; }
    QString Mensaje39() const { return {}; }
    QString Mensaje40() const { return {}; }
    QString Mensaje41() const { return {}; }
    QString Mensaje42() const { return {}; }
    QString Mensaje43() const { return {}; }
    QString Mensaje44() const { return {}; }
    QString Mensaje45() const { return {}; }
    QString Mensaje46() const { return {}; }
    QString Mensaje47() const { return {}; }
    QString Mensaje48() const { return {}; }
    QString Mensaje49() const { return {}; }
    QString Mensaje50() const { return {}; }
    QString Mensaje51() const { return {}; }
    QString Mensaje52() const { return {}; }
    QString Mensaje53() const { return {}; }
    QString Mensaje54() const { return {}; }
    QString Mensaje55() const { return {}; }
    QString Mensaje56() const { return {}; }
    QString Mensaje57() const { return {}; }
    QString Mensaje58() const { return {}; }
    QString Mensaje59() const { return {}; }
    QString Mensaje60() const { return {}; }
    QString Mensaje61() const { return {}; }
    QString Mensaje62() const { return {}; }
    QString Mensaje63() const { return {}; }
    QString Mensaje64() const { return {}; }
    QString Mensaje65() const { return {}; }
    QString Mensaje66() const { return {}; }
    QString Mensaje67() const { return {}; }
    QString Mensaje68() const { return {}; }
    QString Mensaje69() const { return {}; }
    QString Mensaje70() const { return {}; }
    QString Mensaje71() const { return {}; }
    QString Mensaje72() const { return {}; }
    QString Mensaje73() const { return {}; }
    QString Mensaje74() const { return {}; }
    QString Mensaje75() const { return {}; }
    QString Mensaje76() const { return {}; }
    QString Mensaje77() const { return {}; }
    QString Mensaje78() const { return {}; }
    QString Mensaje79() const { return {}; }
    QString Mensaje80() const { return {}; }
    QString Mensaje81() const { return {}; }
    QString Mensaje82() const { return {}; }
    QString Mensaje83() const { return {}; }
    QString Mensaje84() const { return {}; }
    QString Mensaje85() const { return {}; }
    QString Mensaje86() const { return {}; }
    QString Mensaje87() const { return {}; }
    QString Mensaje88() const { return {}; }
    QString Mensaje89() const { return {}; }
    QString Mensaje90() const { return {}; }
    QString Mensaje91() const { return {}; }
    QString Mensaje92() const { return {}; }
    QString Mensaje93() const { return {}; }
    QString Mensaje94() const { return {}; }
    QString Mensaje95() const { return {}; }
    QString Mensaje96() const { return {}; }
    QString Mensaje97() const { return {}; }
    QString Mensaje98() const { return {}; }
    QString Mensaje99() const { return {}; }
    QString Mensaje100() const { return {}; }
    QString Mensaje101() const { return {}; }
    QString Mensaje102() const { return {}; }
    QString Mensaje103() const { return {}; }
    QString Mensaje104() const { return {}; }
    QString Mensaje105() const { return {}; }
    QString Mensaje106() const { return {}; }
    QString Mensaje107() const { return {}; }
    QString Mensaje108() const { return {}; }
    QString Mensaje109() const { return {}; }
    QString Mensaje110() const { return {}; }
    QString Mensaje111() const { return {}; }
    QString Mensaje112() const { return {}; }
    QString Mensaje113() const { return {}; }
    QString Mensaje114() const { return {}; }
    QString Mensaje115() const { return {}; }
    QString Mensaje116() const { return {}; }
    QString Mensaje117() const { return {}; }
    QString Mensaje118() const { return {}; }
    QString Mensaje119() const { return {}; }
    QString Mensaje120() const { return {}; }
    QString Mensaje121() const { return {}; }
    QString Mensaje122() const { return {}; }
    QString Mensaje123() const { return {}; }
    QString Mensaje124() const { return {}; }
    QString Mensaje125() const { return {}; }
    QString Mensaje126() const { return {}; }
    QString Mensaje127() const { return {}; }
    QString Mensaje128() const { return {}; }
    QString Mensaje129() const { return {}; }
    QString Mensaje130() const { return {}; }
};

}  // namespace orvo
