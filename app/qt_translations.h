#pragma once
// Qt's own texts in Chinese (standard buttons, the file picker, edit menus), from the
// system's Qt translations when the package that ships them is installed.
#include <QLibraryInfo>
#include <QString>

class QTranslator;

namespace kelvanor {

// Loads Qt's Chinese catalogue from `folder` into `translator` and installs it in the
// application; false, with nothing installed, when the folder does not hold it.
bool InstallQtChineseTexts(QTranslator& translator,
                           const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

}  // namespace kelvanor
