#include "frmImprimir.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ErrorOrvo.h"
#include "FormatosSalida.h"
#include "FormularioInforme.h"

namespace orvo {

QString rutaEnAplicacion(const QString& appPath, const QString& archivo) {
    QString base = appPath;
    while (base.endsWith(u'/')) base.chop(1);
    return base + u'/' + archivo;
}

frmImprimir::frmImprimir(Componente& componente, QString archivoDatos, QWidget* padre)
    : QDialog(padre),
      comp_(componente),
      general_(componente),
      archivoDatos_(std::move(archivoDatos)) {
    setObjectName(QStringLiteral("frmImprimir"));
    setWindowTitle(QStringLiteral("Opciones de impresión"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* capa = new QVBoxLayout(this);
    auto* marco = new QGroupBox(this);
    auto* capaMarco = new QVBoxLayout(marco);
    const QString rotulos[3] = {QStringLiteral("Imprimir informe por pantalla"),
                                QStringLiteral("Imprimir informe en la impresora predeterminada"),
                                QStringLiteral("Imprimir informe en un archivo")};
    for (int i = 0; i < 3; ++i) {
        opciones_[i] = new QRadioButton(rotulos[i], marco);
        opciones_[i]->setObjectName(nombreControl(QStringLiteral("optImprimir"), i));
        capaMarco->addWidget(opciones_[i]);
    }
    opciones_[0]->setChecked(true);
    capa->addWidget(marco);
    auto* filaBotones = new QHBoxLayout;
    filaBotones->addStretch();
    const QString textos[2] = {QStringLiteral("ACEPTAR"), QStringLiteral("CANCELAR")};
    for (int i = 0; i < 2; ++i) {
        botones_[i] = new QPushButton(textos[i], this);
        botones_[i]->setObjectName(nombreControl(QStringLiteral("cmdImprimir"), i));
        botones_[i]->setAutoDefault(false);
        connect(botones_[i], &QPushButton::clicked, this, [this, i] { cmdImprimir_Click(i); });
        filaBotones->addWidget(botones_[i]);
    }
    botones_[0]->setDefault(true);
    capa->addLayout(filaBotones);
}

void frmImprimir::setSalidaPropia(SalidaPropia salida) {
    salidaPropia_ = std::move(salida);
    auto* marco = opciones_[0]->parentWidget();
    opciones_[3] = new QRadioButton(salidaPropia_.rotulo, marco);
    opciones_[3]->setObjectName(nombreControl(QStringLiteral("optImprimir"), 3));
    cboImprimir_ = new QComboBox(marco);
    cboImprimir_->setObjectName(QStringLiteral("cboImprimir"));
    cboImprimir_->addItems(salidaPropia_.formatos);
    cboImprimir_->setEnabled(false);
    connect(opciones_[3], &QRadioButton::toggled, cboImprimir_, &QWidget::setEnabled);
    auto* fila = new QHBoxLayout;
    fila->addSpacing(24);
    fila->addWidget(cboImprimir_);
    fila->addStretch();
    auto* capa = static_cast<QVBoxLayout*>(marco->layout());
    capa->addWidget(opciones_[3]);
    capa->addLayout(fila);
}

void frmImprimir::mostrar() {
    if (comp_.config) setWindowIcon(comp_.config->Icono());
    comp_.interfaz.mostrarModal(*this);
}

void frmImprimir::cmdImprimir_Click(int indice) {
    std::unique_ptr<ICContabilidad> anfitrion;
    try {
        anfitrion = comp_.registro.CreateObject(QStringLiteral("OrvoContabilidad.cContabilidad"));
        if (indice == 1) {
            reject();
            return;
        }
        IMotorInformes* motor = comp_.motor;
        IConfiguracion* config = comp_.config;
        if (!motor || !config)
            throw ErrorOrvo(Causa::ObjetoNoDisponible,
                            QStringLiteral("No hay motor de informes o configuración"));
        comp_.interfaz.setMousePointer(kRelojDeArena);
        if (opciones_[3] && opciones_[3]->isChecked()) {
            // Sale sin el motor: a la carpeta que se elija, con el nombre que da el informe.
            const QString carpeta =
                comp_.interfaz.carpeta(this, QStringLiteral("Carpeta donde dejar el archivo"));
            if (carpeta.isEmpty()) {
                comp_.interfaz.setMousePointer(kPunteroPredeterminado);
                return;  // sigue abierto con sus opciones
            }
            archivoPropio_ = salidaPropia_.escribir(carpeta, cboImprimir_->currentIndex());
            comp_.interfaz.setMousePointer(kPunteroPredeterminado);
            accept();
            general_.mensaje(QStringLiteral("Archivo escrito: %1").arg(archivoPropio_),
                             Icono::Informacion);
            valoresNuevos(*motor);
            return;
        }
        const QString appPath = config->AppPath();
        motor->setReportFileName(rutaEnAplicacion(appPath, nombreInforme_));
        motor->setPassword(QChar(10) + anfitrion->ObtenerPasswordInformes(config->Aplicacion()));
        motor->setWindowTitle(tituloInforme_);
        motor->setDataFiles(0, archivoDatos_);
        motor->setWindowState(2);
        if (opciones_[0]->isChecked()) {
            motor->setDestination(0);
        } else if (opciones_[1]->isChecked()) {
            motor->setDestination(1);
        } else if (opciones_[2]->isChecked()) {
            // Sin extensión, la del tipo elegido: el motor escribe lo que la extensión dice.
            QString tipo;
            const QString archivo = conExtensionDelTipo(
                comp_.interfaz.archivoGuardar(this, QStringLiteral("Guardar informe"),
                                              filtroSalidas(), &tipo),
                tipo);
            if (archivo.isEmpty()) {
                comp_.interfaz.setMousePointer(kPunteroPredeterminado);
                return;  // sigue abierto con sus opciones
            }
            motor->setPrintFileName(archivo);
            motor->setDestination(2);
        }
        comp_.interfaz.setMousePointer(kPunteroPredeterminado);
        accept();
        motor->PrintReport();
        motor->PageZoom(100);
        if (motor->LastErrorNumber() != 0) {
            general_.VerErrorCrystal();
            motor->setLastErrorNumber(0);
            motor->setLastErrorString(QString());
        }
        valoresNuevos(*motor);
    } catch (const std::exception& e) {
        general_.VerError(e, QStringLiteral("cmdImprimir_Click(%1)").arg(indice),
                          QStringLiteral("frmImprimir"), QStringLiteral("OrvoContabilidadInf"));
    }
}

}  // namespace orvo
