#include "Pintor.h"

#include <QFontMetricsF>
#include <QPainter>

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

Pintor::Letra& Pintor::letra(double puntos, bool negrita, bool cursiva) {
    const auto clave = std::make_tuple(qRound(puntos * 10), negrita, cursiva);
    auto it = letras_.find(clave);
    if (it != letras_.end()) return it->second;
    QFont f(familia());
    f.setStretch(QFont::SemiCondensed);
    f.setPointSizeF(puntos);
    f.setBold(negrita);
    f.setItalic(cursiva);
    Letra& l = letras_[clave];
    l.fuente = QFont(f, dispositivo_);
    l.metricas = std::make_unique<QFontMetricsF>(l.fuente, dispositivo_);
    for (int c = 0; c < 256; ++c) l.avances[c] = float(l.metricas->horizontalAdvance(QChar(c)));
    return l;
}

QRectF Pintor::mm(double x, double y, double ancho, double alto) const {
    return QRectF(x * px_, y * px_, ancho * px_, alto * px_);
}

void Pintor::pintar(QPainter& p, const Pagina& pagina, int totalPaginas, double pxPorMm) {
    if (p.device() != dispositivo_ || pxPorMm != px_) letras_.clear();
    dispositivo_ = p.device();
    px_ = pxPorMm;
    p.save();
    cabecera(p, pagina.numero, totalPaginas);
    const Geometria& g = m_.geometria();
    double y = g.margenSuperior + g.altoCabecera;
    for (const LineaPagina& l : pagina.lineas) {
        linea(p, l, y);
        y += l.alto;
    }
    if (foliacion_)
        tacharBlanco(p, g.margenIzquierdo, g.anchoUtil(), y + 1,
                     g.alto - g.margenInferior - g.altoPie, px_);
    p.restore();
}

void Pintor::tacharBlanco(QPainter& p, double x0, double ancho, double desde, double hasta,
                          double pxPorMm) {
    // Menos de una línea de blanco no deja sitio a nada.
    if (hasta - desde < 4) return;
    p.save();
    p.setPen(QPen(Qt::black, 0.25 * pxPorMm));
    const QPointF a(x0 * pxPorMm, desde * pxPorMm), b((x0 + ancho) * pxPorMm, desde * pxPorMm);
    const QPointF c(x0 * pxPorMm, hasta * pxPorMm), d((x0 + ancho) * pxPorMm, hasta * pxPorMm);
    p.drawLine(a, b);
    p.drawLine(b, c);
    p.drawLine(c, d);
    p.restore();
}

void Pintor::cabecera(QPainter& p, int numero, int total) {
    const Geometria& g = m_.geometria();
    const Plantilla& pl = m_.plantilla();
    const double x0 = g.margenIzquierdo, ancho = g.anchoUtil();
    double y = g.margenSuperior;
    p.setPen(Qt::black);
    if (foliacion_) {
        // El libro legalizado no lleva fecha de impresión: la línea entera es para quién es.
        celda(p, letra(9, true), mm(x0, y, ancho, 5), foliacion_->cabecera, Alineacion::Izquierda,
              false);
    } else {
        celda(p, letra(8), mm(x0, y, ancho, 5), QStringLiteral("Fecha de impresión: ") + fecha_,
              Alineacion::Derecha, false);
        celda(p, letra(10, true), mm(x0, y, ancho - 45, 5), empresa_, Alineacion::Izquierda, false);
    }
    y += 5;
    celda(p, letra(13, true), mm(x0, y, ancho, 7), titulo_, Alineacion::Centro, false);
    y += 7;
    Letra& periodo = letra(9);
    celda(p, periodo, mm(x0, y, ancho - 40, 5), periodo_, Alineacion::Izquierda, false);
    celda(p, periodo, mm(x0, y, ancho, 5), moneda_, Alineacion::Derecha, false);
    y += 7;
    QPen fina(Qt::black, 0.2 * px_);
    Letra& titulos = letra(pl.letra, true);
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
                celda(p, titulos, mm(x, y, w, 4.5), rotulo, Alineacion::Centro, true);
                p.setPen(fina);
                p.drawLine(QPointF((x + 1) * px_, (y + 4.7) * px_),
                           QPointF((x + w - 1) * px_, (y + 4.7) * px_));
                p.setPen(Qt::black);
            }
            x += w;
            i = j;
        }
        y += 5;
    }
    double x = x0;
    for (int c : m_.visibles()) {
        const Columna& col = pl.columnas[c];
        celda(p, titulos, mm(x + g.relleno, y, m_.anchoColumna(c) - 2 * g.relleno, 6),
              m_.expandir(col.titulo), col.alineacion, true);
        x += m_.anchoColumna(c);
    }
    p.setPen(QPen(Qt::black, 0.35 * px_));
    p.drawLine(QPointF(x0 * px_, (y + 6) * px_), QPointF((x0 + ancho) * px_, (y + 6) * px_));
    p.drawLine(QPointF(x0 * px_, y * px_), QPointF((x0 + ancho) * px_, y * px_));
    // pie de página
    const double yPie = g.alto - g.margenInferior - g.altoPie;
    p.setPen(fina);
    p.drawLine(QPointF(x0 * px_, (yPie + 1.5) * px_),
               QPointF((x0 + ancho) * px_, (yPie + 1.5) * px_));
    p.setPen(Qt::black);
    Letra& pie = letra(8);
    const QString paginacion = foliacion_
                                   ? QStringLiteral("Folio %1 de %2")
                                         .arg(foliacion_->primero + numero - 1)
                                         .arg(foliacion_->total)
                                   : QStringLiteral("Página %1 de %2").arg(numero).arg(total);
    celda(p, pie, mm(x0, yPie + 2, ancho, g.altoPie - 2), paginacion, Alineacion::Derecha, false);
    celda(p, pie, mm(x0, yPie + 2, ancho * 0.7, g.altoPie - 2),
          foliacion_ ? titulo_ : titulo_ + QStringLiteral(" · ") + empresa_, Alineacion::Izquierda,
          false);
}

void Pintor::celda(QPainter& p, Letra& l, const QRectF& r, const QString& texto, Alineacion a,
                   bool reducir) {
    if (texto.isEmpty() || r.width() <= 0) return;
    if (p.font() != l.fuente) p.setFont(l.fuente);
    // Suma de avances sin composición: basta para saber que cabe casi siempre.
    double estimado = 0;
    for (QChar c : texto) {
        if (c.unicode() > 255) {
            estimado = -1;
            break;
        }
        estimado += l.avances[c.unicode()];
    }
    const double ancho = estimado >= 0 && estimado <= r.width() * 0.97
                             ? estimado
                             : l.metricas->horizontalAdvance(texto);
    if (ancho <= r.width()) {
        p.drawText(r, alineacionQt(a), texto);
    } else if (reducir) {
        QFont menor = l.fuente;
        menor.setPointSizeF(l.fuente.pointSizeF() * r.width() / ancho * 0.98);
        p.setFont(menor);
        p.drawText(r, alineacionQt(a), texto);
        p.setFont(l.fuente);
    } else {
        p.drawText(r, alineacionQt(a), l.metricas->elidedText(texto, Qt::ElideRight, r.width()));
    }
}

void Pintor::linea(QPainter& p, const LineaPagina& l, double y) {
    const Geometria& g = m_.geometria();
    const Plantilla& pl = m_.plantilla();
    const double x0 = g.margenIzquierdo, ancho = g.anchoUtil();
    using Tipo = LineaPagina::Tipo;
    Letra& letraLinea = letra(pl.letra, l.negrita, l.cursiva);
    if (l.tipo == Tipo::CabeceraGrupo) {
        p.fillRect(mm(x0, y + 0.4, ancho, l.alto - 0.8), QColor(232, 236, 242));
        celda(p, letraLinea, mm(x0 + g.relleno, y, ancho - 2 * g.relleno, l.alto), l.texto,
              Alineacion::Izquierda, false);
        return;
    }
    const auto& vis = m_.visibles();
    if (l.tipo == Tipo::Detalle) {
        if (pl.lineas.size() > 1 && l.primeraDeFila) {
            p.setPen(QPen(QColor(170, 170, 170), 0.15 * px_));
            p.drawLine(QPointF(x0 * px_, y * px_), QPointF((x0 + ancho) * px_, y * px_));
            p.setPen(Qt::black);
        }
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
                celda(p, letraLinea,
                      mm(x + g.relleno + sangria, y + double(i) * g.altoDetalle,
                         w - 2 * g.relleno - sangria, g.altoDetalle),
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
    p.setPen(QPen(Qt::black, (l.tipo == Tipo::Total ? 0.35 : 0.2) * px_));
    p.drawLine(QPointF(xValores * px_, (y + 0.3) * px_),
               QPointF((x0 + ancho) * px_, (y + 0.3) * px_));
    if (l.tipo == Tipo::Total)
        p.drawLine(QPointF(xValores * px_, (y + 0.9) * px_),
                   QPointF((x0 + ancho) * px_, (y + 0.9) * px_));
    p.setPen(Qt::black);
    const double yTexto = y + 0.6, alto = l.alto - 0.6;
    celda(p, letraLinea, mm(x0 + g.relleno, yTexto, xValores - x0 - 2 * g.relleno, alto), l.texto,
          Alineacion::Izquierda, false);
    x = x0;
    for (int c : vis) {
        const Columna& col = pl.columnas[c];
        const double w = m_.anchoColumna(c);
        if (!l.celdas[c].isEmpty())
            celda(p, letraLinea, mm(x + g.relleno, yTexto, w - 2 * g.relleno, alto), l.celdas[c],
                  col.alineacion, col.tipo != TipoColumna::Texto);
        x += w;
    }
}

}  // namespace orvo
