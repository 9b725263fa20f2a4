#pragma once

#include <QFile>
#include <QString>

namespace orvo {

// Archivo de salida que se escribe entero o no se escribe, como QSaveFile, pero también para
// las bibliotecas que escriben por nombre (libxlsxwriter): todo va a un temporal oculto en la
// misma carpeta, y solo confirmar() lo pone en lugar del archivo pedido, con un cambio de
// nombre que no deja ver nada a medias. Sin confirmar (un fallo, una excepción), el temporal
// se borra al destruirse y lo que hubiera con ese nombre queda como estaba.
class ArchivoEntero {
  public:
    explicit ArchivoEntero(const QString& destino);
    ~ArchivoEntero();
    ArchivoEntero(const ArchivoEntero&) = delete;
    ArchivoEntero& operator=(const ArchivoEntero&) = delete;

    // Crea el temporal vacío y abierto para escribir, con los permisos del archivo al que
    // sustituirá o, si no hay ninguno, los de un archivo nuevo. false si no se puede (error()).
    bool abrir();
    QFile& dispositivo() { return temporal_; }
    // Para quien escribe por nombre: lo que escriba en esta ruta es lo que se confirma.
    const QString& rutaTemporal() const { return rutaTemporal_; }
    // Lleva el temporal al disco y lo pone en lugar del destino. false, sin tocar el destino,
    // si no se puede o si falló alguna escritura en dispositivo().
    bool confirmar();
    const QString& error() const { return error_; }
    // El motivo de la primera escritura en dispositivo() que falló; vacío si no ha fallado
    // ninguna. Para dejar de escribir en cuanto falla, sin esperar a confirmar().
    const QString& falloEscritura() const { return temporal_.motivo; }

  private:
    // Recuerda una escritura que falló aunque las siguientes salgan bien (como QSaveFile).
    class Temporal : public QFile {
      public:
        void anotarFallo();
        bool fallo = false;
        QString motivo;  // el de la primera escritura que falló

      protected:
        qint64 writeData(const char* datos, qint64 largo) override;
    };

    QString destino_;
    QString rutaTemporal_;
    Temporal temporal_;
    QString error_;
    bool confirmado_ = false;
};

}  // namespace orvo
