#pragma once

#include <QDateEdit>

namespace orvo {

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
