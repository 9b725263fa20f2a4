#pragma once

// Libros de IVA de prueba: una empresa con NIF, sus subcuentas de IVA, un cliente y un
// proveedor, y una línea de factura por texto.
#include "DatosEmpresa.h"
#include "LibrosIVA.h"
#include "LibrosPrueba.h"

namespace orvo::prueba {

inline Moneda euros(const QString& texto) {
    return *Moneda::deTexto(texto);
}

// Empresa con NIF, sus subcuentas de IVA repercutido (y de su recargo), soportado y Hacienda, un
// cliente y un proveedor.
struct LibroIVA : LibrosPrueba {
    LibroIVA() {
        e = empresa();
        DatosEmpresa::guardarNif(conta(), e, QStringLiteral("B50123454"));
        repercutido = cuenta(e, "4770001", "IVA repercutido", "X");
        recargo = cuenta(e, "4779000");
        soportado = cuenta(e, "4720001", "IVA soportado");
        hacienda = cuenta(e, "4750000");
        cliente = cuenta(e, "4300001", "Cliente Uno", "B12345678");
        cuenta(e, "4000001", "Proveedor Uno", "A87654321");
    }
    // Línea "R|S fecha debe haber [factura [iva [recargo [base [contrapartida]]]]]" en el 477 o
    // el 472, en un asiento nuevo (numerados desde 11) o, con "+" delante, en el anterior. Por
    // omisión F-1, 21 %, sin recargo, base 100 y el cliente o el proveedor; "-" deja el campo
    // vacío y "~" la base nula. Devuelve el asiento.
    qint64 factura(QString linea) {
        const bool mismo = linea.startsWith(u'+');
        const QStringList p = linea.remove(u'+').split(u' ');
        const bool r = p[0] == u"R";
        const auto campo = [&p](int i, const char* omision) {
            const QString v = p.value(i, QString::fromUtf8(omision));
            return v == u"-" ? QStringLiteral("") : v;
        };
        const QString base = campo(7, "100");
        const LineaIVA l{p[2],
                         p[3],
                         campo(4, "F-1"),
                         campo(8, r ? "4300001" : "4000001"),
                         campo(5, "21"),
                         campo(6, "0"),
                         base == u"~" ? QVariant() : base};
        if (!mismo) ultimo = asiento(e, ++numero, p[1]);
        apunteIVA(ultimo, r ? repercutido : soportado, l);
        return ultimo;
    }
    OpcionesLibrosIVA opciones(bool emitidas) const {
        OpcionesLibrosIVA o;
        o.empresa = e;
        o.emitidas = emitidas;
        o.desde = QDate(2026, 1, 1);
        o.hasta = QDate(2026, 12, 31);
        return o;
    }
    // Las filas del libro de IVA.
    std::vector<FilaIVA> filasIVA(const OpcionesLibrosIVA& o) {
        std::vector<FilaIVA> v;
        recorrerLibroIVA(conta(), o, nullptr, [&v](const FilaIVA& f) { v.push_back(f); });
        return v;
    }
    // Suma de unos importes de las filas del libro de IVA.
    Moneda suma(const OpcionesLibrosIVA& o, std::initializer_list<Moneda FilaIVA::*> importes) {
        Moneda total;
        for (const FilaIVA& f : filasIVA(o))
            for (Moneda FilaIVA::*i : importes) total += f.*i;
        return total;
    }
    long e = 0;
    int numero = 10;
    qint64 ultimo = 0, repercutido, recargo, soportado, hacienda, cliente;
};

}  // namespace orvo::prueba
