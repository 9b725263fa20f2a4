#include "Importador.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "Asentar.h"
#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Escritores.h"
#include "Esquemas.h"
#include "FechaLibros.h"
#include "Lectores.h"
#include "Mapa.h"
#include "Progreso.h"
#include "Regional.h"
#include "Registro.h"

namespace orvo::Importacion {

namespace {

// Las pesetas de los importes, como las reparte la rutina de asientos.
using Asientos::pesetasExactas;
using Asientos::redondear;
using Asientos::repartirPesetas;

QString euros(Moneda m) {
    return m.formatear(conDecimales(Divisa::Euros));
}
QString pesetas(std::int64_t p) {
    return Moneda::deEntero(p).formatear(conDecimales(Divisa::Pesetas));
}

// Un apunte a la espera de su lote.
struct ApuntePendiente {
    qint64 id, asiento, cuenta;
    ApunteLeido ap;
    std::int64_t debePts, haberPts;
    // Sus importes escritos: la instrucción los enlaza sin copia y los lee al ejecutarse.
    char importes[6][Moneda::kLargoFormateado];
};

// ¿Parece un código de subcuenta? Cifras, con un punto como mucho ("572.1").
bool pareceCodigo(const QString& t) {
    if (t.isEmpty() || t.count(u'.') > 1 || t == u".") return false;
    for (QChar c : t)
        if (!c.isDigit() && c != u'.') return false;
    return true;
}

class Importador {
  public:
    Importador(Conexion& con, const Opciones& o, Resumen& r, Problemas& problemas,
               const Mapa& mapa, const QHash<QString, QString>& declaradas)
        : con_(con), o_(o), r_(r), problemas_(problemas), mapa_(mapa), declaradas_(declaradas) {}

    void abrirEmpresa() {
        if (o_.digitos) desglose_ = o_.digitos;
        if (const auto empresa = DatosEmpresa::leer(con_, o_.empresa)) {
            inicio_ = FechaLibros::deTexto(empresa->fechaIni);
            fin_ = FechaLibros::deTexto(empresa->fechaFin);
            if (o_.digitos && empresa->desgloseSubcuentas && o_.digitos != empresa->desgloseSubcuentas)
                throw ErrorOrvo(Causa::ArgumentoNoValido,
                                QStringLiteral("La empresa %1 tiene subcuentas de %2 cifras: "
                                               "--digitos solo vale para una empresa nueva.")
                                    .arg(o_.empresa)
                                    .arg(empresa->desgloseSubcuentas));
            if (empresa->desgloseSubcuentas) desglose_ = empresa->desgloseSubcuentas;
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
        primerAsiento_ = siguienteAsiento_;
        siguienteApunte_ = con_.valor(QStringLiteral("SELECT MAX(IDApunte) FROM Apunte")).toLongLong() + 1;
        siguienteCuenta_ = con_.valor(QStringLiteral("SELECT MAX(IDCuenta) FROM Cuenta")).toLongLong() + 1;
        // Los apuntes sin base imponible (casi todos) no la nombran: queda en NULL; los que
        // tampoco tienen factura, contrapartida ni IVA dejan esas columnas a su valor por omisión.
        const QString columnas = QStringLiteral(
            "IDApunte, CodAsiento, CodCuenta, Concepto, CtdadDebe, CtdadHaber, CtdadDebeEuros, "
            "CtdadHaberEuros");
        const QString deFactura =
            columnas + QStringLiteral(", Factura, Contrapartida, PorcentajeIVA, PorcentajeRecargo");
        const auto insertar = [&](const QString& lista, int valores, std::size_t filas) {
            QStringList marcas(valores, QStringLiteral("?"));
            const QString tupla = u'(' + marcas.join(QStringLiteral(", ")) + u')';
            return con_.preparar(QStringLiteral("INSERT INTO Apunte (%1) VALUES %2")
                                     .arg(lista, QStringList(qsizetype(filas), tupla).join(u',')));
        };
        // Por lotes: una instrucción escribe kLote apuntes; el resto del último lote, uno a uno.
        insApunteLote_.emplace(insertar(deFactura, kConFactura, kLote));
        insApunteLoteSimple_.emplace(insertar(columnas, kComunes, kLote));
        insApunteUno_.emplace(insertar(deFactura, kConFactura, 1));
        insApunteBase_.emplace(
            insertar(deFactura + QStringLiteral(", BaseImp, BaseImpEuros"), kConBase, 1));
    }

    // ¿Cae la fecha después del ejercicio de la empresa, que ya existe?
    bool despuesDelEjercicio(const QDate& fecha) const {
        return hayEmpresa_ && fecha > fin_.fecha();
    }

    // Valida un asiento entero y, si no hay ningún problema en la importación, lo escribe.
    void asiento(AsientoLeido&& a) {
        try {
            if (!hayEmpresa_) crearEmpresa(a.fecha);
            validar(a);
        } catch (const ErrorEntrada& e) {
            problemas_.anadir(e);
            return;
        }
        std::vector<qint64>& cuentas = cuentasApunte_;
        cuentas.clear();
        bool bien = true;
        for (const ApunteLeido& ap : a.apuntes) {
            try {
                cuentas.push_back(subcuenta(a.archivo, ap));
                bien = bien && cuentas.back() != 0;
            } catch (const ErrorEntrada& e) {
                problemas_.anadir(e);
                bien = false;
            }
        }
        // Con un problema ya no se escribe nada: la importación no se confirmará.
        if (!bien || !problemas_.vacio()) return;
        const qint64 asiento = nuevoAsiento(a, a.numero.value_or(0));
        if (!a.numero) sinNumero_.push_back({asiento, a.fecha});

        debes_.clear();
        haberes_.clear();
        for (const ApunteLeido& ap : a.apuntes) {
            debes_.push_back(ap.debe);
            haberes_.push_back(ap.haber);
        }
        repartirPesetas(debes_, debePts_, restos_);
        repartirPesetas(haberes_, haberPts_, restos_);
        const std::vector<std::int64_t>& debePts = debePts_;
        const std::vector<std::int64_t>& haberPts = haberPts_;
        const int m = (a.fecha.month() - 1) * 4;
        for (std::size_t i = 0; i < a.apuntes.size(); ++i) {
            ApunteLeido& ap = a.apuntes[i];
            const qint64 cuenta = cuentas[i];
            if (sumas_) {
                auto& s = (*sumas_)[cuenta];
                s[m] += Moneda::deEntero(debePts[i]);
                s[m + 1] += ap.debe;
                s[m + 2] += Moneda::deEntero(haberPts[i]);
                s[m + 3] += ap.haber;
            }
            insertarApunte(siguienteApunte_++, asiento, cuenta, std::move(ap), debePts[i],
                           haberPts[i]);
            ++r_.apuntes;
        }
    }

    void terminar() {
        vaciarLote();
        pedirMapa();
        if (!hayEmpresa_ && problemas_.vacio())
            throw ErrorEntrada(o_.entrada, 0, QStringLiteral("no hay asientos"));
        // Los asientos sin número, en orden de fecha detrás del mayor número de la empresa.
        qint64 numero = std::max(mayorNumero_, mayorDelArchivo_);
        std::stable_sort(sinNumero_.begin(), sinNumero_.end(),
                         [](const SinNumero& a, const SinNumero& b) { return a.fecha < b.fecha; });
        Instruccion numerar =
            con_.preparar(QStringLiteral("UPDATE Asiento SET Numero = ? WHERE IDAsiento = ?"));
        for (const SinNumero& c : sinNumero_) numerar.ejecutar({++numero, c.id});
        r_.asientos += qint64(numeros_.size() + sinNumero_.size());
    }

    // Primera y última clave de los asientos escritos, que van seguidas.
    qint64 primerAsiento() const { return primerAsiento_; }
    qint64 ultimoAsiento() const { return siguienteAsiento_ - 1; }

    // Las sumas de todos los apuntes de la empresa, si los ha escrito todos esta importación.
    const Asientos::SumasApuntes* sumas() const { return sumas_ ? &*sumas_ : nullptr; }

    // Presupuesto mensual en euros de subcuentas: Cuenta;Mes;Importe.
    void presupuesto(const QString& ruta) {
        const Codificacion codificacion = sondear(ruta).codificacion;
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly))
            throw ErrorEntrada(ruta, 0, QStringLiteral("no se puede leer el archivo"));
        QByteArray primera = f.readLine().trimmed();
        if (primera.startsWith("\xEF\xBB\xBF")) primera.remove(0, 3);
        const QStringList cabecera =
            camposDeLinea(decodificar(primera, codificacion).value_or(QString()));
        const qsizetype cCuenta = cabecera.indexOf(QStringLiteral("Cuenta")),
                        cMes = cabecera.indexOf(QStringLiteral("Mes")),
                        cImporte = cabecera.indexOf(QStringLiteral("Importe"));
        for (const auto& [c, nombre] : {std::pair{cCuenta, "Cuenta"}, std::pair{cMes, "Mes"},
                                        std::pair{cImporte, "Importe"}})
            if (c < 0)
                throw ErrorEntrada(ruta, 1, QStringLiteral("falta la columna %1")
                                                .arg(QString::fromLatin1(nombre)));
        const qsizetype necesarios = std::max({cCuenta, cMes, cImporte}) + 1;
        FormatoImportes formato(',');
        for (int linea = 2; !f.atEnd(); ++linea) {
            try {
                const auto l = decodificar(f.readLine().trimmed(), codificacion);
                if (!l) throw ErrorEntrada(ruta, linea, QStringLiteral("byte que no es un carácter"));
                if (l->isEmpty()) continue;
                const QStringList campos = camposDeLinea(*l);
                if (campos.size() < necesarios)
                    throw ErrorEntrada(ruta, linea, QStringLiteral("faltan columnas"));
                bool ok = false;
                const int mes = campos[cMes].toInt(&ok);
                if (!ok || mes < 1 || mes > 12)
                    throw ErrorEntrada(ruta, linea,
                                       QStringLiteral("mes no válido: %1").arg(campos[cMes]));
                const Moneda importe = formato.leer(QStringView(campos[cImporte]), ruta, linea);
                ApunteLeido ap;
                ap.linea = linea;
                ap.cuenta = ap.subcuenta = campos[cCuenta];
                const qint64 id = subcuenta(ruta, ap);
                if (id == 0 || !problemas_.vacio()) continue;
                const QString mm = QStringLiteral("%1").arg(mes, 2, 10, QLatin1Char('0'));
                con_.Execute(QStringLiteral("UPDATE Cuenta SET Presupuesto%1 = ?, "
                                            "Presupuesto%1Euros = ? WHERE IDCuenta = ?")
                                 .arg(mm),
                             {pesetas(redondear(pesetasExactas(importe))), euros(importe), id});
                ++r_.presupuestos;
            } catch (const ErrorEntrada& e) {
                problemas_.anadir(e);
            }
        }
        pedirMapa();
    }

  private:
    // Un asiento que se numera al final, por su fecha.
    struct SinNumero {
        qint64 id = 0;
        QDate fecha;
    };

    // Lo que se comprueba de un asiento antes de escribirlo: su fecha, su número y que cuadra.
    void validar(const AsientoLeido& a) {
        if (a.fecha < inicio_.fecha() || a.fecha > fin_.fecha())
            throw ErrorEntrada(a.archivo, a.linea,
                               QStringLiteral("la fecha %1 está fuera del ejercicio (%2 a %3)")
                                   .arg(FechaLibros(a.fecha).impresa(), inicio_.impresa(),
                                        fin_.impresa()));
        if (a.numero) {
            if (numerosPrevios_.contains(*a.numero))
                throw ErrorEntrada(a.archivo, a.linea,
                                   QStringLiteral("el asiento %1 ya existe en la empresa")
                                       .arg(*a.numero));
            if (const int previa = lineaDelNumero(*a.numero))
                throw ErrorEntrada(a.archivo, a.linea,
                                   QStringLiteral("el asiento %1 ya apareció en la línea %2: "
                                                  "cada asiento va en líneas seguidas y con su "
                                                  "propio número")
                                       .arg(*a.numero)
                                       .arg(previa));
            numeros_.emplace_back(*a.numero, a.linea);
            if (indiceNumeros_) indiceNumeros_->insert(*a.numero, a.linea);
            mayorDelArchivo_ = std::max(mayorDelArchivo_, *a.numero);
        }
        Moneda debe, haber;
        for (const ApunteLeido& ap : a.apuntes) {
            debe += ap.debe;
            haber += ap.haber;
        }
        if (debe != haber)
            throw ErrorEntrada(
                a.archivo, a.linea,
                QStringLiteral("el asiento %1 no cuadra: debe %2, haber %3")
                    .arg(a.numero ? QString::number(*a.numero) : QStringLiteral("de esta línea"),
                         euros(debe), euros(haber)));
    }

    // Línea en que apareció antes un número de asiento del archivo, o 0. Los números casi
    // siempre crecen: solo hace falta buscar (y el índice) cuando uno no es el mayor.
    int lineaDelNumero(qint64 numero) {
        if (numero > mayorDelArchivo_) return 0;
        if (!indiceNumeros_) {
            indiceNumeros_.emplace();
            for (const auto& [n, linea] : numeros_) indiceNumeros_->insert(n, linea);
        }
        return indiceNumeros_->value(numero);
    }

    // Las cuentas del archivo sin subcuenta, todas de una vez, y un mapa para rellenar.
    void pedirMapa() {
        if (sinMapa_.isEmpty()) return;
        QList<std::pair<QString, QString>> cuentas;
        for (const SinSubcuenta& s : sinMapa_) {
            problemas_.anadir(s.archivo, s.linea,
                              QStringLiteral("la cuenta «%1» no tiene subcuenta: ni es un código, "
                                             "ni está en el mapa, ni la declara una directiva "
                                             "account")
                                  .arg(s.cuenta));
            cuentas.append({s.cuenta, s.nombre});
        }
        const QString ruta = rutaMapaPendiente(o_.entrada);
        sinMapa_.clear();
        try {
            problemas_.anadir(
                ruta, 0,
                escribirMapaPendiente(ruta, o_.mapa, cuentas)
                    ? QStringLiteral("escrito con las %1 cuentas sin subcuenta: rellene su "
                                     "columna Subcuenta y vuelva a importar con --mapa %2")
                          .arg(cuentas.size())
                          .arg(ruta)
                    : QStringLiteral("ya existe: añádale las %1 cuentas sin subcuenta y vuelva "
                                     "a importar con --mapa %2")
                          .arg(cuentas.size())
                          .arg(ruta));
        } catch (const FalloEscritura& e) {
            problemas_.anadir(ruta, 0,
                              QStringLiteral("no se puede escribir (%1): escriba un mapa "
                                             "Cuenta;Subcuenta con las %2 cuentas sin subcuenta "
                                             "e impórtelo con --mapa")
                                  .arg(e.motivo())
                                  .arg(cuentas.size()));
        }
    }

    void insertarApunte(qint64 id, qint64 asiento, qint64 cuenta, ApunteLeido&& ap,
                        std::int64_t debePts, std::int64_t haberPts) {
        ApuntePendiente p;
        p.id = id;
        p.asiento = asiento;
        p.cuenta = cuenta;
        p.ap = std::move(ap);
        p.debePts = debePts;
        p.haberPts = haberPts;
        if (p.ap.base) {
            vaciarAsientos();
            enlazar(*insApunteBase_, 0, p, kConBase);
            insApunteBase_->ejecutar();
            return;
        }
        lote_.push_back(std::move(p));
        if (lote_.size() == kLote) vaciarLote();
    }

    // Sin datos de factura: sus columnas se quedan con el valor por omisión.
    static bool simple(const ApuntePendiente& p) {
        const ApunteLeido& ap = p.ap;
        return ap.factura.isEmpty() && ap.contrapartida.isEmpty() && ap.iva.isEmpty() &&
               ap.recargo.isEmpty() && !ap.base;
    }

    // Enlace directo, sin QVariant ni copias: son un millón de filas en los libros grandes. Enlaza
    // las 'valores' primeras columnas (kComunes, kConFactura o kConBase) desde el parámetro
    // d + 1; 'p' debe seguir vivo y quieto hasta que se ejecute la instrucción.
    static void enlazar(Instruccion& ins, int d, ApuntePendiente& p, int valores) {
        const ApunteLeido& ap = p.ap;
        int hueco = 0;
        const auto importe = [&](int indice, Moneda m, Divisa divisa) {
            char* b = p.importes[hueco++];
            ins.enlazarTextoFijo(indice + d, QByteArrayView(b, m.formatearEn(b, conDecimales(divisa))));
        };
        const auto texto = [&](int indice, const QByteArray& t, const char* siVacio = "") {
            ins.enlazarTextoFijo(indice + d, t.isEmpty() ? QByteArrayView(siVacio) : QByteArrayView(t));
        };
        ins.enlazarEntero(1 + d, p.id);
        ins.enlazarEntero(2 + d, p.asiento);
        ins.enlazarEntero(3 + d, p.cuenta);
        texto(4, ap.concepto);
        importe(5, Moneda::deEntero(p.debePts), Divisa::Pesetas);
        importe(6, Moneda::deEntero(p.haberPts), Divisa::Pesetas);
        importe(7, ap.debe, Divisa::Euros);
        importe(8, ap.haber, Divisa::Euros);
        if (valores == kComunes) return;
        texto(9, ap.factura);
        texto(10, ap.contrapartida);
        texto(11, ap.iva, "0");
        texto(12, ap.recargo, "0");
        if (valores == kConBase) {
            importe(13, Moneda::deEntero(redondear(pesetasExactas(*ap.base))), Divisa::Pesetas);
            importe(14, *ap.base, Divisa::Euros);
        }
    }

    // Un lote lleno va en una instrucción; uno a medias (el último), apunte a apunte.
    void vaciarLote() {
        vaciarAsientos();
        if (lote_.size() == kLote) {
            const int valores =
                std::all_of(lote_.begin(), lote_.end(), simple) ? kComunes : kConFactura;
            Instruccion& ins = valores == kComunes ? *insApunteLoteSimple_ : *insApunteLote_;
            for (std::size_t i = 0; i < kLote; ++i) enlazar(ins, int(i) * valores, lote_[i], valores);
            ins.ejecutar();
        } else {
            for (ApuntePendiente& p : lote_) {
                enlazar(*insApunteUno_, 0, p, kConFactura);
                insApunteUno_->ejecutar();
            }
        }
        lote_.clear();
    }

    qint64 nuevoAsiento(const AsientoLeido& a, qint64 numero) {
        AsientoPendiente p{siguienteAsiento_++, numero, {}};
        int ano = 0, mes = 0, dia = 0;
        a.fecha.getDate(&ano, &mes, &dia);
        // El texto de FechaLibros, escrito sin pedir memoria: son cientos de miles de asientos.
        std::snprintf(p.fecha, sizeof p.fecha, "%04d%02d%02d", ano, mes, dia);
        asientos_.push_back(p);
        if (asientos_.size() == kLote) vaciarAsientos();
        return p.id;
    }

    // Los asientos pendientes, en una instrucción (preparada una vez para cada tamaño de
    // lote). Van antes que cualquier apunte: la clave ajena de Apunte los necesita escritos.
    void vaciarAsientos() {
        if (asientos_.empty()) return;
        auto it = insAsientos_.find(asientos_.size());
        if (it == insAsientos_.end()) {
            QStringList tuplas;
            for (std::size_t i = 0; i < asientos_.size(); ++i) tuplas << QStringLiteral("(?, ?, ?, ?)");
            it = insAsientos_
                     .emplace(asientos_.size(),
                              con_.preparar(QStringLiteral("INSERT INTO Asiento (IDAsiento, "
                                                           "CodEmpresa, Numero, Fecha) VALUES %1")
                                                .arg(tuplas.join(u','))))
                     .first;
        }
        Instruccion& ins = it->second;
        for (std::size_t i = 0; i < asientos_.size(); ++i) {
            const int d = int(i) * 4;
            ins.enlazarEntero(1 + d, asientos_[i].id);
            ins.enlazarEntero(2 + d, o_.empresa);
            ins.enlazarEntero(3 + d, asientos_[i].numero);
            ins.enlazarTextoFijo(4 + d, QByteArrayView(asientos_[i].fecha, 8));
        }
        ins.ejecutar();
        asientos_.clear();
    }

    void crearEmpresa(const QDate& primera) {
        const QDate desde = o_.desde.isValid() ? o_.desde : QDate(primera.year(), 1, 1);
        const QDate hasta = o_.hasta.isValid() ? o_.hasta : QDate(desde.year(), 12, 31);
        inicio_ = FechaLibros(desde);
        fin_ = FechaLibros(hasta);
        const QString nombre =
            o_.nombre.isEmpty() ? QFileInfo(o_.entrada).completeBaseName() : o_.nombre;
        con_.Execute(QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, "
                                    "AñoEjercicio, FechaIni, FechaFin, DesgloseSubCuentas) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                     {qint64(o_.empresa), o_.abreviatura.isEmpty() ? nombre.left(10) : o_.abreviatura,
                      nombre, desde.year(), inicio_.texto(), fin_.texto(), desglose_});
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

    // Clave de la subcuenta del apunte: la del mapa para la cuenta del archivo, la que declara
    // el diario o el código que da el propio archivo. La crea, con sus cuentas padre de una a
    // cuatro cifras, si falta. "572.1" se lee 5720001 con siete cifras. 0 si la cuenta no
    // tiene subcuenta (se pide en el mapa al terminar); ErrorEntrada si no es una subcuenta.
    qint64 subcuenta(const QString& archivo, const ApunteLeido& ap) {
        QString codigo = ap.subcuenta, nombre = ap.nombreCuenta;
        if (!ap.cuenta.isEmpty() && !(mapa_.isEmpty() && declaradas_.isEmpty())) {
            if (const auto m = mapa_.constFind(ap.cuenta); m != mapa_.constEnd()) {
                codigo = m->subcuenta;
                if (!m->descripcion.isEmpty()) nombre = m->descripcion;
            } else if (const auto d = declaradas_.constFind(ap.cuenta); d != declaradas_.constEnd()) {
                codigo = *d;
            }
        }
        if (codigo.size() == desglose_) {
            // Las subcuentas ya vistas, por su código como número: un millón de apuntes no
            // calculan un millón de huellas de texto.
            const qint64 clave = claveNumerica(codigo);
            if (const auto vista = porNumero_.constFind(clave); vista != porNumero_.constEnd())
                return *vista;
            const auto it = cuentas_.constFind(codigo);
            if (it != cuentas_.constEnd()) {
                if (clave >= 0) porNumero_.insert(clave, *it);
                return *it;
            }
        }
        if (ap.cuenta.isEmpty() && codigo.isEmpty())
            throw ErrorEntrada(archivo, ap.linea, QStringLiteral("falta la cuenta"));
        // Una cuenta que el archivo nombra sin código da su nombre a la subcuenta.
        if (nombre.isEmpty() && !pareceCodigo(ap.cuenta))
            nombre = ap.cuenta.section(u':', -1).trimmed();
        if (!pareceCodigo(codigo)) {
            if (!sinMapa_.contains(ap.cuenta))
                sinMapa_.insert(ap.cuenta, {ap.cuenta, nombre, archivo, ap.linea});
            return 0;
        }
        const qsizetype punto = codigo.indexOf(u'.');
        if (punto >= 0 && codigo.size() - 1 <= desglose_)
            codigo = codigo.left(punto) +
                     QString(desglose_ - (codigo.size() - 1), u'0') + codigo.mid(punto + 1);
        const auto it = cuentas_.constFind(codigo);
        if (codigo.size() != desglose_ || codigo.contains(u'.'))
            throw ErrorEntrada(archivo, ap.linea,
                               QStringLiteral("la cuenta %1 no es una subcuenta: las de la "
                                              "empresa tienen %2 cifras")
                                   .arg(codigo == ap.subcuenta ? codigo
                                                               : QStringLiteral("%1 (%2)").arg(ap.cuenta, codigo))
                                   .arg(desglose_));
        if (it != cuentas_.constEnd()) return *it;
        for (int largo = 1; largo <= 4 && largo < desglose_; ++largo) {
            const QString padre = codigo.left(largo);
            if (!cuentas_.contains(padre)) crearCuenta(padre, 1, Plan::nombreCuenta(padre), {});
        }
        return crearCuenta(codigo, 2, nombre, ap.nif);
    }

    // El código como número si son solo cifras (todas las subcuentas tienen las mismas, así que
    // no se confunden), o -1.
    static qint64 claveNumerica(const QString& codigo) {
        qint64 n = 0;
        for (QChar c : codigo) {
            if (c < u'0' || c > u'9') return -1;
            n = n * 10 + (c.unicode() - u'0');
        }
        return n;
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

    // Una cuenta del archivo sin subcuenta y dónde apareció la primera vez.
    struct SinSubcuenta {
        QString cuenta, nombre, archivo;
        int linea = 0;
    };

    Conexion& con_;
    const Opciones& o_;
    Resumen& r_;
    Problemas& problemas_;
    const Mapa& mapa_;
    const QHash<QString, QString>& declaradas_;
    bool hayEmpresa_ = false;
    int desglose_ = 7;
    FechaLibros inicio_, fin_;
    QHash<QString, qint64> cuentas_;
    QHash<qint64, qint64> porNumero_;  // subcuentas ya vistas por claveNumerica
    QSet<qint64> numerosPrevios_;
    qint64 mayorNumero_ = 0;
    qint64 siguienteAsiento_ = 1, siguienteApunte_ = 1, siguienteCuenta_ = 1, primerAsiento_ = 1;
    std::vector<std::pair<qint64, int>> numeros_;  // números de asiento del archivo y su línea
    std::optional<QHash<qint64, int>> indiceNumeros_;
    qint64 mayorDelArchivo_ = 0;
    std::vector<SinNumero> sinNumero_;
    QMap<QString, SinSubcuenta> sinMapa_;
    static constexpr std::size_t kLote = 50;
    static constexpr int kComunes = 8, kConFactura = 12, kConBase = 14;
    std::optional<Instruccion> insApunteLote_, insApunteLoteSimple_, insApunteUno_, insApunteBase_;
    // Un asiento a la espera de su lote.
    struct AsientoPendiente {
        qint64 id = 0, numero = 0;
        char fecha[16];  // aaaammdd
    };
    std::vector<AsientoPendiente> asientos_;
    std::map<std::size_t, Instruccion> insAsientos_;
    std::vector<ApuntePendiente> lote_;
    // Espacio de trabajo de cada asiento, que se reutiliza.
    std::vector<qint64> cuentasApunte_;
    std::vector<Moneda> debes_, haberes_;
    std::vector<std::int64_t> debePts_, haberPts_;
    std::vector<std::pair<std::int64_t, std::size_t>> restos_;
    std::optional<Asientos::SumasApuntes> sumas_;
};

}  // namespace

QString Resumen::texto() const {
    return QStringLiteral("%1 y %2 importados; %3%4%5%6.%7")
        .arg(Regional::cantidad(asientos, QStringLiteral("asiento"), QStringLiteral("asientos")))
        .arg(Regional::cantidad(apuntes, QStringLiteral("apunte"), QStringLiteral("apuntes")))
        .arg(Regional::cantidad(cuentasCreadas, QStringLiteral("cuenta creada"),
                                QStringLiteral("cuentas creadas")))
        .arg(empresaCreada ? QStringLiteral("; empresa creada") : QString())
        .arg(presupuestos ? QStringLiteral("; ") +
                                Regional::cantidad(presupuestos,
                                                   QStringLiteral("presupuesto mensual"),
                                                   QStringLiteral("presupuestos mensuales"))
                          : QString())
        .arg(codificacion.isEmpty() ? QString() : QStringLiteral("; leído como ") + codificacion)
        .arg(!importacion ? QString()
             : ejerciciosAbiertos
                 ? QStringLiteral(" Importación %1, de %2 ejercicios: no se deshace.")
                       .arg(importacion)
                       .arg(ejerciciosAbiertos + 1)
                 : QStringLiteral(" Importación %1 (se deshace con --deshacer %1).")
                       .arg(importacion));
}

Resumen importar(const Opciones& o, IProgreso& progreso) {
    // Un archivo nuevo que no llega a tener libros se borra; una base de un servidor no se toca
    // más que dentro de la transacción.
    const bool existia = Conexion::esServidor(o.contabilidad) || QFileInfo::exists(o.contabilidad);
    Resumen r;
    try {
        const Sondeo sondeo = sondear(o.entrada);
        if (sondeo.codificacion != Codificacion::Utf8)
            r.codificacion = nombreCodificacion(sondeo.codificacion);
        Problemas problemas;
        const Mapa mapa = o.mapa.isEmpty() ? Mapa() : leerMapa(o.mapa, problemas);
        QHash<QString, QString> declaradas;
        auto con = Conexion::abrir(o.contabilidad, true);
        // El esquema va dentro de la transacción: una importación rechazada no deja ni las tablas.
        Transaccion t(*con);
        con->reservarEscritura();
        Esquemas::crearContabilidad(*con);
        Plan::crearTablasFijas(*con);
        Registro::crearTabla(*con);
        if (const auto previa = Registro::buscar(*con, o.empresa, sondeo.huella))
            throw ErrorEntrada(o.entrada, 0,
                               QStringLiteral("este contenido ya se importó el %1 (importación %2, "
                                              "%3); no se importa dos veces: para repetirla, "
                                              "deshaga antes aquella con --deshacer %2")
                                   .arg(previa->fecha)
                                   .arg(previa->numero)
                                   .arg(previa->archivo));
        // La empresa de cada ejercicio: un asiento posterior al ejercicio lo termina, lo
        // cierra y sigue en el siguiente.
        Opciones actual = o;
        auto imp = std::make_unique<Importador>(*con, actual, r, problemas, mapa, declaradas);
        imp->abrirEmpresa();
        const qint64 primerAsiento = imp->primerAsiento();
        const auto asentarEjercicio = [&] {
            Plan::asignarCuentas(*con, actual.empresa, Plan::modeloDeEmpresa(*con, actual.empresa));
            Asientos::asentar(*con, actual.empresa, true, imp->sumas());
        };
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
        const Receptor receptor = [&](AsientoLeido&& a) {
            while (o.abrirSiguiente && imp->despuesDelEjercicio(a.fecha)) {
                imp->terminar();
                // Un ejercicio con problemas no se cierra: se dicen los que hay hasta aquí.
                problemas.comprobar();
                asentarEjercicio();
                actual.empresa = o.abrirSiguiente(*con, actual.empresa);
                ++r.ejerciciosAbiertos;
                r.avisos << QStringLiteral("Ejercicio siguiente abierto como empresa %1")
                                .arg(actual.empresa);
                imp = std::make_unique<Importador>(*con, actual, r, problemas, mapa, declaradas);
                imp->abrirEmpresa();
            }
            imp->asiento(std::move(a));
        };
        if (esDiario(o.entrada))
            leerDiario(o.entrada, receptor, problemas, r.avisos, declaradas, avance);
        else
            leerCsvEnParalelo(o.entrada, sondeo.codificacion, {o.columnas}, receptor, problemas,
                              avance);
        if (grande) Esquemas::crearContabilidad(*con);
        imp->terminar();
        if (!o.presupuesto.isEmpty()) imp->presupuesto(o.presupuesto);
        problemas.comprobar();
        // Una sola anotación, en la primera empresa, aunque abarque varios ejercicios: sus
        // asientos, con las aperturas de los siguientes, tienen claves seguidas.
        r.importacion =
            Registro::anotar(*con, o.empresa, QFileInfo(o.entrada).fileName(), sondeo.huella,
                             r.asientos, r.apuntes, primerAsiento, imp->ultimoAsiento());
        asentarEjercicio();
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

int orden(const QStringList& a, QTextStream& err,
          const std::function<long(Conexion&, long)>& abrirSiguiente) {
    const QString uso = QStringLiteral(
        "Uso: orvo-informes importar ENTRADA --contabilidad FILE|postgresql://... --empresa N [--nombre TEXTO] "
        "[--abreviatura TEXTO] [--desde AAAA-MM-DD --hasta AAAA-MM-DD] "
        "[--plan pymes|abreviado|ninguno] [--digitos 5-10] [--mapa FILE.csv] "
        "[--columnas Fecha,Asiento,...] [--presupuesto FILE.csv]\n"
        "     orvo-informes importar --deshacer N --contabilidad FILE|postgresql://... --empresa N\n");
    Opciones o;
    o.abrirSiguiente = abrirSiguiente;
    bool conEmpresa = false;
    qint64 deshacer = 0;
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
        } else if (x == u"--mapa") {
            o.mapa = *v;
        } else if (x == u"--columnas") {
            o.columnas = v->split(u',');
        } else if (x == u"--digitos") {
            bool ok = false;
            o.digitos = v->toInt(&ok);
            if (!ok || o.digitos < 5 || o.digitos > 10) {
                err << "--digitos necesita un número de cifras de subcuenta entre 5 y 10\n";
                return 2;
            }
        } else if (x == u"--deshacer") {
            bool ok = false;
            deshacer = v->toLongLong(&ok);
            if (!ok || deshacer <= 0) {
                err << "--deshacer necesita el número de una importación\n";
                return 2;
            }
        } else {
            err << "Opción desconocida: " << x << "\n" << uso;
            return 2;
        }
    }
    if (deshacer > 0) {
        if (!o.entrada.isEmpty() || o.contabilidad.isEmpty() || !conEmpresa) {
            err << uso;
            return 2;
        }
        try {
            const Registro::Importacion i = Registro::deshacer(o.contabilidad, o.empresa, deshacer);
            err << QStringLiteral("Deshecha la importación %1 (%2, del %3): borrados %4 asientos.")
                       .arg(i.numero)
                       .arg(i.archivo, i.fecha)
                       .arg(i.asientos)
                << "\n";
            return 0;
        } catch (const std::exception& e) {
            err << descripcionError(e) << "\n";
            return 1;
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
