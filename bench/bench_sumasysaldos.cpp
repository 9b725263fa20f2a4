// Balance de sumas y saldos sobre 20.000 cuentas de todos los niveles con un asiento de apertura
// de 5.000 líneas: desde el primer día del ejercicio (se aparta la apertura) y desde el segundo
// mes (sin apertura). La apertura de cada cuenta no debe volver a recorrer el asiento entero:
// el primero no ha de tardar más de 1,5 veces el segundo.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <random>

#include "Conexion.h"
#include "Esquemas.h"
#include "Progreso.h"
#include "SumasYSaldos.h"

using namespace orvo;

namespace {

constexpr int kCuentas = 20000;
constexpr int kLineasApertura = 5000;
constexpr int kRepeticiones = 3;

// Plan de siete cifras: 9 grupos, 90 subgrupos, 900 cuentas, dos divisionarias de cuatro,
// cinco y seis cifras por cuenta y el resto subcuentas de siete repartidas entre ellas.
QStringList plan() {
    QStringList codigos;
    for (int g = 1; g <= 9; ++g) codigos << QString::number(g);
    for (int s = 10; s <= 99; ++s) codigos << QString::number(s);
    for (int c = 100; c <= 999; ++c) codigos << QString::number(c);
    QStringList sexto;
    for (int c = 100; c <= 999; ++c)
        for (int d = 0; d < 2; ++d) {
            const QString cuatro = QString::number(c) + QString::number(d);
            codigos << cuatro << cuatro + u'0' << cuatro + QStringLiteral("00");
            sexto << cuatro + QStringLiteral("00");
        }
    for (int i = 0; codigos.size() < kCuentas; ++i)
        codigos << sexto[i % sexto.size()] + QString::number(i / sexto.size());
    return codigos;
}

std::shared_ptr<Conexion> libro(const QString& carpeta, std::vector<qint64>& subcuentas) {
    auto con = Conexion::abrir(carpeta + QStringLiteral("/conta.db"), true);
    Esquemas::crearContabilidad(*con);
    Transaccion t(*con);
    con->Execute(QStringLiteral("INSERT INTO Tipo_Cuenta VALUES (1, 'Cuenta'), (2, 'Subcuenta')"));
    con->Execute(
        QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, "
                       "FechaIni, FechaFin, DesgloseSubCuentas) "
                       "VALUES (1, 'BEN', 'Banco de pruebas', 2001, '20010101', "
                       "'20011231', 7)"));
    QStringList columnas{"CodEmpresa", "CodTipo_Cuenta", "Codigo", "Descripcion", "Nivel"};
    for (int m = 1; m <= 12; ++m) {
        const QString mm = QStringLiteral("%1").arg(m, 2, 10, QChar(u'0'));
        columnas << "Debe" + mm << "Haber" + mm;
    }
    QStringList marcas(columnas.size(), QStringLiteral("?"));
    Instruccion cuenta = con->preparar(QStringLiteral("INSERT INTO Cuenta (%1) VALUES (%2)")
                                           .arg(columnas.join(u','), marcas.join(u',')));
    std::mt19937 azar(2001);
    std::uniform_int_distribution<int> importe(0, 99999);
    for (const QString& codigo : plan()) {
        Parametros v{1, codigo.size() == 7 ? 2 : 1, codigo, QStringLiteral("Cuenta ") + codigo,
                     static_cast<int>(codigo.size())};
        for (int m = 0; m < 24; ++m)
            v << QStringLiteral("%1,%2")
                     .arg(importe(azar))
                     .arg(importe(azar) % 100, 2, 10, QChar(u'0'));
        cuenta.ejecutar(v);
        if (codigo.size() == 7)
            subcuentas.push_back(
                con->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong());
    }
    con->Execute(
        QStringLiteral("INSERT INTO Asiento (IDAsiento, CodEmpresa, Numero, Fecha) "
                       "VALUES (1, 1, 1, '20010101')"));
    Instruccion apunte = con->preparar(
        QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, CtdadDebe, CtdadHaber) "
                       "VALUES (1, ?, ?, ?)"));
    for (int i = 0; i < kLineasApertura; ++i) {
        const QString cantidad = QString::number(importe(azar));
        apunte.ejecutar({subcuentas[static_cast<size_t>(i) * 2 % subcuentas.size()],
                         i % 2 ? cantidad : QStringLiteral("0"),
                         i % 2 ? QStringLiteral("0") : cantidad});
    }
    t.confirmar();
    return con;
}

// Mejor de varias vueltas, en milisegundos; cada vuelta se deshace como una construcción fallida
// para que la tabla de trabajo empiece vacía.
qint64 medir(Conexion& conta, Conexion& inf, const OpcionesSumasYSaldos& op, qint64& filas) {
    ProgresoNulo progreso;
    qint64 mejor = -1;
    for (int i = 0; i < kRepeticiones; ++i) {
        Transaccion t(inf);
        ContextoInforme ctx{conta, inf, progreso};
        QElapsedTimer reloj;
        reloj.start();
        construirSumasYSaldos(ctx, op);
        const qint64 ms = reloj.elapsed();
        filas = inf.valor(QStringLiteral("SELECT COUNT(*) FROM BalanceSumasySaldos")).toLongLong();
        mejor = mejor < 0 ? ms : std::min(mejor, ms);
    }
    return mejor;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    std::vector<qint64> subcuentas;
    QElapsedTimer reloj;
    reloj.start();
    auto conta = libro(dir.path(), subcuentas);
    auto inf = Conexion::abrir(dir.filePath(QStringLiteral("Informes.mdb")), true);
    Esquemas::crearInformes(*inf);
    out << "Libro: " << kCuentas << " cuentas (" << subcuentas.size()
        << " subcuentas), apertura de " << kLineasApertura << " líneas, hecho en "
        << reloj.elapsed() << " ms\n";

    OpcionesSumasYSaldos op;
    op.empresa = 1;
    op.subcuentaDesde = QStringLiteral("0000000");
    op.subcuentaHasta = QStringLiteral("9999999");
    op.hasta = QDate(2001, 12, 31);
    op.niveles = {1, 2, 3, 4, 5, 6, 7};
    op.divisa = Divisa::Pesetas;
    qint64 filasApertura = 0, filasSin = 0;
    op.desde = QDate(2001, 1, 1);
    const qint64 conApertura = medir(*conta, *inf, op, filasApertura);
    op.desde = QDate(2001, 2, 1);
    const qint64 sinApertura = medir(*conta, *inf, op, filasSin);

    const double razon = sinApertura > 0 ? double(conApertura) / double(sinApertura) : 0.0;
    out << "Desde el 1 de enero (con apertura): " << conApertura << " ms, " << filasApertura
        << " filas\n";
    out << "Desde el 1 de febrero (sin apertura): " << sinApertura << " ms, " << filasSin
        << " filas\n";
    out << "Razón: " << QString::number(razon, 'f', 2) << " (objetivo: 1,50 como mucho)\n";
    return razon <= 1.5 ? 0 : 1;
}
