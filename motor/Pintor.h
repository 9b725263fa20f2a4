#pragma once

#include <QDate>
#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

#include "Maquetador.h"

class QPainter;

namespace orvo {

// Dibuja una página del modelo: la misma rutina sirve a la vista previa, la impresora y el
// PDF. Las medidas de la plantilla van en milímetros; el dispositivo da los píxeles por mm.
class Pintor {
  public:
    Pintor(Maquetador& maquetador, const QString& titulo, const QDate& fechaImpresion);
    void pintar(QPainter& p, const Pagina& pagina, int totalPaginas, double pxPorMm);

    // Un libro para legalizar hecho de varios informes: la cabecera lleva 'cabecera' (empresa,
    // NIF, libro y ejercicio) en lugar de la empresa de la plantilla, el pie «Folio n de total»
    // con n contado desde 'primero', y el blanco que queda al pie de cada página se tacha.
    struct Foliacion {
        QString cabecera;
        int primero = 1;
        int total = 0;
    };
    void foliar(const Foliacion& f) { foliacion_ = f; }
    // Tacha el blanco de una página entre 'desde' y 'hasta' (mm desde arriba), de margen a
    // margen: una raya arriba, la diagonal y otra abajo.
    static void tacharBlanco(QPainter& p, double x0, double ancho, double desde, double hasta,
                             double pxPorMm);

    static QString familia();

  private:
    // Letra ya ajustada al dispositivo, con sus métricas y el avance de los caracteres
    // Latin-1: así casi ninguna celda necesita medirse con la composición completa.
    struct Letra {
        QFont fuente;
        std::unique_ptr<QFontMetricsF> metricas;
        std::array<float, 256> avances{};
    };
    Letra& letra(double puntos, bool negrita = false, bool cursiva = false);
    void cabecera(QPainter& p, int numero, int total);
    void linea(QPainter& p, const LineaPagina& l, double y);
    // Escribe el texto en la celda: los textos largos se acortan con "…"; los importes y los
    // títulos de columna ('reducir') nunca se cortan, se reduce su letra si no caben.
    void celda(QPainter& p, Letra& l, const QRectF& r, const QString& texto, Alineacion a,
               bool reducir);
    QRectF mm(double x, double y, double ancho, double alto) const;

    Maquetador& m_;
    QString titulo_;
    QString fecha_;
    QString empresa_, periodo_, moneda_;
    double px_ = 1;
    QPaintDevice* dispositivo_ = nullptr;
    std::optional<Foliacion> foliacion_;
    std::map<std::tuple<int, bool, bool>, Letra> letras_;  // por décimas de punto y estilo
};

}  // namespace orvo
