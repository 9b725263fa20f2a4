#include "cGeneralControles.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "FechaLibros.h"

namespace orvo {

void cGeneralControles::SelText(QObject* textoBox) {
    if (auto* caja = qobject_cast<QLineEdit*>(textoBox)) {
        caja->setSelection(0, static_cast<int>(caja->text().size()));  // cabe: maxLength es int
        return;
    }
    VerError(ErrorOrvo(Causa::MetodoNoAdmitido,
                       QStringLiteral("El objeto no acepta esta propiedad o método")),
             QStringLiteral("SelText"), QStringLiteral("cGeneral"),
             QStringLiteral("OrvoContabilidad"));
}

void cGeneralControles::VerFalta(QObject* lblLabel, QObject* mstPestana) {
    auto* etiqueta = qobject_cast<QLabel*>(lblLabel);
    if (!etiqueta) {
        mensaje(msj_.argumentoNoEsRotulo(), Icono::Informacion);
        return;
    }
    // Una pestaña es una página de un QTabWidget; "Nothing" es un puntero nulo.
    QString rotuloPestana;
    if (mstPestana) {
        auto* pagina = qobject_cast<QWidget*>(mstPestana);
        QTabWidget* pestanas = nullptr;
        for (QObject* p = pagina ? pagina->parent() : nullptr; p && !pestanas; p = p->parent())
            pestanas = qobject_cast<QTabWidget*>(p);
        const int indice = pestanas ? pestanas->indexOf(pagina) : -1;
        if (indice < 0) {
            mensaje(msj_.argumentoNoEsPestana(), Icono::Informacion);
            return;
        }
        rotuloPestana = pestanas->tabText(indice);
    }
    QString campo = etiqueta->text();
    if (campo.startsWith(QStringLiteral("(*)"))) campo = campo.mid(4);
    if (campo.endsWith(u':')) campo.chop(1);
    if (mstPestana)
        mensaje(msj_.faltanDatosCampo() + campo + msj_.dePestana() + rotuloPestana +
                    msj_.cierreNombre(),
                Icono::Informacion);
    else
        mensaje(msj_.faltanDatosCampo() + campo + msj_.cierreNombre(), Icono::Informacion);
}

void cGeneralControles::PeriodoEjercicioDTP(QDateEdit* dtpINI, QDateEdit* dtpFIN, long lngIDEmpresa,
                                            Conexion& con) {
    const auto empresa = DatosEmpresa::leer(con, lngIDEmpresa);
    if (!empresa) return;
    const QDate ini = FechaLibros::deTexto(empresa->fechaIni).fecha();
    const QDate fin = FechaLibros::deTexto(empresa->fechaFin).fecha();
    if (!ini.isValid() || !fin.isValid())
        throw ErrorOrvo(Causa::TiposNoCoinciden,
                        QStringLiteral("Las fechas del ejercicio de la empresa no son válidas"));
    const QDate inicio(ini.year(), ini.month(), 1);
    const QDate final = QDate(fin.year(), fin.month(), 1).addMonths(1).addDays(-1);
    for (QDateEdit* d : {dtpINI, dtpFIN}) d->clearMinimumDate(), d->clearMaximumDate();
    dtpINI->setDate(inicio);
    dtpFIN->setDate(final);
    for (QDateEdit* d : {dtpINI, dtpFIN}) d->setDateRange(inicio, final);
}

bool cGeneralControles::PeriodoFechaCorrecto(QDateEdit* dtpINI, QDateEdit* dtpFIN) {
    return PeriodoFechaCorrecto(dtpINI->date(), dtpFIN->date());
}

}  // namespace orvo
