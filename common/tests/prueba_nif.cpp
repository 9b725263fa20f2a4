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
        const int nif = int(nif::Clase::Nif), iva = int(nif::Clase::NifIva);
        QTest::newRow("DNI") << "12345678Z" << nif << "12345678Z"
                             << ""
                             << "" << true;
        QTest::newRow("DNI con la letra cambiada") << "12345678A" << nif << "12345678A"
                                                   << ""
                                                   << "" << false;
        QTest::newRow("NIE X") << "X1234567L" << nif << "X1234567L"
                               << ""
                               << "" << true;
        QTest::newRow("NIE Y") << "Y1234567X" << nif << "Y1234567X"
                               << ""
                               << "" << true;
        QTest::newRow("NIE con la letra de X") << "Y1234567L" << nif << "Y1234567L"
                                               << ""
                                               << "" << false;
        QTest::newRow("K sin DNI") << "K1234567L" << nif << "K1234567L"
                                   << ""
                                   << "" << true;
        QTest::newRow("CIF de sociedad") << "B50123454" << nif << "B50123454"
                                         << ""
                                         << "" << true;
        QTest::newRow("CIF con el control de otro") << "B50123456" << nif << "B50123456"
                                                    << ""
                                                    << "" << false;
        QTest::newRow("CIF de sociedad con letra") << "B5012345D" << nif << "B5012345D"
                                                   << ""
                                                   << "" << false;
        QTest::newRow("CIF público con letra") << "Q2826000H" << nif << "Q2826000H"
                                               << ""
                                               << "" << true;
        QTest::newRow("CIF público con cifra") << "Q28260008" << nif << "Q28260008"
                                               << ""
                                               << "" << false;
        QTest::newRow("asociación, cifra o letra") << "G50111228" << nif << "G50111228"
                                                   << ""
                                                   << "" << true;
        QTest::newRow("separadores y minúsculas") << " b-50.123/454 " << nif << "B50123454"
                                                  << ""
                                                  << "" << true;
        QTest::newRow("NIF con prefijo ES") << "ESB50123454" << nif << "B50123454"
                                            << ""
                                            << "" << true;
        QTest::newRow("NIF-IVA francés") << "FR 40 303 265 045" << iva << "FR40303265045"
                                         << "02"
                                         << "FR" << false;
        QTest::newRow("NIF-IVA griego") << "EL123456789" << iva << "EL123456789"
                                        << "02"
                                        << "GR" << false;
        QTest::newRow("nueve letras") << "ABCDEFGHI" << int(nif::Clase::Otro) << "ABCDEFGHI"
                                      << ""
                                      << "" << false;
        QTest::newRow("vacío") << "  " << int(nif::Clase::Vacio) << ""
                               << ""
                               << "" << false;
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
        QTest::newRow("válido") << "b50123454"
                                << "B50123454";
        QTest::newRow("vacío deja sin NIF") << ""
                                            << "";
        QTest::newRow("control que no cuadra") << "B50123456"
                                               << "";
        QTest::newRow("sin forma de NIF") << "ABCDEFGHI"
                                          << "";
        QTest::newRow("extranjero") << "FR40303265045"
                                    << "";
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
