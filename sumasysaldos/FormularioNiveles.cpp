#include "FormularioNiveles.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "Auxiliares.h"
#include "DatosEmpresa.h"

namespace orvo {

FormularioNiveles::FormularioNiveles(Componente& componente, const QString& modulo,
                                     const QString& raiz, const TextosNiveles& textos,
                                     QWidget* padre)
    : FormularioInforme(componente, modulo, raiz, padre) {
    pestanas_ = new QTabWidget(this);
    pestanas_->setObjectName(QStringLiteral("mst") + raiz);
    const QStringList titulos{QStringLiteral("GENERAL"), QStringLiteral("DESGLOSE SUBCUENTAS")};
    for (int i = 0; i < 2; ++i) {
        marcos_[i] = new QFrame;
        marcos_[i]->setObjectName(nombreControl(QStringLiteral("fra") + raiz, i));
        pestanas_->addTab(marcos_[i], titulos[i]);
        listas_[i] = new QListWidget;
        listas_[i]->setObjectName(nombreControl(QStringLiteral("lst") + raiz, i));
        listas_[i]->setSelectionMode(QAbstractItemView::ExtendedSelection);
        // Barra horizontal para los elementos más largos que la lista.
        listas_[i]->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        listas_[i]->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    }
    auto* rejilla = new QGridLayout(marcos_[1]);
    rejilla->addWidget(new QLabel(textos.disponibles), 0, 0);
    rejilla->addWidget(new QLabel(textos.seleccionados), 0, 2);
    rejilla->addWidget(listas_[1], 1, 0);
    rejilla->addWidget(listas_[0], 1, 2);
    auto* columnaBotones = new QVBoxLayout;
    columnaBotones->addStretch();
    for (int i = 0; i < 4; ++i) {
        botonesListas_[i] = new QPushButton(textos.botones[i]);
        botonesListas_[i]->setObjectName(
            nombreControl(QStringLiteral("cmd") + raiz + QStringLiteral("Listas"), i));
        botonesListas_[i]->setAutoDefault(false);
        columnaBotones->addWidget(botonesListas_[i]);
        connect(botonesListas_[i], &QPushButton::clicked, this, [this, i] { botonListasClick(i); });
    }
    columnaBotones->addStretch();
    rejilla->addLayout(columnaBotones, 1, 1);

    connect(listas_[0], &QListWidget::itemDoubleClicked, this, [this] { botonListasClick(3); });
    connect(listas_[1], &QListWidget::itemDoubleClicked, this, [this] { botonListasClick(0); });
    connect(pestanas_, &QTabWidget::currentChanged, this, [this](int i) { cambioPestana(i); });
}

void FormularioNiveles::enPestanas(std::initializer_list<Pieza> general) {
    apilar(new QVBoxLayout(marcos_[0]), general)->addStretch();
    enColumna({pestanas_}, QStringLiteral("abpInformes"));
}

QGroupBox* FormularioNiveles::subcuentasNiveles() {
    return subcuentas({QStringLiteral("Subcuenta inicial:"), QStringLiteral("Subcuenta final:")});
}

void FormularioNiveles::cargarPropio() {
    pestanas_->setCurrentIndex(0);
}

void FormularioNiveles::empresaElegidaPropio(long codigo) {
    try {
        llenarNiveles(codigo);
    } catch (const std::exception& e) {
        verError(e, QStringLiteral("fillDesgloses"));
    }
}

void FormularioNiveles::llenarNiveles(long codigo) {
    for (QListWidget* l : listas_) l->clear();
    const auto empresa = DatosEmpresa::leer(contabilidad(), codigo);
    if (!empresa) return;
    // Hay tantos niveles como cifras tiene una subcuenta; de entrada solo se elige el de
    // subcuenta.
    const int niveles = empresa->desgloseSubcuentas;
    for (int i = 1; i <= niveles; ++i)
        insertarEnOrden(*listas_[i == niveles ? 0 : 1], textoNivel(i), i);
}

bool FormularioNiveles::comprobarPrevio() {
    if (listas_[0]->count() > 0) return true;
    avisar(mensajes().faltanDesgloses(), nullptr);
    return false;
}

std::vector<int> FormularioNiveles::nivelesSeleccionados() const {
    std::vector<int> niveles;
    for (int i = 0; i < listas_[0]->count(); ++i)
        niveles.push_back(nivelDeTexto(listas_[0]->item(i)->text()));
    return niveles;
}

void FormularioNiveles::deshabilitarBotonesListas() {
    for (QPushButton* b : botonesListas_) b->setEnabled(false);
}

void FormularioNiveles::insertarEnOrden(QListWidget& lista, const QString& texto, int nivel) {
    int fila = 0;
    while (fila < lista.count() && lista.item(fila)->data(Qt::UserRole).toInt() < nivel) ++fila;
    auto* elemento = new QListWidgetItem(texto);
    elemento->setData(Qt::UserRole, nivel);
    lista.insertItem(fila, elemento);
}

void FormularioNiveles::MoverSeleccionados(QListWidget& origen, QListWidget& destino) {
    int i = 0;
    while (i < origen.count()) {
        QListWidgetItem* e = origen.item(i);
        if (!e->isSelected()) {
            ++i;
            continue;
        }
        insertarEnOrden(destino, e->text(), e->data(Qt::UserRole).toInt());
        delete origen.takeItem(i);
    }
}

bool FormularioNiveles::HayElementoSeleccionado(const QListWidget& lista) {
    for (int i = 0; i < lista.count(); ++i)
        if (lista.item(i)->isSelected()) return true;
    return false;
}

void FormularioNiveles::botonListasClick(int indice) {
    QListWidget& seleccionados = *listas_[0];
    QListWidget& disponibles = *listas_[1];
    // 0 y 3 mueven lo marcado; 1 y 2, todo.
    QListWidget& origen = indice == 0 || indice == 1 ? disponibles : seleccionados;
    QListWidget& destino = &origen == &disponibles ? seleccionados : disponibles;
    if (indice == 1 || indice == 2) {
        origen.selectAll();
    } else if (!HayElementoSeleccionado(origen)) {
        avisar(mensajes().faltaElemento(), nullptr);
        return;
    }
    MoverSeleccionados(origen, destino);
}

void FormularioNiveles::cambioPestana(int indice) {
    if (indice == 1 && comunes().empresa && comunes().empresa->currentText().trimmed().isEmpty()) {
        avisar(mensajes().faltaEmpresa(), nullptr);
        pestanas_->setCurrentIndex(0);
        return;
    }
    for (QFrame* m : marcos_) m->setEnabled(true);
}

bool FormularioNiveles::fijarControlPropio(const QString& nombre, const QString& valor,
                                           QString* error) {
    if (nombre == pestanas_->objectName()) {
        if (valor != u"0" && valor != u"1")
            *error = QStringLiteral("%1 admite 0 o 1: %2").arg(nombre, valor);
        else
            pestanas_->setCurrentIndex(valor.toInt());
        return true;
    }
    const int indice = nombre == listas_[0]->objectName()   ? 0
                       : nombre == listas_[1]->objectName() ? 1
                                                            : -1;
    if (indice < 0) return false;
    // Los niveles pedidos quedan en esta lista y los demás en la otra.
    std::vector<int> pedidos;
    for (const QString& parte : valor.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int nivel = parte.trimmed().toInt(&ok);
        const bool existe =
            ok && (!listas_[0]->findItems(textoNivel(nivel), Qt::MatchExactly).isEmpty() ||
                   !listas_[1]->findItems(textoNivel(nivel), Qt::MatchExactly).isEmpty());
        if (!existe) {
            *error =
                QStringLiteral("%1: la empresa no tiene el nivel %2").arg(nombre, parte.trimmed());
            return true;
        }
        pedidos.push_back(nivel);
    }
    QListWidget& esta = *listas_[indice];
    QListWidget& otra = *listas_[1 - indice];
    esta.selectAll();
    MoverSeleccionados(esta, otra);
    otra.clearSelection();
    for (int i = 0; i < otra.count(); ++i)
        otra.item(i)->setSelected(
            std::find(pedidos.begin(), pedidos.end(), otra.item(i)->data(Qt::UserRole).toInt()) !=
            pedidos.end());
    MoverSeleccionados(otra, esta);
    return true;
}

}  // namespace orvo
