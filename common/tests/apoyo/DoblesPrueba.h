#pragma once

// Lo que comparten las pruebas de todos los informes: bases de usar y tirar, la lectura de las
// tablas de trabajo, los dobles de lo que rodea a un informe (motor, configuración y
// contabilidad del anfitrión) y el entorno que los reúne para recorrer un diálogo como lo haría
// una persona.
#include <QAbstractButton>
#include <QCryptographicHash>
#include <QDialog>
#include <QFile>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "Conexion.h"
#include "Esquemas.h"
#include "Interfaces.h"
#include "InterfazQt.h"

namespace orvo::prueba {

// Bases nuevas con su esquema. Son de usar y tirar: no esperan a que cada escritura llegue al
// disco.
inline std::shared_ptr<Conexion> baseNueva(const QString& ruta, void (*esquema)(Conexion&)) {
    auto con = Conexion::abrir(ruta, true);
    con->Execute(QStringLiteral("PRAGMA synchronous = OFF"));
    esquema(*con);
    return con;
}
inline std::shared_ptr<Conexion> baseContabilidad(const QString& ruta) {
    return baseNueva(ruta, Esquemas::crearContabilidad);
}
inline std::shared_ptr<Conexion> baseInformes(const QString& ruta) {
    return baseNueva(ruta, Esquemas::crearInformes);
}

// Libros de contabilidad y de informes vacíos y nuevos para cada caso, en la carpeta 'dir'.
inline void librosVacios(const QTemporaryDir& dir, std::shared_ptr<Conexion>& conta,
                         std::shared_ptr<Conexion>& inf) {
    static int n = 0;
    ++n;
    conta = baseContabilidad(dir.filePath(QStringLiteral("c%1.db").arg(n)));
    inf = baseInformes(dir.filePath(QStringLiteral("i%1.db").arg(n)));
}

// Vuelve a empezar entre casos: sin mensajes, pitidos ni diálogos anotados.
inline void olvidar(InterfazGrabadora& interfaz) {
    interfaz.mensajes.clear();
    interfaz.pitidos = 0;
    interfaz.dialogosMostrados.clear();
}

// Filas de una tabla en el orden en que se escribieron, columnas separadas por "|".
inline QStringList filasDe(Conexion& con, const QString& tabla, const QString& columnas) {
    QStringList filas;
    Recordset rs = con.Execute(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columnas, identificador(tabla)));
    for (; !rs.Eof(); rs.MoveNext()) {
        QStringList valores;
        for (int i = 0; i < rs.columnas(); ++i) valores << rs.Fields(i).toString();
        filas << valores.join(u'|');
    }
    return filas;
}

// Escribe el archivo entero con 'contenido'; falso si no ha podido.
inline bool escribirArchivo(const QString& ruta, const QByteArray& contenido) {
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(contenido) == contenido.size();
}

// Huella de todas las filas de las tablas, para ver que algo no cambió ni una coma.
inline QByteArray huellaTablas(Conexion& con, const QStringList& tablas) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const QString& tabla : tablas)
        for (const QString& fila : filasDe(con, tabla, QStringLiteral("*")))
            h.addData((fila + u'\n').toUtf8());
    return h.result().toHex();
}

// Motor que anota, en orden, cada miembro que recibe y no imprime nada. El diálogo de impresión
// borra las fórmulas después de imprimir: lo que había al hacerlo queda en 'impresas',
// 'plantillaImpresa' y 'tituloImpreso'. Con 'errorAlImprimir' el motor falla al imprimir.
class MotorAnotador : public IMotorInformes {
  public:
    QString Formulas(int i) const override { return formulas.value(i); }
    void setFormulas(int i, const QString& t) override {
        formulas[i] = t;
        ++formulasEscritas;
    }
    QString ReportFileName() const override { return plantilla; }
    void setReportFileName(const QString& v) override { anotar("ReportFileName", plantilla = v); }
    QString Password() const override { return {}; }
    void setPassword(const QString& v) override { anotar("Password", v); }
    QString WindowTitle() const override { return titulo; }
    void setWindowTitle(const QString& v) override { anotar("WindowTitle", titulo = v); }
    QString DataFiles(int) const override { return {}; }
    void setDataFiles(int i, const QString& v) override {
        anotar(QStringLiteral("DataFiles(%1)").arg(i), v);
    }
    int WindowState() const override { return 0; }
    void setWindowState(int v) override { anotar("WindowState", QString::number(v)); }
    int Destination() const override { return 0; }
    void setDestination(int v) override { anotar("Destination", QString::number(v)); }
    QString PrintFileName() const override { return {}; }
    void setPrintFileName(const QString& v) override { anotar("PrintFileName", v); }
    void PrintReport() override {
        registro << QStringLiteral("PrintReport");
        impreso = true;
        impresas = formulas;
        plantillaImpresa = plantilla;
        tituloImpreso = titulo;
        error = errorAlImprimir;
    }
    void PageZoom(int z) override { anotar("PageZoom", QString::number(z)); }
    int LastErrorNumber() const override { return error; }
    void setLastErrorNumber(int v) override {
        anotar("LastErrorNumber", QString::number(error = v));
    }
    QString LastErrorString() const override {
        return error ? QStringLiteral("Plantilla dañada") : QString();
    }
    void setLastErrorString(const QString& v) override { anotar("LastErrorString", v); }

    QMap<int, QString> formulas, impresas;
    QString plantilla, titulo, plantillaImpresa, tituloImpreso;
    bool impreso = false;
    QStringList registro;  // "Miembro=valor" de cada escritura, y "PrintReport"
    int formulasEscritas = 0, errorAlImprimir = 0, error = 0;

  private:
    void anotar(const QString& miembro, const QString& valor) {
        registro << miembro + u'=' + valor;
    }
};

class ConfigPrueba : public IConfiguracion {
  public:
    QString AppTitle() const override { return titulo; }
    QString HelpPath() const override { return {}; }
    QString AppPath() const override { return carpeta; }
    QVariant Aplicacion() const override { return aplicacion; }
    QIcon Icono() const override { return {}; }
    bool TrabajarConPesetas() const override { return pesetas; }

    QString titulo = QStringLiteral("Prueba");
    QString carpeta = QStringLiteral("/orvo");
    QVariant aplicacion = 1;
    bool pesetas = false;
};

// Contabilidad del anfitrión: da 'clave' y, si se le pide, anota para qué aplicación se pidió.
class ContabilidadPrueba : public ICContabilidad {
  public:
    explicit ContabilidadPrueba(QString clave = QStringLiteral("clave"), QVariant* pedida = nullptr)
        : clave_(std::move(clave)), pedida_(pedida) {}
    QString ObtenerPasswordInformes(const QVariant& aplicacion) override {
        if (pedida_) *pedida_ = aplicacion;
        return clave_;
    }

  private:
    QString clave_;
    QVariant* pedida_;
};

inline void registrarContabilidad(RegistroObjetos& registro) {
    registro.registrar(QStringLiteral("OrvoContabilidad.cContabilidad"),
                       [] { return std::make_unique<ContabilidadPrueba>(); });
}

// Todo lo que un diálogo necesita alrededor: interfaz grabadora, motor y configuración.
struct Entorno {
    Entorno() {
        registrarContabilidad(registro);
        comp.motor = &motor;
        comp.config = &config;
        comp.tituloAplicacion = config.AppTitle();
    }
    // Muestra el diálogo sobre esos libros; 'manejar' fija sus controles y pulsa. El diálogo de
    // impresión que venga detrás se acepta con destino pantalla.
    template <class Dialogo>
    void mostrar(Dialogo& d, std::shared_ptr<Conexion> conta, std::shared_ptr<Conexion> inf,
                 long empresa, const std::function<void(Dialogo&)>& manejar) {
        d.setConContabilidad(std::move(conta));
        d.setConInformes(std::move(inf));
        d.setLngCodEmpresa(empresa);
        interfaz.guion = [&d, &manejar](QDialog& mostrado) {
            if (&mostrado == &d)
                manejar(d);
            else if (auto* b = mostrado.findChild<QAbstractButton*>(QStringLiteral("cmdImprimir0")))
                b->click();
        };
        d.mostrar();
    }
    // Vuelve a empezar entre casos: sin mensajes, pitidos, diálogos ni nada impreso.
    void olvidar() {
        prueba::olvidar(interfaz);
        motor = MotorAnotador();
    }
    QStringList textos() const {
        QStringList r;
        for (const auto& m : interfaz.mensajes) r << m.texto;
        return r;
    }
    bool seImprimio() const {
        return interfaz.dialogosMostrados.contains(QStringLiteral("frmImprimir"));
    }

    InterfazGrabadora interfaz;
    RegistroObjetos registro;
    Componente comp{interfaz, registro};
    MotorAnotador motor;
    ConfigPrueba config;
};

}  // namespace orvo::prueba
