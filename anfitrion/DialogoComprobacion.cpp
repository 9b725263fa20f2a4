#include "DialogoComprobacion.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvo {

DialogoComprobacion::DialogoComprobacion(const QStringList& problemas, const QString& resumen,
                                         QWidget* padre)
    : QDialog(padre) {
    setObjectName(QStringLiteral("dlgComprobacion"));
    setWindowTitle(QStringLiteral("Comprobar libros"));
    auto* capa = new QVBoxLayout(this);
    lista_ = new QTableWidget(int(problemas.size()), 2, this);
    lista_->setObjectName(QStringLiteral("lstProblemas"));
    lista_->setHorizontalHeaderLabels({QStringLiteral("Dónde"), QStringLiteral("Problema")});
    lista_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lista_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lista_->setWordWrap(true);
    lista_->verticalHeader()->hide();
    lista_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lista_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (int fila = 0; fila < problemas.size(); ++fila) {
        lista_->setItem(fila, 0, new QTableWidgetItem(lugar(problemas[fila])));
        lista_->setItem(fila, 1, new QTableWidgetItem(problemas[fila]));
    }
    capa->addWidget(lista_, 1);
    auto* lblResumen = new QLabel(resumen, this);
    lblResumen->setObjectName(QStringLiteral("lblResumen"));
    lblResumen->setWordWrap(true);
    capa->addWidget(lblResumen);
    auto* ayuda = new QLabel(
        QStringLiteral("«Reparar libros…» rehace las sumas mensuales de las cuentas y de los "
                       "epígrafes a partir de los apuntes. Los asientos que no cuadran, las "
                       "fechas y las fórmulas se corrigen en la contabilidad."),
        this);
    ayuda->setWordWrap(true);
    capa->addWidget(ayuda);
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Close, this);
    botonReparar_ =
        botones->addButton(QStringLiteral("&Reparar libros…"), QDialogButtonBox::ActionRole);
    botonReparar_->setObjectName(QStringLiteral("cmdReparar"));
    connect(botonReparar_, &QPushButton::clicked, this, [this] {
        repararPedido_ = true;
        accept();
    });
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    capa->addWidget(botones);
    resize(760, 420);
}

QString DialogoComprobacion::lugar(const QString& problema) {
    // Los textos de la comprobación nombran el asiento, la cuenta o el epígrafe siempre igual.
    static const QRegularExpression asiento(QStringLiteral("asiento (\\S+?)[ ,:]"));
    static const QRegularExpression cuenta(QStringLiteral("^Cuenta (\\S+?),"));
    static const QRegularExpression epigrafe(QStringLiteral("[Ee]pígrafe (\\S+?)[ ,]"));
    if (const auto m = cuenta.match(problema); m.hasMatch())
        return QStringLiteral("Cuenta ") + m.captured(1);
    if (const auto m = epigrafe.match(problema); m.hasMatch())
        return QStringLiteral("Epígrafe ") + m.captured(1);
    if (const auto m = asiento.match(problema); m.hasMatch())
        return QStringLiteral("Asiento ") + m.captured(1);
    return QString();
}

}  // namespace orvo
