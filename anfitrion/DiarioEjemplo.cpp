#include "DiarioEjemplo.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace orvo::ejemplo {

namespace {

ApunteEjemplo apunte(const QString& cuenta, const QString& concepto, Moneda debe, Moneda haber) {
    ApunteEjemplo ap;
    ap.subcuenta = cuenta;
    ap.concepto = concepto;
    ap.debe = debe;
    ap.haber = haber;
    return ap;
}

Moneda centimos(std::int64_t c) {
    return Moneda::deDiezmilesimas(c * 100);
}
std::int64_t enCentimos(Moneda m) {
    return m.diezmilesimas() / 100;
}

// Porcentaje en décimas (52 = 5,2 %) de un importe, redondeado al céntimo lejos de cero.
Moneda porcentaje(Moneda importe, int decimas) {
    const std::int64_t c = enCentimos(importe) * decimas;
    return centimos((c >= 0 ? c + 500 : c - 500) / 1000);
}

QString textoDecimas(int decimas) {
    return decimas % 10 == 0 ? QString::number(decimas / 10)
                             : QStringLiteral("%1,%2").arg(decimas / 10).arg(decimas % 10);
}

// Recargo de equivalencia que acompaña a cada tipo de IVA, en décimas.
int recargoDe(int iva) {
    switch (iva) {
        case 21:
            return 52;
        case 10:
            return 14;
        default:
            return 5;
    }
}

QString cuentaIva(const QString& raiz, int iva) {
    return raiz + QStringLiteral("00") + (iva < 10 ? QStringLiteral("0") : QString()) +
           QString::number(iva);
}

// Generador congruencial fijo: la misma serie en cualquier máquina y compilador.
class Azar {
  public:
    explicit Azar(std::uint32_t semilla) : s_(semilla) {}
    int entre(int minimo, int maximo) {
        s_ = s_ * 1103515245u + 12345u;
        return minimo +
               static_cast<int>((s_ >> 8) % static_cast<std::uint32_t>(maximo - minimo + 1));
    }

  private:
    std::uint32_t s_;
};

struct Cliente {
    QString cuenta;
    std::vector<int> tipos;  // tipos de IVA de lo que compra
    bool recargo;
    int minimo, maximo;  // base por tipo, en euros
    QString banco;
    int facturasMes;
    QString venta;  // cuenta de ingresos
};

struct Proveedor {
    QString cuenta;
    QString gasto;
    int iva;
    int minimo, maximo;
    QString concepto;
};

// Servicio que se factura todos los meses (o cada trimestre) por el mismo importe.
struct Servicio {
    QString acreedor;
    QString gasto;
    QString concepto;
    std::int64_t base;  // céntimos
    int iva;
    int retencion;  // % de IRPF retenido; 0 sin retención
    int dia;
    bool trimestral;
};

struct Perfil {
    QString serie;  // prefijo de las facturas emitidas
    std::vector<Cliente> clientes;
    std::vector<Proveedor> proveedores;
    std::vector<Servicio> servicios;
    std::int64_t sueldos;  // bruto mensual, céntimos
    std::int64_t cuotaPrestamo;
    int interesPrestamoMilesimas;  // interés anual en milésimas de tanto por uno (45 = 4,5 %)
    std::int64_t seguro, tributos;
    std::map<QString, int> amortizacion;  // cuenta de inmovilizado -> % anual
    int existenciaFinalPorMil;            // existencias finales sobre las iniciales
};

const std::map<QString, QString> kAmortizacionAcumulada{
    {"2060000", "2806000"}, {"2160000", "2816000"}, {"2170000", "2817000"}, {"2180000", "2818000"}};

// Lleva los asientos de un ejercicio y los saldos de cada subcuenta mientras se generan.
class Diario {
  public:
    Diario(EmpresaEjemplo& empresa, std::uint32_t semilla) : e_(empresa), azar_(semilla) {}

    AsientoEjemplo& nuevo(QDate fecha) {
        if (fecha < e_.inicio || fecha > e_.fin)
            throw std::logic_error("asiento de ejemplo fuera del ejercicio");
        e_.asientos.push_back({fecha, {}});
        return e_.asientos.back();
    }
    static ApunteEjemplo& cargo(AsientoEjemplo& a, const QString& cuenta, const QString& concepto,
                                Moneda importe) {
        a.apuntes.push_back(apunte(cuenta, concepto, importe, {}));
        return a.apuntes.back();
    }
    static ApunteEjemplo& abono(AsientoEjemplo& a, const QString& cuenta, const QString& concepto,
                                Moneda importe) {
        a.apuntes.push_back(apunte(cuenta, concepto, {}, importe));
        return a.apuntes.back();
    }
    // Pasa a pesetas y cuadra las pesetas: la conversión línea a línea puede dejar alguna
    // peseta de diferencia, que se reparte de una en una entre los apuntes mayores del lado
    // con más apuntes, así ninguno se aparta más de una peseta de su cambio.
    void cerrar(AsientoEjemplo& a) {
        Moneda debe, haber, debePts, haberPts;
        for (ApunteEjemplo& ap : a.apuntes) {
            ap.debePts = pesetasDeEuros(ap.debe);
            ap.haberPts = pesetasDeEuros(ap.haber);
            if (ap.base) ap.basePts = pesetasDeEuros(*ap.base);
            debe += ap.debe;
            haber += ap.haber;
            debePts += ap.debePts;
            haberPts += ap.haberPts;
        }
        if (debe != haber) throw std::logic_error("asiento de ejemplo descuadrado");
        std::vector<ApunteEjemplo*> deudores, acreedores;
        for (ApunteEjemplo& ap : a.apuntes)
            (ap.debe.esCero() ? acreedores : deudores).push_back(&ap);
        const bool alHaber = acreedores.size() >= deudores.size();
        std::vector<ApunteEjemplo*>& lado = alHaber ? acreedores : deudores;
        std::stable_sort(lado.begin(), lado.end(),
                         [](const ApunteEjemplo* x, const ApunteEjemplo* y) {
                             return std::max(x->debe, x->haber) > std::max(y->debe, y->haber);
                         });
        // Pesetas que hay que sumar al lado elegido (negativo: restar).
        std::int64_t pesetas = (alHaber ? debePts - haberPts : haberPts - debePts).truncado();
        for (std::size_t i = 0; pesetas != 0 && !lado.empty(); ++i) {
            Moneda& destino =
                alHaber ? lado[i % lado.size()]->haberPts : lado[i % lado.size()]->debePts;
            const std::int64_t paso = pesetas > 0 ? 1 : -1;
            destino += Moneda::deEntero(paso);
            pesetas -= paso;
        }
        for (const ApunteEjemplo& ap : a.apuntes) saldos_[ap.subcuenta] += ap.debe - ap.haber;
    }
    Moneda saldo(const QString& cuenta) const {
        const auto s = saldos_.find(cuenta);
        return s == saldos_.end() ? Moneda() : s->second;
    }
    const std::map<QString, Moneda>& saldos() const { return saldos_; }
    int entre(int a, int b) { return azar_.entre(a, b); }

    // Asiento de apertura con los saldos dados (deudores al debe, acreedores al haber).
    void apertura(const std::map<QString, Moneda>& saldos) {
        AsientoEjemplo& a = nuevo(e_.inicio);
        const QString concepto = QStringLiteral("Asiento de apertura");
        for (const auto& [cuenta, saldo] : saldos) {
            if (saldo > Moneda())
                cargo(a, cuenta, concepto, saldo);
            else if (saldo < Moneda())
                abono(a, cuenta, concepto, -saldo);
        }
        cerrar(a);
    }

    // Factura emitida: un apunte de IVA por tipo, con los datos que lee el libro de IVA; el
    // recargo de equivalencia va a su propia cuenta sin número de factura.
    void facturaEmitida(QDate fecha, const QString& factura, const Cliente& c,
                        const std::vector<std::pair<int, Moneda>>& bases) {
        AsientoEjemplo& a = nuevo(fecha);
        const QString concepto = QStringLiteral("Nuestra factura %1").arg(factura);
        Moneda total, totalBase;
        std::vector<ApunteEjemplo> impuestos;
        for (const auto& [iva, base] : bases) {
            const Moneda cuota = porcentaje(base, iva * 10);
            ApunteEjemplo ap = apunte(cuentaIva(QStringLiteral("477"), iva), concepto, {}, cuota);
            ap.factura = factura;
            ap.contrapartida = c.cuenta;
            ap.iva = QString::number(iva);
            if (c.recargo) ap.recargo = textoDecimas(recargoDe(iva));
            ap.base = base;
            impuestos.push_back(ap);
            total += base + cuota;
            totalBase += base;
            if (c.recargo) {
                const Moneda r = porcentaje(base, recargoDe(iva));
                impuestos.push_back(apunte(QStringLiteral("4779000"), concepto, {}, r));
                total += r;
            }
        }
        cargo(a, c.cuenta, concepto, total);
        abono(a, c.venta, concepto, totalBase);
        for (ApunteEjemplo& ap : impuestos) a.apuntes.push_back(ap);
        cerrar(a);
    }

    // Factura recibida: gasto, IVA soportado (con los datos de factura) y, si la hay, la
    // retención de IRPF que se ingresa después en Hacienda.
    void facturaRecibida(QDate fecha, const QString& factura, const QString& acreedor,
                         const QString& gasto, const QString& concepto, Moneda base, int iva,
                         int retencion) {
        AsientoEjemplo& a = nuevo(fecha);
        const QString texto = QStringLiteral("%1, fra. %2").arg(concepto, factura);
        const Moneda cuota = porcentaje(base, iva * 10);
        const Moneda irpf = porcentaje(base, retencion * 10);
        cargo(a, gasto, texto, base);
        ApunteEjemplo& ap = cargo(a, cuentaIva(QStringLiteral("472"), iva), texto, cuota);
        ap.factura = factura;
        ap.contrapartida = acreedor;
        ap.iva = QString::number(iva);
        ap.base = base;
        if (retencion > 0) abono(a, QStringLiteral("4751000"), texto, irpf);
        abono(a, acreedor, texto, base + cuota - irpf);
        cerrar(a);
    }

    // Cobro o pago de todo lo pendiente de una subcuenta contra un banco.
    void liquidarSaldo(QDate fecha, const QString& cuenta, const QString& banco,
                       const QString& concepto) {
        const Moneda s = saldo(cuenta);
        if (s.esCero()) return;
        AsientoEjemplo& a = nuevo(fecha);
        if (s > Moneda()) {
            cargo(a, banco, concepto, s);
            abono(a, cuenta, concepto, s);
        } else {
            cargo(a, cuenta, concepto, -s);
            abono(a, banco, concepto, -s);
        }
        cerrar(a);
    }

    void movimiento(QDate fecha, const QString& debe, const QString& haber, const QString& concepto,
                    Moneda importe) {
        if (importe.esCero()) return;
        AsientoEjemplo& a = nuevo(fecha);
        cargo(a, debe, concepto, importe);
        abono(a, haber, concepto, importe);
        cerrar(a);
    }

    // Liquidación trimestral del IVA: salda las cuentas de IVA repercutido (y el recargo)
    // contra las de IVA soportado y la cuota a compensar; la diferencia queda a pagar (4750)
    // o a compensar (4700).
    void liquidacionIva(QDate fecha, int trimestre) {
        AsientoEjemplo& a = nuevo(fecha);
        const QString concepto =
            QStringLiteral("Liquidación de IVA, %1.º trimestre").arg(trimestre);
        Moneda neto;
        for (const auto& [cuenta, s] : saldos_) {
            if (s.esCero()) continue;
            const bool repercutido = cuenta.startsWith(QStringLiteral("477"));
            if (!repercutido && !cuenta.startsWith(QStringLiteral("472")) &&
                cuenta != QStringLiteral("4700000"))
                continue;
            if (s > Moneda())
                abono(a, cuenta, concepto, s);
            else
                cargo(a, cuenta, concepto, -s);
            neto -= s;
        }
        if (neto > Moneda())
            abono(a, QStringLiteral("4750000"), concepto, neto);
        else if (neto < Moneda())
            cargo(a, QStringLiteral("4700000"), concepto, -neto);
        if (a.apuntes.empty())
            e_.asientos.pop_back();
        else
            cerrar(a);
    }

    void nomina(QDate fecha, Moneda bruto, const QString& banco) {
        AsientoEjemplo& a = nuevo(fecha);
        const QString mes = QStringLiteral("Nómina de %1").arg(nombreMes(fecha));
        const Moneda ssEmpresa = porcentaje(bruto, 314);
        const Moneda ssTrabajador = porcentaje(bruto, 65);
        const Moneda irpf = porcentaje(bruto, 150);
        const Moneda liquido = bruto - ssTrabajador - irpf;
        cargo(a, QStringLiteral("6400000"), mes, bruto);
        cargo(a, QStringLiteral("6420000"), mes, ssEmpresa);
        abono(a, QStringLiteral("4751000"), mes, irpf);
        abono(a, QStringLiteral("4760000"), mes, ssEmpresa + ssTrabajador);
        abono(a, QStringLiteral("4650000"), mes, liquido);
        cerrar(a);
        movimiento(fecha, QStringLiteral("4650000"), banco,
                   QStringLiteral("Pago de la nómina de %1").arg(nombreMes(fecha)), liquido);
    }

    static QString nombreMes(QDate fecha) {
        static const char* meses[] = {"enero",      "febrero", "marzo",     "abril",
                                      "mayo",       "junio",   "julio",     "agosto",
                                      "septiembre", "octubre", "noviembre", "diciembre"};
        return QString::fromUtf8(meses[fecha.month() - 1]) + QStringLiteral(" de ") +
               QString::number(fecha.year());
    }

  private:
    EmpresaEjemplo& e_;
    Azar azar_;
    std::map<QString, Moneda> saldos_;
};

// Las facturas emitidas llevan números correlativos por fecha, en una serie por año natural
// ("A23/0001"); el concepto de sus apuntes repite el número.
void numerarFacturasEmitidas(EmpresaEjemplo& e, const QString& serie) {
    int ano = 0, numero = 0;
    for (AsientoEjemplo& a : e.asientos) {
        const auto iva =
            std::find_if(a.apuntes.begin(), a.apuntes.end(), [](const ApunteEjemplo& ap) {
                return ap.subcuenta.startsWith(QStringLiteral("477")) && !ap.factura.isEmpty();
            });
        if (iva == a.apuntes.end()) continue;
        if (a.fecha.year() != ano) {
            ano = a.fecha.year();
            numero = 0;
        }
        const QString provisional = iva->factura;
        const QString definitivo = QStringLiteral("%1%2/%3")
                                       .arg(serie)
                                       .arg(ano % 100, 2, 10, QLatin1Char('0'))
                                       .arg(++numero, 4, 10, QLatin1Char('0'));
        for (ApunteEjemplo& ap : a.apuntes) {
            if (ap.factura == provisional) ap.factura = definitivo;
            ap.concepto.replace(provisional, definitivo);
        }
    }
}

QDate ultimoDia(QDate mes) {
    return QDate(mes.year(), mes.month(), mes.daysInMonth());
}

// Un ejercicio completo según el perfil de la empresa, a partir de los saldos de apertura.
void generarEjercicio(EmpresaEjemplo& e, const Perfil& p, const std::map<QString, Moneda>& apertura,
                      std::uint32_t semilla) {
    Diario d(e, semilla);
    d.apertura(apertura);
    const QString banco = QStringLiteral("5720001");
    const Moneda existenciasIniciales = d.saldo(QStringLiteral("3000000"));
    int numeroFactura = 0;
    std::map<QString, int> facturasProveedor;
    for (int k = 0; k < 12; ++k) {
        const QDate mes = e.inicio.addMonths(k);
        const QDate fin = ultimoDia(mes);
        const int m = mes.month();
        auto dia = [&](int n) { return QDate(mes.year(), m, std::min(n, mes.daysInMonth())); };

        // Lo pendiente a final del mes anterior se cobra y se paga a primeros.
        for (const Cliente& c : p.clientes)
            d.liquidarSaldo(dia(d.entre(5, 12)), c.cuenta, c.banco,
                            QStringLiteral("Cobro de facturas pendientes"));
        for (const auto& [cuenta, s] : std::map<QString, Moneda>(d.saldos())) {
            if (cuenta.startsWith(QStringLiteral("400")) ||
                cuenta.startsWith(QStringLiteral("410")) ||
                cuenta.startsWith(QStringLiteral("523")))
                d.liquidarSaldo(dia(d.entre(8, 15)), cuenta, banco,
                                QStringLiteral("Pago de facturas pendientes"));
        }
        d.liquidarSaldo(dia(25), QStringLiteral("4760000"), banco,
                        QStringLiteral("Seguros sociales del mes anterior"));
        if (m % 3 == 1) {
            d.liquidarSaldo(dia(20), QStringLiteral("4750000"), banco,
                            QStringLiteral("Ingreso de la liquidación de IVA"));
            d.liquidarSaldo(dia(20), QStringLiteral("4751000"), banco,
                            QStringLiteral("Ingreso de retenciones de IRPF"));
        }
        d.movimiento(dia(1), QStringLiteral("5700000"), banco,
                     QStringLiteral("Provisión de fondos a caja"), centimos(30000));
        d.movimiento(dia(d.entre(10, 28)), QStringLiteral("6290000"), QStringLiteral("5700000"),
                     QStringLiteral("Gastos de viaje y locomoción"),
                     centimos(d.entre(120, 290) * 100));

        for (const Cliente& c : p.clientes) {
            for (int f = 0; f < c.facturasMes; ++f) {
                std::vector<std::pair<int, Moneda>> bases;
                for (int iva : c.tipos)
                    bases.push_back(
                        {iva, centimos(d.entre(c.minimo, c.maximo) * 100 + d.entre(0, 99))});
                // Número provisional: se numeran por fecha al terminar el ejercicio.
                const QString factura = QStringLiteral("#%1#").arg(++numeroFactura);
                d.facturaEmitida(dia(d.entre(2, 27)), factura, c, bases);
            }
        }
        for (const Proveedor& pr : p.proveedores) {
            // Cada proveedor lleva su serie: las facturas de uno siguen a las que hizo a otros.
            const int n = ++facturasProveedor[pr.cuenta] + 37 * pr.cuenta.right(2).toInt() * k;
            const QString factura =
                QStringLiteral("%1-%2").arg(mes.year()).arg(100 + n, 5, 10, QLatin1Char('0'));
            d.facturaRecibida(dia(d.entre(3, 26)), factura, pr.cuenta, pr.gasto, pr.concepto,
                              centimos(d.entre(pr.minimo, pr.maximo) * 100 + d.entre(0, 99)),
                              pr.iva, 0);
        }
        for (const Servicio& s : p.servicios) {
            if (s.trimestral && m % 3 != 0) continue;
            const int n = ++facturasProveedor[s.acreedor];
            d.facturaRecibida(dia(s.dia), QStringLiteral("%1/%2").arg(n).arg(mes.year()),
                              s.acreedor, s.gasto, s.concepto, centimos(s.base), s.iva,
                              s.retencion);
        }
        // Un ordenador nuevo en mayo: factura de un proveedor de inmovilizado.
        if (m == 5) {
            d.facturaRecibida(dia(16), QStringLiteral("INF-%1/118").arg(mes.year()),
                              QStringLiteral("5230001"), QStringLiteral("2170000"),
                              QStringLiteral("Equipo informático"), centimos(245000), 21, 0);
        }

        d.nomina(fin, centimos(p.sueldos), banco);
        for (const auto& [cuenta, tanto] : p.amortizacion) {
            const Moneda cuota = porcentaje(d.saldo(cuenta), tanto * 10);
            d.movimiento(fin,
                         cuenta.startsWith(QStringLiteral("20")) ? QStringLiteral("6800000")
                                                                 : QStringLiteral("6810000"),
                         kAmortizacionAcumulada.at(cuenta),
                         QStringLiteral("Amortización de %1").arg(Diario::nombreMes(mes)),
                         centimos((enCentimos(cuota) + 6) / 12));
        }
        const Moneda intereses =
            porcentaje(-d.saldo(QStringLiteral("1700001")), p.interesPrestamoMilesimas);
        {
            AsientoEjemplo& a = d.nuevo(dia(1));
            const QString concepto =
                QStringLiteral("Cuota del préstamo, %1").arg(Diario::nombreMes(mes));
            const Moneda interesMes = centimos(enCentimos(intereses) / 12);
            Diario::cargo(a, QStringLiteral("1700001"), concepto,
                          centimos(p.cuotaPrestamo) - interesMes);
            Diario::cargo(a, QStringLiteral("6620000"), concepto, interesMes);
            Diario::abono(a, banco, concepto, centimos(p.cuotaPrestamo));
            d.cerrar(a);
        }
        d.movimiento(fin, QStringLiteral("6260000"), banco,
                     QStringLiteral("Comisiones de mantenimiento"), centimos(d.entre(1500, 4500)));
        if (m == 3)
            d.movimiento(dia(15), QStringLiteral("6250000"), banco,
                         QStringLiteral("Seguro multirriesgo anual"), centimos(p.seguro));
        if (m == 10)
            d.movimiento(dia(10), QStringLiteral("6310000"), banco,
                         QStringLiteral("Impuesto de actividades económicas e IBI"),
                         centimos(p.tributos));
        if (m % 3 == 0) {
            // Intereses de la cuenta con su retención del 19 %.
            AsientoEjemplo& a = d.nuevo(fin);
            const QString concepto = QStringLiteral("Liquidación de intereses de la cuenta");
            const Moneda bruto = centimos(d.entre(2000, 9000));
            const Moneda retencion = porcentaje(bruto, 190);
            Diario::cargo(a, banco, concepto, bruto - retencion);
            Diario::cargo(a, QStringLiteral("4730000"), concepto, retencion);
            Diario::abono(a, QStringLiteral("7690000"), concepto, bruto);
            d.cerrar(a);
            d.liquidacionIva(fin, (m + 2) / 3);
        }
        if (k == 11) {
            const QString concepto = QStringLiteral("Regularización de existencias");
            d.movimiento(fin, QStringLiteral("6100000"), QStringLiteral("3000000"), concepto,
                         existenciasIniciales);
            d.movimiento(
                fin, QStringLiteral("3000000"), QStringLiteral("6100000"), concepto,
                centimos(enCentimos(existenciasIniciales) * p.existenciaFinalPorMil / 1000));
        }
    }
    std::stable_sort(
        e.asientos.begin(), e.asientos.end(),
        [](const AsientoEjemplo& a, const AsientoEjemplo& b) { return a.fecha < b.fecha; });
    numerarFacturasEmitidas(e, p.serie);
}

// Presupuesto de cada subcuenta de gastos e ingresos: lo previsto para el mes, redondeado a la
// decena de euros. Como un presupuesto que cuenta con ganar dinero, prevé los ingresos hasta
// un 8 % por encima de lo real y los gastos entre un 7 % por debajo y un 2 % por encima.
void presupuestar(EmpresaEjemplo& e, std::uint32_t semilla) {
    Azar azar(semilla);
    std::map<QString, ImportesMes> real;
    for (const AsientoEjemplo& a : e.asientos)
        for (const ApunteEjemplo& ap : a.apuntes) {
            if (!ap.subcuenta.startsWith(u'6') && !ap.subcuenta.startsWith(u'7')) continue;
            if (ap.subcuenta.startsWith(QStringLiteral("610"))) continue;
            const Moneda importe =
                ap.subcuenta.startsWith(u'6') ? ap.debe - ap.haber : ap.haber - ap.debe;
            real[ap.subcuenta][a.fecha.month() - 1] += importe;
        }
    for (const auto& [cuenta, meses] : real) {
        ImportesMes& p = e.presupuesto[cuenta];
        for (int i = 0; i < 12; ++i) {
            const int porMil =
                cuenta.startsWith(u'7') ? azar.entre(1000, 1080) : azar.entre(930, 1020);
            const std::int64_t c = enCentimos(meses[i]) * porMil / 1000;
            p[i] = centimos((c + 500) / 1000 * 1000);
        }
    }
}

const std::vector<SubcuentaPlan> kComunes = {
    {"1000000", "Capital social", ""},
    {"1120000", "Reserva legal", ""},
    {"1130000", "Reservas voluntarias", ""},
    {"1290000", "Pérdidas y ganancias", ""},
    {"2060000", "Aplicaciones informáticas", ""},
    {"2160000", "Mobiliario", ""},
    {"2170000", "Equipos para procesos de información", ""},
    {"2180000", "Elementos de transporte", ""},
    {"2806000", "Amortización acumulada de aplicaciones informáticas", ""},
    {"2816000", "Amortización acumulada de mobiliario", ""},
    {"2817000", "Amortización acumulada de equipos informáticos", ""},
    {"2818000", "Amortización acumulada de elementos de transporte", ""},
    {"3000000", "Mercaderías", ""},
    {"4650000", "Remuneraciones pendientes de pago", ""},
    {"4700000", "Hacienda Pública, deudora por IVA", ""},
    {"4720004", "IVA soportado 4 %", ""},
    {"4720010", "IVA soportado 10 %", ""},
    {"4720021", "IVA soportado 21 %", ""},
    {"4730000", "Retenciones sobre intereses bancarios", ""},
    {"4750000", "Hacienda Pública, acreedora por IVA", ""},
    {"4751000", "Hacienda Pública, acreedora por retenciones de IRPF", ""},
    {"4760000", "Seguridad Social, acreedora", ""},
    {"4770004", "IVA repercutido 4 %", ""},
    {"4770010", "IVA repercutido 10 %", ""},
    {"4770021", "IVA repercutido 21 %", ""},
    {"4779000", "Recargo de equivalencia repercutido", ""},
    {"5700000", "Caja", ""},
    {"6000000", "Compras de mercaderías", ""},
    {"6020000", "Compras de envases y embalajes", ""},
    {"6100000", "Variación de existencias de mercaderías", ""},
    {"6210000", "Arrendamiento del local", ""},
    {"6220000", "Reparaciones y conservación", ""},
    {"6230000", "Asesoría fiscal y laboral", ""},
    {"6250000", "Primas de seguros", ""},
    {"6260000", "Comisiones bancarias", ""},
    {"6280000", "Suministros: electricidad y agua", ""},
    {"6290000", "Otros servicios", ""},
    {"6310000", "Otros tributos", ""},
    {"6400000", "Sueldos y salarios", ""},
    {"6420000", "Seguridad Social a cargo de la empresa", ""},
    {"6620000", "Intereses de préstamos", ""},
    {"6800000", "Amortización del inmovilizado intangible", ""},
    {"6810000", "Amortización del inmovilizado material", ""},
    {"7000000", "Ventas de mercaderías", ""},
    {"7050000", "Prestaciones de servicios", ""},
    {"7690000", "Intereses de cuentas bancarias", ""},
};

std::vector<SubcuentaPlan> subcuentas(std::initializer_list<SubcuentaPlan> propias) {
    std::vector<SubcuentaPlan> v = kComunes;
    v.insert(v.end(), propias);
    std::sort(v.begin(), v.end(),
              [](const SubcuentaPlan& a, const SubcuentaPlan& b) { return a.codigo < b.codigo; });
    return v;
}

Perfil perfilMayorista() {
    Perfil p;
    p.serie = QStringLiteral("A");
    p.clientes = {
        {"4300001", {4, 10, 21}, false, 1500, 3800, "5720001", 3, "7000000"},
        {"4300002", {4, 10, 21}, false, 600, 1900, "5720001", 2, "7000000"},
        {"4300003", {21}, false, 300, 900, "5720002", 1, "7050000"},
        {"4300004", {4, 10}, true, 150, 520, "5720001", 1, "7000000"},
        {"4300005", {21}, true, 200, 650, "5720002", 1, "7000000"},
    };
    p.proveedores = {
        {"4000001", "6000000", 4, 6000, 9000, "Harinas y pastas"},
        {"4000002", "6000000", 10, 4500, 7500, "Conservas"},
        {"4000003", "6000000", 21, 3500, 6000, "Productos de limpieza"},
        {"4000004", "6020000", 21, 120, 380, "Envases y embalajes"},
    };
    p.servicios = {
        {"4100001", "6210000", "Alquiler del almacén", 185000, 21, 19, 1, false},
        {"4100002", "6280000", "Suministro eléctrico", 38500, 21, 0, 6, false},
        {"4100003", "6290000", "Teléfono e Internet", 9890, 21, 0, 9, false},
        {"4100004", "6230000", "Honorarios de asesoría", 60000, 21, 15, 28, true},
        {"4100005", "6220000", "Mantenimiento de la carretilla", 24500, 21, 0, 18, true},
    };
    p.sueldos = 740000;
    p.cuotaPrestamo = 95000;
    p.interesPrestamoMilesimas = 45;
    p.seguro = 186000;
    p.tributos = 142000;
    p.amortizacion = {{"2060000", 33}, {"2160000", 10}, {"2170000", 25}, {"2180000", 16}};
    p.existenciaFinalPorMil = 1085;
    return p;
}

Perfil perfilRestaurante() {
    Perfil p;
    p.serie = QStringLiteral("R");
    p.clientes = {
        {"4300001", {10}, false, 5200, 7800, "5720001", 4, "7000000"},
        {"4300002", {10}, false, 700, 2400, "5720001", 1, "7000000"},
        {"4300003", {10, 21}, false, 150, 600, "5720001", 1, "7000000"},
    };
    p.proveedores = {
        {"4000001", "6000000", 4, 450, 900, "Pan, leche y verdura"},
        {"4000002", "6000000", 10, 1600, 3200, "Carnes"},
        {"4000003", "6000000", 10, 1100, 2500, "Pescados y mariscos"},
        {"4000004", "6000000", 21, 900, 1800, "Bebidas"},
    };
    p.servicios = {
        {"4100001", "6210000", "Alquiler del local", 240000, 21, 19, 1, false},
        {"4100002", "6280000", "Electricidad, gas y agua", 96000, 21, 0, 7, false},
        {"4100004", "6230000", "Honorarios de gestoría", 45000, 21, 15, 28, true},
    };
    // Cocina y sala pesan más de lo que da el primer año: el ejercicio se cierra con pérdidas.
    p.sueldos = 1370000;
    p.cuotaPrestamo = 120000;
    p.interesPrestamoMilesimas = 52;
    p.seguro = 143000;
    p.tributos = 98000;
    p.amortizacion = {{"2160000", 10}, {"2170000", 25}, {"2180000", 16}};
    p.existenciaFinalPorMil = 960;
    return p;
}

std::map<QString, Moneda> saldosEuros(
    std::initializer_list<std::pair<const char*, std::int64_t>> v) {
    std::map<QString, Moneda> m;
    for (const auto& [cuenta, euros] : v) m[QString::fromLatin1(cuenta)] = centimos(euros * 100);
    return m;
}

// Saldos de apertura del ejercicio siguiente: las cuentas de balance al cierre, con el
// resultado (grupos 6 y 7) ya aplicado: un 10 % a reserva legal y el resto a voluntarias. Así
// la 129 del nuevo ejercicio solo recibe el resultado del periodo que se consulta, y no queda
// una cuenta abierta y saldada en el año, que el balance de sumas y saldos sin "saldo cero"
// dejaría fuera por un solo lado.
std::map<QString, Moneda> saldosDeApertura(const EmpresaEjemplo& anterior) {
    std::map<QString, Moneda> saldos;
    Moneda resultado;
    for (const AsientoEjemplo& a : anterior.asientos)
        for (const ApunteEjemplo& ap : a.apuntes) {
            if (ap.subcuenta.startsWith(u'6') || ap.subcuenta.startsWith(u'7'))
                resultado += ap.haber - ap.debe;
            else
                saldos[ap.subcuenta] += ap.debe - ap.haber;
        }
    const Moneda legal = porcentaje(resultado, 100);
    saldos[QStringLiteral("1120000")] -= legal;
    saldos[QStringLiteral("1130000")] -= resultado - legal;
    return saldos;
}

}  // namespace

std::vector<EmpresaEjemplo> empresasEjemplo() {
    const auto terceros = std::initializer_list<SubcuentaPlan>{
        {"1700001", "Préstamo Banco de Aragón", ""},
        {"4000001", "Harinas y Pastas del Ebro, S.A.", "A50111228"},
        {"4000002", "Conservas Rioja Baja, S.L.", "B26222331"},
        {"4000003", "Detergentes del Norte, S.A.", "A48333447"},
        {"4000004", "Cartonajes Cinca, S.L.", "B22444558"},
        {"4100001", "Inmuebles Delicias, S.L.", "B50555663"},
        {"4100002", "Eléctrica del Moncayo, S.A.", "A50666775"},
        {"4100003", "Telecomunicaciones Aragonesas, S.A.", "A50777887"},
        {"4100004", "Asesoría Pérez Lacasa", "25123456G"},
        {"4100005", "Talleres Hermanos Royo, S.L.", "B50181817"},
        {"4300001", "Supermercados Arlanza, S.A.", "A09123456"},
        {"4300002", "Hipermercados del Jalón, S.L.", "B50234566"},
        {"4300003", "Cooperativa Agrícola San Isidro", "F50345677"},
        {"4300004", "Ultramarinos Pilar Gracia", "17234567T"},
        {"4300005", "Droguería Hermanos Lasheras, C.B.", "E50456789"},
        {"5230001", "Informática Zaragozana, S.L.", "B50888999"},
        {"5720001", "Banco de Aragón, c/c 0123", ""},
        {"5720002", "Caja Rural del Ebro, c/c 4567", ""},
    };
    std::vector<EmpresaEjemplo> empresas(3);

    EmpresaEjemplo& primero = empresas[0];
    primero.id = 1;
    primero.abreviatura = QStringLiteral("MONCAYO");
    primero.nombre = QStringLiteral("Almacenes Moncayo, S.L.");
    primero.nif = QStringLiteral("B50123454");
    primero.ano = 2023;
    primero.inicio = QDate(2023, 1, 1);
    primero.fin = QDate(2023, 12, 31);
    primero.subcuentas = subcuentas(terceros);
    auto apertura = saldosEuros({
        {"1000000", -60000}, {"1120000", -12000}, {"1700001", -42000}, {"2060000", 4800},
        {"2160000", 18500},  {"2170000", 9600},   {"2180000", 31000},  {"2806000", -1600},
        {"2816000", -5550},  {"2817000", -4800},  {"2818000", -9920},  {"3000000", 46300},
        {"4000001", -6210},  {"4000002", -3870},  {"4300001", 11420},  {"4300002", 5230},
        {"4300004", 980},    {"4750000", -3480},  {"4751000", -2310},  {"4760000", -3640},
        {"5700000", 640},    {"5720001", 28650},  {"5720002", 9120},
    });
    // Las reservas voluntarias cuadran el asiento de apertura.
    Moneda suma;
    for (const auto& [cuenta, s] : apertura) suma += s;
    apertura[QStringLiteral("1130000")] = -suma;
    generarEjercicio(primero, perfilMayorista(), apertura, 20230101u);
    presupuestar(primero, 7u);

    EmpresaEjemplo& segundo = empresas[1];
    segundo.id = 2;
    segundo.abreviatura = primero.abreviatura;
    segundo.nombre = primero.nombre;
    segundo.nif = primero.nif;
    segundo.ano = 2024;
    segundo.inicio = QDate(2024, 1, 1);
    segundo.fin = QDate(2024, 12, 31);
    segundo.anterior = primero.id;
    segundo.subcuentas = primero.subcuentas;
    generarEjercicio(segundo, perfilMayorista(), saldosDeApertura(primero), 20240101u);
    presupuestar(segundo, 11u);

    EmpresaEjemplo& restaurante = empresas[2];
    restaurante.id = 3;
    restaurante.abreviatura = QStringLiteral("ALAMEDA");
    restaurante.nombre = QStringLiteral("Restaurante La Alameda, S.L.");
    restaurante.nif = QStringLiteral("B50987650");
    restaurante.ano = 2023;
    restaurante.inicio = QDate(2023, 7, 1);
    restaurante.fin = QDate(2024, 6, 30);
    restaurante.subcuentas = subcuentas({
        {"1700001", "Préstamo Caja Rural del Ebro", ""},
        {"4000001", "Panadería La Espiga", "17987654K"},
        {"4000002", "Carnes Selectas de Aragón, S.L.", "B50303031"},
        {"4000003", "Pescados del Cantábrico, S.A.", "A39404041"},
        {"4000004", "Bebidas y Refrescos del Valle, S.L.", "B50505056"},
        {"4100001", "Inmuebles Paseo Independencia, S.L.", "B50606060"},
        {"4100002", "Eléctrica del Moncayo, S.A.", "A50666775"},
        {"4100004", "Gestoría Ainsa", "73111222H"},
        {"4300001", "Clientes de contado (tiques)", ""},
        {"4300002", "Eventos del Ebro, S.L.", "B50707074"},
        {"4300003", "Colegio Oficial de Médicos", "Q5066001H"},
        {"5230001", "Informática Zaragozana, S.L.", "B50888999"},
        {"5720001", "Caja Rural del Ebro, c/c 8910", ""},
    });
    auto aperturaR = saldosEuros({
        {"1000000", -30000},
        {"1120000", -4100},
        {"1700001", -56000},
        {"2160000", 42000},
        {"2170000", 6200},
        {"2180000", 18000},
        {"2816000", -12600},
        {"2817000", -3100},
        {"2818000", -5400},
        {"3000000", 8400},
        {"4000002", -2950},
        {"4300002", 1870},
        {"4750000", -2160},
        {"4751000", -1980},
        {"4760000", -4900},
        {"5700000", 1250},
        {"5720001", 48700},
    });
    // Las reservas voluntarias cuadran el asiento de apertura (3.230 euros, al haber).
    suma = Moneda();
    for (const auto& [cuenta, s] : aperturaR) suma += s;
    aperturaR[QStringLiteral("1130000")] = -suma;
    generarEjercicio(restaurante, perfilRestaurante(), aperturaR, 20230701u);
    presupuestar(restaurante, 13u);
    return empresas;
}

}  // namespace orvo::ejemplo
