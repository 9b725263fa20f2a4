#include "BarraProgreso.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace orvo {

BarraProgreso::BarraProgreso(QWidget* padre)
    : QWidget(padre), rotulo_(new QLabel(this)), barra_(new QProgressBar(this)) {
    auto* capa = new QHBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    capa->addWidget(rotulo_);
    capa->addWidget(barra_, 1);
    // La barra trabaja en milésimas: QProgressBar es de 32 bits y un informe puede tener más filas.
    barra_->setRange(0, 1000);
    barra_->setTextVisible(true);
    setVisible(false);
}

void BarraProgreso::Iniciar(qint64 maximo, const QString& rotulo, int /*estilo*/) {
    maximo_ = std::max<qint64>(maximo, 0);
    valor_ = 0;
    ultimoPorMil_ = -1;
    rotulo_->setText(rotulo);
    setVisible(true);
    mostrarValor();
}

void BarraProgreso::setValor(qint64 valor) {
    valor_ = valor;
    mostrarValor();
}

void BarraProgreso::Terminar() {
    valor_ = maximo_;
    mostrarValor();
    setVisible(false);
}

void BarraProgreso::mostrarValor() {
    const int porMil =
        maximo_ > 0 ? static_cast<int>(std::min<qint64>(valor_, maximo_) * 1000 / maximo_) : 0;
    if (porMil == ultimoPorMil_) return;  // repintar solo cuando cambia lo que se ve
    ultimoPorMil_ = porMil;
    barra_->setValue(porMil);
    if (isVisible()) QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace orvo
