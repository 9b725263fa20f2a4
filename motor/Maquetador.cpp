#include "Maquetador.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QRegularExpression>
#include <array>
#include <limits>
#include <map>

#include "Pintor.h"

namespace orvo {

void ValoresFormulas::anadir(const QString& texto) {
    const qsizetype igual = texto.indexOf(u'=');
    if (igual <= 0)
        throw FalloMotor(
            ErrorMotor::kFormulaNoValida,
            QStringLiteral("La fórmula «%1» no tiene la forma Nombre= valor").arg(texto));
    QString valor = texto.mid(igual + 1).trimmed();
    if (valor.size() >= 2 && (valor.front() == u'"' || valor.front() == u'\'') &&
        valor.back() == valor.front())
        valor = valor.mid(1, valor.size() - 2);
    valores_.insert(texto.left(igual).trimmed().toLower(), Celda::leer(valor, Celda::Tipo::Numero));
}

Geometria Geometria::para(const Plantilla& p, bool conTituloSuperior) {
    Geometria g;
    if (p.horizontal) std::swap(g.ancho, g.alto);
    g.altoDetalle = p.letra * 0.5;
    g.altoGrupo = g.altoDetalle + 1.5;
    g.altoTotal = g.altoDetalle + 1.5;
    // empresa y fecha, título, periodo y moneda, separación, títulos de columna
    g.altoCabecera = 5 + 7 + 5 + 2 + 6 + (conTituloSuperior ? 5 : 0);
    return g;
}

namespace {

constexpr qint64 kAntesDelPrincipio = std::numeric_limits<qint64>::min();

// "{Nombre}" en los textos de la plantilla: una columna de la fila o una fórmula.
const QRegularExpression& patronLlaves() {
    static const QRegularExpression patron(QStringLiteral("\\{([^}]+)\\}"));
    return patron;
}

bool compara(const Celda& izquierda, const QString& op, const Celda& derecha) {
    const auto& a = izquierda.numero;
    const auto& b = derecha.numero;
    const int orden =
        a && b ? (*a < *b ? -1 : (*a == *b ? 0 : 1))
               : QString::compare(izquierda.texto.trimmed(), derecha.texto, Qt::CaseInsensitive);
    if (op == u"=") return orden == 0;
    if (op == u"<>") return orden != 0;
    if (op == u"<") return orden < 0;
    if (op == u"<=") return orden <= 0;
    if (op == u">") return orden > 0;
    return orden >= 0;
}

}  // namespace

struct Maquetador::Estado {
    qint64 ultimoRowid = kAntesDelPrincipio;  // última fila terminada
    int etapa = 0;     // fila en curso: 0 nada hecho, 1 pies de grupo ya impresos
    bool fin = false;  // sin más filas; etapa 0 cerrar grupos, 1 total, 2 hecho
    int pagina = 1;
    std::vector<char> abierto;
    std::vector<QString> clave, cabecera;
    std::vector<std::vector<Moneda>> sumas;
    std::vector<std::vector<QString>> ultimos;
    std::vector<Moneda> acumulado;
};

// Anchos de texto en milímetros con la letra del cuerpo, medidos sobre un lienzo de 1200 ppp
// (sin el ajuste a píxeles de una pantalla, como en el PDF). Se suman los avances de cada
// carácter: la misma cuenta al medir las páginas y al pintarlas da las mismas líneas.
class Maquetador::Medidas {
  public:
    explicit Medidas(double puntos) : lienzo_(1, 1, QImage::Format_RGB32), puntos_(puntos) {
        constexpr int kPuntosPorMetro = 47244;  // 1200 ppp
        lienzo_.setDotsPerMeterX(kPuntosPorMetro);
        lienzo_.setDotsPerMeterY(kPuntosPorMetro);
        mmPorPunto_ = 1000.0 / kPuntosPorMetro;
    }

    double ancho(QStringView texto, bool negrita, bool cursiva) {
        Estilo& e = estilo(negrita, cursiva);
        double total = 0;
        for (QChar c : texto) {
            if (c.unicode() < 256) {
                total += e.avances[c.unicode()];
                continue;
            }
            auto it = e.otros.find(c.unicode());
            if (it == e.otros.end())
                it = e.otros.emplace(c.unicode(), e.metricas->horizontalAdvance(c) * mmPorPunto_)
                         .first;
            total += it->second;
        }
        return total;
    }

  private:
    struct Estilo {
        std::unique_ptr<QFontMetricsF> metricas;
        std::array<double, 256> avances{};
        std::map<char16_t, double> otros;
    };
    Estilo& estilo(bool negrita, bool cursiva) {
        Estilo& e = estilos_[(negrita ? 2 : 0) + (cursiva ? 1 : 0)];
        if (e.metricas) return e;
        QFont f(Pintor::familia());
        f.setStretch(QFont::SemiCondensed);
        f.setPointSizeF(puntos_);
        f.setBold(negrita);
        f.setItalic(cursiva);
        e.metricas = std::make_unique<QFontMetricsF>(QFont(f, &lienzo_), &lienzo_);
        for (int c = 0; c < 256; ++c)
            e.avances[c] = e.metricas->horizontalAdvance(QChar(c)) * mmPorPunto_;
        return e;
    }

    QImage lienzo_;
    double puntos_;
    double mmPorPunto_ = 0;
    std::array<Estilo, 4> estilos_;
};

class Maquetador::Compositor {
  public:
    enum class Modo { Medir, Componer, Continuo };
    // alCerrar recibe la página terminada y el estado con que empieza la siguiente (nulo tras
    // la última); devuelve false para detenerse.
    using AlCerrar = std::function<bool(Pagina&, const Estado*)>;

    Compositor(Maquetador& m, Estado inicio, Modo modo, AlCerrar alCerrar)
        : m_(m),
          p_(m.plantilla_),
          e_(std::move(inicio)),
          modo_(modo),
          alCerrar_(std::move(alCerrar)) {
        const Geometria& g = m_.geo_;
        capacidad_ = g.altoCuerpo() - (p_.sumaYSigue ? g.altoTotal : 0);
        conDecimales_ = p_.moneda.isEmpty() || m_.formulas_.valor(p_.moneda).trimmed() != u"1";
        for (const Grupo& gr : p_.grupos) grupo_.push_back(posicion(gr.campo));
        for (const LineaDetalle& ld : p_.lineas) {
            std::vector<int>& pos = celda_.emplace_back();
            for (const QString& c : ld.celdas)
                pos.push_back(c.isEmpty() || esLiteral(c) ? -1 : posicion(c));
        }
        for (const Columna& col : p_.columnas)
            resumen_.push_back(col.resumen == Resumen::Ninguno || col.campo.isEmpty()
                                   ? -1
                                   : posicion(col.campo));
        if (!p_.campoNivel.isEmpty()) nivel_ = posicion(p_.campoNivel);
        iniciarPagina();
    }

    bool detenido() const { return detenido_; }

    void procesar(qint64 rowid, const Fila& f) {
        const int n = static_cast<int>(p_.grupos.size());
        int cambio = n;
        for (int k = 0; k < n; ++k) {
            if (!e_.abierto[k] || e_.clave[k] != f[grupo_[k]].texto) {
                cambio = k;
                break;
            }
        }
        if (e_.etapa == 0) {
            cerrarGrupos(cambio);
            if (detenido_) return;
            e_.etapa = 1;
        }
        if (modo_ != Modo::Continuo && conContenido_) {
            for (int k = cambio; k < n; ++k) {
                if (p_.grupos[k].nuevaPagina) {
                    cerrarPagina();
                    if (detenido_) return;
                    break;
                }
            }
        }
        std::vector<LineaPagina> bloque;
        double alto = 0;
        std::vector<QString> cabeceras(n);
        for (int k = cambio; k < n; ++k) {
            if (p_.grupos[k].cabecera.isEmpty()) continue;
            cabeceras[k] = m_.expandirFila(p_.grupos[k].cabecera, &f);
            LineaPagina l;
            l.tipo = LineaPagina::Tipo::CabeceraGrupo;
            l.negrita = true;
            l.alto = m_.geo_.altoGrupo;
            if (modo_ != Modo::Medir) l.texto = cabeceras[k];
            alto += l.alto;
            bloque.push_back(std::move(l));
        }
        // Al medir no se leen las columnas de nivel ni las de las condiciones de letra, salvo
        // que el alto de la fila dependa de ellas (textos que se ajustan).
        const bool medir = modo_ == Modo::Medir && !m_.ajusta_;
        const bool conTextos = modo_ != Modo::Medir || m_.ajusta_;
        int sangria = 0;
        if (!medir && !p_.campoNivel.isEmpty()) {
            const Moneda nivel = f[nivel_].numero.value_or(Moneda());
            sangria = static_cast<int>(std::max<std::int64_t>(0, nivel.truncado() - p_.nivelBase));
        }
        const bool negrita = !medir && !p_.negrita.vacia() && m_.cumpleFila(p_.negrita, &f);
        const bool cursiva = !medir && !p_.cursiva.vacia() && m_.cumpleFila(p_.cursiva, &f);
        bool primera = true;
        for (size_t li = 0; li < p_.lineas.size(); ++li) {
            const LineaDetalle& ld = p_.lineas[li];
            LineaPagina l;
            l.sangria = sangria;
            l.negrita = negrita;
            l.cursiva = cursiva;
            l.primeraDeFila = primera;
            l.alto = m_.geo_.altoDetalle;
            l.fila = rowid;
            primera = false;
            if (conTextos) {
                l.celdas.reserve(ld.celdas.size());
                for (qsizetype i = 0; i < ld.celdas.size(); ++i) {
                    const QString& c = ld.celdas[i];
                    // Al medir solo cuentan los textos que se ajustan.
                    const bool sinLeer = modo_ == Modo::Medir && !p_.columnas[i].ajustar;
                    QString texto = c.isEmpty() || sinLeer ? QString()
                                    : esLiteral(c)         ? textoLiteral(c)
                                                           : f[celda_[li][i]].texto;
                    const QString& oculto = p_.columnas[i].ocultar;
                    if (!oculto.isEmpty() && texto == oculto) texto.clear();
                    l.celdas.push_back(std::move(texto));
                }
                if (m_.ajusta_ && modo_ != Modo::Continuo)
                    l.alto *= static_cast<double>(lineasDeFila(l));
            }
            alto += l.alto;
            bloque.push_back(std::move(l));
        }
        colocar(bloque, alto);
        if (detenido_) return;
        for (int k = cambio; k < n; ++k) {
            e_.abierto[k] = 1;
            e_.clave[k] = f[grupo_[k]].texto;
            e_.cabecera[k] = cabeceras[k];
            std::fill(e_.sumas[k].begin(), e_.sumas[k].end(), Moneda());
            std::fill(e_.ultimos[k].begin(), e_.ultimos[k].end(), QString());
        }
        for (size_t c = 0; c < p_.columnas.size(); ++c) {
            const Columna& col = p_.columnas[c];
            if (resumen_[c] < 0) continue;
            const Celda& celda = f[resumen_[c]];
            if (col.resumen == Resumen::Suma) {
                const Moneda v = celda.numero.value_or(Moneda());
                for (int k = 0; k < n; ++k) e_.sumas[k][c] += v;
                e_.acumulado[c] += v;
            } else {
                for (int k = 0; k < n; ++k) e_.ultimos[k][c] = celda.texto;
            }
        }
        e_.ultimoRowid = rowid;
        e_.etapa = 0;
    }

    // Tras la última fila: pies de los grupos abiertos, total final y cierre de la página.
    void terminar() {
        e_.fin = true;
        if (e_.etapa == 0) {
            cerrarGrupos(0);
            if (detenido_) return;
            e_.etapa = 1;
        }
        if (e_.etapa == 1) {
            if (p_.tieneTotal()) {
                LineaPagina l;
                l.tipo = LineaPagina::Tipo::Total;
                l.negrita = true;
                l.alto = m_.geo_.altoTotal;
                if (modo_ != Modo::Medir) {
                    l.texto = m_.expandir(p_.tituloTotal);
                    for (size_t c = 0; c < p_.columnas.size(); ++c) {
                        const Columna& col = p_.columnas[c];
                        if (!col.total.isEmpty())
                            l.celdas.push_back(m_.expandir(col.total));
                        else if (col.resumen == Resumen::Suma)
                            l.celdas.push_back(e_.acumulado[c].formatear(conDecimales_));
                        else
                            l.celdas.emplace_back();
                    }
                }
                std::vector<LineaPagina> bloque{std::move(l)};
                colocar(bloque, m_.geo_.altoTotal);
                if (detenido_) return;
            }
            e_.etapa = 2;
        }
        if (!detenido_) alCerrar_(pagina_, nullptr);
        detenido_ = true;
    }

  private:
    // Líneas que ocupa la fila: las del texto ajustado más largo de sus columnas visibles.
    qsizetype lineasDeFila(const LineaPagina& l) const {
        qsizetype n = 1;
        for (int c : m_.visibles_)
            if (p_.columnas[c].ajustar)
                n = std::max(n, m_.partir(l.celdas[c], c, l.sangria, l.negrita, l.cursiva).size());
        return n;
    }

    int posicion(const QString& campo) const { return m_.indice_.value(campo.toLower()); }

    void iniciarPagina() {
        pagina_ = Pagina{};
        pagina_.numero = e_.pagina;
        usado_ = 0;
        conContenido_ = false;
        if (modo_ == Modo::Continuo) return;
        if (p_.sumaYSigue && e_.pagina > 1) {
            pagina_.lineas.push_back(
                lineaSuma(LineaPagina::Tipo::SumaAnterior, QStringLiteral("Suma anterior")));
            usado_ += m_.geo_.altoTotal;
        }
        for (size_t k = 0; k < p_.grupos.size(); ++k) {
            if (!e_.abierto[k] || !p_.grupos[k].repetir || e_.cabecera[k].isEmpty()) continue;
            LineaPagina l;
            l.tipo = LineaPagina::Tipo::CabeceraGrupo;
            l.negrita = true;
            l.alto = m_.geo_.altoGrupo;
            if (modo_ != Modo::Medir) l.texto = e_.cabecera[k] + QStringLiteral(" (continuación)");
            usado_ += l.alto;
            pagina_.lineas.push_back(std::move(l));
        }
    }

    LineaPagina lineaSuma(LineaPagina::Tipo tipo, const QString& rotulo) const {
        LineaPagina l;
        l.tipo = tipo;
        l.negrita = true;
        l.alto = m_.geo_.altoTotal;
        if (modo_ == Modo::Medir) return l;
        l.texto = rotulo;
        for (size_t c = 0; c < p_.columnas.size(); ++c)
            l.celdas.push_back(p_.columnas[c].resumen == Resumen::Suma
                                   ? e_.acumulado[c].formatear(conDecimales_)
                                   : QString());
        return l;
    }

    void cerrarPagina() {
        if (p_.sumaYSigue)
            pagina_.lineas.push_back(
                lineaSuma(LineaPagina::Tipo::SumaYSigue, QStringLiteral("Suma y sigue")));
        ++e_.pagina;
        if (!alCerrar_(pagina_, &e_)) {
            detenido_ = true;
            return;
        }
        iniciarPagina();
    }

    void colocar(std::vector<LineaPagina>& bloque, double alto) {
        if (modo_ != Modo::Continuo && conContenido_ && usado_ + alto > capacidad_ + 1e-6) {
            cerrarPagina();
            if (detenido_) return;
        }
        for (LineaPagina& l : bloque) pagina_.lineas.push_back(std::move(l));
        usado_ += alto;
        conContenido_ = true;
        if (modo_ == Modo::Continuo) {
            alCerrar_(pagina_, &e_);
            pagina_.lineas.clear();
        }
    }

    void cerrarGrupos(int desde) {
        const int n = static_cast<int>(p_.grupos.size());
        std::vector<LineaPagina> bloque;
        double alto = 0;
        for (int k = n - 1; k >= desde; --k) {
            if (!e_.abierto[k] || p_.grupos[k].pie.isEmpty()) continue;
            LineaPagina l;
            l.tipo = LineaPagina::Tipo::PieGrupo;
            l.negrita = true;
            l.alto = m_.geo_.altoTotal;
            if (modo_ != Modo::Medir) {
                l.texto = m_.expandir(p_.grupos[k].pie);
                for (size_t c = 0; c < p_.columnas.size(); ++c) {
                    switch (p_.columnas[c].resumen) {
                        case Resumen::Suma:
                            l.celdas.push_back(e_.sumas[k][c].formatear(conDecimales_));
                            break;
                        case Resumen::Ultimo:
                            l.celdas.push_back(e_.ultimos[k][c]);
                            break;
                        case Resumen::Ninguno:
                            l.celdas.emplace_back();
                            break;
                    }
                }
            }
            alto += l.alto;
            bloque.push_back(std::move(l));
        }
        if (!bloque.empty()) colocar(bloque, alto);
        if (detenido_) return;
        for (int k = desde; k < n; ++k) e_.abierto[k] = 0;
    }

    Maquetador& m_;
    const Plantilla& p_;
    Estado e_;
    Modo modo_;
    AlCerrar alCerrar_;
    Pagina pagina_;
    double capacidad_ = 0;
    double usado_ = 0;
    bool conContenido_ = false;
    bool conDecimales_ = true;
    bool detenido_ = false;
    // Dónde está en la fila cada campo que se lee en todas, buscado una vez: la clave de cada
    // grupo, las celdas de cada línea de detalle (-1 vacía o literal), el campo de cada columna
    // que se resume (-1 ninguno) y el nivel.
    std::vector<int> grupo_;
    std::vector<std::vector<int>> celda_;
    std::vector<int> resumen_;
    int nivel_ = 0;
};

Maquetador::Maquetador(const Plantilla& plantilla, Conexion& datos, const ValoresFormulas& formulas)
    : plantilla_(plantilla), datos_(datos), formulas_(formulas) {
    QStringList columnasTabla;
    Recordset rs =
        datos_.Execute(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {plantilla_.tabla});
    for (; !rs.Eof(); rs.MoveNext()) columnasTabla << rs.Fields(0).toString();
    if (columnasTabla.isEmpty())
        throw FalloMotor(ErrorMotor::kDatosNoValidos,
                         QStringLiteral("La base de datos del informe no tiene la tabla %1")
                             .arg(plantilla_.tabla));
    auto esColumna = [&](const QString& n) {
        return columnasTabla.contains(n, Qt::CaseInsensitive);
    };
    for (const QString& c : plantilla_.campos()) {
        if (!esColumna(c))
            throw FalloMotor(
                ErrorMotor::kDatosNoValidos,
                QStringLiteral("La tabla %1 no tiene la columna %2 que usa la plantilla %3")
                    .arg(plantilla_.tabla, c, plantilla_.nombre));
        campos_ << c;
    }
    // Las condiciones y las cabeceras de grupo pueden nombrar columnas además de fórmulas.
    QStringList nombres;
    for (const Condicion* c : {&plantilla_.negrita, &plantilla_.cursiva})
        for (const Comparacion& t : c->terminos) nombres << t.nombre;
    for (const Grupo& g : plantilla_.grupos)
        for (const auto& m : patronLlaves().globalMatch(g.cabecera))
            nombres << m.captured(1).trimmed();
    for (const QString& n : nombres)
        if (!n.isEmpty() && esColumna(n) && !campos_.contains(n, Qt::CaseInsensitive)) campos_ << n;
    for (int i = 0; i < campos_.size(); ++i) indice_.insert(campos_[i].toLower(), i);
    // Número lo que se suma, los importes y porcentajes, el nivel y lo que se compara con un
    // número; fecha, la de la fila.
    tipos_.assign(campos_.size(), Celda::Tipo::Texto);
    auto tipo = [this](const QString& campo, Celda::Tipo t) {
        if (const auto it = indice_.constFind(campo.toLower()); it != indice_.cend())
            tipos_[it.value()] = t;
    };
    for (size_t c = 0; c < plantilla_.columnas.size(); ++c) {
        const Columna& col = plantilla_.columnas[c];
        if (col.tipo == TipoColumna::Texto && col.resumen != Resumen::Suma) continue;
        tipo(col.campo, Celda::Tipo::Numero);
        for (const LineaDetalle& l : plantilla_.lineas) tipo(l.celdas[c], Celda::Tipo::Numero);
    }
    tipo(plantilla_.campoNivel, Celda::Tipo::Numero);
    for (const Condicion* c : {&plantilla_.negrita, &plantilla_.cursiva})
        for (const Comparacion& t : c->terminos)
            if (t.valor.numero) tipo(t.nombre, Celda::Tipo::Numero);
    tipo(plantilla_.campoFecha, Celda::Tipo::Fecha);
    for (int i = 0; i < campos_.size(); ++i) posicionesTodas_.push_back(i);
    // Para medir bastan las claves de grupo, lo que nombran sus cabeceras (se guardan en el
    // estado de cada página) y las columnas que se resumen; con textos que se ajustan, también
    // esos textos y lo que decide su ancho (el nivel de la sangría, la letra).
    ajusta_ = plantilla_.ajustaTexto();
    QStringList medida;
    if (ajusta_) {
        medida << plantilla_.campoNivel;
        for (const Condicion* c : {&plantilla_.negrita, &plantilla_.cursiva})
            for (const Comparacion& t : c->terminos) medida << t.nombre;
        for (size_t c = 0; c < plantilla_.columnas.size(); ++c)
            if (plantilla_.columnas[c].ajustar)
                for (const LineaDetalle& l : plantilla_.lineas) medida << l.celdas[int(c)];
    }
    for (const Grupo& g : plantilla_.grupos) {
        medida << g.campo;
        for (const auto& m : patronLlaves().globalMatch(g.cabecera))
            medida << m.captured(1).trimmed();
    }
    for (const Columna& c : plantilla_.columnas)
        if (c.resumen != Resumen::Ninguno) medida << c.campo;
    for (int i = 0; i < campos_.size(); ++i)
        if (medida.contains(campos_[i], Qt::CaseInsensitive)) posicionesMedida_.push_back(i);

    double suma = 0;
    for (size_t c = 0; c < plantilla_.columnas.size(); ++c) {
        const Columna& col = plantilla_.columnas[c];
        if (!col.visible.vacia() && !cumple(col.visible)) continue;
        visibles_.push_back(static_cast<int>(c));
        suma += col.ancho;
        if (!col.tituloSuperior.isEmpty()) tituloSuperior_ = true;
    }
    geo_ = Geometria::para(plantilla_, tituloSuperior_);
    anchos_.assign(plantilla_.columnas.size(), 0);
    for (int c : visibles_) anchos_[c] = plantilla_.columnas[c].ancho * geo_.anchoUtil() / suma;
}

Maquetador::~Maquetador() = default;

QStringList Maquetador::partir(const QString& texto, int columna, int sangria, bool negrita,
                               bool cursiva) const {
    const Columna& col = plantilla_.columnas[columna];
    // Un pequeño margen por si el dispositivo mide algo más ancho que el lienzo de referencia.
    const double disponible =
        (anchos_[columna] - 2 * geo_.relleno - (col.sangria ? sangria * geo_.sangria : 0)) * 0.97;
    if (!col.ajustar || texto.isEmpty() || disponible <= 0) return {texto};
    if (!medidas_) medidas_ = std::make_unique<Medidas>(plantilla_.letra);
    Medidas& m = *medidas_;
    if (m.ancho(texto, negrita, cursiva) <= disponible) return {texto};
    const double espacio = m.ancho(u" ", negrita, cursiva);
    QStringList partes;
    QString linea;
    double anchoLinea = 0;
    for (const QString& palabra : texto.split(u' ', Qt::SkipEmptyParts)) {
        const double anchoPalabra = m.ancho(palabra, negrita, cursiva);
        if (!linea.isEmpty() && anchoLinea + espacio + anchoPalabra <= disponible) {
            linea += u' ' + palabra;
            anchoLinea += espacio + anchoPalabra;
            continue;
        }
        if (!linea.isEmpty()) partes << linea;
        linea = palabra;
        anchoLinea = anchoPalabra;
        // Una palabra más ancha que la columna se parte por letras.
        while (anchoLinea > disponible && linea.size() > 1) {
            qsizetype n = linea.size() - 1;
            while (n > 1 && m.ancho(QStringView(linea).left(n), negrita, cursiva) > disponible) --n;
            partes << linea.left(n);
            linea = linea.mid(n);
            anchoLinea = m.ancho(linea, negrita, cursiva);
        }
    }
    if (!linea.isEmpty()) partes << linea;
    return partes;
}

QString Maquetador::expandir(const QString& texto) const {
    return expandirFila(texto, nullptr);
}

QString Maquetador::expandirFila(const QString& texto, const Fila* fila) const {
    if (!texto.contains(u'{')) return texto;
    QString r;
    qsizetype desde = 0;
    for (const auto& m : patronLlaves().globalMatch(texto)) {
        r += texto.mid(desde, m.capturedStart() - desde);
        const QString nombre = m.captured(1).trimmed();
        const auto it = indice_.find(nombre.toLower());
        r += fila && it != indice_.end() ? (*fila)[it.value()].texto : formulas_.valor(nombre);
        desde = m.capturedEnd();
    }
    return r + texto.mid(desde);
}

bool Maquetador::cumple(const Condicion& c) const {
    return cumpleFila(c, nullptr);
}

bool Maquetador::cumpleFila(const Condicion& c, const Fila* fila) const {
    for (const Comparacion& t : c.terminos) {
        const auto it = indice_.find(t.nombre.toLower());
        const Celda valor =
            fila && it != indice_.end() ? (*fila)[it.value()] : formulas_.celda(t.nombre);
        if (!compara(valor, t.operador, t.valor)) return false;
    }
    return true;
}

Recordset Maquetador::abrirFilas(qint64 despuesDeRowid, const std::vector<int>& posiciones) {
    QStringList columnas{QStringLiteral("rowid")};
    for (int i : posiciones) columnas << identificador(campos_[i]);
    return datos_.Execute(
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid > ? ORDER BY rowid")
            .arg(columnas.join(QStringLiteral(", ")), identificador(plantilla_.tabla)),
        {despuesDeRowid});
}

qint64 Maquetador::leerFila(const Recordset& rs, const std::vector<int>& posiciones,
                            Fila& fila) const {
    for (size_t i = 0; i < posiciones.size(); ++i)
        fila[posiciones[i]] =
            Celda::leer(rs.Fields(static_cast<int>(i) + 1).toString(), tipos_[posiciones[i]]);
    return rs.Fields(0).toLongLong();
}

Maquetador::Estado Maquetador::estadoInicial() const {
    Estado inicio;
    const size_t n = plantilla_.grupos.size();
    inicio.abierto.assign(n, 0);
    inicio.clave.assign(n, QString());
    inicio.cabecera.assign(n, QString());
    inicio.sumas.assign(n, std::vector<Moneda>(plantilla_.columnas.size()));
    inicio.ultimos.assign(n, std::vector<QString>(plantilla_.columnas.size()));
    inicio.acumulado.assign(plantilla_.columnas.size(), Moneda());
    return inicio;
}

int Maquetador::numeroPaginas() {
    if (totalPaginas_ == 0) {
        const Estado inicio = estadoInicial();
        inicios_.assign(1, inicio);
        int total = 1;
        Compositor c(*this, inicio, Compositor::Modo::Medir, [&](Pagina&, const Estado* siguiente) {
            if (!siguiente) return true;
            ++total;
            if ((siguiente->pagina - 1) % kPaginasPorMarca == 0) inicios_.push_back(*siguiente);
            return true;
        });
        alimentar(c, kAntesDelPrincipio, posicionesMedida_);
        totalPaginas_ = total;
    }
    return totalPaginas_;
}

void Maquetador::alimentar(Compositor& c, qint64 despuesDeRowid,
                           const std::vector<int>& posiciones) {
    Fila fila(campos_.size());
    for (Recordset rs = abrirFilas(despuesDeRowid, posiciones); !rs.Eof() && !c.detenido();
         rs.MoveNext())
        c.procesar(leerFila(rs, posiciones, fila), fila);
    if (!c.detenido()) c.terminar();
}

Pagina Maquetador::pagina(int numero) {
    if (numero < 1 || numero > numeroPaginas()) return Pagina{};
    // Se compone desde la marca anterior más cercana descartando las páginas intermedias.
    const Estado& inicio = inicios_[(numero - 1) / kPaginasPorMarca];
    Pagina resultado;
    Compositor c(*this, inicio, Compositor::Modo::Componer, [&](Pagina& p, const Estado*) {
        if (p.numero != numero) return true;
        resultado = std::move(p);
        return false;
    });
    if (inicio.fin)
        c.terminar();
    else
        alimentar(c, inicio.ultimoRowid, posicionesTodas_);
    return resultado;
}

void Maquetador::recorrer(const std::function<void(const Pagina&)>& alPintar) {
    Compositor c(*this, estadoInicial(), Compositor::Modo::Componer,
                 [&](Pagina& p, const Estado*) {
                     alPintar(p);
                     return true;
                 });
    alimentar(c, kAntesDelPrincipio, posicionesTodas_);
}

void Maquetador::recorrerContinuo(const std::function<void(const LineaPagina&)>& alEscribir) {
    Compositor c(*this, estadoInicial(), Compositor::Modo::Continuo,
                 [&](Pagina& p, const Estado*) {
                     for (const LineaPagina& l : p.lineas) alEscribir(l);
                     return true;
                 });
    alimentar(c, kAntesDelPrincipio, posicionesTodas_);
}

std::vector<Maquetador::CampoDatos> Maquetador::camposDatos() const {
    std::vector<CampoDatos> r;
    auto ya = [&r](const QString& c) {
        for (const CampoDatos& d : r)
            if (d.campo.compare(c, Qt::CaseInsensitive) == 0) return true;
        return false;
    };
    // La clave de cada grupo y las columnas que nombra su cabecera, que no salen en el detalle.
    for (const Grupo& g : plantilla_.grupos) {
        if (!ya(g.campo))
            r.push_back({g.campo, g.titulo.isEmpty() ? g.campo : g.titulo, TipoColumna::Texto});
        for (const auto& m : patronLlaves().globalMatch(g.cabecera)) {
            const QString n = m.captured(1).trimmed();
            if (indice_.contains(n.toLower()) && !ya(n)) r.push_back({n, n, TipoColumna::Texto});
        }
    }
    for (const LineaDetalle& l : plantilla_.lineas) {
        QString rotulo;
        for (const QString& c : l.celdas)
            if (esLiteral(c)) {
                rotulo = textoLiteral(c);
                break;
            }
        for (size_t i = 0; i < plantilla_.columnas.size(); ++i) {
            const QString& c = l.celdas[i];
            if (c.isEmpty() || esLiteral(c) || ya(c)) continue;
            const Columna& col = plantilla_.columnas[i];
            const QString titulo = col.campo.compare(c, Qt::CaseInsensitive) == 0
                                       ? expandir(col.titulo)
                                       : (rotulo + u' ' + expandir(col.titulo)).trimmed();
            r.push_back({c, titulo, col.tipo});
        }
    }
    return r;
}

void Maquetador::recorrerFilas(const std::function<void(const Fila&)>& alLeer) {
    const auto datos = camposDatos();
    std::vector<int> posiciones;
    for (const CampoDatos& d : datos) posiciones.push_back(indice_.value(d.campo.toLower()));
    Fila fila(campos_.size()), salida(datos.size());
    for (Recordset rs = abrirFilas(kAntesDelPrincipio, posiciones); !rs.Eof(); rs.MoveNext()) {
        leerFila(rs, posiciones, fila);
        for (size_t i = 0; i < datos.size(); ++i) salida[i] = fila[posiciones[i]];
        alLeer(salida);
    }
}

}  // namespace orvo
