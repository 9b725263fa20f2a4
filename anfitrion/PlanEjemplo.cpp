#include "PlanEjemplo.h"

namespace orvo::ejemplo {

namespace {

// Una cuenta de cuatro cifras sin descripción propia toma la de su cuenta de tres.
const CuentaPlan kCuentas[] = {
    {"1", "Financiación básica"},
    {"10", "Capital"},
    {"100", "Capital social"},
    {"1000", ""},
    {"11", "Reservas"},
    {"112", "Reserva legal"},
    {"1120", ""},
    {"113", "Reservas voluntarias"},
    {"1130", ""},
    {"12", "Resultados pendientes de aplicación"},
    {"129", "Pérdidas y ganancias"},
    {"1290", ""},
    {"17", "Deudas a largo plazo por préstamos recibidos y otros conceptos"},
    {"170", "Deudas a largo plazo con entidades de crédito"},
    {"1700", "Préstamos a largo plazo con entidades de crédito"},
    {"2", "Inmovilizado"},
    {"21", "Inmovilizaciones inmateriales"},
    {"215", "Aplicaciones informáticas"},
    {"2150", ""},
    {"22", "Inmovilizaciones materiales"},
    {"226", "Mobiliario"},
    {"2260", ""},
    {"227", "Equipos para procesos de información"},
    {"2270", ""},
    {"228", "Elementos de transporte"},
    {"2280", ""},
    {"28", "Amortización acumulada del inmovilizado"},
    {"281", "Amortización acumulada del inmovilizado inmaterial"},
    {"2815", "Amortización acumulada de aplicaciones informáticas"},
    {"282", "Amortización acumulada del inmovilizado material"},
    {"2826", "Amortización acumulada de mobiliario"},
    {"2827", "Amortización acumulada de equipos para procesos de información"},
    {"2828", "Amortización acumulada de elementos de transporte"},
    {"3", "Existencias"},
    {"30", "Comerciales"},
    {"300", "Mercaderías"},
    {"3000", ""},
    {"4", "Acreedores y deudores por operaciones de tráfico"},
    {"40", "Proveedores"},
    {"400", "Proveedores"},
    {"4000", "Proveedores (euros)"},
    {"41", "Acreedores varios"},
    {"410", "Acreedores por prestaciones de servicios"},
    {"4100", "Acreedores por prestaciones de servicios (euros)"},
    {"43", "Clientes"},
    {"430", "Clientes"},
    {"4300", "Clientes (euros)"},
    {"46", "Personal"},
    {"465", "Remuneraciones pendientes de pago"},
    {"4650", ""},
    {"47", "Administraciones públicas"},
    {"470", "Hacienda Pública, deudor por diversos conceptos"},
    {"4700", "Hacienda Pública, deudor por IVA"},
    {"472", "Hacienda Pública, IVA soportado"},
    {"4720", ""},
    {"473", "Hacienda Pública, retenciones y pagos a cuenta"},
    {"4730", ""},
    {"475", "Hacienda Pública, acreedor por conceptos fiscales"},
    {"4750", "Hacienda Pública, acreedor por IVA"},
    {"4751", "Hacienda Pública, acreedor por retenciones practicadas"},
    {"476", "Organismos de la Seguridad Social, acreedores"},
    {"4760", ""},
    {"477", "Hacienda Pública, IVA repercutido"},
    {"4770", ""},
    {"4779", "Hacienda Pública, recargo de equivalencia repercutido"},
    {"5", "Cuentas financieras"},
    {"52", "Deudas a corto plazo por préstamos recibidos y otros conceptos"},
    {"523", "Proveedores de inmovilizado a corto plazo"},
    {"5230", ""},
    {"57", "Tesorería"},
    {"570", "Caja, euros"},
    {"5700", ""},
    {"572", "Bancos e instituciones de crédito c/c vista, euros"},
    {"5720", ""},
    {"6", "Compras y gastos"},
    {"60", "Compras"},
    {"600", "Compras de mercaderías"},
    {"6000", ""},
    {"602", "Compras de otros aprovisionamientos"},
    {"6020", ""},
    {"61", "Variación de existencias"},
    {"610", "Variación de existencias de mercaderías"},
    {"6100", ""},
    {"62", "Servicios exteriores"},
    {"621", "Arrendamientos y cánones"},
    {"6210", ""},
    {"622", "Reparaciones y conservación"},
    {"6220", ""},
    {"623", "Servicios de profesionales independientes"},
    {"6230", ""},
    {"625", "Primas de seguros"},
    {"6250", ""},
    {"626", "Servicios bancarios y similares"},
    {"6260", ""},
    {"628", "Suministros"},
    {"6280", ""},
    {"629", "Otros servicios"},
    {"6290", ""},
    {"63", "Tributos"},
    {"631", "Otros tributos"},
    {"6310", ""},
    {"64", "Gastos de personal"},
    {"640", "Sueldos y salarios"},
    {"6400", ""},
    {"642", "Seguridad Social a cargo de la empresa"},
    {"6420", ""},
    {"66", "Gastos financieros"},
    {"662", "Intereses de deudas a largo plazo"},
    {"6620", ""},
    {"68", "Dotaciones para amortizaciones"},
    {"681", "Amortización del inmovilizado inmaterial"},
    {"6810", ""},
    {"682", "Amortización del inmovilizado material"},
    {"6820", ""},
    {"7", "Ventas e ingresos"},
    {"70", "Ventas de mercaderías, de producción propia, de servicios, etc."},
    {"700", "Ventas de mercaderías"},
    {"7000", ""},
    {"705", "Prestaciones de servicios"},
    {"7050", ""},
    {"76", "Ingresos financieros"},
    {"769", "Otros ingresos financieros"},
    {"7690", ""},
};

}  // namespace

const std::vector<CuentaPlan>& cuentasPlan() {
    static const std::vector<CuentaPlan> cuentas = [] {
        std::vector<CuentaPlan> v;
        QString tresCifras;
        for (const CuentaPlan& c : kCuentas) {
            if (c.codigo.size() == 3) tresCifras = c.descripcion;
            v.push_back({c.codigo, c.descripcion.isEmpty() ? tresCifras : c.descripcion});
        }
        return v;
    }();
    return cuentas;
}

const QStringList& cuentasDesglosadas() {
    static const QStringList desglosadas{"282", "400", "410", "430", "472", "477", "572"};
    return desglosadas;
}

}  // namespace orvo::ejemplo
