#pragma once

class QCoreApplication;
class QString;

namespace orvo {

// Pone el español de España como idioma de los dos programas: los textos propios de Qt
// (botones Aceptar/Cancelar, cuadros de abrir y guardar, avisos de archivo) salen de las
// traducciones de Qt instaladas (paquete qt6-translations-l10n). Devuelve false si no están;
// el programa sigue, con esos textos en inglés.
bool ponerIdiomaEspanol(QCoreApplication& app);

// La versión del proyecto ("1.0") y "orvo-informes 1.0", lo que responden --version y Acerca de.
QString versionPrograma();
QString nombreYVersion(const QString& programa);

}  // namespace orvo
