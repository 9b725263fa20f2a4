#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <exception>

#include "Interfaces.h"
#include "Moneda.h"
#include "cCMensajes.h"

namespace orvo {

class Conexion;

// Servicios comunes: comprobaciones de empresa, formatos, conversiones peseta/euro y el mensaje
// de error estándar; los que reciben controles, con los diálogos (cGeneralControles). No guarda
// estado.
class cGeneral {
  public:
    explicit cGeneral(Componente& componente) : comp_(componente) {}

    bool ComprobarEmpresaInf(long lngCodEmpresaSel, Conexion& conContabilidad);
    bool ComprobarBDInformes(const QString& strNombreTabla, const QString& strNombreCampo,
                             Conexion& conInformes);
    static QString ObtenerEmpresa(long lngCodEmpresa, Conexion& con);
    // "##,##0.00" o, sin decimales, "##,##0", con separadores españoles.
    static QString FormatearCurrency(Moneda importe, bool blnMostrarDecimales = true);
    // Lo mismo para un valor leído de los libros (número o texto español).
    static QString FormatearCurrency(const QVariant& importe, bool blnMostrarDecimales = true);
    static QString QuitarNulo(const QVariant& cadena);
    // ComprobarComilla, Edad, PesetasAEuros y EurosAPesetas no los usa ningún informe: siguen
    // porque son parte de los servicios que el componente ofrece a sus diálogos.
    static QString ComprobarComilla(const QVariant& texto);
    static QString Edad(const QString& strFechaCumpleanos, const QString& strFechaNacimiento);
    static QString LlenaIzquierda(const QString& strCadena, const QString& strRelleno, int intLong);
    void VerErrorCrystal();
    void VerError(const std::exception& error, const QString& strProcedimiento,
                  const QString& strModulo, const QString& strComplemento);
    // "yyyymmdd" y "dd/mm/yyyy" por FechaLibros; vacío si la fecha no es válida.
    static QString DateString(const QDate& dtmFecha);
    static QString StringDate(const QString& strFecha);
    // Convierte en el sitio: al volver, cantPesetas vale los euros. Devuelve "1,00". Exacto, sin
    // coma flotante: milésimas de euro truncadas y mitad lejos de cero al céntimo.
    static QString PesetasAEuros(Moneda& cantPesetas);
    static QString EurosAPesetas(Moneda cantEuros);
    static bool PeriodoFechaCorrecto(const QDate& ini, const QDate& fin);

    // Pitido y cuadro de mensaje con el título de la aplicación.
    void mensaje(const QString& texto, Icono icono);
    Componente& componente() { return comp_; }

  protected:
    Componente& comp_;
    cCMensajes msj_;
};

}  // namespace orvo
