#include "Lectores.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QScopeGuard>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <variant>

#include "Plan.h"

namespace orvo::Importacion {

namespace {

// Fecha "dd/mm/aaaa", "aaaa-mm-dd" o "aaaa/mm/dd"; inválida si no existe.
QDate leerFecha(QByteArrayView t) {
    t = t.trimmed();
    const auto numero = [&](qsizetype desde, qsizetype largo) {
        int n = 0;
        for (qsizetype i = desde; i < desde + largo; ++i) {
            if (i >= t.size() || t[i] < '0' || t[i] > '9') return -1;
            n = n * 10 + (t[i] - '0');
        }
        return n;
    };
    if (t.size() == 10 && t[2] == '/' && t[5] == '/')
        return QDate(numero(6, 4), numero(3, 2), numero(0, 2));
    if (t.size() == 10 && (t[4] == '-' || t[4] == '/' || t[4] == '.') && t[7] == t[4])
        return QDate(numero(0, 4), numero(5, 2), numero(8, 2));
    return QDate();
}

// Nombre de columna comparable: minúsculas, sin acentos y solo letras y cifras ("Nº asiento",
// "numero_asiento" y "Número asiento" quedan en "nasiento", "numeroasiento").
QString normalizar(const QString& s) {
    static const QString con = QStringLiteral("áéíóúüñ"), sin = QStringLiteral("aeiouun");
    QString r;
    for (QChar c : s.toLower()) {
        const qsizetype k = con.indexOf(c);
        if (k >= 0) c = sin[k];
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) r += c;
    }
    return r;
}

// Campos de una línea CSV separados por ';', con comillas dobles opcionales. Los campos sin
// comillas son vistas de la línea; los entrecomillados se copian sin las comillas a 'copias'.
void partir(QByteArrayView linea, std::vector<QByteArrayView>& campos,
            std::deque<QByteArray>& copias) {
    campos.clear();
    copias.clear();
    qsizetype i = 0;
    const qsizetype n = linea.size();
    while (true) {
        if (i < n && linea[i] == '"') {
            QByteArray campo;
            ++i;
            while (i < n) {
                if (linea[i] == '"') {
                    if (i + 1 < n && linea[i + 1] == '"') {
                        campo += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                campo += linea[i++];
            }
            while (i < n && linea[i] != ';') ++i;
            // Un deque no mueve sus elementos al crecer: la vista sigue valiendo.
            copias.push_back(std::move(campo));
            campos.push_back(QByteArrayView(copias.back()));
        } else {
            const qsizetype fin = linea.indexOf(';', i);
            const qsizetype hasta = fin < 0 ? n : fin;
            campos.push_back(QByteArrayView(linea.constData() + i, hasta - i));
            i = hasta;
        }
        if (i >= n) break;
        ++i;  // el ';'
        if (i == n) {
            campos.push_back(QByteArrayView());
            break;
        }
    }
}

// Lee la línea siguiente en 'buffer', que se reutiliza (un millón de líneas no piden memoria una
// a una), y deja en 'linea' la vista sin el fin de línea. Devuelve los bytes leídos, 0 al final.
qint64 siguienteLinea(QFile& f, QByteArray& buffer, QByteArrayView& linea) {
    qsizetype usado = 0;
    while (true) {
        // readLine escribe como mucho el espacio menos uno, y un '\0' detrás.
        if (buffer.size() - usado < 2) buffer.resize(std::max<qsizetype>(4096, buffer.size() * 2));
        const qint64 n = f.readLine(buffer.data() + usado, buffer.size() - usado);
        if (n <= 0) break;
        usado += qsizetype(n);
        if (buffer[usado - 1] == '\n' || f.atEnd()) break;
    }
    qsizetype fin = usado;
    while (fin > 0 && (buffer[fin - 1] == '\n' || buffer[fin - 1] == '\r')) --fin;
    linea = QByteArrayView(buffer.constData(), fin);
    return usado;
}

QByteArray sinFinDeLinea(QByteArray l) {
    while (!l.isEmpty() && (l.endsWith('\n') || l.endsWith('\r'))) l.chop(1);
    return l;
}

void quitarBom(QByteArray& l) {
    if (l.startsWith("\xEF\xBB\xBF")) l.remove(0, 3);
}

enum Columna { kFecha, kAsiento, kCuenta, kConcepto, kDebe, kHaber, kDescripcion, kNif, kFactura,
               kContrapartida, kBase, kIva, kRecargo, kColumnas };
const char* const kNombres[kColumnas] = {"Fecha",       "Asiento", "Cuenta",  "Concepto",
                                         "Debe",        "Haber",   "Descripcion", "NIF",
                                         "Factura",     "Contrapartida", "Base", "IVA", "Recargo"};
constexpr int kObligatorias = kDescripcion;

// Otros nombres con que las hojas de cálculo y los programas de contabilidad llaman a cada
// columna, ya normalizados.
const QHash<QString, int>& sinonimos() {
    static const QHash<QString, int> t = [] {
        QHash<QString, int> h;
        const std::pair<int, const char*> pares[] = {
            {kFecha, "fecha"},          {kFecha, "fechaasiento"},     {kFecha, "fechacontable"},
            {kFecha, "fcontable"},      {kAsiento, "asiento"},        {kAsiento, "numero"},
            {kAsiento, "num"},          {kAsiento, "numeroasiento"},  {kAsiento, "numasiento"},
            {kAsiento, "nasiento"},     {kAsiento, "noasiento"},      {kCuenta, "cuenta"},
            {kCuenta, "subcuenta"},     {kCuenta, "codigocuenta"},    {kCuenta, "codcuenta"},
            {kCuenta, "codigosubcuenta"}, {kConcepto, "concepto"},    {kConcepto, "texto"},
            {kConcepto, "glosa"},       {kConcepto, "detalle"},       {kDebe, "debe"},
            {kDebe, "cargo"},           {kDebe, "importedebe"},       {kDebe, "debeeuros"},
            {kHaber, "haber"},          {kHaber, "abono"},            {kHaber, "importehaber"},
            {kHaber, "habereuros"},     {kDescripcion, "descripcion"},
            {kDescripcion, "nombrecuenta"}, {kDescripcion, "nombresubcuenta"},
            {kDescripcion, "titulo"},   {kNif, "nif"},                {kNif, "cif"},
            {kNif, "dni"},              {kNif, "nifcif"},             {kFactura, "factura"},
            {kFactura, "numfactura"},   {kFactura, "numerofactura"},  {kFactura, "documento"},
            {kContrapartida, "contrapartida"}, {kBase, "base"},       {kBase, "baseimponible"},
            {kIva, "iva"},              {kIva, "porcentajeiva"},      {kIva, "tipoiva"},
            {kRecargo, "recargo"},      {kRecargo, "recargoequivalencia"}};
        for (const auto& [c, nombre] : pares) h.insert(QString::fromLatin1(nombre), c);
        return h;
    }();
    return t;
}

// Posición en la línea de cada columna nuestra, por los nombres de la cabecera o de
// --columnas ("-" o un nombre desconocido de la cabecera: columna que no se lee).
struct Disposicion {
    int posicion[kColumnas];
    int necesarios = 0;
    QStringList vistas;  // "Fecha ← F. contable", para la muestra
};

Disposicion disponer(const QString& ruta, const QStringList& nombres, bool deOpcion) {
    Disposicion d;
    std::fill(std::begin(d.posicion), std::end(d.posicion), -1);
    for (qsizetype i = 0; i < nombres.size(); ++i) {
        const QString n = nombres[i].trimmed();
        const auto it = sinonimos().constFind(normalizar(n));
        if (it == sinonimos().constEnd()) {
            if (deOpcion && n != u"-")
                throw ErrorEntrada(ruta, 0, QStringLiteral("--columnas: columna desconocida «%1»")
                                                .arg(n));
            d.vistas << QStringLiteral("%1 (no se lee)").arg(n);
            continue;
        }
        if (d.posicion[*it] >= 0)
            throw ErrorEntrada(ruta, deOpcion ? 0 : 1,
                               QStringLiteral("la columna %1 aparece dos veces (%2 y %3)")
                                   .arg(QString::fromLatin1(kNombres[*it]),
                                        nombres[d.posicion[*it]].trimmed(), n));
        d.posicion[*it] = int(i);
        const QString nuestro = QString::fromLatin1(kNombres[*it]);
        d.vistas << (normalizar(n) == normalizar(nuestro) ? nuestro
                                                          : QStringLiteral("%1 ← %2").arg(nuestro, n));
    }
    for (int c = 0; c < kColumnas; ++c) {
        if (c < kObligatorias && d.posicion[c] < 0)
            throw ErrorEntrada(ruta, deOpcion ? 0 : 1,
                               QStringLiteral("falta la columna %1 (o uno de sus sinónimos; "
                                              "--columnas dice cuál es cuál)")
                                   .arg(QString::fromLatin1(kNombres[c])));
        d.necesarios = std::max(d.necesarios, d.posicion[c] + 1);
    }
    return d;
}

}  // namespace

bool esDiario(const QString& ruta) {
    const QString ext = QFileInfo(ruta).suffix().toLower();
    return ext == u"journal" || ext == u"ledger" || ext == u"hledger" || ext == u"dat" ||
           ext == u"j";
}

QStringList camposDeLinea(const QString& linea) {
    std::vector<QByteArrayView> campos;
    std::deque<QByteArray> copias;
    const QByteArray utf8 = linea.toUtf8();
    partir(utf8, campos, copias);
    QStringList r;
    for (const QByteArrayView c : campos) r << QString::fromUtf8(c).trimmed();
    return r;
}

Muestra muestrear(const QString& ruta, const Columnas& columnas, int lineas) {
    Muestra m;
    m.codificacion = sondear(ruta).codificacion;
    m.diario = esDiario(ruta);
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorEntrada(ruta, 0, QStringLiteral("no se puede leer el archivo"));
    for (int n = 1; n <= lineas && !f.atEnd(); ++n) {
        QByteArray l = sinFinDeLinea(f.readLine());
        if (n == 1) quitarBom(l);
        const auto t = decodificar(l, m.codificacion);
        m.lineas << t.value_or(QStringLiteral("(línea con un byte que no es un carácter)"));
        if (n == 1 && !m.diario)
            m.columnas = disponer(ruta, columnas.nombres.isEmpty() ? camposDeLinea(m.lineas[0])
                                                                   : columnas.nombres,
                                  !columnas.nombres.isEmpty())
                             .vistas;
    }
    return m;
}

void leerCsv(const QString& ruta, Codificacion codificacion, const Columnas& columnas,
             const Receptor& receptor, Problemas& problemas, const Avance& avance) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorEntrada(ruta, 0, QStringLiteral("no se puede leer el archivo"));
    std::vector<QByteArrayView> campos;
    std::deque<QByteArray> copias;
    QByteArray cabecera = sinFinDeLinea(f.readLine());
    quitarBom(cabecera);
    QStringList nombres = columnas.nombres;
    if (nombres.isEmpty()) {
        const auto texto = decodificar(cabecera, codificacion);
        if (!texto) throw ErrorEntrada(ruta, 1, QStringLiteral("byte que no es un carácter"));
        nombres = camposDeLinea(*texto);
    }
    const Disposicion d = disponer(ruta, nombres, !columnas.nombres.isEmpty());
    const int* posicion = d.posicion;

    // Los CSV de este programa son españoles: "1.000" es mil mientras nada diga lo contrario.
    FormatoImportes formato(',');
    AsientoLeido actual;
    bool hayActual = false, danado = false;
    int linea = 1;
    const auto campo = [&](int c) -> QByteArrayView {
        return posicion[c] < 0 ? QByteArrayView() : campos[posicion[c]].trimmed();
    };
    const auto texto = [&](int c) {
        const QByteArrayView b = campo(c);
        if (b.isEmpty()) return QString();
        auto t = decodificar(b, codificacion);
        if (!t)
            throw ErrorEntrada(ruta, linea,
                               QStringLiteral("la columna %1 tiene un byte que no es un carácter "
                                              "ni en UTF-8 ni en Windows-1252")
                                   .arg(QString::fromLatin1(kNombres[c])));
        return *t;
    };
    // Un texto que solo se guarda: en un archivo UTF-8 (ya validado entero), sus propios bytes.
    const auto utf8 = [&](int c) {
        return codificacion == Codificacion::Utf8 ? campo(c).toByteArray() : texto(c).toUtf8();
    };
    const auto importe = [&](int c) {
        const QByteArrayView t = campo(c);
        if (t.isEmpty()) return Moneda();
        try {
            return formato.leer(t, ruta, linea);
        } catch (const ErrorEntrada& e) {
            throw ErrorEntrada(ruta, linea, QStringLiteral("%1 (columna %2)")
                                                .arg(e.razon(), QString::fromLatin1(kNombres[c])));
        }
    };
    const auto entregar = [&] {
        if (hayActual && !danado) receptor(std::move(actual));
        hayActual = danado = false;
    };
    qint64 leidos = f.pos();
    QByteArray buffer;
    QByteArrayView l;
    for (qint64 n; (n = siguienteLinea(f, buffer, l)) > 0;) {
        ++linea;
        leidos += n;
        if (avance && linea % 4096 == 0) avance(leidos);
        if (l.trimmed().isEmpty()) continue;
        try {
            partir(l, campos, copias);
            if (int(campos.size()) < d.necesarios)
                throw ErrorEntrada(ruta, linea,
                                   QStringLiteral("faltan columnas: hay %1 y se esperan %2")
                                       .arg(campos.size())
                                       .arg(d.necesarios));
            const QDate fecha = leerFecha(campo(kFecha));
            if (!fecha.isValid())
                throw ErrorEntrada(ruta, linea,
                                   QStringLiteral("fecha imposible: %1").arg(texto(kFecha)));
            bool ok = false;
            const qint64 numero = campo(kAsiento).toLongLong(&ok);
            if (!ok || numero <= 0)
                throw ErrorEntrada(ruta, linea, QStringLiteral("número de asiento no válido: %1")
                                                    .arg(texto(kAsiento)));
            if (hayActual && actual.numero != numero) entregar();
            if (!hayActual) {
                actual = AsientoLeido{ruta, linea, numero, fecha, {}};
                actual.apuntes.reserve(4);
                hayActual = true;
            } else if (actual.fecha != fecha) {
                throw ErrorEntrada(ruta, linea,
                                   QStringLiteral("el asiento %1 tiene otra fecha en la línea %2")
                                       .arg(numero)
                                       .arg(actual.linea));
            }
            ApunteLeido a;
            a.linea = linea;
            a.cuenta = texto(kCuenta);
            a.subcuenta = a.cuenta;
            a.concepto = utf8(kConcepto);
            a.debe = importe(kDebe);
            a.haber = importe(kHaber);
            a.nombreCuenta = texto(kDescripcion);
            a.nif = texto(kNif);
            a.factura = utf8(kFactura);
            a.contrapartida = utf8(kContrapartida);
            if (!campo(kBase).isEmpty()) a.base = importe(kBase);
            a.iva = utf8(kIva);
            a.recargo = utf8(kRecargo);
            actual.apuntes.push_back(std::move(a));
        } catch (const ErrorEntrada& e) {
            problemas.anadir(e);
            danado = hayActual;
        }
    }
    entregar();
}

namespace {

// Lo que el hilo lector pasa al que escribe, en el orden en que lo leyó: los problemas de unas
// líneas o un asiento entero.
using Leido = std::variant<Problemas, AsientoLeido>;

// Cola entre el hilo que lee el CSV y el que escribe: el lector no se adelanta más de kLotes
// lotes, así que la memoria no crece con el archivo.
class Tuberia {
  public:
    struct Lote {
        std::vector<Leido> leidos;
        qint64 bytes = 0;          // leídos del archivo hasta el final del lote
        std::exception_ptr error;  // lo que paró la lectura
        bool ultimo = false;
    };
    static constexpr std::size_t kAsientosPorLote = 256;

    // Del lector: espera sitio; falso si el escritor ya no quiere más.
    bool poner(Lote&& lote) {
        std::unique_lock cerrojo(mutex_);
        cambio_.wait(cerrojo, [&] { return cerrada_ || cola_.size() < kLotes; });
        if (cerrada_) return false;
        cola_.push_back(std::move(lote));
        cambio_.notify_all();
        return true;
    }
    Lote tomar() {
        std::unique_lock cerrojo(mutex_);
        cambio_.wait(cerrojo, [&] { return !cola_.empty(); });
        Lote lote = std::move(cola_.front());
        cola_.pop_front();
        cambio_.notify_all();
        return lote;
    }
    // Del escritor que sale: el lector se para en su próxima entrega.
    void cerrar() {
        std::lock_guard cerrojo(mutex_);
        cerrada_ = true;
        cambio_.notify_all();
    }

  private:
    static constexpr std::size_t kLotes = 8;
    std::mutex mutex_;
    std::condition_variable cambio_;
    std::deque<Lote> cola_;
    bool cerrada_ = false;
};

// El hilo lector: leerCsv entero, con sus asientos y problemas en lotes.
void leerEnLotes(const QString& ruta, Codificacion codificacion, const Columnas& columnas,
                 Tuberia& tuberia) {
    struct Detenida {};
    Tuberia::Lote lote;
    Problemas problemas;
    qint64 bytes = 0;
    // Los problemas van delante del asiento que los sigue en el archivo, como sin hilos.
    const auto pasarProblemas = [&] {
        if (problemas.vacio()) return;
        Problemas p;
        problemas.traspasar(p);
        lote.leidos.emplace_back(std::move(p));
    };
    const Receptor receptor = [&](AsientoLeido&& a) {
        pasarProblemas();
        lote.leidos.emplace_back(std::move(a));
        if (lote.leidos.size() < Tuberia::kAsientosPorLote) return;
        lote.bytes = bytes;
        if (!tuberia.poner(std::exchange(lote, {}))) throw Detenida{};
    };
    try {
        leerCsv(ruta, codificacion, columnas, receptor, problemas,
                [&](qint64 leidos) { bytes = leidos; });
        pasarProblemas();
    } catch (const Detenida&) {
        return;
    } catch (...) {
        lote.error = std::current_exception();
    }
    lote.bytes = bytes;
    lote.ultimo = true;
    tuberia.poner(std::move(lote));
}

}  // namespace

void leerCsvEnParalelo(const QString& ruta, Codificacion codificacion, const Columnas& columnas,
                       const Receptor& receptor, Problemas& problemas, const Avance& avance) {
    Tuberia tuberia;
    std::thread lector(leerEnLotes, std::cref(ruta), codificacion, std::cref(columnas),
                       std::ref(tuberia));
    // Se sale siempre con el lector parado y esperado, también si 'receptor' lanza.
    const auto esperar = qScopeGuard([&] {
        tuberia.cerrar();
        lector.join();
    });
    while (true) {
        Tuberia::Lote lote = tuberia.tomar();
        for (Leido& leido : lote.leidos) {
            if (auto* p = std::get_if<Problemas>(&leido)) p->traspasar(problemas);
            else receptor(std::get<AsientoLeido>(std::move(leido)));
        }
        if (avance) avance(lote.bytes);
        if (lote.error) std::rethrow_exception(lote.error);
        if (lote.ultimo) return;
    }
}

// --- Diario de texto ---------------------------------------------------------------------------

namespace {

// Un alias de cuentas: el nombre (o su principio hasta un ':') que se cambia, o una expresión
// regular sin distinguir mayúsculas, como la aplican estos diarios.
struct Alias {
    QString viejo, nuevo;
    QRegularExpression expresion;
};

// Un importe en una cuenta en una fecha, en el orden del archivo: para las aserciones de saldo.
struct Movimiento {
    QDate fecha;
    int orden = 0;
    QString cuenta;
    Moneda importe;
};
struct Asercion {
    QDate fecha;
    int orden = 0;
    QString cuenta;
    bool conSubcuentas = false;
    Moneda saldo;
    QString archivo;
    int linea = 0;
};

class LectorDiario {
  public:
    LectorDiario(const Receptor& receptor, Problemas& problemas, QStringList& avisos,
                 QHash<QString, QString>& subcuentas, const Avance& avance)
        : receptor_(receptor),
          problemas_(problemas),
          avisos_(avisos),
          subcuentas_(subcuentas),
          avance_(avance) {}

    void leer(const QString& ruta) {
        incluidos_.insert(QFileInfo(ruta).canonicalFilePath(), {});
        leerArchivo(ruta, 0);
        comprobarAserciones();
        // Se entrega al final: las directivas account pueden venir detrás de sus apuntes.
        if (problemas_.vacio())
            for (AsientoLeido& a : asientos_) receptor_(std::move(a));
    }

  private:
    enum class Bloque { Nada, Asiento, Declaracion, Omitido, Fallido };

    void leerArchivo(const QString& ruta, int profundidad) {
        const Codificacion codificacion = sondear(ruta).codificacion;
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly))
            throw ErrorEntrada(ruta, 0, QStringLiteral("no se puede leer el archivo"));
        ruta_ = ruta;
        // La del archivo principal ya la dice el resumen.
        if (codificacion != Codificacion::Utf8 && profundidad > 0)
            avisos_ << QStringLiteral("%1: leído como %2").arg(ruta, nombreCodificacion(codificacion));
        const bool deLedger = QFileInfo(ruta).suffix().toLower() == u"ledger" ||
                              QFileInfo(ruta).suffix().toLower() == u"dat";
        int linea = 0, precios = 0;
        bool bloqueComentario = false;
        while (!f.atEnd()) {
            QByteArray bruta = f.readLine();
            ++linea;
            leidos_ += bruta.size();
            if (avance_ && linea % 4096 == 0) avance_(leidos_);
            linea_ = linea;
            bruta = sinFinDeLinea(bruta);
            if (linea == 1) quitarBom(bruta);
            const auto decodificada = decodificar(bruta, codificacion);
            if (!decodificada) {
                fallo(QStringLiteral("byte que no es un carácter ni en UTF-8 ni en Windows-1252"));
                continue;
            }
            const QString& l = *decodificada;
            const QString t = l.trimmed();
            if (bloqueComentario) {
                if (t == u"end comment") bloqueComentario = false;
                continue;
            }
            if (t.isEmpty()) {
                terminar();
                continue;
            }
            try {
                const QChar c = l[0];
                if (c == u' ' || c == u'\t') {
                    sangrada(t);
                    continue;
                }
                terminar();
                bloque_ = Bloque::Nada;
                const QString palabra = t.section(u' ', 0, 0);
                const QString resto = t.mid(palabra.size()).trimmed();
                if (QStringLiteral(";#*%|").contains(c)) continue;
                if (c.isDigit()) {
                    cabecera(t);
                } else if (c == u'~' || (c == u'=' && !deLedger)) {
                    avisos_ << QStringLiteral("%1, línea %2: asiento %3, no se importa")
                                   .arg(ruta)
                                   .arg(linea)
                                   .arg(c == u'~' ? QStringLiteral("periódico")
                                                  : QStringLiteral("automático"));
                    bloque_ = Bloque::Omitido;
                } else if (c == u'=') {
                    bloque_ = Bloque::Fallido;
                    throw error(QStringLiteral("asiento automático: ledger lo aplica a los demás "
                                               "asientos y este lector no; escriba sus apuntes "
                                               "en los asientos"));
                } else if (palabra == u"include") {
                    incluir(resto, profundidad);
                    ruta_ = ruta;
                } else if (t == u"comment") {
                    bloqueComentario = true;
                } else if (palabra == u"decimal-mark") {
                    if (resto != u"," && resto != u".")
                        throw error(QStringLiteral("decimal-mark solo admite «,» o «.»"));
                    formato_.fijar(resto == u"," ? ',' : '.', linea);
                } else if (palabra == u"Y" || palabra == u"year") {
                    bool ok = false;
                    ano_ = resto.toInt(&ok);
                    if (!ok || ano_ < 1000) throw error(QStringLiteral("año no válido: %1").arg(resto));
                } else if (palabra == u"alias") {
                    alias(resto);
                } else if (t == u"end aliases") {
                    alias_.clear();
                } else if (palabra == u"apply" && resto.startsWith(QLatin1String("account "))) {
                    prefijos_ << resto.mid(8).trimmed();
                } else if (t == u"end apply account" || t == u"end") {
                    if (prefijos_.isEmpty()) throw error(QStringLiteral("end sin apply account"));
                    prefijos_.removeLast();
                } else if (palabra == u"account") {
                    declararCuenta(resto);
                } else if (palabra == u"commodity" || palabra == u"D") {
                    moneda(resto, palabra == u"D");
                } else if (palabra == u"P") {
                    ++precios;
                } else if (palabra == u"payee" || palabra == u"tag") {
                    bloque_ = Bloque::Declaracion;  // solo nombres: no tocan los importes
                } else {
                    bloque_ = Bloque::Fallido;
                    throw error(QStringLiteral("línea que no se entiende: «%1»").arg(t.left(60)));
                }
            } catch (const ErrorEntrada& e) {
                problemas_.anadir(e);
                if (hay_) fallido_ = true;
                bloque_ = Bloque::Fallido;
            }
        }
        terminar();
        if (precios > 0)
            avisos_ << QStringLiteral("%1: %2 precios de mercado (P) no intervienen en los "
                                      "importes importados")
                           .arg(ruta)
                           .arg(precios);
    }

    ErrorEntrada error(const QString& razon) const { return ErrorEntrada(ruta_, linea_, razon); }
    void fallo(const QString& razon) {
        problemas_.anadir(ruta_, linea_, razon);
        if (hay_) fallido_ = true;
        bloque_ = Bloque::Fallido;
    }

    // Un archivo incluido dos veces se importaría dos veces: es un error, como los ciclos.
    void incluir(const QString& nombre, int profundidad) {
        if (profundidad >= 20) throw error(QStringLiteral("demasiados include anidados"));
        if (nombre.contains(u'*') || nombre.contains(u'?') || nombre.contains(u'['))
            throw error(QStringLiteral("include con comodines: nombre cada archivo"));
        const QFileInfo destino(QFileInfo(ruta_).dir(), nombre);
        if (!destino.isFile())
            throw error(QStringLiteral("no existe el archivo incluido %1").arg(nombre));
        if (!esDiario(destino.filePath()))
            throw error(QStringLiteral("include de %1, que no es un diario de texto").arg(nombre));
        const QString clave = destino.canonicalFilePath();
        const auto previo = incluidos_.constFind(clave);
        if (previo != incluidos_.constEnd())
            throw error(previo->second > 0
                            ? QStringLiteral("%1 ya se incluyó en %2, línea %3: se importaría "
                                             "dos veces")
                                  .arg(nombre, previo->first)
                                  .arg(previo->second)
                            : QStringLiteral("%1 es el archivo que se importa").arg(nombre));
        incluidos_.insert(clave, {ruta_, linea_});
        const int linea = linea_;
        leerArchivo(destino.filePath(), profundidad + 1);
        linea_ = linea;
    }

    void alias(const QString& texto) {
        const qsizetype igual = texto.indexOf(u'=');
        if (igual < 0) throw error(QStringLiteral("alias sin «=»"));
        Alias a;
        a.viejo = texto.left(igual).trimmed();
        a.nuevo = texto.mid(igual + 1).trimmed();
        if (a.viejo.size() >= 2 && a.viejo.startsWith(u'/') && a.viejo.endsWith(u'/')) {
            a.expresion = QRegularExpression(a.viejo.mid(1, a.viejo.size() - 2),
                                             QRegularExpression::CaseInsensitiveOption);
            if (!a.expresion.isValid())
                throw error(QStringLiteral("expresión regular no válida en el alias: %1")
                                .arg(a.expresion.errorString()));
            // Las referencias \1 de estos diarios son las de QRegularExpression.
        }
        if (a.viejo.isEmpty()) throw error(QStringLiteral("alias sin cuenta"));
        alias_.push_back(std::move(a));
    }

    // Nombre final de una cuenta: con el prefijo de apply account y los alias, el último
    // definido primero.
    QString nombreFinal(QString cuenta) const {
        for (auto it = prefijos_.crbegin(); it != prefijos_.crend(); ++it)
            cuenta = *it + u':' + cuenta;
        for (auto it = alias_.crbegin(); it != alias_.crend(); ++it) {
            if (it->expresion.pattern().isEmpty()) {
                if (cuenta == it->viejo) cuenta = it->nuevo;
                else if (cuenta.startsWith(it->viejo + u':'))
                    cuenta = it->nuevo + cuenta.mid(it->viejo.size());
            } else {
                cuenta.replace(it->expresion, it->nuevo);
            }
        }
        return cuenta;
    }

    // account NOMBRE  ; subcuenta: 5720001
    void declararCuenta(const QString& texto) {
        qsizetype fin = texto.indexOf(QLatin1String("  "));
        for (const QChar s : {QChar(u'\t'), QChar(u';')}) {
            const qsizetype k = texto.indexOf(s);
            if (k >= 0 && (fin < 0 || k < fin)) fin = k;
        }
        const QString nombre = (fin < 0 ? texto : texto.left(fin)).trimmed();
        if (nombre.isEmpty()) throw error(QStringLiteral("account sin nombre"));
        cuentaDeclarada_ = nombreFinal(nombre);
        bloque_ = Bloque::Declaracion;
        etiquetaSubcuenta(texto);
    }

    void etiquetaSubcuenta(const QString& texto) {
        static const QRegularExpression re(QStringLiteral("(?:^|[\\s,;])subcuenta:\\s*([0-9.]+)"),
                                           QRegularExpression::CaseInsensitiveOption);
        const auto m = re.match(texto);
        if (!m.hasMatch() || cuentaDeclarada_.isEmpty()) return;
        const QString codigo = m.captured(1);
        const auto previo = subcuentas_.constFind(cuentaDeclarada_);
        if (previo != subcuentas_.constEnd() && *previo != codigo)
            throw error(QStringLiteral("la cuenta %1 ya tenía la subcuenta %2")
                            .arg(cuentaDeclarada_, *previo));
        subcuentas_.insert(cuentaDeclarada_, codigo);
    }

    // commodity y D: las de otra moneda solo se declaran (sus importes se rechazan al usarse),
    // pero D de otra moneda cambiaría los importes sin moneda. Un importe de muestra en euros
    // fija el formato de los importes.
    void moneda(const QString& texto, bool porOmision) {
        const QString t = texto.section(u';', 0, 0).trimmed();
        if (!porOmision) bloque_ = Bloque::Declaracion;
        const QString sinEuros = quitarEuros(t);
        bool cifras = false, soloCifras = !sinEuros.isEmpty();
        for (QChar c : sinEuros) {
            cifras = cifras || c.isDigit();
            soloCifras = soloCifras && (c.isDigit() || QStringLiteral(".,- ").contains(c));
        }
        if (sinEuros == t && !soloCifras && !t.isEmpty()) {
            if (porOmision)
                throw error(QStringLiteral("moneda por omisión %1: solo se importan euros").arg(t));
            return;
        }
        if (cifras) formato_.leer(QStringView(sinEuros), ruta_, linea_);
    }

    // El texto sin EUR ni € delante o detrás; igual si no los lleva.
    static QString quitarEuros(QString t) {
        for (const QString& moneda : {QStringLiteral("EUR"), QStringLiteral("€")}) {
            if (t.startsWith(moneda)) t = t.mid(moneda.size()).trimmed();
            else if (t.endsWith(moneda)) t = t.chopped(moneda.size()).trimmed();
        }
        return t;
    }

    void sangrada(const QString& t) {
        switch (bloque_) {
        case Bloque::Asiento:
            if (t.startsWith(u';') || t.startsWith(u'#')) {
                // Las etiquetas de la línea de comentario son del último apunte.
                if (!actual_.apuntes.empty()) fechaDeApunte(t.mid(1), fechas_.back());
                return;
            }
            apunte(t);
            return;
        case Bloque::Declaracion:
            etiquetaSubcuenta(t);
            if (t.startsWith(QLatin1String("format "))) moneda(t.mid(7), false);
            return;
        case Bloque::Omitido:
        case Bloque::Fallido:
            return;
        case Bloque::Nada:
            if (t.startsWith(u';') || t.startsWith(u'#')) return;
            throw error(QStringLiteral("apunte fuera de un asiento"));
        }
    }

    QDate fechaDiario(QString texto) const {
        const QString original = texto;
        if (texto.size() <= 5 && ano_ > 0) texto = QString::number(ano_) + u'-' + texto;
        texto.replace(u'/', u'-').replace(u'.', u'-');
        // Meses y días de una cifra ("2024-1-5") también valen en estos diarios.
        const QStringList partes = texto.split(u'-');
        QDate d;
        if (partes.size() == 3)
            d = QDate(partes[0].toInt(), partes[1].toInt(), partes[2].toInt());
        if (partes.size() != 3 || partes[0].size() != 4 || !d.isValid())
            throw error(QStringLiteral("fecha imposible: %1").arg(original));
        return d;
    }

    void cabecera(const QString& t) {
        qsizetype fin = 0;
        while (fin < t.size() && !t[fin].isSpace() && t[fin] != u';') ++fin;
        const QDate d = fechaDiario(t.left(fin).section(u'=', 0, 0));
        actual_ = AsientoLeido{ruta_, linea_, std::nullopt, d, {}};
        hay_ = true;
        fallido_ = false;
        bloque_ = Bloque::Asiento;
        sinImporte_ = -1;
        fechas_.clear();
        aserciones_.clear();
        QString resto = t.mid(fin).trimmed();
        if (resto.startsWith(u'*') || resto.startsWith(u'!')) resto = resto.mid(1).trimmed();
        QString codigo;
        if (resto.startsWith(u'(')) {
            const qsizetype cierre = resto.indexOf(u')');
            if (cierre < 0) throw error(QStringLiteral("falta el ')' del código"));
            codigo = resto.mid(1, cierre - 1).trimmed();
            resto = resto.mid(cierre + 1).trimmed();
        }
        const qsizetype comentario = resto.indexOf(u';');
        QString concepto = (comentario < 0 ? resto : resto.left(comentario)).trimmed();
        // El código (un cheque, una factura) es la referencia del documento, no el número.
        if (!codigo.isEmpty()) concepto = QStringLiteral("(%1) %2").arg(codigo, concepto);
        concepto_ = concepto.toUtf8();
    }

    // Fecha propia de un apunte: etiqueta date: o [FECHA] en su comentario.
    void fechaDeApunte(const QString& comentario, QDate& fecha) const {
        static const QRegularExpression etiqueta(
            QStringLiteral("(?:^|[\\s,])date:\\s*([0-9][0-9./-]*)"));
        static const QRegularExpression corchetes(
            QStringLiteral("\\[([0-9][0-9./-]*)?(?:=[0-9][0-9./-]*)?\\]"));
        auto m = etiqueta.match(comentario);
        if (!m.hasMatch()) m = corchetes.match(comentario);
        if (m.hasMatch() && !m.captured(1).isEmpty()) fecha = fechaDiario(m.captured(1));
    }

    void apunte(QString t) {
        QString comentario;
        const qsizetype pc = t.indexOf(u';');
        if (pc >= 0) {
            comentario = t.mid(pc + 1);
            t = t.left(pc).trimmed();
        }
        if (t.startsWith(u'*') || t.startsWith(u'!')) t = t.mid(1).trimmed();
        qsizetype corte = t.indexOf(QLatin1String("  "));
        const qsizetype tab = t.indexOf(u'\t');
        if (tab >= 0 && (corte < 0 || tab < corte)) corte = tab;
        const QString cuenta = (corte < 0 ? t : t.left(corte)).trimmed();
        QString importe = corte < 0 ? QString() : t.mid(corte).trimmed();
        if (cuenta.startsWith(u'(') || cuenta.startsWith(u'['))
            throw error(QStringLiteral("apunte virtual %1: no se importa").arg(cuenta));
        QString aserto;
        const qsizetype igual = importe.indexOf(u'=');
        if (igual >= 0) {
            aserto = importe.mid(igual + 1);
            importe = importe.left(igual).trimmed();
        }
        if (importe.contains(u'@'))
            throw error(QStringLiteral("precio o cambio de moneda: solo se importan euros"));
        if (importe.contains(u'{'))
            throw error(QStringLiteral("precio de lote: solo se importan euros"));

        ApunteLeido a;
        a.linea = linea_;
        a.concepto = concepto_;
        a.cuenta = nombreFinal(cuenta);
        // Sin mapa ni directiva, el código con que empiece el último tramo del nombre.
        const QString segmento = a.cuenta.section(u':', -1).trimmed();
        qsizetype cifras = 0;
        while (cifras < segmento.size() && segmento[cifras].isDigit()) ++cifras;
        a.subcuenta = segmento.left(cifras);
        a.nombreCuenta = (cifras > 0 ? segmento.mid(cifras) : segmento).trimmed();
        if (importe.isEmpty()) {
            if (!aserto.isEmpty())
                throw error(QStringLiteral("asignación de saldo (apunte sin importe con «=»): "
                                           "escriba el importe"));
            if (sinImporte_ >= 0)
                throw error(QStringLiteral("dos apuntes sin importe en un asiento"));
            sinImporte_ = qsizetype(actual_.apuntes.size());
        } else {
            const Moneda m = euros(importe);
            (m < Moneda() ? a.haber : a.debe) = m < Moneda() ? -m : m;
        }
        QDate fecha = actual_.fecha;
        fechaDeApunte(comentario, fecha);
        if (!aserto.isEmpty()) {
            Asercion s;
            s.cuenta = a.cuenta;
            if (aserto.startsWith(u'=')) aserto = aserto.mid(1);  // == : saldo total
            if (aserto.startsWith(u'*')) {
                s.conSubcuentas = true;
                aserto = aserto.mid(1);
            }
            s.saldo = euros(aserto.trimmed());
            s.archivo = ruta_;
            s.linea = linea_;
            aserciones_.push_back({actual_.apuntes.size(), s});
        }
        actual_.apuntes.push_back(std::move(a));
        fechas_.push_back(fecha);
    }

    // Importe sin moneda, con € o con EUR delante o detrás; cualquier otra moneda es un error.
    Moneda euros(QString t) {
        QString signo;
        if (t.startsWith(u'-')) {
            signo = QStringLiteral("-");
            t = t.mid(1).trimmed();
        }
        t = quitarEuros(t);
        for (QChar c : t)
            if (!c.isDigit() && c != u'.' && c != u',' && c != u'-' && c != u'+')
                throw error(QStringLiteral("moneda desconocida en %1: solo se importan euros")
                                .arg(t));
        return formato_.leer(QStringView(signo + t), ruta_, linea_);
    }

    void terminar() {
        if (!hay_) return;
        hay_ = false;
        if (fallido_) return;
        Moneda saldo;
        for (const ApunteLeido& a : actual_.apuntes) saldo += a.debe - a.haber;
        if (sinImporte_ >= 0) {
            ApunteLeido& a = actual_.apuntes[std::size_t(sinImporte_)];
            (saldo > Moneda() ? a.haber : a.debe) = saldo > Moneda() ? saldo : -saldo;
            saldo = Moneda();
        }
        for (std::size_t i = 0; i < actual_.apuntes.size(); ++i) {
            const ApunteLeido& a = actual_.apuntes[i];
            movimientos_.push_back({fechas_[i], orden_ + int(i), a.cuenta, a.debe - a.haber});
        }
        for (auto& [indice, s] : aserciones_) {
            s.fecha = fechas_[indice];
            s.orden = orden_ + int(indice);
            asercionesTodas_.push_back(std::move(s));
        }
        orden_ += int(actual_.apuntes.size());
        // Apuntes con fecha propia: un asiento por fecha, cuadrado en la 555 (partidas
        // pendientes de aplicación), que queda a cero cuando llegan todas las fechas.
        const bool variasFechas =
            std::any_of(fechas_.begin(), fechas_.end(), [&](const QDate& f) { return f != actual_.fecha; });
        if (!variasFechas || !saldo.esCero()) {
            asientos_.push_back(std::move(actual_));
            return;
        }
        std::vector<QDate> distintas(fechas_);
        std::sort(distintas.begin(), distintas.end());
        distintas.erase(std::unique(distintas.begin(), distintas.end()), distintas.end());
        for (const QDate& fecha : distintas) {
            AsientoLeido parte{actual_.archivo, actual_.linea, std::nullopt, fecha, {}};
            Moneda suma;
            for (std::size_t i = 0; i < actual_.apuntes.size(); ++i) {
                if (fechas_[i] != fecha) continue;
                parte.apuntes.push_back(actual_.apuntes[i]);
                suma += actual_.apuntes[i].debe - actual_.apuntes[i].haber;
            }
            if (!suma.esCero()) {
                ApunteLeido puente;
                puente.linea = actual_.linea;
                puente.concepto = concepto_;
                puente.subcuenta = QStringLiteral("555.1");
                puente.nombreCuenta = Plan::nombreCuenta(QStringLiteral("555"));
                (suma > Moneda() ? puente.haber : puente.debe) = suma > Moneda() ? suma : -suma;
                parte.apuntes.push_back(std::move(puente));
            }
            asientos_.push_back(std::move(parte));
        }
    }

    // Como estos programas: en orden de fecha (y del archivo en la misma fecha), el saldo de la
    // cuenta (con sus subcuentas si se pide) tras el apunte de la aserción.
    void comprobarAserciones() {
        if (asercionesTodas_.empty()) return;
        const auto antes = [](const auto& a, const auto& b) {
            return std::tie(a.fecha, a.orden) < std::tie(b.fecha, b.orden);
        };
        std::stable_sort(movimientos_.begin(), movimientos_.end(), antes);
        std::stable_sort(asercionesTodas_.begin(), asercionesTodas_.end(), antes);
        QHash<QString, Moneda> saldos;
        std::size_t m = 0;
        for (const Asercion& s : asercionesTodas_) {
            for (; m < movimientos_.size() && !antes(s, movimientos_[m]); ++m)
                saldos[movimientos_[m].cuenta] += movimientos_[m].importe;
            Moneda saldo = saldos.value(s.cuenta);
            if (s.conSubcuentas) {
                saldo = Moneda();
                for (auto it = saldos.cbegin(); it != saldos.cend(); ++it)
                    if (it.key() == s.cuenta || it.key().startsWith(s.cuenta + u':'))
                        saldo += it.value();
            }
            if (saldo != s.saldo)
                problemas_.anadir(s.archivo, s.linea,
                                  QStringLiteral("la aserción de saldo de %1 falla: se afirma %2 "
                                                 "y el saldo es %3")
                                      .arg(s.cuenta, s.saldo.formatear(true),
                                           saldo.formatear(true)));
        }
    }

    const Receptor& receptor_;
    Problemas& problemas_;
    QStringList& avisos_;
    QHash<QString, QString>& subcuentas_;
    const Avance& avance_;
    QString ruta_;
    int linea_ = 0;
    qint64 leidos_ = 0;
    FormatoImportes formato_{0};
    int ano_ = 0;
    std::vector<Alias> alias_;
    QStringList prefijos_;
    QHash<QString, std::pair<QString, int>> incluidos_;
    Bloque bloque_ = Bloque::Nada;
    QString cuentaDeclarada_;
    // El asiento que se está leyendo, la fecha de cada apunte y sus aserciones.
    AsientoLeido actual_;
    bool hay_ = false, fallido_ = false;
    qsizetype sinImporte_ = -1;
    QByteArray concepto_;  // en UTF-8, como se guarda
    std::vector<QDate> fechas_;
    std::vector<std::pair<std::size_t, Asercion>> aserciones_;
    int orden_ = 0;
    std::vector<Movimiento> movimientos_;
    std::vector<Asercion> asercionesTodas_;
    std::vector<AsientoLeido> asientos_;
};

}  // namespace

void leerDiario(const QString& ruta, const Receptor& receptor, Problemas& problemas,
                QStringList& avisos, QHash<QString, QString>& subcuentas, const Avance& avance) {
    LectorDiario(receptor, problemas, avisos, subcuentas, avance).leer(ruta);
}

}  // namespace orvo::Importacion
