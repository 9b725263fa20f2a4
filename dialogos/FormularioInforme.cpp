#include "FormularioInforme.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "FechaLibros.h"
#include "SelectorFecha.h"
#include "frmImprimir.h"

namespace orvo {

namespace {

// Solo cifras latinas: los códigos se comparan como texto con los de los libros.
bool sonCifras(const QString& texto) {
    if (texto.isEmpty()) return false;
    for (const QChar c : texto)
        if (c < u'0' || c > u'9') return false;
    return true;
}

}  // namespace

QString nombreControl(const QString& raiz, int indice) {
    return raiz + QString::number(indice);
}

FormularioInforme::FormularioInforme(Componente& componente, const QString& nombreModulo,
                                     const QString& raiz, QWidget* padre)
    : QDialog(padre),
      comp_(componente),
      modulo_(nombreModulo),
      raiz_(raiz),
      general_(componente),
      listas_(general_) {
    setObjectName(nombreModulo);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

FormularioInforme::~FormularioInforme() = default;

QBoxLayout* FormularioInforme::filaEmpresa(const QString& nombreRotulo) {
    c_.empresa = new QComboBox(this);
    c_.empresa->setObjectName(QStringLiteral("cbo") + raiz_);
    c_.empresa->setMinimumContentsLength(36);
    return filaConRotulo(QStringLiteral("EMPRESA:"), c_.empresa, nombreRotulo);
}

QBoxLayout* FormularioInforme::filaConRotulo(const QString& texto, QWidget* control,
                                             const QString& nombreRotulo) {
    auto* rotulo = new QLabel(texto, this);
    if (!nombreRotulo.isEmpty()) rotulo->setObjectName(nombreRotulo);
    rotulo->setBuddy(control);
    auto* fila = new QHBoxLayout;
    fila->addWidget(rotulo);
    fila->addWidget(control, 1);
    return fila;
}

QGroupBox* FormularioInforme::marcoDeDos(const QString& titulo, const QStringList& rotulos,
                                         const std::function<QWidget*(int, QWidget*)>& crear) {
    auto* marco = new QGroupBox(titulo, this);
    auto* rejilla = new QGridLayout(marco);
    for (int i = 0; i < 2; ++i) {
        QWidget* control = crear(i, marco);
        auto* rotulo = new QLabel(rotulos[i], marco);
        rotulo->setBuddy(control);
        rejilla->addWidget(rotulo, 0, 2 * i);
        rejilla->addWidget(control, 0, 2 * i + 1);
    }
    return marco;
}

QGroupBox* FormularioInforme::periodo(const QString& formato, const QStringList& rotulos) {
    return marcoDeDos(QStringLiteral("PERIODO"), rotulos, [&](int i, QWidget* marco) {
        auto* selector = new SelectorFecha(marco);
        selector->setObjectName(nombreControl(QStringLiteral("dtp") + raiz_, i));
        if (!formato.isEmpty()) selector->setDisplayFormat(formato);
        selector->setMinimumWidth(
            selector->fontMetrics().horizontalAdvance(QStringLiteral("30 septiembre  2000")) + 40);
        c_.fechas[i] = selector;
        return selector;
    });
}

QGroupBox* FormularioInforme::subcuentas(const QStringList& rotulos) {
    QGroupBox* marco =
        marcoDeDos(QStringLiteral("SUBCUENTAS"), rotulos, [&](int i, QWidget* padre) {
            c_.subcuentas[i] = cajaSubcuenta(i, padre);
            c_.subcuentas[i]->setMinimumWidth(
                c_.subcuentas[i]->fontMetrics().horizontalAdvance(QStringLiteral("000000000000")));
            return c_.subcuentas[i];
        });
    marco->setObjectName(QStringLiteral("fraSubcuentas"));
    return marco;
}

QLineEdit* FormularioInforme::cajaSubcuenta(int indice, QWidget* padre) {
    constexpr int kCifras = 7;
    const QString inicial(kCifras, indice == 0 ? u'0' : u'9');
    auto* caja = new QLineEdit(inicial, padre);
    caja->setObjectName(nombreControl(QStringLiteral("txt") + raiz_, indice));
    caja->setMaxLength(kCifras);
    return caja;
}

QBoxLayout* FormularioInforme::euros(const QString& nombre, const QString& simbolo) {
    c_.euros = casilla(QStringLiteral("Importes en euros"),
                       nombre.isEmpty() ? QStringLiteral("chk") + raiz_ : nombre);
    auto* etiqueta = new QLabel(simbolo, this);
    etiqueta->setObjectName(QStringLiteral("lblEuro"));
    auto* fila = new QHBoxLayout;
    fila->addWidget(c_.euros);
    fila->addWidget(etiqueta);
    fila->addStretch();
    return fila;
}

QCheckBox* FormularioInforme::casilla(const QString& texto, const QString& nombre, QWidget* padre) {
    auto* casilla = new QCheckBox(texto, padre ? padre : this);
    casilla->setObjectName(nombre);
    return casilla;
}

QBoxLayout* FormularioInforme::apilar(QBoxLayout* capa, std::initializer_list<Pieza> piezas) {
    for (const Pieza& p : piezas) {
        if (auto* const* control = std::get_if<QWidget*>(&p))
            capa->addWidget(*control);
        else
            capa->addLayout(std::get<QLayout*>(p));
    }
    return capa;
}

void FormularioInforme::enColumna(std::initializer_list<Pieza> piezas, const QString& nombreBarra,
                                  const QString& aceptar) {
    auto* capa = apilar(new QVBoxLayout(this), piezas);
    c_.progreso = new BarraProgreso(this);
    c_.progreso->setObjectName(nombreBarra);
    capa->addWidget(c_.progreso);
    c_.nombreBotones = QStringLiteral("cmd") + raiz_;
    const QString textos[2] = {aceptar, QStringLiteral("CANCELAR")};
    auto* fila = new QHBoxLayout;
    fila->addStretch();
    for (int i = 0; i < 2; ++i) {
        c_.botones[i] = new QPushButton(textos[i], this);
        c_.botones[i]->setObjectName(nombreControl(c_.nombreBotones, i));
        fila->addWidget(c_.botones[i]);
    }
    capa->addLayout(fila);
    capa->setSizeConstraint(QLayout::SetFixedSize);
    conectarComunes();
}

void FormularioInforme::conectarComunes() {
    if (c_.empresa)
        connect(c_.empresa, &QComboBox::currentIndexChanged, this, [this] { empresaClick(); });
    for (int i = 0; i < 2; ++i) {
        if (c_.subcuentas[i]) {
            c_.subcuentas[i]->installEventFilter(this);
            // Sin menú ni arrastre, todo lo que entra pasa por las reglas del teclado.
            c_.subcuentas[i]->setContextMenuPolicy(Qt::NoContextMenu);
            c_.subcuentas[i]->setAcceptDrops(false);
        }
        connect(c_.botones[i], &QPushButton::clicked, this, [this, i] { botonClick(i); });
    }
    c_.botones[0]->setDefault(true);
}

QAbstractButton* FormularioInforme::botonAceptar() const {
    return c_.botones[0];
}
QAbstractButton* FormularioInforme::botonCancelar() const {
    return c_.botones[1];
}

bool FormularioInforme::fijarControlPropio(const QString&, const QString&, QString*) {
    return false;
}

IProgreso& FormularioInforme::progreso() {
    if (c_.progreso) return *c_.progreso;
    return progresoNulo_;
}

void FormularioInforme::mostrar() {
    Form_Load();
    comp_.interfaz.mostrarModal(*this);
}

void FormularioInforme::Form_Load() {
    try {
        if (comp_.config) setWindowIcon(comp_.config->Icono());
        comp_.interfaz.setMousePointer(kPunteroPredeterminado);
        if (c_.empresa) {
            listas_.fillEmpresas(contabilidad(), c_.empresa, lngCodEmpresa_);
            c_.empresa->setEnabled(false);
        }
        if (c_.euros) c_.euros->setChecked(!(comp_.config && comp_.config->TrabajarConPesetas()));
        cargarPropio();
        if (c_.subcuentas[0]) EstablecerLongitudSubcuentas();
    } catch (const std::exception& e) {
        verError(e, QStringLiteral("Form_Load()"));
    }
}

void FormularioInforme::empresaClick() {
    if (!c_.empresa || c_.empresa->currentText().trimmed().isEmpty()) return;
    const long codigo = static_cast<long>(c_.empresa->currentData().toLongLong());
    try {
        if (c_.fechas[0] && c_.fechas[1])
            general_.PeriodoEjercicioDTP(c_.fechas[0], c_.fechas[1], codigo, contabilidad());
        if (c_.subcuentas[0]) fillDesgloses(QString::number(codigo));
        empresaElegidaPropio(codigo);
    } catch (const std::exception& e) {
        // Una señal de Qt no puede propagar excepciones: se informa aquí.
        verError(e, c_.empresa->objectName() + QStringLiteral("_Click()"));
    }
}

// Un fallo de la lectura llega al manejador del clic en la lista de empresas.
void FormularioInforme::fillDesgloses(const QString& codigo) {
    const auto empresa = DatosEmpresa::leer(contabilidad(), codigo.toLong());
    if (!empresa) return;
    const int largo = empresa->desgloseSubcuentas;
    for (int i = 0; i < 2; ++i) {
        if (!c_.subcuentas[i]) continue;
        c_.subcuentas[i]->setMaxLength(largo);
        c_.subcuentas[i]->setText(QString(largo, i == 0 ? u'0' : u'9'));
    }
}

// Sin fila de la empresa, la longitud habitual; un fallo de la lectura llega al manejador de
// la carga.
void FormularioInforme::EstablecerLongitudSubcuentas() {
    const auto empresa = DatosEmpresa::leer(contabilidad(), lngCodEmpresa_);
    const int largo = empresa ? empresa->desgloseSubcuentas : 7;
    for (QLineEdit* caja : c_.subcuentas)
        if (caja) caja->setMaxLength(largo);
}

bool FormularioInforme::CompruebaTextBox() {
    try {
        if (c_.empresa && c_.empresa->currentText().trimmed().isEmpty()) {
            avisar(mensajes_.faltaEmpresa(), c_.empresa);
            return false;
        }
        if (!comprobarPrevio()) return false;
        if (c_.subcuentas[0] && c_.subcuentas[1]) {
            const bool vacia0 = c_.subcuentas[0]->text().trimmed().isEmpty();
            const bool vacia1 = c_.subcuentas[1]->text().trimmed().isEmpty();
            if (vacia0 || vacia1) {
                avisar(mensajes_.faltanSubcuentas(), vacia0 ? c_.subcuentas[0] : c_.subcuentas[1]);
                return false;
            }
        }
        return comprobarPropio();
    } catch (const std::exception& e) {
        verError(e, QStringLiteral("CompruebaTextBox"));
        return false;
    }
}

void FormularioInforme::botonClick(int indice) {
    const QString procedimiento = c_.nombreBotones + u'(' + QString::number(indice) + u')';
    try {
        if (indice == 1) {
            reject();
            return;
        }
        comp_.interfaz.setMousePointer(kRelojDeArena);
        if (!CompruebaTextBox()) {
            comp_.interfaz.setMousePointer(kPunteroPredeterminado);
            return;
        }
        setEnabled(false);
        for (QPushButton* b : c_.botones) b->setEnabled(false);
        if (c_.empresa) lngCodEmpresa_ = static_cast<long>(c_.empresa->currentData().toLongLong());
        if (RellenarInforme()) {
            frmImprimir imprimir(comp_, informes().ruta());
            imprimir.setNombreInforme(nombrePlantilla());
            imprimir.setTituloInforme(tituloInforme());
            prepararImpresion(imprimir);
            comp_.interfaz.setMousePointer(kPunteroPredeterminado);
            accept();  // este diálogo se descarga antes de mostrar las opciones de impresión
            // Mientras el informe se imprime o se ve, sus filas llevan a sus desgloses.
            comp_.desglose = [this](qint64 fila) { return desglosarFila(fila); };
            imprimir.mostrar();
            comp_.desglose = nullptr;
        } else {
            comp_.interfaz.setMousePointer(kPunteroPredeterminado);
            reject();
        }
    } catch (const std::exception& e) {
        comp_.desglose = nullptr;
        verError(e, procedimiento);
        setEnabled(true);
        for (QPushButton* b : c_.botones) b->setEnabled(true);
    }
}

bool FormularioInforme::construirEnTransaccion(
    const QString& tabla, const QString& campo,
    const std::function<FormulasInforme(ContextoInforme&)>& construir, const QString& procedimiento,
    const QString& complemento) {
    setEnabled(false);
    tablaTrabajo_ = tabla;
    FormulasInforme formulas;
    try {
        // Toda la construcción lee una sola versión de los libros, sin escribir en ellos.
        const Lectura lectura(contabilidad());
        Transaccion transaccion(informes());
        ContextoInforme contexto{contabilidad(), informes(), progreso()};
        formulas = construir(contexto);
        transaccion.confirmar();
    } catch (const std::exception& e) {
        // La transacción ya se ha deshecho al salir de su ámbito.
        if (c_.progreso) c_.progreso->setVisible(false);
        verError(e, procedimientoError(e, procedimiento), complemento);
        setEnabled(true);
        return false;
    }
    setEnabled(true);
    if (!general_.ComprobarBDInformes(tabla, campo, informes())) return false;
    if (comp_.motor)
        for (const auto& [indice, texto] : formulas) comp_.motor->setFormulas(indice, texto);
    return true;
}

std::optional<Desglose> FormularioInforme::desglosarFila(qint64 rowid) {
    if (tablaTrabajo_.isEmpty()) return std::nullopt;
    Recordset rs = informes().Execute(
        QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(identificador(tablaTrabajo_)),
        {rowid});
    if (rs.Eof()) return std::nullopt;
    QHash<QString, QString> fila;
    for (int c = 0; c < rs.columnas(); ++c)
        fila.insert(rs.nombreColumna(c), cGeneral::QuitarNulo(rs.Fields(c)).trimmed());
    return desglosar(fila);
}

Desglose FormularioInforme::mayorDeCuenta(const QString& codigo, const QDate& desde,
                                          const QDate& hasta, Divisa divisa) {
    const DatosEmpresa e = DatosEmpresa::existente(contabilidad(), lngCodEmpresa_);
    Desglose d = Desglose::mayor(codigo, e.desgloseSubcuentas);
    d.empresa = lngCodEmpresa_;
    d.divisa = divisa;
    d.inicioEjercicio = FechaLibros::deTexto(e.fechaIni).fecha();
    d.desde = desde.isValid() ? desde : d.inicioEjercicio;
    d.hasta = hasta.isValid() ? hasta : FechaLibros::deTexto(e.fechaFin).fecha();
    return d;
}

Desglose FormularioInforme::diarioDeAsiento(const QString& numero, const QDate& desde,
                                            const QDate& hasta, Divisa divisa) {
    const Desglose periodo = mayorDeCuenta(QString(), desde, hasta, divisa);
    Desglose d = Desglose::diario(numero);
    d.empresa = periodo.empresa;
    d.divisa = divisa;
    d.desde = periodo.desde;
    d.hasta = periodo.hasta;
    d.inicioEjercicio = periodo.inicioEjercicio;
    return d;
}

void FormularioInforme::verError(const std::exception& e, const QString& procedimiento,
                                 const QString& complemento) {
    general_.VerError(e, procedimiento, modulo_, complemento);
}

bool FormularioInforme::periodoCorrecto(QWidget* foco, Icono icono) {
    if (cGeneralControles::PeriodoFechaCorrecto(c_.fechas[0], c_.fechas[1])) return true;
    avisar(mensajes_.fechaInicialMayor(), foco ? foco : c_.fechas[0], icono);
    return false;
}

void FormularioInforme::avisar(const QString& texto, QWidget* foco, Icono icono) {
    general_.mensaje(texto, icono);
    if (foco) foco->setFocus();
}

Divisa FormularioInforme::divisaMarcada() const {
    return c_.euros && c_.euros->isChecked() ? Divisa::Euros : Divisa::Pesetas;
}

QDate FormularioInforme::fecha(int indice) const {
    return c_.fechas[indice]->date();
}

QString FormularioInforme::subcuenta(int indice) const {
    return c_.subcuentas[indice]->text();
}

bool FormularioInforme::eventFilter(QObject* objeto, QEvent* evento) {
    auto* caja = qobject_cast<QLineEdit*>(objeto);
    if (!caja || (caja != c_.subcuentas[0] && caja != c_.subcuentas[1]))
        return QDialog::eventFilter(objeto, evento);
    if (evento->type() == QEvent::FocusIn) {
        // Después del clic del ratón, que movería el cursor y quitaría la selección.
        QTimer::singleShot(0, caja, [this, caja] {
            if (caja->hasFocus()) general_.SelText(caja);
        });
    } else if (evento->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        // Pegar no pasa por las reglas de cada tecla: solo entra un texto hecho de cifras.
        if (tecla->matches(QKeySequence::Paste)) {
            if (sonCifras(QGuiApplication::clipboard()->text())) return false;
            comp_.interfaz.Beep();
            return true;
        }
        return teclaSubcuenta(caja, tecla->text());
    }
    return QDialog::eventFilter(objeto, evento);
}

// Devuelve true si la tecla se descarta.
bool FormularioInforme::teclaSubcuenta(QLineEdit* caja, const QString& texto) {
    // Las teclas sin carácter (flechas, inicio) mueven el cursor; el retroceso borra; el
    // tabulador pasa al control siguiente. Cualquier otra tecla que no sea cifra o punto, Intro
    // incluido (no pulsa ACEPTAR), se descarta con un pitido.
    if (texto.isEmpty() || texto == u"\b" || texto == u"\t" || texto == u"\x7f") return false;
    const QChar c = texto.at(0);
    if (sonCifras(texto.left(1))) return false;
    if (c == u'.') {
        const int maximo = caja->maxLength();
        const QString actual = caja->text();
        const int pos = caja->hasSelectedText() ? caja->selectionStart() : caja->cursorPosition();
        const int ceros = maximo - static_cast<int>(actual.size());
        if (maximo < 32767 && ceros > 0) {
            caja->setText(actual.left(pos) + QString(ceros, u'0') + actual.mid(pos));
            caja->setCursorPosition(pos + ceros);
        }
        return true;
    }
    comp_.interfaz.Beep();
    return true;
}

}  // namespace orvo
