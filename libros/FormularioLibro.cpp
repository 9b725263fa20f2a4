#include "FormularioLibro.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "SelectorFecha.h"

namespace orvo {

namespace {

// Los dos controles de un marco (desde/hasta, inicial/final), cada uno tras su rótulo, en una
// fila de su rejilla.
template <class Crear>
void dosConRotulo(QGroupBox* marco, const QString (&rotulos)[2], Crear crear) {
    auto* rejilla = new QGridLayout(marco);
    for (int i = 0; i < 2; ++i) {
        QWidget* control = crear(i);
        auto* rotulo = new QLabel(rotulos[i], marco);
        rotulo->setBuddy(control);
        rejilla->addWidget(rotulo, 0, 2 * i);
        rejilla->addWidget(control, 0, 2 * i + 1);
    }
}

}  // namespace

QGroupBox* FormularioLibro::periodo(const QString& raiz, const QString& formato,
                                    ControlesComunes& c) {
    auto* marco = new QGroupBox(QStringLiteral("PERIODO"), this);
    const QString rotulos[2] = {QStringLiteral("DESDE:"), QStringLiteral("HASTA:")};
    dosConRotulo(marco, rotulos, [&](int i) {
        auto* selector = new SelectorFecha(marco);
        selector->setObjectName(nombreControl(QStringLiteral("dtp") + raiz, i));
        selector->setDisplayFormat(formato);
        selector->setMinimumWidth(
            selector->fontMetrics().horizontalAdvance(QStringLiteral("30 septiembre  2000")) + 40);
        c.fechas[i] = selector;
        return selector;
    });
    return marco;
}

QGroupBox* FormularioLibro::subcuentas(const QString& raiz, ControlesComunes& c) {
    auto* marco = new QGroupBox(QStringLiteral("SUBCUENTAS"), this);
    marco->setObjectName(QStringLiteral("fraSubcuentas"));
    const QString rotulos[2] = {QStringLiteral("SUBCUENTA INICIAL:"),
                                QStringLiteral("SUBCUENTA FINAL:")};
    dosConRotulo(marco, rotulos, [&](int i) {
        auto* caja = cajaSubcuenta(raiz, i, marco);
        caja->setMinimumWidth(
            caja->fontMetrics().horizontalAdvance(QStringLiteral("000000000000")));
        c.subcuentas[i] = caja;
        return caja;
    });
    return marco;
}

QBoxLayout* FormularioLibro::euros(const QString& raiz, ControlesComunes& c) {
    c.euros = new QCheckBox(QStringLiteral("Importes en euros"), this);
    c.euros->setObjectName(QStringLiteral("chk") + raiz);
    auto* simbolo = new QLabel(QStringLiteral("€"), this);
    simbolo->setObjectName(QStringLiteral("lblEuro"));
    auto* fila = new QHBoxLayout;
    fila->addWidget(c.euros);
    fila->addWidget(simbolo);
    fila->addStretch();
    return fila;
}

}  // namespace orvo
