// Diario y Mayor de un millón de apuntes leídos de un servidor PostgreSQL frente a los mismos
// libros en un archivo SQLite, en la misma ejecución.
//
//   bench_servidor copiar ARCHIVO URI   copia en la base vacía URI los libros grandes de ARCHIVO
//                                        (los escribe "bench_libros generar ARCHIVO")
//   bench_servidor medir ARCHIVO URI    construye cada libro de los dos, cada vez en un proceso
//                                        aparte, y compara
//
// Se mide la orden entera (el proceso: conectar, leer y escribir la tabla de trabajo), y del
// servidor debe tardar como mucho 1,5 veces lo que tarda del archivo.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"
#include "LibroDiario.h"
#include "LibroMayor.h"

using namespace orvo;

namespace {

constexpr long kEmpresa = 1;
constexpr int kFilasPorInsert = 100;
constexpr double kProporcionMaxima = 1.5;

// Copia tabla a tabla, con INSERT de cien filas: un millón de idas y vueltas sería lo lento.
void copiar(const QString& archivo, const QString& uri) {
    auto origen = Conexion::abrir(archivo);
    auto destino = Conexion::abrir(uri);
    Transaccion t(*destino);
    Esquemas::crearContabilidad(*destino);
    for (const char* tabla : {"Empresa", "Tipo_Cuenta", "Documento", "Naturaleza", "Cuenta",
                              "Estructura", "Rel_Estructura_Cuenta", "Asiento", "Apunte"}) {
        Recordset rs = origen->Execute(QStringLiteral("SELECT * FROM %1").arg(tabla));
        if (rs.Eof()) continue;
        QStringList columnas, marcas;
        for (int c = 0; c < rs.columnas(); ++c) {
            columnas << rs.nombreColumna(c);
            marcas << QStringLiteral("?");
        }
        const QString fila = u'(' + marcas.join(u',') + u')';
        const QString cabeza = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                                   .arg(QLatin1String(tabla), columnas.join(u','));
        Instruccion lote =
            destino->preparar(cabeza + QStringList(kFilasPorInsert, fila).join(u','));
        Parametros valores;
        const auto escribir = [&](bool final) {
            if (final && valores.size() < kFilasPorInsert * columnas.size()) {
                if (!valores.isEmpty())
                    destino->Execute(
                        cabeza + QStringList(valores.size() / columnas.size(), fila).join(u','),
                        valores);
            } else {
                lote.ejecutar(valores);
            }
            valores.clear();
        };
        for (; !rs.Eof(); rs.MoveNext()) {
            for (int c = 0; c < columnas.size(); ++c) valores << rs.Fields(c);
            if (valores.size() == kFilasPorInsert * columnas.size()) escribir(false);
        }
        escribir(true);
    }
    destino->Execute(QStringLiteral("ANALYZE"));
    t.confirmar();
}

// Una construcción, como la hace el diálogo: leyendo una sola versión de los libros.
void construirUna(const QString& que, const QString& libros, const QString& informes) {
    auto conta = Conexion::abrir(libros);
    auto inf = Conexion::abrir(informes, true);
    Esquemas::crearInformes(*inf);
    ProgresoNulo progreso;
    ContextoInforme contexto{*conta, *inf, progreso};
    const Lectura lectura(*conta);
    Transaccion t(*inf);
    if (que == u"diario") {
        OpcionesLibroDiario o;
        o.empresa = kEmpresa;
        o.desde = QDate(2026, 1, 1);
        o.hasta = QDate(2026, 12, 31);
        construirLibroDiario(contexto, o);
    } else {
        OpcionesLibroMayor o;
        o.empresa = kEmpresa;
        o.desde = QDate(2026, 2, 1);
        o.hasta = QDate(2026, 12, 31);
        o.inicioEjercicio = QDate(2026, 1, 1);
        o.saldoAnterior = true;
        construirLibroMayor(contexto, o);
    }
    t.confirmar();
}

double enOtroProceso(const QString& que, const QString& libros) {
    QTemporaryDir dir;
    QProcess p;
    QElapsedTimer reloj;
    reloj.start();
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("una"), que, libros, dir.filePath(QStringLiteral("Informes.mdb"))});
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("Falló la medida %1: %2")
                            .arg(que, QString::fromUtf8(p.readAllStandardError())));
    return static_cast<double>(reloj.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    QTextStream out(stdout);
    try {
        if (a.size() == 4 && a[0] == u"una") {
            construirUna(a[1], a[2], a[3]);
            return 0;
        }
        if (a.size() == 3 && a[0] == u"copiar") {
            copiar(a[1], a[2]);
            return 0;
        }
        if (a.size() == 3 && a[0] == u"medir") {
            bool bien = true;
            out << "libro    archivo (s)  servidor (s)  proporción\n";
            for (const QString& que : {QStringLiteral("diario"), QStringLiteral("mayor")}) {
                const double archivo = enOtroProceso(que, a[1]);
                const double servidor = enOtroProceso(que, a[2]);
                const double proporcion = servidor / archivo;
                out << qSetFieldWidth(8) << Qt::left << que << qSetFieldWidth(0)
                    << QString::asprintf(" %11.2f  %12.2f  %9.2fx", archivo, servidor, proporcion)
                    << (proporcion <= kProporcionMaxima ? "" : "  (más de 1,5x)") << "\n";
                bien = bien && proporcion <= kProporcionMaxima;
            }
            return bien ? 0 : 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", qPrintable(descripcionError(e)));
        return 1;
    }
    std::fprintf(stderr,
                 "Uso: bench_servidor copiar|medir ARCHIVO URI  (ARCHIVO: bench_libros generar)\n");
    return 2;
}
