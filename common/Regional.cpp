#include "Regional.h"

#include <array>

namespace orvo {

namespace {
const std::array<const char16_t*, 12> kMeses = {
    u"enero", u"febrero", u"marzo",      u"abril",   u"mayo",      u"junio",
    u"julio", u"agosto",  u"septiembre", u"octubre", u"noviembre", u"diciembre"};
const std::array<const char16_t*, 12> kAbreviaturas = {
    u"ene", u"feb", u"mar", u"abr", u"may", u"jun", u"jul", u"ago", u"sep", u"oct", u"nov", u"dic"};
}  // namespace

QString Regional::nombreMes(int mes) {
    return mes >= 1 && mes <= 12 ? QString::fromUtf16(kMeses[mes - 1]) : QString();
}

QString Regional::abreviaturaMes(int mes) {
    return mes >= 1 && mes <= 12 ? QString::fromUtf16(kAbreviaturas[mes - 1]) : QString();
}

QString Regional::fechaCorta(const QDate& fecha) {
    return fecha.toString(QStringLiteral("dd/MM/yyyy"));
}

QString Regional::mesBarraAno(const QDate& fecha) {
    return nombreMes(fecha.month()) + u'/' + QString::number(fecha.year());
}

QString Regional::entero(qint64 n) {
    QString cifras = QString::number(n < 0 ? -n : n);
    for (qsizetype i = cifras.size() - 3; i > 0; i -= 3) cifras.insert(i, u'.');
    return n < 0 ? u'-' + cifras : cifras;
}

QString Regional::cantidad(qint64 n, const QString& singular, const QString& plural) {
    return entero(n) + u' ' + (n == 1 ? singular : plural);
}

}  // namespace orvo
