#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <vector>

struct z_stream_s;

namespace orvo {

// Escritor mínimo de archivos ZIP (deflate) que comprime cada entrada a medida que se escribe,
// sin guardarla entera en memoria. Lanza FalloMotor si no puede escribir.
class EscritorZip {
  public:
    explicit EscritorZip(const QString& ruta);
    ~EscritorZip();
    void abrirEntrada(const QString& nombre);
    void escribir(const QByteArray& datos);
    void cerrarEntrada();
    void terminar();

  private:
    void volcar(int modo);
    void escribirArchivo(const QByteArray& b);

    struct Entrada {
        QByteArray nombre;
        quint32 crc = 0;
        quint64 comprimido = 0, original = 0, desplazamiento = 0;
    };
    QFile archivo_;
    std::vector<Entrada> entradas_;
    z_stream_s* z_ = nullptr;
    QByteArray salida_;
};

}  // namespace orvo
