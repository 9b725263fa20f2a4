#include "Auxiliares.h"

#include "ErrorOrvo.h"
#include "Moneda.h"
#include "Regional.h"
#include "cGeneral.h"

namespace orvo {

QString textoNivel(int nivel) {
    return QStringLiteral("Desglose nivel ") + QString::number(nivel);
}

int nivelDeTexto(const QString& texto) {
    return texto.right(2).trimmed().toInt();
}

QString condicionNiveles(const std::vector<int>& niveles, Parametros& parametros) {
    if (niveles.empty())
        throw ErrorOrvo(Causa::ArgumentoNoValido,
                        QStringLiteral("No se ha elegido ningún nivel de desglose"));
    QStringList marcas;
    for (int nivel : niveles) {
        marcas << QStringLiteral("?");
        parametros << nivel;
    }
    return QStringLiteral("Nivel IN (") + marcas.join(QStringLiteral(", ")) + u')';
}

QStringList mesesPeriodo(const QDate& desde, const QDate& hasta) {
    QStringList meses;
    const int ultimo = hasta.year() * 12 + hasta.month();
    for (QDate mes = desde; mes.year() * 12 + mes.month() <= ultimo; mes = mes.addMonths(1))
        meses << cGeneral::LlenaIzquierda(QString::number(mes.month()), QStringLiteral("0"), 2);
    return meses;
}

QString mesBarraAno(const QDate& fecha) {
    return Regional::nombreMes(fecha.month()) + u'/' + QString::number(fecha.year());
}

QDate fechaLibros(const QString& texto, const QString& que) {
    const QDate fecha = fechaDeTexto(texto.trimmed());
    if (!fecha.isValid())
        throw ErrorOrvo(Causa::TiposNoCoinciden,
                        QStringLiteral("%1 no es una fecha válida: «%2»").arg(que, texto));
    return fecha;
}

}  // namespace orvo
