#include "Salidas.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include "DocumentoPdf.h"
#include "Exportadores.h"
#include "FormatosSalida.h"

namespace orvo {

namespace {

QPageLayout disposicion(const Maquetador& m) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       m.plantilla().horizontal ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

}  // namespace

void imprimirEn(QPagedPaintDevice& dispositivo, Maquetador& m, Pintor& pintor) {
    const int total = m.numeroPaginas();
    QPainter p;
    if (!p.begin(&dispositivo))
        throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                         QStringLiteral("No se puede empezar a imprimir el informe"));
    const double pxPorMm = dispositivo.logicalDpiX() / 25.4;
    bool primera = true;
    m.recorrer([&](const Pagina& pagina) {
        if (!primera) dispositivo.newPage();
        primera = false;
        pintor.pintar(p, pagina, total, pxPorMm);
    });
    p.end();
}

void escribirPdf(Maquetador& m, Pintor& pintor, const QString& titulo, const QString& archivo) {
    escribirEntero(archivo, [&](ArchivoEntero& f) {
        if (DocumentoPdf::posible()) {
            // Una sola lectura de las filas: el número de cada página y el total se escriben
            // encima de ellas al final, cuando ya se han contado.
            const Geometria& g = m.geometria();
            try {
                DocumentoPdf pdf(f.dispositivo(), archivo, titulo);
                m.recorrer([&](const Pagina& pagina) {
                    pintor.pintar(pdf.nuevaPagina(QSizeF(g.ancho, g.alto)), pagina, 0);
                });
                pdf.terminar(
                    [&](Lienzo& lz, int n) { pintor.paginacion(lz, n, pdf.paginas()); });
            } catch (const FalloEscritura&) {
                // El motivo de verdad (el disco lleno) lo sabe el temporal.
                if (f.falloEscritura().isEmpty()) throw;
                throw FalloEscritura(archivo, f.falloEscritura());
            }
            return;
        }
        QPdfWriter pdf(&f.dispositivo());
        pdf.setResolution(600);
        pdf.setTitle(titulo);
        pdf.setCreator(QStringLiteral("OrvoContabilidadInf"));
        pdf.setPageLayout(disposicion(m));
        imprimirEn(pdf, m, pintor);
    });
}

void imprimirEnPredeterminada(Maquetador& m, Pintor& pintor, const QString& titulo) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw FalloMotor(ErrorMotor::kSinImpresora,
                         QStringLiteral("No hay ninguna impresora predeterminada en el "
                                        "sistema. Instale una, o elija «Archivo» para guardar "
                                        "el informe en PDF."));
    QPrinter impresora(info, QPrinter::HighResolution);
    impresora.setDocName(titulo);
    impresora.setFullPage(true);
    impresora.setPageLayout(disposicion(m));
    imprimirEn(impresora, m, pintor);
}

void escribirArchivo(Maquetador& m, Pintor& pintor, const QString& titulo, const QDate& fecha,
                     const QString& archivo) {
    if (archivo.trimmed().isEmpty())
        throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                         QStringLiteral("No se ha indicado el archivo de salida"));
    const std::optional<FormatoSalida> formato = formatoDeSalida(archivo);
    if (!formato) throw FalloMotor(ErrorMotor::kSalidaNoEscribible, extensionNoAdmitida(archivo));
    try {
        switch (*formato) {
            case FormatoSalida::Pdf:
                return escribirPdf(m, pintor, titulo, archivo);
            case FormatoSalida::Csv:
                return exportarCsv(m, archivo);
            case FormatoSalida::Html:
                return exportarHtml(m, titulo, fecha, archivo);
            case FormatoSalida::Xlsx:
                return exportarXlsx(m, archivo);
        }
    } catch (const FalloEscritura& e) {
        // Con el número del motor, que es el que lee quien lo usa (LastErrorNumber).
        throw FalloMotor(ErrorMotor::kSalidaNoEscribible, e.descripcion());
    }
}

VistaPrevia::VistaPrevia(Maquetador& m, Pintor& pintor, const QString& titulo, const QDate& fecha,
                         int zoom, IInterfaz& interfaz, QWidget* padre)
    : QDialog(padre),
      m_(m),
      interfaz_(interfaz),
      pintor_(pintor),
      titulo_(titulo),
      fecha_(fecha),
      total_(m.numeroPaginas()) {
    setObjectName(QStringLiteral("VistaPrevia"));
    setWindowTitle(titulo);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* capa = new QVBoxLayout(this);
    auto* barra = new QHBoxLayout;
    auto boton = [&](const QString& texto, const QString& nombre, auto accion) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(nombre);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, accion);
        barra->addWidget(b);
        return b;
    };
    boton(QStringLiteral("« Primera"), QStringLiteral("cmdPrimera"), [this] { irA(1); });
    boton(QStringLiteral("‹ Anterior"), QStringLiteral("cmdAnterior"),
          [this] { irA(actual_ - 1); });
    rotulo_ = new QLabel(this);
    rotulo_->setObjectName(QStringLiteral("lblPagina"));
    rotulo_->setMinimumWidth(120);
    rotulo_->setAlignment(Qt::AlignCenter);
    barra->addWidget(rotulo_);
    boton(QStringLiteral("Siguiente ›"), QStringLiteral("cmdSiguiente"),
          [this] { irA(actual_ + 1); });
    boton(QStringLiteral("Última »"), QStringLiteral("cmdUltima"), [this] { irA(total_); });
    barra->addSpacing(20);
    barra->addWidget(new QLabel(QStringLiteral("Zoom:"), this));
    zoom_ = new QSpinBox(this);
    zoom_->setObjectName(QStringLiteral("spnZoom"));
    zoom_->setRange(25, 400);
    zoom_->setSingleStep(25);
    zoom_->setSuffix(QStringLiteral(" %"));
    zoom_->setValue(std::clamp(zoom, 25, 400));
    connect(zoom_, &QSpinBox::valueChanged, this, [this] { mostrarPagina(); });
    barra->addWidget(zoom_);
    barra->addStretch();
    boton(QStringLiteral("Imprimir"), QStringLiteral("cmdImprimir"), [this] { imprimir(); });
    boton(QStringLiteral("Guardar..."), QStringLiteral("cmdGuardar"), [this] { guardar(); });
    boton(QStringLiteral("Cerrar"), QStringLiteral("cmdCerrar"), [this] { accept(); });
    capa->addLayout(barra);
    auto* desplazable = new QScrollArea(this);
    desplazable->setAlignment(Qt::AlignHCenter);
    desplazable->setBackgroundRole(QPalette::Dark);
    hoja_ = new QLabel;
    hoja_->setObjectName(QStringLiteral("lblHoja"));
    hoja_->installEventFilter(this);
    desplazable->setWidget(hoja_);
    capa->addWidget(desplazable);
    resize(900, 800);
    mostrarPagina();
}

int VistaPrevia::zoom() const {
    return zoom_->value();
}

void VistaPrevia::irA(int pagina) {
    pagina = std::clamp(pagina, 1, total_);
    if (pagina == actual_) return;
    actual_ = pagina;
    mostrarPagina();
}

QImage imagenDePagina(Maquetador& m, Pintor& pintor, int pagina, int zoom) {
    const Geometria& g = m.geometria();
    const double pxPorMm = zoom / 100.0 * 96.0 / 25.4;
    QImage img(int(g.ancho * pxPorMm), int(g.alto * pxPorMm), QImage::Format_RGB32);
    img.setDotsPerMeterX(int(pxPorMm * 1000));
    img.setDotsPerMeterY(int(pxPorMm * 1000));
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    pintor.pintar(p, m.pagina(pagina), m.numeroPaginas(), pxPorMm);
    return img;
}

QImage VistaPrevia::imagen() const {
    return imagenDePagina(m_, pintor_, actual_, zoom_->value());
}

void VistaPrevia::mostrarPagina() {
    rotulo_->setText(QStringLiteral("Página %1 de %2").arg(actual_).arg(total_));
    const QImage img = imagen();
    hoja_->setPixmap(QPixmap::fromImage(img));
    hoja_->resize(img.size());
}

void VistaPrevia::imprimir() {
    try {
        imprimirEnPredeterminada(m_, pintor_, titulo_);
    } catch (const std::exception& e) {
        avisar(descripcionError(e));
    }
}

void VistaPrevia::setDesglose(std::function<void(qint64)> desglose) {
    desglose_ = std::move(desglose);
    hoja_->setToolTip(desglose_ ? QStringLiteral("Doble clic en una línea para ver sus apuntes")
                                : QString());
}

qint64 VistaPrevia::filaEn(const QPoint& punto) const {
    const double pxPorMm = zoom_->value() / 100.0 * 96.0 / 25.4;
    const double y = punto.y() / pxPorMm;
    const Geometria& g = m_.geometria();
    double arriba = g.margenSuperior + g.altoCabecera;
    for (const LineaPagina& l : m_.pagina(actual_).lineas) {
        if (y >= arriba && y < arriba + l.alto)
            return l.tipo == LineaPagina::Tipo::Detalle ? l.fila : 0;
        arriba += l.alto;
    }
    return 0;
}

bool VistaPrevia::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == hoja_ && evento->type() == QEvent::MouseButtonDblClick && desglose_) {
        const qint64 fila = filaEn(static_cast<QMouseEvent*>(evento)->position().toPoint());
        if (fila > 0) {
            try {
                desglose_(fila);
            } catch (const std::exception& e) {
                avisar(descripcionError(e));
            }
        }
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void VistaPrevia::avisar(const QString& texto) {
    interfaz_.Beep();
    interfaz_.MsgBox(texto, Icono::Exclamacion, titulo_);
}

void VistaPrevia::guardar() {
    QString tipo;
    const QString archivo = conExtensionDelTipo(
        interfaz_.archivoGuardar(this, QStringLiteral("Guardar informe"), filtroSalidas(), &tipo),
        tipo);
    if (archivo.isEmpty()) return;
    try {
        escribirArchivo(m_, pintor_, titulo_, fecha_, archivo);
    } catch (const std::exception& e) {
        avisar(descripcionError(e));
    }
}

}  // namespace orvo
