#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace kelvanor {

bool InstallQtChineseTexts(QTranslator& translator, const QString& folder) {
  return translator.load("qtbase_zh_CN", folder) && QCoreApplication::installTranslator(&translator);
}

}  // namespace kelvanor
