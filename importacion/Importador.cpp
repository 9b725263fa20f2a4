#include "Importador.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>

#include "Asentar.h"
#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"
#include "Lectores.h"
#include "Progreso.h"

namespace orvo::Importacion {

namespace {

// Un euro son 166,386 pesetas: las pesetas de un importe en céntimos, en cienmilésimas.
std::int64_t pesetasExactas(Moneda euros) {
    return euros.diezmilesimas() / 100 * 166386;
}
constexpr std::int64_t kUnidad = 100000;  // una peseta en cienmilésimas

std::int64_t redondear(std::int64_t exactas) {
    const std::int64_t a = exactas < 0 ? -exactas : exactas;
    const std::int64_t r = (a + kUnidad / 2) / kUnidad;
    return exactas < 0 ? -r : r;
}

// Pesetas de cada importe de un lado del asiento: cada una redondeada a la unidad, y los
// redondeos repartidos de modo que el lado sume lo mismo que su total redondeado (así un asiento
// que cuadra en euros cuadra en pesetas). Ninguna se aparta más de una peseta de su valor exacto.
std::vector<std::int64_t> repartirPesetas(const std::vector<Moneda>& importes) {
    std::vector<std::int64_t> v(importes.size());
    std::vector<std::pair<std::int64_t, std::size_t>> restos;
    std::int64_t total = 0, suma = 0;
    for (std::size_t i = 0; i < importes.size(); ++i) {
        const std::int64_t e = pesetasExactas(importes[i]);
        total += e;
        v[i] = e >= 0 ? e / kUnidad : -((-e + kUnidad - 1) / kUnidad);  // hacia abajo
        suma += v[i];
        restos.push_back({e - v[i] * kUnidad, i});
    }
    std::int64_t faltan = redondear(total) - suma;
    std::stable_sort(restos.begin(), restos.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t k = 0; faltan > 0 && k < restos.size(); ++k, --faltan) ++v[restos[k].second];
    return v;
}

QString euros(Moneda m) {
    return m.formatear(true);
}
QString pesetas(std::int64_t p) {
    return Moneda::deEntero(p).formatear(false);
}

// Un apunte a la espera de su lote.
struct ApuntePendiente {
    qint64 id, asiento, cuenta;
    ApunteLeido ap;
    std::int64_t debePts, haberPts;
};

class Importador {
  public:
    Importador(Conexion& con, const Opciones& o, Resumen& r) : con_(con), o_(o), r_(r) {}

    void abrirEmpresa() {
        if (const auto empresa = DatosEmpresa::leer(con_, o_.empresa)) {
            inicio_ = empresa->fechaIni;
            fin_ = empresa->fechaFin;
            desglose_ = empresa->desgloseSubcuentas;
            hayEmpresa_ = true;
        }
        Recordset c = con_.Execute(
            QStringLiteral("SELECT Codigo, IDCuenta FROM Cuenta WHERE CodEmpresa = ?"),
            {qint64(o_.empresa)});
        for (; !c.Eof(); c.MoveNext())
            cuentas_.insert(c.Fields(0).toString().trimmed(), c.entero(1));
        c.Close();
        Recordset n = con_.Execute(
            QStringLiteral("SELECT Numero FROM Asiento WHERE CodEmpresa = ?"), {qint64(o_.empresa)});
        for (; !n.Eof(); n.MoveNext()) {
            numerosPrevios_.insert(n.entero(0));
            mayorNumero_ = std::max(mayorNumero_, n.entero(0));
        }
        n.Close();
        // Sin asientos previos, las sumas de lo importado son las de toda la empresa.
        if (numerosPrevios_.isEmpty()) sumas_.emplace();
        siguienteAsiento_ = con_.valor(QStringLiteral("SELECT MAX(IDAsiento) FROM Asiento")).toLongLong() + 1;
        siguienteApunte_ = con_.valor(QStringLiteral("SELECT MAX(IDApunte) FROM Apunte")).toLongLong() + 1;
        siguienteCuenta_ = con_.valor(QStringLiteral("SELECT MAX(IDCuenta) FROM Cuenta")).toLongLong() + 1;
        insAsiento_.emplace(con_.preparar(QStringLiteral(
            "INSERT INTO Asiento (IDAsiento, CodEmpresa, Numero, Fecha) VALUES (?, ?, ?, ?)")));
        // Los apuntes sin base imponible (casi todos) no la nombran: queda en NULL.
        const QString columnas = QStringLiteral(
            "IDApunte, CodAsiento, CodCuenta, Concepto, CtdadDebe, CtdadHaber, CtdadDebeEuros, "
            "CtdadHaberEuros, Factura, Contrapartida, PorcentajeIVA, PorcentajeRecargo");
        // Por lotes: una instrucción escribe kLote apuntes; el resto del último lote, uno a uno.
        const QString tupla = QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        QStringList tuplas;
        for (std::size_t i = 0; i < kLote; ++i) tuplas << tupla;
        insApunteLote_.emplace(con_.preparar(
            QStringLiteral("INSERT INTO Apunte (%1) VALUES %2").arg(columnas, tuplas.join(u','))));
        insApunteUno_.emplace(
            con_.preparar(QStringLiteral("INSERT INTO Apunte (%1) VALUES %2").arg(columnas, tupla)));
        insApunteBase_.emplace(
            con_.preparar(QStringLiteral("INSERT INTO Apunte (%1, BaseImp, BaseImpEuros) VALUES "
                                         "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                              .arg(columnas)));
    }

    void asiento(AsientoLeido&& a) {
        if (!hayEmpresa_) crearEmpresa(a.fecha);
        const QString fecha = a.fecha.toString(QStringLiteral("yyyyMMdd"));
        if (fecha < inicio_ || fecha > fin_)
            throw ErrorEntrada(a.archivo, a.linea,
                               QStringLiteral("la fecha %1 está fuera del ejercicio (%2 a %3)")
                                   .arg(a.fecha.toString(QStringLiteral("dd/MM/yyyy")),
                                        mostrarFecha(inicio_), mostrarFecha(fin_)));
        Cuadre* cuadre = nullptr;
        if (a.numero) {
            if (numerosPrevios_.contains(*a.numero))
                throw ErrorEntrada(a.archivo, a.linea,
                                   QStringLiteral("el asiento %1 ya existe en la empresa")
                                       .arg(*a.numero));
            auto it = conNumero_.find(*a.numero);
            if (it != conNumero_.end() && it->fecha != a.fecha)
                throw ErrorEntrada(a.archivo, a.linea,
                                   QStringLiteral("el asiento %1 tiene otra fecha en la línea %2")
                                       .arg(*a.numero)
                                       .arg(it->linea));
            if (it == conNumero_.end())
                it = conNumero_.insert(*a.numero, nuevoAsiento(a, *a.numero));
            cuadre = &*it;
        } else {
            sinNumero_.push_back(nuevoAsiento(a, 0));
            cuadre = &sinNumero_.back();
        }

        std::vector<Moneda> debes, haberes;
        for (const ApunteLeido& ap : a.apuntes) {
            debes.push_back(ap.debe);
            haberes.push_back(ap.haber);
        }
        const std::vector<std::int64_t> debePts = repartirPesetas(debes);
        const std::vector<std::int64_t> haberPts = repartirPesetas(haberes);
        for (std::size_t i = 0; i < a.apuntes.size(); ++i) {
            const ApunteLeido& ap = a.apuntes[i];
            const qint64 cuenta = subcuenta(a.archivo, ap);
            const qint64 id = siguienteApunte_++;
            insertarApunte(id, cuadre->id, cuenta, ap, debePts[i], haberPts[i]);
            if (sumas_) {
                auto& s = (*sumas_)[cuenta];
                const int m = (a.fecha.month() - 1) * 4;
                s[m] += Moneda::deEntero(debePts[i]);
                s[m + 1] += ap.debe;
                s[m + 2] += Moneda::deEntero(haberPts[i]);
                s[m + 3] += ap.haber;
            }
            cuadre->debe += ap.debe;
            cuadre->haber += ap.haber;
            cuadre->debePts += debePts[i];
            cuadre->haberPts += haberPts[i];
            if (!ap.debe.esCero()) cuadre->ultimoDebe = {id, cuenta, a.fecha.month(), debePts[i]};
            ++r_.apuntes;
        }
    }

    void terminar() {
        vaciarLote();
        if (!hayEmpresa_) throw ErrorEntrada(o_.entrada, 0, QStringLiteral("no hay asientos"));
        std::vector<Cuadre*> todos;
        for (Cuadre& c : conNumero_) todos.push_back(&c);
        for (Cuadre& c : sinNumero_) todos.push_back(&c);
        std::sort(todos.begin(), todos.end(), [](const Cuadre* a, const Cuadre* b) {
            return std::tie(a->archivo, a->linea) < std::tie(b->archivo, b->linea);
        });
        for (Cuadre* c : todos) {
            if (c->debe != c->haber)
                throw ErrorEntrada(
                    c->archivo, c->linea,
                    QStringLiteral("el asiento %1 no cuadra: debe %2, haber %3")
                        .arg(c->numero ? QString::number(c->numero) : QStringLiteral("de esta línea"),
                             euros(c->debe), euros(c->haber)));
            // Un asiento repartido en tandas separadas del archivo ajusta su redondeo al final.
            const ApunteDebe& u = c->ultimoDebe;
            if (c->debePts != c->haberPts && u.apunte) {
                const std::int64_t ajuste = c->haberPts - c->debePts;
                con_.Execute(QStringLiteral("UPDATE Apunte SET CtdadDebe = ? WHERE IDApunte = ?"),
                             {pesetas(u.pesetas + ajuste), u.apunte});
                if (sumas_) (*sumas_)[u.cuenta][(u.mes - 1) * 4] += Moneda::deEntero(ajuste);
            }
        }
        // Los asientos sin número, en orden de fecha detrás del mayor número de la empresa.
        qint64 numero = mayorNumero_;
        for (auto it = conNumero_.keyBegin(); it != conNumero_.keyEnd(); ++it)
            numero = std::max(numero, *it);
        std::stable_sort(sinNumero_.begin(), sinNumero_.end(),
                         [](const Cuadre& a, const Cuadre& b) { return a.fecha < b.fecha; });
        Instruccion numerar =
            con_.preparar(QStringLiteral("UPDATE Asiento SET Numero = ? WHERE IDAsiento = ?"));
        for (const Cuadre& c : sinNumero_) numerar.ejecutar({++numero, c.id});
        r_.asientos = qint64(conNumero_.size() + sinNumero_.size());
    }

    // Las sumas de todos los apuntes de la empresa, si los ha escrito todos esta importación.
    const Asientos::SumasApuntes* sumas() const { return sumas_ ? &*sumas_ : nullptr; }

    // Presupuesto mensual en euros de subcuentas: Cuenta;Mes;Importe.
    void presupuesto(const QString& ruta) {
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly))
            throw ErrorEntrada(ruta, 0, QStringLiteral("no se puede leer el archivo"));
        const QStringList cabecera = QString::fromUtf8(f.readLine()).trimmed().split(u';');
        const qsizetype cCuenta = cabecera.indexOf(QStringLiteral("Cuenta")),
                        cMes = cabecera.indexOf(QStringLiteral("Mes")),
                        cImporte = cabecera.indexOf(QStringLiteral("Importe"));
        for (const auto& [c, nombre] : {std::pair{cCuenta, "Cuenta"}, std::pair{cMes, "Mes"},
                                        std::pair{cImporte, "Importe"}})
            if (c < 0)
                throw ErrorEntrada(ruta, 1, QStringLiteral("falta la columna %1")
                                                .arg(QString::fromLatin1(nombre)));
        const qsizetype necesarios = std::max({cCuenta, cMes, cImporte}) + 1;
        for (int linea = 2; !f.atEnd(); ++linea) {
            const QString l = QString::fromUtf8(f.readLine()).trimmed();
            if (l.isEmpty()) continue;
            const QStringList campos = l.split(u';');
            if (campos.size() < necesarios)
                throw ErrorEntrada(ruta, linea, QStringLiteral("faltan columnas"));
            bool ok = false;
            const int mes = campos[cMes].trimmed().toInt(&ok);
            if (!ok || mes < 1 || mes > 12)
                throw ErrorEntrada(ruta, linea,
                                   QStringLiteral("mes no válido: %1").arg(campos[cMes]));
            const QString t = campos[cImporte].trimmed();
            auto importe = importeEuros(t, t.contains(u','));
            if (!importe)
                throw ErrorEntrada(ruta, linea, QStringLiteral("importe no válido: %1").arg(t));
            ApunteLeido ap;
            ap.linea = linea;
            ap.subcuenta = campos[cCuenta].trimmed();
            const qint64 id = subcuenta(ruta, ap);
            const QString mm = QStringLiteral("%1").arg(mes, 2, 10, QLatin1Char('0'));
            con_.Execute(QStringLiteral("UPDATE Cuenta SET Presupuesto%1 = ?, Presupuesto%1Euros = ? "
                                        "WHERE IDCuenta = ?")
                             .arg(mm),
                         {pesetas(redondear(pesetasExactas(*importe))), euros(*importe), id});
            ++r_.presupuestos;
        }
    }

  private:
    // El último apunte al debe de un asiento, donde se ajusta su redondeo en pesetas.
    struct ApunteDebe {
        qint64 apunte = 0, cuenta = 0;
        int mes = 0;
        std::int64_t pesetas = 0;
    };
    struct Cuadre {
        qint64 id = 0, numero = 0;
        QDate fecha;
        QString archivo;
        int linea = 0;
        Moneda debe, haber;
        std::int64_t debePts = 0, haberPts = 0;
        ApunteDebe ultimoDebe;
    };

    void insertarApunte(qint64 id, qint64 asiento, qint64 cuenta, const ApunteLeido& ap,
                        std::int64_t debePts, std::int64_t haberPts) {
        const ApuntePendiente p{id, asiento, cuenta, ap, debePts, haberPts};
        if (ap.base) {
            enlazar(*insApunteBase_, 0, p);
            insApunteBase_->ejecutar();
            return;
        }
        lote_.push_back(p);
        if (lote_.size() == kLote) vaciarLote();
    }

    // Enlace directo, sin QVariant: son un millón de filas en los libros grandes.
    static void enlazar(Instruccion& ins, int d, const ApuntePendiente& p) {
        const ApunteLeido& ap = p.ap;
        char b[Moneda::kLargoFormateado];
        const auto importe = [&](int indice, Moneda m, bool decimales) {
            ins.enlazarTexto(indice + d, QByteArrayView(b, m.formatearEn(b, decimales)));
        };
        const auto texto = [&](int indice, const QString& t, const char* siVacio = "") {
            if (t.isEmpty()) ins.enlazarTexto(indice + d, siVacio);
            else ins.enlazarTexto(indice + d, t.toUtf8());
        };
        ins.enlazarEntero(1 + d, p.id);
        ins.enlazarEntero(2 + d, p.asiento);
        ins.enlazarEntero(3 + d, p.cuenta);
        texto(4, ap.concepto);
        importe(5, Moneda::deEntero(p.debePts), false);
        importe(6, Moneda::deEntero(p.haberPts), false);
        importe(7, ap.debe, true);
        importe(8, ap.haber, true);
        texto(9, ap.factura);
        texto(10, ap.contrapartida);
        texto(11, ap.iva, "0");
        texto(12, ap.recargo, "0");
        if (ap.base) {
            importe(13, Moneda::deEntero(redondear(pesetasExactas(*ap.base))), false);
            importe(14, *ap.base, true);
        }
    }

    // Un lote lleno va en una instrucción; uno a medias (el último), apunte a apunte.
    void vaciarLote() {
        if (lote_.size() == kLote) {
            for (std::size_t i = 0; i < kLote; ++i) enlazar(*insApunteLote_, int(i) * 12, lote_[i]);
            insApunteLote_->ejecutar();
        } else {
            for (const ApuntePendiente& p : lote_) {
                enlazar(*insApunteUno_, 0, p);
                insApunteUno_->ejecutar();
            }
        }
        lote_.clear();
    }

    static QString mostrarFecha(const QString& aaaammdd) {
        return QDate::fromString(aaaammdd, QStringLiteral("yyyyMMdd"))
            .toString(QStringLiteral("dd/MM/yyyy"));
    }

    Cuadre nuevoAsiento(const AsientoLeido& a, qint64 numero) {
        Cuadre c;
        c.id = siguienteAsiento_++;
        c.numero = numero;
        c.fecha = a.fecha;
        c.archivo = a.archivo;
        c.linea = a.linea;
        insAsiento_->enlazarEntero(1, c.id);
        insAsiento_->enlazarEntero(2, o_.empresa);
        insAsiento_->enlazarEntero(3, numero);
        insAsiento_->enlazarTexto(4, a.fecha.toString(QStringLiteral("yyyyMMdd")).toLatin1());
        insAsiento_->ejecutar();
        return c;
    }

    void crearEmpresa(const QDate& primera) {
        const QDate desde = o_.desde.isValid() ? o_.desde : QDate(primera.year(), 1, 1);
        const QDate hasta = o_.hasta.isValid() ? o_.hasta : QDate(desde.year(), 12, 31);
        inicio_ = desde.toString(QStringLiteral("yyyyMMdd"));
        fin_ = hasta.toString(QStringLiteral("yyyyMMdd"));
        const QString nombre =
            o_.nombre.isEmpty() ? QFileInfo(o_.entrada).completeBaseName() : o_.nombre;
        con_.Execute(QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, "
                                    "AñoEjercicio, FechaIni, FechaFin, DesgloseSubCuentas) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                     {qint64(o_.empresa), o_.abreviatura.isEmpty() ? nombre.left(10) : o_.abreviatura,
                      nombre, desde.year(), inicio_, fin_, desglose_});
        hayEmpresa_ = true;
        r_.empresaCreada = true;
        const qint64 antes = qint64(cuentas_.size());
        Plan::cargarEstados(con_, o_.empresa, o_.plan);
        // Las cuentas que crea el plan (la 129 y sus padres) también se cuentan.
        cuentas_.clear();
        Recordset c = con_.Execute(
            QStringLiteral("SELECT Codigo, IDCuenta FROM Cuenta WHERE CodEmpresa = ?"),
            {qint64(o_.empresa)});
        for (; !c.Eof(); c.MoveNext())
            cuentas_.insert(c.Fields(0).toString().trimmed(), c.entero(1));
        r_.cuentasCreadas += qint64(cuentas_.size()) - antes;
        siguienteCuenta_ =
            con_.valor(QStringLiteral("SELECT MAX(IDCuenta) FROM Cuenta")).toLongLong() + 1;
    }

    // Clave de la subcuenta del apunte; la crea, con sus cuentas padre de una a cuatro cifras,
    // si falta. "572.1" se lee 5720001 con siete cifras.
    qint64 subcuenta(const QString& archivo, const ApunteLeido& ap) {
        QString codigo = ap.subcuenta;
        const qsizetype punto = codigo.indexOf(u'.');
        if (punto >= 0 && codigo.count(u'.') == 1 && codigo.size() - 1 <= desglose_)
            codigo = codigo.left(punto) +
                     QString(desglose_ - (codigo.size() - 1), u'0') + codigo.mid(punto + 1);
        const auto it = cuentas_.constFind(codigo);
        if (it != cuentas_.constEnd()) return *it;
        bool cifras = !codigo.isEmpty();
        for (QChar c : codigo) cifras = cifras && c.isDigit();
        if (!cifras || codigo.size() != desglose_)
            throw ErrorEntrada(archivo, ap.linea,
                               QStringLiteral("la cuenta %1 no es una subcuenta de %2 cifras")
                                   .arg(ap.subcuenta)
                                   .arg(desglose_));
        for (int largo = 1; largo <= 4 && largo < desglose_; ++largo) {
            const QString padre = codigo.left(largo);
            if (!cuentas_.contains(padre)) crearCuenta(padre, 1, Plan::nombreCuenta(padre), {});
        }
        return crearCuenta(codigo, 2, ap.nombreCuenta, ap.nif);
    }

    qint64 crearCuenta(const QString& codigo, int tipo, const QString& descripcion,
                       const QString& nif) {
        const qint64 id = siguienteCuenta_++;
        con_.Execute(QStringLiteral("INSERT INTO Cuenta (IDCuenta, CodEmpresa, CodTipo_Cuenta, "
                                    "Codigo, Descripcion, Nivel, DNI_CIF) VALUES (?, ?, ?, ?, ?, "
                                    "?, ?)"),
                     {id, qint64(o_.empresa), tipo, codigo, descripcion, qint64(codigo.size()),
                      nif});
        cuentas_.insert(codigo, id);
        ++r_.cuentasCreadas;
        return id;
    }

    Conexion& con_;
    const Opciones& o_;
    Resumen& r_;
    bool hayEmpresa_ = false;
    int desglose_ = 7;
    QString inicio_, fin_;
    QHash<QString, qint64> cuentas_;
    QSet<qint64> numerosPrevios_;
    qint64 mayorNumero_ = 0;
    qint64 siguienteAsiento_ = 1, siguienteApunte_ = 1, siguienteCuenta_ = 1;
    QHash<qint64, Cuadre> conNumero_;
    std::vector<Cuadre> sinNumero_;
    static constexpr std::size_t kLote = 50;
    std::optional<Instruccion> insAsiento_, insApunteLote_, insApunteUno_, insApunteBase_;
    std::vector<ApuntePendiente> lote_;
    std::optional<Asientos::SumasApuntes> sumas_;
};

bool esDiario(const QString& ruta) {
    const QString ext = QFileInfo(ruta).suffix().toLower();
    return ext == u"journal" || ext == u"ledger" || ext == u"hledger";
}

}  // namespace

QString Resumen::texto() const {
    return QStringLiteral("Importados %1 asientos y %2 apuntes; %3 cuentas creadas%4%5.")
        .arg(asientos)
        .arg(apuntes)
        .arg(cuentasCreadas)
        .arg(empresaCreada ? QStringLiteral("; empresa creada") : QString())
        .arg(presupuestos ? QStringLiteral("; %1 presupuestos mensuales").arg(presupuestos)
                          : QString());
}

Resumen importar(const Opciones& o, IProgreso& progreso) {
    // Un archivo nuevo que no llega a tener libros se borra; una base de un servidor no se toca
    // más que dentro de la transacción.
    const bool existia = Conexion::esServidor(o.contabilidad) || QFileInfo::exists(o.contabilidad);
    Resumen r;
    try {
        auto con = Conexion::abrir(o.contabilidad, true);
        // El esquema va dentro de la transacción: una importación rechazada no deja ni las tablas.
        Transaccion t(*con);
        con->reservarEscritura();
        Esquemas::crearContabilidad(*con);
        Plan::crearTablasFijas(*con);
        Importador imp(*con, o, r);
        imp.abrirEmpresa();
        const qint64 tamano = std::max<qint64>(1, QFileInfo(o.entrada).size());
        progreso.Iniciar(tamano, QStringLiteral("Importando %1 ...").arg(o.entrada), 3);
        const auto avance = [&](qint64 bytes) { progreso.setValor(std::min(bytes, tamano)); };
        // Con muchas líneas, rehacer al final los índices de los apuntes y asientos (los del
        // esquema de los libros) cuesta mucho menos que mantenerlos fila a fila; pero quitarlos
        // bloquea la tabla entera, y con ella los informes de las otras empresas: solo en un
        // archivo nuevo, que nadie más lee.
        const bool grande = !existia && tamano > (8 << 20);
        if (grande)
            for (const char* indice : {"ixApunteAsiento", "ixApunteCuenta",
                                       "ixAsientoEmpresaFecha", "ixAsientoEmpresaNumero"})
                con->Execute(QStringLiteral("DROP INDEX IF EXISTS %1").arg(QLatin1String(indice)));
        const Receptor receptor = [&](AsientoLeido&& a) { imp.asiento(std::move(a)); };
        if (esDiario(o.entrada))
            leerDiario(o.entrada, receptor, r.avisos, avance);
        else
            leerCsv(o.entrada, receptor, avance);
        if (grande) Esquemas::crearContabilidad(*con);
        imp.terminar();
        if (!o.presupuesto.isEmpty()) imp.presupuesto(o.presupuesto);
        Plan::asignarCuentas(*con, o.empresa, Plan::modeloDeEmpresa(*con, o.empresa));
        Asientos::asentar(*con, o.empresa, true, imp.sumas());
        con->ajustarNumeraciones();
        t.confirmar();
        progreso.Terminar();
    } catch (...) {
        progreso.Terminar();
        if (!existia) QFile::remove(o.contabilidad);
        throw;
    }
    return r;
}

int orden(const QStringList& a, QTextStream& err) {
    const QString uso = QStringLiteral(
        "Uso: orvo-informes importar ENTRADA --contabilidad FILE|postgresql://... --empresa N [--nombre TEXTO] "
        "[--abreviatura TEXTO] [--desde AAAA-MM-DD --hasta AAAA-MM-DD] "
        "[--plan pymes|abreviado|ninguno] [--presupuesto FILE.csv]\n");
    Opciones o;
    bool conEmpresa = false;
    for (int i = 0; i < a.size(); ++i) {
        const QString& x = a[i];
        const auto valor = [&]() -> std::optional<QString> {
            if (i + 1 >= a.size()) return std::nullopt;
            return a[++i];
        };
        std::optional<QString> v;
        if (!x.startsWith(QLatin1String("--"))) {
            if (!o.entrada.isEmpty()) {
                err << "Sobra el argumento " << x << "\n" << uso;
                return 2;
            }
            o.entrada = x;
            continue;
        }
        if (!(v = valor())) {
            err << "Falta el valor de " << x << "\n" << uso;
            return 2;
        }
        if (x == u"--contabilidad") {
            o.contabilidad = *v;
        } else if (x == u"--empresa") {
            bool ok = false;
            o.empresa = v->toLong(&ok);
            conEmpresa = ok && o.empresa > 0;
            if (!conEmpresa) {
                err << "--empresa necesita un código de empresa\n";
                return 2;
            }
        } else if (x == u"--nombre") {
            o.nombre = *v;
        } else if (x == u"--abreviatura") {
            o.abreviatura = *v;
        } else if (x == u"--desde" || x == u"--hasta") {
            const QDate d = QDate::fromString(*v, Qt::ISODate);
            if (!d.isValid()) {
                err << "Fecha no válida en " << x << ": " << *v << "\n";
                return 2;
            }
            (x == u"--desde" ? o.desde : o.hasta) = d;
        } else if (x == u"--plan") {
            const auto m = Plan::modeloDeNombre(*v);
            if (!m) {
                err << "Plan desconocido: " << *v << "\n" << uso;
                return 2;
            }
            o.plan = *m;
        } else if (x == u"--presupuesto") {
            o.presupuesto = *v;
        } else {
            err << "Opción desconocida: " << x << "\n" << uso;
            return 2;
        }
    }
    if (o.entrada.isEmpty() || o.contabilidad.isEmpty() || !conEmpresa ||
        o.desde.isValid() != o.hasta.isValid() || (o.desde.isValid() && o.desde > o.hasta)) {
        err << uso;
        return 2;
    }
    try {
        ProgresoNulo progreso;
        const Resumen r = importar(o, progreso);
        for (const QString& aviso : r.avisos) err << aviso << "\n";
        err << r.texto() << "\n";
        return 0;
    } catch (const std::exception& e) {
        err << descripcionError(e) << "\n";
        return 1;
    }
}

}  // namespace orvo::Importacion
