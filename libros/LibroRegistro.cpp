#include "LibroRegistro.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <set>

#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Escritores.h"
#include "Nif.h"

namespace orvo {

namespace {

using T = TipoColumna;

// Columnas del diseño para personas jurídicas; las del IRPF, el cobro o pago por caja, el
// inmueble y las referencias van vacías para una sociedad (validaciones 17 y 18).
const std::vector<ColumnaRegistro> kExpedidas = {
    {"Autoliquidación", "Ejercicio", T::Entero, 4},
    {"Autoliquidación", "Periodo", T::Texto, 2},
    {"Actividad", "Código", T::Texto, 1},
    {"Actividad", "Tipo", T::Texto, 2},
    {"Actividad", "Grupo o Epígrafe del IAE", T::Texto, 4},
    {"Tipo de Factura", "", T::Texto, 2},
    {"Concepto de Ingreso", "", T::Texto, 3},
    {"Ingreso Computable", "", T::Importe, 0},
    {"Fecha Expedición", "", T::Fecha, 0},
    {"Fecha Operación", "", T::Fecha, 0},
    {"Identificación de la Factura", "Serie", T::Texto, 20},
    {"Identificación de la Factura", "Número", T::Texto, 20},
    {"Identificación de la Factura", "Número-Final", T::Texto, 20},
    {"NIF Destinatario", "Tipo", T::Texto, 2},
    {"NIF Destinatario", "Código País", T::Texto, 2},
    {"NIF Destinatario", "Identificación", T::Texto, 20},
    {"Nombre Destinatario", "", T::Texto, 40},
    {"Clave de Operación", "", T::Texto, 2},
    {"Calificación de la Operación", "", T::Texto, 2},
    {"Operación Exenta", "", T::Texto, 2},
    {"Total Factura", "", T::Importe, 0},
    {"Base Imponible", "", T::Importe, 0},
    {"Tipo de IVA", "", T::Porcentaje, 0},
    {"Cuota IVA Repercutida", "", T::Importe, 0},
    {"Tipo de Recargo Eq.", "", T::Porcentaje, 0},
    {"Cuota Recargo Eq.", "", T::Importe, 0},
    {"Cobro (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)",
     "Fecha", T::Fecha, 0},
    {"Cobro (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)",
     "Importe", T::Importe, 0},
    {"Cobro (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)",
     "Medio Utilizado", T::Texto, 2},
    {"Cobro (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)",
     "Identificación Medio Utilizado", T::Texto, 34},
    {"Tipo Retención del IRPF", "", T::Porcentaje, 0},
    {"Importe Retenido del IRPF", "", T::Importe, 0},
    {"Registro Acuerdo Facturación", "", T::Texto, 15},
    {"Inmueble", "Situación", T::Texto, 1},
    {"Inmueble", "Referencia Catastral", T::Texto, 20},
    {"Referencia Externa", "", T::Texto, 40}};

const std::vector<ColumnaRegistro> kRecibidas = {
    {"Autoliquidación", "Ejercicio", T::Entero, 4},
    {"Autoliquidación", "Periodo", T::Texto, 2},
    {"Actividad", "Código", T::Texto, 1},
    {"Actividad", "Tipo", T::Texto, 2},
    {"Actividad", "Grupo o Epígrafe del IAE", T::Texto, 4},
    {"Tipo de Factura", "", T::Texto, 2},
    {"Concepto de Gasto", "", T::Texto, 3},
    {"Gasto Deducible", "", T::Importe, 0},
    {"Fecha Expedición", "", T::Fecha, 0},
    {"Fecha Operación", "", T::Fecha, 0},
    {"Identificación Factura del Expedidor", "(Serie-Número)", T::Texto, 40},
    {"Identificación Factura del Expedidor", "Número-Final", T::Texto, 20},
    {"Fecha Recepción", "", T::Fecha, 0},
    {"Número Recepción", "", T::Texto, 20},
    {"Número Recepción Final", "", T::Texto, 20},
    {"NIF Expedidor", "Tipo", T::Texto, 2},
    {"NIF Expedidor", "Código País", T::Texto, 2},
    {"NIF Expedidor", "Identificación", T::Texto, 20},
    {"Nombre Expedidor", "", T::Texto, 40},
    {"Clave de Operación", "", T::Texto, 2},
    {"Bien de Inversión", "", T::Texto, 1},
    {"Inversión del Sujeto Pasivo", "", T::Texto, 1},
    {"Deducible en Periodo Posterior", "", T::Texto, 1},
    {"Periodo Deducción", "Ejercicio", T::Entero, 4},
    {"Periodo Deducción", "Periodo", T::Texto, 2},
    {"Total Factura", "", T::Importe, 0},
    {"Base Imponible", "", T::Importe, 0},
    {"Tipo de IVA", "", T::Porcentaje, 0},
    {"Cuota IVA Soportado", "", T::Importe, 0},
    {"Cuota Deducible", "", T::Importe, 0},
    {"Tipo de Recargo Eq.", "", T::Porcentaje, 0},
    {"Cuota Recargo Eq.", "", T::Importe, 0},
    {"Pago (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)", "Fecha",
     T::Fecha, 0},
    {"Pago (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)",
     "Importe", T::Importe, 0},
    {"Pago (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)",
     "Medio Utilizado", T::Texto, 2},
    {"Pago (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)",
     "Identificación Medio Utilizado", T::Texto, 34},
    {"Tipo Retención del IRPF", "", T::Porcentaje, 0},
    {"Importe Retenido del IRPF", "", T::Importe, 0},
    {"Registro Acuerdo Facturación", "", T::Texto, 15},
    {"Inmueble", "Situación", T::Texto, 1},
    {"Inmueble", "Referencia Catastral", T::Texto, 20},
    {"Referencia Externa", "", T::Texto, 40}};

const QString kConsumidorFinal = QStringLiteral("VENTAS A CONSUMIDOR FINAL");
const Moneda kMaximoSimplificada = Moneda::deEntero(3000);

CeldaRegistro texto(const QString& t) {
    CeldaRegistro c;
    if (!t.isEmpty()) {
        c.clase = CeldaRegistro::Texto;
        c.texto = t;
    }
    return c;
}
CeldaRegistro numero(Moneda m) {
    CeldaRegistro c;
    c.clase = CeldaRegistro::Numero;
    c.numero = m;
    return c;
}
CeldaRegistro entero(int n) {
    CeldaRegistro c;
    c.clase = CeldaRegistro::Entero;
    c.numero = Moneda::deEntero(n);
    return c;
}
CeldaRegistro fecha(const QDate& d) {
    CeldaRegistro c;
    c.clase = CeldaRegistro::Fecha;
    c.fecha = d;
    return c;
}

Moneda absoluto(Moneda m) {
    return m < Moneda() ? -m : m;
}

// Cuota de un tipo sobre una base, redondeada al céntimo (mitad lejos de cero).
Moneda cuotaDelTipo(Moneda base, Moneda tipo) {
    const __int128 producto = static_cast<__int128>(base.diezmilesimas()) * tipo.diezmilesimas();
    const __int128 unidad = static_cast<__int128>(Moneda::kEscala) * 100 * 100;  // al céntimo
    const __int128 signo = producto < 0 ? -1 : 1;
    const __int128 redondeado = (producto * signo + unidad / 2) / unidad * signo;
    return Moneda::deDiezmilesimas(static_cast<std::int64_t>(redondeado * 100));
}

Moneda tanto(const char* t) {
    return *Moneda::deTexto(QString::fromLatin1(t));
}

// Tipos de IVA que admite el diseño para la fecha (validación 39).
bool tipoIvaAdmitido(Moneda tipo, const QDate& d, bool rectificativa) {
    std::vector<const char*> admitidos{"0", "4", "10", "21"};
    if (d <= QDate(2012, 12, 31)) admitidos.insert(admitidos.end(), {"7", "8", "16", "18"});
    const bool negativaOEnPlazo = rectificativa || d <= QDate(2024, 12, 31);
    if (d >= QDate(2022, 7, 1) && negativaOEnPlazo) admitidos.push_back("5");
    if (d >= QDate(2024, 10, 1) && negativaOEnPlazo)
        admitidos.insert(admitidos.end(), {"2", "7,5"});
    return std::any_of(admitidos.begin(), admitidos.end(),
                       [&](const char* a) { return tanto(a) == tipo; });
}

// Recargo que corresponde a cada tipo de IVA (validación 35).
bool recargoAdmitido(Moneda tipoIva, Moneda recargo) {
    static const struct {
        const char* iva;
        const char* recargo;
    } kPares[] = {{"21", "5,2"}, {"21", "1,75"}, {"10", "1,4"}, {"4", "0,5"}, {"5", "0,62"},
                  {"0", "0"},    {"2", "0,26"},  {"7,5", "1"},  {"18", "4"},  {"18", "1,75"},
                  {"16", "4"},   {"8", "1"},     {"7", "1"}};
    return std::any_of(std::begin(kPares), std::end(kPares), [&](const auto& p) {
        return tanto(p.iva) == tipoIva && tanto(p.recargo) == recargo;
    });
}

// Lo que el diseño repite en todas las líneas de una factura.
struct Factura {
    std::vector<FilaIVA> lineas;
    QString iae;
    nif::Identificacion id;
    bool contrapartidaAjena = false;
    QString tipo;  // F1, F2, F4, R1, R5
    QString nombre;
    QString numeroRecepcion;
    Moneda total;
    QString asiento() const { return QStringLiteral("Asiento ") + lineas[0].textoAsiento(); }
};

QString periodo(const QDate& d) {
    return QString::number((d.month() + 2) / 3) + u'T';
}

// Tipo de factura, nombre, errores y avisos de una factura.
void clasificar(Factura& fa, bool emitidas, QStringList& errores, QStringList& avisos) {
    const FilaIVA& p = fa.lineas[0];
    fa.contrapartidaAjena =
        p.nif == QLatin1String("No existe") && p.nombre == QLatin1String("No existe");
    fa.id = fa.contrapartidaAjena ? nif::Identificacion{} : nif::identificar(p.nif);
    for (const FilaIVA& l : fa.lineas) fa.total += l.total;
    const bool rectificativa = fa.total < Moneda();
    const bool sinNif = fa.id.clase == nif::Clase::Vacio;
    // Sin NIF: factura simplificada hasta 3.000 €; más es el asiento resumen de los tiques de
    // caja (F4), que el diseño no limita.
    const QString simplificada =
        fa.total > kMaximoSimplificada ? QStringLiteral("F4") : QStringLiteral("F2");
    fa.tipo = sinNif ? (rectificativa ? QStringLiteral("R5") : simplificada)
                     : (rectificativa ? QStringLiteral("R1") : QStringLiteral("F1"));
    fa.nombre = sinNif && emitidas ? kConsumidorFinal : p.nombre.trimmed().left(40);
    if (fa.contrapartidaAjena)
        errores << QStringLiteral(
                       "%1: la contrapartida %2 no es una subcuenta de la empresa; "
                       "corríjala en el asiento")
                       .arg(fa.asiento(), p.contrapartida);
    else if (fa.tipo == u"R5" && absoluto(fa.total) > kMaximoSimplificada)
        errores << QStringLiteral(
                       "%1: la rectificativa %2 pasa de 3.000 € y %3 (%4) no tiene "
                       "NIF; póngalo en la subcuenta")
                       .arg(fa.asiento(), p.factura, p.nombre, p.contrapartida);
    else if (fa.id.clase == nif::Clase::Otro)
        errores << QStringLiteral(
                       "%1: «%2» de %3 (%4) no es un NIF ni un NIF-IVA de la Unión "
                       "Europea; corríjalo en la subcuenta")
                       .arg(fa.asiento(), p.nif, p.nombre, p.contrapartida);
    else if (fa.id.clase == nif::Clase::Nif && !fa.id.controlValido)
        avisos << QStringLiteral("%1: el NIF %2 de %3 (%4) no cuadra con su control")
                      .arg(fa.asiento(), fa.id.numero, p.nombre, p.contrapartida);
    const QString numeroFactura = emitidas ? p.numero : p.factura;
    if (numeroFactura.size() > (emitidas ? 20 : 40))
        errores << QStringLiteral("%1: el número de factura «%2» pasa de %3 caracteres")
                       .arg(fa.asiento(), numeroFactura)
                       .arg(emitidas ? 20 : 40);
}

// Validación S1 y los tipos admitidos de una línea.
void validarLinea(const Factura& fa, const FilaIVA& l, QStringList& errores) {
    const Moneda tipo = Moneda::deColumna(l.tipoIva);
    const Moneda recargo = Moneda::deColumna(l.tipoRecargo);
    const QDate d = l.fecha.fecha();
    const QString donde = fa.asiento() + QStringLiteral(": factura ") + l.factura;
    const Moneda calculada = cuotaDelTipo(l.base, tipo);
    if (absoluto(l.cuotaIva - calculada) > Moneda::deDiezmilesimas(100))
        errores << QStringLiteral("%1: la cuota %2 no es el %3 % de la base %4 (%5)")
                       .arg(donde, l.cuotaIva.formatear(), tipo.formatear(), l.base.formatear(),
                            calculada.formatear());
    else if ((l.cuotaIva < Moneda() && l.base > Moneda()) ||
             (l.cuotaIva > Moneda() && l.base < Moneda()))
        errores << QStringLiteral("%1: la cuota %2 y la base %3 tienen distinto signo")
                       .arg(donde, l.cuotaIva.formatear(), l.base.formatear());
    if (!tipoIvaAdmitido(tipo, d, fa.total < Moneda()))
        errores << QStringLiteral("%1: el tipo de IVA del %2 % no es de los admitidos el %3")
                       .arg(donde, tipo.formatear(), d.toString(u"dd/MM/yyyy"));
    if (!recargo.esCero() && !recargoAdmitido(tipo, recargo))
        errores << QStringLiteral("%1: el recargo del %2 % no corresponde al IVA del %3 %")
                       .arg(donde, recargo.formatear(), tipo.formatear());
}

// Al 0 % y sin cuota a quien tiene NIF-IVA de otro Estado de la Unión: entrega
// intracomunitaria, exenta por el artículo 25 (E5), sin tipo ni cuota.
bool intracomunitaria(const Factura& fa, const FilaIVA& l) {
    return fa.id.clase == nif::Clase::NifIva && Moneda::deColumna(l.tipoIva).esCero() &&
           l.cuotaIva.esCero();
}

// Las columnas con que empiezan los dos libros: ejercicio, periodo, actividad, tipo de factura,
// los dos conceptos de ingreso o gasto (en blanco) y la fecha de expedición.
FilaRegistro inicioFila(const Factura& fa, const QDate& d) {
    // clang-format off
    return {entero(d.year()), texto(periodo(d)), texto(QStringLiteral("A")),
            texto(QStringLiteral("03")), texto(fa.iae), texto(fa.tipo), {}, {}, fecha(d)};
    // clang-format on
}

// Cierra la fila con las columnas finales en blanco (IRPF, cobros y pagos, acuerdo, inmueble,
// referencia) hasta las del diseño de su libro.
FilaRegistro completar(FilaRegistro fila, bool emitidas) {
    fila.resize(columnasLibroRegistro(emitidas).size());
    return fila;
}

FilaRegistro filaExpedida(const Factura& fa, const FilaIVA& l) {
    const QDate d = l.fecha.fecha();
    const bool recargo = !Moneda::deColumna(l.tipoRecargo).esCero();
    const bool exenta = intracomunitaria(fa, l);
    FilaRegistro f = inicioFila(fa, d);
    f.insert(f.end(),
             {{},
              {},
              texto(l.numero),
              {},
              texto(fa.id.tipo),
              texto(fa.id.pais),
              texto(fa.id.numero),
              texto(fa.nombre),
              texto(QStringLiteral("01")),
              exenta ? CeldaRegistro{} : texto(QStringLiteral("S1")),
              exenta ? texto(QStringLiteral("E5")) : CeldaRegistro{},
              numero(l.total),
              numero(l.base),
              exenta ? CeldaRegistro{} : numero(Moneda::deColumna(l.tipoIva)),
              exenta ? CeldaRegistro{} : numero(l.cuotaIva),
              recargo ? numero(Moneda::deColumna(l.tipoRecargo)) : CeldaRegistro{},
              recargo ? numero(l.cuotaRecargo) : CeldaRegistro{}});
    return completar(std::move(f), true);
}

FilaRegistro filaRecibida(const Factura& fa, const FilaIVA& l) {
    const QDate d = l.fecha.fecha();
    const bool recargo = !Moneda::deColumna(l.tipoRecargo).esCero();
    // Quien soporta recargo de equivalencia no deduce (validación 33), ni el tique sin NIF.
    const Moneda deducible =
        recargo || fa.tipo == u"F2" || fa.tipo == u"R5" ? Moneda() : l.cuotaIva;
    FilaRegistro f = inicioFila(fa, d);
    f.insert(f.end(),
             {{},
              texto(l.factura),
              {},
              fecha(d),
              texto(fa.numeroRecepcion),
              {},
              texto(fa.id.tipo),
              texto(fa.id.pais),
              texto(fa.id.numero),
              texto(fa.nombre),
              texto(QStringLiteral("01")),
              texto(QStringLiteral("N")),
              texto(QStringLiteral("N")),
              texto(QStringLiteral("N")),
              {},
              {},
              numero(l.total),
              numero(l.base),
              numero(Moneda::deColumna(l.tipoIva)),
              numero(l.cuotaIva),
              numero(deducible),
              recargo ? numero(Moneda::deColumna(l.tipoRecargo)) : CeldaRegistro{},
              recargo ? numero(l.cuotaRecargo) : CeldaRegistro{}});
    return completar(std::move(f), false);
}

// Tramo de fechas que una empresa de la cadena aporta a un año.
struct Tramo {
    long empresa;
    QDate desde, hasta;
};

// La empresa, las anteriores por CodEmpresaAnterior y las que la tienen por anterior, cada
// una con los días del año que le tocan: la empresa, todos; las demás, los de fuera de su
// ejercicio que caen en el suyo.
std::vector<Tramo> tramos(Conexion& con, long empresa, const QDate& desde, const QDate& hasta) {
    const std::vector<DatosEmpresa> todas = DatosEmpresa::todas(con);
    const auto buscar = [&](long id) -> const DatosEmpresa* {
        for (const DatosEmpresa& e : todas)
            if (e.id == id) return &e;
        return nullptr;
    };
    const DatosEmpresa* propia = buscar(empresa);
    std::vector<Tramo> t{{empresa, desde, hasta}};
    if (!propia) return t;
    const auto dia = [](const QString& f) { return FechaLibros::deTexto(f).fecha(); };
    const QDate ini = dia(propia->fechaIni), fin = dia(propia->fechaFin);
    std::set<long> vistas{empresa};
    for (const DatosEmpresa* e = buscar(propia->anterior); e && !vistas.count(e->id);
         e = buscar(e->anterior)) {
        vistas.insert(e->id);
        const QDate a = std::max(desde, dia(e->fechaIni));
        const QDate b = std::min({hasta, dia(e->fechaFin), ini.addDays(-1)});
        if (a <= b) t.push_back({e->id, a, b});
    }
    for (long actual = empresa;;) {
        const auto siguiente = std::find_if(todas.begin(), todas.end(), [&](const DatosEmpresa& e) {
            return e.anterior == actual && !vistas.count(e.id);
        });
        if (siguiente == todas.end()) break;
        vistas.insert(siguiente->id);
        actual = siguiente->id;
        const QDate a = std::max({desde, dia(siguiente->fechaIni), fin.addDays(1)});
        const QDate b = std::min(hasta, dia(siguiente->fechaFin));
        if (a <= b) t.push_back({siguiente->id, a, b});
    }
    return t;
}

// Las facturas de un libro en un tramo, en el orden del libro de IVA.
std::vector<Factura> facturas(Conexion& con, const OpcionesLibrosIVA& base, const Tramo& tramo,
                              bool emitidas) {
    OpcionesLibrosIVA o = base;
    o.empresa = tramo.empresa;
    o.emitidas = emitidas;
    o.divisa = Divisa::Euros;  // el formato pide euros, sea cual sea la moneda del libro impreso
    o.desde = tramo.desde;
    o.hasta = tramo.hasta;
    if (!emitidas)
        o.numeracionAutomatica = false;  // las recibidas llevan su número y el de recepción
    const QString iae = iae::leer(con, tramo.empresa);
    std::vector<Factura> v;
    recorrerLibroIVA(con, o, nullptr, [&](const FilaIVA& f) {
        if (f.primeraLinea || v.empty()) v.push_back({{}, iae, {}, false, {}, {}, {}, {}});
        v.back().lineas.push_back(f);
    });
    return v;
}

[[noreturn]] void noSeEscribe(const QString& archivo, const QString& motivo) {
    throw ErrorOrvo(Causa::AccesoAlArchivo,
                    QStringLiteral("No se puede escribir el libro registro %1: %2; compruebe la "
                                   "carpeta y el espacio libre")
                        .arg(archivo, motivo));
}

double anchoColumna(const ColumnaRegistro& c) {
    if (c.tipo == TipoColumna::Texto) return std::clamp(c.longitud + 2, 8, 42);
    return c.tipo == TipoColumna::Fecha ? 12 : 11;
}

struct EstilosRegistro {
    LibroXlsx::IdEstilo cabecera, importe, entero, fecha;
};

void hojaRegistro(LibroXlsx& x, const EstilosRegistro& e, const char* nombre,
                  const std::vector<ColumnaRegistro>& columnas,
                  const std::vector<FilaRegistro>& filas) {
    x.hoja(QString::fromLatin1(nombre));
    const int n = static_cast<int>(columnas.size());
    for (int c = 0; c < n;) {
        const ColumnaRegistro& col = columnas[static_cast<size_t>(c)];
        int fin = c;
        if (col.titulo.isEmpty()) {
            // Sola: su título ocupa las dos filas.
            x.unir(0, c, 1, c, col.grupo, e.cabecera);
        } else {
            while (fin + 1 < n && columnas[static_cast<size_t>(fin + 1)].grupo == col.grupo &&
                   !columnas[static_cast<size_t>(fin + 1)].titulo.isEmpty())
                ++fin;
            if (fin > c)
                x.unir(0, c, 0, fin, col.grupo, e.cabecera);
            else
                x.texto(0, c, col.grupo, e.cabecera);
            for (int k = c; k <= fin; ++k)
                x.texto(1, k, columnas[static_cast<size_t>(k)].titulo, e.cabecera);
        }
        for (int k = c; k <= fin; ++k)
            x.anchoColumna(k, anchoColumna(columnas[static_cast<size_t>(k)]));
        c = fin + 1;
    }
    x.altoFila(0, 45);
    x.altoFila(1, 30);
    x.fijarFilas(2);
    int r = 2;
    for (const FilaRegistro& fila : filas) {
        for (int c = 0; c < static_cast<int>(fila.size()); ++c) {
            const CeldaRegistro& celda = fila[static_cast<size_t>(c)];
            switch (celda.clase) {
                case CeldaRegistro::Vacia:
                    break;
                case CeldaRegistro::Texto:
                    x.texto(r, c, celda.texto);
                    break;
                case CeldaRegistro::Numero:
                    x.numero(r, c, celda.numero.aDouble(), e.importe);
                    break;
                case CeldaRegistro::Entero:
                    x.numero(r, c, celda.numero.aDouble(), e.entero);
                    break;
                case CeldaRegistro::Fecha:
                    x.fecha(r, c, celda.fecha, e.fecha);
                    break;
            }
        }
        ++r;
    }
}

// Los dos libros de un año; 'maximo' (si no es 0) es el tamaño que el archivo no puede pasar.
void escribirXlsx(const QString& archivo, const LibrosRegistroAnuales& a, qint64 maximo,
                  const QString& porQueMaximo) {
    LibroXlsx x(archivo, false);  // las cabeceras unen celdas de dos filas: sin memoria constante
    const EstilosRegistro e{x.estilo({nullptr, true, true}), x.estilo({"0.00"}), x.estilo({"0"}),
                            x.estilo({"dd/mm/yyyy"})};
    hojaRegistro(x, e, "EXPEDIDAS", kExpedidas, a.expedidas);
    hojaRegistro(x, e, "RECIBIDAS", kRecibidas, a.recibidas);
    const qint64 tamano = x.cerrar();
    if (maximo > 0 && tamano > maximo)
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("%1 ocupa %2 KB y %3 admite %4 KB como mucho: no se "
                                       "ha escrito; el libro registro sin más límite se "
                                       "puede exportar en CSV")
                            .arg(QFileInfo(archivo).fileName())
                            .arg((tamano + 1023) / 1024)
                            .arg(porQueMaximo)
                            .arg(maximo / 1024));
    x.confirmar();
}

void escribirCsv(const QString& archivo, const std::vector<ColumnaRegistro>& columnas,
                 const std::vector<FilaRegistro>& filas) {
    ArchivoCsv csv(archivo, false);
    QStringList grupos, titulos, linea;
    for (const ColumnaRegistro& c : columnas) {
        grupos << c.grupo;
        titulos << c.titulo;
    }
    csv.fila(grupos);
    csv.fila(titulos);
    for (const FilaRegistro& fila : filas) {
        linea.clear();
        for (const CeldaRegistro& c : fila) linea << c.comoTexto();
        csv.fila(linea);
    }
    csv.confirmar();
}

// Del 1 de enero al último día de un trimestre: el archivo que lee el Pre303.
bool esPre303(const QDate& hasta) {
    return hasta.addDays(1).day() == 1 && hasta.month() % 3 == 0;
}

}  // namespace

QString ColumnaRegistro::tipoDisenyo() const {
    switch (tipo) {
        case TipoColumna::Entero:
            return QStringLiteral("Decimal (4,0)");
        case TipoColumna::Texto:
            return QStringLiteral("Alfanumérico (%1)").arg(longitud);
        case TipoColumna::Fecha:
            return QStringLiteral("Fecha(dd/mm/yyyy)");
        case TipoColumna::Importe:
            return QStringLiteral("Decimal(12,2)");
        case TipoColumna::Porcentaje:
            return QStringLiteral("Decimal(4,2)");
    }
    return {};
}

const std::vector<ColumnaRegistro>& columnasLibroRegistro(bool emitidas) {
    return emitidas ? kExpedidas : kRecibidas;
}

QString CeldaRegistro::comoTexto() const {
    switch (clase) {
        case Vacia:
            return {};
        case Texto:
            return texto;
        case Numero:
            return numero.formatearFijo();
        case Entero:
            return QString::number(numero.diezmilesimas() / Moneda::kEscala);
        case Fecha:
            return fecha.toString(u"dd/MM/yyyy");
    }
    return {};
}

std::vector<LibrosRegistroAnuales> librosRegistro(Conexion& contabilidad,
                                                  const OpcionesLibrosIVA& o) {
    std::vector<LibrosRegistroAnuales> anos;
    for (int ano = o.desde.year(); ano <= o.hasta.year(); ++ano) {
        LibrosRegistroAnuales& a = anos.emplace_back();
        a.ano = ano;
        const QDate hasta = std::min(o.hasta, QDate(ano, 12, 31));
        const std::vector<Tramo> t = tramos(contabilidad, o.empresa, QDate(ano, 1, 1), hasta);
        qlonglong recepcion = o.numeracionAutomatica ? o.primerNumero.toLongLong() : 1;
        for (const bool emitidas : {true, false}) {
            std::vector<Factura> todas;
            for (const Tramo& tramo : t)
                for (Factura& fa : facturas(contabilidad, o, tramo, emitidas))
                    todas.push_back(std::move(fa));
            // Las de varias empresas de la cadena, por fecha como las de una.
            std::stable_sort(todas.begin(), todas.end(), [](const Factura& x, const Factura& y) {
                return x.lineas[0].fecha < y.lineas[0].fecha;
            });
            QStringList& errores = emitidas ? a.erroresExpedidas : a.erroresRecibidas;
            for (Factura& fa : todas) {
                clasificar(fa, emitidas, errores, a.avisos);
                if (!emitidas) fa.numeroRecepcion = QString::number(recepcion++);
                for (const FilaIVA& l : fa.lineas) {
                    validarLinea(fa, l, errores);
                    (emitidas ? a.expedidas : a.recibidas)
                        .push_back(emitidas ? filaExpedida(fa, l) : filaRecibida(fa, l));
                }
            }
        }
    }
    return anos;
}

QString nombreLibroRegistro(int ano, const QString& nif, QChar letra, const QString& nombre,
                            FormatoRegistro formato) {
    QString limpio;
    for (const QChar c : nombre.trimmed())
        limpio += QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 32 ? u'_' : c;
    while (limpio.endsWith(u'.') || limpio.endsWith(u' ')) limpio.chop(1);
    return QString::number(ano) + nif + letra + limpio +
           (formato == FormatoRegistro::Csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx"));
}

QString ExportacionRegistro::texto() const {
    QString t = archivos.join(QStringLiteral(", "));
    if (!avisos.isEmpty())
        t += QStringLiteral(". Avisos (se ha escrito igual): ") + avisos.join(QStringLiteral("; "));
    return t;
}

ExportacionRegistro exportarLibroRegistro(Conexion& contabilidad, const OpcionesLibrosIVA& o,
                                          FormatoRegistro formato, const QString& carpeta,
                                          qint64 maximoPre303) {
    const QString tecleado = DatosEmpresa::nif(contabilidad, o.empresa);
    if (tecleado.isEmpty())
        throw ErrorOrvo(Causa::TiposNoCoinciden,
                        QStringLiteral("La empresa no tiene NIF y el libro registro lo lleva "
                                       "en su nombre: póngalo en Archivo > NIF de la "
                                       "empresa."));
    const QString nif = nif::exigirPropio(tecleado);
    const DatosEmpresa empresa = DatosEmpresa::existente(contabilidad, o.empresa);
    if (!QDir(carpeta).exists()) noSeEscribe(carpeta, QStringLiteral("no existe la carpeta"));
    const std::vector<LibrosRegistroAnuales> anos = librosRegistro(contabilidad, o);
    QStringList errores;
    ExportacionRegistro r;
    for (const LibrosRegistroAnuales& a : anos) {
        if (formato == FormatoRegistro::Xlsx)
            errores << a.errores();
        else
            errores << (o.emitidas ? a.erroresExpedidas : a.erroresRecibidas);
        r.avisos << a.avisos;
    }
    if (!errores.isEmpty()) {
        const int mostrados = 20;
        QString lista = errores.mid(0, mostrados).join(QStringLiteral("\n"));
        if (errores.size() > mostrados)
            lista += QStringLiteral("\n… y %1 más").arg(errores.size() - mostrados);
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("No se ha escrito el libro registro: estas líneas no "
                                       "cumplen el diseño de la Agencia Tributaria; corríjalas "
                                       "en la contabilidad y vuelva a exportar.\n") +
                            lista);
    }
    for (const LibrosRegistroAnuales& a : anos) {
        const QDate hasta = std::min(o.hasta, QDate(a.ano, 12, 31));
        const QChar letra = formato == FormatoRegistro::Xlsx ? u'C' : o.emitidas ? u'E' : u'R';
        const QString archivo =
            QDir(carpeta).filePath(nombreLibroRegistro(a.ano, nif, letra, empresa.nombre, formato));
        try {
            if (formato == FormatoRegistro::Csv)
                escribirCsv(archivo, columnasLibroRegistro(o.emitidas),
                            o.emitidas ? a.expedidas : a.recibidas);
            else if (esPre303(hasta))
                escribirXlsx(archivo, a, maximoPre303,
                             QStringLiteral("el servicio Pre303 de la Agencia"));
            else
                escribirXlsx(archivo, a, 0, {});
        } catch (const FalloEscritura& e) {
            noSeEscribe(archivo, e.motivo());
        }
        r.archivos << archivo;
    }
    return r;
}

}  // namespace orvo
