// Libros pequeños hechos a medida de cada prueba.
#pragma once

#include <QDir>
#include <QMap>
#include <QStringList>
#include <memory>

#include "Conexion.h"
#include "DoblesPrueba.h"

namespace orvo::prueba {

using Importes = QMap<QString, QString>;  // "Debe03" -> "1.000,50"

// Una empresa con su plan y sus asientos en una base nueva, y una base de informes vacía.
class LibroPrueba {
  public:
    static constexpr int kEmpresa = 1;

    LibroPrueba(const QString& carpeta, int desglose = 7, const QString& inicio = "20010101",
                const QString& fin = "20011231")
        : desglose_(desglose) {
        static int n = 0;
        ++n;
        conta = baseContabilidad(QDir(carpeta).filePath(QStringLiteral("conta%1.db").arg(n)));
        inf = baseInformes(QDir(carpeta).filePath(QStringLiteral("inf%1.db").arg(n)));
        conta->Execute(
            QStringLiteral("INSERT INTO Tipo_Cuenta VALUES (1, 'Cuenta'), (2, 'Subcuenta')"));
        conta->Execute(
            QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, "
                           "FechaIni, FechaFin, DesgloseSubCuentas) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {kEmpresa, "ORV", "Orvo Pruebas, S.L.", inicio.left(4).toInt(), inicio, fin, desglose});
    }

    // Cuenta con los importes dados; su nivel es el número de cifras del código.
    qint64 cuenta(const QString& codigo, const Importes& importes = {}, QString descripcion = {}) {
        QStringList columnas{"CodEmpresa", "CodTipo_Cuenta", "Codigo", "Descripcion", "Nivel"};
        Parametros valores{kEmpresa, codigo.size() == desglose_ ? 2 : 1, codigo,
                           descripcion.isEmpty() ? "Cuenta " + codigo : descripcion,
                           int(codigo.size())};
        for (auto i = importes.begin(); i != importes.end(); ++i) {
            columnas << i.key();
            valores << i.value();
        }
        conta->Execute(QStringLiteral("INSERT INTO Cuenta (%1) VALUES (%2)")
                           .arg(columnas.join(u','), QStringList(columnas.size(), "?").join(u',')),
                       valores);
        return conta->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }

    qint64 asiento(int numero, const QString& fecha) {
        conta->Execute(
            QStringLiteral("INSERT INTO Asiento (CodEmpresa, Numero, Fecha) VALUES (?, ?, ?)"),
            {kEmpresa, numero, fecha});
        return conta->valor(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    }

    // Una línea con el mismo importe en pesetas y en euros.
    void apunte(qint64 asiento, qint64 cuenta, const QString& debe, const QString& haber) {
        conta->Execute(QStringLiteral("INSERT INTO Apunte (CodAsiento, CodCuenta, CtdadDebe, "
                                      "CtdadHaber, CtdadDebeEuros, CtdadHaberEuros) "
                                      "VALUES (?, ?, ?, ?, ?, ?)"),
                       {asiento, cuenta, debe, haber, debe, haber});
    }

    // Filas de una tabla de trabajo en el orden en que se escribieron.
    QList<Importes> filas(const QString& tabla) const {
        QList<Importes> r;
        for (Recordset rs = inf->Execute("SELECT * FROM " + tabla + " ORDER BY rowid"); !rs.Eof();
             rs.MoveNext()) {
            Importes fila;
            for (int c = 0; c < rs.columnas(); ++c)
                fila[rs.nombreColumna(c)] = rs.Fields(c).toString();
            r << fila;
        }
        return r;
    }
    QStringList columna(const QString& tabla, const QString& nombre) const {
        return filasDe(*inf, tabla, identificador(nombre));
    }

    std::shared_ptr<Conexion> conta;
    std::shared_ptr<Conexion> inf;

  private:
    int desglose_;
};

}  // namespace orvo::prueba
