#pragma once

#include <QDate>
#include <QString>
#include <memory>

#include "ConfiguracionAnfitrion.h"
#include "Ejecutor.h"
#include "InterfazQt.h"
#include "MotorInformes.h"
#include "VentanaPrincipal.h"

namespace orvo {

// La ventana del anfitrión sin pantalla: los mensajes y lo que llega al motor quedan grabados,
// con la fecha de impresión fija para que las filas se puedan comparar.
struct AnfitrionPrueba {
    InterfazGrabadora interfaz;
    MotorInformes motor{MotorInformes::Opciones{false, QDate(2025, 1, 31)}};
    MotorGrabador grabador{motor};
    ConfiguracionAnfitrion config;
    std::unique_ptr<VentanaPrincipal> ventana;
    explicit AnfitrionPrueba(const QString& appPath) {
        config.appPath = appPath;
        ventana = std::make_unique<VentanaPrincipal>(interfaz, grabador, config);
    }
};

}  // namespace orvo
