#pragma once

#include <QDate>
#include <QFont>
#include <QString>

#include "Maquetador.h"

class QPainter;

namespace orvo {

// Dibuja una página del modelo: la misma rutina sirve a la vista previa, la impresora y el
// PDF. Las medidas de la plantilla van en milímetros; el dispositivo da los píxeles por mm.
class Pintor {
  public:
    Pintor(Maquetador& maquetador, const QString& titulo, const QDate& fechaImpresion);
    void pintar(QPainter& p, const Pagina& pagina, int totalPaginas, double pxPorMm);

    static QString familia();

  private:
    QFont fuente(double puntos, bool negrita = false, bool cursiva = false) const;
    void cabecera(QPainter& p, int numero, int total) const;
    void linea(QPainter& p, const LineaPagina& l, double y) const;
    // Escribe el texto en la celda: los textos largos se acortan con "…"; los importes
    // nunca se cortan, se reduce su letra si no caben.
    void celda(QPainter& p, const QRectF& r, const QString& texto, Alineacion a,
               bool esNumero) const;
    QRectF mm(double x, double y, double ancho, double alto) const;

    Maquetador& m_;
    QString titulo_;
    QString fecha_;
    QString empresa_, periodo_, moneda_;
    double px_ = 1;
};

}  // namespace orvo
