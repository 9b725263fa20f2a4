#pragma once

#include <QStringList>
#include <array>
#include <vector>

#include "FormularioInforme.h"

class QFrame;
class QGroupBox;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace orvo {

// Nombres y rótulos que distinguen a cada diálogo con pestaña de desgloses.
struct TextosNiveles {
    std::array<QString, 4> botones;  // AGREGAR, TODOS, TODOS de vuelta, QUITAR
    QString disponibles;             // rótulo de la lista de la izquierda
    QString seleccionados;           // rótulo de la lista de la derecha
};

// Diálogo de informe con dos pestañas: "GENERAL", que cada diálogo llena con sus controles, y
// "DESGLOSE SUBCUENTAS", con los niveles de cuenta disponibles (lista 1) y seleccionados
// (lista 0) y los cuatro botones que los pasan de una a otra. Las dos listas se mantienen en
// orden de nivel, tengan los niveles que tengan, porque el primero seleccionado es el nivel
// superior del informe y el último el más profundo.
class FormularioNiveles : public FormularioInforme {
    Q_OBJECT
  public:
    // Para el ejecutor de órdenes: "lstBalance0" = "3,7" deja seleccionados los niveles 3 y 7
    // y los demás disponibles; "mstBalance" = "1" cambia de pestaña.
    bool fijarControlPropio(const QString& nombre, const QString& valor, QString* error) override;

    // Pasa los elementos seleccionados de 'origen' a 'destino', con su dato.
    void MoverSeleccionados(QListWidget& origen, QListWidget& destino);
    static bool HayElementoSeleccionado(const QListWidget& lista);

    QTabWidget* pestanas() const { return pestanas_; }
    QListWidget* lista(int indice) const { return listas_[indice]; }
    QPushButton* botonLista(int indice) const { return botonesListas_[indice]; }

  protected:
    // La raíz da los nombres: "Balance" -> mstBalance, fraBalance0, lstBalance1…
    FormularioNiveles(Componente& componente, const QString& modulo, const QString& raiz,
                      const TextosNiveles& textos, QWidget* padre);

    // La pantalla: las piezas en la pestaña GENERAL, las pestañas, la barra de progreso y
    // ACEPTAR/CANCELAR.
    void enPestanas(std::initializer_list<Pieza> general);
    // Marco "SUBCUENTAS" con los rótulos de estos diálogos.
    QGroupBox* subcuentasNiveles();

    void cargarPropio() override;
    void empresaElegidaPropio(long codigo) override;
    bool comprobarPrevio() override;
    // Niveles de la lista de seleccionados, en su orden.
    std::vector<int> nivelesSeleccionados() const;
    void deshabilitarBotonesListas();

  private:
    void llenarNiveles(long codigo);
    void botonListasClick(int indice);
    void cambioPestana(int indice);
    // Inserta manteniendo el orden de nivel.
    static void insertarEnOrden(QListWidget& lista, const QString& texto, int nivel);

    QTabWidget* pestanas_;
    std::array<QFrame*, 2> marcos_{};
    std::array<QListWidget*, 2> listas_{};
    std::array<QPushButton*, 4> botonesListas_{};
};

}  // namespace orvo
