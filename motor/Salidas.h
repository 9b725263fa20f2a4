#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <functional>

#include "Interfaces.h"
#include "Maquetador.h"
#include "Pintor.h"

class QLabel;
class QPagedPaintDevice;
class QSpinBox;

namespace orvo {

// Pinta todas las páginas en una impresora o un PDF, en orden y leyendo la tabla una vez.
void imprimirEn(QPagedPaintDevice& dispositivo, Maquetador& m, Pintor& pintor);
void escribirPdf(Maquetador& m, Pintor& pintor, const QString& titulo, const QString& archivo);
// Impresora predeterminada del sistema; lanza FalloMotor si no hay ninguna.
void imprimirEnPredeterminada(Maquetador& m, Pintor& pintor, const QString& titulo);
// Archivo según su extensión (.pdf, .csv, .html/.htm, .xlsx), entero o nada: si falla, lo que
// hubiera con ese nombre queda como estaba. Cualquier fallo, también el de un escritor
// (FalloEscritura), sale como FalloMotor.
void escribirArchivo(Maquetador& m, Pintor& pintor, const QString& titulo, const QDate& fecha,
                     const QString& archivo);

// Imagen de una página a un zoom dado (100 = tamaño real en una pantalla de 96 ppp).
QImage imagenDePagina(Maquetador& m, Pintor& pintor, int pagina, int zoom);

// Ventana de vista previa: navegación por páginas, zoom, imprimir y guardar. El cuadro de
// guardar y los fallos al imprimir o guardar pasan por la interfaz del anfitrión.
class VistaPrevia : public QDialog {
    Q_OBJECT
  public:
    VistaPrevia(Maquetador& m, Pintor& pintor, const QString& titulo, const QDate& fecha, int zoom,
                IInterfaz& interfaz, QWidget* padre = nullptr);
    void irA(int pagina);
    int paginaActual() const { return actual_; }
    int zoom() const;
    // Imagen de la página actual al zoom actual (también para capturas y pruebas).
    QImage imagen() const;
    // Qué hace un doble clic en una línea de detalle: recibe el rowid de su fila.
    void setDesglose(std::function<void(qint64 fila)> desglose);
    // Rowid de la fila de la línea de detalle que hay en ese punto de la imagen de la página
    // actual; 0 si no hay ninguna.
    qint64 filaEn(const QPoint& punto) const;

  private:
    void mostrarPagina();
    void imprimir();
    void guardar();
    void avisar(const QString& texto);
    bool eventFilter(QObject* objeto, QEvent* evento) override;

    Maquetador& m_;
    IInterfaz& interfaz_;
    Pintor& pintor_;
    QString titulo_;
    QDate fecha_;
    int actual_ = 1;
    int total_ = 1;
    QLabel* hoja_;
    QLabel* rotulo_;
    QSpinBox* zoom_;
    std::function<void(qint64)> desglose_;
};

}  // namespace orvo
