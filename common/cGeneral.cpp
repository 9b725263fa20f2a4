#include "cGeneral.h"

#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "FechaLibros.h"

namespace orvo {

namespace {
const QChar kCR(13);
}

void cGeneral::mensaje(const QString& texto, Icono icono) {
    comp_.interfaz.Beep();
    comp_.interfaz.MsgBox(texto, icono, comp_.tituloAplicacion);
}

bool cGeneral::ComprobarEmpresaInf(long lngCodEmpresaSel, Conexion& conContabilidad) {
    if (DatosEmpresa::todas(conContabilidad).empty()) {
        mensaje(msj_.sinEmpresas(), Icono::Informacion);
        return false;
    }
    if (lngCodEmpresaSel == 0) {
        mensaje(msj_.sinEmpresaSeleccionada() + kCR + msj_.elijaEmpresaParaInformes(),
                Icono::Informacion);
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
        mensaje(msj_.sinRegistros(), Icono::Informacion);
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
    const QDate hasta = FechaLibros::deTexto(strFechaCumpleanos).fecha();
    const QDate desde = FechaLibros::deTexto(strFechaNacimiento).fecha();
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
        const qsizetype n = std::max<qsizetype>(0, intLong - recortada.size());
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
    const QString texto = msj_.errorProducido() + QString::number(numeroError(error)) +
                          msj_.separadorDescripcion() + descripcionError(error) +
                          msj_.cierreExclamacion() + kCR + kCR + msj_.rotuloProcedimiento() +
                          strProcedimiento + kCR + msj_.rotuloModulo() + strModulo + kCR +
                          msj_.rotuloComplemento() + strComplemento;
    mensaje(texto, Icono::Exclamacion);
}

QString cGeneral::DateString(const QDate& dtmFecha) {
    return FechaLibros(dtmFecha).texto();
}

QString cGeneral::StringDate(const QString& strFecha) {
    return FechaLibros::deTexto(strFecha).impresa();
}

QString cGeneral::PesetasAEuros(Moneda& cantPesetas) {
    // Milésimas de euro = pesetas x 1000 / 166,386, guardadas con cuatro decimales y truncadas.
    // En diezmilésimas de milésima el cociente nunca cae en la mitad (el numerador es par y
    // 166386 / 2 es impar), así que el redondeo de la cuarta cifra no depende del criterio.
    constexpr std::int64_t kDivisor = 166386;
    const __int128 numerador = static_cast<__int128>(cantPesetas.diezmilesimas()) * 1000000;
    __int128 cociente = numerador / kDivisor;
    const __int128 resto = numerador % kDivisor;
    if (2 * (resto < 0 ? -resto : resto) > kDivisor) cociente += numerador < 0 ? -1 : 1;
    std::int64_t milesimas = static_cast<std::int64_t>(cociente / Moneda::kEscala);
    milesimas += milesimas > 0 ? 5 : -5;
    cantPesetas = Moneda::deDiezmilesimas(milesimas / 10 * 100);
    return cantPesetas.formatearFijo();
}

QString cGeneral::EurosAPesetas(Moneda cantEuros) {
    return pesetasDeEuros(cantEuros).formatear(false);
}

bool cGeneral::PeriodoFechaCorrecto(const QDate& ini, const QDate& fin) {
    return ini.daysTo(fin) > -1;
}

}  // namespace orvo
