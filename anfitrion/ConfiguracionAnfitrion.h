#pragma once

#include "Interfaces.h"

namespace orvo {

// Configuración que el anfitrión presta al componente.
class ConfiguracionAnfitrion : public IConfiguracion {
  public:
    QString AppTitle() const override { return appTitle; }
    QString HelpPath() const override { return helpPath; }
    QString AppPath() const override { return appPath; }
    QVariant Aplicacion() const override { return aplicacion; }
    QIcon Icono() const override;
    bool TrabajarConPesetas() const override { return trabajarConPesetas; }

    QString appTitle = QStringLiteral("Orvo Contabilidad");
    QString helpPath;
    QString appPath;
    QVariant aplicacion = 1;
    bool trabajarConPesetas = false;
};

// Componente de contabilidad del anfitrión: da la contraseña de la base de informes.
class cContabilidad : public ICContabilidad {
  public:
    QString ObtenerPasswordInformes(const QVariant& aplicacion) override;
};

// Da de alta en el registro los objetos que el anfitrión deja crear por identificador.
void registrarObjetosAnfitrion(RegistroObjetos& registro);

// Prepara la carpeta de la aplicación: copia las plantillas instaladas que falten; las que ya
// están no se tocan. Devuelve un texto de error vacío si todo fue bien.
QString prepararCarpetaAplicacion(const QString& carpeta);
// Carpeta de la aplicación por omisión, propia del usuario.
QString carpetaAplicacionPredeterminada();
// Carpeta de la que se copian las plantillas.
QString carpetaPlantillasInstaladas();

}  // namespace orvo
