#include "Zip.h"

#include <zlib.h>

#include "Plantilla.h"

namespace orvo {

namespace {
void le16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xff));
    b.append(char(v >> 8));
}
void le32(QByteArray& b, quint32 v) {
    le16(b, quint16(v & 0xffff));
    le16(b, quint16(v >> 16));
}
constexpr quint16 kFechaDos = (2024 - 1980) << 9 | 1 << 5 | 1;  // fecha fija: salida reproducible
}  // namespace

EscritorZip::EscritorZip(const QString& ruta) : archivo_(ruta) {
    if (!archivo_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                         QStringLiteral("No se puede escribir el archivo %1: %2")
                             .arg(ruta, archivo_.errorString()));
    salida_.resize(64 * 1024);
}

EscritorZip::~EscritorZip() {
    if (z_) {
        deflateEnd(z_);
        delete z_;
    }
}

void EscritorZip::escribirArchivo(const QByteArray& b) {
    if (archivo_.write(b) != b.size())
        throw FalloMotor(ErrorMotor::kSalidaNoEscribible,
                         QStringLiteral("No se puede escribir el archivo %1: %2")
                             .arg(archivo_.fileName(), archivo_.errorString()));
}

void EscritorZip::abrirEntrada(const QString& nombre) {
    Entrada e;
    e.nombre = nombre.toUtf8();
    e.crc = crc32(0, nullptr, 0);
    e.desplazamiento = quint64(archivo_.pos());
    QByteArray cab;
    le32(cab, 0x04034b50);
    le16(cab, 20);
    le16(cab, 0x0808);  // tamaños al final (descriptor) y nombres en UTF-8
    le16(cab, 8);       // deflate
    le16(cab, 0);
    le16(cab, kFechaDos);
    le32(cab, 0);
    le32(cab, 0);
    le32(cab, 0);
    le16(cab, quint16(e.nombre.size()));
    le16(cab, 0);
    cab += e.nombre;
    escribirArchivo(cab);
    entradas_.push_back(e);
    z_ = new z_stream{};
    deflateInit2(z_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
}

void EscritorZip::volcar(int modo) {
    do {
        z_->next_out = reinterpret_cast<Bytef*>(salida_.data());
        z_->avail_out = uInt(salida_.size());
        deflate(z_, modo);
        const qsizetype n = salida_.size() - z_->avail_out;
        if (n > 0) {
            escribirArchivo(salida_.left(n));
            entradas_.back().comprimido += quint64(n);
        }
    } while (z_->avail_out == 0);
}

void EscritorZip::escribir(const QByteArray& datos) {
    Entrada& e = entradas_.back();
    e.crc = crc32(e.crc, reinterpret_cast<const Bytef*>(datos.constData()), uInt(datos.size()));
    e.original += quint64(datos.size());
    z_->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(datos.constData()));
    z_->avail_in = uInt(datos.size());
    volcar(Z_NO_FLUSH);
}

void EscritorZip::cerrarEntrada() {
    z_->next_in = nullptr;
    z_->avail_in = 0;
    volcar(Z_FINISH);
    deflateEnd(z_);
    delete z_;
    z_ = nullptr;
    const Entrada& e = entradas_.back();
    QByteArray d;
    le32(d, 0x08074b50);
    le32(d, e.crc);
    le32(d, quint32(e.comprimido));
    le32(d, quint32(e.original));
    escribirArchivo(d);
}

void EscritorZip::terminar() {
    const quint64 inicio = quint64(archivo_.pos());
    QByteArray c;
    for (const Entrada& e : entradas_) {
        le32(c, 0x02014b50);
        le16(c, 20);
        le16(c, 20);
        le16(c, 0x0808);
        le16(c, 8);
        le16(c, 0);
        le16(c, kFechaDos);
        le32(c, e.crc);
        le32(c, quint32(e.comprimido));
        le32(c, quint32(e.original));
        le16(c, quint16(e.nombre.size()));
        le16(c, 0);
        le16(c, 0);
        le16(c, 0);
        le16(c, 0);
        le32(c, 0);
        le32(c, quint32(e.desplazamiento));
        c += e.nombre;
    }
    const quint64 tam = quint64(c.size());
    le32(c, 0x06054b50);
    le16(c, 0);
    le16(c, 0);
    le16(c, quint16(entradas_.size()));
    le16(c, quint16(entradas_.size()));
    le32(c, quint32(tam));
    le32(c, quint32(inicio));
    le16(c, 0);
    escribirArchivo(c);
    archivo_.close();
}

}  // namespace orvo
