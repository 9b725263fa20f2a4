#include "FechaLibros.h"

namespace orvo {

FechaLibros FechaLibros::deTexto(QStringView aaaammdd) {
    const QStringView t = aaaammdd.trimmed();
    if (t.size() != 8) return {};
    return FechaLibros(QDate::fromString(t.toString(), QStringLiteral("yyyyMMdd")));
}

QString FechaLibros::texto() const {
    return esValida() ? fecha_.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QString FechaLibros::impresa() const {
    return esValida() ? fecha_.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

}  // namespace orvo
