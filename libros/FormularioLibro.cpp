#include "FormularioLibro.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "Regional.h"

namespace orvo {

QGroupBox* FormularioLibro::periodo(const QString& raiz, const QString& formato,
                                    ControlesComunes& c) {
    auto* marco = new QGroupBox(QStringLiteral("PERIODO"), this);
    auto* rejilla = new QGridLayout(marco);
    const QString rotulos[2] = {QStringLiteral("DESDE:"), QStringLiteral("HASTA:")};
    for (int i = 0; i < 2; ++i) {
        auto* selector = new SelectorFecha(marco);
        selector->setObjectName(nombreControl(QStringLiteral("dtp") + raiz, i));
        selector->setDisplayFormat(formato);
        selector->setMinimumWidth(
            selector->fontMetrics().horizontalAdvance(QStringLiteral("30 septiembre  2000")) + 40);
        auto* rotulo = new QLabel(rotulos[i], marco);
        rotulo->setBuddy(selector);
        rejilla->addWidget(rotulo, 0, 2 * i);
        rejilla->addWidget(selector, 0, 2 * i + 1);
        c.fechas[i] = selector;
    }
    return marco;
}

QGroupBox* FormularioLibro::subcuentas(const QString& raiz, ControlesComunes& c) {
    auto* marco = new QGroupBox(QStringLiteral("SUBCUENTAS"), this);
    marco->setObjectName(QStringLiteral("fraSubcuentas"));
    auto* rejilla = new QGridLayout(marco);
    const QString rotulos[2] = {QStringLiteral("SUBCUENTA INICIAL:"),
                                QStringLiteral("SUBCUENTA FINAL:")};
    for (int i = 0; i < 2; ++i) {
        auto* caja = cajaSubcuenta(raiz, i, marco);
        caja->setMinimumWidth(
            caja->fontMetrics().horizontalAdvance(QStringLiteral("000000000000")));
        auto* rotulo = new QLabel(rotulos[i], marco);
        rotulo->setBuddy(caja);
        rejilla->addWidget(rotulo, 0, 2 * i);
        rejilla->addWidget(caja, 0, 2 * i + 1);
        c.subcuentas[i] = caja;
    }
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
