#include "MotorInformes.h"

#include <QFileInfo>

namespace orvo {

MotorInformes::MotorInformes() : MotorInformes(Opciones{}) {}
MotorInformes::MotorInformes(Opciones opciones) : opciones_(opciones) {}
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

void MotorInformes::setDataFiles(int indice, const QString& v) { dataFiles_[indice] = v; }

void MotorInformes::PrintReport() {
    // Provisional hasta que el motor componga páginas: solo comprueba la plantilla.
    if (!QFileInfo::exists(reportFileName_)) {
        lastErrorNumber_ = 20504;
        lastErrorString_ = QStringLiteral("No se encuentra la plantilla del informe: ") + reportFileName_;
    }
}

}  // namespace orvo
