#include "QtTranslator.h"

#include "Messages.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

TQtTranslator::TQtTranslator() = default;

TQtTranslator::~TQtTranslator() {
    if (Installed) QCoreApplication::removeTranslator(Czech.get());
}

QString TQtTranslator::CatalogueFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool TQtTranslator::Apply(int languageIndex) {
    const bool czech = tindra::NormalizedLanguage(languageIndex) == tindra::LanguageCzech;
    if (!czech) {
        if (Installed) QCoreApplication::removeTranslator(Czech.get());
        Installed = false;
        return true;
    }
    if (Installed) return true;
    if (!Czech) {
        Czech = std::make_unique<QTranslator>();
        // Loaded by its file name, so the system's locale cannot pick another catalogue.
        Loaded = Czech->load(CatalogueName(), CatalogueFolder());
    }
    if (!Loaded) return false;
    Installed = QCoreApplication::installTranslator(Czech.get());
    return Installed;
}
