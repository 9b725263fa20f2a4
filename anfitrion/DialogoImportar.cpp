#include "DialogoImportar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "Conexion.h"
#include "DatosEmpresa.h"
#include "ErrorOrvo.h"
#include "Lectores.h"

namespace orvo {

namespace {

constexpr long kNueva = 0;  // dato del elemento "Empresa nueva" de la lista

template <class W>
W* conNombre(W* w, const char* nombre) {
    w->setObjectName(QLatin1String(nombre));
    return w;
}

}  // namespace

DialogoImportar::DialogoImportar(Conexion* abiertos, const QString& carpeta, QWidget* padre)
    : QDialog(padre), abiertos_(abiertos), carpeta_(carpeta) {
    setObjectName(QStringLiteral("dlgImportar"));
    setWindowTitle(QStringLiteral("Importar asientos"));
    auto* forma = new QFormLayout;

    const auto conBoton = [&](QLineEdit* linea, const char* nombre, const QString& titulo,
                              const QString& filtro, bool guardar) {
        auto* fila = new QHBoxLayout;
        fila->addWidget(linea);
        auto* boton = conNombre(new QPushButton(QStringLiteral("…")), nombre);
        connect(boton, &QPushButton::clicked, this,
                [=, this] { elegir(linea, titulo, filtro, guardar); });
        fila->addWidget(boton);
        return fila;
    };
    txtEntrada_ = conNombre(new QLineEdit, "txtEntrada");
    forma->addRow(QStringLiteral("Archivo:"),
                  conBoton(txtEntrada_, "cmdEntrada", QStringLiteral("Archivo de asientos"),
                           QStringLiteral("Asientos (*.csv *.journal *.ledger *.hledger *.dat);;"
                                          "Todos los archivos (*)"),
                           false));

    optAbiertos_ = conNombre(new QRadioButton(QStringLiteral("Los libros abiertos")), "optAbiertos");
    optNuevos_ = conNombre(new QRadioButton(QStringLiteral("Libros nuevos:")), "optNuevos");
    txtLibros_ = conNombre(new QLineEdit, "txtLibros");
    auto* libros = new QVBoxLayout;
    libros->addWidget(optAbiertos_);
    auto* nuevos = conBoton(txtLibros_, "cmdLibros", QStringLiteral("Libros nuevos"),
                            QStringLiteral("Bases de contabilidad (*.db)"), true);
    nuevos->insertWidget(0, optNuevos_);
    libros->addLayout(nuevos);
    forma->addRow(QStringLiteral("Libros:"), libros);

    cboEmpresa_ = conNombre(new QComboBox, "cboEmpresa");
    spnEmpresa_ = conNombre(new QSpinBox, "spnEmpresa");
    spnEmpresa_->setRange(1, 999999);
    auto* empresa = new QHBoxLayout;
    empresa->addWidget(cboEmpresa_, 1);
    empresa->addWidget(new QLabel(QStringLiteral("Código:")));
    empresa->addWidget(spnEmpresa_);
    forma->addRow(QStringLiteral("Empresa:"), empresa);
    txtNombre_ = conNombre(new QLineEdit, "txtNombre");
    forma->addRow(QStringLiteral("Nombre:"), txtNombre_);
    txtAbreviatura_ = conNombre(new QLineEdit, "txtAbreviatura");
    txtAbreviatura_->setMaxLength(10);
    forma->addRow(QStringLiteral("Abreviatura:"), txtAbreviatura_);
    chkEjercicio_ = conNombre(new QCheckBox(QStringLiteral("El año del primer asiento")),
                              "chkEjercicio");
    chkEjercicio_->setChecked(true);
    const int ano = QDate::currentDate().year();
    dtpDesde_ = conNombre(new QDateEdit(QDate(ano, 1, 1)), "dtpDesde");
    dtpHasta_ = conNombre(new QDateEdit(QDate(ano, 12, 31)), "dtpHasta");
    for (QDateEdit* d : {dtpDesde_, dtpHasta_}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    auto* ejercicio = new QHBoxLayout;
    ejercicio->addWidget(chkEjercicio_);
    ejercicio->addWidget(dtpDesde_);
    ejercicio->addWidget(new QLabel(QStringLiteral("a")));
    ejercicio->addWidget(dtpHasta_);
    forma->addRow(QStringLiteral("Ejercicio:"), ejercicio);
    cboPlan_ = conNombre(new QComboBox, "cboPlan");
    cboPlan_->addItem(QStringLiteral("Pymes"), QStringLiteral("pymes"));
    cboPlan_->addItem(QStringLiteral("Abreviado"), QStringLiteral("abreviado"));
    cboPlan_->addItem(QStringLiteral("Ninguno"), QStringLiteral("ninguno"));
    forma->addRow(QStringLiteral("Plan:"), cboPlan_);
    spnDigitos_ = conNombre(new QSpinBox, "spnDigitos");
    spnDigitos_->setRange(5, 10);
    spnDigitos_->setValue(7);
    forma->addRow(QStringLiteral("Cifras de subcuenta:"), spnDigitos_);

    txtMapa_ = conNombre(new QLineEdit, "txtMapa");
    txtMapa_->setPlaceholderText(QStringLiteral("Cuenta;Subcuenta;Descripción (opcional)"));
    forma->addRow(QStringLiteral("Mapa de cuentas:"),
                  conBoton(txtMapa_, "cmdMapa", QStringLiteral("Mapa de cuentas"),
                           QStringLiteral("Mapas (*.csv);;Todos los archivos (*)"), false));
    txtColumnas_ = conNombre(new QLineEdit, "txtColumnas");
    txtColumnas_->setPlaceholderText(QStringLiteral("las de la cabecera (p. ej. Fecha,Asiento,-,Cuenta,…)"));
    forma->addRow(QStringLiteral("Columnas:"), txtColumnas_);

    lblMuestra_ = conNombre(new QLabel, "lblMuestra");
    lblMuestra_->setWordWrap(true);
    txtMuestra_ = conNombre(new QPlainTextEdit, "txtMuestra");
    txtMuestra_->setReadOnly(true);
    txtMuestra_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtMuestra_->setMinimumHeight(140);

    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Importar"));
    botones->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdImportar"));
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* todo = new QVBoxLayout(this);
    todo->addLayout(forma);
    todo->addWidget(lblMuestra_);
    todo->addWidget(txtMuestra_, 1);
    todo->addWidget(botones);

    // Empresas de los libros abiertos; con libros nuevos solo cabe una empresa nueva.
    long mayor = 0;
    cboEmpresa_->addItem(QStringLiteral("Empresa nueva"), qlonglong(kNueva));
    if (abiertos_) {
        for (const DatosEmpresa& e : DatosEmpresa::todas(*abiertos_)) {
            cboEmpresa_->addItem(QStringLiteral("%1 (%2)").arg(e.cabecera(), e.ejercicio),
                                 qlonglong(e.id));
            mayor = std::max(mayor, e.id);
        }
    }
    spnEmpresa_->setValue(int(mayor + 1));
    optAbiertos_->setEnabled(abiertos_ != nullptr);
    (abiertos_ ? optAbiertos_ : optNuevos_)->setChecked(true);

    connect(optNuevos_, &QRadioButton::toggled, this, &DialogoImportar::actualizarEmpresa);
    connect(cboEmpresa_, &QComboBox::currentIndexChanged, this, &DialogoImportar::actualizarEmpresa);
    connect(chkEjercicio_, &QCheckBox::toggled, this, &DialogoImportar::actualizarEmpresa);
    connect(txtEntrada_, &QLineEdit::editingFinished, this, &DialogoImportar::actualizarMuestra);
    connect(txtColumnas_, &QLineEdit::editingFinished, this, &DialogoImportar::actualizarMuestra);
    actualizarEmpresa();
    actualizarMuestra();
}

void DialogoImportar::elegir(QLineEdit* destino, const QString& titulo, const QString& filtro,
                             bool guardar) {
    const QString ruta = guardar ? QFileDialog::getSaveFileName(this, titulo, carpeta_, filtro)
                                 : QFileDialog::getOpenFileName(this, titulo, carpeta_, filtro);
    if (ruta.isEmpty()) return;
    destino->setText(ruta);
    if (destino == txtLibros_) optNuevos_->setChecked(true);
    if (destino == txtEntrada_) actualizarMuestra();
}

// Los datos de la empresa nueva solo valen para una empresa nueva.
void DialogoImportar::actualizarEmpresa() {
    if (optNuevos_->isChecked()) cboEmpresa_->setCurrentIndex(0);
    cboEmpresa_->setEnabled(!optNuevos_->isChecked());
    txtLibros_->setEnabled(optNuevos_->isChecked());
    const bool nueva = cboEmpresa_->currentData().toLongLong() == kNueva;
    for (QWidget* w : std::initializer_list<QWidget*>{spnEmpresa_, txtNombre_, txtAbreviatura_,
                                                      chkEjercicio_, cboPlan_, spnDigitos_})
        w->setEnabled(nueva);
    dtpDesde_->setEnabled(nueva && !chkEjercicio_->isChecked());
    dtpHasta_->setEnabled(nueva && !chkEjercicio_->isChecked());
}

void DialogoImportar::actualizarMuestra() {
    const QString ruta = txtEntrada_->text().trimmed();
    txtMuestra_->clear();
    if (ruta.isEmpty() || !QFileInfo(ruta).isFile()) {
        lblMuestra_->setText(QStringLiteral("Elija el archivo para ver sus primeras líneas."));
        return;
    }
    try {
        const Importacion::Muestra m = Importacion::muestrear(ruta, {opciones().columnas}, 12);
        lblMuestra_->setText(
            QStringLiteral("Codificación: %1. %2")
                .arg(Importacion::nombreCodificacion(m.codificacion),
                     m.diario ? QStringLiteral("Diario de texto.")
                              : QStringLiteral("Columnas: %1.").arg(m.columnas.join(QStringLiteral(", ")))));
        txtMuestra_->setPlainText(m.lineas.join(u'\n'));
    } catch (const std::exception& e) {
        lblMuestra_->setText(descripcionError(e));
    }
}

Importacion::Opciones DialogoImportar::opciones() const {
    Importacion::Opciones o;
    o.entrada = txtEntrada_->text().trimmed();
    o.contabilidad = optNuevos_->isChecked() || !abiertos_ ? txtLibros_->text().trimmed()
                                                           : abiertos_->ruta();
    const long elegida = long(cboEmpresa_->currentData().toLongLong());
    o.empresa = elegida == kNueva ? spnEmpresa_->value() : elegida;
    if (elegida == kNueva) {
        o.nombre = txtNombre_->text().trimmed();
        o.abreviatura = txtAbreviatura_->text().trimmed();
        if (!chkEjercicio_->isChecked()) {
            o.desde = dtpDesde_->date();
            o.hasta = dtpHasta_->date();
        }
        o.plan = Plan::modeloDeNombre(cboPlan_->currentData().toString()).value_or(Plan::Modelo::Pymes);
        o.digitos = spnDigitos_->value();
    }
    o.mapa = txtMapa_->text().trimmed();
    const QString columnas = txtColumnas_->text().trimmed();
    if (!columnas.isEmpty()) o.columnas = columnas.split(u',');
    return o;
}

bool DialogoImportar::librosNuevos() const {
    return optNuevos_->isChecked() || !abiertos_;
}

}  // namespace orvo
