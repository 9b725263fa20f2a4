// Balance de situación (y su comparativo) sobre libros generados con 500 y con 5.000
// subcuentas desglosadas, medidos en la misma ejecución. Cada cuenta alimenta un epígrafe del
// activo y otro del pasivo (la regla de la cuenta compartida actúa en la mitad de ellas), cada
// epígrafe tiene un subepígrafe vacío que se quita y hay fórmulas encadenadas. El mayor no debe
// tardar más de doce veces el menor: ningún paso crece con el cuadrado de las filas. Uso:
// bench_balances [CARPETA]   (sale con 1 si la razón pasa de 12)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <limits>

#include "Balance.h"
#include "BalanceComparativo.h"
#include "Esquemas.h"

using namespace orvo;

namespace {

QString importe(qint64 centimos) {
    return Moneda::deDiezmilesimas(centimos * 100).formatear(true);
}

// Libros de la empresa 1 con "subcuentas" subcuentas desglosadas, diez por cuenta.
void generar(Conexion& con, int subcuentas) {
    Esquemas::crearContabilidad(con);
    Transaccion t(con);
    con.ejecutarScript(QStringLiteral(
        "INSERT INTO Tipo_Cuenta VALUES (1, 'Cuenta'), (2, 'Subcuenta'), (3, 'Cuenta creada');"
        "INSERT INTO Documento VALUES (1, 'Balance de situación'), (2, 'Pérdidas y Ganancias');"
        "INSERT INTO Naturaleza VALUES (1, 'Activo'), (2, 'Pasivo'), (3, 'Debe'), (4, 'Haber');"
        "INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, FechaIni, FechaFin) "
        "VALUES (1, 'BENCH', 'Pruebas de rendimiento', 2001, '20010101', '20011231');"));
    const int cuentas = subcuentas / 10;
    const int epigrafes = std::max(5, cuentas / 5);
    Instruccion epigrafe = con.preparar(QStringLiteral(
        "INSERT INTO Estructura (IDEstructura, CodEmpresa, CodDocumento, CodigoEpigrafe, "
        "Descripcion, CodNaturaleza, OrdenEpigrafe, Formula, Total03Euros) "
        "VALUES (?, 1, 1, ?, ?, ?, ?, ?, ?)"));
    Instruccion cuenta = con.preparar(QStringLiteral(
        "INSERT INTO Cuenta (IDCuenta, CodEmpresa, CodTipo_Cuenta, Codigo, Descripcion, Nivel, "
        "Desglosar, Debe03Euros, Haber03Euros) VALUES (?, 1, ?, ?, ?, ?, ?, ?, ?)"));
    Instruccion enlace =
        con.preparar(QStringLiteral("INSERT INTO Rel_Estructura_Cuenta VALUES (?, ?)"));

    // Saldo de cada cuenta: las pares deudoras, las impares acreedoras.
    std::vector<qint64> saldoCuenta(cuentas, 0);
    qint64 idCuenta = 0;
    for (int c = 0; c < cuentas; ++c) {
        const QString codigo = QString::number(2000 + c);
        const qlonglong id = ++idCuenta;
        qint64 debe = 0, haber = 0;
        std::vector<std::pair<qint64, qint64>> movimientos;
        for (int s = 0; s < 10; ++s) {
            const qint64 cantidad = 100 * (c * 10 + s + 1);
            movimientos.push_back(c % 2 == 0 ? std::pair{cantidad, qint64(0)}
                                             : std::pair{qint64(0), cantidad});
            debe += movimientos.back().first;
            haber += movimientos.back().second;
        }
        cuenta.ejecutar({id, 1, codigo, QStringLiteral("Cuenta %1").arg(codigo), 4, -1,
                         importe(debe), importe(haber)});
        for (int s = 0; s < 10; ++s)
            cuenta.ejecutar({++idCuenta, 2,
                             codigo + QStringLiteral("%1").arg(s, 3, 10, QChar(u'0')),
                             QStringLiteral("Subcuenta %1-%2").arg(codigo).arg(s), 7, 0,
                             importe(movimientos[s].first), importe(movimientos[s].second)});
        saldoCuenta[c] = debe - haber;
    }
    // Grupos 6 y 7 para que haya resultado que poner en la 129.
    cuenta.ejecutar({++idCuenta, 1, QStringLiteral("129"), QStringLiteral("Resultado"), 3, 0,
                     importe(0), importe(0)});
    const qlonglong cuenta129 = idCuenta;
    cuenta.ejecutar({++idCuenta, 2, QStringLiteral("6000001"), QStringLiteral("Compras"), 7, 0,
                     importe(50000), importe(0)});
    cuenta.ejecutar({++idCuenta, 2, QStringLiteral("7000001"), QStringLiteral("Ventas"), 7, 0,
                     importe(0), importe(90000)});

    qlonglong idEpigrafe = 0;
    for (const QString& raiz : {QStringLiteral("A"), QStringLiteral("P")}) {
        const int naturaleza = raiz == u"A" ? 1 : 2;
        std::vector<qint64> totales(epigrafes, 0);
        for (int c = 0; c < cuentas; ++c) totales[c % epigrafes] += saldoCuenta[c];
        qint64 total = 0;
        for (qint64 parte : totales) total += parte;
        epigrafe.ejecutar({++idEpigrafe, raiz, raiz, naturaleza, 1, QString(), importe(total)});
        for (int e = 0; e < epigrafes; ++e) {
            const QString codigo = raiz + QStringLiteral("%1").arg(e, 5, 10, QChar(u'0'));
            epigrafe.ejecutar({++idEpigrafe, codigo, QStringLiteral("Epígrafe ") + codigo,
                               naturaleza, 2, QString(), importe(totales[e])});
            for (int c = e; c < cuentas; c += epigrafes)
                enlace.ejecutar({idEpigrafe, qlonglong(c + 1) * 11 - 10});
            epigrafe.ejecutar({++idEpigrafe, codigo + QStringLiteral(".1"), QStringLiteral("Vacío"),
                               naturaleza, 3, QString(), importe(0)});
        }
        if (raiz == u"P") enlace.ejecutar({idEpigrafe - 1, cuenta129});
    }
    // Fórmulas: cadenas de tres, una por cada cincuenta epígrafes.
    for (int f = 0; f < std::max(1, epigrafes / 50); ++f) {
        const QString z = QStringLiteral("Z%1").arg(f, 4, 10, QChar(u'0'));
        epigrafe.ejecutar(
            {++idEpigrafe, z + u'a', QStringLiteral("Total"), 2, 1, z + u'b', importe(0)});
        epigrafe.ejecutar(
            {++idEpigrafe, z + u'b', QStringLiteral("Total"), 2, 1, z + u'c', importe(0)});
        epigrafe.ejecutar({++idEpigrafe, z + u'c', QStringLiteral("Total"), 2, 1,
                           QStringLiteral("A - P"), importe(0)});
    }
    t.confirmar();
}

struct Medida {
    qint64 balance = 0;  // ms
    qint64 comparativo = 0;
    qint64 filas = 0;
};

Medida medir(const QString& carpeta, int subcuentas) {
    const QString base = QStringLiteral("%1/balance%2").arg(carpeta).arg(subcuentas);
    QFile::remove(base + QStringLiteral(".db"));
    QFile::remove(base + QStringLiteral("-inf.db"));
    auto conta = Conexion::abrir(base + QStringLiteral(".db"), true);
    generar(*conta, subcuentas);
    auto inf = Conexion::abrir(base + QStringLiteral("-inf.db"), true);
    Esquemas::crearInformes(*inf);
    ProgresoNulo progreso;
    ContextoInforme contexto{*conta, *inf, progreso};
    const QDate desde(2001, 1, 1), hasta(2001, 12, 31);
    // El mejor de cinco intentos: la máquina se comparte y una medida suelta es ruidosa.
    Medida m{std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::max(), 0};
    for (int intento = 0; intento < 5; ++intento) {
        inf->Execute(QStringLiteral("DELETE FROM Balances"));
        inf->Execute(QStringLiteral("DELETE FROM BalancesComparativo"));
        QElapsedTimer reloj;
        reloj.start();
        {
            OpcionesBalance o;
            o.empresa = 1;
            o.desde = desde;
            o.hasta = hasta;
            o.presupuesto = true;
            Transaccion t(*inf);
            construirBalance(contexto, o);
            t.confirmar();
        }
        m.balance = std::min(m.balance, reloj.restart());
        {
            // La empresa frente a sí misma: dos cargas, la fusión y las fórmulas de cada lado.
            OpcionesComparativo o;
            o.empresaA = o.empresaB = 1;
            o.desde = desde;
            o.hasta = hasta;
            Transaccion t(*inf);
            construirComparativo(contexto, o);
            t.confirmar();
        }
        m.comparativo = std::min(m.comparativo, reloj.elapsed());
    }
    m.filas = inf->valor(QStringLiteral("SELECT COUNT(*) FROM Balances")).toLongLong();
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temporal;
    const QString carpeta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporal.path();
    const Medida pequeno = medir(carpeta, 500);
    const Medida grande = medir(carpeta, 5000);
    const auto razon = [](qint64 mayor, qint64 menor) {
        return static_cast<double>(mayor) / static_cast<double>(std::max<qint64>(1, menor));
    };
    const double razonBalance = razon(grande.balance, pequeno.balance);
    const double razonComparativo = razon(grande.comparativo, pequeno.comparativo);
    for (const auto& [nombre, m] : {std::pair{"500", pequeno}, std::pair{"5.000", grande}})
        std::printf(
            "%s subcuentas desglosadas (%lld filas): balance %lld ms, comparativo %lld ms\n",
            nombre, static_cast<long long>(m.filas), static_cast<long long>(m.balance),
            static_cast<long long>(m.comparativo));
    std::printf("Razón: balance %.2f, comparativo %.2f (límite 12)\n", razonBalance,
                razonComparativo);
    const double peor = std::max(razonBalance, razonComparativo);
    return peor <= 12.0 ? 0 : 1;
}
