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

QString Regional::mesYAno(const QDate& fecha) {
    return nombreMes(fecha.month()) + QStringLiteral(" de ") + QString::number(fecha.year());
}

SelectorFecha::SelectorFecha(QWidget* padre) : QDateEdit(padre) {
    setCalendarPopup(true);
    setLocale(QLocale(QLocale::Spanish, QLocale::Spain));
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
}

QString SelectorFecha::textFromDateTime(const QDateTime& dt) const {
    QString formato = displayFormat();
    const QDate d = dt.date();
    // Los nombres de mes se ponen entre comillas para que el formateador los deje tal cual.
    formato.replace(QStringLiteral("MMMM"), u'\'' + Regional::nombreMes(d.month()) + u'\'');
    formato.replace(QStringLiteral("MMM"), u'\'' + Regional::abreviaturaMes(d.month()) + u'\'');
    return d.toString(formato);
}

QDateTime SelectorFecha::dateTimeFromText(const QString& texto) const {
    // Se escribe con el teclado solo en el formato numérico; con nombres de mes, la fecha se
    // elige en el calendario y el texto no se vuelve a leer.
    const QDate d = QDate::fromString(texto, displayFormat());
    return d.isValid() ? QDateTime(d, QTime()) : dateTime();
}

QValidator::State SelectorFecha::validate(QString& texto, int& pos) const {
    if (displayFormat().contains(QStringLiteral("MMM")))
        return texto == textFromDateTime(dateTime()) ? QValidator::Acceptable
                                                     : QValidator::Intermediate;
    return QDateEdit::validate(texto, pos);
}

}  // namespace orvo
