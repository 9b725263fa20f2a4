// orvo-informes: lanza los informes del componente desde la línea de órdenes.
#include <QApplication>
#include <QTextStream>
#include <cstdio>

#include "Ejecutor.h"

int main(int argc, char** argv) {
    // Nunca espera a una persona: todo se compone fuera de pantalla.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvo-informes"));
    QTextStream salida(stdout);
    QTextStream err(stderr);
    orvo::Ejecutor ejecutor;
    const int codigo = ejecutor.ejecutar(app.arguments().mid(1), salida, err);
    salida.flush();
    err.flush();
    return codigo;
}
