#include "Pintor.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <array>

namespace orvo {

namespace {

Qt::Alignment alineacionQt(Alineacion a) {
    switch (a) {
        case Alineacion::Izquierda:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case Alineacion::Centro:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case Alineacion::Derecha:
            return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}
}  // namespace

QString Pintor::familia() {
    return QStringLiteral("DejaVu Sans");
}

// Letra ya ajustada al dispositivo; sus métricas y el avance de los caracteres Latin-1 se
// toman la primera vez que se mide con ella: así casi ninguna celda necesita medirse con la
// composición completa.
struct LienzoQt::Fuente {
    QFont fuente;
    std::unique_ptr<QFontMetricsF> metricas;
    std::array<float, 256> avances{};
};

LienzoQt::LienzoQt(QPainter& p, double pxPorMm) : p_(&p), dispositivo_(p.device()), px_(pxPorMm) {}
LienzoQt::~LienzoQt() = default;

bool LienzoQt::sirve(const QPainter& p, double pxPorMm) const {
    return p.device() == dispositivo_ && pxPorMm == px_;
}

LienzoQt::Fuente& LienzoQt::fuente(const Letra& l) {
    const auto clave = std::make_tuple(qRound(l.puntos * 100), l.negrita, l.cursiva);
    std::unique_ptr<Fuente>& f = fuentes_[clave];
    if (f) return *f;
    QFont q(Pintor::familia());
    q.setStretch(QFont::SemiCondensed);
    q.setPointSizeF(l.puntos);
    q.setBold(l.negrita);
    q.setItalic(l.cursiva);
    f = std::make_unique<Fuente>();
    f->fuente = QFont(q, dispositivo_);
    return *f;
}

QRectF LienzoQt::px(const QRectF& mm) const {
    return QRectF(mm.x() * px_, mm.y() * px_, mm.width() * px_, mm.height() * px_);
}

double LienzoQt::ancho(const Letra& l, const QString& texto, double holgura) {
    Fuente& f = fuente(l);
    if (!f.metricas) {
        f.metricas = std::make_unique<QFontMetricsF>(f.fuente, dispositivo_);
        for (int c = 0; c < 256; ++c) f.avances[c] = float(f.metricas->horizontalAdvance(QChar(c)));
    }
    // Suma de avances sin composición: basta para saber que cabe casi siempre; cerca del
    // borde, o fuera de Latin-1, se mide el texto compuesto.
    double estimado = 0;
    for (QChar c : texto) {
        if (c.unicode() > 255) return f.metricas->horizontalAdvance(texto) / px_;
        estimado += f.avances[c.unicode()];
    }
    estimado /= px_;
    return estimado <= holgura * 0.97 ? estimado : f.metricas->horizontalAdvance(texto) / px_;
}

QString LienzoQt::acortar(const Letra& l, const QString& texto, double ancho) {
    Fuente& f = fuente(l);
    if (!f.metricas) this->ancho(l, QString(), 0);
    return f.metricas->elidedText(texto, Qt::ElideRight, ancho * px_);
}

void LienzoQt::texto(const Letra& l, const QRectF& r, Alineacion a, const QString& texto) {
    const QFont& f = fuente(l).fuente;
    if (p_->font() != f) p_->setFont(f);
    p_->drawText(px(r), alineacionQt(a), texto);
}

void LienzoQt::linea(const QPointF& a, const QPointF& b, double grosor, const QColor& color) {
    p_->setPen(QPen(color, grosor * px_));
    p_->drawLine(a * px_, b * px_);
    p_->setPen(Qt::black);  // el del texto
}

void LienzoQt::rellenar(const QRectF& r, const QColor& color) {
    p_->fillRect(px(r), color);
}

Pintor::Pintor(Maquetador& maquetador, const QString& titulo, const QDate& fechaImpresion)
    : m_(maquetador),
      titulo_(titulo),
      fecha_(fechaImpresion.toString(QStringLiteral("dd/MM/yyyy"))) {
    const Plantilla& pl = m_.plantilla();
    empresa_ = m_.expandir(pl.empresa);
    periodo_ = m_.expandir(pl.periodo);
    if (!pl.moneda.isEmpty() && m_.formulas().contiene(pl.moneda))
        moneda_ = m_.formulas().valor(pl.moneda).trimmed() == u"1"
                      ? QStringLiteral("Importes en pesetas")
                      : QStringLiteral("Importes en euros");
}

Pintor::~Pintor() = default;

void Pintor::pintar(QPainter& p, const Pagina& pagina, int totalPaginas, double pxPorMm) {
    if (qt_ && qt_->sirve(p, pxPorMm))
        qt_->usar(p);
    else
        qt_ = std::make_unique<LienzoQt>(p, pxPorMm);
    p.save();
    p.setPen(Qt::black);
    pintar(*qt_, pagina, totalPaginas);
    p.restore();
}

void Pintor::pintar(Lienzo& lz, const Pagina& pagina, int totalPaginas) {
    cabecera(lz, pagina.numero, totalPaginas);
    const Geometria& g = m_.geometria();
    double y = g.margenSuperior + g.altoCabecera;
    for (const LineaPagina& l : pagina.lineas) {
        linea(lz, l, y);
        y += l.alto;
    }
    if (foliacion_)
        tacharBlanco(lz, g.margenIzquierdo, g.anchoUtil(), y + 1,
                     g.alto - g.margenInferior - g.altoPie);
}

void Pintor::tacharBlanco(Lienzo& lz, double x0, double ancho, double desde, double hasta) {
    // Menos de una línea de blanco no deja sitio a nada.
    if (hasta - desde < 4) return;
    const QPointF a(x0, desde), b(x0 + ancho, desde), c(x0, hasta), d(x0 + ancho, hasta);
    lz.linea(a, b, 0.25, Qt::black);
    lz.linea(b, c, 0.25, Qt::black);
    lz.linea(c, d, 0.25, Qt::black);
}

void Pintor::cabecera(Lienzo& lz, int numero, int total) {
    const Geometria& g = m_.geometria();
    const Plantilla& pl = m_.plantilla();
    const double x0 = g.margenIzquierdo, ancho = g.anchoUtil();
    double y = g.margenSuperior;
    if (foliacion_) {
        // El libro legalizado no lleva fecha de impresión: la línea entera es para quién es.
        celda(lz, {9, true}, {x0, y, ancho, 5}, foliacion_->cabecera, Alineacion::Izquierda,
              false);
    } else {
        celda(lz, {8}, {x0, y, ancho, 5}, QStringLiteral("Fecha de impresión: ") + fecha_,
              Alineacion::Derecha, false);
        celda(lz, {10, true}, {x0, y, ancho - 45, 5}, empresa_, Alineacion::Izquierda, false);
    }
    y += 5;
    celda(lz, {13, true}, {x0, y, ancho, 7}, titulo_, Alineacion::Centro, false);
    y += 7;
    celda(lz, {9}, {x0, y, ancho - 40, 5}, periodo_, Alineacion::Izquierda, false);
    celda(lz, {9}, {x0, y, ancho, 5}, moneda_, Alineacion::Derecha, false);
    y += 7;
    const Letra titulos{pl.letra, true};
    if (m_.hayTituloSuperior()) {
        double x = x0;
        const auto& vis = m_.visibles();
        for (size_t i = 0; i < vis.size();) {
            const QString rotulo = m_.expandir(pl.columnas[vis[i]].tituloSuperior);
            double w = 0;
            size_t j = i;
            while (j < vis.size() && m_.expandir(pl.columnas[vis[j]].tituloSuperior) == rotulo)
                w += m_.anchoColumna(vis[j++]);
            if (!rotulo.isEmpty()) {
                celda(lz, titulos, {x, y, w, 4.5}, rotulo, Alineacion::Centro, true);
                lz.linea({x + 1, y + 4.7}, {x + w - 1, y + 4.7}, 0.2, Qt::black);
            }
            x += w;
            i = j;
        }
        y += 5;
    }
    double x = x0;
    for (int c : m_.visibles()) {
        const Columna& col = pl.columnas[c];
        celda(lz, titulos, {x + g.relleno, y, m_.anchoColumna(c) - 2 * g.relleno, 6},
              m_.expandir(col.titulo), col.alineacion, true);
        x += m_.anchoColumna(c);
    }
    lz.linea({x0, y + 6}, {x0 + ancho, y + 6}, 0.35, Qt::black);
    lz.linea({x0, y}, {x0 + ancho, y}, 0.35, Qt::black);
    // pie de página
    const double yPie = g.alto - g.margenInferior - g.altoPie;
    lz.linea({x0, yPie + 1.5}, {x0 + ancho, yPie + 1.5}, 0.2, Qt::black);
    if (total > 0) paginacion(lz, numero, total);
    celda(lz, {8}, {x0, yPie + 2, ancho * 0.7, g.altoPie - 2},
          foliacion_ ? titulo_ : titulo_ + QStringLiteral(" · ") + empresa_, Alineacion::Izquierda,
          false);
}

void Pintor::paginacion(Lienzo& lz, int numero, int total) {
    const Geometria& g = m_.geometria();
    const QString texto = foliacion_ ? QStringLiteral("Folio %1 de %2")
                                           .arg(foliacion_->primero + numero - 1)
                                           .arg(foliacion_->total)
                                     : QStringLiteral("Página %1 de %2").arg(numero).arg(total);
    celda(lz, {8},
          {g.margenIzquierdo, g.alto - g.margenInferior - g.altoPie + 2, g.anchoUtil(),
           g.altoPie - 2},
          texto, Alineacion::Derecha, false);
}

void Pintor::celda(Lienzo& lz, const Lienzo::Letra& l, const QRectF& r, const QString& texto,
                   Alineacion a, bool reducir) {
    if (texto.isEmpty() || r.width() <= 0) return;
    const double ancho = lz.ancho(l, texto, r.width());
    if (ancho <= r.width()) {
        lz.texto(l, r, a, texto);
    } else if (reducir) {
        Letra menor = l;
        menor.puntos = l.puntos * r.width() / ancho * 0.98;
        lz.texto(menor, r, a, texto);
    } else {
        lz.texto(l, r, a, lz.acortar(l, texto, r.width()));
    }
}

void Pintor::linea(Lienzo& lz, const LineaPagina& l, double y) {
    const Geometria& g = m_.geometria();
    const Plantilla& pl = m_.plantilla();
    const double x0 = g.margenIzquierdo, ancho = g.anchoUtil();
    using Tipo = LineaPagina::Tipo;
    const Letra letraLinea{pl.letra, l.negrita, l.cursiva};
    if (l.tipo == Tipo::CabeceraGrupo) {
        lz.rellenar({x0, y + 0.4, ancho, l.alto - 0.8}, QColor(232, 236, 242));
        celda(lz, letraLinea, {x0 + g.relleno, y, ancho - 2 * g.relleno, l.alto}, l.texto,
              Alineacion::Izquierda, false);
        return;
    }
    const auto& vis = m_.visibles();
    if (l.tipo == Tipo::Detalle) {
        if (pl.lineas.size() > 1 && l.primeraDeFila)
            lz.linea({x0, y}, {x0 + ancho, y}, 0.15, QColor(170, 170, 170));
        // Cada texto ajustado, en las líneas que dio el maquetador; lo demás, en la primera.
        double x = x0;
        for (int c : vis) {
            const Columna& col = pl.columnas[c];
            const double sangria = col.sangria ? l.sangria * g.sangria : 0;
            const double w = m_.anchoColumna(c);
            const QStringList partes =
                col.ajustar ? m_.partir(l.celdas[c], c, l.sangria, l.negrita, l.cursiva)
                            : QStringList{l.celdas[c]};
            for (qsizetype i = 0; i < partes.size(); ++i)
                celda(lz, letraLinea,
                      {x + g.relleno + sangria, y + double(i) * g.altoDetalle,
                       w - 2 * g.relleno - sangria, g.altoDetalle},
                      partes[i], col.alineacion, col.ajustar || col.tipo != TipoColumna::Texto);
            x += w;
        }
        return;
    }
    // Pies de grupo, sumas y total: rótulo a la izquierda hasta la primera columna con valor.
    double x = x0, xValores = x0 + ancho;
    for (int c : vis) {
        if (!l.celdas[c].isEmpty()) {
            xValores = x;
            break;
        }
        x += m_.anchoColumna(c);
    }
    const double grosor = l.tipo == Tipo::Total ? 0.35 : 0.2;
    lz.linea({xValores, y + 0.3}, {x0 + ancho, y + 0.3}, grosor, Qt::black);
    if (l.tipo == Tipo::Total) lz.linea({xValores, y + 0.9}, {x0 + ancho, y + 0.9}, grosor, Qt::black);
    const double yTexto = y + 0.6, alto = l.alto - 0.6;
    celda(lz, letraLinea, {x0 + g.relleno, yTexto, xValores - x0 - 2 * g.relleno, alto}, l.texto,
          Alineacion::Izquierda, false);
    x = x0;
    for (int c : vis) {
        const Columna& col = pl.columnas[c];
        const double w = m_.anchoColumna(c);
        if (!l.celdas[c].isEmpty())
            celda(lz, letraLinea, {x + g.relleno, yTexto, w - 2 * g.relleno, alto}, l.celdas[c],
                  col.alineacion, col.tipo != TipoColumna::Texto);
        x += w;
    }
}

}  // namespace orvo
