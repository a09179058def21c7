// Qt's own texts (a field's context menu, standard dialogs) in Bulgarian,
// whatever the desktop's language, so that nothing in the window speaks
// English.
#pragma once

class QCoreApplication;

namespace zelvane {

// Loads Qt's Bulgarian translation from Qt's translations folder and
// installs it on the application. Returns false when the translation is not
// there; Qt's texts then stay in English and nothing else changes.
bool InstallQtTranslation(QCoreApplication& application);

}  // namespace zelvane
