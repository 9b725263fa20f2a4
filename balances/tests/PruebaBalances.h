#pragma once

// Base de las pruebas de los dos balances: un libro y una base de informes nuevos en cada caso,
// y el componente lanzado con los objetos del anfitrión, como lo haría la aplicación.
#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "ConfiguracionAnfitrion.h"
#include "DoblesPrueba.h"
#include "InterfazQt.h"
#include "LibroPrueba.h"
#include "cInformes.h"
#include "frmImprimir.h"

namespace orvo::prueba {

class PruebaBalances : public QObject {
  protected:
    PruebaBalances() {
        registrarObjetosAnfitrion(registro_);
        config_.appPath = dir_.path();
        config_.appTitle = QStringLiteral("Prueba");
    }

    // Libro y base de informes vacíos, sin mensajes ni nada impreso.
    void nuevoCaso() {
        static int n = 0;
        ++n;
        libro_ = std::make_unique<LibroPrueba>(dir_.filePath(QStringLiteral("c%1.db").arg(n)));
        inf_ = baseInformes(dir_.filePath(QStringLiteral("i%1.db").arg(n)));
        olvidar(interfaz_);
        motor_ = MotorAnotador();
    }

    // Lanza la operación con las casillas chkBalance dadas marcadas; 'antes' maneja el resto
    // del diálogo antes de ACEPTAR y, si sale el de impresión, se imprime en pantalla. Devuelve
    // las filas ('columnas') que tenía 'tabla' justo antes de vaciarse.
    QStringList lanzarOperacion(const QString& operacion, const QList<int>& casillas,
                                const QString& tabla, const QString& columnas,
                                const std::function<void(QDialog&)>& antes = {}) {
        QStringList vaciadas;
        cInformes informes(interfaz_, registro_);
        interfaz_.guion = [&](QDialog& d) {
            if (auto* imp = qobject_cast<frmImprimir*>(&d)) {
                imp->opcion(0)->setChecked(true);
                imp->boton(0)->click();
                return;
            }
            for (int i = 0; i < 6; ++i)
                d.findChild<QCheckBox*>(QStringLiteral("chkBalance%1").arg(i))
                    ->setChecked(casillas.contains(i));
            if (antes) antes(d);
            d.findChild<QPushButton*>(QStringLiteral("cmdBalance0"))->click();
        };
        informes.componente().antesDeVaciar = [&](const QString&) {
            vaciadas = filasDe(*inf_, tabla, columnas);
        };
        informes.ejecutar(operacion, &motor_, &config_, libro_->conexion(), inf_, 1);
        return vaciadas;
    }

    QTemporaryDir dir_;
    std::unique_ptr<LibroPrueba> libro_;
    std::shared_ptr<Conexion> inf_;
    ProgresoNulo progreso_;
    InterfazGrabadora interfaz_;
    RegistroObjetos registro_;
    ConfiguracionAnfitrion config_;
    MotorAnotador motor_;
};

}  // namespace orvo::prueba
