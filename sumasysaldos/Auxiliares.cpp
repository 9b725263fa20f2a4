#include "Auxiliares.h"

#include "ErrorOrvo.h"
#include "FechaLibros.h"

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

QDate fechaLibros(const QString& texto, const QString& que) {
    const QDate fecha = FechaLibros::deTexto(texto).fecha();
    if (!fecha.isValid())
        throw ErrorOrvo(Causa::TiposNoCoinciden,
                        QStringLiteral("%1 no es una fecha válida: «%2»").arg(que, texto));
    return fecha;
}

}  // namespace orvo
