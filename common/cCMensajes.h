#pragma once

#include <QString>

namespace orvo {

// Todos los textos de mensaje y los títulos de informe que no son rótulos de control. El código
// los lee por lo que dicen; cada texto se escribe una sola vez, aquí.
class cCMensajes {
  public:
    QString errorListandoEmpresas() const {
        return QStringLiteral("¡Ocurrió un error mientras se listaban las empresas!");
    }
    QString faltaEmpresa() const {
        return QStringLiteral("¡Debe seleccionar una empresa de la lista!");
    }
    QString faltanDesgloses() const {
        return QStringLiteral("¡Debe introducir desgloses de subcuentas!");
    }
    QString faltanSubcuentas() const {
        return QStringLiteral("¡Debe introducir subcuenta inicial y subcuenta final!");
    }
    QString fechaInicialMayor() const {
        return QStringLiteral("¡No puede ser mayor la fecha inicial que la fecha final!");
    }
    QString faltaElemento() const { return QStringLiteral("¡Debe seleccionar algún elemento!"); }
    QString errorProducido() const { return QStringLiteral("¡Se ha producido el error "); }
    QString separadorDescripcion() const { return QStringLiteral(": "); }
    QString cierreExclamacion() const { return QStringLiteral("!"); }
    QString rotuloProcedimiento() const { return QStringLiteral("Procedimiento: "); }
    QString rotuloModulo() const { return QStringLiteral("Módulo: "); }
    QString rotuloComplemento() const { return QStringLiteral("Complemento: "); }
    QString sinEmpresas() const {
        return QStringLiteral("¡No existe ninguna empresa dada de alta en la base de datos!");
    }
    QString sinRegistros() const { return QStringLiteral("¡No se ha encontrado ningún registro!"); }
    QString elijaEmpresaParaInformes() const {
        return QStringLiteral(
            "Debe seleccionar una empresa para imprimir los informes de contabilidad.");
    }
    QString tituloBalanceSituacion() const {
        return QStringLiteral("Informe de balance de Situación");
    }
    QString tituloPerdidasYGanancias() const {
        return QStringLiteral("Informe de balance de Pérdidas y Ganancias");
    }
    QString faltanAsientos() const {
        return QStringLiteral("¡Debe introducir número inicial y final de asiento!");
    }
    QString tituloPresupuestos() const { return QStringLiteral("Informe de presupuestos"); }
    QString tituloPresupuestoAnual() const {
        return QStringLiteral("Informe de presupuesto anual");
    }
    QString sinEmpresaSeleccionada() const {
        return QStringLiteral("¡No existe ninguna empresa seleccionada!");
    }
    QString tituloBalanceSituacionComparativo() const {
        return QStringLiteral("Informe de balance de Situación comparativo");
    }
    QString tituloPerdidasYGananciasComparativo() const {
        return QStringLiteral("Informe de balance de Pérdidas y Ganancias comparativo");
    }
    QString faltaEmpresaOrigen() const {
        return QStringLiteral("¡Debe seleccionar una empresa de origen de la lista!");
    }
    QString faltaEmpresaDestino() const {
        return QStringLiteral("¡Debe seleccionar una empresa de destino de la lista!");
    }
    QString perdidasYGananciasSinEpigrafe() const {
        return QStringLiteral(
            "¡La cuenta de pérdidas y ganancias no existe o bien no está asignada a ningún "
            "epígrafe del balance de situación de la empresa '");
    }
    QString faltaTipoDocumento() const {
        return QStringLiteral(
            "¡Debe marcar un tipo de documento para imprimir el listado de epígrafes!");
    }
    QString tituloIvaEmitidas() const { return QStringLiteral("Libro de IVA (facturas emitidas)"); }
    QString tituloIvaRecibidas() const {
        return QStringLiteral("Libro de IVA (facturas recibidas)");
    }
    QString argumentoNoEsRotulo() const {
        return QStringLiteral(
            "¡El objeto pasado como primer argumento de la función debe ser un control 'Label'!");
    }
    QString argumentoNoEsPestana() const {
        return QStringLiteral(
            "¡El objeto pasado como segundo argumento de la función debe ser una pestaña de un "
            "control 'TabStrip'!");
    }
    QString faltanDatosCampo() const {
        return QStringLiteral("¡Debe introducir datos en el campo '");
    }
    QString dePestana() const { return QStringLiteral("' de la pestaña '"); }
    QString cierreNombre() const { return QStringLiteral("'!"); }

    // El catálogo por clave (Mensaje01 a Mensaje130) es la interfaz que el componente ofrece y
    // que guardan los datos; cada clave devuelve el texto con nombre. La 13 repite la 5.
    QString Mensaje01() const { return errorListandoEmpresas(); }
    QString Mensaje02() const { return faltaEmpresa(); }
    QString Mensaje03() const { return faltanDesgloses(); }
    QString Mensaje04() const { return faltanSubcuentas(); }
    QString Mensaje05() const { return fechaInicialMayor(); }
    QString Mensaje06() const { return faltaElemento(); }
    QString Mensaje07() const { return errorProducido(); }
    QString Mensaje08() const { return separadorDescripcion(); }
    QString Mensaje09() const { return cierreExclamacion(); }
    QString Mensaje10() const { return rotuloProcedimiento(); }
    QString Mensaje11() const { return rotuloModulo(); }
    QString Mensaje12() const { return rotuloComplemento(); }
    QString Mensaje13() const { return fechaInicialMayor(); }
    QString Mensaje14() const { return sinEmpresas(); }
    QString Mensaje15() const { return sinRegistros(); }
    QString Mensaje16() const { return elijaEmpresaParaInformes(); }
    QString Mensaje17() const { return tituloBalanceSituacion(); }
    QString Mensaje18() const { return tituloPerdidasYGanancias(); }
    QString Mensaje19() const { return faltanAsientos(); }
    QString Mensaje20() const { return tituloPresupuestos(); }
    QString Mensaje21() const { return tituloPresupuestoAnual(); }
    QString Mensaje22() const { return sinEmpresaSeleccionada(); }
    QString Mensaje23() const { return tituloBalanceSituacionComparativo(); }
    QString Mensaje24() const { return tituloPerdidasYGananciasComparativo(); }
    QString Mensaje25() const { return faltaEmpresaOrigen(); }
    QString Mensaje26() const { return faltaEmpresaDestino(); }
    QString Mensaje27() const { return perdidasYGananciasSinEpigrafe(); }
    QString Mensaje28() const { return faltaTipoDocumento(); }
    QString Mensaje29() const { return tituloIvaEmitidas(); }
    QString Mensaje30() const { return tituloIvaRecibidas(); }
    QString Mensaje31() const { return argumentoNoEsRotulo(); }
    QString Mensaje32() const { return argumentoNoEsPestana(); }
    QString Mensaje33() const { return faltanDatosCampo(); }
    QString Mensaje34() const { return dePestana(); }
    QString Mensaje35() const { return cierreNombre(); }
    // Claves reservadas: el catálogo las exige y valen el texto vacío; nada las lee.
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
