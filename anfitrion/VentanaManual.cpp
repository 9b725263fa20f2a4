#include "VentanaManual.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace orvo {

VentanaManual::VentanaManual(const QString& indice, QWidget* padre) : QWidget(padre, Qt::Window) {
    setObjectName(QStringLiteral("VentanaManual"));
    setWindowTitle(QStringLiteral("Manual de Orvo Contabilidad"));
    auto* capa = new QVBoxLayout(this);
    auto* barra = new QHBoxLayout;
    auto* inicio = new QPushButton(QStringLiteral("Í&ndice"), this);
    auto* atras = new QPushButton(QStringLiteral("◀ A&trás"), this);
    auto* adelante = new QPushButton(QStringLiteral("A&delante ▶"), this);
    barra->addWidget(inicio);
    barra->addWidget(atras);
    barra->addWidget(adelante);
    barra->addStretch();
    capa->addLayout(barra);
    visor_ = new QTextBrowser(this);
    visor_->setObjectName(QStringLiteral("txtManual"));
    // Los enlaces de fuera del manual (la web de la Agencia Tributaria) los abre el sistema.
    visor_->setOpenExternalLinks(true);
    capa->addWidget(visor_, 1);
    connect(inicio, &QPushButton::clicked, visor_, &QTextBrowser::home);
    connect(atras, &QPushButton::clicked, visor_, &QTextBrowser::backward);
    connect(adelante, &QPushButton::clicked, visor_, &QTextBrowser::forward);
    connect(visor_, &QTextBrowser::backwardAvailable, atras, &QPushButton::setEnabled);
    connect(visor_, &QTextBrowser::forwardAvailable, adelante, &QPushButton::setEnabled);
    atras->setEnabled(false);
    adelante->setEnabled(false);
    visor_->setSource(QUrl::fromLocalFile(indice));
    resize(900, 700);
}

}  // namespace orvo
