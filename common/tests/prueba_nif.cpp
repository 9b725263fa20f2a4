// Identificadores fiscales: NIF, NIE y CIF con su control publicado, los de fuera con su tipo
// y país, y el NIF propio de la empresa, que se rechaza con lo tecleado en el mensaje.
#include <QtTest>

#include "ErrorOrvo.h"
#include "Nif.h"

using namespace orvo;

class PruebaNif : public QObject {
    Q_OBJECT

  private slots:
    void identificar_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("clase");
        QTest::addColumn<QString>("numero");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("pais");
        QTest::addColumn<bool>("control");
        // Un NIF español no tiene tipo ni país; 'numero' es el texto normalizado.
        const auto fila = [](const char* nombre, const char* texto, nif::Clase clase, bool control,
                             const char* numero, const char* tipo = "", const char* pais = "") {
            QTest::newRow(nombre) << QString::fromUtf8(texto) << int(clase)
                                  << QString::fromUtf8(numero) << QString::fromUtf8(tipo)
                                  << QString::fromUtf8(pais) << control;
        };
        const auto espanol = [&](const char* nombre, const char* texto, bool control,
                                 const char* numero = nullptr) {
            fila(nombre, texto, nif::Clase::Nif, control, numero ? numero : texto);
        };
        espanol("DNI", "12345678Z", true);
        espanol("DNI con la letra cambiada", "12345678A", false);
        espanol("NIE X", "X1234567L", true);
        espanol("NIE Y", "Y1234567X", true);
        espanol("NIE con la letra de X", "Y1234567L", false);
        espanol("K sin DNI", "K1234567L", true);
        espanol("CIF de sociedad", "B50123454", true);
        espanol("CIF con el control de otro", "B50123456", false);
        espanol("CIF de sociedad con letra", "B5012345D", false);
        espanol("CIF público con letra", "Q2826000H", true);
        espanol("CIF público con cifra", "Q28260008", false);
        espanol("asociación, cifra o letra", "G50111228", true);
        espanol("separadores y minúsculas", " b-50.123/454 ", true, "B50123454");
        espanol("NIF con prefijo ES", "ESB50123454", true, "B50123454");
        fila("NIF-IVA francés", "FR 40 303 265 045", nif::Clase::NifIva, false, "FR40303265045",
             "02", "FR");
        fila("NIF-IVA griego", "EL123456789", nif::Clase::NifIva, false, "EL123456789", "02", "GR");
        fila("nueve letras", "ABCDEFGHI", nif::Clase::Otro, false, "ABCDEFGHI");
        fila("vacío", "  ", nif::Clase::Vacio, false, "");
    }
    void identificar() {
        QFETCH(QString, texto);
        const nif::Identificacion id = nif::identificar(texto);
        QTEST(int(id.clase), "clase");
        QTEST(id.numero, "numero");
        QTEST(id.tipo, "tipo");
        QTEST(id.pais, "pais");
        QTEST(id.controlValido, "control");
    }

    void propio_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("nif");  // vacío si se rechaza
        const auto fila = [](const char* nombre, const char* texto, const char* nif) {
            QTest::newRow(nombre) << QString::fromUtf8(texto) << QString::fromUtf8(nif);
        };
        fila("válido", "b50123454", "B50123454");
        fila("vacío deja sin NIF", "", "");
        fila("control que no cuadra", "B50123456", "");
        fila("sin forma de NIF", "ABCDEFGHI", "");
        fila("extranjero", "FR40303265045", "");
    }
    void propio() {
        QFETCH(QString, texto);
        QFETCH(QString, nif);
        if (!nif.isEmpty() || texto.isEmpty()) {
            QCOMPARE(nif::exigirPropio(texto), nif);
            return;
        }
        try {
            nif::exigirPropio(texto);
            QFAIL("se ha admitido");
        } catch (const ErrorOrvo& e) {
            QVERIFY2(e.descripcion().contains(texto), e.what());
        }
    }

    void iae_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("vale");
        QTest::newRow("epígrafe") << "6423" << true;
        QTest::newRow("con punto") << "642.3" << true;
        QTest::newRow("vacío") << "" << true;
        QTest::newRow("largo") << "64231" << false;
    }
    void iae() {
        QFETCH(QString, texto);
        QFETCH(bool, vale);
        if (vale)
            QVERIFY(iae::normalizar(texto).size() <= 4);
        else
            QVERIFY_THROWS_EXCEPTION(ErrorOrvo, iae::normalizar(texto));
    }
};

QTEST_GUILESS_MAIN(PruebaNif)
#include "prueba_nif.moc"
