#include "MotorInformes.h"

#include <QDir>
#include <QFileInfo>

#include "ErrorOrvo.h"
#include "Maquetador.h"
#include "Pintor.h"
#include "Salidas.h"

namespace orvo {

MotorInformes::MotorInformes(Opciones opciones, IInterfaz* interfaz)
    : opciones_(opciones), interfaz_(interfaz) {}
MotorInformes::~MotorInformes() = default;

QString MotorInformes::Formulas(int indice) const {
    return indice >= 1 && indice <= kMaxFormulas ? formulas_[indice] : QString();
}

void MotorInformes::setFormulas(int indice, const QString& texto) {
    if (indice >= 1 && indice <= kMaxFormulas) formulas_[indice] = texto;
}

QString MotorInformes::DataFiles(int indice) const {
    const auto it = dataFiles_.find(indice);
    return it == dataFiles_.end() ? QString() : it->second;
}

void MotorInformes::setDataFiles(int indice, const QString& v) {
    dataFiles_[indice] = v;
}

void MotorInformes::PrintReport() {
    lastErrorNumber_ = 0;
    lastErrorString_.clear();
    try {
        generar();
    } catch (const FalloMotor& e) {
        lastErrorNumber_ = e.numero();
        lastErrorString_ = e.texto();
    } catch (const std::exception& e) {
        lastErrorNumber_ = ErrorMotor::kDatosNoValidos;
        lastErrorString_ =
            QStringLiteral("Error al leer los datos del informe: ") + descripcionError(e);
    }
}

void MotorInformes::abrirDesglose(qint64 fila) {
    if (!desglosador_) return;
    std::optional<InformeDesglose> d = desglosador_(fila);
    if (!d) return;
    MotorInformes otro(opciones_, interfaz_);
    for (const auto& [indice, texto] : d->formulas) otro.setFormulas(indice, texto);
    otro.setReportFileName(QFileInfo(reportFileName_).dir().filePath(d->plantilla));
    otro.setPassword(password_);
    otro.setDataFiles(0, DataFiles(0));
    otro.setWindowTitle(d->titulo);
    otro.setDestination(0);
    otro.PageZoom(pageZoom_);
    otro.setDesglosador(d->siguiente);
    otro.PrintReport();
    if (d->alCerrar) d->alCerrar();
    if (otro.LastErrorNumber() != 0)
        throw FalloMotor(otro.LastErrorNumber(), otro.LastErrorString());
}

void MotorInformes::generar() {
    const Plantilla plantilla = Plantilla::leer(reportFileName_);
    ValoresFormulas formulas;
    for (int i = 1; i <= kMaxFormulas; ++i)
        if (!formulas_[i].trimmed().isEmpty()) formulas.anadir(formulas_[i]);
    const QString datos = DataFiles(0);
    if (!QFileInfo(datos).isFile())
        throw FalloMotor(
            ErrorMotor::kDatosNoEncontrados,
            QStringLiteral("No se encuentra el archivo de datos del informe %1").arg(datos));
    // Un archivo SQLite sin cifrar se abre sea cual sea Password; se guarda para los que lo estén.
    const auto conexion = Conexion::abrir(datos, false);
    Maquetador maquetador(plantilla, *conexion, formulas);
    const QDate fecha =
        opciones_.fechaImpresion.isValid() ? opciones_.fechaImpresion : QDate::currentDate();
    Pintor pintor(maquetador, windowTitle_, fecha);
    switch (destination_) {
        case 0: {
            if (!opciones_.vistaPreviaInteractiva) {
                // Sin nadie que mire: se compone la primera página como la vería la ventana.
                imagenDePagina(maquetador, pintor, 1, pageZoom_);
                break;
            }
            if (!interfaz_)
                throw FalloMotor(
                    ErrorMotor::kDestinoNoValido,
                    QStringLiteral("La vista previa necesita la interfaz del anfitrión"));
            VistaPrevia vista(maquetador, pintor, windowTitle_, fecha, pageZoom_, *interfaz_);
            if (windowState_ == 2) vista.setWindowState(Qt::WindowMaximized);
            if (desglosador_) vista.setDesglose([this](qint64 fila) { abrirDesglose(fila); });
            vista.exec();
            break;
        }
        case 1:
            imprimirEnPredeterminada(maquetador, pintor, windowTitle_);
            break;
        case 2:
            escribirArchivo(maquetador, pintor, windowTitle_, fecha, printFileName_);
            break;
        default:
            throw FalloMotor(
                ErrorMotor::kDestinoNoValido,
                QStringLiteral("Destino de impresión no válido: %1").arg(destination_));
    }
}

}  // namespace orvo
