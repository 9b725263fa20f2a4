#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "Pintor.h"

namespace orvo {

class FuentePdf;

// PDF escrito directamente para lo poco que pinta el Pintor: texto de una línea con la letra
// del informe (TrueType incrustada con solo los glifos usados y su tabla a Unicode, para que
// el texto se pueda copiar y buscar), rayas y rellenos. Cada página va en un solo texto de
// operaciones, y otro hilo la comprime y la escribe mientras se pinta la siguiente.
class DocumentoPdf {
  public:
    // false si la letra del informe no es TrueType: entonces hay que escribir con QPdfWriter.
    static bool posible();

    // Escribe en 'salida'; 'archivo' es el nombre para los mensajes de fallo.
    DocumentoPdf(QIODevice& salida, const QString& archivo, const QString& titulo);
    ~DocumentoPdf();
    DocumentoPdf(const DocumentoPdf&) = delete;
    DocumentoPdf& operator=(const DocumentoPdf&) = delete;

    // Termina la página anterior, si la hay, y da el lienzo de una nueva de ese tamaño.
    Lienzo& nuevaPagina(QSizeF paginaMm);
    int paginas() const { return paginas_; }
    // Pinta con 'encima' sobre cada página (desde 1) lo que solo se sabe al final, como el
    // total de páginas, y cierra el documento. Lanza FalloEscritura si no se puede escribir.
    void terminar(const std::function<void(Lienzo&, int pagina)>& encima = {});

  private:
    class LienzoPdf;
    friend class LienzoPdf;
    friend class FuentePdf;
    struct Pendiente {
        QByteArray contenido;
        int pagina = 0;
    };
    int nuevoObjeto();
    void empezarObjeto(int id);
    void escribir(const QByteArray& datos);
    void escribirObjeto(int id, const QByteArray& texto);
    // Un flujo ya comprimido (o no, si 'comprimido' es false) como objeto 'id'.
    void escribirFlujo(int id, const QByteArray& datos, bool comprimido,
                       const QByteArray& extra = {});
    void enviarPagina();
    void comprimirYEscribir();  // el hilo de escritura
    FuentePdf& fuente(const Lienzo::Letra& l);

    QIODevice& salida_;
    QString archivo_;
    QString titulo_;
    qint64 posicion_ = 0;
    std::vector<qint64> desplazamientos_;  // por número de objeto; 0 el objeto libre
    std::vector<int> contenidos_;          // objeto del contenido de cada página
    std::vector<QSize> cajas_;             // tamaño de cada página en puntos
    std::array<std::unique_ptr<FuentePdf>, 4> fuentes_;  // por negrita y cursiva
    std::unique_ptr<LienzoPdf> lienzo_;
    int paginas_ = 0;

    // Entre el hilo que pinta y el que comprime y escribe.
    std::mutex cerrojo_;
    std::condition_variable aviso_;
    std::deque<Pendiente> cola_;
    bool sinMas_ = false;
    std::exception_ptr fallo_;  // del hilo de escritura
    std::thread escritor_;
};

}  // namespace orvo
