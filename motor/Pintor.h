#pragma once

#include <QColor>
#include <QDate>
#include <QRectF>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

#include "Maquetador.h"

class QPainter;
class QPaintDevice;

namespace orvo {

// Donde pinta el Pintor, en milímetros desde la esquina superior izquierda de la página: un
// QPainter (pantalla, impresora) o el PDF propio (DocumentoPdf).
class Lienzo {
  public:
    struct Letra {
        double puntos = 8;
        bool negrita = false;
        bool cursiva = false;
    };
    virtual ~Lienzo() = default;
    // Por debajo del 97 % de 'holgura' el ancho puede ser una estimación, para no componer el
    // texto solo para saber que cabe.
    virtual double ancho(const Letra& l, const QString& texto, double holgura) = 0;
    // El texto acortado con "…" hasta caber en 'ancho'.
    virtual QString acortar(const Letra& l, const QString& texto, double ancho) = 0;
    // Una línea de texto centrada en alto en 'r' y alineada según 'a' (aunque no quepa).
    virtual void texto(const Letra& l, const QRectF& r, Alineacion a, const QString& texto) = 0;
    virtual void linea(const QPointF& a, const QPointF& b, double grosor, const QColor& color) = 0;
    virtual void rellenar(const QRectF& r, const QColor& color) = 0;
};

// Lienzo sobre un QPainter que ya pinta en un dispositivo de 'pxPorMm' píxeles por milímetro.
class LienzoQt : public Lienzo {
  public:
    LienzoQt(QPainter& p, double pxPorMm);
    ~LienzoQt() override;
    double ancho(const Letra& l, const QString& texto, double holgura) override;
    QString acortar(const Letra& l, const QString& texto, double ancho) override;
    void texto(const Letra& l, const QRectF& r, Alineacion a, const QString& texto) override;
    void linea(const QPointF& a, const QPointF& b, double grosor, const QColor& color) override;
    void rellenar(const QRectF& r, const QColor& color) override;
    // Sirve a otro QPainter sobre el mismo dispositivo, con la misma escala, sin medir de nuevo.
    bool sirve(const QPainter& p, double pxPorMm) const;
    void usar(QPainter& p) { p_ = &p; }

  private:
    struct Fuente;
    Fuente& fuente(const Letra& l);
    QRectF px(const QRectF& mm) const;

    QPainter* p_;
    QPaintDevice* dispositivo_;
    double px_;
    std::map<std::tuple<int, bool, bool>, std::unique_ptr<Fuente>> fuentes_;  // por centésimas
};

// Dibuja una página del modelo: la misma rutina sirve a la vista previa, la impresora y el
// PDF. Las medidas de la plantilla van en milímetros; el dispositivo da los píxeles por mm.
class Pintor {
  public:
    Pintor(Maquetador& maquetador, const QString& titulo, const QDate& fechaImpresion);
    ~Pintor();
    void pintar(QPainter& p, const Pagina& pagina, int totalPaginas, double pxPorMm);
    // Con 'totalPaginas' 0 falta «Página n de total», que pinta después paginacion(): así la
    // página se escribe sin haber contado antes todas.
    void pintar(Lienzo& l, const Pagina& pagina, int totalPaginas);
    void paginacion(Lienzo& l, int numero, int totalPaginas);

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
    static void tacharBlanco(Lienzo& l, double x0, double ancho, double desde, double hasta);
    // Escribe el texto en la celda: los textos largos se acortan con "…"; los importes y los
    // títulos de columna ('reducir') nunca se cortan, se reduce su letra si no caben.
    static void celda(Lienzo& lz, const Lienzo::Letra& l, const QRectF& r, const QString& texto,
                      Alineacion a, bool reducir);

    static QString familia();

  private:
    using Letra = Lienzo::Letra;
    void cabecera(Lienzo& lz, int numero, int total);
    void linea(Lienzo& lz, const LineaPagina& l, double y);

    Maquetador& m_;
    QString titulo_;
    QString fecha_;
    QString empresa_, periodo_, moneda_;
    std::optional<Foliacion> foliacion_;
    // El de la última llamada con un QPainter: guarda las letras medidas entre páginas.
    std::unique_ptr<LienzoQt> qt_;
};

}  // namespace orvo
