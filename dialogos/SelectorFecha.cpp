#include "SelectorFecha.h"

#include "Regional.h"

namespace orvo {

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
