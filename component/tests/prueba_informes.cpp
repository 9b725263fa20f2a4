// Las operaciones del componente: comprobación de la empresa y vaciado de la tabla de trabajo.
#include <QDialog>
#include <QTemporaryDir>
#include <QtTest>

#include "DoblesPrueba.h"
#include "InterfazQt.h"
#include "cCMensajes.h"
#include "cInformes.h"

using namespace orvo;
using namespace orvo::prueba;

class PruebaInformes : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    InterfazGrabadora interfaz_;
    RegistroObjetos registro_;
    ConfigPrueba config_;
    std::shared_ptr<Conexion> conta_, inf_;

    void unaEmpresa() {
        conta_->Execute(
            QStringLiteral("INSERT INTO Empresa (IDEmpresa, Abreviatura, Nombre, AñoEjercicio, "
                           "FechaIni, FechaFin) VALUES (1,'A','A',2001,'20010101','20011231')"));
    }

  private slots:
    void init() {
        librosVacios(dir_, conta_, inf_);
        olvidar(interfaz_);
        config_.titulo = QStringLiteral("Título");
        config_.carpeta.clear();
    }

    // Sin empresas en los libros, o sin empresa elegida, cada operación da un solo mensaje,
    // ningún diálogo, y no vacía la tabla de trabajo.
    void sinEmpresaNoHayDialogo() {
        cInformes informes(interfaz_, registro_);
        inf_->Execute(QStringLiteral("INSERT INTO Subcuentas (Codigo) VALUES ('1')"));
        informes.ImprimirSubcuentas(nullptr, &config_, conta_, inf_, 3);
        QCOMPARE(interfaz_.mensajes.size(), 1u);
        QCOMPARE(interfaz_.mensajes[0].texto, cCMensajes().sinEmpresas());
        QCOMPARE(interfaz_.mensajes[0].titulo, QStringLiteral("Título"));
        QCOMPARE(inf_->valor(QStringLiteral("SELECT count(*) FROM Subcuentas")).toInt(), 1);
        unaEmpresa();
        for (const QString& op : cInformes::operaciones()) {
            interfaz_.mensajes.clear();
            QVERIFY(informes.ejecutar(op, nullptr, &config_, conta_, inf_, 0));
            QCOMPARE(interfaz_.mensajes.size(), 1u);
            QCOMPARE(interfaz_.mensajes[0].icono, Icono::Informacion);
        }
        QVERIFY(interfaz_.dialogosMostrados.isEmpty());
        QCOMPARE(inf_->valor(QStringLiteral("SELECT count(*) FROM Subcuentas")).toInt(), 1);
        QVERIFY(
            !informes.ejecutar(QStringLiteral("ImprimirNada"), nullptr, &config_, conta_, inf_, 1));
    }

    void cadaOperacionVaciaSuTabla() {
        unaEmpresa();
        cInformes informes(interfaz_, registro_);
        interfaz_.guion = [](QDialog& d) { d.reject(); };  // CANCELAR en cada diálogo
        QStringList vaciadas;
        informes.componente().antesDeVaciar = [&](const QString& t) { vaciadas << t; };
        for (const QString& op : cInformes::operaciones()) {
            const QString tabla = cInformes::tablaDe(op);
            inf_->Execute(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(tabla));
            informes.ejecutar(op, nullptr, &config_, conta_, inf_, 1);
            QCOMPARE(inf_->valor(QStringLiteral("SELECT count(*) FROM %1").arg(tabla)).toInt(), 0);
        }
        QCOMPARE(vaciadas.size(), cInformes::operaciones().size());
    }
};

QTEST_MAIN(PruebaInformes)
#include "prueba_informes.moc"
