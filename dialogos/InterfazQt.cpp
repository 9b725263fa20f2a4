#include "InterfazQt.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

namespace orvo {

void InterfazQt::Beep() {
    QApplication::beep();
}

void InterfazQt::MsgBox(const QString& texto, Icono icono, const QString& titulo) {
    QMessageBox caja(icono == Icono::Exclamacion ? QMessageBox::Warning : QMessageBox::Information,
                     titulo, texto, QMessageBox::Ok, QApplication::activeWindow());
    // El puntero de espera no debe tapar un mensaje que pide leerlo.
    const bool espera = puntero_ == kRelojDeArena;
    if (espera) QApplication::restoreOverrideCursor();
    caja.exec();
    if (espera) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void InterfazQt::setMousePointer(int puntero) {
    if (puntero == puntero_) return;
    if (puntero_ == kRelojDeArena) QApplication::restoreOverrideCursor();
    if (puntero == kRelojDeArena) QApplication::setOverrideCursor(Qt::WaitCursor);
    puntero_ = puntero;
}

int InterfazQt::mostrarModal(QDialog& dialogo) {
    return dialogo.exec();
}

QString InterfazQt::archivoGuardar(QWidget* padre, const QString& titulo, const QString& filtro,
                                   QString* tipo) {
    return QFileDialog::getSaveFileName(padre, titulo, QString(), filtro, tipo);
}

QString InterfazQt::carpeta(QWidget* padre, const QString& titulo) {
    return QFileDialog::getExistingDirectory(padre, titulo);
}

void InterfazGrabadora::MsgBox(const QString& texto, Icono icono, const QString& titulo) {
    mensajes.push_back({texto, icono, titulo});
    if (alMensaje) alMensaje(mensajes.back());
}

int InterfazGrabadora::mostrarModal(QDialog& dialogo) {
    dialogosMostrados << dialogo.objectName();
    QTimer::singleShot(0, &dialogo, [this, &dialogo] {
        if (guion) guion(dialogo);
        if (dialogo.isVisible()) dialogo.reject();
    });
    return dialogo.exec();
}

QString InterfazGrabadora::archivoGuardar(QWidget*, const QString&, const QString&,
                                          QString* tipo) {
    if (tipo) *tipo = tipoGuardar;
    return respuestasGuardar.isEmpty() ? QString() : respuestasGuardar.takeFirst();
}

QString InterfazGrabadora::carpeta(QWidget* padre, const QString& titulo) {
    return archivoGuardar(padre, titulo, QString());
}

}  // namespace orvo
