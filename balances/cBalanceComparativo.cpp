#include "cBalanceComparativo.h"

#include <QHash>
#include <algorithm>

namespace orvo {

namespace {

// Lo que compara LineasIguales, en una sola clave para buscar por tabla hash.
QString claveLinea(const cBalanceComparativo& l) {
    return l.descripcion + QChar(0x1F) + QString::number(l.nivel) + QChar(0x1F) + l.epigrafePadre +
           QChar(0x1F) + l.naturaleza;
}

}  // namespace

void GrabarPadresColeccion(ColeccionBalance& coleccion) {
    std::vector<QString> porNivel;
    for (cBalanceComparativo& l : coleccion) {
        const auto nivel = static_cast<std::size_t>(std::max(l.nivel, 0));
        if (porNivel.size() <= nivel) porNivel.resize(nivel + 1);
        porNivel[nivel] = l.descripcion;
        QString ruta;
        for (std::size_t n = 0; n < nivel; ++n) ruta += porNivel[n];
        l.epigrafePadre = ruta;
    }
}

bool cIFusionarCol::LineasIguales(const cBalanceComparativo& a, const cBalanceComparativo& b) {
    return a.descripcion == b.descripcion && a.nivel == b.nivel &&
           a.epigrafePadre == b.epigrafePadre && a.naturaleza == b.naturaleza;
}

std::vector<FilaBalance> cIFusionarCol::FusionarColecciones(const ColeccionBalance& a,
                                                           const ColeccionBalance& b) {
    filas_.clear();
    filas_.reserve(a.size() + b.size());
    // Posiciones de cada línea de B, en orden, para buscar hacia delante sin recorrer B.
    QHash<QString, std::vector<std::size_t>> posicionesB;
    for (std::size_t k = 0; k < b.size(); ++k) posicionesB[claveLinea(b[k])].push_back(k);
    const auto buscarEnB = [&](const cBalanceComparativo& linea, std::size_t desde) {
        const auto it = posicionesB.constFind(claveLinea(linea));
        if (it == posicionesB.constEnd()) return b.size();
        const auto p = std::lower_bound(it->begin(), it->end(), desde);
        return p == it->end() ? b.size() : *p;
    };

    std::size_t j = 0;
    std::size_t i = 0;
    while (i < a.size()) {
        const int nivelA = a[i].nivel;
        // Lo que en B cuelga más hondo que esta línea de A va antes, solo.
        while (j < b.size() && b[j].nivel > nivelA) GrabarLineaComparativa(nullptr, &b[j++]);
        if (j < b.size() && LineasIguales(a[i], b[j])) {
            GrabarLineaComparativa(&a[i++], &b[j++]);
            continue;
        }
        const std::size_t k = buscarEnB(a[i], j);
        if (k < b.size()) {
            while (j < k) GrabarLineaComparativa(nullptr, &b[j++]);
            GrabarLineaComparativa(&a[i++], &b[j++]);
            continue;
        }
        // Solo en A: la línea y todo su subárbol, sin que B avance.
        GrabarLineaComparativa(&a[i++], nullptr);
        while (i < a.size() && a[i].nivel > nivelA) GrabarLineaComparativa(&a[i++], nullptr);
    }
    while (j < b.size()) GrabarLineaComparativa(nullptr, &b[j++]);
    return std::move(filas_);
}

void cIFusionarCol::GrabarLineaComparativa(const cBalanceComparativo* a,
                                           const cBalanceComparativo* b) {
    FilaBalance f;
    if (a) f.a = *a;
    if (b) f.b = *b;
    filas_.push_back(std::move(f));
}

}  // namespace orvo
