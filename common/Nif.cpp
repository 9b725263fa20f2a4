#include "Nif.h"

#include <QRegularExpression>

#include "Conexion.h"
#include "ErrorOrvo.h"
#include "cGeneral.h"

namespace orvo {

namespace nif {

namespace {

// Letra del DNI: el número módulo 23.
const char kLetrasDni[] = "TRWAGMYFPDXBNJZSQVHLCKE";
// Letra de control del CIF para cada dígito.
const char kLetrasCif[] = "JABCDEFGHI";

// Prefijos de los NIF-IVA de la Unión (Grecia usa EL; Irlanda del Norte, XI) y su país ISO.
struct PrefijoIva {
    const char* prefijo;
    const char* pais;
};
const PrefijoIva kPrefijos[] = {
    {"AT", "AT"}, {"BE", "BE"}, {"BG", "BG"}, {"CY", "CY"}, {"CZ", "CZ"}, {"DE", "DE"},
    {"DK", "DK"}, {"EE", "EE"}, {"EL", "GR"}, {"FI", "FI"}, {"FR", "FR"}, {"HR", "HR"},
    {"HU", "HU"}, {"IE", "IE"}, {"IT", "IT"}, {"LT", "LT"}, {"LU", "LU"}, {"LV", "LV"},
    {"MT", "MT"}, {"NL", "NL"}, {"PL", "PL"}, {"PT", "PT"}, {"RO", "RO"}, {"SE", "SE"},
    {"SI", "SI"}, {"SK", "SK"}, {"XI", "GB"}};

bool esDni(const QString& n) {
    static const QRegularExpression re(QStringLiteral("^[0-9]{8}[A-Z]$"));
    return re.match(n).hasMatch();
}
bool esNieOKlm(const QString& n) {
    static const QRegularExpression re(QStringLiteral("^[XYZKLM][0-9]{7}[A-Z]$"));
    return re.match(n).hasMatch();
}
bool esCif(const QString& n) {
    static const QRegularExpression re(QStringLiteral("^[ABCDEFGHJNPQRSUVW][0-9]{7}[0-9A-J]$"));
    return re.match(n).hasMatch();
}

QChar letraDni(long numero) {
    return QChar::fromLatin1(kLetrasDni[numero % 23]);
}

// Dígito de control del CIF: las cifras pares suman tal cual, las impares dobladas y con sus
// dos cifras sumadas; el control es lo que falta hasta la decena.
int digitoCif(const QString& siete) {
    int suma = 0;
    for (int i = 0; i < 7; ++i) {
        const int d = siete.at(i).digitValue();
        suma += i % 2 == 0 ? (2 * d) / 10 + (2 * d) % 10 : d;
    }
    return (10 - suma % 10) % 10;
}

}  // namespace

QString normalizar(const QString& texto) {
    QString n;
    for (const QChar c : texto)
        if (!c.isSpace() && c != u'.' && c != u'-' && c != u'/') n += c.toUpper();
    return n;
}

bool controlValido(const QString& n) {
    if (esDni(n)) return letraDni(n.left(8).toLong()) == n.at(8);
    if (esNieOKlm(n)) {
        // El NIE cambia X, Y, Z por 0, 1, 2; los de K, L y M calculan sobre las siete cifras.
        const qsizetype inicial = QStringLiteral("XYZ").indexOf(n.at(0));
        const long numero = (inicial < 0 ? 0 : inicial) * 10000000L + n.mid(1, 7).toLong();
        return letraDni(numero) == n.at(8);
    }
    if (esCif(n)) {
        const int d = digitoCif(n.mid(1, 7));
        const QChar control = n.at(8);
        // Entidades sin ánimo de lucro, públicas y extranjeras llevan letra; las sociedades
        // anónimas y limitadas, las comunidades de bienes y de propietarios, cifra.
        if (QStringLiteral("PQRSNW").contains(n.at(0)))
            return control == QChar::fromLatin1(kLetrasCif[d]);
        if (QStringLiteral("ABEH").contains(n.at(0))) return control == QChar(u'0' + d);
        return control == QChar(u'0' + d) || control == QChar::fromLatin1(kLetrasCif[d]);
    }
    return false;
}

Identificacion identificar(const QString& texto) {
    Identificacion id;
    id.numero = normalizar(texto);
    if (id.numero.isEmpty()) return id;
    QString espanol = id.numero;
    if (espanol.startsWith(QStringLiteral("ES")) && espanol.size() == 11) espanol = espanol.mid(2);
    if (esDni(espanol) || esNieOKlm(espanol) || esCif(espanol)) {
        id.clase = Clase::Nif;
        id.numero = espanol;
        id.controlValido = controlValido(espanol);
        return id;
    }
    for (const PrefijoIva& p : kPrefijos) {
        static const QRegularExpression resto(QStringLiteral("^[A-Z0-9+*]{2,13}$"));
        if (id.numero.startsWith(QLatin1String(p.prefijo)) &&
            resto.match(id.numero.mid(2)).hasMatch()) {
            id.clase = Clase::NifIva;
            id.tipo = QStringLiteral("02");
            id.pais = QString::fromLatin1(p.pais);
            return id;
        }
    }
    id.clase = Clase::Otro;
    return id;
}

QString exigirPropio(const QString& texto) {
    const Identificacion id = identificar(texto);
    if (id.clase == Clase::Vacio) return {};
    if (id.clase != Clase::Nif)
        throw ErrorOrvo(Causa::TiposNoCoinciden,
                        QStringLiteral("«%1» no es un NIF español: escriba las ocho cifras y la "
                                       "letra del DNI, o la letra y los ocho caracteres del NIE "
                                       "o del CIF, como B50123454")
                            .arg(texto.trimmed()));
    if (!id.controlValido)
        throw ErrorOrvo(Causa::TiposNoCoinciden,
                        QStringLiteral("El NIF «%1» no cuadra con su letra o dígito de control: "
                                       "revise que esté bien copiado")
                            .arg(texto.trimmed()));
    return id.numero;
}

}  // namespace nif

namespace iae {

namespace {
const QString kEmpresa = QStringLiteral("Empresa");
const QString kIae = QStringLiteral("IAE");
}  // namespace

QString normalizar(const QString& texto) {
    const QString n = nif::normalizar(texto);
    static const QRegularExpression re(QStringLiteral("^[A-Z0-9]{0,4}$"));
    if (!re.match(n).hasMatch())
        throw ErrorOrvo(Causa::TiposNoCoinciden,
                        QStringLiteral("«%1» no es un grupo o epígrafe del IAE: son hasta cuatro "
                                       "cifras, como 6423")
                            .arg(texto.trimmed()));
    return n;
}

QString leer(Conexion& con, long empresa) {
    if (!con.existeColumna(kEmpresa, kIae)) return {};
    return cGeneral::QuitarNulo(
               con.valor(QStringLiteral("SELECT IAE FROM Empresa WHERE IDEmpresa = ?"),
                         {static_cast<qlonglong>(empresa)}))
        .trimmed();
}

void guardar(Conexion& con, long empresa, const QString& texto) {
    const QString n = normalizar(texto);
    Transaccion t(con);
    if (!con.existeColumna(kEmpresa, kIae))
        con.Execute(QStringLiteral("ALTER TABLE Empresa ADD COLUMN IAE TEXT NOT NULL DEFAULT ''"));
    con.Execute(QStringLiteral("UPDATE Empresa SET IAE = ? WHERE IDEmpresa = ?"),
                {n, static_cast<qlonglong>(empresa)});
    t.confirmar();
}

}  // namespace iae

}  // namespace orvo
