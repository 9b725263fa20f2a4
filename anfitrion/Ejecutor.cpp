#include "Ejecutor.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <optional>

#include "Bitacora.h"
#include "ConfiguracionAnfitrion.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"
#include "FormatosSalida.h"
#include "FormularioInforme.h"
#include "InterfazQt.h"
#include "MotorInformes.h"
#include "cInformes.h"
#include "frmImprimir.h"

namespace orvo {

namespace {

struct ErrorUso {
    QString texto;
};

struct Ordenes {
    QString operacion;
    QString contabilidad;
    QString informes;
    QString ruta;
    long empresa = 0;
    bool pesetas = false;
    QList<QPair<QString, QString>> controles;
    bool cancelar = false;
    int destino = 0;
    int formatoPropio = 0;  // con el destino 3: índice de la lista de formatos
    QString archivo;
    bool cancelarImpresion = false;
    QString captura;
    QString volcado;
    int desdeFila = 0;  // desde 1: imprimir el desglose de esa fila de la tabla de trabajo
};

Ordenes leerOrdenes(const QStringList& a) {
    Ordenes o;
    if (a.isEmpty()) throw ErrorUso{QStringLiteral("Falta la operación.")};
    o.operacion = a.first();
    if (!cInformes::operaciones().contains(o.operacion))
        throw ErrorUso{QStringLiteral("Operación desconocida: %1").arg(o.operacion)};
    std::optional<int> destino;
    auto valor = [&](int& i) -> QString {
        if (i + 1 >= a.size()) throw ErrorUso{QStringLiteral("Falta el valor de %1").arg(a[i])};
        return a[++i];
    };
    for (int i = 1; i < a.size(); ++i) {
        const QString& x = a[i];
        if (x == u"--contabilidad") {
            o.contabilidad = valor(i);
        } else if (x == u"--informes") {
            o.informes = valor(i);
        } else if (x == u"--ruta") {
            o.ruta = valor(i);
        } else if (x == u"--empresa") {
            bool ok = false;
            o.empresa = valor(i).toLong(&ok);
            if (!ok || o.empresa < 0)
                throw ErrorUso{QStringLiteral("--empresa necesita un código de empresa")};
        } else if (x == u"--pesetas") {
            o.pesetas = true;
        } else if (x == u"--control") {
            const QString c = valor(i);
            const qsizetype igual = c.indexOf(u'=');
            if (igual <= 0)
                throw ErrorUso{QStringLiteral("--control espera NOMBRE=VALOR: %1").arg(c)};
            o.controles.append({c.left(igual).trimmed(), c.mid(igual + 1)});
        } else if (x == u"--cancelar") {
            o.cancelar = true;
        } else if (x == u"--destino") {
            const QString d = valor(i);
            if (d == u"pantalla")
                destino = 0;
            else if (d == u"impresora")
                destino = 1;
            else if (d == u"archivo")
                destino = 2;
            else
                throw ErrorUso{QStringLiteral("Destino desconocido: %1").arg(d)};
        } else if (x == u"--formato") {
            // Formatos del libro registro de los libros de IVA: van a una carpeta.
            const QString f = valor(i);
            if (f != u"aeat" && f != u"aeat-xlsx")
                throw ErrorUso{QStringLiteral("Formato desconocido: %1").arg(f)};
            destino = 3;
            o.formatoPropio = f == u"aeat" ? 0 : 1;
        } else if (x == u"--archivo") {
            o.archivo = valor(i);
        } else if (x == u"--cancelar-impresion") {
            o.cancelarImpresion = true;
        } else if (x == u"--captura") {
            o.captura = valor(i);
        } else if (x == u"--volcado") {
            o.volcado = valor(i);
        } else if (x == u"--desde-fila") {
            bool ok = false;
            o.desdeFila = valor(i).toInt(&ok);
            if (!ok || o.desdeFila < 1)
                throw ErrorUso{QStringLiteral("--desde-fila necesita un número de fila, desde 1")};
        } else {
            throw ErrorUso{QStringLiteral("Opción desconocida: %1").arg(x)};
        }
    }
    if (o.contabilidad.isEmpty()) throw ErrorUso{QStringLiteral("Falta --contabilidad FILE")};
    if (!Conexion::esServidor(o.contabilidad) &&
        (!QFileInfo(o.contabilidad).isFile() || !QFileInfo(o.contabilidad).isReadable()))
        throw ErrorUso{
            QStringLiteral("No se puede leer la base de contabilidad: %1").arg(o.contabilidad)};
    o.destino = destino.value_or(o.archivo.isEmpty() ? 0 : 2);
    if (o.destino == 2 && o.archivo.isEmpty())
        throw ErrorUso{QStringLiteral("El destino archivo necesita --archivo FILE")};
    if (o.destino == 2 && !formatoDeSalida(o.archivo))
        throw ErrorUso{extensionNoAdmitida(o.archivo)};
    if (o.destino == 3 && !QFileInfo(o.archivo).isDir())
        throw ErrorUso{
            QStringLiteral("--formato %1 necesita --archivo con una carpeta que exista")
                .arg(o.formatoPropio == 0 ? QStringLiteral("aeat") : QStringLiteral("aeat-xlsx"))};
    return o;
}

// Construye el desglose de la fila 'numero' (desde 1, por rowid) de la tabla de trabajo de la
// operación y pone sus fórmulas en el motor en lugar de las del informe. Devuelve el fallo en
// una línea, o vacío.
QString desglosar(Conexion& informes, MotorGrabador& motor, const QString& operacion, int numero,
                  std::optional<InformeDesglose>& desglose) {
    const QString tabla = cInformes::tablaDe(operacion);
    const QVariant rowid =
        informes.valor(QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid LIMIT 1 OFFSET ?")
                           .arg(identificador(tabla)),
                       {qlonglong(numero - 1)});
    if (rowid.isNull())
        return QStringLiteral("El informe no tiene la fila %1: tiene %2.")
            .arg(numero)
            .arg(informes.valor(QStringLiteral("SELECT COUNT(*) FROM ") + identificador(tabla))
                     .toLongLong());
    try {
        if (motor.desglosador) desglose = motor.desglosador(rowid.toLongLong());
    } catch (const std::exception& e) {
        return descripcionError(e);
    }
    if (!desglose)
        return QStringLiteral(
                   "La fila %1 del informe no lleva a ningún otro: se desglosan las "
                   "cuentas y los apuntes.")
            .arg(numero);
    valoresNuevos(motor);
    for (const auto& [indice, texto] : desglose->formulas) motor.setFormulas(indice, texto);
    return {};
}

QString unaLinea(QString s) {
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    s.replace(u'\r', QStringLiteral(" / "));
    s.replace(u'\n', QStringLiteral(" / "));
    return s;
}

}  // namespace

// Fija un control por el nombre con que lo conoce el diálogo: "chkBalance(4)", "txtFacturas".
QString fijarControl(FormularioInforme& dialogo, const QString& nombre, const QString& valor) {
    static const QRegularExpression patron(QStringLiteral(R"(^([A-Za-z_]\w*)(?:\((\d+)\))?$)"));
    const auto m = patron.match(nombre);
    if (!m.hasMatch()) return QStringLiteral("Nombre de control incorrecto: %1").arg(nombre);
    const QString objeto = m.captured(1) + m.captured(2);
    QString error;
    if (dialogo.fijarControlPropio(objeto, valor, &error)) return error;
    if (!error.isEmpty()) return error;
    QWidget* w = dialogo.findChild<QWidget*>(objeto);
    if (!w)
        return QStringLiteral("Control desconocido en %1: %2").arg(dialogo.objectName(), nombre);
    const QString malo = QStringLiteral("Valor incorrecto para %1: %2").arg(nombre, valor);
    if (auto* chk = qobject_cast<QCheckBox*>(w)) {
        if (valor != u"0" && valor != u"1") return malo;
        chk->setChecked(valor == u"1");
    } else if (auto* opt = qobject_cast<QRadioButton*>(w)) {
        if (valor != u"0" && valor != u"1") return malo;
        opt->setChecked(valor == u"1");
    } else if (auto* txt = qobject_cast<QLineEdit*>(w)) {
        if (txt->maxLength() < valor.size())
            return QStringLiteral("%1 admite como mucho %2 caracteres: %3")
                .arg(nombre)
                .arg(txt->maxLength())
                .arg(valor);
        txt->setText(valor);
    } else if (auto* dtp = qobject_cast<QDateEdit*>(w)) {
        const QDate d = QDate::fromString(valor, QStringLiteral("yyyy-MM-dd"));
        if (!d.isValid()) return malo;
        if (d < dtp->minimumDate() || d > dtp->maximumDate())
            return QStringLiteral("%1 fuera del ejercicio (%2 a %3): %4")
                .arg(nombre, dtp->minimumDate().toString(QStringLiteral("yyyy-MM-dd")),
                     dtp->maximumDate().toString(QStringLiteral("yyyy-MM-dd")), valor);
        dtp->setDate(d);
    } else if (auto* cbo = qobject_cast<QComboBox*>(w)) {
        bool ok = false;
        const qlonglong codigo = valor.toLongLong(&ok);
        const int indice = ok ? cbo->findData(codigo) : -1;
        if (indice < 0) return malo;
        cbo->setCurrentIndex(indice);
    } else if (auto* lst = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < lst->count(); ++i) {
            if (lst->item(i)->text() == valor || lst->item(i)->text().startsWith(valor + u' ')) {
                lst->setCurrentRow(i);
                return {};
            }
        }
        return malo;
    } else {
        return QStringLiteral("No se sabe fijar el control %1").arg(nombre);
    }
    return {};
}

QJsonArray leerFilas(Conexion& con, const QString& tabla) {
    QJsonArray filas;
    Recordset rs =
        con.Execute(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(identificador(tabla)));
    for (; !rs.Eof(); rs.MoveNext()) {
        QJsonObject fila;
        for (int c = 0; c < rs.columnas(); ++c) {
            const QVariant v = rs.Fields(c);
            fila[rs.nombreColumna(c)] = v.isNull() ? QJsonValue() : QJsonValue(v.toString());
        }
        filas.append(fila);
    }
    return filas;
}

void MotorGrabador::PrintReport() {
    QJsonObject formulas;
    for (int i = 1; i <= kMaxFormulas; ++i)
        if (!m_.Formulas(i).isEmpty()) formulas[QString::number(i)] = m_.Formulas(i);
    informe =
        QJsonObject{{"ReportFileName", m_.ReportFileName()},    {"WindowTitle", m_.WindowTitle()},
                    {"DataFiles", QJsonArray{m_.DataFiles(0)}}, {"Destination", m_.Destination()},
                    {"PrintFileName", m_.PrintFileName()},      {"formulas", formulas}};
    m_.PrintReport();
    errorMotor = m_.LastErrorNumber();
}

QString Ejecutor::uso() {
    return QStringLiteral(
               "Uso: orvo-informes OPERACION --contabilidad FILE|URI --empresa N [opciones]\n"
               "     orvo-informes ejemplo FILE|URI\n"
               "     orvo-informes cerrar --contabilidad FILE|URI --empresa N [--deshacer]\n"
               "     orvo-informes legalizar --contabilidad FILE|URI --empresa N --archivo DIR\n"
               "                             [--anexo FILE.pdf ...]\n"
               "URI: postgresql://usuario@servidor:puerto/base (libros en un servidor)\n"
               "Operaciones: %1\n"
               "Opciones:\n"
               "  --informes FILE        base de informes (por omisión Informes.mdb en --ruta)\n"
               "  --ruta DIR             carpeta de la aplicación (plantillas e Informes.mdb)\n"
               "  --pesetas              el anfitrión trabaja en pesetas\n"
               "  --control NOMBRE=VALOR fija un control del diálogo antes de ACEPTAR (repetible)\n"
               "  --cancelar             pulsa CANCELAR en lugar de ACEPTAR\n"
               "  --destino pantalla|impresora|archivo, --cancelar-impresion\n"
               "  --archivo FILE         archivo .pdf, .csv, .html o .xlsx\n"
               "  --formato aeat|aeat-xlsx --archivo DIR  libro registro de IVA para la Agencia\n"
               "                         Tributaria, en CSV o XLSX, con el nombre que ella fija\n"
               "  --captura FILE.png     imagen del diálogo antes de ACEPTAR\n"
               "  --volcado FILE.json    mensajes, filas de la tabla de trabajo y fórmulas\n"
               "  --desde-fila N         imprime en su lugar el desglose de la fila N (desde 1,\n"
               "                         en el orden del volcado): el mayor de una cuenta, el\n"
               "                         diario de un asiento\n")
        .arg(cInformes::operaciones().join(QStringLiteral(", ")));
}

int Ejecutor::ejecutar(const QStringList& argumentos, QTextStream& salida, QTextStream& err) {
    if (!argumentos.isEmpty()) {
        const auto s = subordenes_.find(argumentos.first());
        if (s != subordenes_.end()) return s->second(argumentos.mid(1), err);
    }
    Ordenes o;
    std::shared_ptr<Conexion> conta, inf;
    ConfiguracionAnfitrion config;
    const auto errorDeUso = [&](const ErrorUso& e) {
        err << e.texto << "\n" << uso();
        return 2;
    };
    try {
        o = leerOrdenes(argumentos);
    } catch (const ErrorUso& e) {
        return errorDeUso(e);
    }
    // Antes de escribir nada: unos libros que no se pueden leer no dejan rastro. No es un error
    // de uso: el mensaje basta.
    try {
        conta = Esquemas::abrirContabilidad(o.contabilidad);
    } catch (const std::exception& e) {
        err << unaLinea(descripcionError(e)) << "\n";
        return 1;
    }
    try {
        config.appPath = o.ruta.isEmpty() ? carpetaAplicacionPredeterminada() : o.ruta;
        Bitacora::usarCarpetaAplicacion(config.appPath);
        config.trabajarConPesetas = o.pesetas;
        if (const QString e = prepararCarpetaAplicacion(config.appPath); !e.isEmpty())
            throw ErrorUso{e};
        const QString rutaInformes =
            o.informes.isEmpty() ? rutaEnAplicacion(config.appPath, QStringLiteral("Informes.mdb"))
                                 : o.informes;
        try {
            inf = Conexion::abrir(rutaInformes, true);
            Esquemas::crearInformes(*inf);
        } catch (const std::exception& e) {
            throw ErrorUso{QStringLiteral("No se puede abrir la base de informes %1: %2")
                               .arg(rutaInformes, descripcionError(e))};
        }
    } catch (const ErrorUso& e) {
        return errorDeUso(e);
    }

    InterfazGrabadora interfaz;
    interfaz.alMensaje = [&err](const MensajeGrabado& m) {
        err << unaLinea(m.texto) << "\n";
        err.flush();
    };
    RegistroObjetos registro;
    registrarObjetosAnfitrion(registro);
    MotorInformes motorReal(MotorInformes::Opciones::desatendido());
    MotorGrabador motor(motorReal);
    cInformes informes(interfaz, registro);

    std::optional<QString> errorUso;
    std::optional<QString> falloDesglose;
    std::optional<InformeDesglose> desglose;  // el que se imprime en lugar del informe
    QJsonValue dialogo;                       // null si no se mostró ninguno
    QString archivoPropio;                    // lo que escribió la salida propia del informe
    interfaz.guion = [&](QDialog& d) {
        if (auto* f = qobject_cast<FormularioInforme*>(&d)) {
            dialogo = QJsonObject{{"nombre", f->objectName()}, {"titulo", f->windowTitle()}};
            for (const auto& [nombre, valor] : o.controles) {
                const QString e = fijarControl(*f, nombre, valor);
                if (!e.isEmpty()) {
                    errorUso = e;
                    return;  // se cierra sin construir nada
                }
            }
            if (!o.captura.isEmpty() && !f->grab().save(o.captura))
                err << "No se puede guardar la captura en " << o.captura << "\n";
            QAbstractButton* b = o.cancelar ? f->botonCancelar() : f->botonAceptar();
            if (b) b->click();
        } else if (auto* imp = qobject_cast<frmImprimir*>(&d)) {
            if (o.desdeFila > 0) {
                falloDesglose = desglosar(*inf, motor, o.operacion, o.desdeFila, desglose);
                if (falloDesglose->isEmpty())
                    falloDesglose.reset();
                else
                    return;  // se cierra sin imprimir
                imp->setNombreInforme(desglose->plantilla);
                imp->setTituloInforme(desglose->titulo);
            }
            if (!imp->opcion(o.destino)) {
                errorUso = QStringLiteral("%1 no tiene salida para la Agencia Tributaria")
                               .arg(o.operacion);
                return;
            }
            imp->opcion(o.destino)->setChecked(true);
            if (o.destino == 3) imp->formatoPropio()->setCurrentIndex(o.formatoPropio);
            if (o.destino >= 2) interfaz.respuestasGuardar = {o.archivo};
            imp->boton(o.cancelarImpresion ? 1 : 0)->click();
            archivoPropio = imp->archivoPropio();
        }
    };
    // Las filas se copian solo para el volcado: en un libro de un millón de líneas son más de
    // un gigabyte que nadie ha pedido.
    QJsonArray filas;
    if (!o.volcado.isEmpty())
        informes.componente().antesDeVaciar = [&](const QString& tabla) {
            filas = leerFilas(*inf, tabla);
        };

    int codigo = 1;
    try {
        informes.ejecutar(o.operacion, &motor, &config, conta, inf, o.empresa);
        if (errorUso) {
            err << *errorUso << "\n";
            codigo = 2;
        } else if (falloDesglose) {
            err << *falloDesglose << "\n";
        } else if ((motor.informe && motor.errorMotor == 0) || !archivoPropio.isEmpty()) {
            codigo = 0;
        }
    } catch (const std::exception& e) {
        err << unaLinea(descripcionError(e)) << "\n";
        codigo = 1;
    }

    QString tabla = cInformes::tablaDe(o.operacion);
    if (desglose) {
        tabla = desglose->tabla;
        if (!o.volcado.isEmpty()) filas = leerFilas(*inf, tabla);
        if (desglose->alCerrar) desglose->alCerrar();
    }
    if (!o.volcado.isEmpty()) {
        QJsonArray mensajes;
        for (const auto& m : interfaz.mensajes)
            mensajes.append(QJsonObject{
                {"texto", m.texto},
                {"icono", m.icono == Icono::Exclamacion ? "exclamacion" : "informacion"},
                {"titulo", m.titulo}});
        const QJsonObject volcado{
            {"operacion", o.operacion},
            {"dialogo", dialogo},
            {"mensajes", mensajes},
            {"pitidos", interfaz.pitidos},
            {"tabla", tabla},
            {"desdeFila", o.desdeFila > 0 ? QJsonValue(o.desdeFila) : QJsonValue()},
            {"filas", filas},
            {"informe", motor.informe ? QJsonValue(*motor.informe) : QJsonValue()},
            // Lo que no se mostró de cada fallo: el texto del motor de base de datos y el SQL.
            {"bitacora", Bitacora::anotaciones()}};
        QFile f(o.volcado);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            err << "No se puede escribir el volcado en " << o.volcado << "\n";
            return codigo == 0 ? 1 : codigo;
        }
        f.write(QJsonDocument(volcado).toJson(QJsonDocument::Indented));
    }
    if (codigo == 0 && !archivoPropio.isEmpty())
        salida << "Archivo escrito: " << archivoPropio << "\n";
    if (codigo == 0 && motor.informe) {
        const QString archivo = motor.informe->value(QStringLiteral("PrintFileName")).toString();
        if (motor.informe->value(QStringLiteral("Destination")).toInt() == 2)
            salida << "Informe escrito en " << archivo << "\n";
    }
    return codigo;
}

}  // namespace orvo
