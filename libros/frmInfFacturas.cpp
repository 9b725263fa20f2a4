#include "frmInfFacturas.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include "LibroRegistro.h"
#include "cCOrigen.h"
#include "frmImprimir.h"

namespace orvo {

frmInfFacturas::frmInfFacturas(Componente& componente, QWidget* padre)
    : FormularioInforme(componente, QStringLiteral("frmInfFacturas"), QStringLiteral("Facturas"),
                        padre) {
    setWindowTitle(QStringLiteral("Libro de IVA (facturas ..."));
    enColumna({filaEmpresa(), periodo(QStringLiteral("dd MMMM  yyyy")), numeracion(), euros()},
              QStringLiteral("abpProgreso"));
    comunes().nombreBotones = QStringLiteral("cmdFacturas_Click");
}

QGroupBox* frmInfFacturas::numeracion() {
    auto* fraNumeracion = new QGroupBox(QStringLiteral("NUMERACIÓN"), this);
    auto* filaNumeracion = new QHBoxLayout(fraNumeracion);
    const QString textos[2] = {QStringLiteral("Existente"), QStringLiteral("Automática")};
    for (int i = 0; i < 2; ++i) {
        optFacturas_[i] = new QRadioButton(textos[i], fraNumeracion);
        optFacturas_[i]->setObjectName(nombreControl(QStringLiteral("optFacturas"), i));
        filaNumeracion->addWidget(optFacturas_[i]);
        connect(optFacturas_[i], &QRadioButton::toggled, this, [this](bool marcado) {
            if (marcado) optFacturasClick();
        });
    }
    lblFacturas_ = new QLabel(QStringLiteral("Primer nº:"), fraNumeracion);
    lblFacturas_->setObjectName(QStringLiteral("lblFacturas0"));
    txtFacturas_ = new QLineEdit(QStringLiteral("1"), fraNumeracion);
    txtFacturas_->setObjectName(QStringLiteral("txtFacturas"));
    txtFacturas_->setMaximumWidth(txtFacturas_->fontMetrics().horizontalAdvance(u'0') * 12);
    txtFacturas_->installEventFilter(this);
    lblFacturas_->setBuddy(txtFacturas_);
    filaNumeracion->addSpacing(12);
    filaNumeracion->addWidget(lblFacturas_);
    filaNumeracion->addWidget(txtFacturas_);
    filaNumeracion->addStretch();
    return fraNumeracion;
}

bool frmInfFacturas::emitidas() const {
    return origen() == cCOrigen::FACTURAEMITIDA;
}

void frmInfFacturas::cargarPropio() {
    if (origen() == cCOrigen::FACTURAEMITIDA)
        setWindowTitle(mensajes().tituloIvaEmitidas());
    else if (origen() == cCOrigen::FACTURARECIBIDA)
        setWindowTitle(mensajes().tituloIvaRecibidas());
    optFacturas_[0]->setChecked(true);
    optFacturasClick();
}

void frmInfFacturas::optFacturasClick() {
    const bool automatica = optFacturas_[1]->isChecked();
    txtFacturas_->setEnabled(automatica);
    lblFacturas_->setEnabled(automatica);
    // Fondo de ventana para la caja que se puede escribir, color de botón para la que no.
    const QPalette::ColorRole fondo = automatica ? QPalette::Base : QPalette::Button;
    QPalette paleta = txtFacturas_->palette();
    paleta.setColor(QPalette::Base, palette().color(fondo));
    txtFacturas_->setPalette(paleta);
}

bool frmInfFacturas::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto != txtFacturas_) return FormularioInforme::eventFilter(objeto, evento);
    if (evento->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, txtFacturas_, [this] {
            if (txtFacturas_->hasFocus()) general().SelText(txtFacturas_);
        });
    } else if (evento->type() == QEvent::FocusOut) {
        if (txtFacturas_->text().trimmed().isEmpty()) txtFacturas_->setText(QStringLiteral("1"));
    } else if (evento->type() == QEvent::KeyPress) {
        // Solo cifras y retroceso; las teclas sin carácter (flechas, supr) pasan.
        const QString t = static_cast<QKeyEvent*>(evento)->text();
        if (!t.isEmpty() && t.at(0).unicode() >= 32 && t.at(0).unicode() != 127 &&
            !t.at(0).isDigit()) {
            componente().interfaz.Beep();
            return true;
        }
    }
    return FormularioInforme::eventFilter(objeto, evento);
}

OpcionesLibrosIVA frmInfFacturas::opciones() const {
    auto o = opcionesComunes<OpcionesLibrosIVA>();
    o.emitidas = emitidas();
    o.numeracionAutomatica = optFacturas_[1]->isChecked();
    o.primerNumero = txtFacturas_->text().trimmed();
    if (o.primerNumero.isEmpty()) o.primerNumero = QStringLiteral("1");
    return o;
}

bool frmInfFacturas::RellenarInforme() {
    return construirEnTransaccion(QStringLiteral("Libros_IVA"), QStringLiteral("NumFactura"),
                                  construirLibrosIVA, opciones(), QStringLiteral("RellenarInforme"),
                                  QStringLiteral("OrvoContabilidaInf"));
}

void frmInfFacturas::prepararImpresion(frmImprimir& imprimir) {
    // Las opciones de este libro, no las que tenga el diálogo cuando ya se ha cerrado.
    imprimir.setSalidaPropia(
        {QStringLiteral("Libro registro para la Agencia Tributaria"),
         {QStringLiteral("CSV de este libro (separado por punto y coma)"),
          QStringLiteral("XLSX con los dos libros de cada año (también para el Pre303)")},
         [con = &contabilidad(), o = opciones()](const QString& carpeta, int formato) {
             return exportarLibroRegistro(
                        *con, o, formato == 0 ? FormatoRegistro::Csv : FormatoRegistro::Xlsx,
                        carpeta)
                 .texto();
         }});
}

QString frmInfFacturas::nombrePlantilla() const {
    return emitidas() ? QStringLiteral("infCONT_FacturasEmitidas.rpt")
                      : QStringLiteral("infCONT_FacturasRecibidas.rpt");
}

QString frmInfFacturas::tituloInforme() const {
    return emitidas() ? QStringLiteral("Informe del libro de facturas emitidas")
                      : QStringLiteral("Informe del libro de facturas recibidas");
}

std::optional<Desglose> frmInfFacturas::desglosar(const QHash<QString, QString>& fila) {
    const QString asiento = fila.value(QStringLiteral("NumAsiento"));
    if (asiento.isEmpty()) return std::nullopt;
    const OpcionesLibrosIVA o = opciones();
    return diarioDeAsiento(asiento, o.desde, o.hasta, o.divisa);
}

}  // namespace orvo
