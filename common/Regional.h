#pragma once

#include <QDate>
#include <QDateEdit>
#include <QString>

namespace orvo {

// Convenciones españolas con tabla propia, para no depender de la configuración regional del
// sistema: nombres y abreviaturas de los meses.
namespace Regional {
QString nombreMes(int mes);       // 1..12 -> "enero"…"diciembre"
QString abreviaturaMes(int mes);  // 1..12 -> "ene"…"dic" ("sep" para septiembre)
// "dd/mm/yyyy"
QString fechaCorta(const QDate& fecha);
// "enero de 2001"
QString mesYAno(const QDate& fecha);
}  // namespace Regional

// Selector de fecha con los meses de la tabla española. El formato admite los códigos de
// QDateEdit; MMMM y MMM se escriben con la tabla propia.
class SelectorFecha : public QDateEdit {
    Q_OBJECT
  public:
    explicit SelectorFecha(QWidget* padre = nullptr);

  protected:
    QString textFromDateTime(const QDateTime& dt) const override;
    QDateTime dateTimeFromText(const QString& texto) const override;
    QValidator::State validate(QString& texto, int& pos) const override;
};

}  // namespace orvo
