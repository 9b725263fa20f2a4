#include "FormularioInforme.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
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
                                     QWidget* padre)
    : QDialog(padre),
      comp_(componente),
      modulo_(nombreModulo),
      general_(componente),
      listas_(general_) {
    setObjectName(nombreModulo);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

FormularioInforme::~FormularioInforme() = default;

QBoxLayout* FormularioInforme::filaEmpresa(const QString& raiz, ControlesComunes& c,
                                           const QString& nombreRotulo) {
    c.empresa = new QComboBox(this);
    c.empresa->setObjectName(QStringLiteral("cbo") + raiz);
    c.empresa->setMinimumContentsLength(36);
    auto* fila = new QHBoxLayout;
    auto* rotulo = new QLabel(QStringLiteral("EMPRESA:"), this);
    if (!nombreRotulo.isEmpty()) rotulo->setObjectName(nombreRotulo);
    rotulo->setBuddy(c.empresa);
    fila->addWidget(rotulo);
    fila->addWidget(c.empresa, 1);
    return fila;
}

BarraProgreso* FormularioInforme::barra(const QString& nombre, ControlesComunes& c) {
    c.progreso = new BarraProgreso(this);
    c.progreso->setObjectName(nombre);
    return c.progreso;
}

QLineEdit* FormularioInforme::cajaSubcuenta(const QString& raiz, int indice, QWidget* padre) {
    const QString inicial(7, indice == 0 ? u'0' : u'9');
    auto* caja = new QLineEdit(inicial, padre);
    caja->setObjectName(nombreControl(QStringLiteral("txt") + raiz, indice));
    caja->setMaxLength(inicial.size());
    return caja;
}

QBoxLayout* FormularioInforme::botones(const QString& raiz, const QString& aceptar,
                                       ControlesComunes& c) {
    c.nombreBotones = QStringLiteral("cmd") + raiz;
    const QString textos[2] = {aceptar, QStringLiteral("CANCELAR")};
    auto* fila = new QHBoxLayout;
    fila->addStretch();
    for (int i = 0; i < 2; ++i) {
        c.botones[i] = new QPushButton(textos[i], this);
        c.botones[i]->setObjectName(nombreControl(c.nombreBotones, i));
        fila->addWidget(c.botones[i]);
    }
    return fila;
}

void FormularioInforme::registrarComunes(const ControlesComunes& controles) {
    c_ = controles;
    if (c_.empresa)
        connect(c_.empresa, &QComboBox::currentIndexChanged, this, [this] { empresaClick(); });
    for (int i = 0; i < 2; ++i) {
        if (c_.subcuentas[i]) {
            c_.subcuentas[i]->installEventFilter(this);
            // Sin menú ni arrastre, todo lo que entra pasa por las reglas del teclado.
            c_.subcuentas[i]->setContextMenuPolicy(Qt::NoContextMenu);
            c_.subcuentas[i]->setAcceptDrops(false);
        }
        if (c_.botones[i])
            connect(c_.botones[i], &QPushButton::clicked, this, [this, i] { botonClick(i); });
    }
    if (c_.botones[0]) c_.botones[0]->setDefault(true);
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
            avisar(mensajes_.Mensaje02(), c_.empresa);
            return false;
        }
        if (!comprobarPrevio()) return false;
        if (c_.subcuentas[0] && c_.subcuentas[1]) {
            const bool vacia0 = c_.subcuentas[0]->text().trimmed().isEmpty();
            const bool vacia1 = c_.subcuentas[1]->text().trimmed().isEmpty();
            if (vacia0 || vacia1) {
                avisar(mensajes_.Mensaje04(), vacia0 ? c_.subcuentas[0] : c_.subcuentas[1]);
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
        for (QPushButton* b : c_.botones)
            if (b) b->setEnabled(false);
        if (c_.empresa) lngCodEmpresa_ = static_cast<long>(c_.empresa->currentData().toLongLong());
        if (RellenarInforme()) {
            frmImprimir imprimir(comp_, informes().ruta());
            imprimir.setNombreInforme(nombrePlantilla());
            imprimir.setTituloInforme(tituloInforme());
            prepararImpresion(imprimir);
            comp_.interfaz.setMousePointer(kPunteroPredeterminado);
            accept();  // este diálogo se descarga antes de mostrar las opciones de impresión
            imprimir.mostrar();
        } else {
            comp_.interfaz.setMousePointer(kPunteroPredeterminado);
            reject();
        }
    } catch (const std::exception& e) {
        verError(e, procedimiento);
        setEnabled(true);
        for (QPushButton* b : c_.botones)
            if (b) b->setEnabled(true);
    }
}

bool FormularioInforme::construirEnTransaccion(
    const QString& tabla, const QString& campo,
    const std::function<FormulasInforme(ContextoInforme&)>& construir, const QString& procedimiento,
    const QString& complemento) {
    setEnabled(false);
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

void FormularioInforme::verError(const std::exception& e, const QString& procedimiento,
                                 const QString& complemento) {
    general_.VerError(e, procedimiento, modulo_, complemento);
}

void FormularioInforme::avisar(const QString& texto, QWidget* foco) {
    general_.mensaje(texto, Icono::Exclamacion);
    if (foco) foco->setFocus();
}

bool FormularioInforme::eurosMarcado() const {
    return c_.euros && c_.euros->isChecked();
}

QString FormularioInforme::textoEmpresa() {
    return general_.ObtenerEmpresa(lngCodEmpresa_, contabilidad());
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
