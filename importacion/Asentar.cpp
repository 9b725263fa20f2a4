#include "Asentar.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <array>

#include "Conexion.h"
#include "Regional.h"

namespace orvo::Asientos {

namespace {

constexpr int kMeses = 12;
// Valores de una fila en el orden de sus columnas (ver columnasCuenta y columnasEpigrafe).
using Valores = std::vector<Moneda>;

QString mes(int m) {
    return QStringLiteral("%1").arg(m + 1, 2, 10, QLatin1Char('0'));
}

// Serie de doce meses y su total, en pesetas y en euros: "Debe01" … "DebeTotal",
// "Debe01Euros" … "DebeTotalEuros". Sin total cuando no hay columna de total.
void anadirSerie(QStringList& columnas, const QString& raiz, bool conTotal) {
    for (const QString& euros : {QString(), QStringLiteral("Euros")}) {
        for (int m = 0; m < kMeses; ++m) columnas << raiz + mes(m) + euros;
        if (conTotal) columnas << raiz + QStringLiteral("Total") + euros;
    }
}

// Cuenta: Debe, Haber y Presupuesto; 26 columnas cada una (índices 0, 26, 52).
const QStringList& columnasCuenta() {
    static const QStringList c = [] {
        QStringList v;
        anadirSerie(v, QStringLiteral("Debe"), true);
        anadirSerie(v, QStringLiteral("Haber"), true);
        anadirSerie(v, QStringLiteral("Presupuesto"), true);
        return v;
    }();
    return c;
}
constexpr int kDebe = 0, kHaber = 26, kPresupuesto = 52;
constexpr int kEuros = 13;  // desplazamiento de la gemela en euros dentro de una serie de cuenta

// Estructura: Total01..12 y Total (26 columnas), luego Presupuesto01..12 en las dos monedas.
const QStringList& columnasEpigrafe() {
    static const QStringList c = [] {
        QStringList v;
        for (const QString& euros : {QString(), QStringLiteral("Euros")}) {
            for (int m = 0; m < kMeses; ++m) v << QStringLiteral("Total") + mes(m) + euros;
            v << QStringLiteral("Total") + euros;
        }
        anadirSerie(v, QStringLiteral("Presupuesto"), false);
        return v;
    }();
    return c;
}
constexpr int kPresupuestoEpigrafe = 26;

// Totales anuales: la suma de los doce meses de cada serie de cuenta.
void totalizarCuenta(Valores& v) {
    for (int serie : {kDebe, kHaber, kPresupuesto})
        for (int moneda : {0, kEuros}) {
            Moneda t;
            for (int m = 0; m < kMeses; ++m) t += v[serie + moneda + m];
            v[serie + moneda + kMeses] = t;
        }
}

// Las columnas de una serie en euros acaban en "Euros"; las demás son de pesetas.
Divisa divisaDe(const QString& columna) {
    return columna.endsWith(QLatin1String("Euros")) ? Divisa::Euros : Divisa::Pesetas;
}

// Compara las filas guardadas con las calculadas y reescribe las que difieren. 'nuevos' da
// los valores de un código (nullptr: todo cero).
std::vector<Diferencia> conciliar(Conexion& con, long empresa, const QString& tabla,
                                  const QString& clave, const QString& columnaCodigo,
                                  const QStringList& columnas,
                                  const QHash<qint64, Valores>& nuevos, bool escribir) {
    std::vector<Diferencia> diferencias;
    std::vector<qint64> cambiadas;
    const Valores ceros(columnas.size());
    {
        QStringList lista;
        for (const QString& c : columnas) lista << identificador(c);
        Recordset rs = con.Execute(QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE CodEmpresa = ?")
                                       .arg(clave, columnaCodigo, lista.join(u','), tabla),
                                   {qint64(empresa)});
        for (; !rs.Eof(); rs.MoveNext()) {
            const qint64 id = rs.entero(0);
            const auto it = nuevos.constFind(id);
            const Valores& v = it == nuevos.constEnd() ? ceros : *it;
            bool cambiada = false;
            char texto[Moneda::kLargoFormateado];
            for (qsizetype i = 0; i < columnas.size(); ++i) {
                const QByteArrayView guardadoUtf8 = rs.textoUtf8(int(i) + 2);
                if (guardadoUtf8 == QByteArrayView(texto, v[i].formatearEn(texto, conDecimales(divisaDe(columnas[i])))))
                    continue;
                // Mismo importe con otra forma ("0" en euros): se reescribe sin contarlo.
                cambiada = true;
                const QString antes = QString::fromUtf8(guardadoUtf8);
                const auto guardado = antes.trimmed().isEmpty() ? std::optional<Moneda>(Moneda())
                                                                : Moneda::deTexto(antes);
                if (guardado && *guardado == v[i]) continue;
                diferencias.push_back({tabla, QString::fromUtf8(rs.textoUtf8(1)).trimmed(),
                                       columnas[i], antes, v[i], divisaDe(columnas[i])});
            }
            if (cambiada) cambiadas.push_back(id);
        }
    }
    if (!escribir || cambiadas.empty()) return diferencias;

    QStringList asignaciones;
    for (const QString& c : columnas) asignaciones << identificador(c) + QStringLiteral(" = ?");
    Instruccion update = con.preparar(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                          .arg(tabla, asignaciones.join(u','), clave));
    char texto[Moneda::kLargoFormateado];
    for (qint64 id : cambiadas) {
        const auto it = nuevos.constFind(id);
        const Valores& v = it == nuevos.constEnd() ? ceros : *it;
        for (qsizetype i = 0; i < columnas.size(); ++i) {
            // Pesetas sin decimales, euros con dos: como los guarda siempre esta rutina.
            const int n = v[i].formatearEn(texto, conDecimales(divisaDe(columnas[i])));
            update.enlazarTexto(int(i) + 1, QByteArrayView(texto, n));
        }
        update.enlazarEntero(int(columnas.size()) + 1, id);
        update.ejecutar();
    }
    return diferencias;
}

}  // namespace

std::vector<Diferencia> asentar(Conexion& con, long empresa, bool escribir,
                                const SumasApuntes* sumas) {
    const QStringList& colCuenta = columnasCuenta();

    // Cuentas de la empresa: código de cada clave y clave de cada código.
    QHash<qint64, QString> codigoDe;
    QHash<QString, qint64> claveDe;
    {
        Recordset rs = con.Execute(
            QStringLiteral("SELECT IDCuenta, Codigo FROM Cuenta WHERE CodEmpresa = ?"),
            {qint64(empresa)});
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString codigo = QString::fromUtf8(rs.textoUtf8(1)).trimmed();
            codigoDe.insert(rs.entero(0), codigo);
            claveDe.insert(codigo, rs.entero(0));
        }
    }
    QHash<qint64, Valores> cuentas;
    // Suma un importe en la cuenta de 'codigo' y en todas las que la contienen por prefijo.
    const auto sumar = [&](const QString& codigo, int columna, Moneda importe) {
        if (importe.esCero()) return;
        for (qsizetype largo = codigo.size(); largo >= 1; --largo) {
            const auto it = claveDe.constFind(codigo.left(largo));
            if (it == claveDe.constEnd()) continue;
            Valores& v = cuentas[*it];
            if (v.empty()) v.resize(colCuenta.size());
            v[columna] += importe;
        }
    };

    // Apuntes, sumados por subcuenta y mes en la base de datos (o por quien los escribió).
    if (sumas) {
        for (auto it = sumas->cbegin(); it != sumas->cend(); ++it) {
            const auto codigo = codigoDe.constFind(it.key());
            if (codigo == codigoDe.constEnd()) continue;
            for (int m = 0; m < kMeses; ++m) {
                sumar(*codigo, kDebe + m, (*it)[m * 4]);
                sumar(*codigo, kDebe + kEuros + m, (*it)[m * 4 + 1]);
                sumar(*codigo, kHaber + m, (*it)[m * 4 + 2]);
                sumar(*codigo, kHaber + kEuros + m, (*it)[m * 4 + 3]);
            }
        }
    } else {
        Recordset rs = con.Execute(
            QStringLiteral(
                "SELECT Apunte.CodCuenta, substr(Asiento.Fecha, 5, 2), SUM(CCur(CtdadDebe)), "
                "SUM(CCur(CtdadDebeEuros)), SUM(CCur(CtdadHaber)), SUM(CCur(CtdadHaberEuros)) "
                "FROM Asiento, Apunte WHERE Apunte.CodAsiento = Asiento.IDAsiento "
                "AND Asiento.CodEmpresa = ? "
                "GROUP BY Apunte.CodCuenta, substr(Asiento.Fecha, 5, 2)"),
            {qint64(empresa)});
        for (; !rs.Eof(); rs.MoveNext()) {
            const auto it = codigoDe.constFind(rs.entero(0));
            const int m = QString::fromUtf8(rs.textoUtf8(1)).toInt() - 1;
            // Un apunte de otra empresa o con un mes imposible no se asienta; comprobar lo dice.
            if (it == codigoDe.constEnd() || m < 0 || m >= kMeses) continue;
            sumar(*it, kDebe + m, Moneda::deCCur(rs.Fields(2)));
            sumar(*it, kDebe + kEuros + m, Moneda::deCCur(rs.Fields(3)));
            sumar(*it, kHaber + m, Moneda::deCCur(rs.Fields(4)));
            sumar(*it, kHaber + kEuros + m, Moneda::deCCur(rs.Fields(5)));
        }
    }

    // Presupuesto: el de las subcuentas es el dato; las cuentas padre lo suman.
    {
        QStringList lista;
        for (int i = kPresupuesto; i < kPresupuesto + 2 * kEuros; ++i)
            if (i % kEuros != kMeses) lista << colCuenta[i];
        Recordset rs = con.Execute(
            QStringLiteral("SELECT Codigo, %1 FROM Cuenta WHERE CodEmpresa = ? AND "
                           "CodTipo_Cuenta = 2")
                .arg(lista.join(u',')),
            {qint64(empresa)});
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString codigo = QString::fromUtf8(rs.textoUtf8(0)).trimmed();
            for (int k = 0; k < 2 * kMeses; ++k) {
                const QString t = QString::fromUtf8(rs.textoUtf8(k + 1));
                const Moneda importe = Moneda::deTexto(t).value_or(Moneda());
                sumar(codigo, kPresupuesto + (k / kMeses) * kEuros + k % kMeses, importe);
            }
        }
    }
    for (Valores& v : cuentas) totalizarCuenta(v);

    // Epígrafes: debe menos haber de sus cuentas, sumado también en los epígrafes cuyo código
    // es un prefijo del suyo (el código sin su último carácter, sin los dos últimos, …).
    const QStringList& colEpigrafe = columnasEpigrafe();
    QHash<qint64, QString> codigoEpigrafe;
    QHash<QString, QList<qint64>> epigrafesDe;
    {
        Recordset rs = con.Execute(
            QStringLiteral("SELECT IDEstructura, CodigoEpigrafe FROM Estructura "
                           "WHERE CodEmpresa = ?"),
            {qint64(empresa)});
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString codigo = QString::fromUtf8(rs.textoUtf8(1)).trimmed();
            codigoEpigrafe.insert(rs.entero(0), codigo);
            epigrafesDe[codigo].append(rs.entero(0));
        }
    }
    QHash<qint64, Valores> epigrafes;
    {
        Recordset rs = con.Execute(
            QStringLiteral("SELECT Rel_Estructura_Cuenta.CodEstructura, "
                           "Rel_Estructura_Cuenta.CodCuenta FROM Rel_Estructura_Cuenta, "
                           "Estructura WHERE Rel_Estructura_Cuenta.CodEstructura = "
                           "Estructura.IDEstructura AND Estructura.CodEmpresa = ?"),
            {qint64(empresa)});
        for (; !rs.Eof(); rs.MoveNext()) {
            const auto cuenta = cuentas.constFind(rs.entero(1));
            if (cuenta == cuentas.constEnd()) continue;
            const qint64 id = rs.entero(0);
            const QString codigo = codigoEpigrafe.value(id);
            QList<qint64> destino{id};
            for (qsizetype largo = codigo.size() - 1; largo >= 1; --largo)
                destino += epigrafesDe.value(codigo.left(largo));
            const Valores& c = *cuenta;
            for (qint64 e : destino) {
                Valores& v = epigrafes[e];
                if (v.empty()) v.resize(colEpigrafe.size());
                for (int moneda : {0, 1}) {
                    for (int m = 0; m <= kMeses; ++m)
                        v[moneda * kEuros + m] +=
                            c[kDebe + moneda * kEuros + m] - c[kHaber + moneda * kEuros + m];
                    for (int m = 0; m < kMeses; ++m)
                        v[kPresupuestoEpigrafe + moneda * kMeses + m] +=
                            c[kPresupuesto + moneda * kEuros + m];
                }
            }
        }
    }

    std::vector<Diferencia> diferencias =
        conciliar(con, empresa, QStringLiteral("Cuenta"), QStringLiteral("IDCuenta"),
                  QStringLiteral("Codigo"), colCuenta, cuentas, escribir);
    std::vector<Diferencia> deEpigrafes = conciliar(
        con, empresa, QStringLiteral("Estructura"), QStringLiteral("IDEstructura"),
        QStringLiteral("CodigoEpigrafe"), colEpigrafe, epigrafes, escribir);
    diferencias.insert(diferencias.end(), deEpigrafes.begin(), deEpigrafes.end());
    return diferencias;
}

std::int64_t pesetasExactas(Moneda euros) {
    return euros.diezmilesimas() / 100 * 166386;
}

namespace {
constexpr std::int64_t kUnidad = 100000;  // una peseta en cienmilésimas
}  // namespace

std::int64_t redondear(std::int64_t exactas) {
    const std::int64_t a = exactas < 0 ? -exactas : exactas;
    const std::int64_t r = (a + kUnidad / 2) / kUnidad;
    return exactas < 0 ? -r : r;
}

void repartirPesetas(const std::vector<Moneda>& importes, std::vector<std::int64_t>& v,
                     std::vector<std::pair<std::int64_t, std::size_t>>& restos) {
    v.resize(importes.size());
    restos.clear();
    std::int64_t total = 0, suma = 0;
    for (std::size_t i = 0; i < importes.size(); ++i) {
        const std::int64_t e = pesetasExactas(importes[i]);
        total += e;
        v[i] = e >= 0 ? e / kUnidad : -((-e + kUnidad - 1) / kUnidad);  // hacia abajo
        suma += v[i];
        restos.push_back({e - v[i] * kUnidad, i});
    }
    std::int64_t faltan = redondear(total) - suma;
    // Mayor resto primero y, con restos iguales, el apunte anterior.
    std::sort(restos.begin(), restos.end(), [](const auto& a, const auto& b) {
        return a.first > b.first || (a.first == b.first && a.second < b.second);
    });
    for (std::size_t k = 0; faltan > 0 && k < restos.size(); ++k, --faltan) ++v[restos[k].second];
}

// "Debe03Euros" -> "debe de marzo en euros"; "Total" -> "saldo del año en pesetas".
QString nombreColumna(const QString& columna) {
    static const QRegularExpression partes(
        QStringLiteral("^(Debe|Haber|Presupuesto|Total)(\\d\\d|Total)?(Euros)?$"));
    const auto m = partes.match(columna);
    if (!m.hasMatch()) return columna;
    const QString raiz =
        m.captured(1) == u"Total" ? QStringLiteral("saldo") : m.captured(1).toLower();
    const QString mes = m.captured(2);
    return raiz +
           (mes.isEmpty() || mes == u"Total"
                ? QStringLiteral(" del año")
                : QStringLiteral(" de ") + Regional::nombreMes(mes.toInt())) +
           (m.captured(3).isEmpty() ? QStringLiteral(" en pesetas") : QStringLiteral(" en euros"));
}

QString describir(const Diferencia& d) {
    const QString que = d.tabla == u"Cuenta" ? QStringLiteral("Cuenta %1").arg(d.codigo)
                                             : QStringLiteral("Epígrafe %1").arg(d.codigo);
    return QStringLiteral("%1, %2: guarda %3 y debería valer %4")
        .arg(que, nombreColumna(d.columna),
             d.antes.trimmed().isEmpty() ? QStringLiteral("(nada)") : d.antes,
             d.despues.formatear(conDecimales(d.divisa)));
}

}  // namespace orvo::Asientos
