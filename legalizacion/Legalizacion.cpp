#include "Legalizacion.h"

#include <sys/stat.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cstdio>
#include <functional>
#include <list>
#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include "AsientosFinales.h"
#include "Balance.h"
#include "BalanceComparativo.h"
#include "Conexion.h"
#include "ContextoInforme.h"
#include "DatosEmpresa.h"
#include "DocumentoPdf.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"
#include "FechaLibros.h"
#include "LibroDiario.h"
#include "Maquetador.h"
#include "OrdenLibros.h"
#include "Pintor.h"
#include "Plantilla.h"
#include "Progreso.h"
#include "SumasYSaldos.h"

namespace orvo::Legalizacion {

namespace {

constexpr double kPuntosPorMm = 72.0 / 25.4;
// La banda de los folios que no vienen de una plantilla (portada y anexos), en mm.
constexpr double kMargen = 12, kArriba = 10, kAbajo = 10, kBanda = 12;
const QSizeF kA4(210, 297);

// Una parte de un libro hecha con un informe: su construcción escribe la tabla de trabajo y la
// plantilla la compone en folios.
struct Seccion {
    Seccion(QString p, QString t, std::function<FormulasInforme(ContextoInforme&)> c,
            std::map<QString, QString> r = {})
        : plantilla(std::move(p)),
          titulo(std::move(t)),
          construir(std::move(c)),
          rotulos(std::move(r)) {}
    QString plantilla;
    QString titulo;
    std::function<FormulasInforme(ContextoInforme&)> construir;
    // Las fórmulas que el comparativo da a sus columnas se cambian por el ejercicio de cada una.
    std::map<QString, QString> rotulos;
    // Los folios de la parte, el primero de ellos y quien los pinta, que al final del libro
    // escribe encima de cada uno «Folio n de total».
    int folios = 0, primero = 0;
    std::unique_ptr<ValoresFormulas> valores;
    std::unique_ptr<Maquetador> maqueta;
    std::unique_ptr<Pintor> pintor;
};

struct Anexo {
    QString ruta;
    int paginas = 0;
};

class LibroPdf {
  public:
    LibroPdf(Conexion& informes, IProgreso& progreso, QString plantillas, QString nombre,
             QString cabecera, QDate fecha)
        : informes_(informes),
          progreso_(progreso),
          plantillas_(std::move(plantillas)),
          nombre_(std::move(nombre)),
          cabecera_(std::move(cabecera)),
          fecha_(fecha) {}

    std::vector<Seccion> secciones;
    std::vector<Anexo> anexos;
    QStringList portada;  // líneas bajo el nombre del libro

    // Escribe el libro en 'destino' (un temporal abierto) y devuelve sus folios. Las filas se
    // leen una sola vez: el total de folios, que cada uno lleva, se escribe encima al final.
    int escribir(Conexion& contabilidad, QFileDevice& destino, const QString& carpeta) {
        ContextoInforme contexto{contabilidad, informes_, progresoNulo_};
        int total = 0;
        {
            DocumentoPdf pdf(destino, carpeta, nombre_ + QStringLiteral(" · ") + cabecera_);
            pintarPortada(pdf.nuevaPagina(kA4));
            for (Seccion& s : secciones) {
                maquetar(contexto, s);
                // La barra sigue las filas leídas: contarlas no compone nada.
                const qint64 filas =
                    informes_
                        .valor(QStringLiteral("SELECT COUNT(*) FROM %1")
                                   .arg(identificador(s.maqueta->plantilla().tabla)))
                        .toLongLong();
                progreso_.Iniciar(
                    filas,
                    secciones.size() > 1
                        ? QStringLiteral("Escribiendo el %1: %2 ...").arg(nombre_, s.titulo)
                        : QStringLiteral("Escribiendo el %1 ...").arg(nombre_),
                    0);
                s.primero = pdf.paginas() + 1;
                s.pintor = std::make_unique<Pintor>(*s.maqueta, s.titulo, fecha_);
                s.pintor->foliar({cabecera_, s.primero, 0});
                const Geometria& g = s.maqueta->geometria();
                qint64 leidas = 0;
                s.maqueta->recorrer([&](const Pagina& pagina) {
                    s.pintor->pintar(pdf.nuevaPagina(QSizeF(g.ancho, g.alto)), pagina, 0);
                    for (const LineaPagina& l : pagina.lineas)
                        if (l.tipo == LineaPagina::Tipo::Detalle && l.primeraDeFila) ++leidas;
                    progreso_.setValor(leidas);
                });
                s.folios = pdf.paginas() - s.primero + 1;
            }
            for (const Anexo& a : anexos)
                for (int i = 1; i <= a.paginas; ++i)
                    pintarBandas(pdf.nuevaPagina(kA4),
                                 QStringLiteral("Anexo: %1 (página %2 de %3)")
                                     .arg(QFileInfo(a.ruta).fileName())
                                     .arg(i)
                                     .arg(a.paginas));
            total = pdf.paginas();
            for (Seccion& s : secciones) s.pintor->foliar({cabecera_, s.primero, total});
            pdf.terminar([&](Lienzo& lz, int folio) {
                for (Seccion& s : secciones)
                    if (folio >= s.primero && folio < s.primero + s.folios) {
                        s.pintor->paginacion(lz, folio - s.primero + 1, total);
                        return;
                    }
                pintarFolio(lz, folio, total);
                if (folio == 1) pintarTotalPortada(lz, total);
            });
        }
        for (Seccion& s : secciones) {
            s.pintor.reset();
            s.maqueta.reset();
            s.valores.reset();
        }
        progreso_.Terminar();
        if (destino.error() != QFileDevice::NoError || !destino.flush())
            throw ErrorOrvo(Causa::AccesoAlArchivo,
                            QStringLiteral("No se puede escribir en la carpeta %1: %2")
                                .arg(carpeta, destino.errorString()));
        return total;
    }

  private:
    void maquetar(ContextoInforme& contexto, Seccion& s) {
        // Las filas se escriben en una transacción, como en los diálogos: una sola escritura.
        Transaccion transaccion(informes_);
        for (const QString& tabla : Esquemas::tablasInformes())
            informes_.Execute(QStringLiteral("DELETE FROM %1").arg(identificador(tabla)));
        s.valores = std::make_unique<ValoresFormulas>();
        const FormulasInforme formulas = s.construir(contexto);
        transaccion.confirmar();
        for (const auto& [indice, formula] : formulas) {
            const QString nombre = formula.section(u'=', 0, 0).trimmed();
            const auto rotulo = s.rotulos.find(nombre);
            s.valores->anadir(rotulo == s.rotulos.end()
                                  ? formula
                                  : nombre + QStringLiteral("= \"") + rotulo->second + u'"');
        }
        s.maqueta = std::make_unique<Maquetador>(Plantilla::leer(plantillas_ + u'/' + s.plantilla),
                                                 informes_, *s.valores);
    }

    // Una línea entera: si no cabe, con letra menor.
    static void texto(Lienzo& lz, const QRectF& mm, const QString& t, double puntos, bool negrita,
                      Alineacion a) {
        Pintor::celda(lz, {puntos, negrita}, mm, t, a, true);
    }

    // Cabecera y pie de un folio que no compone una plantilla, sin su número, que va encima al
    // final; tacha el blanco entre ellos salvo en los anexos, cuyas páginas se ponen debajo.
    void pintarBandas(Lienzo& lz, const QString& titulo) {
        const double ancho = 210 - 2 * kMargen;
        texto(lz, {kMargen, kArriba, ancho, 5}, cabecera_, 9, true, Alineacion::Izquierda);
        texto(lz, {kMargen, kArriba + 5, ancho, 5}, titulo, 9, false, Alineacion::Izquierda);
        texto(lz, {kMargen, 297 - kAbajo - 5, ancho * 0.7, 5}, nombre_, 8, false,
              Alineacion::Izquierda);
        lz.linea({kMargen, kArriba + kBanda - 1}, {210 - kMargen, kArriba + kBanda - 1}, 0.2,
                 Qt::black);
        lz.linea({kMargen, 297 - kAbajo - 6}, {210 - kMargen, 297 - kAbajo - 6}, 0.2, Qt::black);
    }

    static void pintarFolio(Lienzo& lz, int folio, int total) {
        texto(lz, {kMargen, 297 - kAbajo - 5, 210 - 2 * kMargen, 5},
              QStringLiteral("Folio %1 de %2").arg(folio).arg(total), 8, false,
              Alineacion::Derecha);
    }

    // Altura de la línea 'n' (desde 0) bajo el nombre del libro en la portada.
    static double lineaPortada(qsizetype n) { return 95 + 10 * double(n); }

    void pintarPortada(Lienzo& lz) {
        pintarBandas(lz, QStringLiteral("Portada"));
        const double ancho = 210 - 2 * kMargen;
        texto(lz, {kMargen, 70, ancho, 14}, nombre_, 22, true, Alineacion::Centro);
        for (qsizetype i = 0; i < portada.size(); ++i)
            texto(lz, {kMargen, lineaPortada(i), ancho, 8}, portada[i], 13, false,
                  Alineacion::Centro);
        Pintor::tacharBlanco(lz, kMargen, ancho, lineaPortada(portada.size() + 3),
                             297 - kAbajo - 8);
    }

    // Los folios de la portada, tras una línea en blanco, cuando se saben.
    void pintarTotalPortada(Lienzo& lz, int total) const {
        texto(lz, {kMargen, lineaPortada(portada.size() + 1), 210 - 2 * kMargen, 8},
              QStringLiteral("Consta de %1 folios, numerados del 1 al %1.").arg(total), 12, true,
              Alineacion::Centro);
    }

    Conexion& informes_;
    IProgreso& progreso_;
    ProgresoNulo progresoNulo_;
    QString plantillas_, nombre_, cabecera_;
    QDate fecha_;
};

// Pone cada página de los anexos debajo de su folio del libro, reducida al hueco entre la
// cabecera y el pie, y escribe el resultado en 'salida'.
void ponerAnexos(const QString& libro, const std::vector<Anexo>& anexos, int primerFolio,
                 const QString& salida) {
    QPDF pdf;
    pdf.processFile(QFile::encodeName(libro).constData());
    std::vector<QPDFPageObjectHelper> folios = QPDFPageDocumentHelper(pdf).getAllPages();
    std::list<QPDF> fuentes;  // viven hasta escribir: las páginas copiadas las nombran
    QPDFObjectHandle::Rectangle hueco(kMargen * kPuntosPorMm, (kAbajo + 7) * kPuntosPorMm,
                                      (210 - kMargen) * kPuntosPorMm,
                                      (297 - kArriba - kBanda) * kPuntosPorMm);
    std::size_t folio = std::size_t(primerFolio - 1);
    int n = 0;
    for (const Anexo& a : anexos) {
        QPDF& fuente = fuentes.emplace_back();
        fuente.processFile(QFile::encodeName(a.ruta).constData());
        for (QPDFPageObjectHelper& pagina : QPDFPageDocumentHelper(fuente).getAllPages()) {
            QPDFPageObjectHelper destino = folios.at(folio++);
            const QPDFObjectHandle forma = pdf.copyForeignObject(pagina.getFormXObjectForPage());
            const std::string nombre = "/OrvoAnexo" + std::to_string(++n);
            QPDFObjectHandle recursos = destino.getAttribute("/Resources", true);
            if (!recursos.hasKey("/XObject"))
                recursos.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
            recursos.getKey("/XObject").replaceKey(nombre, forma);
            destino.addPageContents(
                QPDFObjectHandle::newStream(&pdf, destino.placeFormXObject(forma, nombre, hueco)),
                true);
        }
    }
    // QPDFWriter guarda el puntero al nombre y abre el archivo al escribir: el nombre tiene que
    // vivir hasta entonces.
    const QByteArray nombreSalida = QFile::encodeName(salida);
    QPDFWriter w(pdf, nombreSalida.constData());
    w.write();
}

QString sha256(const QString& ruta) {
    QFile f(ruta);
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !h.addData(&f))
        throw ErrorOrvo(Causa::AccesoAlArchivo,
                        QStringLiteral("No se puede leer el archivo %1").arg(ruta));
    return QString::fromLatin1(h.result().toHex());
}

// Un temporal en la carpeta de destino, para renombrarlo cuando todo esté escrito.
std::unique_ptr<QTemporaryFile> temporal(const QString& carpeta) {
    auto t = std::make_unique<QTemporaryFile>(carpeta + QStringLiteral("/.legalizar-XXXXXX"));
    if (!t->open())
        throw ErrorOrvo(Causa::AccesoAlArchivo,
                        QStringLiteral("No se puede escribir en la carpeta %1: %2")
                            .arg(carpeta, t->errorString()));
    return t;
}

QString numeroApertura(Conexion& con, const DatosEmpresa& e) {
    const QVariant n = con.valor(QStringLiteral("SELECT Numero FROM Asiento WHERE CodEmpresa = ? "
                                                "AND Fecha = ? ORDER BY Val(Numero), IDAsiento"),
                                 {qlonglong(e.id), e.fechaIni});
    return n.isNull() ? QString() : n.toString().trimmed();
}

}  // namespace

QString nombreArchivo(const QString& ejercicio, const QString& nif, const QString& libro) {
    return QStringLiteral("%1_%2_%3.pdf").arg(ejercicio, nif, libro);
}

QString Resultado::texto() const {
    return QStringLiteral(
               "Libro Diario: %1 (%2 folios); Libro de Inventarios y Cuentas Anuales: "
               "%3 (%4 folios); huellas en %5")
        .arg(diario.archivo)
        .arg(diario.folios)
        .arg(inventarios.archivo)
        .arg(inventarios.folios)
        .arg(huellas);
}

Resultado legalizar(Conexion& contabilidad, const Opciones& o, IProgreso& progreso) {
    const DatosEmpresa e = DatosEmpresa::existente(contabilidad, o.empresa);
    const QString ejercicio = QStringLiteral("%1 de %2").arg(e.ejercicio, e.abreviatura);
    if (AsientosFinales::ejercicioSiguiente(contabilidad, o.empresa) == 0)
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("El ejercicio %1 no está cerrado: ciérrelo (orvo-informes "
                                       "cerrar) antes de legalizar sus libros")
                            .arg(ejercicio));
    const QString nif = DatosEmpresa::nif(contabilidad, o.empresa);
    if (nif.isEmpty())
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("La empresa %1 no tiene NIF: póngalo (Archivo > NIF de la "
                                       "empresa) antes de legalizar sus libros")
                            .arg(e.abreviatura));
    const QString carpeta = QDir(o.carpeta).absolutePath();
    if (!QFileInfo(carpeta).isDir())
        throw ErrorOrvo(Causa::CarpetaNoEncontrada,
                        QStringLiteral("No existe la carpeta %1").arg(carpeta));
    std::vector<Anexo> anexos;
    for (const QString& ruta : o.anexos) {
        try {
            QPDF pdf;
            pdf.setSuppressWarnings(true);
            pdf.processFile(QFile::encodeName(ruta).constData());
            anexos.push_back({ruta, int(QPDFPageDocumentHelper(pdf).getAllPages().size())});
        } catch (const std::exception&) {
            throw ErrorOrvo(Causa::ArchivoNoEncontrado,
                            QStringLiteral("El anexo %1 no es un PDF que se pueda leer").arg(ruta));
        }
    }

    // Las tablas de trabajo, aparte: la base de informes de quien legaliza no se toca.
    QTemporaryDir trabajo;
    auto informes = Conexion::abrir(trabajo.filePath(QStringLiteral("Informes.mdb")), true);
    Esquemas::crearInformes(*informes);
    const Lectura lectura(contabilidad);
    const QDate fecha = o.fechaImpresion.isValid() ? o.fechaImpresion : QDate::currentDate();
    const QDate inicio = FechaLibros::deTexto(e.fechaIni).fecha();
    const QDate fin = FechaLibros::deTexto(e.fechaFin).fecha();
    const QString cabecera = QStringLiteral("<%1> %2 · NIF %3").arg(e.abreviatura, e.nombre, nif);
    const QStringList portada{e.nombre, QStringLiteral("NIF %1").arg(nif),
                              QStringLiteral("Ejercicio %1: del %2 al %3")
                                  .arg(e.ejercicio, FechaLibros::deTexto(e.fechaIni).impresa(),
                                       FechaLibros::deTexto(e.fechaFin).impresa())};

    // El Diario: todos los asientos, de la apertura al cierre, con suma y sigue.
    LibroPdf diario(*informes, progreso, o.plantillas, QStringLiteral("Libro Diario"),
                    cabecera + QStringLiteral(" · Libro Diario · Ejercicio ") + e.ejercicio, fecha);
    diario.portada = portada;
    {
        OpcionesLibroDiario d;
        d.empresa = o.empresa;
        d.desde = inicio;
        d.hasta = fin;
        diario.secciones.emplace_back(
            QStringLiteral("infCONT_LibroDiario_2.rpt"), QStringLiteral("Libro Diario"),
            [d](ContextoInforme& c) { return construirLibroDiario(c, d); });
    }

    // El de inventarios: apertura, cuatro sumas y saldos, inventario de cierre y cuentas anuales.
    const QString nombreInventarios = QStringLiteral("Libro de Inventarios y Cuentas Anuales");
    LibroPdf inventarios(*informes, progreso, o.plantillas, nombreInventarios,
                         cabecera + QStringLiteral(" · ") + nombreInventarios +
                             QStringLiteral(" · Ejercicio ") + e.ejercicio,
                         fecha);
    inventarios.portada = portada;
    inventarios.anexos = anexos;
    if (const QString apertura = numeroApertura(contabilidad, e); !apertura.isEmpty()) {
        OpcionesLibroDiario d;
        d.empresa = o.empresa;
        d.desde = inicio;
        d.hasta = inicio;
        d.asientoDesde = d.asientoHasta = apertura;
        inventarios.secciones.emplace_back(
            QStringLiteral("infCONT_LibroDiario.rpt"),
            QStringLiteral("Balance de apertura detallado (asiento nº %1)").arg(apertura),
            [d](ContextoInforme& c) { return construirLibroDiario(c, d); });
    }
    std::vector<int> niveles;
    for (int n = 1; n <= (e.desgloseSubcuentas > 0 ? e.desgloseSubcuentas : 7); ++n)
        niveles.push_back(n);
    for (int trimestre = 1; trimestre <= 4; ++trimestre) {
        OpcionesSumasYSaldos s;
        s.empresa = o.empresa;
        s.subcuentaDesde = QString(niveles.size(), u'0');
        s.subcuentaHasta = QString(niveles.size(), u'9');
        s.desde = inicio;
        s.hasta = inicio.addMonths(3 * trimestre).addDays(-1);
        s.saldoCero = true;
        s.niveles = niveles;
        inventarios.secciones.emplace_back(
            QStringLiteral("infCONT_SumasySaldos.rpt"),
            QStringLiteral("Balance de sumas y saldos del %1.º trimestre, al %2")
                .arg(trimestre)
                .arg(s.hasta.toString(QStringLiteral("dd/MM/yyyy"))),
            [s](ContextoInforme& c) { return construirSumasYSaldos(c, s); });
    }
    {
        OpcionesBalance b;
        b.empresa = o.empresa;
        b.documento = 1;
        b.desde = inicio;
        b.hasta = fin;
        b.numerosCuenta = true;
        b.todasLasSubcuentas = true;
        inventarios.secciones.emplace_back(
            QStringLiteral("infCONT_Situacion.rpt"),
            QStringLiteral("Inventario de cierre al %1")
                .arg(FechaLibros::deTexto(e.fechaFin).impresa()),
            [b](ContextoInforme& c) { return construirBalance(c, b); });
    }
    const auto anterior = e.anterior ? DatosEmpresa::leer(contabilidad, e.anterior) : std::nullopt;
    for (int documento : {1, 2}) {
        const QString titulo =
            documento == 1 ? QStringLiteral("Balance de situación al %1")
                                 .arg(FechaLibros::deTexto(e.fechaFin).impresa())
                           : QStringLiteral("Cuenta de pérdidas y ganancias del ejercicio %1")
                                 .arg(e.ejercicio);
        if (anterior) {
            OpcionesComparativo c;
            c.empresaA = o.empresa;
            c.empresaB = anterior->id;
            c.documento = documento;
            c.desde = inicio;
            c.hasta = fin;
            inventarios.secciones.emplace_back(
                documento == 1 ? QStringLiteral("infCONT_SituacionComparativo.rpt")
                               : QStringLiteral("infCONT_PerdidasyGananciasComparativo.rpt"),
                titulo, [c](ContextoInforme& x) { return construirComparativo(x, c); },
                std::map<QString, QString>{
                    {QStringLiteral("Empresa A"), QStringLiteral("Ejercicio ") + e.ejercicio},
                    {QStringLiteral("Empresa B"),
                     QStringLiteral("Ejercicio ") + anterior->ejercicio}});
        } else {
            OpcionesBalance b;
            b.empresa = o.empresa;
            b.documento = documento;
            b.desde = inicio;
            b.hasta = fin;
            inventarios.secciones.emplace_back(
                documento == 1 ? QStringLiteral("infCONT_Situacion.rpt")
                               : QStringLiteral("infCONT_PerdidasyGanancias.rpt"),
                titulo, [b](ContextoInforme& x) { return construirBalance(x, b); });
        }
    }

    Resultado r;
    auto tDiario = temporal(carpeta);
    r.diario.folios = diario.escribir(contabilidad, *tDiario, carpeta);
    auto tInventarios = temporal(carpeta);
    r.inventarios.folios = inventarios.escribir(contabilidad, *tInventarios, carpeta);
    QString rutaInventarios = tInventarios->fileName();
    std::unique_ptr<QTemporaryFile> tConAnexos;
    if (!anexos.empty()) {
        tConAnexos = temporal(carpeta);
        tConAnexos->close();
        try {
            int paginasAnexos = 0;
            for (const Anexo& a : anexos) paginasAnexos += a.paginas;
            ponerAnexos(rutaInventarios, anexos, r.inventarios.folios - paginasAnexos + 1,
                        tConAnexos->fileName());
        } catch (const ErrorOrvo&) {
            throw;
        } catch (const std::exception& ex) {
            throw ErrorOrvo(Causa::AccesoAlArchivo,
                            QStringLiteral("No se pueden añadir los anexos: %1")
                                .arg(QString::fromLocal8Bit(ex.what())));
        }
        rutaInventarios = tConAnexos->fileName();
    }

    r.diario.archivo =
        carpeta + u'/' + nombreArchivo(e.ejercicio, nif, QStringLiteral("LibroDiario"));
    r.inventarios.archivo =
        carpeta + u'/' +
        nombreArchivo(e.ejercicio, nif, QStringLiteral("LibroInventariosCuentasAnuales"));
    r.diario.sha256 = sha256(tDiario->fileName());
    r.inventarios.sha256 = sha256(rutaInventarios);
    auto tHuellas = temporal(carpeta);
    const QByteArray huellas =
        (r.diario.sha256 + QStringLiteral("  ") + QFileInfo(r.diario.archivo).fileName() + u'\n' +
         r.inventarios.sha256 + QStringLiteral("  ") + QFileInfo(r.inventarios.archivo).fileName() +
         u'\n')
            .toUtf8();
    if (tHuellas->write(huellas) != huellas.size() || !tHuellas->flush())
        throw ErrorOrvo(Causa::AccesoAlArchivo,
                        QStringLiteral("No se puede escribir en la carpeta %1").arg(carpeta));
    r.huellas = carpeta + QStringLiteral("/huellas.txt");

    // Todo escrito: los temporales pasan a su nombre (rename sustituye al que hubiera).
    const std::vector<std::pair<QString, QString>> renombres{
        {tDiario->fileName(), r.diario.archivo},
        {rutaInventarios, r.inventarios.archivo},
        {tHuellas->fileName(), r.huellas}};
    // Los temporales nacen solo para su dueño; los libros, con los permisos de cualquier archivo.
    const mode_t mascara = ::umask(0);
    ::umask(mascara);
    for (const auto& [de, a] : renombres) {
        if (::chmod(QFile::encodeName(de).constData(), 0666 & ~mascara) != 0 ||
            std::rename(QFile::encodeName(de).constData(), QFile::encodeName(a).constData()) != 0)
            throw ErrorOrvo(Causa::AccesoAlArchivo,
                            QStringLiteral("No se puede escribir el archivo %1").arg(a));
    }
    return r;
}

int orden(const QStringList& a, QTextStream& err, const QString& plantillas) {
    Opciones o;
    o.plantillas = plantillas;
    OrdenLibros orden;
    orden.uso = QStringLiteral(
        "Uso: orvo-informes legalizar --contabilidad "
        "FILE|postgresql://... --empresa N --archivo DIR "
        "[--anexo FILE.pdf ...]\n");
    orden.valores[QStringLiteral("--archivo")] = [&](const QString& v) { o.carpeta = v; };
    orden.valores[QStringLiteral("--anexo")] = [&](const QString& v) { o.anexos << v; };
    if (!orden.leer(a, err)) return 2;
    if (o.carpeta.isEmpty()) {
        err << orden.uso;
        return 2;
    }
    o.empresa = orden.empresa;
    return orden.ejecutar(err, [&](Conexion& con) {
        ProgresoNulo progreso;
        err << legalizar(con, o, progreso).texto() << "\n";
        return 0;
    });
}

}  // namespace orvo::Legalizacion
