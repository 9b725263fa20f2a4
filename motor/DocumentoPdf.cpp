#include "DocumentoPdf.h"

#include <zlib.h>

#include <QDateTime>
#include <QFont>
#include <QRawFont>
#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>

#include "Escritores.h"

namespace orvo {

namespace {

// Como QPdfWriter a 600 ppp: la letra se pide en píxeles enteros de ese dispositivo.
constexpr double kPpp = 600;
constexpr double kPuntosPorMm = 72 / 25.4;
constexpr size_t kPaginasEnCola = 8;

quint16 leer16(const QByteArray& t, qsizetype i) {
    return quint16((quint8(t[i]) << 8) | quint8(t[i + 1]));
}
quint32 leer32(const QByteArray& t, qsizetype i) {
    return (quint32(leer16(t, i)) << 16) | leer16(t, i + 2);
}
void poner16(QByteArray& t, quint16 v) {
    t += char(v >> 8);
    t += char(v & 0xff);
}
void poner32(QByteArray& t, quint32 v) {
    poner16(t, quint16(v >> 16));
    poner16(t, quint16(v & 0xffff));
}

// Un número de PDF con dos decimales como mucho, sin pasar por el formato general.
template <class Texto>
void numero(Texto& b, double v) {
    qint64 c = qRound64(v * 100);
    if (c < 0) {
        b += '-';
        c = -c;
    }
    char cifras[24];
    int n = 0;
    qint64 entero = c / 100;
    do {
        cifras[n++] = char('0' + entero % 10);
        entero /= 10;
    } while (entero);
    while (n) b += cifras[--n];
    const int decimales = int(c % 100);
    if (decimales) {
        b += '.';
        b += char('0' + decimales / 10);
        if (decimales % 10) b += char('0' + decimales % 10);
    }
}

template <class Texto>
void hex4(Texto& b, quint32 v) {
    static const char kHex[] = "0123456789ABCDEF";
    for (int d = 12; d >= 0; d -= 4) b += kHex[(v >> d) & 0xf];
}

QByteArray textoPdf(const QString& s) {
    // Texto con su marca UTF-16BE, en hexadecimal: ningún carácter necesita escaparse.
    QByteArray b("<FEFF");
    for (QChar c : s) hex4(b, c.unicode());
    return b + '>';
}

// La compresión más rápida: con la normal el archivo es un 20 % menor, pero el Diario entero
// tarda la mitad más; y aun así ocupa menos que el de QPdfWriter.
QByteArray comprimir(const QByteArray& datos) {
    uLongf largo = compressBound(uLong(datos.size()));
    QByteArray r(qsizetype(largo), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(r.data()), &largo,
                  reinterpret_cast<const Bytef*>(datos.constData()), uLong(datos.size()),
                  Z_BEST_SPEED) != Z_OK)
        throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                         QStringLiteral("No se puede comprimir el PDF: falta memoria"));
    r.resize(qsizetype(largo));
    return r;
}

QFont letraQt(bool negrita, bool cursiva) {
    QFont f(Pintor::familia());
    f.setStretch(QFont::SemiCondensed);
    f.setPixelSize(100);
    f.setBold(negrita);
    f.setItalic(cursiva);
    return f;
}

}  // namespace

// Una letra TrueType leída de sus tablas: glifos, avances e interletraje para medir y
// escribir, y al final la letra reducida a los glifos usados.
class FuentePdf {
  public:
    FuentePdf(const QRawFont& raw, QByteArray recurso, QByteArray etiqueta, bool cursiva)
        : raw_(raw),
          recurso_(std::move(recurso)),
          etiqueta_(std::move(etiqueta)),
          cursiva_(cursiva) {
        for (const char* t : {"head", "hhea", "maxp", "hmtx", "loca", "glyf", "cvt ", "fpgm",
                              "prep"})
            tablas_[t] = raw_.fontTable(t);
        const QByteArray& head = tablas_["head"];
        const QByteArray& hhea = tablas_["hhea"];
        const QByteArray& maxp = tablas_["maxp"];
        if (head.size() < 54 || hhea.size() < 36 || maxp.size() < 6 || tablas_["glyf"].isEmpty())
            return;
        unidades_ = leer16(head, 18);
        locaLarga_ = leer16(head, 50) == 1;
        ascenso_ = qint16(leer16(hhea, 4));
        descenso_ = -qint16(leer16(hhea, 6));
        metricas_ = leer16(hhea, 34);
        glifos_ = leer16(maxp, 4);
        if (unidades_ == 0 || metricas_ == 0) return;
        usados_.assign(glifos_, false);
        const QByteArray& hmtx = tablas_["hmtx"];
        for (int g = 0; g < glifos_; ++g) {
            const int i = std::min(g, metricas_ - 1);
            avances_.push_back(qsizetype(4 * i + 2) <= hmtx.size() ? leer16(hmtx, 4 * i) : 0);
        }
        unicode_.assign(glifos_, 0);
        for (int c = 0; c < 256; ++c) {
            const QChar q(c);
            quint32 g = 0;
            int n = 1;
            raw_.glyphIndexesForChars(&q, 1, &g, &n);
            latin1_[c] = quint16(g);
        }
        conPares_.assign(glifos_, false);
        leerInterletraje(raw_.fontTable("kern"));
        valida_ = true;
    }

    bool valida() const { return valida_; }
    bool usada() const { return usada_; }
    const QByteArray& recurso() const { return recurso_; }
    int unidades() const { return unidades_; }
    int ascenso() const { return ascenso_; }
    int descenso() const { return descenso_; }

    // Los glifos del texto y, tras cada uno, su ajuste de interletraje con el siguiente;
    // devuelve el ancho total. En unidades de la letra.
    int glifos(const QString& texto, std::vector<quint16>& g, std::vector<int>& interletraje) {
        codigos_.clear();
        g.clear();
        interletraje.clear();
        for (qsizetype i = 0; i < texto.size(); ++i) {
            const char16_t c = texto[i].unicode();
            if (c < 256) {
                g.push_back(latin1_[c]);
                codigos_.push_back(c);
                continue;
            }
            const bool par = QChar::isHighSurrogate(c) && i + 1 < texto.size() &&
                             texto[i + 1].isLowSurrogate();
            const char32_t u = par ? QChar::surrogateToUcs4(c, texto[i + 1].unicode()) : c;
            auto it = otros_.find(u);
            if (it == otros_.end()) {
                quint32 glifo = 0;
                int n = 1;
                raw_.glyphIndexesForChars(texto.constData() + i, par ? 2 : 1, &glifo, &n);
                it = otros_.emplace(u, quint16(glifo)).first;
            }
            g.push_back(it->second);
            codigos_.push_back(u);
            if (par) ++i;
        }
        int total = 0;
        for (size_t i = 0; i < g.size(); ++i) {
            int k = 0;
            if (i + 1 < g.size() && g[i] < glifos_ && conPares_[g[i]]) {
                const auto it = kern_.find((quint32(g[i]) << 16) | g[i + 1]);
                if (it != kern_.end()) k = it->second;
            }
            interletraje.push_back(k);
            total += avance(g[i]) + k;
        }
        return total;
    }
    // Anota los glifos que se escriben (glifos() deja sus caracteres en codigos_).
    void usar(const std::vector<quint16>& g) {
        usada_ = true;
        for (size_t i = 0; i < g.size(); ++i) {
            if (g[i] >= glifos_) continue;
            if (!usados_[g[i]]) {
                usados_[g[i]] = true;
                unicode_[g[i]] = codigos_[i];
            }
        }
    }

    int avance(quint16 g) const { return g < glifos_ ? avances_[g] : 0; }

    // Escribe la letra y devuelve su objeto Type0.
    int escribir(DocumentoPdf& doc) {
        auto nuevo = [&doc] { return doc.nuevoObjeto(); };
        auto objeto = [&doc](int id, const QByteArray& texto) { doc.escribirObjeto(id, texto); };
        const QByteArray archivo = reducida();
        const int idArchivo = nuevo();
        doc.escribirFlujo(idArchivo, comprimir(archivo), true,
                          "/Length1 " + QByteArray::number(archivo.size()));
        const QByteArray nombre = etiqueta_ + '+' + nombrePostScript();
        const QByteArray& head = tablas_.at("head");
        auto milesimas = [this](int v) { return QByteArray::number(qRound(v * 1000.0 / unidades_)); };
        const int idDescriptor = nuevo();
        objeto(idDescriptor,
               "<< /Type /FontDescriptor /FontName /" + nombre + " /Flags " +
                   QByteArray::number(cursiva_ ? 32 + 64 : 32) + " /FontBBox [" +
                   milesimas(qint16(leer16(head, 36))) + ' ' + milesimas(qint16(leer16(head, 38))) +
                   ' ' + milesimas(qint16(leer16(head, 40))) + ' ' +
                   milesimas(qint16(leer16(head, 42))) + "] /ItalicAngle " +
                   (cursiva_ ? "-11" : "0") + " /Ascent " + milesimas(ascenso_) + " /Descent -" +
                   milesimas(descenso_) + " /CapHeight " + milesimas(ascenso_) +
                   " /StemV 80 /FontFile2 " + QByteArray::number(idArchivo) + " 0 R >>");
        QByteArray anchos("[");
        QByteArray mapa;
        int enMapa = 0;
        QByteArray bloques;
        for (int g = 0; g < glifos_; ++g) {
            if (!usados_[g]) continue;
            anchos += QByteArray::number(g) + " [" + milesimas(avance(quint16(g))) + "] ";
            if (!unicode_[g]) continue;
            mapa += '<';
            hex4(mapa, quint32(g));
            mapa += "> <";
            const QString u = QString::fromUcs4(&unicode_[g], 1);
            for (QChar c : u) hex4(mapa, c.unicode());
            mapa += ">\n";
            if (++enMapa == 100) {
                bloques += "100 beginbfchar\n" + mapa + "endbfchar\n";
                mapa.clear();
                enMapa = 0;
            }
        }
        anchos += ']';
        if (enMapa) bloques += QByteArray::number(enMapa) + " beginbfchar\n" + mapa + "endbfchar\n";
        const int idCid = nuevo();
        objeto(idCid, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + nombre +
                          " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 "
                          ">> /FontDescriptor " +
                          QByteArray::number(idDescriptor) + " 0 R /DW 1000 /W " + anchos +
                          " /CIDToGIDMap /Identity >>");
        const int idUnicode = nuevo();
        doc.escribirFlujo(idUnicode,
              comprimir("/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> "
                        "def\n/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n" +
                        bloques +
                        "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n"),
              true, {});
        const int idFuente = nuevo();
        objeto(idFuente, "<< /Type /Font /Subtype /Type0 /BaseFont /" + nombre +
                             " /Encoding /Identity-H /DescendantFonts [" +
                             QByteArray::number(idCid) + " 0 R] /ToUnicode " +
                             QByteArray::number(idUnicode) + " 0 R >>");
        return idFuente;
    }

  private:
    void leerInterletraje(const QByteArray& kern) {
        if (kern.size() < 4 || leer16(kern, 0) != 0) return;
        qsizetype p = 4;
        for (int t = leer16(kern, 2); t > 0 && p + 6 <= kern.size(); --t) {
            const int largo = leer16(kern, p + 2);
            const quint16 cobertura = leer16(kern, p + 4);
            // Formato 0, horizontal, sin mínimos ni perpendicular: la tabla de pares de siempre.
            if ((cobertura & 0xff0f) == 1 && p + 14 <= kern.size()) {
                const int pares = leer16(kern, p + 6);
                for (int i = 0; i < pares && p + 14 + 6 * i + 6 <= kern.size(); ++i) {
                    const qsizetype q = p + 14 + 6 * i;
                    kern_[leer32(kern, q)] = qint16(leer16(kern, q + 4));
                    if (leer16(kern, q) < glifos_) conPares_[leer16(kern, q)] = true;
                }
            }
            p += largo;
        }
    }

    QByteArray nombrePostScript() const {
        const QByteArray name = raw_.fontTable("name");
        if (name.size() >= 6) {
            const int n = leer16(name, 2), inicio = leer16(name, 4);
            for (int i = 0; i < n && 6 + 12 * i + 12 <= name.size(); ++i) {
                const qsizetype r = 6 + 12 * i;
                if (leer16(name, r + 6) != 6) continue;
                const int plataforma = leer16(name, r), largo = leer16(name, r + 8);
                const QByteArray bytes = name.mid(inicio + leer16(name, r + 10), largo);
                QByteArray s;
                if (plataforma == 3 || plataforma == 0)
                    for (qsizetype k = 0; k + 1 < bytes.size(); k += 2) s += bytes[k + 1];
                else
                    s = bytes;
                s.replace(' ', "");
                if (!s.isEmpty()) return s;
            }
        }
        return raw_.familyName().remove(u' ').toLatin1();
    }

    // Los glifos usados, con las piezas de los compuestos, y las tablas que pide un PDF: la
    // numeración de glifos no cambia (los no usados quedan vacíos).
    QByteArray reducida() const {
        const QByteArray& glyf = tablas_.at("glyf");
        const QByteArray& loca = tablas_.at("loca");
        auto inicio = [&](int g) -> qsizetype {
            if (locaLarga_) return 4 * g + 4 <= loca.size() ? leer32(loca, 4 * g) : 0;
            return 2 * g + 2 <= loca.size() ? 2 * qsizetype(leer16(loca, 2 * g)) : 0;
        };
        std::vector<bool> dentro(usados_);
        if (!dentro.empty()) dentro[0] = true;  // .notdef
        std::vector<int> pendientes;
        for (int g = 0; g < glifos_; ++g)
            if (dentro[g]) pendientes.push_back(g);
        while (!pendientes.empty()) {
            const int g = pendientes.back();
            pendientes.pop_back();
            const qsizetype a = inicio(g), b = inicio(g + 1);
            if (b - a < 10 || qint16(leer16(glyf, a)) >= 0) continue;
            qsizetype p = a + 10;
            for (quint16 banderas = 0x20; (banderas & 0x20) && p + 4 <= b;) {
                banderas = leer16(glyf, p);
                const quint16 pieza = leer16(glyf, p + 2);
                if (pieza < glifos_ && !dentro[pieza]) {
                    dentro[pieza] = true;
                    pendientes.push_back(pieza);
                }
                p += 4 + ((banderas & 1) ? 4 : 2);
                if (banderas & 8)
                    p += 2;
                else if (banderas & 0x40)
                    p += 4;
                else if (banderas & 0x80)
                    p += 8;
            }
        }
        QByteArray nuevoGlyf, nuevoLoca;
        for (int g = 0; g < glifos_; ++g) {
            poner32(nuevoLoca, quint32(nuevoGlyf.size()));
            if (!dentro[g]) continue;
            nuevoGlyf += glyf.mid(inicio(g), inicio(g + 1) - inicio(g));
            while (nuevoGlyf.size() % 4) nuevoGlyf += '\0';
        }
        poner32(nuevoLoca, quint32(nuevoGlyf.size()));
        QByteArray head = tablas_.at("head");
        head[50] = 0;
        head[51] = 1;  // loca larga
        for (int i = 8; i < 12; ++i) head[i] = 0;
        std::map<QByteArray, QByteArray> t{{"head", head}, {"glyf", nuevoGlyf}, {"loca", nuevoLoca}};
        for (const char* n : {"hhea", "maxp", "hmtx", "cvt ", "fpgm", "prep"})
            if (!tablas_.at(n).isEmpty()) t[n] = tablas_.at(n);
        QByteArray r;
        const int n = int(t.size());
        int potencia = 1, exponente = 0;
        while (potencia * 2 <= n) {
            potencia *= 2;
            ++exponente;
        }
        poner32(r, 0x00010000);
        poner16(r, quint16(n));
        poner16(r, quint16(potencia * 16));
        poner16(r, quint16(exponente));
        poner16(r, quint16(n * 16 - potencia * 16));
        quint32 desplazamiento = quint32(12 + 16 * n);
        QByteArray cuerpo;
        for (auto& [nombre, datos] : t) {
            QByteArray relleno = datos;
            while (relleno.size() % 4) relleno += '\0';
            quint32 suma = 0;
            for (qsizetype i = 0; i < relleno.size(); i += 4) suma += leer32(relleno, i);
            r += nombre;
            poner32(r, suma);
            poner32(r, desplazamiento + quint32(cuerpo.size()));
            poner32(r, quint32(datos.size()));
            cuerpo += relleno;
        }
        return r + cuerpo;
    }

    QRawFont raw_;
    QByteArray recurso_, etiqueta_;
    bool cursiva_;
    std::map<QByteArray, QByteArray> tablas_;
    bool valida_ = false;
    bool usada_ = false;
    bool locaLarga_ = false;
    int unidades_ = 0, ascenso_ = 0, descenso_ = 0, metricas_ = 0, glifos_ = 0;
    std::array<quint16, 256> latin1_{};
    std::unordered_map<char32_t, quint16> otros_;
    std::vector<quint16> avances_;
    std::unordered_map<quint32, qint16> kern_;  // (izquierdo << 16 | derecho) -> ajuste
    std::vector<bool> conPares_;                // el glifo tiene ajuste con alguno a su derecha
    std::vector<bool> usados_;
    std::vector<char32_t> unicode_;
    std::vector<char32_t> codigos_;  // los caracteres de los últimos glifos()
};

// Las operaciones de una página, en puntos desde abajo a la izquierda.
class DocumentoPdf::LienzoPdf : public Lienzo {
  public:
    explicit LienzoPdf(DocumentoPdf& doc) : doc_(doc) {}

    void empezar(int altoPt) {
        altoPt_ = altoPt;
        b_.clear();
        b_.reserve(32768);
        b_ += "2 J\n";  // los extremos cuadrados de QPen
        enTexto_ = false;
        fuente_ = nullptr;
        tamano_ = 0;
        grosor_ = -1;
        trazo_ = QColor();
    }
    QByteArray contenido() {
        if (enTexto_) b_ += "ET\n";
        enTexto_ = false;
        return QByteArray(b_.data(), qsizetype(b_.size()));
    }

    double ancho(const Letra& l, const QString& texto, double) override {
        FuentePdf& f = doc_.fuente(l);
        const int unidades = f.glifos(texto, g_, k_);
        return unidades * mmPorUnidad(f, l);
    }

    QString acortar(const Letra& l, const QString& texto, double ancho) override {
        const QString puntos(QChar(0x2026));
        const double disponible = ancho - this->ancho(l, puntos, 0);
        FuentePdf& f = doc_.fuente(l);
        f.glifos(texto, g_, k_);
        const double escala = mmPorUnidad(f, l);
        double usado = 0;
        qsizetype n = 0;
        for (; n < qsizetype(g_.size()); ++n) {
            const double siguiente = usado + f.avance(g_[n]) * escala;
            if (siguiente > disponible) break;
            usado = siguiente + k_[n] * escala;
        }
        return texto.left(n) + puntos;
    }

    void texto(const Letra& l, const QRectF& r, Alineacion a, const QString& texto) override {
        FuentePdf& f = doc_.fuente(l);
        const int unidades = f.glifos(texto, g_, k_);
        f.usar(g_);
        const double escala = mmPorUnidad(f, l);
        const double ancho = unidades * escala;
        double x = r.left();
        if (a == Alineacion::Derecha)
            x = r.right() - ancho;
        else if (a == Alineacion::Centro)
            x = r.left() + (r.width() - ancho) / 2;
        const double alto = (f.ascenso() + f.descenso()) * escala;
        const double base = r.top() + (r.height() - alto) / 2 + f.ascenso() * escala;
        if (!enTexto_) {
            b_ += "BT\n";
            enTexto_ = true;
            fuente_ = nullptr;
        }
        const double tamano = pixeles(l) * 72 / kPpp;
        if (fuente_ != &f || tamano_ != tamano) {
            b_ += '/';
            b_ += f.recurso().constData();
            b_ += ' ';
            numero(b_, tamano);
            b_ += " Tf\n";
            fuente_ = &f;
            tamano_ = tamano;
        }
        b_ += "1 0 0 1 ";
        numero(b_, x * kPuntosPorMm);
        b_ += ' ';
        numero(b_, altoPt_ - base * kPuntosPorMm);
        const bool ajustes = std::any_of(k_.begin(), k_.end(), [](int k) { return k != 0; });
        b_ += ajustes ? " Tm [<" : " Tm <";
        for (size_t i = 0; i < g_.size(); ++i) {
            hex4(b_, g_[i]);
            if (k_[i] && i + 1 < g_.size()) {
                b_ += "> ";
                b_ += std::to_string(-qRound(k_[i] * 1000.0 / f.unidades()));
                b_ += " <";
            }
        }
        b_ += ajustes ? ">] TJ\n" : "> Tj\n";
    }

    void linea(const QPointF& a, const QPointF& b, double grosor, const QColor& color) override {
        salirDelTexto();
        if (grosor != grosor_) {
            numero(b_, grosor * kPuntosPorMm);
            b_ += " w\n";
            grosor_ = grosor;
        }
        if (color != trazo_) {
            b_ += colorPdf(color) + " RG\n";
            trazo_ = color;
        }
        punto(a);
        b_ += " m ";
        punto(b);
        b_ += " l S\n";
    }

    void rellenar(const QRectF& r, const QColor& color) override {
        salirDelTexto();
        b_ += colorPdf(color) + " rg ";
        numero(b_, r.left() * kPuntosPorMm);
        b_ += ' ';
        numero(b_, altoPt_ - r.bottom() * kPuntosPorMm);
        b_ += ' ';
        numero(b_, r.width() * kPuntosPorMm);
        b_ += ' ';
        numero(b_, r.height() * kPuntosPorMm);
        b_ += " re f 0 g\n";
    }

  private:
    static int pixeles(const Letra& l) { return qRound(l.puntos * kPpp / 72); }
    static double mmPorUnidad(const FuentePdf& f, const Letra& l) {
        return pixeles(l) * 25.4 / kPpp / f.unidades();
    }
    static std::string colorPdf(const QColor& c) {
        std::string r;
        numero(r, c.redF());
        r += ' ';
        numero(r, c.greenF());
        r += ' ';
        numero(r, c.blueF());
        return r;
    }
    void salirDelTexto() {
        if (!enTexto_) return;
        b_ += "ET\n";
        enTexto_ = false;
    }
    void punto(const QPointF& p) {
        numero(b_, p.x() * kPuntosPorMm);
        b_ += ' ';
        numero(b_, altoPt_ - p.y() * kPuntosPorMm);
    }

    DocumentoPdf& doc_;
    int altoPt_ = 0;
    std::string b_;  // más deprisa que QByteArray para añadir de carácter en carácter
    bool enTexto_ = false;
    FuentePdf* fuente_ = nullptr;
    double tamano_ = 0;
    double grosor_ = -1;
    QColor trazo_;
    std::vector<quint16> g_;
    std::vector<int> k_;
};

bool DocumentoPdf::posible() {
    static const bool posible = [] {
        for (bool negrita : {false, true})
            if (QRawFont::fromFont(letraQt(negrita, false)).fontTable("glyf").isEmpty())
                return false;
        return true;
    }();
    return posible;
}

DocumentoPdf::DocumentoPdf(QIODevice& salida, const QString& archivo, const QString& titulo)
    : salida_(salida), archivo_(archivo), titulo_(titulo), desplazamientos_(1, 0) {
    lienzo_ = std::make_unique<LienzoPdf>(*this);
    escribir("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    escritor_ = std::thread([this] { comprimirYEscribir(); });
}

DocumentoPdf::~DocumentoPdf() {
    if (escritor_.joinable()) {
        {
            std::lock_guard<std::mutex> c(cerrojo_);
            sinMas_ = true;
        }
        aviso_.notify_all();
        escritor_.join();
    }
}

FuentePdf& DocumentoPdf::fuente(const Lienzo::Letra& l) {
    const int estilo = (l.negrita ? 1 : 0) + (l.cursiva ? 2 : 0);
    std::unique_ptr<FuentePdf>& f = fuentes_[estilo];
    if (!f) {
        f = std::make_unique<FuentePdf>(QRawFont::fromFont(letraQt(l.negrita, l.cursiva)),
                                        "F" + QByteArray::number(estilo),
                                        "ORVOA" + QByteArray(1, char('A' + estilo)), l.cursiva);
        if (!f->valida())
            throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                             QStringLiteral("La letra %1 no se puede incrustar en el PDF")
                                 .arg(Pintor::familia()));
    }
    return *f;
}

int DocumentoPdf::nuevoObjeto() {
    desplazamientos_.push_back(0);
    return int(desplazamientos_.size() - 1);
}

void DocumentoPdf::escribir(const QByteArray& datos) {
    // Sin espacio no se sigue: un informe de un millón de filas no espera al final para fallar.
    if (salida_.write(datos) != datos.size())
        throw FalloEscritura(archivo_, salida_.errorString());
    posicion_ += datos.size();
}

void DocumentoPdf::empezarObjeto(int id) {
    desplazamientos_[size_t(id)] = posicion_;
    escribir(QByteArray::number(id) + " 0 obj\n");
}

void DocumentoPdf::escribirObjeto(int id, const QByteArray& texto) {
    empezarObjeto(id);
    escribir(texto + "\nendobj\n");
}

void DocumentoPdf::escribirFlujo(int id, const QByteArray& datos, bool comprimido,
                                 const QByteArray& extra) {
    empezarObjeto(id);
    escribir("<< /Length " + QByteArray::number(datos.size()) +
             (comprimido ? " /Filter /FlateDecode" : "") + (extra.isEmpty() ? "" : " " + extra) +
             " >>\nstream\n");
    escribir(datos);
    escribir("\nendstream\nendobj\n");
}

Lienzo& DocumentoPdf::nuevaPagina(QSizeF paginaMm) {
    if (paginas_ > 0) enviarPagina();
    ++paginas_;
    // En puntos enteros, como QPageSize: A4 es 595 x 842.
    cajas_.emplace_back(qRound(paginaMm.width() * kPuntosPorMm),
                        qRound(paginaMm.height() * kPuntosPorMm));
    lienzo_->empezar(cajas_.back().height());
    return *lienzo_;
}

void DocumentoPdf::enviarPagina() {
    std::unique_lock<std::mutex> c(cerrojo_);
    // Unas pocas páginas en espera como mucho: la memoria no crece con el informe.
    aviso_.wait(c, [this] { return cola_.size() < kPaginasEnCola || fallo_; });
    if (fallo_) std::rethrow_exception(fallo_);
    cola_.push_back({lienzo_->contenido(), paginas_});
    c.unlock();
    aviso_.notify_all();
}

void DocumentoPdf::comprimirYEscribir() {
    for (;;) {
        Pendiente p;
        {
            std::unique_lock<std::mutex> c(cerrojo_);
            aviso_.wait(c, [this] { return !cola_.empty() || sinMas_; });
            if (cola_.empty()) return;
            p = std::move(cola_.front());
            cola_.pop_front();
        }
        aviso_.notify_all();
        try {
            const int id = nuevoObjeto();
            contenidos_.push_back(id);
            escribirFlujo(id, comprimir(p.contenido), true);
        } catch (...) {
            std::lock_guard<std::mutex> c(cerrojo_);
            fallo_ = std::current_exception();
            cola_.clear();
            aviso_.notify_all();
            return;
        }
    }
}

void DocumentoPdf::terminar(const std::function<void(Lienzo&, int)>& encima) {
    if (paginas_ > 0) enviarPagina();
    {
        std::lock_guard<std::mutex> c(cerrojo_);
        sinMas_ = true;
    }
    aviso_.notify_all();
    escritor_.join();
    if (fallo_) std::rethrow_exception(fallo_);

    // Lo de encima va en un segundo contenido de cada página, sin comprimir: son unas letras.
    std::vector<int> encimas;
    for (int n = 1; n <= paginas_; ++n) {
        lienzo_->empezar(cajas_[size_t(n - 1)].height());
        if (encima) encima(*lienzo_, n);
        encimas.push_back(nuevoObjeto());
        escribirFlujo(encimas.back(), lienzo_->contenido(), false);
    }
    auto objeto = [this](int id, const QByteArray& texto) { escribirObjeto(id, texto); };
    QByteArray letras;
    for (const auto& f : fuentes_)
        if (f && f->usada())
            letras += '/' + f->recurso() + ' ' + QByteArray::number(f->escribir(*this)) + " 0 R ";
    const int recursos = nuevoObjeto();
    objeto(recursos, "<< /Font << " + letras + ">> >>");
    const int arbol = nuevoObjeto();
    QByteArray hijos;
    for (size_t n = 0; n < size_t(paginas_); ++n) {
        const int id = nuevoObjeto();
        objeto(id, "<< /Type /Page /Parent " + QByteArray::number(arbol) + " 0 R /MediaBox [0 0 " +
                       QByteArray::number(cajas_[n].width()) + ' ' +
                       QByteArray::number(cajas_[n].height()) + "] /Contents [" +
                       QByteArray::number(contenidos_[n]) + " 0 R " +
                       QByteArray::number(encimas[n]) + " 0 R] >>");
        hijos += QByteArray::number(id) + " 0 R ";
    }
    objeto(arbol, "<< /Type /Pages /Kids [" + hijos + "] /Count " +
                      QByteArray::number(paginas_) + " /Resources " +
                      QByteArray::number(recursos) + " 0 R >>");
    const int catalogo = nuevoObjeto();
    objeto(catalogo, "<< /Type /Catalog /Pages " + QByteArray::number(arbol) + " 0 R >>");
    const int info = nuevoObjeto();
    objeto(info, "<< /Title " + textoPdf(titulo_) + " /Creator " +
                     textoPdf(QStringLiteral("OrvoContabilidadInf")) + " /Producer " +
                     textoPdf(QStringLiteral("OrvoContabilidadInf")) + " /CreationDate (D:" +
                     QDateTime::currentDateTimeUtc().toString(u"yyyyMMddHHmmss").toLatin1() +
                     "Z) >>");
    const qint64 xref = posicion_;
    QByteArray tabla = "xref\n0 " + QByteArray::number(desplazamientos_.size()) +
                       "\n0000000000 65535 f \n";
    for (size_t i = 1; i < desplazamientos_.size(); ++i)
        tabla += QByteArray::number(desplazamientos_[i]).rightJustified(10, '0') + " 00000 n \n";
    escribir(tabla + "trailer\n<< /Size " + QByteArray::number(desplazamientos_.size()) +
             " /Root " + QByteArray::number(catalogo) + " 0 R /Info " + QByteArray::number(info) +
             " 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
}

}  // namespace orvo
