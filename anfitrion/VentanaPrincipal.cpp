#include "VentanaPrincipal.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "Cierre.h"
#include "Comprobar.h"
#include "DatosEmpresa.h"
#include "DialogoComprobacion.h"
#include "DialogoImportar.h"
#include "ErrorOrvo.h"
#include "Esquemas.h"
#include "FechaLibros.h"
#include "Idioma.h"
#include "Importador.h"
#include "Legalizacion.h"
#include "LibrosEjemplo.h"
#include "Nif.h"
#include "VentanaManual.h"
#include "cGeneral.h"
#include "frmImprimir.h"

namespace orvo {

namespace {

struct EntradaInforme {
    const char* grupo;
    const char* titulo;
    const char* operacion;
};

// Los informes, agrupados como los busca un contable.
const EntradaInforme kInformes[] = {
    {"Balances", "Balance de situación…", "ImprimirBalanceSituacion"},
    {"Balances", "Pérdidas y ganancias…", "ImprimirBalancePYG"},
    {"Balances", "Balance de situación comparativo…", "ImprimirBalanceSituacionComp"},
    {"Balances", "Pérdidas y ganancias comparativo…", "ImprimirBalancePYGComp"},
    {"Sumas y saldos", "Balance de sumas y saldos…", "ImprimirBalanceSumasySaldos"},
    {"Libros", "Libro diario…", "ImprimirLibroDiario"},
    {"Libros", "Libro mayor…", "ImprimirLibroMayor"},
    {"Libros", "Desglose de una subcuenta…", "ImprimirDesgloseSubCuenta"},
    {"IVA", "Libro de facturas emitidas…", "ImprimirFacturasEmitidas"},
    {"IVA", "Libro de facturas recibidas…", "ImprimirFacturasRecibidas"},
    {"IVA", "Resumen trimestral de IVA…", "ImprimirResumenIVA"},
    {"Presupuestos", "Presupuesto mensual…", "ImprimirPresupuesto"},
    {"Presupuestos", "Presupuesto anual…", "ImprimirPresupuestoAnual"},
    {"Listados", "Subcuentas…", "ImprimirSubcuentas"},
    {"Listados", "Epígrafes…", "ImprimirEpigrafes"},
};

}  // namespace

VentanaPrincipal::VentanaPrincipal(IInterfaz& interfaz, IMotorInformes& motor,
                                   ConfiguracionAnfitrion& config, QWidget* padre)
    : QMainWindow(padre),
      interfaz_(interfaz),
      motor_(motor),
      config_(config),
      informes_(interfaz, registro_) {
    setObjectName(QStringLiteral("VentanaPrincipal"));
    registrarObjetosAnfitrion(registro_);
    if (const QString e = prepararCarpetaAplicacion(config_.appPath); !e.isEmpty())
        throw ErrorOrvo(Causa::CarpetaNoEncontrada, e);
    const QString rutaInformes = rutaEnAplicacion(config_.appPath, QStringLiteral("Informes.mdb"));
    try {
        baseInformes_ = Conexion::abrir(rutaInformes, true);
        Esquemas::crearInformes(*baseInformes_);
    } catch (const std::exception& e) {
        throw ErrorOrvo::conDescripcion(
            e, QStringLiteral("No se puede abrir la base de informes %1: %2")
                   .arg(rutaInformes, descripcionError(e)));
    }
    setWindowTitle(config_.AppTitle());
    setWindowIcon(config_.Icono());
    crearMenus();
    crearCentro();
    actualizarEstado();
    resize(900, 560);
}

VentanaPrincipal::~VentanaPrincipal() = default;

void VentanaPrincipal::crearMenus() {
    QMenu* archivo = menuBar()->addMenu(QStringLiteral("&Archivo"));
    QAction* abrir = archivo->addAction(QStringLiteral("&Abrir contabilidad…"));
    abrir->setShortcut(QKeySequence::Open);
    connect(abrir, &QAction::triggered, this, &VentanaPrincipal::elegirArchivo);
    QAction* ejemplo = archivo->addAction(QStringLiteral("Crear libros de &ejemplo…"));
    connect(ejemplo, &QAction::triggered, this, &VentanaPrincipal::elegirArchivoEjemplo);
    connect(archivo->addAction(QStringLiteral("&Importar…")), &QAction::triggered, this,
            &VentanaPrincipal::elegirArchivoImportar);
    connect(archivo->addAction(QStringLiteral("&Comprobar libros…")), &QAction::triggered, this,
            [this] { comprobarLibros(false); });
    connect(archivo->addAction(QStringLiteral("&Reparar libros…")), &QAction::triggered, this,
            [this] { comprobarLibros(true); });
    archivo->addSeparator();
    QAction* cerrar = archivo->addAction(QStringLiteral("C&errar el ejercicio…"));
    cerrar->setObjectName(QStringLiteral("mnuCerrarEjercicio"));
    connect(cerrar, &QAction::triggered, this, [this] { cerrarEjercicio(false); });
    QAction* reabrir = archivo->addAction(QStringLiteral("&Deshacer el cierre del ejercicio…"));
    reabrir->setObjectName(QStringLiteral("mnuDeshacerCierre"));
    connect(reabrir, &QAction::triggered, this, [this] { cerrarEjercicio(true); });
    QAction* legalizar = archivo->addAction(QStringLiteral("&Legalizar los libros…"));
    legalizar->setObjectName(QStringLiteral("mnuLegalizar"));
    connect(legalizar, &QAction::triggered, this, &VentanaPrincipal::legalizarLibros);
    archivo->addSeparator();
    accionNif_ = archivo->addAction(QStringLiteral("&NIF de la empresa…"));
    accionNif_->setObjectName(QStringLiteral("mnuNif"));
    connect(accionNif_, &QAction::triggered, this, &VentanaPrincipal::editarNif);
    archivo->addSeparator();
    QAction* salir = archivo->addAction(QStringLiteral("&Salir"));
    salir->setShortcut(QKeySequence::Quit);
    connect(salir, &QAction::triggered, this, &QWidget::close);

    QMenu* menuInformes = menuBar()->addMenu(QStringLiteral("&Informes"));
    menuInformes->setObjectName(QStringLiteral("mnuInformes"));
    QMenu* grupo = nullptr;
    for (const EntradaInforme& e : kInformes) {
        const QString nombreGrupo = QString::fromUtf8(e.grupo);
        if (!grupo || grupo->title() != nombreGrupo) grupo = menuInformes->addMenu(nombreGrupo);
        QAction* a = grupo->addAction(QString::fromUtf8(e.titulo));
        a->setObjectName(QString::fromLatin1(e.operacion));
        a->setData(QString::fromLatin1(e.operacion));
        connect(a, &QAction::triggered, this,
                [this, op = QString::fromLatin1(e.operacion)] { lanzarInforme(op); });
        accionesInforme_ << a;
    }

    QMenu* ayuda = menuBar()->addMenu(QStringLiteral("A&yuda"));
    QAction* manual = ayuda->addAction(QStringLiteral("&Manual"));
    manual->setShortcut(QKeySequence::HelpContents);
    manual->setObjectName(QStringLiteral("mnuManual"));
    manual->setEnabled(!config_.HelpPath().isEmpty());
    connect(manual, &QAction::triggered, this, &VentanaPrincipal::mostrarManual);
    QAction* acerca = ayuda->addAction(QStringLiteral("&Acerca de…"));
    acerca->setObjectName(QStringLiteral("mnuAcercaDe"));
    connect(acerca, &QAction::triggered, this, &VentanaPrincipal::acercaDe);
}

void VentanaPrincipal::crearCentro() {
    auto* centro = new QWidget(this);
    auto* principal = new QVBoxLayout(centro);
    lblArchivo_ = new QLabel(centro);
    lblArchivo_->setObjectName(QStringLiteral("lblArchivo"));
    lblArchivo_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    principal->addWidget(lblArchivo_);

    auto* cuerpo = new QHBoxLayout;
    auto* izquierda = new QVBoxLayout;
    auto* fraEmpresas = new QGroupBox(QStringLiteral("EMPRESAS"), centro);
    auto* capaEmpresas = new QVBoxLayout(fraEmpresas);
    empresas_ = new QTableWidget(0, 5, fraEmpresas);
    empresas_->setObjectName(QStringLiteral("lstEmpresas"));
    empresas_->setHorizontalHeaderLabels({QStringLiteral("Abreviatura"),
                                          QStringLiteral("Ejercicio"), QStringLiteral("Nombre"),
                                          QStringLiteral("Desde"), QStringLiteral("Hasta")});
    empresas_->setSelectionBehavior(QAbstractItemView::SelectRows);
    empresas_->setSelectionMode(QAbstractItemView::SingleSelection);
    empresas_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    empresas_->verticalHeader()->hide();
    empresas_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    connect(empresas_, &QTableWidget::itemSelectionChanged, this,
            &VentanaPrincipal::actualizarEstado);
    capaEmpresas->addWidget(empresas_);
    izquierda->addWidget(fraEmpresas, 1);

    auto* fraMoneda = new QGroupBox(QStringLiteral("MONEDA DE TRABAJO"), centro);
    auto* capaMoneda = new QHBoxLayout(fraMoneda);
    optEuros_ = new QRadioButton(QStringLiteral("Euros"), fraMoneda);
    optEuros_->setObjectName(QStringLiteral("optMoneda0"));
    optPesetas_ = new QRadioButton(QStringLiteral("Pesetas"), fraMoneda);
    optPesetas_->setObjectName(QStringLiteral("optMoneda1"));
    (config_.trabajarConPesetas ? optPesetas_ : optEuros_)->setChecked(true);
    connect(optPesetas_, &QRadioButton::toggled, this, [this](bool pesetas) {
        config_.trabajarConPesetas = pesetas;
        actualizarEstado();
    });
    capaMoneda->addWidget(optEuros_);
    capaMoneda->addWidget(optPesetas_);
    capaMoneda->addStretch();
    izquierda->addWidget(fraMoneda);
    cuerpo->addLayout(izquierda, 3);

    // Los mismos informes del menú, a mano, por grupos.
    auto* derecha = new QVBoxLayout;
    QGroupBox* fra = nullptr;
    QVBoxLayout* capa = nullptr;
    for (QAction* a : accionesInforme_) {
        const QString grupo = qobject_cast<QMenu*>(a->parent())->title();
        if (!fra || fra->title() != grupo.toUpper()) {
            fra = new QGroupBox(grupo.toUpper(), centro);
            capa = new QVBoxLayout(fra);
            capa->setSpacing(2);
            derecha->addWidget(fra);
        }
        auto* boton = new QToolButton(fra);
        boton->setDefaultAction(a);
        boton->setToolButtonStyle(Qt::ToolButtonTextOnly);
        boton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        capa->addWidget(boton);
    }
    derecha->addStretch();
    cuerpo->addLayout(derecha, 2);
    principal->addLayout(cuerpo, 1);
    setCentralWidget(centro);
    // La importación y la comprobación de los libros muestran aquí su avance.
    barra_ = new BarraProgreso(this);
    barra_->setObjectName(QStringLiteral("abpVentana"));
    statusBar()->addPermanentWidget(barra_);
}

bool VentanaPrincipal::abrirContabilidad(const QString& ruta) {
    std::shared_ptr<Conexion> con;
    try {
        con = Esquemas::abrirContabilidad(ruta);
    } catch (const std::exception& e) {
        decirError(e);
        return false;
    }
    contabilidad_ = std::move(con);
    llenarEmpresas();
    return true;
}

bool VentanaPrincipal::crearEjemplo(const QString& ruta) {
    try {
        LibrosEjemplo::crear(ruta);
    } catch (const std::exception& e) {
        decirError(e);
        return false;
    }
    return abrirContabilidad(ruta);
}

QString VentanaPrincipal::rutaContabilidad() const {
    return contabilidad_ ? contabilidad_->ruta() : QString();
}

void VentanaPrincipal::llenarEmpresas() {
    empresas_->setRowCount(0);
    int fila = 0;
    for (const DatosEmpresa& e : DatosEmpresa::todas(*contabilidad_)) {
        empresas_->insertRow(fila);
        const QStringList textos{e.abreviatura, e.ejercicio, e.nombre,
                                 FechaLibros::deTexto(e.fechaIni).impresa(),
                                 FechaLibros::deTexto(e.fechaFin).impresa()};
        for (int c = 0; c < textos.size(); ++c) {
            auto* item = new QTableWidgetItem(textos[c]);
            item->setData(Qt::UserRole, static_cast<qlonglong>(e.id));
            empresas_->setItem(fila, c, item);
        }
        ++fila;
    }
    empresas_->resizeColumnsToContents();
    empresas_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    if (empresas_->rowCount() > 0) empresas_->selectRow(0);
    actualizarEstado();
}

long VentanaPrincipal::empresaSeleccionada() const {
    const auto filas = empresas_->selectionModel()->selectedRows();
    if (filas.isEmpty()) return 0;
    return static_cast<long>(
        empresas_->item(filas.first().row(), 0)->data(Qt::UserRole).toLongLong());
}

bool VentanaPrincipal::seleccionarEmpresa(long idEmpresa) {
    for (int fila = 0; fila < empresas_->rowCount(); ++fila) {
        if (empresas_->item(fila, 0)->data(Qt::UserRole).toLongLong() == idEmpresa) {
            empresas_->selectRow(fila);
            return true;
        }
    }
    return false;
}

void VentanaPrincipal::setTrabajarConPesetas(bool pesetas) {
    (pesetas ? optPesetas_ : optEuros_)->setChecked(true);
}

QAction* VentanaPrincipal::accionInforme(const QString& operacion) const {
    for (QAction* a : accionesInforme_)
        if (a->data().toString() == operacion) return a;
    return nullptr;
}

void VentanaPrincipal::lanzarInforme(const QString& operacion) {
    if (!contabilidad_) {
        interfaz_.Beep();
        interfaz_.MsgBox(QStringLiteral("Abra antes una base de contabilidad (menú Archivo)."),
                         Icono::Exclamacion, config_.AppTitle());
        return;
    }
    config_.trabajarConPesetas = optPesetas_->isChecked();
    try {
        informes_.ejecutar(operacion, &motor_, &config_, contabilidad_, baseInformes_,
                           empresaSeleccionada());
    } catch (const std::exception& e) {
        // Las operaciones no tienen manejador propio: el error llega hasta aquí.
        decirError(e);
    }
}

void VentanaPrincipal::actualizarEstado() {
    const bool abierta = static_cast<bool>(contabilidad_);
    lblArchivo_->setText(abierta
                             ? QStringLiteral("Base de contabilidad: %1").arg(contabilidad_->ruta())
                             : QStringLiteral("No hay ninguna base de contabilidad abierta."));
    for (QAction* a : accionesInforme_) a->setEnabled(abierta && empresaSeleccionada() != 0);
    accionNif_->setEnabled(abierta && empresaSeleccionada() != 0);
    QString estado;
    if (const long id = empresaSeleccionada(); abierta && id != 0) {
        const int fila = empresas_->selectionModel()->selectedRows().first().row();
        const QString nif = DatosEmpresa::nif(*contabilidad_, id);
        estado = QStringLiteral("Empresa: %1 %2 · %3 · %4")
                     .arg(empresas_->item(fila, 0)->text(), empresas_->item(fila, 1)->text(),
                          nif.isEmpty() ? QStringLiteral("sin NIF") : QStringLiteral("NIF ") + nif,
                          optPesetas_->isChecked() ? QStringLiteral("importes en pesetas")
                                                   : QStringLiteral("importes en euros"));
    }
    statusBar()->showMessage(estado);
}

void VentanaPrincipal::elegirArchivo() {
    const QString ruta = QFileDialog::getOpenFileName(
        this, QStringLiteral("Abrir contabilidad"), QFileInfo(rutaContabilidad()).absolutePath(),
        QStringLiteral("Bases de contabilidad (*.db *.sqlite *.mdb);;Todos los archivos (*)"));
    if (!ruta.isEmpty()) abrirContabilidad(ruta);
}

void VentanaPrincipal::elegirArchivoEjemplo() {
    const QString ruta = interfaz_.archivoGuardar(this, QStringLiteral("Crear libros de ejemplo"),
                                                  QStringLiteral("Bases de contabilidad (*.db)"));
    if (!ruta.isEmpty()) crearEjemplo(ruta);
}

bool VentanaPrincipal::importar(const QString& entrada, long empresa) {
    if (!contabilidad_) {
        interfaz_.Beep();
        interfaz_.MsgBox(QStringLiteral("Abra antes una base de contabilidad (menú Archivo)."),
                         Icono::Exclamacion, config_.AppTitle());
        return false;
    }
    Importacion::Opciones o;
    o.entrada = entrada;
    o.contabilidad = contabilidad_->ruta();
    o.empresa = empresa;
    return importar(o);
}

bool VentanaPrincipal::importar(Importacion::Opciones o) {
    if (o.entrada.isEmpty() || o.contabilidad.isEmpty()) {
        interfaz_.Beep();
        interfaz_.MsgBox(QStringLiteral("Elija el archivo que importar y los libros donde "
                                        "importarlo."),
                         Icono::Exclamacion, config_.AppTitle());
        return false;
    }
    o.abrirSiguiente = Cierre::abrirSiguiente;
    interfaz_.setMousePointer(11);
    try {
        const Importacion::Resumen r = Importacion::importar(o, *barra_);
        interfaz_.setMousePointer(0);
        // Unos libros nuevos se abren; los abiertos solo cambian de empresas.
        if (!contabilidad_ || contabilidad_->ruta() != o.contabilidad)
            abrirContabilidad(o.contabilidad);
        else
            llenarEmpresas();
        seleccionarEmpresa(o.empresa);
        interfaz_.MsgBox((r.avisos + QStringList{r.texto()}).join(u'\n'), Icono::Informacion,
                         config_.AppTitle());
        return true;
    } catch (const std::exception& e) {
        interfaz_.setMousePointer(0);
        decirError(e);
        return false;
    }
}

bool VentanaPrincipal::comprobarLibros(bool reparar) {
    const long empresa = empresaParaOperar();
    if (empresa == 0) return false;
    if (reparar && !confirmarReparacion()) return false;
    interfaz_.setMousePointer(11);
    Comprobacion::Informe inf;
    try {
        inf = Comprobacion::comprobar(*contabilidad_, empresa, reparar, *barra_);
        interfaz_.setMousePointer(0);
    } catch (const std::exception& e) {
        interfaz_.setMousePointer(0);
        decirError(e);
        return false;
    }
    if (inf.problemas.isEmpty()) {
        // Un mensaje no puede ser de miles de líneas: lo reparado, las primeras y el resumen.
        QStringList lineas = inf.reparados.mid(0, 30);
        lineas << inf.resumen();
        interfaz_.MsgBox(lineas.join(u'\n'), Icono::Informacion, config_.AppTitle());
        return true;
    }
    interfaz_.Beep();
    DialogoComprobacion dialogo(inf.problemas, inf.resumen(), this);
    dialogo.setWindowTitle(config_.AppTitle() + QStringLiteral(" - Comprobar libros"));
    interfaz_.mostrarModal(dialogo);
    if (dialogo.repararPedido()) return comprobarLibros(true);
    return false;
}

long VentanaPrincipal::empresaParaOperar() {
    const long empresa = empresaSeleccionada();
    if (contabilidad_ && empresa != 0) return empresa;
    interfaz_.Beep();
    interfaz_.MsgBox(QStringLiteral("Abra una base de contabilidad y elija una empresa."),
                     Icono::Exclamacion, config_.AppTitle());
    return 0;
}

void VentanaPrincipal::decirError(const std::exception& e) {
    interfaz_.Beep();
    interfaz_.MsgBox(descripcionError(e), Icono::Exclamacion, config_.AppTitle());
}

bool VentanaPrincipal::confirmarReparacion() {
    QMessageBox pregunta(QMessageBox::Question, config_.AppTitle(),
                         QStringLiteral("Reparar libros rehace, a partir de los apuntes, las "
                                        "sumas mensuales de las cuentas y de los epígrafes de "
                                        "la empresa elegida, y cambia las que no coinciden. "
                                        "Los asientos no se tocan.\n\n¿Reparar los libros?"),
                         QMessageBox::Yes | QMessageBox::No, this);
    pregunta.setObjectName(QStringLiteral("dlgConfirmarReparacion"));
    pregunta.setDefaultButton(QMessageBox::No);
    interfaz_.mostrarModal(pregunta);
    return pregunta.clickedButton() == pregunta.button(QMessageBox::Yes);
}

void VentanaPrincipal::mostrarManual() {
    if (!manual_) manual_ = new VentanaManual(config_.HelpPath(), this);
    manual_->show();
    manual_->raise();
    manual_->activateWindow();
}

bool VentanaPrincipal::cerrarEjercicio(bool deshacer) {
    const long empresa = empresaParaOperar();
    if (empresa == 0) return false;
    QMessageBox pregunta(QMessageBox::Question, config_.AppTitle(),
                         deshacer ? QStringLiteral("¿Borrar el ejercicio siguiente, que solo tiene "
                                                   "su asiento de apertura, y dejar este abierto?")
                                  : QStringLiteral("¿Cerrar el ejercicio y abrir el siguiente con "
                                                   "los saldos de cierre?"),
                         QMessageBox::Yes | QMessageBox::No, this);
    pregunta.setObjectName(QStringLiteral("msgCerrarEjercicio"));
    if (interfaz_.mostrarModal(pregunta) != QMessageBox::Yes) return false;
    interfaz_.setMousePointer(11);
    try {
        const QString texto =
            deshacer
                ? QStringLiteral("Cierre deshecho: borrado el ejercicio siguiente (empresa %1).")
                      .arg(Cierre::deshacer(*contabilidad_, empresa))
                : Cierre::cerrar(*contabilidad_, empresa).texto();
        interfaz_.setMousePointer(0);
        llenarEmpresas();
        seleccionarEmpresa(empresa);
        interfaz_.MsgBox(texto, Icono::Informacion, config_.AppTitle());
        return true;
    } catch (const std::exception& e) {
        interfaz_.setMousePointer(0);
        decirError(e);
        return false;
    }
}

bool VentanaPrincipal::legalizarLibros() {
    const long empresa = empresaParaOperar();
    if (empresa == 0) return false;
    Legalizacion::Opciones o;
    o.empresa = empresa;
    o.plantillas = config_.AppPath();
    o.carpeta = interfaz_.carpeta(this, QStringLiteral("Carpeta de los libros legalizados"));
    if (o.carpeta.isEmpty()) return false;
    o.anexos = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Anexos del libro de inventarios (Cancelar: ninguno)"), o.carpeta,
        QStringLiteral("PDF (*.pdf)"));
    interfaz_.setMousePointer(11);
    try {
        const Legalizacion::Resultado r = Legalizacion::legalizar(*contabilidad_, o, *barra_);
        interfaz_.setMousePointer(0);
        interfaz_.MsgBox(r.texto(), Icono::Informacion, config_.AppTitle());
        return true;
    } catch (const std::exception& e) {
        interfaz_.setMousePointer(0);
        decirError(e);
        return false;
    }
}

void VentanaPrincipal::elegirArchivoImportar() {
    DialogoImportar dialogo(contabilidad_.get(), QFileInfo(rutaContabilidad()).absolutePath(), this);
    if (interfaz_.mostrarModal(dialogo) == QDialog::Accepted) importar(dialogo.opciones());
}

void VentanaPrincipal::editarNif() {
    const long id = empresaSeleccionada();
    if (!contabilidad_ || id == 0) return;
    QDialog dialogo(this);
    dialogo.setObjectName(QStringLiteral("dlgNif"));
    dialogo.setWindowTitle(QStringLiteral("NIF de la empresa"));
    auto* formulario = new QFormLayout(&dialogo);
    formulario->addRow(new QLabel(QStringLiteral("Con que la empresa figura ante la Agencia "
                                                 "Tributaria (da nombre a los libros registro):"),
                                  &dialogo));
    auto* txtNif = new QLineEdit(&dialogo);
    txtNif->setObjectName(QStringLiteral("txtNif"));
    auto* txtIae = new QLineEdit(&dialogo);
    txtIae->setObjectName(QStringLiteral("txtIae"));
    formulario->addRow(QStringLiteral("&NIF:"), txtNif);
    formulario->addRow(QStringLiteral("Grupo o epígrafe del &IAE (opcional):"), txtIae);
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialogo);
    connect(botones, &QDialogButtonBox::accepted, &dialogo, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, &dialogo, &QDialog::reject);
    formulario->addRow(botones);
    try {
        txtNif->setText(DatosEmpresa::nif(*contabilidad_, id));
        txtIae->setText(iae::leer(*contabilidad_, id));
    } catch (const std::exception& e) {
        interfaz_.MsgBox(descripcionError(e), Icono::Exclamacion, config_.AppTitle());
        return;
    }
    // Lo que no vale se dice y el diálogo vuelve con lo tecleado, para corregirlo.
    while (interfaz_.mostrarModal(dialogo) == QDialog::Accepted) {
        try {
            const QString nif = nif::exigirPropio(txtNif->text());
            iae::normalizar(txtIae->text());
            DatosEmpresa::guardarNif(*contabilidad_, id, nif);
            iae::guardar(*contabilidad_, id, txtIae->text());
            break;
        } catch (const std::exception& e) {
            decirError(e);
        }
    }
    actualizarEstado();
}

void VentanaPrincipal::acercaDe() {
    interfaz_.MsgBox(QStringLiteral("%1, versión %2\nInformes de contabilidad: balances, sumas y "
                                    "saldos, libros, IVA, presupuestos y listados.\nCarpeta de "
                                    "la aplicación: %3")
                         .arg(config_.AppTitle(), versionPrograma(), config_.AppPath()),
                     Icono::Informacion, config_.AppTitle());
}

}  // namespace orvo
