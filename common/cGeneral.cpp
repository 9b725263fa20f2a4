#include "cGeneral.h"

#include <cmath>

#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"

namespace orvo {

namespace {
const QChar kCR(13);
}

QDate fechaDeTexto(const QString& t) {
    const QString s = t.trimmed();
    if (s.size() != 8) return {};
    return QDate(s.left(4).toInt(), s.mid(4, 2).toInt(), s.mid(6, 2).toInt());
}

void cGeneral::mensaje(const QString& texto, Icono icono) {
    comp_.interfaz.Beep();
    comp_.interfaz.MsgBox(texto, icono, comp_.tituloAplicacion);
}

bool cGeneral::ComprobarEmpresaInf(long lngCodEmpresaSel, Conexion& conContabilidad) {
    if (DatosEmpresa::todas(conContabilidad).empty()) {
        mensaje(msj_.Mensaje14(), Icono::Informacion);
        return false;
    }
    if (lngCodEmpresaSel == 0) {
        mensaje(msj_.Mensaje22() + kCR + msj_.Mensaje16(), Icono::Informacion);
        return false;
    }
    return true;
}

bool cGeneral::ComprobarBDInformes(const QString& strNombreTabla, const QString& strNombreCampo,
                                   Conexion& conInformes) {
    // Tabla y campo son nombres fijos del programa, no datos.
    Recordset rs =
        conInformes.Execute(QStringLiteral("SELECT %1 FROM %2 LIMIT 1")
                                .arg(identificador(strNombreCampo), identificador(strNombreTabla)));
    const bool vacia = rs.Eof();
    rs.Close();
    if (vacia) {
        mensaje(msj_.Mensaje15(), Icono::Informacion);
        return false;
    }
    return true;
}

QString cGeneral::ObtenerEmpresa(long lngCodEmpresa, Conexion& con) {
    const auto empresa = DatosEmpresa::leer(con, lngCodEmpresa);
    return empresa ? empresa->cabecera() : QString();
}

QString cGeneral::FormatearCurrency(Moneda importe, bool blnMostrarDecimales) {
    return importe.formatear(blnMostrarDecimales);
}

QString cGeneral::FormatearCurrency(const QVariant& importe, bool blnMostrarDecimales) {
    return Moneda::deColumna(importe).formatear(blnMostrarDecimales);
}

QString cGeneral::QuitarNulo(const QVariant& cadena) {
    return cadena.isNull() ? QString() : cadena.toString();
}

QString cGeneral::ComprobarComilla(const QVariant& texto) {
    if (texto.isNull()) return {};
    QString s = texto.toString();
    s.replace(u'"', QStringLiteral("''"));
    return s;
}

QString cGeneral::Edad(const QString& strFechaCumpleanos, const QString& strFechaNacimiento) {
    const QDate hasta = fechaDeTexto(strFechaCumpleanos);
    const QDate desde = fechaDeTexto(strFechaNacimiento);
    auto numerico = [](const QString& s) {
        bool ok = false;
        s.toLongLong(&ok);
        return ok && s.size() == 8;
    };
    if (!numerico(strFechaCumpleanos) || !numerico(strFechaNacimiento) || !hasta.isValid() ||
        !desde.isValid())
        return QStringLiteral("0");
    int dias = hasta.day() - desde.day();
    int meses = hasta.month() - desde.month();
    int anos = hasta.year() - desde.year();
    if (dias < 0) --meses;
    if (meses < 0) --anos;
    return QString::number(anos);
}

QString cGeneral::LlenaIzquierda(const QString& strCadena, const QString& strRelleno, int intLong) {
    if (strCadena.size() <= intLong) {
        const QString recortada = strCadena.trimmed();
        const int n = std::max<int>(0, intLong - recortada.size());
        return QString(n, strRelleno.isEmpty() ? QChar(u' ') : strRelleno.at(0)) + recortada;
    }
    return strCadena.left(intLong);
}

void cGeneral::VerErrorCrystal() {
    comp_.interfaz.setMousePointer(kPunteroPredeterminado);
    IMotorInformes* motor = comp_.motor;
    // El texto del motor ya dice qué falla y qué hacer; su número no le sirve a quien lo lee.
    const QString texto = motor ? motor->LastErrorString() : QString();
    mensaje(texto.isEmpty() ? QStringLiteral("No se ha podido sacar el informe. Vuelva a "
                                             "pedirlo; si se repite, elija otro destino.")
                            : texto,
            Icono::Exclamacion);
}

void cGeneral::VerError(const std::exception& error, const QString& strProcedimiento,
                        const QString& strModulo, const QString& strComplemento) {
    comp_.interfaz.setMousePointer(kPunteroPredeterminado);
    const QString texto = msj_.Mensaje07() + QString::number(numeroError(error)) +
                          msj_.Mensaje08() + descripcionError(error) + msj_.Mensaje09() + kCR +
                          kCR + msj_.Mensaje10() + strProcedimiento + kCR + msj_.Mensaje11() +
                          strModulo + kCR + msj_.Mensaje12() + strComplemento;
    mensaje(texto, Icono::Exclamacion);
}

QString cGeneral::DateString(const QDate& dtmFecha) {
    return dtmFecha.toString(QStringLiteral("yyyyMMdd"));
}

QString cGeneral::StringDate(const QString& strFecha) {
    if (strFecha.trimmed().isEmpty()) return {};
    return strFecha.mid(6, 2) + u'/' + strFecha.mid(4, 2) + u'/' + strFecha.left(4);
}

QString cGeneral::PesetasAEuros(Moneda& cantPesetas) {
    // Milésimas de euro truncadas, y después mitad lejos de cero al céntimo.
    const double milesimas = cantPesetas.aDouble() * 1000.0 / 166.386;
    std::int64_t t = Moneda::deDouble(milesimas).truncado();
    t = t > 0 ? t + 5 : t - 5;
    const std::int64_t centimos = t / 10;
    cantPesetas = Moneda::deDiezmilesimas(centimos * 100);
    return cantPesetas.formatearFijo();
}

QString cGeneral::EurosAPesetas(Moneda cantEuros) {
    return pesetasDeEuros(cantEuros).formatear(false);
}

bool cGeneral::PeriodoFechaCorrecto(const QDate& ini, const QDate& fin) {
    return ini.daysTo(fin) > -1;
}

}  // namespace orvo
